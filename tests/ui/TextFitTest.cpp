// Labels and check boxes of the main window and of the Settings and Password
// dialogs show their whole text with the font this system gives "MS Sans
// Serif", without running into a neighbour or out of their group box.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include <commctrl.h>

#include "res/resource.h"
#include "ui/CheckerDlg.h"
#include "ui/ModelessDialog.h"
#include "ui/PasswordDlg.h"
#include "ui/SettingsDlg.h"
#include "ui/TextFit.h"

namespace {

struct Control {
    HWND window;
    std::string cls, text;
    DWORD style;
    RECT rect;
};

std::vector<Control> Controls(HWND dialog) {
    std::vector<Control> controls;
    for (HWND child = ::GetWindow(dialog, GW_CHILD); child != nullptr;
         child = ::GetWindow(child, GW_HWNDNEXT)) {
        char cls[32] = "", text[256] = "";
        ::GetClassNameA(child, cls, sizeof cls);
        ::GetWindowTextA(child, text, sizeof text);
        RECT rect{};
        ::GetWindowRect(child, &rect);
        ::MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&rect), 2);
        controls.push_back(
            {child, cls, text, static_cast<DWORD>(::GetWindowLongPtrA(child, GWL_STYLE)), rect});
    }
    return controls;
}

bool IsGroupBox(const Control& c) {
    return c.cls == "Button" && (c.style & BS_TYPEMASK) == BS_GROUPBOX;
}
bool IsTextControl(const Control& c) {
    if (c.cls == "Static") {
        return (c.style & SS_TYPEMASK) == SS_LEFT || (c.style & SS_TYPEMASK) == SS_LEFTNOWORDWRAP;
    }
    return c.cls == "Button" && (c.style & BS_TYPEMASK) == BS_AUTOCHECKBOX;
}
bool Overlap(const RECT& a, const RECT& b) {
    return a.left < b.right && b.left < a.right && a.top < b.bottom && b.top < a.bottom;
}

// The text's extent, wrapped at `width` when it is above 0.
SIZE Extent(const Control& c, int width) {
    HDC dc = ::GetDC(c.window);
    HGDIOBJ old =
        ::SelectObject(dc, reinterpret_cast<HFONT>(::SendMessageA(c.window, WM_GETFONT, 0, 0)));
    RECT rect{0, 0, width, 0};
    ::DrawTextA(dc, c.text.c_str(), -1, &rect,
                DT_CALCRECT | (width > 0 ? DT_WORDBREAK : DT_SINGLELINE));
    ::SelectObject(dc, old);
    ::ReleaseDC(c.window, dc);
    return {rect.right, rect.bottom};
}

void ExpectWholeTextsWithoutOverlap(HWND dialog) {
    const std::vector<Control> controls = Controls(dialog);
    for (const Control& c : controls) {
        // A hidden label only names its field to a screen reader.
        if (!IsTextControl(c) || (c.style & WS_VISIBLE) == 0) continue;
        SCOPED_TRACE(c.text);
        const int width = c.rect.right - c.rect.left;
        const int box = c.cls == "Button" ? ::GetSystemMetrics(SM_CXMENUCHECK) + 6 : 0;
        const bool oneLine = Extent(c, 0).cx + box <= width;
        const bool wrapped = c.cls == "Static" && (c.style & SS_TYPEMASK) == SS_LEFT &&
                             Extent(c, width).cy <= c.rect.bottom - c.rect.top;
        EXPECT_TRUE(oneLine || wrapped);
        for (const Control& other : controls) {
            if (other.window == c.window || (other.style & WS_VISIBLE) == 0) continue;
            if (IsGroupBox(other)) {
                if (Overlap(other.rect, c.rect)) {
                    EXPECT_LE(c.rect.right, other.rect.right) << "inside " << other.text;
                    EXPECT_LE(c.rect.bottom, other.rect.bottom) << "inside " << other.text;
                }
                continue;
            }
            EXPECT_FALSE(Overlap(other.rect, c.rect))
                << "runs into \"" << other.text << "\" at " << other.rect.left << ","
                << other.rect.top << " from " << c.rect.left << "," << c.rect.top << " to "
                << c.rect.right << "," << c.rect.bottom;
        }
    }
}

TEST(TextFit, SettingsAndPasswordShowTheirWholeTexts) {
    CModelessDialog<CSettingsDlg> settings{SettingsChoice{}};
    ASSERT_TRUE(settings.Create(nullptr));
    ExpectWholeTextsWithoutOverlap(settings.GetSafeHwnd());
    CModelessDialog<CPasswordDlg> password;
    ASSERT_TRUE(password.Create(nullptr));
    ExpectWholeTextsWithoutOverlap(password.GetSafeHwnd());
}

// "Installed Sentinel Release:" is wider than its place in Wine's face; its
// field stops it on the right, so it takes room on its left.
TEST(TextFit, TheMainWindowShowsItsWholeTexts) {
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_LISTVIEW_CLASSES};
    ::InitCommonControlsEx(&controls);
    CModelessDialog<CCheckerDlg> main;
    ASSERT_TRUE(main.Create(nullptr));
    ExpectWholeTextsWithoutOverlap(main.GetSafeHwnd());
    main.DestroyWindow();
}

TEST(TextFit, ATextThatFitsLeavesItsControlAlone) {
    CModelessDialog<CPasswordDlg> password;
    ASSERT_TRUE(password.Create(nullptr));
    // The label comes before its field in the template.
    HWND label = ::GetWindow(::GetDlgItem(password.GetSafeHwnd(), IDC_PASSWORD), GW_HWNDPREV);
    ::SetWindowTextA(label, "Key:");
    RECT before{}, after{};
    ::GetWindowRect(label, &before);
    FitTextsToControls(password.GetSafeHwnd());
    ::GetWindowRect(label, &after);
    EXPECT_TRUE(::EqualRect(&before, &after));
}

}  // namespace
