// A second start of the tool while a window of the main window's title
// exists: it restores and activates that window and ends with status 0; an
// elevated start that meets a copy without elevation tells the operator first.
#include <windows.h>

#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "ui/Elevation.h"

namespace {

// qmverify.exe is built beside the test programs' folder: <build>\ui.
std::string ProgramPath() {
    char self[MAX_PATH] = "";
    ::GetModuleFileNameA(nullptr, self, sizeof self);
    std::string path = self;
    path.resize(path.find_last_of('\\'));      // <build>\tests
    path.resize(path.find_last_of('\\') + 1);  // <build>\ (trailing)
    return path + "ui\\qmverify.exe";
}

// Waits for the process while serving the messages it sends to our window.
DWORD WaitForExit(HANDLE process, DWORD milliseconds) {
    const DWORD deadline = ::GetTickCount() + milliseconds;
    for (;;) {
        const DWORD now = ::GetTickCount();
        if (now >= deadline) return WAIT_TIMEOUT;
        DWORD wait = ::MsgWaitForMultipleObjects(1, &process, FALSE, deadline - now, QS_ALLINPUT);
        if (wait == WAIT_OBJECT_0) return wait;
        MSG msg;
        while (::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) ::DispatchMessageA(&msg);
    }
}

}  // namespace

TEST(SingleInstance, SecondStartRestoresTheRunningWindowAndEndsWithStatusZero) {
    const std::string program = ProgramPath();
    if (::GetFileAttributesA(program.c_str()) == INVALID_FILE_ATTRIBUTES) {
        GTEST_SKIP() << "not built: " << program;
    }
    // Any top-level window of that title counts as a running copy.
    HWND running =
        ::CreateWindowExA(0, "STATIC", "Quillmark Release Check", WS_OVERLAPPEDWINDOW | WS_VISIBLE,
                          10, 10, 300, 200, nullptr, nullptr, ::GetModuleHandleA(nullptr), nullptr);
    ASSERT_NE(running, nullptr);
    ::ShowWindow(running, SW_MINIMIZE);
    ASSERT_TRUE(::IsIconic(running));

    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    std::string commandLine = "\"" + program + "\"";
    ASSERT_TRUE(::CreateProcessA(program.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0,
                                 nullptr, nullptr, &startup, &process));
    const DWORD waited = WaitForExit(process.hProcess, 30000);
    DWORD status = STILL_ACTIVE;
    ::GetExitCodeProcess(process.hProcess, &status);
    if (waited != WAIT_OBJECT_0) ::TerminateProcess(process.hProcess, 1);
    ::CloseHandle(process.hThread);
    ::CloseHandle(process.hProcess);

    EXPECT_EQ(waited, static_cast<DWORD>(WAIT_OBJECT_0)) << "the second copy kept running";
    EXPECT_EQ(status, 0u);
    EXPECT_FALSE(::IsIconic(running)) << "the running window is restored";
    ::DestroyWindow(running);
}

TEST(SingleInstance, AnElevatedStartTellsOfACopyWithoutElevationAndAnyStartOfAnotherAccount) {
    EXPECT_EQ(DecideSecondStart(RunningCopy::NotElevated, false), SecondStart::BringRunningForward);
    EXPECT_EQ(DecideSecondStart(RunningCopy::Elevated, true), SecondStart::BringRunningForward);
    EXPECT_EQ(DecideSecondStart(RunningCopy::Elevated, false), SecondStart::BringRunningForward)
        << "a standard start meets an elevated copy as it always did";
    EXPECT_EQ(DecideSecondStart(RunningCopy::NotElevated, true),
              SecondStart::TellToRestartElevated);
    for (bool elevated : {false, true}) {
        EXPECT_EQ(DecideSecondStart(RunningCopy::OtherAccount, elevated),
                  SecondStart::TellOtherAccount)
            << "a copy whose process cannot be opened is never taken for an elevated one";
    }

    // The running copy's facts, read through its window: here our own.
    HWND window = ::CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                    ::GetModuleHandleA(nullptr), nullptr);
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(RunningCopyOf(window),
              IsThisProcessElevated() ? RunningCopy::Elevated : RunningCopy::NotElevated);
    ::DestroyWindow(window);
}
