// The two texts that recognise a program file: its CRC text and its
// timestamp text.
#pragma once

#include <cstdint>
#include <string>

#include "platform/Platform.h"

namespace qm {

// The CRC text: "%x", lower-case hexadecimal without leading zeros.
std::string CrcText(uint32_t crc);

// The timestamp text of a last-write time: local time with the offset in
// force now, "%02d.%02d.%04d %02d:%02d" (day, month, year, hour, minute);
// seconds are dropped, not rounded. "" when the time cannot be converted.
std::string TimestampText(FileTime lastWrite);

// The timestamp text of the file at `path`, from its directory entry
// (FindFirstFileA); false when no entry is found.
bool FileTimestampText(const std::string& path, std::string& text);

}  // namespace qm
