#include "ui/EnterKey.h"

#include <commctrl.h>

namespace {

constexpr UINT_PTR kSubclassId = 1;

LRESULT CALLBACK TakeEnter(HWND control, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                           DWORD_PTR) {
    switch (message) {
        case WM_GETDLGCODE: {
            LRESULT code = ::DefSubclassProc(control, message, wParam, lParam);
            const auto* msg = reinterpret_cast<const MSG*>(lParam);
            if (msg != nullptr && msg->message == WM_KEYDOWN && msg->wParam == VK_RETURN) {
                code |= DLGC_WANTMESSAGE;
            }
            return code;
        }
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

void LetControlTakeEnter(HWND control) { ::SetWindowSubclass(control, &TakeEnter, kSubclassId, 0); }
