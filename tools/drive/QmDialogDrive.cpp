// qmverify-dialog-drive: opens and fills the secondary dialogs of a running
// qmverify from outside, for the pictures of scripts/screenshots-dialogs.
//
//   qmverify-dialog-drive dblclick ROW            double-click on a row of the result list
//   qmverify-dialog-drive press CAPTION ID        presses button ID of the window CAPTION
//   qmverify-dialog-drive click CAPTION ID        clicks control ID (toggles a check box)
//   qmverify-dialog-drive type CAPTION ID TEXT    puts TEXT into control ID of CAPTION
//   qmverify-dialog-drive rect CAPTION            prints the window's place as WxH+X+Y
//   qmverify-dialog-drive timed-comment ROW TEXT  stores TEXT as the comment of ROW
//   qmverify-dialog-drive timed-add NAME          adds NAME from QMW (password on stdin)
//   qmverify-dialog-drive timed-update            "Update Release Data" (password on stdin)
//
// The timed commands are the window benchmark's: each goes through one
// operation from its first click to the window taking input again, all from
// inside this process, and prints the seconds it took.
//
// CAPTION is the main window's title or a dialog's caption; the window is
// waited for up to twenty seconds, until it shows and no dialog of its own is
// open over it. Exit status 1 when it does not turn up.
#include <windows.h>

#include <commctrl.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "tools/drive/DriveSupport.h"

namespace {

// The main window by its title, a dialog or message box by its caption;
// visible, and enabled, so that no modal window of its own is over it (a
// command posted then would run inside that window's loop). Looked for every
// `poll` milliseconds for up to `limit`.
HWND WaitForWindow(const std::string& caption, DWORD limit = 20000, DWORD poll = 50) {
    const char* className = caption == drive::kMainTitle ? nullptr : "#32770";
    const DWORD start = ::GetTickCount();
    for (;;) {
        HWND found = ::FindWindowA(className, caption.c_str());
        if (found != nullptr && ::IsWindowVisible(found) && ::IsWindowEnabled(found)) return found;
        if (::GetTickCount() - start > limit) return nullptr;
        ::Sleep(poll);
    }
}

// A double-click with the left button at a point of `list`, made of the
// list's own mouse messages, so that no input device is needed: the first
// click selects the row, the second (posted, as the mouse posts it) opens
// what a double-click opens.
void DoubleClickAt(HWND list, int x, int y) {
    const LPARAM at = MAKELPARAM(x, y);
    DWORD_PTR answer = 0;
    ::SendMessageTimeoutA(list, WM_LBUTTONDOWN, MK_LBUTTON, at, SMTO_NORMAL, 10000, &answer);
    ::SendMessageTimeoutA(list, WM_LBUTTONUP, 0, at, SMTO_NORMAL, 10000, &answer);
    ::PostMessageA(list, WM_LBUTTONDBLCLK, MK_LBUTTON, at);
    ::PostMessageA(list, WM_LBUTTONUP, 0, at);
}

// The timed flows poll often, so that the wait adds little to what is timed.
constexpr DWORD kTimedPoll = 5;
constexpr DWORD kTimedLimit = 300000;

// A dialog of a timed flow, once it takes input.
HWND WaitForDialog(const char* caption) { return WaitForWindow(caption, kTimedLimit, kTimedPoll); }

// `window` takes input again: `gone` has closed, nothing modal is over the
// window, and it answers.
bool WaitUntilBack(HWND window, HWND gone) {
    const DWORD start = ::GetTickCount();
    for (;;) {
        DWORD_PTR answer = 0;
        if (!::IsWindow(gone) && ::IsWindowEnabled(window) &&
            ::SendMessageTimeoutA(window, WM_NULL, 0, 0, SMTO_NORMAL, 1000, &answer) != 0) {
            return true;
        }
        if (::GetTickCount() - start > kTimedLimit) return false;
        ::Sleep(kTimedPoll);
    }
}

// The release list's last write: each timed write ends when it has changed
// and the window takes input. (A window that stays alive during a long run
// answers messages before the run ends, so answering alone says little.)
ULONGLONG ListWriteTime() {
    char directory[MAX_PATH] = "";
    ::GetWindowsDirectoryA(directory, MAX_PATH);
    WIN32_FILE_ATTRIBUTE_DATA data{};
    const std::string path = std::string(directory) + "\\qmverify.lst";
    if (!::GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data)) return 0;
    return (static_cast<ULONGLONG>(data.ftLastWriteTime.dwHighDateTime) << 32) |
           data.ftLastWriteTime.dwLowDateTime;
}

bool WaitUntilWritten(ULONGLONG before, HWND window, HWND gone) {
    const DWORD start = ::GetTickCount();
    while (ListWriteTime() == before) {
        if (::GetTickCount() - start > kTimedLimit) return false;
        ::Sleep(kTimedPoll);
    }
    return WaitUntilBack(window, gone);
}

void Press(HWND window, int id) {
    ::PostMessageA(window, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                   reinterpret_cast<LPARAM>(::GetDlgItem(window, id)));
}

void Type(HWND window, int id, const char* text) {
    ::SendMessageA(::GetDlgItem(window, id), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text));
}

// The update password, as the first line of standard input.
std::string PasswordFromInput() {
    char line[256] = "";
    if (std::fgets(line, sizeof line, stdin) == nullptr) return std::string();
    line[std::strcspn(line, "\r\n")] = '\0';
    return line;
}

// Answers the password dialog with `password` once it shows; the dialog,
// or nullptr when it does not turn up.
HWND GivePassword(const std::string& password) {
    HWND dialog = WaitForDialog("Password");
    if (dialog == nullptr) return nullptr;
    Type(dialog, IDC_PASSWORD, password.c_str());
    Press(dialog, IDOK);
    return dialog;
}

