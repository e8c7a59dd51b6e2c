// What the main window tests share: the main window on a sample
// installation, shown modelessly, with the message box and modal dialog
// handlers that a fixture chooses, and a list view read back through its own
// messages.
#pragma once

#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include <string>
#include <utility>

#include "SampleInstallation.h"
#include "core/ReleaseListBuild.h"
#include "res/resource.h"
#include "ui/AppServices.h"
#include "ui/CheckerDlg.h"
#include "ui/ModalDialog.h"
#include "ui/ModelessDialog.h"

// The text of `column` of `item` in the list view `list`.
inline std::string ItemText(HWND list, int item, int column) {
    char text[600] = "";
    LVITEMA lvi{};
    lvi.iSubItem = column;
    lvi.pszText = text;
    lvi.cchTextMax = sizeof text;
    ::SendMessageA(list, LVM_GETITEMTEXTA, static_cast<WPARAM>(item),
                   reinterpret_cast<LPARAM>(&lvi));
    return text;
}

using qm::test::SampleInstallation;

// A key pressed on the control with the focus, through the dialog manager as
// the modal loop of the program hands it over.
inline void PressKey(HWND dialog, UINT key) {
    HWND focus = ::GetFocus();
    ::PostMessageA(focus, WM_KEYDOWN, key, 1);
    ::PostMessageA(focus, WM_KEYUP, key, static_cast<LPARAM>(0xC0000001u));
    MSG msg;
    while (::IsWindow(dialog) && ::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (!::IsDialogMessageA(dialog, &msg)) {
            ::TranslateMessage(&msg);
            ::DispatchMessageA(&msg);
        }
    }
}

class SampleWindowTest : public ::testing::Test {
protected:
    // `withReadme`: \qmw also holds readme.txt, a file that no section lists.
    explicit SampleWindowTest(bool withReadme = false) : m_bWithReadme(withReadme) {}

    // For SetUp: the list view class, and `box` and `modal` in place of the
    // message box and modal dialog handlers until TearDown.
    void InstallHandlers(MessageBoxHandler box, ModalHook modal) {
        INITCOMMONCONTROLSEX controls{sizeof controls, ICC_LISTVIEW_CLASSES};
        ::InitCommonControlsEx(&controls);
        m_previousBox = SetMessageBoxHandler(std::move(box));
        m_previousModal = SetModalHook(std::move(modal));
    }
    void TearDown() override {
        m_dlg.DestroyWindow();
        SetMessageBoxHandler(m_previousBox);
        SetModalHook(m_previousModal);
    }

    // \qmw: five program files (and readme.txt if asked for); \db1: two
    // program files and a batch file that the db1 section never lists.
    void PrepareFiles() {
        for (const char* name : {"alpha.exe", "beta.dll", "gamma.bat", "delta.cmd", "eps.qme"}) {
            m_install.WriteFile("qmw", name, std::string("content of ") + name);
        }
        if (m_bWithReadme) m_install.WriteFile("qmw", "readme.txt", "not a program file");
        m_install.WriteFile("db1", "server.exe", "server");
        m_install.WriteFile("db1", "client.dll", "client");
        m_install.WriteFile("db1", "setup.bat", "setup");
    }
    // A recorded release, then beta.dll changed in place (its size kept, so
    // that it is read), and server.exe changed and
    // marked: after a comparison the rows are server.exe (Updated), beta.dll
    // (Not identical) and five Identical ones.
    void PrepareRelease() {
        PrepareFiles();
        ASSERT_EQ(qm::CReleaseListBuild().BuildReleaseList().status, qm::BuildResult::Ok);
        m_install.WriteFile("qmw", "beta.dll", "patched of beta.dll");
        m_install.WriteFile("db1", "server.exe", "hot fix");
        m_install.MarkUpdated("db1", "server.exe");
    }
    void Open() {
        ASSERT_TRUE(m_dlg.Create(nullptr));
        m_list = m_dlg.GetDlgItem(IDC_RESULT_LIST);
    }
    // Runs the thread's messages, through the window's dialog manager, until
    // the window's run has ended and shown its end (and whatever boxes it
    // opens then have been answered); false after a minute.
    bool WaitForRunEnd() {
        const DWORD start = ::GetTickCount();
        while (m_dlg.GetSafeHwnd() != nullptr && m_dlg.RunGoesOn()) {
            if (::GetTickCount() - start > 60000) return false;
            MSG msg;
            if (!::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
                ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
                continue;
            }
            if (!::IsDialogMessageA(m_dlg.GetSafeHwnd(), &msg)) {
                ::TranslateMessage(&msg);
                ::DispatchMessageA(&msg);
            }
        }
        return true;
    }

    SampleInstallation m_install;
    CModelessDialog<CCheckerDlg> m_dlg;
    HWND m_list = nullptr;
    MessageBoxHandler m_previousBox;
    ModalHook m_previousModal;

private:
    bool m_bWithReadme;
};
