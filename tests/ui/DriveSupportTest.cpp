// The drive tools cannot load the tool's strings: their copies of the texts
// they look for must say what the resources say.
#include "tools/drive/DriveSupport.h"

#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include <string>

#include "res/resource.h"
#include "ui/CheckerDlg.h"

namespace {

INT_PTR CALLBACK Accept(HWND, UINT message, WPARAM, LPARAM) { return message == WM_INITDIALOG; }

TEST(DriveSupport, TextsAreThoseOfTheResourcesAndTheGroupBoxIsFound) {
    char title[128] = "";
    ::LoadStringA(::GetModuleHandleA(nullptr), IDS_MAIN_TITLE, title, sizeof title);
    EXPECT_STREQ(drive::kMainTitle, title);
    char compare[64] = "";
    ::LoadStringA(::GetModuleHandleA(nullptr), IDS_COMPARE_BUTTON, compare, sizeof compare);
    EXPECT_STREQ(drive::kCompareCaption, compare);
    EXPECT_STREQ(drive::kStopTimeProperty, CCheckerDlg::kStopTimeProperty);

    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_LISTVIEW_CLASSES};
    ::InitCommonControlsEx(&controls);
    HWND dialog = ::CreateDialogParamA(::GetModuleHandleA(nullptr),
                                       MAKEINTRESOURCEA(IDD_QMVERIFY_DIALOG), nullptr, Accept, 0);
    ASSERT_NE(dialog, nullptr);
    char caption[128] = "";
    ::GetWindowTextA(dialog, caption, sizeof caption);
    EXPECT_STREQ(caption, drive::kMainTitle);
    HWND group = drive::ResultGroupBox(dialog);
    ASSERT_NE(group, nullptr);
    char text[256] = "";
    ::GetWindowTextA(group, text, sizeof text);
    EXPECT_STREQ(text, drive::kResultGroupText);
    ::GetDlgItemTextA(dialog, IDC_COMPARE, text, sizeof text);
    EXPECT_STREQ(text, drive::kCompareCaption) << "the template's caption is the string's";
    ::DestroyWindow(dialog);
}

}  // namespace
