// The windows from the keyboard and to a screen reader: Tab follows the
// screen, top to bottom and left to right; every field and button answers
// its Alt+letter; Enter presses the button that wears the default ring, and
// in a field only what the field is for; fields and the list have names of
// their own.
#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>
#include <oleacc.h>

#include <string>
#include <vector>

#include "SampleWindow.h"
#include "TestPassword.h"
#include "core/OperatorTexts.h"
#include "res/resource.h"
#include "ui/ChangePasswordDlg.h"
#include "ui/CheckerDlg.h"
#include "ui/CommentDlg.h"
#include "ui/ModalDialog.h"
#include "ui/ModelessDialog.h"
#include "ui/PasswordDlg.h"
#include "ui/SettingsDlg.h"

namespace {

RECT RectOf(HWND control) {
    RECT rect{};
    ::GetWindowRect(control, &rect);
    return rect;
}

// The controls that Tab visits, from the first tab stop round to it again.
std::vector<HWND> TabWalk(HWND dialog) {
    std::vector<HWND> walk;
    HWND first = ::GetNextDlgTabItem(dialog, nullptr, FALSE);
    for (HWND at = first; at != nullptr;) {
        walk.push_back(at);
        at = ::GetNextDlgTabItem(dialog, at, FALSE);
        if (at == first || walk.size() > 50) break;
    }
    return walk;
}

// Each step goes right on the same line (the two overlap from top to
// bottom) or down to a line that starts lower.
void ExpectScreenOrder(HWND dialog, size_t controls) {
    const std::vector<HWND> walk = TabWalk(dialog);
    EXPECT_EQ(walk.size(), controls);
    for (size_t i = 1; i < walk.size(); ++i) {
        const RECT a = RectOf(walk[i - 1]);
        const RECT b = RectOf(walk[i]);
        const bool sameLine = a.top < b.bottom && b.top < a.bottom;
        EXPECT_TRUE(sameLine ? b.left >= a.left : b.top > a.top)
            << "from control " << ::GetDlgCtrlID(walk[i - 1]) << " to " << ::GetDlgCtrlID(walk[i]);
    }
}

// Alt+`letter`, as the dialog manager receives it from the control with the
// focus.
void PressAlt(HWND dialog, char letter) {
    HWND focus = ::GetFocus();
    ::PostMessageA(focus, WM_SYSCHAR, static_cast<WPARAM>(letter), LPARAM{1} << 29);
    MSG msg;
    while (::IsWindow(dialog) && ::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (!::IsDialogMessageA(dialog, &msg)) {
            ::TranslateMessage(&msg);
            ::DispatchMessageA(&msg);
        }
    }
}

void PressEnter(HWND dialog) { PressKey(dialog, VK_RETURN); }

std::wstring AccessibleName(HWND control) {
    IAccessible* accessible = nullptr;
    if (::AccessibleObjectFromWindow(control, OBJID_CLIENT, __uuidof(IAccessible),
                                     reinterpret_cast<void**>(&accessible)) != S_OK) {
        return L"<none>";
    }
    VARIANT self{};
    self.vt = VT_I4;
    self.lVal = CHILDID_SELF;
    BSTR text = nullptr;
    accessible->get_accName(self, &text);
    std::wstring name = text != nullptr ? text : L"";
    ::SysFreeString(text);
    accessible->Release();
    return name;
}

int DefaultId(HWND dialog) {
    const LRESULT id = ::SendMessageA(dialog, DM_GETDEFID, 0, 0);
    return HIWORD(id) == DC_HASDEFID ? LOWORD(id) : 0;
}

class KeyboardTest : public SampleWindowTest {
protected:
    void SetUp() override {
        InstallHandlers(
            [this](HWND, const std::string& text, const std::string&, UINT) {
                m_boxes.push_back(text);
                return IDOK;
            },
            [this](CDialog& dialog, HWND) -> INT_PTR {
                m_modals.push_back(dialog.TemplateId());
                return IDCANCEL;
            });
        ::CoInitialize(nullptr);
    }
    void TearDown() override {
        SampleWindowTest::TearDown();
        ::CoUninitialize();
    }
    std::vector<UINT> m_modals;
    std::vector<std::string> m_boxes;  // the texts of the message boxes shown
};

}  // namespace

