#include "ui/EnterKey.h"

#include <commctrl.h>

namespace {

constexpr UINT_PTR kSubclassId = 1;

// The subclass's data: whether Enter clicks the control (a button) or goes
// to the control's own key handling (a list view reports it as NM_RETURN).
constexpr DWORD_PTR kKeyOnly = 0;
constexpr DWORD_PTR kClickOnEnter = 1;

LRESULT CALLBACK TakeEnter(HWND control, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                           DWORD_PTR use) {
    switch (message) {
        case WM_GETDLGCODE: {
            LRESULT code = ::DefSubclassProc(control, message, wParam, lParam);
            const auto* msg = reinterpret_cast<const MSG*>(lParam);
            if (msg != nullptr && msg->message == WM_KEYDOWN && msg->wParam == VK_RETURN) {
                code |= DLGC_WANTMESSAGE;
            }
            return code;
        }
        case WM_KEYDOWN:
            if (use != kClickOnEnter || wParam != VK_RETURN) break;
            // One press, one click: the key's repeats (bit 30, the key was
            // down already) click no more.
            if ((lParam & (LPARAM{1} << 30)) == 0 && ::IsWindowEnabled(control)) {
                ::SendMessageA(::GetParent(control), WM_COMMAND,
                               MAKEWPARAM(::GetDlgCtrlID(control), BN_CLICKED),
                               reinterpret_cast<LPARAM>(control));
            }
            return 0;
        case WM_CHAR:
            // The key's character: the key itself was the whole request, and
            // a list would look for a row that starts with it.
            if (wParam == '\r') return 0;
            break;
        case WM_NCDESTROY:
            ::RemoveWindowSubclass(control, &TakeEnter, kSubclassId);
            break;
        default:
            break;
    }
    return ::DefSubclassProc(control, message, wParam, lParam);
}

}  // namespace

void LetButtonTakeEnter(HWND button) {
    ::SetWindowSubclass(button, &TakeEnter, kSubclassId, kClickOnEnter);
}

void LetControlTakeEnter(HWND control) {
    ::SetWindowSubclass(control, &TakeEnter, kSubclassId, kKeyOnly);
}

void SetDefaultId(HWND dialog, int id) {
    ::SendMessageA(dialog, DM_SETDEFID, static_cast<WPARAM>(id), 0);
}

bool IsFocusNotice(HWND control, WPARAM wParam) {
    if (control == nullptr) return false;
    const UINT code = HIWORD(wParam);
    char name[16] = "";
    ::GetClassNameA(control, name, sizeof name);
    if (::lstrcmpiA(name, "Edit") == 0) return code == EN_SETFOCUS;
    if (::lstrcmpiA(name, "ComboBox") == 0) return code == CBN_SETFOCUS;
    return ::lstrcmpiA(name, "Button") == 0 && code == BN_SETFOCUS;
}
