#include "ui/IconButton.h"

#include <commctrl.h>

#include <string>

#include "ui/Dpi.h"

CIconButton::CIconButton() = default;

CIconButton::~CIconButton() {
    ReleaseIcon();
    ReleaseBitmaps();
}

bool CIconButton::AttachDlgItem(HWND hDlg, int id) {
    m_hWnd = ::GetDlgItem(hDlg, id);
    return m_hWnd != nullptr;
}

int CIconButton::AutoCaptionX(int clientWidth, int margin, int spacing, int imageWidth,
                              int textWidth) {
    int free = clientWidth - spacing - imageWidth - margin - textWidth;
    if (free < 0) free = 0;
    return margin + imageWidth + spacing + free / 2;
}

int CIconButton::RingColourIndex(COLORREF face, COLORREF windowFrame, COLORREF buttonText) {
    // Brightness as the eye weighs the primaries (ITU-R BT.601), times 1000.
    auto brightness = [](COLORREF c) {
        return 299 * GetRValue(c) + 587 * GetGValue(c) + 114 * GetBValue(c);
    };
    auto distance = [&](COLORREF c) {
        const int d = brightness(c) - brightness(face);
        return d < 0 ? -d : d;
    };
    return distance(windowFrame) >= distance(buttonText) ? COLOR_WINDOWFRAME : COLOR_BTNTEXT;
}

std::string CIconButton::WithoutMnemonic(const std::string& caption) {
    std::string shown;
    for (size_t i = 0; i < caption.size(); ++i) {
        if (caption[i] == '&' && i + 1 < caption.size()) ++i;  // the next one shows as it is
        shown += caption[i];
    }
    return shown;
}

int CIconButton::FocusInset(int m, int dpi) {
    const int most = dpi::Scale(3, dpi);
    return (m & ~3) <= 4 * most ? ShiftRight(m, 2) : most;
}

void CIconButton::SetDpi(int dpi) {
    m_nDpi = dpi > 0 ? dpi : dpi::kStandard;
    Repaint();
}

int CIconButton::Scaled(int pixels) const { return dpi::Scale(pixels, m_nDpi); }

void CIconButton::ReleaseIcon() {
    if (m_hIconImage != nullptr) ::DestroyIcon(m_hIconImage);
    m_hIconImage = nullptr;
}

void CIconButton::ReleaseBitmaps() {
    if (m_hBitmap != nullptr) ::DeleteObject(m_hBitmap);
    if (m_hBitmapDisabled != nullptr) ::DeleteObject(m_hBitmapDisabled);
    m_hBitmap = nullptr;
    m_hBitmapDisabled = nullptr;
}

void CIconButton::Repaint() const {
    if (m_hWnd != nullptr && ::IsWindow(m_hWnd)) ::InvalidateRect(m_hWnd, nullptr, TRUE);
}

bool CIconButton::SetIconImage(UINT iconId, int width, int height) {
    HANDLE icon = ::LoadImageA(::GetModuleHandleA(nullptr), MAKEINTRESOURCEA(iconId), IMAGE_ICON,
                               width, height, LR_DEFAULTCOLOR);
    ReleaseIcon();
    m_hIconImage = static_cast<HICON>(icon);
    if (m_hIconImage == nullptr) return false;
    m_sizeImage = SIZE{width, height};
    ReleaseBitmaps();
    m_nBitmapId = 0;
    Repaint();
    return true;
}

bool CIconButton::SetBitmapImage(UINT bitmapId, int width, int height, COLORREF colour) {
    HBITMAP normal =
        dpi::MappedBitmap(bitmapId, colour, ::GetSysColor(COLOR_BTNFACE), width, height, m_nDpi);
    HBITMAP disabled =
        dpi::MappedBitmap(bitmapId, colour, RGB(255, 255, 255), width, height, m_nDpi);
    ReleaseBitmaps();
    m_hBitmap = normal;
    m_hBitmapDisabled = disabled;
    if (normal == nullptr || disabled == nullptr) return false;
    m_sizeImage = SIZE{width, height};
    m_nBitmapId = bitmapId;
    m_crBackground = colour;
    ReleaseIcon();
    Repaint();
    return true;
}

