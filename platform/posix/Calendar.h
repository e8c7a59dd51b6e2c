// Local calendar time on posix: a file time turned into calendar fields with
// the offset from UTC that is in force now, as FileTimeToLocalFileTime and
// FileTimeToSystemTime give them.
#pragma once

#include <ctime>

#include "platform/Platform.h"

namespace qm::posix {

// Seconds between 1 January 1601 and 1 January 1970, and the tick rate of a
// FILETIME.
constexpr uint64_t kTicksPerSecond = 10000000;
constexpr uint64_t kEpochDifferenceSeconds = 11644473600ULL;

// A native time as FILETIME ticks; times before 1601 become 0.
uint64_t TicksFromTimespec(const struct timespec& time);

// False when the time lies beyond what FileTimeToSystemTime takes.
bool ToLocalCalendar(FileTime time, CalendarTime& local);

}  // namespace qm::posix
