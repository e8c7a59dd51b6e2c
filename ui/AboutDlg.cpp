#include "ui/AboutDlg.h"

#include "res/resource.h"
#include "ui/ChildSearch.h"
#include "ui/Dpi.h"

const CMessageMapEntry<CAboutDlg> CAboutDlg::kMessageMap[] = {
    OnDpiChanged(&CAboutDlg::OnScaleChanged),
};

CAboutDlg::CAboutDlg() : CDialog(IDD_ABOUTBOX) {}

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
    const BOOL result = CDialog::OnInitDialog();
    const int dpi = dpi::OfWindow(m_hWnd);
    if (dpi != dpi::kStandard) ShowPicturesFor(dpi);
    return result;
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

// The icon (32 x 32 at 100 %) and the logo (85 x 41) at `dpi`; the logo from
// the bitmap drawn for that scale, averaged down where it is larger.
void CAboutDlg::ShowPicturesFor(int dpi) {
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

    const dpi::Bitmap choice = dpi::Logo(dpi, 85, 41);
    auto source = static_cast<HBITMAP>(
        ::LoadImageA(module, MAKEINTRESOURCEA(choice.id), IMAGE_BITMAP, 0, 0, 0));
    HBITMAP logo = dpi::StretchedCopy(source, choice.width, choice.height);
    if (source != nullptr) ::DeleteObject(source);
    if (logo == nullptr) return;
    auto previous = reinterpret_cast<HBITMAP>(::SendMessageA(
        PictureOfType(SS_BITMAP), STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(logo)));
    // The static hands back what it showed: the template's bitmap, or ours.
    if (previous != nullptr && previous != m_hLogo) ::DeleteObject(previous);
    if (m_hLogo != nullptr) ::DeleteObject(m_hLogo);
    m_hLogo = logo;
}
