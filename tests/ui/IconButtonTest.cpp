// CIconButton drawn into a 32-bit DIB section and checked pixel by pixel, on
// a real hidden owner-drawn button inside a hidden dialog.
#include "ui/IconButton.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "SystemColours.h"
#include "res/resource.h"

namespace {

constexpr int kButtonId = 1003;
constexpr COLORREF kUnpainted = RGB(255, 0, 255);

struct Box {
    int left = 1 << 30, top = 1 << 30, right = -1, bottom = -1;  // inclusive
    bool empty() const { return right < 0; }
    void add(int x, int y) {
        left = x < left ? x : left;
        top = y < top ? y : top;
        right = x > right ? x : right;
        bottom = y > bottom ? y : bottom;
    }
};

// A hidden dialog holding one owner-drawn button, and a canvas of its size.
class IconButtonTest : public ::testing::Test {
protected:
    void TearDown() override {
        if (m_dc != nullptr) DeleteDC(m_dc);
        if (m_dib != nullptr) DeleteObject(m_dib);
        if (m_dialog != nullptr) DestroyWindow(m_dialog);
    }

    void Make(int width, int height, const char* caption = "") {
        m_dialog = CreateWindowExA(0, "#32770", "", WS_POPUP, 0, 0, 200, 100, nullptr, nullptr,
                                   nullptr, nullptr);
        ASSERT_NE(m_dialog, nullptr);
        HWND button =
            CreateWindowExA(0, "BUTTON", caption, WS_CHILD | BS_OWNERDRAW, 0, 0, width, height,
                            m_dialog, reinterpret_cast<HMENU>(kButtonId), nullptr, nullptr);
        ASSERT_NE(button, nullptr);
        ASSERT_TRUE(m_button.AttachDlgItem(m_dialog, kButtonId));
        m_width = width;
        m_height = height;
        BITMAPINFO info{};
        info.bmiHeader.biSize = sizeof(info.bmiHeader);
        info.bmiHeader.biWidth = width;
        info.bmiHeader.biHeight = -height;  // top-down rows
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        void* bits = nullptr;
        m_dib = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
        ASSERT_NE(m_dib, nullptr);
        m_bits = static_cast<DWORD*>(bits);
        m_dc = CreateCompatibleDC(nullptr);
        SelectObject(m_dc, m_dib);
        SelectObject(m_dc, GetStockObject(DEFAULT_GUI_FONT));
        Clear();
    }

    void Clear() {
        for (int i = 0; i < m_width * m_height; ++i) m_bits[i] = 0x00FF00FF;
    }

    void Draw(UINT state, UINT action = ODA_DRAWENTIRE) {
        DRAWITEMSTRUCT item{ODT_BUTTON, kButtonId,
                            0,          action,
                            state,      m_button.GetSafeHwnd(),
                            m_dc,       RECT{0, 0, m_width, m_height},
                            0};
        m_button.DrawItem(item);
        GdiFlush();
    }

    std::vector<DWORD> Snapshot() const { return {m_bits, m_bits + m_width * m_height}; }

    COLORREF Pixel(int x, int y) const {
        DWORD v = m_bits[y * m_width + x];
        return RGB((v >> 16) & 0xFF, (v >> 8) & 0xFF, v & 0xFF);
    }

    Box Diff(const std::vector<DWORD>& a, const std::vector<DWORD>& b) const {
        Box box;
        for (int y = 0; y < m_height; ++y)
            for (int x = 0; x < m_width; ++x)
                if (a[y * m_width + x] != b[y * m_width + x]) box.add(x, y);
        return box;
    }

    // Bounding box of the focus rectangle: a focused repaint against a plain one.
    Box FocusBox(UINT extraState = 0) {
        // Twice: a repaint right after losing the focus XORs the rectangle away.
        Draw(extraState);
        Draw(extraState);
        const std::vector<DWORD> plain = Snapshot();
        Draw(extraState | ODS_FOCUS);
        return Diff(plain, Snapshot());
    }

