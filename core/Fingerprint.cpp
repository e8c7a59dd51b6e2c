#include "core/Fingerprint.h"

#include <cstdio>

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

}  // namespace qm