TEST_F(KeyboardTest, TheMainWindowIsWalkedInScreenOrderAnswersItsLettersAndNamesItsFields) {
    PrepareRelease();
    Open();
    HWND window = m_dlg.GetSafeHwnd();
    // Compare, four fields, the list, Settings, Exit, About.
    ExpectScreenOrder(window, 9);
    EXPECT_EQ(::GetFocus(), m_dlg.GetDlgItem(IDC_COMPARE)) << "the window starts on Compare";

    const std::pair<char, int> fields[] = {{'q', IDC_QMW_RELEASE},
                                           {'o', IDC_QMW_DATE},
                                           {'n', IDC_SENTINEL_RELEASE},
                                           {'d', IDC_SENTINEL_DATE},
                                           {'f', IDC_RESULT_LIST}};
    for (const auto& [letter, id] : fields) {
        PressAlt(window, letter);
        EXPECT_EQ(::GetFocus(), m_dlg.GetDlgItem(id)) << letter;
    }
    PressAlt(window, 's');
    PressAlt(window, 'a');
    EXPECT_EQ(m_modals, (std::vector<UINT>{IDD_SETTINGS, IDD_ABOUTBOX}));
    PressAlt(window, 'c');
    EXPECT_TRUE(WaitForRunEnd());
    EXPECT_EQ(ListView_GetItemCount(m_list), 7) << "Alt+C compared";

    EXPECT_EQ(AccessibleName(m_dlg.GetDlgItem(IDC_QMW_RELEASE)), L"Installed QMW Release:");
    EXPECT_EQ(AccessibleName(m_dlg.GetDlgItem(IDC_QMW_DATE)), L"QMW installed on:");
    EXPECT_EQ(AccessibleName(m_dlg.GetDlgItem(IDC_SENTINEL_DATE)), L"Sentinel installed on:");
    EXPECT_EQ(AccessibleName(m_list), L"Compared files");

    PressAlt(window, 'x');
    EXPECT_EQ(m_dlg.GetSafeHwnd(), nullptr) << "Alt+X is Exit";
}

// The default ring is always on the button Enter presses: Compare from the
// start and from a field, the focused button, none in the list.
TEST_F(KeyboardTest, EnterRightAfterStartComparesAndTheRingFollowsTheButtonEnterPresses) {
    PrepareRelease();
    Open();
    HWND window = m_dlg.GetSafeHwnd();
    auto ring = [&] {
        std::vector<int> ringed;
        for (int id : {IDC_COMPARE, IDC_SETTINGS, IDOK, IDC_ABOUT}) {
            if (m_dlg.IconButton(id)->IsDefaultButton()) ringed.push_back(id);
        }
        return ringed;
    };
    EXPECT_EQ(ring(), std::vector<int>{IDC_COMPARE});
    PressEnter(window);
    ASSERT_TRUE(::IsWindow(window)) << "Enter right after start never ends the tool";
    EXPECT_TRUE(WaitForRunEnd());
    EXPECT_EQ(ListView_GetItemCount(m_list), 7);

    ::SetFocus(m_dlg.GetDlgItem(IDC_SETTINGS));
    EXPECT_EQ(ring(), std::vector<int>{IDC_SETTINGS});
    ::SetFocus(m_list);
    EXPECT_TRUE(ring().empty());
    ::SetFocus(m_dlg.GetDlgItem(IDC_SENTINEL_DATE));
    EXPECT_EQ(ring(), std::vector<int>{IDC_COMPARE});
    EXPECT_EQ(DefaultId(window), IDC_COMPARE);
}

