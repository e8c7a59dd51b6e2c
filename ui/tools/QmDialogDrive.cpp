// qmverify-dialog-drive: opens and fills the secondary dialogs of a running
// qmverify from outside, for the pictures of scripts/screenshots-dialogs.
//
//   qmverify-dialog-drive dblclick ROW            double-click on a row of the result list
//   qmverify-dialog-drive press CAPTION ID        presses button ID of the window CAPTION
//   qmverify-dialog-drive click CAPTION ID        clicks control ID (toggles a check box)
//   qmverify-dialog-drive type CAPTION ID TEXT    puts TEXT into control ID of CAPTION
//   qmverify-dialog-drive rect CAPTION            prints the window's place as WxH+X+Y
//
// CAPTION is the main window's title or a dialog's caption; the window is
// waited for up to ten seconds, until it shows and no dialog of its own is
// open over it. Exit status 1 when it does not turn up.
#include <windows.h>

#include <commctrl.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "ui/tools/DriveSupport.h"

namespace {

// The main window by its title, a dialog or message box by its caption;
// visible, and enabled, so that no modal window of its own is over it (a
// command posted then would run inside that window's loop).
HWND WaitForWindow(const std::string& caption) {
    const bool main = caption == drive::kMainTitle;
    HWND window = drive::WaitForWindow(main ? nullptr : "#32770", caption.c_str(), 10000, true);
    const DWORD start = ::GetTickCount();
    while (window != nullptr && !::IsWindowEnabled(window)) {
        if (::GetTickCount() - start > 10000) return nullptr;
        ::Sleep(50);
    }
    return window;
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

int Usage() {
    std::fputs(
        "usage: qmverify-dialog-drive dblclick ROW | press CAPTION ID | click CAPTION ID"
        " | type CAPTION ID TEXT"
        " | rect CAPTION\n",
        stderr);
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) return Usage();
    const std::string command = argv[1];
    const std::string caption = command == "dblclick" ? drive::kMainTitle : argv[2];
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
    if (command == "press" && argc == 4) {
        const int id = std::atoi(argv[3]);
        ::PostMessageA(window, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                       reinterpret_cast<LPARAM>(::GetDlgItem(window, id)));
        return 0;
    }
    if (command == "click" && argc == 4) {
        ::PostMessageA(::GetDlgItem(window, std::atoi(argv[3])), BM_CLICK, 0, 0);
        return 0;
    }
    if (command == "type" && argc == 5) {
        ::SendMessageA(::GetDlgItem(window, std::atoi(argv[3])), WM_SETTEXT, 0,
                       reinterpret_cast<LPARAM>(argv[4]));
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
