// Compiled by CTest only, never linked: a message-map entry whose handler is
// of another kind than its maker, or that does not say what becomes of its
// message while the window is busy, must not compile. With no WRONG_... macro
// the file holds only right entries and must compile.
#include <windows.h>

#include <commctrl.h>

#include "ui/MessageMap.h"

class CProbe {
public:
    void OnClick() {}
    void OnDblclk(NMHDR*, LRESULT*) {}
    bool OnPaint(WPARAM, LPARAM, LRESULT&) { return true; }
    bool OnScaleChanged(int, const RECT*) { return false; }
    static const CMessageMapEntry<CProbe> kMessageMap[];
};

const CMessageMapEntry<CProbe> CProbe::kMessageMap[] = {
    OnCommand(1, BN_CLICKED, &CProbe::OnClick, WhileBusy::Ignore),
    OnNotify(2, NM_DBLCLK, &CProbe::OnDblclk, WhileBusy::Ignore),
    OnMessage(WM_PAINT, &CProbe::OnPaint, WhileBusy::Handle),
    OnDpiChanged(&CProbe::OnScaleChanged),
#if defined(WRONG_NOTIFY_ON_COMMAND)
    OnCommand(1, BN_CLICKED, &CProbe::OnDblclk, WhileBusy::Ignore),
#elif defined(WRONG_COMMAND_ON_MESSAGE)
    OnMessage(WM_PAINT, &CProbe::OnClick, WhileBusy::Handle),
#elif defined(WRONG_MESSAGE_ON_NOTIFY)
    OnNotify(2, NM_DBLCLK, &CProbe::OnPaint, WhileBusy::Ignore),
#elif defined(WRONG_MESSAGE_ON_DPI_CHANGED)
    OnDpiChanged(&CProbe::OnPaint),
#elif defined(WRONG_COMMAND_WITHOUT_BUSY_CHOICE)
    // An operator's request must say what becomes of it during a run.
    OnCommand(1, BN_CLICKED, &CProbe::OnClick),
#endif
};
