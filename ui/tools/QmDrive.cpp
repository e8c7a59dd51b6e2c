// qmverify-drive: drives a running qmverify from outside, for the scripts
// that show the tool without an operator (screenshots on a virtual display).
//
//   qmverify-drive wait              until the main window exists
//   qmverify-drive compare           presses "Compare"
//   qmverify-drive dismiss           closes the notice box, when one shows
//   qmverify-drive header COLUMN     left click on a column header
//   qmverify-drive exit              presses "Exit"
//
// Exit status 0 on success, 1 when the window did not turn up in time.
#include <windows.h>

#include <commctrl.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "ui/tools/DriveSupport.h"

namespace {

// A left click at a point of the screen, as the mouse makes it.
void ClickAt(int x, int y) {
    ::SetCursorPos(x, y);
    INPUT input[2] = {};
    input[0].type = input[1].type = INPUT_MOUSE;
    input[0].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
    input[1].mi.dwFlags = MOUSEEVENTF_LEFTUP;
    ::SendInput(2, input, sizeof(INPUT));
}

int Usage() {
    std::fputs("usage: qmverify-drive wait|compare|dismiss|exit|header COLUMN\n", stderr);
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) return Usage();
    const std::string command = argv[1];
    HWND main = drive::WaitForWindow(nullptr, drive::kMainTitle, 30000);
    if (main == nullptr) {
        std::fprintf(stderr, "qmverify-drive: no window \"%s\"\n", drive::kMainTitle);
        return 1;
    }
    if (command == "wait") return 0;
    if (command == "compare" || command == "exit") {
        const int id = command == "compare" ? IDC_COMPARE : IDOK;
        ::PostMessageA(main, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                       reinterpret_cast<LPARAM>(::GetDlgItem(main, id)));
        return 0;
    }
    if (command == "dismiss") {
        // The notice is a message box of the tool's own.
        HWND box = drive::WaitForWindow("#32770", drive::kNoticeCaption, 10000);
        if (box == nullptr) return 1;
        ::PostMessageA(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
        return 0;
    }
    if (command == "header" && argc == 3) {
        HWND list = ::GetDlgItem(main, IDC_RESULT_LIST);
        HWND header = reinterpret_cast<HWND>(::SendMessageA(list, LVM_GETHEADER, 0, 0));
        RECT rect{};
        if (!drive::RemoteRect(header, HDM_GETITEMRECT, static_cast<WPARAM>(std::atoi(argv[2])),
                               rect)) {
            return 1;
        }
        ::SetForegroundWindow(main);
        ClickAt((rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2);
        return 0;
    }
    return Usage();
}
