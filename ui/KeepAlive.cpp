#include "ui/KeepAlive.h"

#include "ui/AppServices.h"

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

bool InsideKeepAlive() { return t_nKeepAliveDepth > 0; }

void KeepAliveWithWaitCursor() {
    KeepAlive();
    ShowWaitCursor(true);
}
