// CAboutDlg: the About box (IDD_ABOUTBOX): icon, name and version, the
// maker's logo and contact block. OK, Escape and the close box end it.
//
// It shows the icon and the logo at the size its display scale asks for,
// again when it moves to a monitor of another scale, and the logo's white
// background in the dialog's face colour, again when the system colours
// change (a dark or high-contrast theme).
#pragma once

#include <windows.h>

#include "ui/Dialog.h"
#include "ui/MessageMap.h"

class CAboutDlg : public CDialog {
public:
    CAboutDlg();
    ~CAboutDlg() override;

    // The pictures shown.
    HICON ShownIcon() const;
    HBITMAP ShownLogo() const;

protected:
    BOOL OnInitDialog() override;
    bool OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

private:
    static const CMessageMapEntry<CAboutDlg> kMessageMap[];

    bool OnScaleChanged(int dpi, const RECT* suggested);
    bool OnSysColorChange(WPARAM wParam, LPARAM lParam, LRESULT& result);
    void ShowPicturesFor(int dpi);
    void ShowLogoFor(int dpi);
    HWND PictureOfType(DWORD type) const;

    HICON m_hIcon = nullptr;    // ours, when we replaced the template's
    HBITMAP m_hLogo = nullptr;  // ours, likewise
    int m_nDpi = 96;
};