    CIconButton m_button;
    HWND m_dialog = nullptr;
    HDC m_dc = nullptr;
    HBITMAP m_dib = nullptr;
    DWORD* m_bits = nullptr;
    int m_width = 0, m_height = 0;
};

TEST(IconButtonLayout, CentringShiftsArithmeticallyAndFocusInsetFollowsTheQuarterRule) {
    EXPECT_EQ(CIconButton::CenterOffset(75, 20), 27);
    EXPECT_EQ(CIconButton::CenterOffset(20, 20), 0);
    EXPECT_EQ(CIconButton::CenterOffset(10, 20), -5);
    EXPECT_EQ(CIconButton::CenterOffset(10, 21), -6);  // -11 / 2 rounded toward minus infinity
    EXPECT_EQ(CIconButton::CenterOffset(0, 1), -1);

    const int insets[][2] = {{0, 0},  {3, 0},  {4, 1},  {7, 1},  {8, 2},  {10, 2},
                             {11, 2}, {12, 3}, {15, 3}, {21, 3}, {23, 3}, {500, 3}};
    for (const auto& [side, inset] : insets)
        EXPECT_EQ(CIconButton::FocusInset(side), inset) << side;

    // Room right of the image: centred when it fits, right after the spacing when not.
    EXPECT_EQ(CIconButton::AutoCaptionX(100, 4, 8, 20, 30), 4 + 20 + 8 + 38 / 2);
    EXPECT_EQ(CIconButton::AutoCaptionX(50, 4, 8, 20, 30), 32);
}

TEST(IconButtonLook, TheRingTakesTheSystemColourFarthestFromTheFaceAndMnemonicsCanHide) {
    // Windows 10's standard colours: a grey frame and black text on a light face.
    EXPECT_EQ(CIconButton::RingColourIndex(RGB(240, 240, 240), RGB(100, 100, 100), RGB(0, 0, 0)),
              COLOR_BTNTEXT);
    // High Contrast Black: white frame and text on black; the frame's on a tie.
    EXPECT_EQ(CIconButton::RingColourIndex(RGB(0, 0, 0), RGB(255, 255, 255), RGB(255, 255, 255)),
              COLOR_WINDOWFRAME);
    // A frame as dark as the face, yellow text (High Contrast #1).
    EXPECT_EQ(CIconButton::RingColourIndex(RGB(0, 0, 0), RGB(0, 0, 0), RGB(255, 255, 0)),
              COLOR_BTNTEXT);
    // Dark text on a dark face, a light frame.
    EXPECT_EQ(CIconButton::RingColourIndex(RGB(40, 40, 40), RGB(255, 255, 255), RGB(80, 80, 80)),
              COLOR_WINDOWFRAME);

    EXPECT_EQ(CIconButton::WithoutMnemonic("&Exit"), "Exit");
    EXPECT_EQ(CIconButton::WithoutMnemonic("Save && E&xit"), "Save & Exit");
    EXPECT_EQ(CIconButton::WithoutMnemonic("Compare"), "Compare");
}

TEST_F(IconButtonTest, CenterInClientCentresOnlyTheAxesGivenAsMinusOne) {
    Make(10, 6);
    POINT both{-1, -1};
    m_button.CenterInClient(both, 21, 20);
    EXPECT_EQ(both.x, -6);
    EXPECT_EQ(both.y, -7);
    POINT fixedX{5, -1};
    m_button.CenterInClient(fixedX, 4, 4);
    EXPECT_EQ(fixedX.x, 5);
    EXPECT_EQ(fixedX.y, 1);
}

TEST_F(IconButtonTest, ImagesLoadAtTheirSizeAndReplaceEachOther) {
    Make(75, 23);
    EXPECT_FALSE(m_button.SetIconImage(4711, 20, 20));
    EXPECT_EQ(m_button.GetIconImage(), nullptr);

    ASSERT_TRUE(m_button.SetBitmapImage(IDB_LOGO, 44, 22, RGB(255, 255, 255)));
    for (HBITMAP bitmap : {m_button.GetBitmapImage(), m_button.GetDisabledBitmapImage()}) {
        BITMAP bm{};
        ASSERT_NE(GetObjectA(bitmap, sizeof bm, &bm), 0);
        EXPECT_EQ(bm.bmWidth, 44);
        EXPECT_EQ(bm.bmHeight, 22);
    }
    // White, the logo's background, became the face colour, and white for the disabled look.
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, m_button.GetBitmapImage());
    EXPECT_EQ(GetPixel(dc, 0, 0), GetSysColor(COLOR_BTNFACE));
    SelectObject(dc, m_button.GetDisabledBitmapImage());
    EXPECT_EQ(GetPixel(dc, 0, 0), RGB(255, 255, 255));
    SelectObject(dc, old);
    DeleteDC(dc);

