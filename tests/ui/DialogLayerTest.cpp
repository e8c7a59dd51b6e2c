// The dialog layer on real templates: message map dispatch, data exchange,
// initialisation data, modal runs, and the exception boundary.
#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include <stdexcept>
#include <string>

#include "res/resource.h"
#include "ui/DataExchange.h"
#include "ui/Dialog.h"
#include "ui/MessageMap.h"

namespace {

std::string ControlText(HWND dialog, int id) {
    char text[256] = "";
    ::GetDlgItemTextA(dialog, id, text, sizeof text);
    return text;
}

// The Edit comment template with plain members and a small message map.
class CProbeDlg : public CDialog {
public:
    CProbeDlg() : CDialog(IDD_COMMENT) {}

    std::string m_strComment = "first";
    std::string m_strDate = "01.02.2003 04:05";
    int m_bUpdated = 1;
    int m_nClicks = 0;
    int m_nNotifications = 0;
    bool m_bThrow = false;

protected:
    void DoDataExchange(CDataExchange& dx) override {
        DDX_Text(dx, IDC_COMMENT_TEXT, m_strComment);
        DDX_Text(dx, IDC_COMMENT_DATE, m_strDate);
        DDX_Check(dx, IDC_COMMENT_UPDATED, m_bUpdated);
    }
    bool OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

private:
    static const CMessageMapEntry<CProbeDlg> kMessageMap[];

    void OnClickUpdated() {
        ++m_nClicks;
        if (m_bThrow) throw std::runtime_error("handler failed");
    }
    void OnDblclkText(NMHDR*, LRESULT* result) {
        ++m_nNotifications;
        *result = 42;
    }
};

const CMessageMapEntry<CProbeDlg> CProbeDlg::kMessageMap[] = {
    OnCommand(IDC_COMMENT_UPDATED, BN_CLICKED, &CProbeDlg::OnClickUpdated),
    OnNotify(IDC_COMMENT_TEXT, NM_DBLCLK, &CProbeDlg::OnDblclkText),
};

bool CProbeDlg::OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    return DispatchMessageMap(*this, kMessageMap, message, wParam, lParam, result);
}

LRESULT Notify(HWND dialog, UINT_PTR id, UINT code) {
    NMHDR header{::GetDlgItem(dialog, static_cast<int>(id)), id, code};
    return ::SendMessageA(dialog, WM_NOTIFY, id, reinterpret_cast<LPARAM>(&header));
}

}  // namespace

TEST(DialogLayer, DataExchangeShowsMembersAtStartAndTakesThemBackOnOk) {
    CProbeDlg dlg;
    ASSERT_TRUE(dlg.Create(nullptr));
    HWND window = dlg.GetSafeHwnd();
    EXPECT_EQ(ControlText(window, IDC_COMMENT_TEXT), "first");
    EXPECT_EQ(ControlText(window, IDC_COMMENT_DATE), "01.02.2003 04:05");
    EXPECT_EQ(::IsDlgButtonChecked(window, IDC_COMMENT_UPDATED), BST_CHECKED);

    ::SetDlgItemTextA(window, IDC_COMMENT_TEXT, "second");
    ::CheckDlgButton(window, IDC_COMMENT_UPDATED, BST_UNCHECKED);
    ::SendMessageA(window, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);

    EXPECT_EQ(dlg.m_strComment, "second");
    EXPECT_EQ(dlg.m_bUpdated, 0);
    EXPECT_FALSE(::IsWindow(window)) << "OK ends a modeless dialog by destroying it";
    EXPECT_EQ(dlg.GetSafeHwnd(), nullptr);
}

