#include "core/Fingerprint.h"

#include <cstdio>

#include "core/BoundedFormat.h"
#include "core/Crc32.h"

namespace qm {

std::string CrcText(uint32_t crc) {
    char text[9];  // eight hexadecimal digits and the terminator
    std::snprintf(text, sizeof text, "%x", static_cast<unsigned>(crc));
    return text;
}

std::string TimestampText(FileTime lastWrite) {
    CalendarTime local;
    if (!Platform().ToLocalCalendar(lastWrite, local)) return "";
    // The release list reads dates with a capacity of 40; odd field values
    // are cut there rather than overflowing.
    char text[40];
    const int length = std::snprintf(text, sizeof text, "%02d.%02d.%04d %02d:%02d", local.day,
                                     local.month, local.year, local.hour, local.minute);
    return length < 0 ? std::string() : std::string(text);
}

bool FileTimestampText(const std::string& path, std::string& text) {
    // A wildcard in a path would find some other file's entry; no file name
    // contains one.
    if (path.find_first_of("*?") != std::string::npos) return false;
    FoundEntry entry;
    if (!Platform().FindFirst(path, entry)) return false;
    text = TimestampText(entry.lastWrite);
    return true;
}

FileNow FingerprintNow(CCrc32& crc, const std::string& path, bool pathIsWhole,
                       size_t dateCapacity) {
    FileNow now;
    if (!pathIsWhole) return now;
    uint32_t value = 0;
    const uint32_t opened = crc.FileCrc32(path, value, &now.readWhole);
    now.crcText = CrcText(value);
    now.missing = opened == kErrorFileNotFound || opened == kErrorPathNotFound;
    std::string date;
    if (FileTimestampText(path, date)) now.dateText = CutToCapacity(date, dateCapacity);
    return now;
}

}  // namespace qm