// Settings opens in its first check box; Enter in the file field or the
// directory list adds the file (the password is asked), anywhere else it is
// OK; Tab follows the screen and every control answers its letter.
TEST_F(KeyboardTest, SettingsOpensInItsFirstBoxAndEnterInTheFileFieldAdds) {
    SettingsChoice shown;
    shown.addFile = "tool.exe";
    CModelessDialog<CSettingsDlg> settings(shown);
    ASSERT_TRUE(settings.Create(nullptr));
    HWND dialog = settings.GetSafeHwnd();
    ExpectScreenOrder(dialog, 9);
    EXPECT_EQ(::GetFocus(), settings.GetDlgItem(IDC_CHECK_QMW));
    EXPECT_EQ(DefaultId(dialog), IDOK);

    PressAlt(dialog, 'f');
    EXPECT_EQ(::GetFocus(), settings.GetDlgItem(IDC_ADD_FILE));
    EXPECT_EQ(DefaultId(dialog), IDC_ADD) << "the ring moves to Add";
    PressEnter(dialog);
    EXPECT_EQ(m_modals, std::vector<UINT>{IDD_PASSWORD}) << "Enter in the file field adds";
    ASSERT_TRUE(::IsWindow(dialog)) << "a cancelled password leaves Settings open";
    PressAlt(dialog, 'r');
    EXPECT_EQ(::GetFocus(), settings.GetDlgItem(IDC_DIRECTORY));
    EXPECT_EQ(DefaultId(dialog), IDC_ADD);

    PressAlt(dialog, 'd');  // a check box's letter ticks it
    EXPECT_EQ(::IsDlgButtonChecked(dialog, IDC_CHECK_DB1), BST_UNCHECKED);
    EXPECT_EQ(DefaultId(dialog), IDOK);
    PressAlt(dialog, 'u');
    EXPECT_EQ(m_modals.size(), 2u) << "Update Release Data asks the password";
    PressAlt(dialog, 'p');
    EXPECT_EQ(m_modals.back(), static_cast<UINT>(IDD_CHANGE_PASSWORD));
    ASSERT_TRUE(::IsWindow(dialog)) << "a cancelled Change Password leaves Settings open";
    PressEnter(dialog);
    EXPECT_FALSE(::IsWindow(dialog)) << "Enter on a check box is OK";
    EXPECT_EQ(settings.Request().action, SettingsRequest::Action::StoreFlags);
    EXPECT_EQ(settings.Request().choice.flags.checkDb1, 0);
}

// Edit comment opens in the comment field; Enter there is OK, Enter in a
// field that only shows does nothing and no button wears the ring there.
TEST_F(KeyboardTest, EditCommentOpensInTheCommentAndEnterStoresOnlyFromWhatItEdits) {
    CommentDlgArgs args{"\\qmw.\\tool.exe", "01.02.2003 04:05", "Not identical (no access)",
                        "before", false};
    int stores = 0;
    CModelessDialog<CCommentDlg> comment(args, [&](HWND, const CommentEdit&) {
        ++stores;
        return CommentStoreOutcome::Stored;
    });
    ASSERT_TRUE(comment.Create(nullptr));
    HWND dialog = comment.GetSafeHwnd();
    ExpectScreenOrder(dialog, 7);
    EXPECT_EQ(::GetFocus(), comment.GetDlgItem(IDC_COMMENT_TEXT));
    char status[128] = "";
    ::GetDlgItemTextA(dialog, IDC_COMMENT_STATUS, status, sizeof status);
    EXPECT_STREQ(status, "Not identical (no access)");

    for (char letter : {'f', 't', 's'}) {
        PressAlt(dialog, letter);
        EXPECT_EQ(DefaultId(dialog), 0) << letter;
        PressEnter(dialog);
        ASSERT_TRUE(::IsWindow(dialog)) << letter;
    }
    EXPECT_EQ(stores, 0);
    PressAlt(dialog, 'w');
    EXPECT_EQ(::IsDlgButtonChecked(dialog, IDC_COMMENT_UPDATED), BST_CHECKED);
    PressAlt(dialog, 'c');
    EXPECT_EQ(::GetFocus(), comment.GetDlgItem(IDC_COMMENT_TEXT));
    EXPECT_EQ(DefaultId(dialog), IDOK);
    PressEnter(dialog);
    EXPECT_EQ(stores, 1);
    EXPECT_FALSE(::IsWindow(dialog));
    ASSERT_TRUE(comment.Stored().has_value());
    EXPECT_TRUE(comment.Stored()->updated);
}

