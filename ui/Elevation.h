// Whether a process runs elevated ("Run as administrator": its token carries
// the administrators' full rights), and what a second start of the tool does
// about the copy that runs already.
#pragma once

#include <windows.h>

#include <optional>

// The elevation of the process that owns `window`; nullopt when Windows does
// not tell, as when a standard start asks about an elevated copy (whose token
// it may not read).
std::optional<bool> IsProcessOfWindowElevated(HWND window);

// Whether this process runs elevated (false when Windows does not tell).
bool IsThisProcessElevated();

enum class SecondStart {
    BringRunningForward,    // the running copy comes to the front; this start ends
    TellToRestartElevated,  // first tell the operator to close the running copy and
                            // start again as administrator
};

// An elevated start that meets a copy running without elevation would
// otherwise bring back a window without the rights it was started for.
SecondStart DecideSecondStart(bool runningElevated, bool thisElevated);
