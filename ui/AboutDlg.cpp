#include "ui/AboutDlg.h"

#include <utility>

#include "core/ListSignature.h"
#include "core/SiteKey.h"
#include "res/resource.h"
#include "ui/AppServices.h"
#include "ui/ChildSearch.h"
#include "ui/Dpi.h"

const CMessageMapEntry<CAboutDlg> CAboutDlg::kMessageMap[] = {
    OnDpiChanged(&CAboutDlg::OnScaleChanged),
    OnMessage(WM_SYSCOLORCHANGE, &CAboutDlg::OnSysColorChange, WhileBusy::Handle),
};

CAboutDlg::CAboutDlg(std::string keyText)
    : CDialog(IDD_ABOUTBOX), m_strKeyText(std::move(keyText)) {}

// The statics hand back what they show when it is replaced; what is ours goes
// once the window is gone.
CAboutDlg::~CAboutDlg() {
    if (m_hIcon != nullptr) ::DestroyIcon(m_hIcon);
    if (m_hLogo != nullptr) ::DeleteObject(m_hLogo);
}

bool CAboutDlg::OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    return DispatchMessageMap(*this, kMessageMap, message, wParam, lParam, result);
}

BOOL CAboutDlg::OnInitDialog() {
    CDialog::OnInitDialog();
    ::SetDlgItemTextA(m_hWnd, IDC_KEY_FINGERPRINT, m_strKeyText.c_str());
    ShowPicturesFor(dpi::OfWindow(m_hWnd));
    // OK has the focus, as before the field came before it.
    ::SetFocus(GetDlgItem(IDOK));
    return FALSE;  // the focus is set
}

bool CAboutDlg::OnSysColorChange(WPARAM, LPARAM, LRESULT&) {
    ShowLogoFor(m_nDpi);
    return false;
}

bool CAboutDlg::OnScaleChanged(int dpi, const RECT* suggested) {
    ShowPicturesFor(dpi);
    dpi::MoveToSuggested(m_hWnd, suggested);
    return false;  // the dialog manager scales the controls
}

HWND CAboutDlg::PictureOfType(DWORD type) const {
    return FirstChildOfType(m_hWnd, "Static", SS_TYPEMASK, type);
}

HICON CAboutDlg::ShownIcon() const {
    return reinterpret_cast<HICON>(::SendMessageA(PictureOfType(SS_ICON), STM_GETICON, 0, 0));
}

HBITMAP CAboutDlg::ShownLogo() const {
    return reinterpret_cast<HBITMAP>(
        ::SendMessageA(PictureOfType(SS_BITMAP), STM_GETIMAGE, IMAGE_BITMAP, 0));
}

// The icon (32 x 32 at 100 %) and the logo (85 x 41) at `dpi`.
void CAboutDlg::ShowPicturesFor(int dpi) {
    m_nDpi = dpi;
    HINSTANCE module = ::GetModuleHandleA(nullptr);
    const int size = dpi::Scale(32, dpi);
    auto icon = static_cast<HICON>(::LoadImageA(module, MAKEINTRESOURCEA(IDR_MAINFRAME), IMAGE_ICON,
                                                size, size, LR_DEFAULTCOLOR));
    if (icon != nullptr) {
        // The template's icon is the shared one of LoadIcon, never destroyed.
        ::SendMessageA(PictureOfType(SS_ICON), STM_SETICON, reinterpret_cast<WPARAM>(icon), 0);
        if (m_hIcon != nullptr) ::DestroyIcon(m_hIcon);
        m_hIcon = icon;
    }

    ShowLogoFor(dpi);
}

// The logo from the bitmap drawn for the scale, averaged down where it is
// larger, its white background in the face colour in force now.
void CAboutDlg::ShowLogoFor(int dpi) {
    const dpi::Bitmap choice = dpi::Logo(dpi, 85, 41);
    HBITMAP logo = dpi::MappedBitmap(choice.id, RGB(0xFF, 0xFF, 0xFF), ::GetSysColor(COLOR_3DFACE),
                                     choice.width, choice.height, dpi);
    if (logo == nullptr) return;
    auto previous = reinterpret_cast<HBITMAP>(::SendMessageA(
        PictureOfType(SS_BITMAP), STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(logo)));
    // The static hands back what it showed: the template's bitmap, or ours.
    if (previous != nullptr && previous != m_hLogo) ::DeleteObject(previous);
    if (m_hLogo != nullptr) ::DeleteObject(m_hLogo);
    m_hLogo = logo;
}

std::string AboutKeyText() {
    const qm::SitePin pin = qm::ReadSitePin();
    if (!pin.pinned) return LoadResString(IDS_NO_SIGNING_KEY);
    if (pin.publicKey.empty()) return LoadResString(IDS_SIGNING_KEY_UNREADABLE);
    return qm::KeyFingerprint(pin.publicKey);
}
