// Compiled by CTest only, never linked: a message-map entry whose handler is
// of another kind than its maker must not compile. With no WRONG_... macro
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
    OnCommand(1, BN_CLICKED, &CProbe::OnClick),  OnNotify(2, NM_DBLCLK, &CProbe::OnDblclk),
    OnMessage(WM_PAINT, &CProbe::OnPaint),       OnDpiChanged(&CProbe::OnScaleChanged),
#if defined(WRONG_NOTIFY_ON_COMMAND)
    OnCommand(1, BN_CLICKED, &CProbe::OnDblclk),
#elif defined(WRONG_COMMAND_ON_MESSAGE)
    OnMessage(WM_PAINT, &CProbe::OnClick),
#elif defined(WRONG_MESSAGE_ON_NOTIFY)
    OnNotify(2, NM_DBLCLK, &CProbe::OnPaint),
#elif defined(WRONG_MESSAGE_ON_DPI_CHANGED)
    OnDpiChanged(&CProbe::OnPaint),
#endif
};
