// qmverify-drive: drives a running qmverify from outside, for the scripts
// that show the tool without an operator (screenshots on a virtual display)
// and for the window benchmark.
//
//   qmverify-drive wait              until the main window exists
//   qmverify-drive idle [SECONDS]    until the main window waits for the operator
//   qmverify-drive compare           presses "Compare"
//   qmverify-drive dismiss           closes the notice box, when one shows, and waits
//                                    until it is gone
//   qmverify-drive header COLUMN     left click on a column header, done when it returns
//   qmverify-drive exit              presses "Exit" once no dialog is open over the window
//   qmverify-drive timed-compare     presses "Compare", prints the seconds to the run's end
//                                    and the longest the window took to answer a
//                                    message meanwhile (milliseconds)
//   qmverify-drive running           status 0 while a run goes on, 1 while none does
//   qmverify-drive group             prints the result group box's text (a run's count,
//                                    or how the last run ended)
//   qmverify-drive stop-ms           prints the milliseconds the window took to show its
//                                    last run stopped, from the key or click (-1: none)
//   qmverify-drive timed-sort COLUMN clicks header COLUMN, prints the seconds it sorts
//   qmverify-drive rows              prints the number of rows of the result list
//   qmverify-drive place             prints the window's place and its monitor's work
//                                    area; status 1 when the window or a control of it
//                                    lies outside the work area or outside the window
//   qmverify-drive timed-run PROGRAM [ARGS...]
//                                    runs a program to its end, its output discarded,
//                                    and prints the seconds it took
//
// "Waiting for the operator" means: the window answers messages, and no
// run goes on (its Compare button does not read Stop). A notice box counts
// as waiting too. "compare" hands the command over ahead of whatever is
// asked after it, so an "idle" that follows sees the run.
//
// Exit status 0 on success, 1 when the window did not turn up (or turn idle)
// in time.
#include <windows.h>

#include <commctrl.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "tools/drive/DriveSupport.h"

