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

namespace {

const char kTitle[] = "Quillmark Release Check";
constexpr int kCompareId = 1003;
constexpr int kResultListId = 1000;

HWND WaitForWindow(const char* className, const char* title, DWORD milliseconds) {
    const DWORD start = ::GetTickCount();
    for (;;) {
        if (HWND found = ::FindWindowA(className, title)) return found;
        if (::GetTickCount() - start > milliseconds) return nullptr;
        ::Sleep(100);
    }
}

// A left click at a point of the screen, as the mouse makes it.
void ClickAt(int x, int y) {
    ::SetCursorPos(x, y);
    INPUT input[2] = {};
    input[0].type = input[1].type = INPUT_MOUSE;
    input[0].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
    input[1].mi.dwFlags = MOUSEEVENTF_LEFTUP;
    ::SendInput(2, input, sizeof(INPUT));
}

// The header item's rectangle in screen coordinates, read across processes.
bool HeaderItemRect(HWND header, int column, RECT& rect) {
    DWORD processId = 0;
    ::GetWindowThreadProcessId(header, &processId);
    HANDLE process =
        ::OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, processId);
    if (process == nullptr) return false;
    void* remote = ::VirtualAllocEx(process, nullptr, sizeof rect, MEM_COMMIT, PAGE_READWRITE);
    bool ok = remote != nullptr &&
              ::SendMessageA(header, HDM_GETITEMRECT, static_cast<WPARAM>(column),
                             reinterpret_cast<LPARAM>(remote)) != 0 &&
              ::ReadProcessMemory(process, remote, &rect, sizeof rect, nullptr);
    if (remote != nullptr) ::VirtualFreeEx(process, remote, 0, MEM_RELEASE);
    ::CloseHandle(process);
    ::MapWindowPoints(header, nullptr, reinterpret_cast<POINT*>(&rect), 2);
    return ok;
}

int Usage() {
    std::fputs("usage: qmverify-drive wait|compare|dismiss|exit|header COLUMN\n", stderr);
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) return Usage();
    const std::string command = argv[1];
    HWND main = WaitForWindow(nullptr, kTitle, 30000);
    if (main == nullptr) {
        std::fprintf(stderr, "qmverify-drive: no window \"%s\"\n", kTitle);
        return 1;
    }
    if (command == "wait") return 0;
    if (command == "compare" || command == "exit") {
        const int id = command == "compare" ? kCompareId : IDOK;
        ::PostMessageA(main, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                       reinterpret_cast<LPARAM>(::GetDlgItem(main, id)));
        return 0;
    }
    if (command == "dismiss") {
        // The notice is a message box of the tool's own: a dialog captioned
        // "qmverify".
        HWND box = WaitForWindow("#32770", "qmverify", 10000);
        if (box == nullptr) return 1;
        ::PostMessageA(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
        return 0;
    }
    if (command == "header" && argc == 3) {
        HWND list = ::GetDlgItem(main, kResultListId);
        HWND header = reinterpret_cast<HWND>(::SendMessageA(list, LVM_GETHEADER, 0, 0));
        RECT rect{};
        if (!HeaderItemRect(header, std::atoi(argv[2]), rect)) return 1;
        ::SetForegroundWindow(main);
        ClickAt((rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2);
        return 0;
    }
    return Usage();
}
