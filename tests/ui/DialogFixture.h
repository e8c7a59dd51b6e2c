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
#include "SampleWindow.h"
#include "TestPassword.h"
#include "core/ListSignature.h"
#include "core/OperatorTexts.h"
#include "core/SiteKey.h"
#include "res/resource.h"
#include "ui/AppServices.h"
#include "ui/CheckerDlg.h"
#include "ui/ChildSearch.h"
#include "ui/SettingsFlags.h"

class DialogFixture : public SampleWindowTest {
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
        InstallHandlers({}, {});  // real message boxes
        ProcessSettingsFlags() = {};
    }
    void Open() {
        ASSERT_NO_FATAL_FAILURE(SampleWindowTest::Open());
        m_driver.ForgetOpened();  // the main window itself
    }
    // Presses button `id` of the main window; a run it starts (Compare, or
    // a build from Settings) has ended when it returns.
    void Press(int id) {
        ::SendMessageA(m_dlg.GetSafeHwnd(), WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                       reinterpret_cast<LPARAM>(m_dlg.GetDlgItem(id)));
        EXPECT_TRUE(WaitForRunEnd());
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

    std::string Cell(int item, int column) const { return ItemText(m_list, item, column); }
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

    // The result group box's text: the count of a run, or how the last ended.
    std::string GroupText() const {
        return CWindow(FirstGroupBox(m_dlg.GetSafeHwnd())).GetWindowText();
    }

    // The line above the rows: the state of the list's signature.
    std::string ListStateText() const {
        return CWindow(m_dlg.GetDlgItem(IDC_LIST_STATE)).GetWindowText();
    }

    // The box of a write that made the site's key: the fingerprint on a
    // line of its own.
    static std::string KeyMadeText() {
        const std::string made = QM_TEXT_KEY_MADE;
        return made.substr(0, made.size() - 1) + "\n" +
               qm::KeyFingerprint(qm::ReadSitePin().publicKey);
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

    // Makes every save through a temporary file beside `base` fail: folders
    // take every name that a new temporary file could get.
    static void BlockFreshNames(const std::string& base) {
        for (int k = 1; k <= 100; ++k) {
            const std::string name = k == 1 ? base : base + std::to_string(k);
            ASSERT_TRUE(::CreateDirectoryA(name.c_str(), nullptr)) << name;
        }
    }

    // Queues the road to a confirmed rebuild: "Update Release Data" in
    // Settings, the right password, Yes. Further steps chain onto the result.
    ModalDriver& ExpectConfirmedUpdate() {
        return m_driver
            .When("Settings",
                  [](HWND dialog) { ModalDriver::Press(dialog, IDC_UPDATE_RELEASE_DATA); })
            .When("Password",
                  [](HWND dialog) {
                      ModalDriver::SetText(dialog, IDC_PASSWORD, kTestPassword);
                      ModalDriver::Press(dialog, IDOK);
                  })
            .When("Please confirm...", [](HWND box) { ModalDriver::Press(box, IDYES); });
    }

    ModalDriver m_driver;
};
