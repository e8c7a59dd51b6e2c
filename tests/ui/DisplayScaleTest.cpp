// The window at display scales other than 100 %: the images it asks for exist
// at exactly that size, and a move to a monitor of another scale
// (WM_DPICHANGED) rescales the images, the columns and the window.
#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "SampleWindow.h"
#include "SystemColours.h"
#include "res/resource.h"
#include "ui/AboutDlg.h"
#include "ui/Dpi.h"
#include "ui/ModelessDialog.h"

namespace {

const int kDpis[] = {96, 120, 144, 168, 192};  // 100 to 200 %

std::string RawResource(LPCSTR name, LPCSTR type) {
    HMODULE module = ::GetModuleHandleA(nullptr);
    HRSRC found = ::FindResourceA(module, name, type);
    if (found == nullptr) return {};
    const char* data = static_cast<const char*>(::LockResource(::LoadResource(module, found)));
    return std::string(data, ::SizeofResource(module, found));
}

// The width of the image of the icon directory `id` that best fits `size`.
int BestIconWidth(UINT id, int size) {
    const std::string dir = RawResource(MAKEINTRESOURCEA(id), MAKEINTRESOURCEA(14));
    if (dir.empty()) return -1;
    const int imageId = ::LookupIconIdFromDirectoryEx(
        reinterpret_cast<PBYTE>(const_cast<char*>(dir.data())), TRUE, size, size, 0);
    const std::string image = RawResource(MAKEINTRESOURCEA(imageId), MAKEINTRESOURCEA(3));
    if (image.size() < sizeof(BITMAPINFOHEADER)) return -1;
    BITMAPINFOHEADER header{};
    memcpy(&header, image.data(), sizeof header);
    return header.biWidth;
}

SIZE BitmapSize(HBITMAP bitmap) {
    BITMAP bm{};
    ::GetObjectA(bitmap, sizeof bm, &bm);
    return {bm.bmWidth, bm.bmHeight};
}

SIZE IconSize(HICON icon) {
    ICONINFO info{};
    if (!::GetIconInfo(icon, &info)) return {0, 0};
    const SIZE size = BitmapSize(info.hbmColor);
    ::DeleteObject(info.hbmColor);
    ::DeleteObject(info.hbmMask);
    return size;
}

TEST(DisplayScale, SizesScaleToTheNearestPixelAndEveryImageExistsAtTheSizeAsked) {
    EXPECT_EQ(dpi::Scale(13, 96), 13);
    EXPECT_EQ(dpi::Scale(13, 120), 16) << "16.25";
    EXPECT_EQ(dpi::Scale(18, 120), 23) << "22.5 rounds up";
    EXPECT_EQ(dpi::Scale(13, 168), 23) << "22.75";
    EXPECT_EQ(dpi::Scale(44, 144), 66);

    // Each icon at each scale the artwork is drawn for: sharp, never stretched.
    const std::pair<UINT, int> icons[] = {
        {IDI_IDENTICAL, 13},  {IDI_NOT_IDENTICAL, 13}, {IDI_UPDATED, 13},
        {IDI_NOT_LISTED, 13}, {IDI_EXIT, 20},          {IDI_SETTINGS, 18},
        {IDI_COMPARE, 18},    {IDR_MAINFRAME, 32},     {IDR_MAINFRAME, 16}};
    for (const int dpi : kDpis) {
        for (const auto& [id, size] : icons) {
            EXPECT_EQ(BestIconWidth(id, dpi::Scale(size, dpi)), dpi::Scale(size, dpi))
                << "icon " << id << " at " << dpi << " dpi";
        }
    }

    EXPECT_EQ(dpi::Logo(96, 44, 22).id, static_cast<UINT>(IDB_LOGO));
    EXPECT_EQ(dpi::Logo(120, 44, 22).id, static_cast<UINT>(IDB_LOGO_2X));
    const dpi::Bitmap large = dpi::Logo(192, 85, 41);
    EXPECT_EQ(large.width, 170);
    EXPECT_EQ(large.height, 82);
    HANDLE logo = ::LoadImageA(::GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDB_LOGO_2X),
                               IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION);
    ASSERT_NE(logo, nullptr);
    DIBSECTION dib{};
    ASSERT_EQ(::GetObjectA(logo, sizeof dib, &dib), static_cast<int>(sizeof dib));
    EXPECT_EQ(dib.dsBm.bmWidth, 170) << "the 2x logo is drawn for 200 %";
    EXPECT_EQ(dib.dsBm.bmHeight, 82);
    EXPECT_EQ(dib.dsBmih.biBitCount, 4) << "colour-mapped like the 1x logo";
    ::DeleteObject(logo);
}

class MainWindowScaleTest : public SampleWindowTest {
protected:
    void SetUp() override { InstallHandlers({}, {}); }

    // WM_DPICHANGED as Windows sends it: the new DPI and the suggested place.
    void MoveToScale(HWND window, int dpi, const RECT& place) {
        ::SendMessageA(window, WM_DPICHANGED, MAKEWPARAM(dpi, dpi),
                       reinterpret_cast<LPARAM>(&place));
    }
    std::vector<int> ColumnWidths() const {
        std::vector<int> widths;
        for (int column = 0; column < 9; ++column) {
            widths.push_back(ListView_GetColumnWidth(m_list, column));
        }
        return widths;
    }
    int StatusImageSize() const {
        int cx = 0, cy = 0;
        ImageList_GetIconSize(ListView_GetImageList(m_list, LVSIL_SMALL), &cx, &cy);
        EXPECT_EQ(cx, cy);
        return cx;
    }
    SIZE ButtonImage(int id) const { return m_dlg.IconButton(id)->GetImageSize(); }
};