    ASSERT_TRUE(m_button.SetIconImage(IDI_EXIT, 20, 20));
    EXPECT_EQ(m_button.GetBitmapImage(), nullptr);
    EXPECT_EQ(m_button.GetImageSize().cx, 20);
    ICONINFO info{};
    ASSERT_TRUE(GetIconInfo(m_button.GetIconImage(), &info));
    BITMAP bm{};
    GetObjectA(info.hbmColor, sizeof bm, &bm);
    EXPECT_EQ(bm.bmWidth, 20);
    DeleteObject(info.hbmColor);
    DeleteObject(info.hbmMask);
}

TEST_F(IconButtonTest, PushedButtonSinksItsFrameAndShiftsTheImageOnePixel) {
    Make(75, 23);
    ASSERT_TRUE(m_button.SetIconImage(IDI_EXIT, 20, 20));
    Draw(0);
    const std::vector<DWORD> up = Snapshot();
    const COLORREF upCorner = Pixel(0, 0);
    Draw(ODS_SELECTED);
    const COLORREF downCorner = Pixel(0, 0);
    EXPECT_NE(upCorner, downCorner);
    EXPECT_TRUE(upCorner == GetSysColor(COLOR_3DLIGHT) ||
                upCorner == GetSysColor(COLOR_BTNHIGHLIGHT));
    EXPECT_TRUE(downCorner == GetSysColor(COLOR_BTNSHADOW) ||
                downCorner == GetSysColor(COLOR_3DDKSHADOW));

    // The screen of the icon (its opaque middle) is drawn at (27, 1) up and (28, 2) down.
    for (int y = 4; y < 13; ++y)
        for (int x = 4; x < 16; ++x)
            ASSERT_EQ(m_bits[(2 + y) * 75 + 28 + x], up[(1 + y) * 75 + 27 + x]) << x << "," << y;
}

TEST_F(IconButtonTest, DefaultButtonHasABlackRingAroundAFaceOnePixelSmaller) {
    // The face of an ordinary button two pixels smaller, for comparison.
    Make(73, 21);
    Draw(0);
    const std::vector<DWORD> small = Snapshot();
    TearDown();
    m_dialog = nullptr;
    m_dc = nullptr;
    m_dib = nullptr;

    Make(75, 23);
    m_button.SetDefaultButton(TRUE);
    EXPECT_TRUE(m_button.IsDefaultButton());
    const LRESULT defId = SendMessageA(m_dialog, DM_GETDEFID, 0, 0);
    EXPECT_EQ(HIWORD(defId), DC_HASDEFID);
    EXPECT_EQ(LOWORD(defId), kButtonId);

    Draw(0);
    for (int x = 0; x < 75; ++x) {
        EXPECT_EQ(Pixel(x, 0), RGB(0, 0, 0)) << x;
        EXPECT_EQ(Pixel(x, 22), RGB(0, 0, 0)) << x;
    }
    for (int y = 0; y < 23; ++y) {
        EXPECT_EQ(Pixel(0, y), RGB(0, 0, 0)) << y;
        EXPECT_EQ(Pixel(74, y), RGB(0, 0, 0)) << y;
    }
    for (int y = 0; y < 21; ++y)
        for (int x = 0; x < 73; ++x) ASSERT_EQ(m_bits[(y + 1) * 75 + x + 1], small[y * 73 + x]);
}

// FALSE takes the ring off and leaves the dialog's default where it is: it
// never makes the button the default.
TEST_F(IconButtonTest, SetDefaultButtonFalseNeverMakesTheButtonTheDefault) {
    Make(75, 23);
    ::SendMessageA(m_dialog, DM_SETDEFID, IDCANCEL, 0);
    m_button.SetDefaultButton(FALSE);
    EXPECT_FALSE(m_button.IsDefaultButton());
    EXPECT_EQ(LOWORD(SendMessageA(m_dialog, DM_GETDEFID, 0, 0)), IDCANCEL);
    m_button.SetDefaultButton(TRUE);
    m_button.SetDefaultButton(FALSE);
    EXPECT_FALSE(m_button.IsDefaultButton());
    Draw(0);
    EXPECT_NE(Pixel(0, 0), RGB(0, 0, 0)) << "no ring";
}