void CIconButton::RemapColours() {
    if (m_nBitmapId != 0) {
        SetBitmapImage(m_nBitmapId, m_sizeImage.cx, m_sizeImage.cy, m_crBackground);
    } else {
        Repaint();
    }
}

void CIconButton::SetImagePosition(int x, int y) {
    m_ptImage = POINT{x, y};
    m_bAutoLayout = FALSE;
    Repaint();
}

void CIconButton::SetTextPosition(int x, int y) {
    m_ptText = POINT{x, y};
    m_bTextPlaced = TRUE;
    m_bAutoLayout = FALSE;
    Repaint();
}

void CIconButton::SetDefaultButton(BOOL flag) {
    if (flag && m_hWnd != nullptr) {
        HWND owner = ::GetWindow(m_hWnd, GW_OWNER);
        if (owner == nullptr) owner = ::GetParent(m_hWnd);
        ::SendMessageA(owner, DM_SETDEFID, static_cast<WPARAM>(::GetDlgCtrlID(m_hWnd)), 0);
    }
    m_bDefault = flag;
    Repaint();
}

void CIconButton::CenterInClient(POINT& position, int width, int height) const {
    RECT client{};
    if (m_hWnd != nullptr) ::GetClientRect(m_hWnd, &client);
    if (position.x == -1) position.x = CenterOffset(client.right - client.left, width);
    if (position.y == -1) position.y = CenterOffset(client.bottom - client.top, height);
}

// A pushed face moves its content down and right by a pixel at 100 %; a
// disabled one draws its image and caption greyed.
void CIconButton::DrawItem(const DRAWITEMSTRUCT& item) {
    const UINT state = item.itemState;
    const Look look{(state & ODS_SELECTED) != 0 ? Scaled(1) : 0, (state & ODS_DISABLED) != 0};
    RECT face = item.rcItem;
    if (m_bDefault) ::InflateRect(&face, -1, -1);
    if (item.itemAction != ODA_FOCUS) {
        DrawFace(item.hDC, item.rcItem, face, look);
        const std::string caption = Caption();
        const bool hasImage = m_hIconImage != nullptr || m_hBitmap != nullptr;
        if (hasImage) DrawImage(item.hDC, face, !caption.empty(), look);
        // In explicit layout an unplaced caption is not drawn: the About
        // button's face is the maker's logo, and its caption stays the
        // control's name (mnemonic, screen readers).
        if (!caption.empty() && (m_bAutoLayout || m_bTextPlaced)) {
            DrawCaption(item.hDC, caption, (state & ODS_NOACCEL) == 0, hasImage, look);
        }
    }
    DrawFocus(item.hDC, face, state, look);
}

std::string CIconButton::Caption() const {
    std::string caption(static_cast<size_t>(::GetWindowTextLengthA(m_hWnd)) + 1, '\0');
    caption.resize(static_cast<size_t>(
        ::GetWindowTextA(m_hWnd, caption.data(), static_cast<int>(caption.size()))));
    return caption;
}

// The default button's ring around the whole button, and the push button's
// frame inside it, raised or pushed.
void CIconButton::DrawFace(HDC dc, const RECT& button, const RECT& face, const Look& look) {
    if (m_bDefault) {
        const int ring =
            RingColourIndex(::GetSysColor(COLOR_BTNFACE), ::GetSysColor(COLOR_WINDOWFRAME),
                            ::GetSysColor(COLOR_BTNTEXT));
        ::FrameRect(dc, &button, ::GetSysColorBrush(ring));
    }
    RECT frame = face;
    ::DrawFrameControl(dc, &frame, DFC_BUTTON,
                       DFCS_BUTTONPUSH | (look.pushed != 0 ? DFCS_PUSHED : 0));
    m_bFocusShown = false;  // the new face has none
}

