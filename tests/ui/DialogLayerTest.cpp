// The dialog layer on real templates: message map dispatch (the typed
// WM_DPICHANGED entry too), data exchange, modal runs, modeless windows that
// go before their dialog does, and the exception boundary.
#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <type_traits>

#include "res/resource.h"
#include "ui/DataExchange.h"
#include "ui/Dialog.h"
#include "ui/MessageMap.h"
#include "ui/ModalDialog.h"
#include "ui/ModelessDialog.h"
#include "ui/SettingsDlg.h"

namespace {

std::string ControlText(HWND dialog, int id) {
    char text[256] = "";
    ::GetDlgItemTextA(dialog, id, text, sizeof text);
    return text;
}

// The Edit comment template with plain members and a small message map.
// `destroyed` counts the WM_DESTROY messages that reach its own handler.
class CProbeDlg : public CDialog {
public:
    explicit CProbeDlg(int* destroyed = nullptr) : CDialog(IDD_COMMENT), m_pDestroyed(destroyed) {}

    std::string m_strComment = "first";
    std::string m_strDate = "01.02.2003 04:05";
    int m_bUpdated = 1;
    int m_nClicks = 0;
    int m_nNotifications = 0;
    bool m_bThrow = false;
    bool m_bBusy = false;  // as a main window during a run
    bool Busy() const override { return m_bBusy || CDialog::Busy(); }

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
    bool OnDestroy(WPARAM, LPARAM, LRESULT&) {
        // Reads the dialog's own members: they must still be there.
        if (m_pDestroyed != nullptr && m_strDate == "01.02.2003 04:05") ++*m_pDestroyed;
        return false;
    }

    int* m_pDestroyed;
};

const CMessageMapEntry<CProbeDlg> CProbeDlg::kMessageMap[] = {
    OnCommand(IDC_COMMENT_UPDATED, BN_CLICKED, &CProbeDlg::OnClickUpdated, WhileBusy::Ignore),
    OnNotify(IDC_COMMENT_TEXT, NM_DBLCLK, &CProbeDlg::OnDblclkText, WhileBusy::Handle),
    OnMessage(WM_DESTROY, &CProbeDlg::OnDestroy, WhileBusy::Handle),
};

bool CProbeDlg::OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    return DispatchMessageMap(*this, kMessageMap, message, wParam, lParam, result);
}

// A window wrapper is a handle and nothing more; a dialog is made only as
// one of the two kinds of run, which alone know how it ends.
static_assert(!std::is_polymorphic_v<CWindow> && !std::is_copy_constructible_v<CWindow>);
static_assert(sizeof(CWindow) == sizeof(HWND));
static_assert(std::is_abstract_v<CDialog> && !std::is_copy_constructible_v<CDialog>);

LRESULT Notify(HWND dialog, UINT_PTR id, UINT code) {
    NMHDR header{::GetDlgItem(dialog, static_cast<int>(id)), id, code};
    return ::SendMessageA(dialog, WM_NOTIFY, id, reinterpret_cast<LPARAM>(&header));
}

}  // namespace

TEST(DialogLayer, DataExchangeShowsMembersAtStartAndTakesThemBackOnOk) {
    CModelessDialog<CProbeDlg> dlg;
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
    CModelessDialog<CProbeDlg> dlg;
    ASSERT_TRUE(dlg.Create(nullptr));
    ::SetDlgItemTextA(dlg.GetSafeHwnd(), IDC_COMMENT_TEXT, "changed");
    ::SendMessageA(dlg.GetSafeHwnd(), WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
    EXPECT_EQ(dlg.m_strComment, "first");
    EXPECT_EQ(dlg.GetSafeHwnd(), nullptr);
}

TEST(DialogLayer, MessageMapMatchesControlIdAndNotificationCode) {
    CModelessDialog<CProbeDlg> dlg;
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

// While the window is busy, an entry that chose to ignore its message drops
// it (with result 0), one that chose to handle it runs, and OK and Cancel,
// which the base carries out, end nothing.
TEST(DialogLayer, ABusyWindowDropsWhatItsEntriesChoseToIgnore) {
    CModelessDialog<CProbeDlg> dlg;
    ASSERT_TRUE(dlg.Create(nullptr));
    HWND window = dlg.GetSafeHwnd();
    HWND check = ::GetDlgItem(window, IDC_COMMENT_UPDATED);
    dlg.m_bBusy = true;
    ::SendMessageA(window, WM_COMMAND, MAKEWPARAM(IDC_COMMENT_UPDATED, BN_CLICKED),
                   reinterpret_cast<LPARAM>(check));
    EXPECT_EQ(dlg.m_nClicks, 0);
    EXPECT_EQ(Notify(window, IDC_COMMENT_TEXT, NM_DBLCLK), 42);
    for (UINT id : {IDOK, IDCANCEL}) {
        ::SendMessageA(window, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), 0);
        EXPECT_TRUE(::IsWindow(window)) << id;
    }
    dlg.m_bBusy = false;
    ::SendMessageA(window, WM_COMMAND, MAKEWPARAM(IDC_COMMENT_UPDATED, BN_CLICKED),
                   reinterpret_cast<LPARAM>(check));
    EXPECT_EQ(dlg.m_nClicks, 1);
}

TEST(DialogLayer, AThrowingHandlerDoesNotUnwindIntoTheSystem) {
    CModelessDialog<CProbeDlg> dlg;
    ASSERT_TRUE(dlg.Create(nullptr));
    dlg.m_bThrow = true;
    ::SendMessageA(dlg.GetSafeHwnd(), WM_COMMAND, MAKEWPARAM(IDC_COMMENT_UPDATED, BN_CLICKED), 0);
    EXPECT_EQ(dlg.m_nClicks, 1);
    EXPECT_TRUE(dlg.IsWindow()) << "the dialog goes on";
}

// The Settings dialog fills its directory list as it initialises; the data
// exchange moves the chosen index both ways.
TEST(DialogLayer, TheDropDownListIsFilledAndItsIndexExchanged) {
    CModelessDialog<CSettingsDlg> dlg{SettingsChoice{}};
    ASSERT_TRUE(dlg.Create(nullptr));
    dlg.m_nDirectory = 1;
    dlg.UpdateData(false);
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
    };
    CModalDialog<CSelfClosingDlg> dlg;
    EXPECT_EQ(dlg.DoModal(nullptr), IDCANCEL);
    EXPECT_EQ(dlg.GetSafeHwnd(), nullptr);

    CModalDialog<CDialog> missing(4711u);
    EXPECT_EQ(missing.DoModal(nullptr), -1) << "no such template";
}

