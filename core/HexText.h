// Bytes as hexadecimal text and back: how the settings file and the release
// list keep keys, salts and signatures on one line.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace qm {

// Two lower-case hexadecimal digits per byte.
std::string HexText(std::string_view bytes);

// The bytes of a text of exactly 2 * `length` hexadecimal digits (either
// case); false for anything else.
bool BytesFromHex(std::string_view text, size_t length, std::string& bytes);

}  // namespace qm
