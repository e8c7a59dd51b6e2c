// The texts that recognise a program file: its CRC text, its SHA-256 text and
// its timestamp text.
#pragma once

#include <cstdint>
#include <string>

#include "core/Sha256.h"
#include "platform/Platform.h"

namespace qm {

struct FileReading;

// The CRC text: "%x", lower-case hexadecimal without leading zeros.
std::string CrcText(uint32_t crc);

// The SHA-256 text is Sha256Hex: 64 lower-case hexadecimal digits. Whether a
// text is one as the release list records it: exactly 64 hexadecimal digits
// (either case).
bool IsSha256Text(const std::string& text);
// Whether two SHA-256 texts name the same digest (case not counting).
bool SameSha256(const std::string& a, const std::string& b);

// The timestamp text of a last-write time: local time with the offset in
// force now, "%02d.%02d.%04d %02d:%02d" (day, month, year, hour, minute);
// seconds are dropped, not rounded. "" when the time cannot be converted.
std::string TimestampText(FileTime lastWrite);

// The last-write time of the file at `path` from its directory entry
// (FindFirstFileA); false when no entry is found or the path holds a
// wildcard (which would find some other file's entry).
bool FindDirectoryEntry(const std::string& path, FileTime& lastWrite);

// The timestamp text of the file at `path`, from its directory entry; false
// when no entry is found.
bool FileTimestampText(const std::string& path, std::string& text);

class CCrc32;

// A program file as it is now: its CRC text ("0" when it cannot be opened,
// as for an empty file), its SHA-256 text ("" unless it was read whole), its
// timestamp text ("" when the search finds no entry), and whether it could
// be read whole, which the CRC text alone cannot tell.
struct FileNow {
    std::string crcText = "0";
    std::string sha256Text;
    std::string dateText;
    bool readWhole = false;
    bool missing = false;      // the open found no such file
    uint32_t openError = 0;    // the system's reason when it could not be opened
    bool changing = false;     // it changed during every read, so no digest is its own
    bool sizeDiffers = false;  // not the size its entry records: not read
    bool tooLarge = false;     // beyond the bound of a planted file: not read
    bool sizeKnown = false;    // the open told its size
    uint64_t size = 0;         // bytes when it was opened
};

// The texts of what reading a file found; the date is cut to `dateCapacity`.
FileNow NowFrom(const FileReading& reading, size_t dateCapacity);

}  // namespace qm