TEST_F(IconButtonTest, FocusRectangleIsInsetByAQuarterOfTheSmallerSideAtMostThree) {
    Make(75, 23);
    const Box plain = FocusBox();
    EXPECT_EQ(plain.left, 3);
    EXPECT_EQ(plain.top, 3);
    EXPECT_EQ(plain.right, 71);
    EXPECT_EQ(plain.bottom, 19);

    m_button.SetDefaultButton(TRUE);
    const Box def = FocusBox();
    EXPECT_EQ(def.left, 4);
    EXPECT_EQ(def.top, 4);
    EXPECT_EQ(def.right, 70);
    EXPECT_EQ(def.bottom, 18);
}

TEST_F(IconButtonTest, FocusRectangleOnATenPixelSideIsInsetByTwo) {
    Make(40, 10);
    const Box box = FocusBox();
    EXPECT_EQ(box.left, 2);
    EXPECT_EQ(box.top, 2);
    EXPECT_EQ(box.right, 37);
    EXPECT_EQ(box.bottom, 7);
}

TEST_F(IconButtonTest, FocusOnlyCallsToggleTheFocusRectangleAndLeaveTheFaceAlone) {
    Make(75, 23, "Exit");
    ASSERT_TRUE(m_button.SetIconImage(IDI_EXIT, 20, 20));
    Draw(0);
    m_bits[10 * 75 + 60] = 0x00123456;  // a mark on the face that only a repaint removes
    const std::vector<DWORD> before = Snapshot();

    Draw(ODS_FOCUS, ODA_FOCUS);
    const Box shown = Diff(before, Snapshot());
    EXPECT_EQ(shown.left, 3);
    EXPECT_EQ(shown.top, 3);
    EXPECT_EQ(shown.right, 71);
    EXPECT_EQ(shown.bottom, 19);

    Draw(0, ODA_FOCUS);
    EXPECT_TRUE(Diff(before, Snapshot()).empty());

    // A focus-only call without a change of focus draws nothing.
    Draw(0, ODA_FOCUS);
    EXPECT_TRUE(Diff(before, Snapshot()).empty());
}

// After a start with the mouse Windows hides the focus rectangle and the
// mnemonic's underline until a key is used, as standard buttons do.
TEST_F(IconButtonTest, HiddenKeyboardCuesDrawNeitherFocusRectangleNorUnderline) {
    Make(75, 23, "&Exit");
    EXPECT_TRUE(FocusBox(ODS_NOFOCUSRECT).empty());
    Draw(0);
    const std::vector<DWORD> plain = Snapshot();
    // The focus comes and goes while the cues are hidden: nothing to draw
    // or to take away.
    Draw(ODS_FOCUS | ODS_NOFOCUSRECT, ODA_FOCUS);
    EXPECT_TRUE(Diff(plain, Snapshot()).empty());
    Draw(ODS_NOFOCUSRECT, ODA_FOCUS);
    EXPECT_TRUE(Diff(plain, Snapshot()).empty());
    // A key shows the cues: the repaint draws the rectangle, and losing the
    // focus takes it away again.
    Draw(ODS_FOCUS);
    EXPECT_FALSE(Diff(plain, Snapshot()).empty());
    Draw(0, ODA_FOCUS);
    EXPECT_TRUE(Diff(plain, Snapshot()).empty());

    // Without the cue the caption is drawn as the same caption without a
    // mnemonic: only the underline goes.
    Draw(ODS_NOACCEL);
    const std::vector<DWORD> hidden = Snapshot();
    EXPECT_FALSE(Diff(plain, hidden).empty());
    SetWindowTextA(m_button.GetSafeHwnd(), "Exit");
    Draw(0);
    EXPECT_TRUE(Diff(hidden, Snapshot()).empty());
}

