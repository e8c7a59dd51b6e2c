// The road of a comparison on a fresh installation, as an operator walks it:
// no release list yet, the notice, the first list; a file changes and is
// marked as updated; the release data is updated; a last comparison.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "DialogFixture.h"

namespace {

using D = ModalDriver;

class EndToEndTest : public DialogFixture {
protected:
    std::vector<std::string> Statuses() const {
        std::vector<std::string> statuses;
        for (const Row& row : Rows()) statuses.push_back(row.status);
        return statuses;
    }
};

TEST_F(EndToEndTest, FromNoReleaseListToAnUpdatedRelease) {
    using Statuses_ = std::vector<std::string>;
    const std::string identical = "Identical";
    PrepareFiles();
    Open();

    // No list: the operator is told, and the first list is built.
    std::string notice;
    m_driver.When("qmverify", [&](HWND box) {
        notice = D::MessageText(box);
        D::Press(box, IDOK);
    });
    Press(IDC_COMPARE);
    EXPECT_EQ(notice.rfind("No release file found.", 0), 0u) << notice;
    EXPECT_TRUE(Exists(ListPath()));
    EXPECT_FALSE(Exists(BackupPath()));
    EXPECT_EQ(Statuses(), Statuses_(7, identical));

    // beta.dll is patched on site: Not identical, then marked as updated.
    m_install.WriteFile("qmw", "beta.dll", "patched");
    Press(IDC_COMPARE);
    ASSERT_EQ(RowAt(0).path, "\\qmw.\\beta.dll");
    EXPECT_EQ(RowAt(0).status, "Not identical");
    m_driver.When("Edit comment", [&](HWND dialog) {
        D::SetText(dialog, IDC_COMMENT_TEXT, "patched on site");
        D::SetChecked(dialog, IDC_COMMENT_UPDATED, true);
        D::Press(dialog, IDOK);
    });
    Select({0});
    DoubleClick(0);
    EXPECT_EQ(RowAt(0), (Row{"\\qmw.\\beta.dll", "Updated", "patched on site", 2}));

    // server.exe changes as well; the next comparison puts the updated file
    // first, then the changed one, then the identical ones.
    m_install.WriteFile("db1", "server.exe", "changed");
    Press(IDC_COMPARE);
    std::vector<std::string> expected(7, identical);
    expected[0] = "Updated";
    expected[1] = "Not identical";
    EXPECT_EQ(Statuses(), expected);
    EXPECT_EQ(RowAt(0).comment, "patched on site");
    EXPECT_EQ(RowAt(1).path, "\\db1.\\server.exe");
    const std::vector<Row> shown = Rows();
    const std::string previousList = FileContents(ListPath());

    // The first list was built without the password: not signed, which the
    // line above the rows tells with what signs it.
    EXPECT_EQ(ListStateText(), QM_TEXT_LIST_NOT_SIGNED);

    // Update Release Data: the list is kept as qmverify.l01 and rebuilt; the
    // window still shows the last comparison. The first signed write makes
    // the site's key and tells its fingerprint.
    std::string keyMade;
    ExpectConfirmedUpdate().When("qmverify", [&](HWND box) {
        keyMade = D::MessageText(box);
        D::Press(box, IDOK);
    });
    Press(IDC_SETTINGS);
    EXPECT_EQ(m_driver.Pending(), 0u);
    EXPECT_EQ(keyMade, KeyMadeText()) << keyMade;
    EXPECT_EQ(FileContents(BackupPath()), previousList);
    EXPECT_EQ(Rows(), shown);

    // Compared again: everything matches the new record, marks and comments
    // are gone with the old list.
    Press(IDC_COMPARE);
    EXPECT_EQ(Statuses(), Statuses_(7, identical));
    for (const Row& row : Rows()) EXPECT_EQ(row.comment, "") << row.path;
    EXPECT_EQ(ListStateText(), QM_TEXT_LIST_SIGNED);
    EXPECT_EQ(m_driver.Opened(),
              (std::vector<std::string>{"qmverify", "Edit comment", "Settings", "Password",
                                        "Please confirm...", "qmverify"}));
    EXPECT_FALSE(m_driver.TimedOut());
}

}  // namespace