TEST(DialogLayer, ModalHookReplacesTheModalRun) {
    UINT asked = 0;
    ModalHook previous = SetModalHook([&](CDialog& dialog, HWND) -> INT_PTR {
        asked = dialog.TemplateId();
        return IDOK;
    });
    CModalDialog<CDialog> about(IDD_ABOUTBOX);
    EXPECT_EQ(about.DoModal(nullptr), IDOK);
    EXPECT_EQ(asked, static_cast<UINT>(IDD_ABOUTBOX));
    SetModalHook(previous);
}

// A modeless window that is still open when its object goes is destroyed
// while the whole dialog exists: its own WM_DESTROY handler runs, with its
// members. (Destroyed from the base's destructor, the message would reach
// only the base.)
TEST(DialogLayer, AModelessWindowGoesBeforeItsDialogAndItsOwnHandlerRuns) {
    int destroyed = 0;
    HWND window = nullptr;
    {
        CModelessDialog<CProbeDlg> dlg(&destroyed);
        ASSERT_TRUE(dlg.Create(nullptr));
        window = dlg.GetSafeHwnd();
    }
    EXPECT_FALSE(::IsWindow(window));
    EXPECT_EQ(destroyed, 1);

    // Ended by OK, or destroyed by hand, it goes once.
    CModelessDialog<CProbeDlg> ended(&destroyed);
    ASSERT_TRUE(ended.Create(nullptr));
    ::SendMessageA(ended.GetSafeHwnd(), WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    ended.DestroyWindow();
    EXPECT_EQ(destroyed, 2);
}

// WM_DPICHANGED reaches its handler as the DPI and the suggested place; a
// handler that returns false leaves the message to the default processing.
TEST(DialogLayer, TheScaleEntryHandsOverTheDpiAndTheSuggestedPlace) {
    struct CScaleProbe {
        bool Busy() const { return false; }
        int dpi = 0;
        const RECT* suggested = nullptr;
        bool handles = false;
        bool OnScaleChanged(int newDpi, const RECT* place) {
            dpi = newDpi;
            suggested = place;
            return handles;
        }
    } probe;
    const CMessageMapEntry<CScaleProbe> map[] = {OnDpiChanged(&CScaleProbe::OnScaleChanged)};
    RECT place{10, 20, 410, 320};
    LRESULT result = -1;

    EXPECT_FALSE(DispatchMessageMap(probe, map, WM_DPICHANGED, MAKEWPARAM(144, 144),
                                    reinterpret_cast<LPARAM>(&place), result));
    EXPECT_EQ(probe.dpi, 144);
    EXPECT_EQ(probe.suggested, &place);

    probe.handles = true;
    EXPECT_TRUE(DispatchMessageMap(probe, map, WM_DPICHANGED, 0, 0, result));
    EXPECT_EQ(probe.dpi, 96) << "a message that names no DPI means 100 %";
    EXPECT_EQ(probe.suggested, nullptr);
    EXPECT_EQ(result, 0);

    probe.dpi = 0;
    EXPECT_FALSE(DispatchMessageMap(probe, map, WM_SIZE, MAKEWPARAM(144, 144), 0, result));
    EXPECT_EQ(probe.dpi, 0) << "another message does not reach it";
}
