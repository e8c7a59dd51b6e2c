#include "core/Fingerprint.h"

#include <cstdio>

#include "core/BoundedFormat.h"
#include "core/Capacities.h"
#include "core/Crc32.h"
#include "core/ParallelFingerprints.h"
#include "platform/AsciiCase.h"

namespace qm {

namespace {

bool IsHexDigit(char c) {
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

}  // namespace

std::string CrcText(uint32_t crc) {
    char text[9];  // eight hexadecimal digits and the terminator
    std::snprintf(text, sizeof text, "%x", static_cast<unsigned>(crc));
    return text;
}

bool IsSha256Text(const std::string& text) {
    if (text.size() != 64) return false;
    for (char c : text) {
        if (!IsHexDigit(c)) return false;
    }
    return true;
}

bool SameSha256(const std::string& a, const std::string& b) {
    return IsSha256Text(a) && IsSha256Text(b) && EqualNoCase(a, b);
}

std::string TimestampText(FileTime lastWrite) {
    CalendarTime local;
    if (!Platform().ToLocalCalendar(lastWrite, local)) return "";
    // The release list reads dates with their capacity; odd field values
    // are cut there rather than overflowing.
    char text[kFingerprintCapacity];
    const int length = std::snprintf(text, sizeof text, "%02d.%02d.%04d %02d:%02d", local.day,
                                     local.month, local.year, local.hour, local.minute);
    return length < 0 ? std::string() : std::string(text);
}

bool FindDirectoryEntry(const std::string& path, FileTime& lastWrite) {
    // A wildcard in a path would find some other file's entry; no file name
    // contains one.
    if (path.find_first_of("*?") != std::string::npos) return false;
    FoundEntry entry;
    if (!Platform().FindFirst(path, entry)) return false;
    lastWrite = entry.lastWrite;
    return true;
}

bool FileTimestampText(const std::string& path, std::string& text) {
    FileTime lastWrite;
    if (!FindDirectoryEntry(path, lastWrite)) return false;
    text = TimestampText(lastWrite);
    return true;
}

FileNow NowFrom(const FileReading& reading, size_t dateCapacity) {
    const FileDigests& digests = reading.digests;
    FileNow now;
    now.readWhole = digests.readWhole;
    now.changing = digests.changing;
    now.sizeDiffers = digests.sizeDiffers;
    now.tooLarge = digests.tooLarge;
    now.sizeKnown = digests.sizeKnown;
    now.size = digests.size;
    now.crcText = CrcText(digests.crc);
    if (digests.readWhole && digests.hasSha256) now.sha256Text = Sha256Hex(digests.sha256);
    now.openError = digests.openError;
    now.missing =
        digests.openError == kErrorFileNotFound || digests.openError == kErrorPathNotFound;
    if (reading.found) now.dateText = CutToCapacity(TimestampText(reading.lastWrite), dateCapacity);
    return now;
}

}  // namespace qm
