// The main window on screens of every size: where it starts in the work area
// that Windows reports, how its controls follow a resize, its smallest size,
// and the whole texts of its fields.
#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "SampleWindow.h"
#include "res/resource.h"
#include "ui/AnchorLayout.h"
#include "ui/WindowFit.h"

namespace {

using layout::Item;
using layout::kBottom;
using layout::kCentreX;
using layout::kLeft;
using layout::kRight;
using layout::kTop;

bool Same(const RECT& a, const RECT& b) { return ::EqualRect(&a, &b) != FALSE; }

// Windows 10 and 11 at 100 %: the 13-pixel "MS Sans Serif" gives 6 x 13
// pixels for 4 x 8 dialog units, so the template's 599 x 401 units are a
// client of 899 x 652; a sizing frame of 8 pixels a side and a caption of 23
// make a window of 915 x 691. At 125 % the face is 16 pixels high (about
// 7 x 16: 1048 x 802, a window of about 1068 x 851), at 150 % 20 pixels
// (about 9 x 20: 1348 x 1003, a window of about 1372 x 1061).
TEST(WindowFit, TheStartPlaceLiesInTheWorkAreaThatWindowsReports) {
    const SIZE least{820, 330};
    struct Case {
        const char* screen;
        RECT window, workArea, expected;
    };
    const Case cases[] = {
        // Fits: place and size as the dialog manager made them.
        {"1366 x 768 at 100 %, taskbar of 40",
         {0, 0, 915, 691},
         {0, 0, 1366, 728},
         {0, 0, 915, 691}},
        {"1920 x 1080 at 100 %", {0, 0, 915, 691}, {0, 0, 1920, 1040}, {0, 0, 915, 691}},
        // Too high: as high as the work area.
        {"1366 x 768 at 125 %, taskbar of 60",
         {0, 0, 1068, 851},
         {0, 0, 1366, 708},
         {0, 0, 1068, 708}},
        {"1920 x 1080 at 150 %, Windows 11",
         {0, 0, 1372, 1061},
         {0, 0, 1920, 1008},
         {0, 0, 1372, 1008}},
        {"1920 x 1080 at 150 %, Windows 10",
         {0, 0, 1372, 1061},
         {0, 0, 1920, 1020},
         {0, 0, 1372, 1020}},
        // Too wide and too high.
        {"1280 x 720 at 150 %", {0, 0, 1372, 1061}, {0, 0, 1280, 672}, {0, 0, 1280, 672}},
        // A taskbar at the top or left: moved below or beside it.
        {"taskbar at the top", {0, 0, 915, 691}, {0, 40, 1366, 768}, {0, 40, 915, 731}},
        {"taskbar on the left", {0, 0, 915, 691}, {62, 0, 1366, 768}, {62, 0, 977, 691}},
        // A second monitor right of the first: into its work area.
        {"second monitor", {3500, 900, 4415, 1591}, {1920, 0, 3840, 1040}, {2925, 349, 3840, 1040}},
        // Smaller than the least size: the least size, at the top left.
        {"tiny", {100, 100, 1015, 791}, {0, 0, 800, 300}, {0, 0, 820, 330}},
    };
    for (const Case& c : cases) {
        const RECT place = FitWindowIntoWorkArea(c.window, c.workArea, least);
        EXPECT_TRUE(Same(place, c.expected)) << c.screen << ": " << place.left << "," << place.top
                                             << " " << place.right << "," << place.bottom;
    }
}

// The main window's template in dialog units, one unit a pixel.
std::vector<Item> TemplateItems(const SIZE client) {
    const RECT controls[] = {
        {270, 378, 329, 394},  // Exit
        {532, 378, 592, 394},  // About
        {7, 378, 78, 394},     // Settings
        {20, 33, 183, 41},     // "Compare current files with installed files from release"
        {194, 29, 258, 45},    // Compare
        {328, 23, 402, 31},    // "Installed QMW Release:"
        {412, 20, 445, 34},    // its field
        {328, 41, 404, 49},    // "Installed Sentinel Release:"
        {412, 39, 445, 53},    // its field
        {460, 23, 499, 31},    // "Installed on:"
        {460, 41, 499, 49},    // "Installed on:"
        {505, 20, 575, 34},    // the dates
        {505, 39, 575, 53},
    };
    std::vector<Item> items{{{20, 63, 578, 355}, layout::AnchorsByPlace({}, client, true)},
                            {{7, 7, 592, 369}, layout::AnchorsByPlace({}, client, true)}};
    for (const RECT& r : controls) items.push_back({r, layout::AnchorsByPlace(r, client, false)});
    return items;
}

bool Overlap(const RECT& a, const RECT& b) {
    return a.left < b.right && b.left < a.right && a.top < b.bottom && b.top < a.bottom;
}
bool Holds(const RECT& outer, const RECT& inner) {
    return outer.left <= inner.left && outer.top <= inner.top && outer.right >= inner.right &&
           outer.bottom >= inner.bottom;
}

// No two controls overlap unless one holds the other, and all lie in the client.
void ExpectNoOverlap(const std::vector<RECT>& places, SIZE client) {
    for (size_t i = 0; i < places.size(); ++i) {
        const RECT& a = places[i];
        EXPECT_GE(a.left, 0) << i;
        EXPECT_GE(a.top, 0) << i;
        EXPECT_LE(a.right, client.cx) << i;
        EXPECT_LE(a.bottom, client.cy) << i;
        for (size_t j = i + 1; j < places.size(); ++j) {
            const RECT& b = places[j];
            if (Holds(a, b) || Holds(b, a)) continue;
            EXPECT_FALSE(Overlap(a, b)) << i << " and " << j;
        }
    }
}

TEST(AnchorLayout, ControlsKeepToTheirEdgesAndTheListTakesTheFreeSpace) {
    const SIZE client{599, 401};
    const std::vector<Item> items = TemplateItems(client);
    EXPECT_EQ(items[0].anchors, kLeft | kRight | kTop | kBottom) << "the list";
    EXPECT_EQ(items[2].anchors, kCentreX | kBottom) << "Exit";
    EXPECT_EQ(items[3].anchors, kRight | kBottom) << "About";
    EXPECT_EQ(items[4].anchors, kLeft | kBottom) << "Settings";
    EXPECT_EQ(items[6].anchors, kLeft | kTop) << "Compare";
    EXPECT_EQ(items[7].anchors, kRight | kTop) << "Installed QMW Release:";
    EXPECT_EQ(items[14].anchors, kRight | kTop) << "a date";

    // 61 units narrower, 101 lower.
    const SIZE smaller{538, 300};
    auto at = [&](size_t i) {
        return layout::Place(items[i].base, items[i].anchors, client, smaller);
    };
    EXPECT_TRUE(Same(at(0), RECT{20, 63, 517, 254}));
    EXPECT_TRUE(Same(at(2), RECT{239, 277, 298, 293})) << "half of -61, rounded down";
    EXPECT_TRUE(Same(at(3), RECT{471, 277, 531, 293}));
    EXPECT_TRUE(Same(at(4), RECT{7, 277, 78, 293}));
    EXPECT_TRUE(Same(at(6), RECT{194, 29, 258, 45}));
    EXPECT_TRUE(Same(at(14), RECT{444, 39, 514, 53}));
    // Growing gives the list all the room.
    const RECT grown = layout::Place(items[0].base, items[0].anchors, client, {800, 600});
    EXPECT_TRUE(Same(grown, RECT{20, 63, 779, 554}));

    // The smallest client: the header fields come to 4 units of Compare
    // (70 - 4 narrower), the list keeps 60 units (292 - 60 lower).
    const SIZE least = layout::MinimumClient(items, client, {60, 60}, 4);
    EXPECT_EQ(least.cx, 533);
    EXPECT_EQ(least.cy, 169);
    std::vector<RECT> places;
    for (const Item& item : items) {
        places.push_back(layout::Place(item.base, item.anchors, client, least));
    }
    ExpectNoOverlap(places, least);
    // A gap that is narrower already is kept, not demanded.
    EXPECT_EQ(layout::MinimumClient(items, client, {60, 60}, 100).cx, 599);
}

// The installed release of QMW, with a date of the widest digits.
class InstalledRelease {
public:
    InstalledRelease() {
        HKEY key = nullptr;
        ::RegCreateKeyExA(HKEY_LOCAL_MACHINE, kKey, 0, nullptr, 0, KEY_WRITE, nullptr, &key,
                          nullptr);
        const char date[] = "08-28-2008";
        const char time[] = "08:48:08";
        const DWORD major = 10, minor = 8;
        ::RegSetValueExA(key, "Installation Date", 0, REG_SZ, reinterpret_cast<const BYTE*>(date),
                         sizeof date);
        ::RegSetValueExA(key, "Installation Time", 0, REG_SZ, reinterpret_cast<const BYTE*>(time),
                         sizeof time);
        ::RegSetValueExA(key, "Version_Major", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&major),
                         4);
        ::RegSetValueExA(key, "Version_Minor", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&minor),
                         4);
        ::RegCloseKey(key);
    }
    ~InstalledRelease() {
        ::RegDeleteKeyA(HKEY_LOCAL_MACHINE, kKey);
        ::RegDeleteKeyA(HKEY_LOCAL_MACHINE, "SOFTWARE\\Quillmark");
    }
    InstalledRelease(const InstalledRelease&) = delete;
    InstalledRelease& operator=(const InstalledRelease&) = delete;

