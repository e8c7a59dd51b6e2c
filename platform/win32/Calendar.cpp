#include "platform/win32/Calendar.h"

namespace qm::win32 {

bool ToLocalCalendar(FileTime time, CalendarTime& local) {
    FILETIME utc = FileTimeOf(time.ticks);
    FILETIME localTime;
    SYSTEMTIME fields;
    if (!FileTimeToLocalFileTime(&utc, &localTime)) return false;
    if (!FileTimeToSystemTime(&localTime, &fields)) return false;
    local.year = fields.wYear;
    local.month = fields.wMonth;
    local.day = fields.wDay;
    local.hour = fields.wHour;
    local.minute = fields.wMinute;
    local.second = fields.wSecond;
    return true;
}

}  // namespace qm::win32
