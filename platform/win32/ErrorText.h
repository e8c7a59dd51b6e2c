// The system's words for an error code on Windows (FormatMessageA), or our
// own for the codes we give ourselves.
#pragma once

#include <cstdint>
#include <string>

namespace qm::win32 {

std::string ErrorText(uint32_t error);

}  // namespace qm::win32