// Each field follows its label and is named by it. OK refuses an empty or
// mistyped new password before the current one is checked, and ends only
// when the check accepts the current one.
TEST_F(KeyboardTest, ChangePasswordEndsOnlyWithTwoEqualNewPasswordsAndAnAcceptedOne) {
    std::vector<std::string> checked;
    bool accept = false;
    CModelessDialog<CChangePasswordDlg> change([&](HWND, const std::string& current) {
        checked.push_back(current);
        return accept;
    });
    ASSERT_TRUE(change.Create(nullptr));
    HWND dialog = change.GetSafeHwnd();
    ExpectScreenOrder(dialog, 5);
    EXPECT_EQ(::GetFocus(), change.GetDlgItem(IDC_CURRENT_PASSWORD));
    EXPECT_EQ(AccessibleName(change.GetDlgItem(IDC_NEW_PASSWORD_AGAIN)), L"New password again:");
    PressAlt(dialog, 'n');
    EXPECT_EQ(::GetFocus(), change.GetDlgItem(IDC_NEW_PASSWORD));
    auto text = [&](int id) {
        char typed[64] = "";
        ::GetDlgItemTextA(dialog, id, typed, sizeof typed);
        return std::string(typed);
    };
    auto type = [&](const char* current, const char* fresh, const char* again) {
        ::SetDlgItemTextA(dialog, IDC_CURRENT_PASSWORD, current);
        ::SetDlgItemTextA(dialog, IDC_NEW_PASSWORD, fresh);
        ::SetDlgItemTextA(dialog, IDC_NEW_PASSWORD_AGAIN, again);
        PressEnter(dialog);
    };

    type("old", "", "");
    type("old", "one", "two");
    ASSERT_TRUE(::IsWindow(dialog));
    EXPECT_TRUE(checked.empty()) << "the current password waits for a sound new one";
    EXPECT_EQ(m_boxes,
              (std::vector<std::string>{QM_TEXT_NEW_PASSWORD_EMPTY, QM_TEXT_NEW_PASSWORDS_DIFFER}));
    EXPECT_EQ(text(IDC_NEW_PASSWORD) + text(IDC_NEW_PASSWORD_AGAIN), "");
    EXPECT_EQ(text(IDC_CURRENT_PASSWORD), "old");
    EXPECT_EQ(::GetFocus(), change.GetDlgItem(IDC_NEW_PASSWORD));

    type("wrong", "new", "new");
    ASSERT_TRUE(::IsWindow(dialog));
    EXPECT_EQ(text(IDC_CURRENT_PASSWORD), "");
    EXPECT_EQ(text(IDC_NEW_PASSWORD), "new") << "the new password stays typed";
    EXPECT_EQ(::GetFocus(), change.GetDlgItem(IDC_CURRENT_PASSWORD));
    accept = true;
    type("right", "new", "new");
    EXPECT_FALSE(::IsWindow(dialog));
    EXPECT_EQ(checked, (std::vector<std::string>{"wrong", "right"}));
    EXPECT_EQ(change.NewPassword(), "new");
}

TEST_F(KeyboardTest, ThePasswordFieldFollowsItsLabelAndIsNamedByIt) {
    CModelessDialog<CPasswordDlg> password;
    ASSERT_TRUE(password.Create(nullptr));
    ExpectScreenOrder(password.GetSafeHwnd(), 3);
    EXPECT_EQ(AccessibleName(password.GetDlgItem(IDC_PASSWORD)), L"Enter password for update:");
    PressAlt(password.GetSafeHwnd(), 'p');
    EXPECT_EQ(::GetFocus(), password.GetDlgItem(IDC_PASSWORD));
}