// A high-contrast theme: the ring shows on the dark face, the face is the
// new one, and the logo's background follows it once remapped.
TEST_F(IconButtonTest, UnderOtherSystemColoursRingFaceAndLogoUseThem) {
    Make(75, 30, "About");
    ASSERT_TRUE(m_button.SetBitmapImage(IDB_LOGO, 44, 22, RGB(255, 255, 255)));
    m_button.SetImagePosition(-1, -1);  // centred at (15, 4)
    m_button.SetDefaultButton(TRUE);
    const COLORREF standardFace = GetSysColor(COLOR_BTNFACE);
    auto logoCorner = [this] {
        HDC dc = CreateCompatibleDC(nullptr);
        HGDIOBJ old = SelectObject(dc, m_button.GetBitmapImage());
        const COLORREF corner = GetPixel(dc, 0, 0);
        SelectObject(dc, old);
        DeleteDC(dc);
        return corner;
    };
    {
        SystemColours colours = HighContrastBlack();
        m_button.RemapColours();
        EXPECT_EQ(logoCorner(), RGB(0, 0, 0));
        Draw(0);
        for (int x = 0; x < 75; ++x) {
            EXPECT_EQ(Pixel(x, 0), RGB(255, 255, 255)) << x;
            EXPECT_EQ(Pixel(x, 29), RGB(255, 255, 255)) << x;
        }
        for (int y = 0; y < 30; ++y) {
            EXPECT_EQ(Pixel(0, y), RGB(255, 255, 255)) << y;
            EXPECT_EQ(Pixel(74, y), RGB(255, 255, 255)) << y;
        }
        EXPECT_EQ(Pixel(8, 15), RGB(0, 0, 0)) << "the face";
        EXPECT_EQ(Pixel(15, 4), RGB(0, 0, 0)) << "the logo's background";
    }
    m_button.RemapColours();
    EXPECT_EQ(logoCorner(), standardFace);
}

TEST_F(IconButtonTest, DisabledButtonDrawsItsImageGreyedAndNoFocusRectangle) {
    Make(75, 23, "Exit");
    ASSERT_TRUE(m_button.SetIconImage(IDI_EXIT, 20, 20));
    Draw(0);
    const std::vector<DWORD> enabled = Snapshot();
    Draw(ODS_DISABLED);
    const std::vector<DWORD> disabled = Snapshot();
    EXPECT_FALSE(Diff(enabled, disabled).empty());
    Draw(ODS_DISABLED | ODS_FOCUS);
    EXPECT_TRUE(Diff(disabled, Snapshot()).empty());
    Draw(ODS_DISABLED, ODA_FOCUS);
    EXPECT_TRUE(Diff(disabled, Snapshot()).empty());
}

TEST_F(IconButtonTest, CaptionWithoutImageSitsOnePixelAboveTheCentreAndMovesWhenPushed) {
    Make(75, 23, "Exit");
    for (int pushed : {0, 1}) {
        Draw(pushed != 0 ? ODS_SELECTED : 0);
        const std::vector<DWORD> drawn = Snapshot();
        SIZE text{};
        GetTextExtentPoint32A(m_dc, "Exit", 4, &text);
        Clear();
        RECT face{0, 0, 75, 23};
        DrawFrameControl(m_dc, &face, DFC_BUTTON,
                         DFCS_BUTTONPUSH | (pushed != 0 ? DFCS_PUSHED : 0));
        SetBkMode(m_dc, TRANSPARENT);
        const int x = CIconButton::CenterOffset(75, text.cx) + pushed;
        const int y = CIconButton::CenterOffset(23, text.cy) - 1 + pushed;
        DrawStateA(m_dc, nullptr, nullptr, reinterpret_cast<LPARAM>("Exit"), 0, x, y, 0, 0,
                   DST_PREFIXTEXT);
        GdiFlush();
        EXPECT_TRUE(Diff(drawn, Snapshot()).empty()) << "pushed " << pushed;
    }
}

TEST_F(IconButtonTest, DefaultButtonMovesItsImageWithTheFaceInAutomaticLayout) {
    Make(75, 23, "Compare");
    ASSERT_TRUE(m_button.SetIconImage(IDI_COMPARE, 18, 18));
    Draw(0);
    const std::vector<DWORD> plain = Snapshot();
    m_button.SetDefaultButton(TRUE);
    Draw(0);
    // Image at (4, 2) on the plain button and at (5, 2) on the default one;
    // its top row lies over the default face's edge and blends differently.
    for (int y = 1; y < 18; ++y)
        for (int x = 0; x < 18; ++x)
            ASSERT_EQ(m_bits[(2 + y) * 75 + 5 + x], plain[(2 + y) * 75 + 4 + x]) << x << "," << y;
}

