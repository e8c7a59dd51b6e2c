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

class CCrc32;

// A program file as it is now: its CRC text ("0" when it cannot be read, as
// for an empty file), its timestamp text ("" when the search finds no entry),
// and whether it could be read whole, which the CRC text alone cannot tell.
struct FileNow {
    std::string crcText = "0";
    std::string dateText;
    bool readWhole = false;
    bool missing = false;  // the open found no such file
};

// Fingerprints the file at `path` with `crc` (whose table is built). A path
// that is not whole (a name cut to fit its buffer) would name some other
// file: it is reported unreadable without touching any file.
FileNow FingerprintNow(CCrc32& crc, const std::string& path, bool pathIsWhole, size_t dateCapacity);

}  // namespace qm