TEST_F(MainWindowScaleTest, AMoveToAnotherScaleRescalesImagesColumnsAndTheWindow) {
    Open();
    HWND window = m_dlg.GetSafeHwnd();
    ASSERT_EQ(m_dlg.Dpi(), 96) << "the window tests run at 100 %";

    const RECT place{40, 30, 1000, 900};
    MoveToScale(window, 144, place);
    EXPECT_EQ(m_dlg.Dpi(), 144);
    EXPECT_EQ(ColumnWidths(), (std::vector<int>{210, 150, 120, 150, 120, 150, 600, 0, 0}));
    EXPECT_EQ(StatusImageSize(), 20);
    EXPECT_EQ(ImageList_GetImageCount(ListView_GetImageList(m_list, LVSIL_SMALL)), 4);
    EXPECT_EQ(ButtonImage(IDOK).cx, 30);
    EXPECT_EQ(ButtonImage(IDC_SETTINGS).cx, 27);
    EXPECT_EQ(ButtonImage(IDC_COMPARE).cy, 27);
    EXPECT_EQ(ButtonImage(IDC_ABOUT).cx, 66);
    EXPECT_EQ(ButtonImage(IDC_ABOUT).cy, 33);
    EXPECT_EQ(BitmapSize(m_dlg.IconButton(IDC_ABOUT)->GetBitmapImage()).cx, 66);
    EXPECT_EQ(m_dlg.IconButton(IDC_COMPARE)->GetDpi(), 144);
    RECT now{};
    ::GetWindowRect(window, &now);
    EXPECT_EQ(now.left, place.left);
    EXPECT_EQ(now.top, place.top);
    EXPECT_EQ(now.right, place.right);
    EXPECT_EQ(now.bottom, place.bottom);

    // A column the operator widened keeps its share; the others are the
    // window's own widths at the new scale.
    ListView_SetColumnWidth(m_list, 0, 300);
    MoveToScale(window, 192, place);
    EXPECT_EQ(ColumnWidths(), (std::vector<int>{400, 200, 160, 200, 160, 200, 800, 0, 0}));
    EXPECT_EQ(StatusImageSize(), 26);
    EXPECT_EQ(ButtonImage(IDOK).cx, 40);

    MoveToScale(window, 96, place);
    EXPECT_EQ(ColumnWidths(), (std::vector<int>{200, 100, 80, 100, 80, 100, 400, 0, 0}));
    EXPECT_EQ(StatusImageSize(), 13);
    EXPECT_EQ(ButtonImage(IDC_COMPARE).cx, 18);
    EXPECT_EQ(ButtonImage(IDC_ABOUT).cx, 44);
}

// The logo's background is the dialog's face: no white box on a dark or
// high-contrast face, and it follows a change of the system colours.
TEST(AboutBoxColours, TheLogosBackgroundIsTheFaceColourUnderAnySystemColours) {
    auto corner = [](HBITMAP bitmap) {
        HDC dc = ::CreateCompatibleDC(nullptr);
        HGDIOBJ old = ::SelectObject(dc, bitmap);
        const COLORREF colour = ::GetPixel(dc, 0, 0);
        ::SelectObject(dc, old);
        ::DeleteDC(dc);
        return colour;
    };
    CModelessDialog<CAboutDlg> about;
    ASSERT_TRUE(about.Create(nullptr));
    EXPECT_EQ(corner(about.ShownLogo()), ::GetSysColor(COLOR_3DFACE));
    {
        SystemColours dark = HighContrastBlack();
        EXPECT_EQ(corner(about.ShownLogo()), RGB(0, 0, 0)) << "after the change";
        CModelessDialog<CAboutDlg> opened;
        ASSERT_TRUE(opened.Create(nullptr));
        EXPECT_EQ(corner(opened.ShownLogo()), RGB(0, 0, 0)) << "opened under them";
        ::SendMessageA(opened.GetSafeHwnd(), WM_DPICHANGED, MAKEWPARAM(192, 192), 0);
        EXPECT_EQ(corner(opened.ShownLogo()), RGB(0, 0, 0)) << "at 200 %";
    }
    EXPECT_EQ(corner(about.ShownLogo()), ::GetSysColor(COLOR_3DFACE));
}

TEST(AboutBoxScale, ShowsTheTemplatePicturesAt100PercentAndScaledOnesElsewhere) {
    CModelessDialog<CAboutDlg> about;
    ASSERT_TRUE(about.Create(nullptr));
    EXPECT_EQ(BitmapSize(about.ShownLogo()).cx, 85);
    ::SendMessageA(about.GetSafeHwnd(), WM_DPICHANGED, MAKEWPARAM(192, 192), 0);
    EXPECT_EQ(IconSize(about.ShownIcon()).cx, 64);
    const SIZE logo = BitmapSize(about.ShownLogo());
    EXPECT_EQ(logo.cx, 170);
    EXPECT_EQ(logo.cy, 82);
    ::SendMessageA(about.GetSafeHwnd(), WM_DPICHANGED, MAKEWPARAM(120, 120), 0);
    EXPECT_EQ(IconSize(about.ShownIcon()).cx, 40);
    EXPECT_EQ(BitmapSize(about.ShownLogo()).cx, 106);
    about.DestroyWindow();
}

}  // namespace
