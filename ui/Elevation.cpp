#include "ui/Elevation.h"

namespace {

std::optional<bool> IsElevated(HANDLE process) {
    HANDLE token = nullptr;
    if (!::OpenProcessToken(process, TOKEN_QUERY, &token)) return std::nullopt;
    TOKEN_ELEVATION elevation{};
    DWORD size = 0;
    const BOOL read =
        ::GetTokenInformation(token, TokenElevation, &elevation, sizeof elevation, &size);
    ::CloseHandle(token);
    if (!read) return std::nullopt;
    return elevation.TokenIsElevated != 0;
}

}  // namespace

std::optional<bool> IsProcessOfWindowElevated(HWND window) {
    DWORD processId = 0;
    if (::GetWindowThreadProcessId(window, &processId) == 0) return std::nullopt;
    HANDLE process = ::OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, processId);
    if (process == nullptr) return std::nullopt;
    const std::optional<bool> elevated = IsElevated(process);
    ::CloseHandle(process);
    return elevated;
}

bool IsThisProcessElevated() { return IsElevated(::GetCurrentProcess()).value_or(false); }

SecondStart DecideSecondStart(bool runningElevated, bool thisElevated) {
    return thisElevated && !runningElevated ? SecondStart::TellToRestartElevated
                                            : SecondStart::BringRunningForward;
}