private:
    static constexpr char kKey[] = "SOFTWARE\\Quillmark\\Quillmark Works";
};

INT_PTR CALLBACK PlainDialogProc(HWND, UINT message, WPARAM, LPARAM) {
    return message == WM_INITDIALOG ? TRUE : FALSE;
}

RECT RectIn(HWND dialog, HWND control) {
    RECT rect{};
    ::GetWindowRect(control, &rect);
    ::MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

SIZE ClientOf(HWND window) {
    RECT client{};
    ::GetClientRect(window, &client);
    return {client.right, client.bottom};
}

std::vector<HWND> Children(HWND dialog) {
    std::vector<HWND> children;
    for (HWND child = ::GetWindow(dialog, GW_CHILD); child != nullptr;
         child = ::GetWindow(child, GW_HWNDNEXT)) {
        children.push_back(child);
    }
    return children;
}

class MainWindowLayoutTest : public SampleWindowTest {
protected:
    void SetUp() override { InstallHandlers({}, {}); }

    std::vector<RECT> Places() const {
        std::vector<RECT> places;
        for (HWND child : Children(m_dlg.GetSafeHwnd())) {
            places.push_back(RectIn(m_dlg.GetSafeHwnd(), child));
        }
        return places;
    }
    void Resize(int width, int height) {
        ::SetWindowPos(m_dlg.GetSafeHwnd(), nullptr, 0, 0, width, height,
                       SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    // Whether the last character of a field shows inside its text area.
    static bool ShowsWhole(HWND field) {
        const int length = ::GetWindowTextLengthA(field);
        if (length == 0) return true;
        const auto at = static_cast<DWORD>(
            ::SendMessageA(field, EM_POSFROMCHAR, static_cast<WPARAM>(length - 1), 0));
        std::string text(static_cast<size_t>(length) + 1, '\0');
        ::GetWindowTextA(field, text.data(), length + 1);
        HDC dc = ::GetDC(field);
        HGDIOBJ old =
            ::SelectObject(dc, reinterpret_cast<HGDIOBJ>(::SendMessageA(field, WM_GETFONT, 0, 0)));
        SIZE last{};
        ::GetTextExtentPoint32A(dc, &text[static_cast<size_t>(length - 1)], 1, &last);
        ::SelectObject(dc, old);
        ::ReleaseDC(field, dc);
        const auto margins = static_cast<DWORD>(::SendMessageA(field, EM_GETMARGINS, 0, 0));
        const int right = ClientOf(field).cx - HIWORD(margins);
        return static_cast<short>(LOWORD(at)) + last.cx <= right;
    }
};

// Where the template fits (the tests' screen), the window starts as the
// template lays it out; only a label or field too narrow for its text grows.
TEST_F(MainWindowLayoutTest, WhereTheTemplateFitsTheStartLayoutIsTheTemplatesAndTheDatesShowWhole) {
    InstalledRelease release;
    Open();
    HWND window = m_dlg.GetSafeHwnd();
    HWND plain =
        ::CreateDialogParamA(::GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDD_QMVERIFY_DIALOG),
                             nullptr, &PlainDialogProc, 0);
    ASSERT_NE(plain, nullptr);
    const std::vector<HWND> ours = Children(window);
    const std::vector<HWND> template_ = Children(plain);
    ASSERT_EQ(ours.size(), template_.size());
    EXPECT_EQ(ClientOf(window).cx, ClientOf(plain).cx);
    EXPECT_EQ(ClientOf(window).cy, ClientOf(plain).cy);
    // What the layout starts from, whatever size Windows gave the window.
    EXPECT_EQ(m_dlg.TemplateClientSize().cx, ClientOf(plain).cx);
    EXPECT_EQ(m_dlg.TemplateClientSize().cy, ClientOf(plain).cy);
    for (size_t i = 0; i < ours.size(); ++i) {
        const RECT a = RectIn(window, ours[i]);
        const RECT b = RectIn(plain, template_[i]);
        const int id = ::GetDlgCtrlID(ours[i]);
        EXPECT_EQ(a.top, b.top) << id;
        EXPECT_EQ(a.bottom, b.bottom) << id;
        if (id == IDC_QMW_DATE) {
            EXPECT_EQ(a.left, b.left) << "the date field grows to the right";
            EXPECT_GE(a.right, b.right);
        } else if (id == IDC_STATIC && ::GetWindowTextLengthA(ours[i]) > 0) {
            // A label grows where Wine's face is wider, never shrinks.
            EXPECT_TRUE(a.left <= b.left && a.right >= b.right) << id;
        } else {
            EXPECT_EQ(a.left, b.left) << id;
            EXPECT_EQ(a.right, b.right) << id;
        }
    }
    ::DestroyWindow(plain);

    EXPECT_EQ(::GetDlgItemInt(window, IDC_QMW_RELEASE, nullptr, FALSE), 10u);
    for (int id : {IDC_QMW_DATE, IDC_QMW_RELEASE}) {
        EXPECT_TRUE(ShowsWhole(m_dlg.GetDlgItem(id))) << id;
    }
    char date[32] = "";
    ::GetDlgItemTextA(window, IDC_QMW_DATE, date, sizeof date);
    EXPECT_STREQ(date, "28.08.2008 08:48:08");

    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    ASSERT_TRUE(::GetMonitorInfoA(::MonitorFromWindow(window, MONITOR_DEFAULTTONEAREST), &monitor));
    RECT place{};
    ::GetWindowRect(window, &place);
    RECT inside{};
    ::IntersectRect(&inside, &place, &monitor.rcWork);
    EXPECT_TRUE(Same(inside, place)) << "inside the work area";
}

TEST_F(MainWindowLayoutTest, AResizeKeepsTheControlsToTheirEdgesDownToTheSmallestSize) {
    InstalledRelease release;
    Open();
    HWND window = m_dlg.GetSafeHwnd();
    HWND list = m_dlg.GetDlgItem(IDC_RESULT_LIST);
    HWND exit = m_dlg.GetDlgItem(IDOK);
    HWND about = m_dlg.GetDlgItem(IDC_ABOUT);
    HWND date = m_dlg.GetDlgItem(IDC_SENTINEL_DATE);
    const SIZE before = ClientOf(window);
    const RECT listBefore = RectIn(window, list);
    const RECT aboutBefore = RectIn(window, about);
    const RECT dateBefore = RectIn(window, date);
    RECT frame{};
    ::GetWindowRect(window, &frame);

    Resize(frame.right - frame.left - 80, frame.bottom - frame.top - 120);
    const SIZE after = ClientOf(window);
    ASSERT_EQ(after.cx, before.cx - 80);
    ASSERT_EQ(after.cy, before.cy - 120);
    const RECT listAfter = RectIn(window, list);
    EXPECT_EQ(listAfter.left, listBefore.left);
    EXPECT_EQ(listAfter.top, listBefore.top);
    EXPECT_EQ(listAfter.right, listBefore.right - 80);
    EXPECT_EQ(listAfter.bottom, listBefore.bottom - 120);
    const RECT aboutAfter = RectIn(window, about);
    EXPECT_EQ(after.cx - aboutAfter.right, before.cx - aboutBefore.right);
    EXPECT_EQ(after.cy - aboutAfter.bottom, before.cy - aboutBefore.bottom);
    const RECT dateAfter = RectIn(window, date);
    EXPECT_EQ(after.cx - dateAfter.right, before.cx - dateBefore.right);
    EXPECT_EQ(dateAfter.top, dateBefore.top);
    const RECT exitAfter = RectIn(window, exit);
    EXPECT_LE(std::abs(exitAfter.left + exitAfter.right - after.cx), 2) << "Exit stays centred";
    ExpectNoOverlap(Places(), after);

    // Far below the smallest size: the smallest size, where nothing overlaps,
    // some rows of the list show and the group box's text shows whole.
    Resize(100, 100);
    RECT smallest{};
    ::GetWindowRect(window, &smallest);
    EXPECT_GT(smallest.right - smallest.left, 100);
    EXPECT_GT(smallest.bottom - smallest.top, 100);
    const SIZE least = ClientOf(window);
    EXPECT_LT(least.cx, before.cx);
    EXPECT_LT(least.cy, before.cy);
    ExpectNoOverlap(Places(), least);
    const RECT listLeast = RectIn(window, list);
    EXPECT_GE(listLeast.bottom - listLeast.top, 4 * ListView_GetItemSpacing(list, TRUE) >> 16);
    HWND group = ::FindWindowExA(window, nullptr, "Button", nullptr);
    while ((::GetWindowLongPtrA(group, GWL_STYLE) & BS_TYPEMASK) != BS_GROUPBOX) {
        group = ::FindWindowExA(window, group, "Button", nullptr);
    }
    char text[256] = "";
    ::GetWindowTextA(group, text, sizeof text);
    HDC dc = ::GetDC(group);
    HGDIOBJ old =
        ::SelectObject(dc, reinterpret_cast<HGDIOBJ>(::SendMessageA(group, WM_GETFONT, 0, 0)));
    SIZE extent{};
    ::GetTextExtentPoint32A(dc, text, static_cast<int>(strlen(text)), &extent);
    ::SelectObject(dc, old);
    ::ReleaseDC(group, dc);
    EXPECT_LT(extent.cx, RectIn(window, group).right - RectIn(window, group).left);

    // Back to the start size: the start layout again.
    ::SetWindowPos(window, nullptr, 0, 0, frame.right - frame.left, frame.bottom - frame.top,
                   SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    const RECT listAgain = RectIn(window, list);
    EXPECT_TRUE(Same(listAgain, listBefore));
    const RECT dateAgain = RectIn(window, date);
    EXPECT_TRUE(Same(dateAgain, dateBefore));
}

// A move to a monitor of another scale: once Windows has put the window at
// its new place (and, on Windows, the dialog manager has scaled the
// controls), the controls keep to their edges at the new size.
TEST_F(MainWindowLayoutTest, AfterAMoveToAnotherScaleTheControlsKeepToTheirEdges) {
    Open();
    HWND window = m_dlg.GetSafeHwnd();
    HWND list = m_dlg.GetDlgItem(IDC_RESULT_LIST);
    HWND about = m_dlg.GetDlgItem(IDC_ABOUT);
    const SIZE before = ClientOf(window);
    const RECT listBefore = RectIn(window, list);
    const RECT aboutBefore = RectIn(window, about);

    const RECT place{20, 10, 1000, 760};
    ::SendMessageA(window, WM_DPICHANGED, MAKEWPARAM(120, 120), reinterpret_cast<LPARAM>(&place));
    MSG msg;
    while (::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) ::DispatchMessageA(&msg);
    RECT now{};
    ::GetWindowRect(window, &now);
    EXPECT_TRUE(Same(now, place));
    // Under Wine the font stays: the places stay in scale.
    const SIZE after = ClientOf(window);
    const RECT listAfter = RectIn(window, list);
    EXPECT_EQ(listAfter.left, listBefore.left);
    EXPECT_EQ(after.cx - listAfter.right, before.cx - listBefore.right);
    EXPECT_EQ(after.cy - listAfter.bottom, before.cy - listBefore.bottom);
    const RECT aboutAfter = RectIn(window, about);
    EXPECT_EQ(after.cx - aboutAfter.right, before.cx - aboutBefore.right);
    ExpectNoOverlap(Places(), after);
}

}  // namespace
