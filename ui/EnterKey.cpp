#include "ui/EnterKey.h"

#include <commctrl.h>

namespace {

constexpr UINT_PTR kSubclassId = 1;

// The control's own dialog code, with the wish for Enter when the dialog
// manager asks about that key.
LRESULT DialogCodeWithEnter(HWND control, WPARAM wParam, LPARAM lParam) {
    LRESULT code = ::DefSubclassProc(control, WM_GETDLGCODE, wParam, lParam);
    const auto* msg = reinterpret_cast<const MSG*>(lParam);
    if (msg != nullptr && msg->message == WM_KEYDOWN && msg->wParam == VK_RETURN) {
        code |= DLGC_WANTMESSAGE;
    }
    return code;
}

LRESULT CALLBACK TakeEnter(HWND control, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                           DWORD_PTR) {
    switch (message) {
        case WM_GETDLGCODE:
            return DialogCodeWithEnter(control, wParam, lParam);
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

LRESULT CALLBACK ButtonTakesEnter(HWND button, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                  DWORD_PTR) {
    constexpr LPARAM kRepeat = LPARAM{1} << 30;  // the key was down already
    switch (message) {
        case WM_GETDLGCODE:
            return DialogCodeWithEnter(button, wParam, lParam);
        case WM_KEYDOWN:
            if (wParam != VK_RETURN) break;
            // One press, one click: the key's repeats click no more.
            if ((lParam & kRepeat) == 0 && ::IsWindowEnabled(button)) {
                ::SendMessageA(::GetParent(button), WM_COMMAND,
                               MAKEWPARAM(::GetDlgCtrlID(button), BN_CLICKED),
                               reinterpret_cast<LPARAM>(button));
            }
            return 0;
        case WM_CHAR:
            if (wParam == '\r') return 0;
            break;
        case WM_NCDESTROY:
            ::RemoveWindowSubclass(button, &ButtonTakesEnter, kSubclassId);
            break;
        default:
            break;
    }
    return ::DefSubclassProc(button, message, wParam, lParam);
}

}  // namespace

void LetButtonTakeEnter(HWND button) {
    ::SetWindowSubclass(button, &ButtonTakesEnter, kSubclassId, 0);
}

void LetControlTakeEnter(HWND control) { ::SetWindowSubclass(control, &TakeEnter, kSubclassId, 0); }
