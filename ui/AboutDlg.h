// CAboutDlg: the About box (IDD_ABOUTBOX): icon, name and version, the
// fingerprint of the site's signing key (for the operator to note in the
// installation record; a read-only field, so that it can be copied), the
// maker's logo and contact block. OK, Escape and the close box end it; it
// opens on OK.
//
// It shows the icon and the logo at the size its display scale asks for,
// again when it moves to a monitor of another scale, and the logo's white
// background in the dialog's face colour, again when the system colours
// change (a dark or high-contrast theme).
#pragma once

#include <windows.h>

#include <string>

#include "ui/Dialog.h"
#include "ui/MessageMap.h"

class CAboutDlg : public CDialog {
public:
    // `keyText`: the key's fingerprint, or why there is none
    // (AboutKeyText).
    explicit CAboutDlg(std::string keyText = std::string());
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

    std::string m_strKeyText;   // IDC_KEY_FINGERPRINT
    HICON m_hIcon = nullptr;    // ours, when we replaced the template's
    HBITMAP m_hLogo = nullptr;  // ours, likewise
    int m_nDpi = 96;
};

// What About shows of the site's signing key: its fingerprint, none yet
// (IDS_NO_SIGNING_KEY), or a settings file that does not tell
// (IDS_SIGNING_KEY_UNREADABLE).
std::string AboutKeyText();
