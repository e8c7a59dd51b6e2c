// The main window on a sample installation, shown modelessly, with the real
// modal dialogs and message boxes that its handlers open driven by a
// ModalDriver.
#pragma once

#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include <fstream>
#include <ostream>
#include <sstream>
#include <string>
#include <vector>

#include "ModalDriver.h"
#include "SampleInstallation.h"
#include "core/ReleaseListBuild.h"
#include "res/resource.h"
#include "ui/AppServices.h"
#include "ui/CheckerDlg.h"
#include "ui/SettingsFlags.h"

class DialogFixture : public ::testing::Test {
protected:
    struct Row {
        std::string path, status, comment;
        int image;
        friend void PrintTo(const Row& row, std::ostream* out) {
            *out << "{" << row.path << ", " << row.status << ", \"" << row.comment << "\", "
                 << row.image << "}";
        }
        bool operator==(const Row& other) const {
            return path == other.path && status == other.status && comment == other.comment &&
                   image == other.image;
        }
    };

    void SetUp() override {
        INITCOMMONCONTROLSEX controls{sizeof controls, ICC_LISTVIEW_CLASSES};
        ::InitCommonControlsEx(&controls);
        m_previousBox = SetMessageBoxHandler({});  // real message boxes
        m_previousModal = CDialog::SetModalHook({});
        ProcessSettingsFlags() = {};
    }
    void TearDown() override {
        m_dlg.DestroyWindow();
        SetMessageBoxHandler(m_previousBox);
        CDialog::SetModalHook(m_previousModal);
    }

    // \qmw: five program files; \db1: two, and a batch file that the db1
    // section never lists.
    void PrepareFiles() {
        for (const char* name : {"alpha.exe", "beta.dll", "gamma.bat", "delta.cmd", "eps.qme"}) {
            m_install.WriteFile("qmw", name, std::string("content of ") + name);
        }
        m_install.WriteFile("db1", "server.exe", "server");
        m_install.WriteFile("db1", "client.dll", "client");
        m_install.WriteFile("db1", "setup.bat", "setup");
    }
    // A recorded release, then beta.dll changed, and server.exe changed and
    // marked: after a comparison the rows are server.exe (Updated), beta.dll
    // (Not identical) and five Identical ones.
    void PrepareRelease() {
        PrepareFiles();
        ASSERT_EQ(qm::CReleaseListBuild().BuildReleaseList().status, qm::BuildResult::Ok);
        m_install.WriteFile("qmw", "beta.dll", "patched");
        m_install.WriteFile("db1", "server.exe", "hot fix");
        m_install.MarkUpdated("db1", "server.exe");
    }
    void Open() {
        ASSERT_TRUE(m_dlg.Create(nullptr));
        m_list = m_dlg.GetDlgItem(IDC_RESULT_LIST);
        m_driver.ForgetOpened();  // the main window itself
    }
    void Press(int id) {
        ::SendMessageA(m_dlg.GetSafeHwnd(), WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                       reinterpret_cast<LPARAM>(m_dlg.GetDlgItem(id)));
    }
    void Select(std::initializer_list<int> items) {
        ListView_SetItemState(m_list, -1, 0, LVIS_SELECTED);
        for (int item : items) ListView_SetItemState(m_list, item, LVIS_SELECTED, LVIS_SELECTED);
    }
    // The notification a double-click in the list sends to the window.
    void DoubleClick(int item) {
        NMITEMACTIVATE click{};
        click.hdr.hwndFrom = m_list;
        click.hdr.idFrom = IDC_RESULT_LIST;
        click.hdr.code = NM_DBLCLK;
        click.iItem = item;
        EXPECT_EQ(::SendMessageA(m_dlg.GetSafeHwnd(), WM_NOTIFY, IDC_RESULT_LIST,
                                 reinterpret_cast<LPARAM>(&click)),
                  0);
    }

    std::string Cell(int item, int column) const {
        char text[600] = "";
        LVITEMA lvi{};
        lvi.iSubItem = column;
        lvi.pszText = text;
        lvi.cchTextMax = sizeof text;
        ::SendMessageA(m_list, LVM_GETITEMTEXTA, static_cast<WPARAM>(item),
                       reinterpret_cast<LPARAM>(&lvi));
        return text;
    }
    Row RowAt(int item) const {
        LVITEMA lvi{};
        lvi.mask = LVIF_IMAGE;
        lvi.iItem = item;
        ::SendMessageA(m_list, LVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&lvi));
        return {Cell(item, 0), Cell(item, 1), Cell(item, 6), lvi.iImage};
    }
    std::vector<Row> Rows() const {
        std::vector<Row> rows;
        for (int item = 0; item < ListView_GetItemCount(m_list); ++item) {
            rows.push_back(RowAt(item));
        }
        return rows;
    }
    int RowOf(const std::string& path) const {
        for (int item = 0; item < ListView_GetItemCount(m_list); ++item) {
            if (Cell(item, 0) == path) return item;
        }
        return -1;
    }

    std::string ListPath() const { return m_install.ReleaseListPath(); }
    std::string IniPath() const { return m_install.WindowsDirectory() + "\\qmverify.ini"; }
    std::string BackupPath() const { return m_install.WindowsDirectory() + "\\qmverify.l01"; }
    static std::string FileContents(const std::string& path) {
        std::ifstream in(path, std::ios::binary);
        std::ostringstream text;
        text << in.rdbuf();
        return text.str();
    }
    static bool Exists(const std::string& path) {
        return ::GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
    }
    static std::string Profile(const std::string& path, const std::string& section,
                               const std::string& key) {
        char text[600] = "";
        ::GetPrivateProfileStringA(section.c_str(), key.c_str(), "<missing>", text, sizeof text,
                                   path.c_str());
        return text;
    }
    // The entry number of `name` in `section` of the release list; 0 if none.
    int EntryOf(const std::string& section, const std::string& name) const {
        for (int n = 1; n < 100; ++n) {
            const std::string file = Profile(ListPath(), section, "File" + std::to_string(n));
            if (file == name) return n;
            if (file == "<missing>") return 0;
        }
        return 0;
    }

    SampleInstallation m_install;
    ModalDriver m_driver;
    CCheckerDlg m_dlg;
    HWND m_list = nullptr;
    MessageBoxHandler m_previousBox;
    CDialog::ModalHook m_previousModal;
};
