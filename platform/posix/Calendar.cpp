#include "platform/posix/Calendar.h"

#include <cstdlib>
#include <mutex>
#include <string>

namespace qm::posix {

namespace {

// The calendar date of a day counted from 1 January 1970 (proleptic
// Gregorian calendar).
void CivilFromDays(int64_t days, int& year, int& month, int& day) {
    days += 719468;
    int64_t era = (days >= 0 ? days : days - 146096) / 146097;
    int64_t dayOfEra = days - era * 146097;
    int64_t yearOfEra = (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
    int64_t dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
    int64_t monthIndex = (5 * dayOfYear + 2) / 153;
    day = static_cast<int>(dayOfYear - (153 * monthIndex + 2) / 5 + 1);
    month = static_cast<int>(monthIndex < 10 ? monthIndex + 3 : monthIndex - 9);
    year = static_cast<int>(yearOfEra + era * 400 + (month <= 2 ? 1 : 0));
}

// The offset of local time from UTC in force now, in seconds.
// A run converts thousands of times within the same second; tzset() reads
// the zone file each time, so the offset is kept for the second in which it
// was found and the TZ value it was found under.
long CurrentUtcOffset() {
    // Files are fingerprinted on several threads at once.
    static std::mutex s_mutex;
    std::lock_guard<std::mutex> guard(s_mutex);
    static time_t s_second = static_cast<time_t>(-1);
    static std::string s_zone;
    static long s_offset = 0;
    time_t now = time(nullptr);
    const char* zone = getenv("TZ");
    std::string zoneText = zone ? std::string("=") + zone : std::string();
    if (now == s_second && zoneText == s_zone) return s_offset;
    tzset();
    struct tm local;
    s_offset = localtime_r(&now, &local) ? local.tm_gmtoff : 0;
    s_second = now;
    s_zone = zoneText;
    return s_offset;
}

}  // namespace

uint64_t TicksFromTimespec(const struct timespec& time) {
    int64_t seconds =
        static_cast<int64_t>(time.tv_sec) + static_cast<int64_t>(kEpochDifferenceSeconds);
    if (seconds < 0) return 0;
    return static_cast<uint64_t>(seconds) * kTicksPerSecond +
           static_cast<uint64_t>(time.tv_nsec) / 100;
}

bool ToLocalCalendar(FileTime time, CalendarTime& local) {
    int64_t offsetTicks =
        static_cast<int64_t>(CurrentUtcOffset()) * static_cast<int64_t>(kTicksPerSecond);
    uint64_t ticks = time.ticks;
    if (offsetTicks < 0 && ticks < static_cast<uint64_t>(-offsetTicks)) return false;
    ticks += static_cast<uint64_t>(offsetTicks);
    if (ticks >= 0x8000000000000000ULL) return false;  // beyond FileTimeToSystemTime
    uint64_t seconds = ticks / kTicksPerSecond;
    int64_t days = static_cast<int64_t>(seconds / 86400) -
                   static_cast<int64_t>(kEpochDifferenceSeconds / 86400);
    uint64_t secondOfDay = seconds % 86400;
    CivilFromDays(days, local.year, local.month, local.day);
    local.hour = static_cast<int>(secondOfDay / 3600);
    local.minute = static_cast<int>(secondOfDay / 60 % 60);
    local.second = static_cast<int>(secondOfDay % 60);
    return true;
}

}  // namespace qm::posix
