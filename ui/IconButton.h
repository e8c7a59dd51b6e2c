// CIconButton: an owner-drawn push button that shows an icon or a bitmap
// beside (or under) its caption, with its own pushed, disabled, focused and
// default looks. The dialog template gives the control BS_OWNERDRAW; the
// dialog binds it with Attach and forwards WM_DRAWITEM to DrawItem.
//
// Its layout is given in pixels at 100 % display scale and drawn at the DPI
// set with SetDpi: the margin before the image, the spacing after it, the
// shift of a pushed face, the lift of a centred caption and the focus
// rectangle's greatest inset scale with it; the one-pixel lines (the default
// button's ring, the frame's edges) stay one pixel. The images are loaded at
// the size the caller asks for, which the caller scales.
//
// It draws as a standard push button does: in system colours only, the
// default ring in the one of the window frame's and the button text's colour
// that stands out more from the face (so it shows on a high-contrast face
// too), and without the focus rectangle or the mnemonic's underline while
// Windows hides the keyboard cues (ODS_NOFOCUSRECT, ODS_NOACCEL: after a
// start with the mouse, until a key is used). After the system colours
// change, RemapColours maps the bitmap's background to the new face.
#pragma once

#include <windows.h>

#include <string>

class CIconButton {
public:
    CIconButton();
    ~CIconButton();
    CIconButton(const CIconButton&) = delete;
    CIconButton& operator=(const CIconButton&) = delete;

    // Binds the button to its control window; the window stays the dialog's.
    void Attach(HWND hWnd) { m_hWnd = hWnd; }
    bool AttachDlgItem(HWND hDlg, int id);
    HWND GetSafeHwnd() const { return m_hWnd; }
    // The DPI to draw for (96, 100 %, unless set); set it before the images,
    // since a bitmap is scaled for it as it loads.
    void SetDpi(int dpi);
    int GetDpi() const { return m_nDpi; }

    bool SetIconImage(UINT iconId, int width, int height);
    // `colour` of the bitmap becomes the button face (and white in the
    // disabled look).
    bool SetBitmapImage(UINT bitmapId, int width, int height, COLORREF colour);
    // Loads the bitmap again for the face colour in force now
    // (WM_SYSCOLORCHANGE, WM_THEMECHANGED); nothing for an icon.
    void RemapColours();
    void SetImagePosition(int x, int y);
    // Explicit layout draws the caption only where this places it (-1 on an
    // axis centres it); until then the image alone is the button's face.
    void SetTextPosition(int x, int y);
    // TRUE: the button is the dialog's default (DM_SETDEFID: Enter presses
    // it where the control with the focus leaves Enter to the dialog) and
    // wears the default ring; FALSE: it wears no ring and the dialog's
    // default stays as it is.
    void SetDefaultButton(BOOL flag);
    void CenterInClient(POINT& position, int width, int height) const;
    void DrawItem(const DRAWITEMSTRUCT& item);

    HICON GetIconImage() const { return m_hIconImage; }
    HBITMAP GetBitmapImage() const { return m_hBitmap; }
    HBITMAP GetDisabledBitmapImage() const { return m_hBitmapDisabled; }
    SIZE GetImageSize() const { return m_sizeImage; }
    BOOL IsDefaultButton() const { return m_bDefault; }
    BOOL IsAutoLayout() const { return m_bAutoLayout; }

    // Layout arithmetic, free of any window.
    // Right shift that rounds toward minus infinity for negative values too.
    static int ShiftRight(int value, int bits) {
        return value >= 0 ? value >> bits : ~(~value >> bits);
    }
    // Offset that centres size in client: half the difference, rounded down.
    static int CenterOffset(int client, int size) { return ShiftRight(client - size, 1); }
    // Inset of the focus rectangle for a face whose smaller side is m: a
    // quarter of it, at most 3 pixels at 100 % (at `dpi`, that scaled).
    static int FocusInset(int m) { return FocusInset(m, 96); }
    static int FocusInset(int m, int dpi);
    // Automatic layout: the caption's x, centred in the room right of the
    // image, or right after the image when it does not fit.
    static int AutoCaptionX(int clientWidth, int margin, int spacing, int imageWidth,
                            int textWidth);
    // The system colour of the default ring (COLOR_WINDOWFRAME or
    // COLOR_BTNTEXT): the one whose brightness lies farther from the face's;
    // the window frame's when both lie as far.
    static int RingColourIndex(COLORREF face, COLORREF windowFrame, COLORREF buttonText);
    // The caption as it shows without the mnemonic's underline: each "&"
    // that marks a mnemonic dropped, "&&" shown as "&".
    static std::string WithoutMnemonic(const std::string& caption);

private:
    // What one drawing asks for: the shift of a pushed face's content, and
    // the greyed look of a disabled button.
    struct Look {
        int pushed;
        bool disabled;
    };
    std::string Caption() const;
    void DrawFace(HDC dc, const RECT& button, const RECT& face, const Look& look);
    void DrawImage(HDC dc, const RECT& face, bool hasCaption, const Look& look) const;
    void DrawCaption(HDC dc, const std::string& caption, bool underline, bool hasImage,
                     const Look& look) const;
    void DrawFocus(HDC dc, const RECT& face, UINT state, const Look& look);
    void Repaint() const;
    void ReleaseIcon();
    void ReleaseBitmaps();
    int Scaled(int pixels) const;

    HWND m_hWnd = nullptr;

    BOOL m_bAutoLayout = TRUE;
    POINT m_ptImage{-1, -1};
    POINT m_ptText{-1, -1};
    BOOL m_bTextPlaced = FALSE;  // explicit layout: SetTextPosition was called
    int m_nMargin = 4;           // at 100 %
    int m_nSpacing = 8;          // at 100 %
    int m_nDpi = 96;
    HICON m_hIconImage = nullptr;
    HBITMAP m_hBitmap = nullptr;
    HBITMAP m_hBitmapDisabled = nullptr;
    SIZE m_sizeImage{0, 0};
    UINT m_nBitmapId = 0;         // the bitmap shown, for RemapColours; 0: none
    COLORREF m_crBackground = 0;  // its colour that becomes the face
    BOOL m_bDefault = FALSE;
    bool m_bFocusShown = false;  // the XOR-drawn focus rectangle is on the face
};
