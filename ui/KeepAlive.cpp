#include "ui/KeepAlive.h"

#include <commctrl.h>

#include "ui/AppServices.h"
#include "ui/RedrawPace.h"

namespace {

// Per thread: only the thread inside KeepAlive receives what it dispatches.
thread_local int t_nKeepAliveDepth = 0;

}  // namespace

void KeepAlive() {
    ++t_nKeepAliveDepth;
    MSG msg;
    ::PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE);
    --t_nKeepAliveDepth;
}

std::function<void(int)> KeepAliveAtPace() {
    return [pace = CRedrawPace(kKeepAliveInterval)](int) mutable {
        if (pace.Due(CRedrawPace::Clock::now())) KeepAlive();
    };
}

bool InsideKeepAlive() { return t_nKeepAliveDepth > 0; }

bool IsOperatorRequest(UINT message, WPARAM, LPARAM lParam) {
    switch (message) {
        case WM_COMMAND:
        case WM_SYSCOMMAND:
            return true;
        case WM_NOTIFY: {
            const UINT code = reinterpret_cast<const NMHDR*>(lParam)->code;
            return code == static_cast<UINT>(NM_DBLCLK) || code == static_cast<UINT>(NM_RETURN) ||
                   code == static_cast<UINT>(HDN_ITEMCLICKA) ||
                   code == static_cast<UINT>(HDN_ITEMCLICKW);
        }
        default:
            return false;
    }
}

void KeepAliveWithWaitCursor() {
    KeepAlive();
    ShowWaitCursor(true);
}