void CIconButton::DrawImage(HDC dc, const RECT& face, bool hasCaption, const Look& look) const {
    POINT pt = m_ptImage;
    if (m_bAutoLayout) pt = hasCaption ? POINT{face.left + Scaled(m_nMargin), -1} : POINT{-1, -1};
    CenterInClient(pt, m_sizeImage.cx, m_sizeImage.cy);
    pt.x += look.pushed;
    pt.y += look.pushed;
    const UINT disabled = look.disabled ? DSS_DISABLED : 0;
    if (m_hIconImage != nullptr) {
        ::DrawStateA(dc, nullptr, nullptr, reinterpret_cast<LPARAM>(m_hIconImage), 0, pt.x, pt.y,
                     m_sizeImage.cx, m_sizeImage.cy, DST_ICON | disabled);
    } else {
        HBITMAP bitmap = look.disabled ? m_hBitmapDisabled : m_hBitmap;
        ::DrawStateA(dc, nullptr, nullptr, reinterpret_cast<LPARAM>(bitmap), 0, pt.x, pt.y,
                     m_sizeImage.cx, m_sizeImage.cy, DST_BITMAP | disabled);
    }
}

// Without the keyboard cues (`underline` false), the caption shows as
// DST_PREFIXTEXT would show it, less the underline.
void CIconButton::DrawCaption(HDC dc, const std::string& caption, bool underline, bool hasImage,
                              const Look& look) const {
    const std::string plain = WithoutMnemonic(caption);
    SIZE text{};
    ::GetTextExtentPoint32A(dc, plain.c_str(), static_cast<int>(plain.size()), &text);
    POINT pt = m_ptText;
    if (m_bAutoLayout && hasImage) {
        RECT client{};
        ::GetClientRect(m_hWnd, &client);
        pt = POINT{AutoCaptionX(client.right - client.left, Scaled(m_nMargin), Scaled(m_nSpacing),
                                m_sizeImage.cx, text.cx),
                   -1};
    } else if (m_bAutoLayout) {
        pt = POINT{-1, -1};
    }
    const bool centredY = pt.y == -1;
    CenterInClient(pt, text.cx, text.cy);
    pt.x += look.pushed;
    // A centred caption sits a pixel high at 100 %.
    pt.y += look.pushed - (centredY ? Scaled(1) : 0);
    // The caption goes over the face, never with a box of its own.
    const int oldMode = ::SetBkMode(dc, TRANSPARENT);
    const COLORREF oldColour = ::SetTextColor(dc, ::GetSysColor(COLOR_BTNTEXT));
    const std::string& shown = underline ? caption : plain;
    ::DrawStateA(dc, nullptr, nullptr, reinterpret_cast<LPARAM>(shown.c_str()), 0, pt.x, pt.y, 0, 0,
                 (underline ? DST_PREFIXTEXT : DST_TEXT) | (look.disabled ? DSS_DISABLED : 0));
    ::SetTextColor(dc, oldColour);
    ::SetBkMode(dc, oldMode);
}

// The focus rectangle is XOR-drawn: drawing it again takes it away. It shows
// on an enabled button with the focus, unless Windows hides the focus cues.
void CIconButton::DrawFocus(HDC dc, const RECT& face, UINT state, const Look& look) {
    const bool wanted =
        !look.disabled && (state & ODS_FOCUS) != 0 && (state & ODS_NOFOCUSRECT) == 0;
    if (wanted == m_bFocusShown) return;
    RECT f = face;
    const int width = f.right - f.left;
    const int height = f.bottom - f.top;
    const int inset = FocusInset(width < height ? width : height, m_nDpi);
    ::InflateRect(&f, -inset, -inset);
    ::DrawFocusRect(dc, &f);
    m_bFocusShown = wanted;
}