namespace {

HWND HeaderOf(HWND main) {
    HWND list = ::GetDlgItem(main, IDC_RESULT_LIST);
    return reinterpret_cast<HWND>(::SendMessageA(list, LVM_GETHEADER, 0, 0));
}

// Whether one of the tool's notice boxes, owned by the main window, shows: a
// run stops there (the group box still counts it) until the operator answers.
bool ShowsNotice(HWND main) {
    HWND box = ::FindWindowA("#32770", drive::kNoticeCaption);
    return box != nullptr && ::IsWindowVisible(box) && ::GetWindow(box, GW_OWNER) == main;
}

// Whether the window answers within a second and no run goes on, or a
// notice box waits for an answer.
bool WaitsForTheOperator(HWND main, HWND group) {
    if (group == nullptr) return false;
    if (ShowsNotice(main)) return true;
    return drive::NoRunGoesOn(main);
}

int WaitUntilIdle(HWND main, DWORD milliseconds) {
    const DWORD start = ::GetTickCount();
    // The window is found as soon as it exists, its controls a moment later.
    while (!WaitsForTheOperator(main, drive::ResultGroupBox(main))) {
        if (::GetTickCount() - start > milliseconds) {
            std::fputs("qmverify-drive: the window stays busy\n", stderr);
            return 1;
        }
        ::Sleep(50);
    }
    return 0;
}

// A whole run may take minutes on a large installation.
constexpr UINT kRunTimeout = 3600 * 1000;

// Presses Compare and waits for the run's end, asking the window every
// 10 ms meanwhile how long it takes to answer (a message sent to it waits
// for the thread to look at its queue).
int TimedCompare(HWND main) {
    const LARGE_INTEGER start = drive::Now();
    DWORD_PTR answer = 0;
    // Sent: it returns once the run has started on its thread.
    if (::SendMessageTimeoutA(main, WM_COMMAND, MAKEWPARAM(IDC_COMPARE, BN_CLICKED),
                              reinterpret_cast<LPARAM>(::GetDlgItem(main, IDC_COMPARE)),
                              SMTO_NORMAL, kRunTimeout, &answer) == 0) {
        return 1;
    }
    double longest = 0;
    while (!drive::NoRunGoesOn(main)) {
        const LARGE_INTEGER asked = drive::Now();
        if (::SendMessageTimeoutA(main, WM_NULL, 0, 0, SMTO_NORMAL, kRunTimeout, &answer) == 0) {
            return 1;
        }
        longest = std::max(longest, drive::SecondsSince(asked) * 1000);
        ::Sleep(10);
    }
    std::printf("%.3f %.1f\n", drive::SecondsSince(start), longest);
    return 0;
}

// A left click on a header item, made of the header's own mouse messages
// (sent, so that no input device is needed and the click is over when they
// return): the button goes up on the item it went down on, so the header
// reports a click to the window, which sorts before the message returns.
// The seconds from the button's release to the end of the sort.
bool ClickHeader(HWND main, int column, double& seconds) {
    HWND header = HeaderOf(main);
    RECT rect{};
    if (!drive::RemoteRect(header, HDM_GETITEMRECT, static_cast<WPARAM>(column), rect)) {
        return false;
    }
    const LPARAM at = MAKELPARAM((rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2);
    DWORD_PTR answer = 0;
    if (::SendMessageTimeoutA(header, WM_LBUTTONDOWN, MK_LBUTTON, at, SMTO_NORMAL, kRunTimeout,
                              &answer) == 0) {
        return false;
    }
    const LARGE_INTEGER start = drive::Now();
    if (::SendMessageTimeoutA(header, WM_LBUTTONUP, 0, at, SMTO_NORMAL, kRunTimeout, &answer) ==
        0) {
        return false;
    }
    seconds = drive::SecondsSince(start);
    return true;
}

// Until no modal window of the tool's keeps `window` disabled.
bool WaitUntilEnabled(HWND window, DWORD milliseconds) {
    const DWORD start = ::GetTickCount();
    while (!::IsWindowEnabled(window)) {
        if (!::IsWindow(window) || ::GetTickCount() - start > milliseconds) return false;
        ::Sleep(50);
    }
    return true;
}

// The benchmark's yardstick: a program timed from its start to its end, from
// inside the same Wine session as the window.
int TimedRun(int argc, char** argv) {
    std::string commandLine;
    for (int i = 2; i < argc; ++i) {
        if (!commandLine.empty()) commandLine += ' ';
        commandLine += std::string("\"") + argv[i] + "\"";
    }
    SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
    HANDLE nul =
        ::CreateFileA("NUL", GENERIC_WRITE, FILE_SHARE_WRITE, &inherit, OPEN_EXISTING, 0, nullptr);
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = ::GetStdHandle(STD_INPUT_HANDLE);
    startup.hStdOutput = nul;
    startup.hStdError = nul;
    PROCESS_INFORMATION process{};
    const LARGE_INTEGER start = drive::Now();
    if (!::CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr,
                          &startup, &process)) {
        ::CloseHandle(nul);
        return 1;
    }
    ::WaitForSingleObject(process.hProcess, INFINITE);
    const double seconds = drive::SecondsSince(start);
    ::CloseHandle(process.hThread);
    ::CloseHandle(process.hProcess);
    ::CloseHandle(nul);
    std::printf("%.3f\n", seconds);
    return 0;
}

bool Inside(const RECT& inner, const RECT& outer) {
    return inner.left >= outer.left && inner.top >= outer.top && inner.right <= outer.right &&
           inner.bottom <= outer.bottom;
}

int PrintPlace(HWND main) {
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    if (!::GetMonitorInfoA(::MonitorFromWindow(main, MONITOR_DEFAULTTONEAREST), &monitor)) return 1;
    const RECT& work = monitor.rcWork;
    RECT window{}, client{};
    ::GetWindowRect(main, &window);
    ::GetClientRect(main, &client);
    ::MapWindowPoints(main, nullptr, reinterpret_cast<POINT*>(&client), 2);
    bool inside = Inside(window, work);
    for (HWND child = ::GetWindow(main, GW_CHILD); child != nullptr;
         child = ::GetWindow(child, GW_HWNDNEXT)) {
        RECT control{};
        ::GetWindowRect(child, &control);
        if (!Inside(control, client) || !Inside(control, work)) {
            std::printf("control %d at %ldx%ld+%ld+%ld lies outside\n", ::GetDlgCtrlID(child),
                        control.right - control.left, control.bottom - control.top, control.left,
                        control.top);
            inside = false;
        }
    }
    std::printf("window %ldx%ld+%ld+%ld, client %ldx%ld, work area %ldx%ld+%ld+%ld: %s\n",
                window.right - window.left, window.bottom - window.top, window.left, window.top,
                client.right - client.left, client.bottom - client.top, work.right - work.left,
                work.bottom - work.top, work.left, work.top, inside ? "inside" : "OUTSIDE");
    return inside ? 0 : 1;
}

// Closes the notice box, done once it is gone, so that what follows meets
// the window.
int Dismiss() {
    HWND box = drive::WaitForWindow("#32770", drive::kNoticeCaption, 10000);
    if (box == nullptr) return 1;
    ::PostMessageA(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    const DWORD start = ::GetTickCount();
    while (::IsWindow(box)) {
        if (::GetTickCount() - start > 10000) return 1;
        ::Sleep(20);
    }
    return 0;
}

int Usage() {
    std::fputs(
        "usage: qmverify-drive wait|idle [SECONDS]|compare|dismiss|exit|header COLUMN"
        "|timed-compare|timed-sort COLUMN|rows|place|running|group|stop-ms"
        "|timed-run PROGRAM [ARGS...]\n",
        stderr);
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) return Usage();
    const std::string command = argv[1];
    if (command == "timed-run" && argc >= 3) return TimedRun(argc, argv);
    HWND main = drive::WaitForWindow(nullptr, drive::kMainTitle, 30000);
    if (main == nullptr) {
        std::fprintf(stderr, "qmverify-drive: no window \"%s\"\n", drive::kMainTitle);
        return 1;
    }
    if (command == "wait") return 0;
    if (command == "idle") {
        const int seconds = argc == 3 ? std::atoi(argv[2]) : 300;
        return WaitUntilIdle(main, static_cast<DWORD>(seconds) * 1000);
    }
    if (command == "compare") {
        // Sent, not posted: it goes ahead of any message sent after it.
        ::SendNotifyMessageA(main, WM_COMMAND, MAKEWPARAM(IDC_COMPARE, BN_CLICKED),
                             reinterpret_cast<LPARAM>(::GetDlgItem(main, IDC_COMPARE)));
        return 0;
    }
    if (command == "exit") {
        // Not into the loop of a dialog still open over the window.
        if (!WaitUntilEnabled(main, 10000)) return 1;
        ::PostMessageA(main, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED),
                       reinterpret_cast<LPARAM>(::GetDlgItem(main, IDOK)));
        return 0;
    }
    if (command == "dismiss") return Dismiss();
    double seconds = 0;
    if (command == "header" && argc == 3)
        return ClickHeader(main, std::atoi(argv[2]), seconds) ? 0 : 1;
    if (command == "timed-sort" && argc == 3) {
        if (!ClickHeader(main, std::atoi(argv[2]), seconds)) return 1;
        std::printf("%.3f\n", seconds);
        return 0;
    }
    if (command == "timed-compare") return TimedCompare(main);
    if (command == "running") return drive::NoRunGoesOn(main) ? 1 : 0;
    if (command == "group") {
        char text[1024] = "";
        DWORD_PTR answer = 0;
        ::SendMessageTimeoutA(drive::ResultGroupBox(main), WM_GETTEXT, sizeof text,
                              reinterpret_cast<LPARAM>(text), SMTO_NORMAL, 5000, &answer);
        std::printf("%s\n", text);
        return 0;
    }
    if (command == "stop-ms") {
        const auto stored = reinterpret_cast<INT_PTR>(::GetPropA(main, drive::kStopTimeProperty));
        std::printf("%d\n", static_cast<int>(stored) - 1);
        return 0;
    }
    if (command == "place") return PrintPlace(main);
    if (command == "rows") {
        HWND list = ::GetDlgItem(main, IDC_RESULT_LIST);
        std::printf("%d\n", static_cast<int>(::SendMessageA(list, LVM_GETITEMCOUNT, 0, 0)));
        return 0;
    }
    return Usage();
}
