#include "ui/Elevation.h"

#include <vector>

namespace {

std::optional<bool> IsElevated(HANDLE token) {
    TOKEN_ELEVATION elevation{};
    DWORD size = 0;
    if (!::GetTokenInformation(token, TokenElevation, &elevation, sizeof elevation, &size)) {
        return std::nullopt;
    }
    return elevation.TokenIsElevated != 0;
}

// The user the token of `process` runs as.
std::vector<BYTE> UserOf(HANDLE token) {
    DWORD size = 0;
    ::GetTokenInformation(token, TokenUser, nullptr, 0, &size);
    std::vector<BYTE> user(size);
    if (size == 0 || !::GetTokenInformation(token, TokenUser, user.data(), size, &size)) {
        user.clear();
    }
    return user;
}

bool SameUser(const std::vector<BYTE>& a, const std::vector<BYTE>& b) {
    if (a.empty() || b.empty()) return true;  // nothing tells otherwise
    const auto* userA = reinterpret_cast<const TOKEN_USER*>(a.data());
    const auto* userB = reinterpret_cast<const TOKEN_USER*>(b.data());
    return ::EqualSid(userA->User.Sid, userB->User.Sid) != FALSE;
}

// This process's token, open for queries, or nullptr.
HANDLE OwnToken() {
    HANDLE token = nullptr;
    return ::OpenProcessToken(::GetCurrentProcess(), TOKEN_QUERY, &token) ? token : nullptr;
}

}  // namespace

RunningCopy RunningCopyOf(HWND window) {
    DWORD processId = 0;
    // A window gone meanwhile: nothing to tell.
    if (::GetWindowThreadProcessId(window, &processId) == 0) return RunningCopy::Elevated;
    HANDLE process = ::OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, processId);
    if (process == nullptr) return RunningCopy::OtherAccount;
    HANDLE token = nullptr;
    const bool readable = ::OpenProcessToken(process, TOKEN_QUERY, &token) != FALSE;
    ::CloseHandle(process);
    // A copy of this user whose token may not be read is an elevated one.
    if (!readable) return RunningCopy::Elevated;
    const std::vector<BYTE> theirs = UserOf(token);
    const std::optional<bool> elevated = IsElevated(token);
    ::CloseHandle(token);
    std::vector<BYTE> ours;
    if (HANDLE own = OwnToken()) {
        ours = UserOf(own);
        ::CloseHandle(own);
    }
    if (!SameUser(theirs, ours)) return RunningCopy::OtherAccount;
    return elevated.value_or(true) ? RunningCopy::Elevated : RunningCopy::NotElevated;
}

bool IsThisProcessElevated() {
    HANDLE token = OwnToken();
    if (token == nullptr) return false;
    const std::optional<bool> elevated = IsElevated(token);
    ::CloseHandle(token);
    return elevated.value_or(false);
}

SecondStart DecideSecondStart(RunningCopy running, bool thisElevated) {
    switch (running) {
        case RunningCopy::OtherAccount:
            return SecondStart::TellOtherAccount;
        case RunningCopy::NotElevated:
            return thisElevated ? SecondStart::TellToRestartElevated
                                : SecondStart::BringRunningForward;
        case RunningCopy::Elevated:
            break;
    }
    return SecondStart::BringRunningForward;
}
