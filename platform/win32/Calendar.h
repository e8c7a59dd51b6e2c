// File times on Windows: FILETIME and our ticks, and a file time as local
// calendar fields with the offset from UTC in force now.
#pragma once

#include <windows.h>

#include <cstdint>

#include "platform/Platform.h"

namespace qm::win32 {

inline uint64_t TicksOf(const FILETIME& time) {
    return (static_cast<uint64_t>(time.dwHighDateTime) << 32) | time.dwLowDateTime;
}

inline FILETIME FileTimeOf(uint64_t ticks) {
    FILETIME time;
    time.dwLowDateTime = static_cast<DWORD>(ticks & 0xFFFFFFFFu);
    time.dwHighDateTime = static_cast<DWORD>(ticks >> 32);
    return time;
}

bool ToLocalCalendar(FileTime time, CalendarTime& local);

}  // namespace qm::win32