TEST_F(IconButtonTest, ExplicitLayoutCentresTheImageWhateverTheCaption) {
    Make(80, 30, "i");
    ASSERT_TRUE(m_button.SetIconImage(IDI_COMPARE, 18, 18));
    m_button.SetImagePosition(-1, -1);
    EXPECT_FALSE(m_button.IsAutoLayout());
    Draw(0);
    const std::vector<DWORD> unplaced = Snapshot();
    m_button.SetTextPosition(-1, -1);
    Draw(0);
    const std::vector<DWORD> withCaption = Snapshot();
    SetWindowTextA(m_button.GetSafeHwnd(), "");
    Draw(0);
    const std::vector<DWORD> bare = Snapshot();
    // Until the caption is placed, the image alone is the face.
    EXPECT_TRUE(Diff(unplaced, bare).empty());
    EXPECT_FALSE(Diff(withCaption, bare).empty());
    // The image stays at the centre (31, 6); the narrow caption, centred too,
    // covers only the middle columns of it.
    for (int y = 0; y < 18; ++y)
        for (int x : {0, 1, 2, 3, 4, 5, 13, 14, 15, 16, 17})
            ASSERT_EQ(withCaption[(6 + y) * 80 + 31 + x], bare[(6 + y) * 80 + 31 + x]);
    EXPECT_NE(Pixel(31 + 3, 6 + 5), GetSysColor(COLOR_BTNFACE));  // the left page of the icon
}

// At 200 %: the margin, the pushed shift and the focus rectangle's greatest
// inset are doubled; the default button's ring stays one pixel.
TEST_F(IconButtonTest, At200PercentTheLayoutOffsetsScaleAndTheRingStaysOnePixel) {
    EXPECT_EQ(CIconButton::FocusInset(20, 192), 5) << "a quarter, up to 6";
    EXPECT_EQ(CIconButton::FocusInset(500, 192), 6);
    EXPECT_EQ(CIconButton::FocusInset(500, 144), 5);
    EXPECT_EQ(CIconButton::FocusInset(500, 96), CIconButton::FocusInset(500));

    Make(150, 46, "Compare");
    m_button.SetDpi(192);
    ASSERT_TRUE(m_button.SetIconImage(IDI_COMPARE, 36, 36));
    Draw(0);
    const std::vector<DWORD> up = Snapshot();
    Draw(ODS_SELECTED);
    // The image at (8, 5) up and (10, 7) down: the lens and pages inside it.
    for (int y = 2; y < 34; ++y)
        for (int x = 2; x < 34; ++x)
            ASSERT_EQ(m_bits[(7 + y) * 150 + 10 + x], up[(5 + y) * 150 + 8 + x]) << x << "," << y;

    const Box focus = FocusBox();
    EXPECT_EQ(focus.left, 6);
    EXPECT_EQ(focus.top, 6);
    EXPECT_EQ(focus.right, 143);
    EXPECT_EQ(focus.bottom, 39);

    m_button.SetDefaultButton(TRUE);
    Draw(0);
    EXPECT_EQ(Pixel(0, 20), RGB(0, 0, 0));
    EXPECT_NE(Pixel(1, 20), RGB(0, 0, 0)) << "one pixel of ring";

    // The logo drawn for 200 %, averaged down to the size asked, white still the face.
    ASSERT_TRUE(m_button.SetBitmapImage(IDB_LOGO_2X, 88, 44, RGB(255, 255, 255)));
    BITMAP bm{};
    ASSERT_NE(GetObjectA(m_button.GetBitmapImage(), sizeof bm, &bm), 0);
    EXPECT_EQ(bm.bmWidth, 88);
    EXPECT_EQ(bm.bmHeight, 44);
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, m_button.GetBitmapImage());
    EXPECT_EQ(GetPixel(dc, 0, 0), GetSysColor(COLOR_BTNFACE));
    SelectObject(dc, old);
    DeleteDC(dc);
}

}  // namespace