TEST(DialogLayer, CancelKeepsTheMembers) {
    CProbeDlg dlg;
    ASSERT_TRUE(dlg.Create(nullptr));
    ::SetDlgItemTextA(dlg.GetSafeHwnd(), IDC_COMMENT_TEXT, "changed");
    ::SendMessageA(dlg.GetSafeHwnd(), WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
    EXPECT_EQ(dlg.m_strComment, "first");
    EXPECT_EQ(dlg.GetSafeHwnd(), nullptr);
}

TEST(DialogLayer, MessageMapMatchesControlIdAndNotificationCode) {
    CProbeDlg dlg;
    ASSERT_TRUE(dlg.Create(nullptr));
    HWND window = dlg.GetSafeHwnd();
    HWND check = ::GetDlgItem(window, IDC_COMMENT_UPDATED);

    ::SendMessageA(window, WM_COMMAND, MAKEWPARAM(IDC_COMMENT_UPDATED, BN_CLICKED),
                   reinterpret_cast<LPARAM>(check));
    ::SendMessageA(window, WM_COMMAND, MAKEWPARAM(IDC_COMMENT_UPDATED, BN_SETFOCUS),
                   reinterpret_cast<LPARAM>(check));
    ::SendMessageA(window, WM_COMMAND, MAKEWPARAM(IDC_COMMENT_TEXT, BN_CLICKED), 0);
    EXPECT_EQ(dlg.m_nClicks, 1);

    EXPECT_EQ(Notify(window, IDC_COMMENT_TEXT, NM_DBLCLK), 42) << "result through DWLP_MSGRESULT";
    Notify(window, IDC_COMMENT_TEXT, NM_CLICK);
    Notify(window, IDC_COMMENT_DATE, NM_DBLCLK);
    EXPECT_EQ(dlg.m_nNotifications, 1);
}

TEST(DialogLayer, AThrowingHandlerDoesNotUnwindIntoTheSystem) {
    CProbeDlg dlg;
    ASSERT_TRUE(dlg.Create(nullptr));
    dlg.m_bThrow = true;
    ::SendMessageA(dlg.GetSafeHwnd(), WM_COMMAND, MAKEWPARAM(IDC_COMMENT_UPDATED, BN_CLICKED), 0);
    EXPECT_EQ(dlg.m_nClicks, 1);
    EXPECT_TRUE(dlg.IsWindow()) << "the dialog goes on";
}

TEST(DialogLayer, InitialisationDataFillsTheDropDownList) {
    struct CDirectoryDlg : CDialog {
        CDirectoryDlg() : CDialog(IDD_SETTINGS) {}
        int m_nDirectory = 1;
        void DoDataExchange(CDataExchange& dx) override {
            DDX_CBIndex(dx, IDC_DIRECTORY, m_nDirectory);
        }
    } dlg;
    ASSERT_TRUE(dlg.Create(nullptr));
    HWND list = dlg.GetDlgItem(IDC_DIRECTORY);
    ASSERT_EQ(::SendMessageA(list, CB_GETCOUNT, 0, 0), 2);
    EXPECT_EQ(ControlText(dlg.GetSafeHwnd(), IDC_DIRECTORY), "DB1");

    ::SendMessageA(list, CB_SETCURSEL, 0, 0);
    dlg.UpdateData(true);
    EXPECT_EQ(dlg.m_nDirectory, 0);
    ::SendMessageA(list, CB_SETCURSEL, static_cast<WPARAM>(-1), 0);
    dlg.UpdateData(true);
    EXPECT_EQ(dlg.m_nDirectory, -1);
}

TEST(DialogLayer, DoModalRunsUntilEndDialog) {
    struct CSelfClosingDlg : CDialog {
        CSelfClosingDlg() : CDialog(IDD_PASSWORD) {}
        BOOL OnInitDialog() override {
            CDialog::OnInitDialog();
            PostMessage(WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED));
            return TRUE;
        }
    } dlg;
    EXPECT_EQ(dlg.DoModal(nullptr), IDCANCEL);
    EXPECT_EQ(dlg.GetSafeHwnd(), nullptr);

    CDialog missing(4711);
    EXPECT_EQ(missing.DoModal(nullptr), -1) << "no such template";
}

TEST(DialogLayer, ModalHookReplacesTheModalRun) {
    UINT asked = 0;
    CDialog::ModalHook previous = CDialog::SetModalHook([&](CDialog& dialog, HWND) -> INT_PTR {
        asked = dialog.TemplateId();
        return IDOK;
    });
    CDialog about(IDD_ABOUTBOX);
    EXPECT_EQ(about.DoModal(nullptr), IDOK);
    EXPECT_EQ(asked, static_cast<UINT>(IDD_ABOUTBOX));
    CDialog::SetModalHook(previous);
}