int PrintSeconds(double seconds) {
    std::printf("%.3f\n", seconds);
    return 0;
}

int TimedComment(HWND main, int row, const char* text) {
    HWND list = ::GetDlgItem(main, IDC_RESULT_LIST);
    RECT rect{LVIR_BOUNDS, 0, 0, 0};
    if (!drive::RemoteRect(list, LVM_GETITEMRECT, static_cast<WPARAM>(row), rect)) return 1;
    const ULONGLONG before = ListWriteTime();
    const LARGE_INTEGER start = drive::Now();
    DoubleClickAt(list, rect.left + 60, (rect.top + rect.bottom) / 2);
    HWND dialog = WaitForDialog("Edit comment");
    if (dialog == nullptr) return 1;
    Type(dialog, IDC_COMMENT_TEXT, text);
    Press(dialog, IDOK);
    if (!WaitUntilWritten(before, main, dialog)) return 1;
    return PrintSeconds(drive::SecondsSince(start));
}

// Settings hands Add to the main window, which adds the file and opens
// Settings again as it was: timed until that Settings takes input, which is
// then closed without storing anything.
int TimedAdd(HWND main, const char* name) {
    const std::string password = PasswordFromInput();
    const ULONGLONG before = ListWriteTime();
    const LARGE_INTEGER start = drive::Now();
    Press(main, IDC_SETTINGS);
    HWND settings = WaitForDialog("Settings");
    if (settings == nullptr) return 1;
    Type(settings, IDC_ADD_FILE, name);
    Press(settings, IDC_ADD);
    if (GivePassword(password) == nullptr) return 1;
    const DWORD waited = ::GetTickCount();
    while (ListWriteTime() == before || ::IsWindow(settings)) {
        if (::GetTickCount() - waited > kTimedLimit) return 1;
        ::Sleep(kTimedPoll);
    }
    HWND again = WaitForDialog("Settings");
    if (again == nullptr) return 1;
    const double seconds = drive::SecondsSince(start);
    Press(again, IDCANCEL);
    if (!WaitUntilBack(main, again)) return 1;
    return PrintSeconds(seconds);
}

// Settings hands "Update Release Data" to the main window, which builds the
// list on its run's thread: timed until the list is written and the run over.
int TimedUpdate(HWND main) {
    const std::string password = PasswordFromInput();
    const ULONGLONG before = ListWriteTime();
    const LARGE_INTEGER start = drive::Now();
    Press(main, IDC_SETTINGS);
    HWND settings = WaitForDialog("Settings");
    if (settings == nullptr) return 1;
    Press(settings, IDC_UPDATE_RELEASE_DATA);
    if (GivePassword(password) == nullptr) return 1;
    HWND confirm = WaitForDialog("Please confirm...");
    if (confirm == nullptr) return 1;
    Press(confirm, IDYES);
    if (!WaitUntilWritten(before, main, settings)) return 1;
    const DWORD waited = ::GetTickCount();
    while (!drive::NoRunGoesOn(main)) {
        if (::GetTickCount() - waited > kTimedLimit) return 1;
        ::Sleep(kTimedPoll);
    }
    return PrintSeconds(drive::SecondsSince(start));
}

int Usage() {
    std::fputs(
        "usage: qmverify-dialog-drive dblclick ROW | press CAPTION ID | click CAPTION ID"
        " | type CAPTION ID TEXT"
        " | rect CAPTION | timed-comment ROW TEXT | timed-add NAME | timed-update\n",
        stderr);
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) return Usage();
    const std::string command = argv[1];
    const bool onMain = command == "dblclick" || command.compare(0, 6, "timed-") == 0;
    if (argc < (command == "timed-update" ? 2 : 3)) return Usage();
    const std::string caption = onMain ? drive::kMainTitle : argv[2];
    HWND window = WaitForWindow(caption);
    if (window == nullptr) {
        std::fprintf(stderr, "qmverify-dialog-drive: no window \"%s\"\n", caption.c_str());
        return 1;
    }
    if (command == "dblclick") {
        HWND list = ::GetDlgItem(window, IDC_RESULT_LIST);
        RECT rect{LVIR_BOUNDS, 0, 0, 0};
        if (!drive::RemoteRect(list, LVM_GETITEMRECT, static_cast<WPARAM>(std::atoi(argv[2])),
                               rect)) {
            return 1;
        }
        // On the file name, clear of the status image.
        DoubleClickAt(list, rect.left + 60, (rect.top + rect.bottom) / 2);
        return 0;
    }
    if (command == "timed-comment" && argc == 4)
        return TimedComment(window, std::atoi(argv[2]), argv[3]);
    if (command == "timed-add") return TimedAdd(window, argv[2]);
    if (command == "timed-update") return TimedUpdate(window);
    if (command == "press" && argc == 4) {
        Press(window, std::atoi(argv[3]));
        return 0;
    }
    if (command == "click" && argc == 4) {
        ::PostMessageA(::GetDlgItem(window, std::atoi(argv[3])), BM_CLICK, 0, 0);
        return 0;
    }
    if (command == "type" && argc == 5) {
        Type(window, std::atoi(argv[3]), argv[4]);
        return 0;
    }
    if (command == "rect") {
        RECT rect{};
        ::GetWindowRect(window, &rect);
        std::printf("%ldx%ld+%ld+%ld\n", rect.right - rect.left, rect.bottom - rect.top, rect.left,
                    rect.top);
        return 0;
    }
    return Usage();
}
