// Whether a process runs elevated ("Run as administrator": its token carries
// the administrators' full rights), and what a second start of the tool does
// about the copy that runs already.
#pragma once

#include <windows.h>

#include <optional>

// What this start can tell of the copy that runs already.
enum class RunningCopy {
    NotElevated,   // of this user, without the administrators' rights
    Elevated,      // of this user, elevated (or its token may not be read, as a
                   // standard start meets an elevated copy)
    OtherAccount,  // of another user: its process cannot be opened, or its
                   // token names another user
};

// What this start knows of the process that owns `window`.
RunningCopy RunningCopyOf(HWND window);

// Whether this process runs elevated (false when Windows does not tell).
bool IsThisProcessElevated();

enum class SecondStart {
    BringRunningForward,    // the running copy comes to the front; this start ends
    TellToRestartElevated,  // first tell the operator to close the running copy and
                            // start again as administrator
    TellOtherAccount,       // tell the operator that a copy runs under another
                            // account, and end without touching its window
};

// An elevated start that meets a copy running without elevation would
// otherwise bring back a window without the rights it was started for; a
// copy of another account is none of this start's to bring forward.
SecondStart DecideSecondStart(RunningCopy running, bool thisElevated);
