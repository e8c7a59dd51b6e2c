// CAboutDlg: the About box (IDD_ABOUTBOX): icon, name and version, the
// maker's logo and contact block. OK, Escape and the close box end it.
//
// At 100 % display scale it shows the template's icon and logo as they are;
// at any other scale, and when it moves to a monitor of another scale, it
// shows the icon and the logo at the size that scale asks for.
#pragma once

#include <windows.h>

#include "ui/Dialog.h"
#include "ui/MessageMap.h"

class CAboutDlg : public CDialog {
public:
    CAboutDlg();
    ~CAboutDlg() override;

    // The pictures shown (the template's until a scale other than 100 % asks
    // for others).
    HICON ShownIcon() const;
    HBITMAP ShownLogo() const;

protected:
    BOOL OnInitDialog() override;
    bool OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

private:
    static const CMessageMapEntry<CAboutDlg> kMessageMap[];

    bool OnScaleChanged(int dpi, const RECT* suggested);
    void ShowPicturesFor(int dpi);
    HWND PictureOfType(DWORD type) const;

    HICON m_hIcon = nullptr;    // ours, when we replaced the template's
    HBITMAP m_hLogo = nullptr;  // ours, likewise
};
