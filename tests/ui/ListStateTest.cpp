// The release list's signature as the window tells it: the line above the
// rows after each comparison, an alarm that stands out, a pinned key whose
// list went missing, the key's fingerprint in About, the site's own password
// from Settings, and who signed a file that differs.
#include <gtest/gtest.h>

#include <string>

#include "DialogFixture.h"
#include "core/ListSignature.h"
#include "core/SiteKey.h"
#include "core/UpdatePassword.h"

namespace {

using D = ModalDriver;
using Captions = std::vector<std::string>;

class ListStateTest : public DialogFixture {
protected:
    void SetUp() override {
        DialogFixture::SetUp();
        PrepareRelease();
        Open();
    }
    // Update Release Data from Settings: the list signed, the new key told.
    void SignTheList() {
        ExpectConfirmedUpdate().When("qmverify", [](HWND box) { D::Press(box, IDOK); });
        Press(IDC_SETTINGS);
        ASSERT_EQ(m_driver.Pending(), 0u);
        ASSERT_TRUE(qm::ReadSitePin().pinned);
    }
    HWND Line() const { return m_dlg.GetDlgItem(IDC_LIST_STATE); }
    // The colour the window gives the line's text, and whether its face is bold.
    COLORREF LineColour() const {
        HDC dc = ::CreateCompatibleDC(nullptr);
        ::SetTextColor(dc, RGB(1, 2, 3));
        ::SendMessageA(m_dlg.GetSafeHwnd(), WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc),
                       reinterpret_cast<LPARAM>(Line()));
        const COLORREF colour = ::GetTextColor(dc);
        ::DeleteDC(dc);
        return colour;
    }
    bool LineBold() const {
        LOGFONTA face{};
        const auto font = reinterpret_cast<HFONT>(::SendMessageA(Line(), WM_GETFONT, 0, 0));
        return ::GetObjectA(font, sizeof face, &face) != 0 && face.lfWeight >= FW_BOLD;
    }
    std::string AboutKey() {
        std::string key;
        m_driver.When("About Qmverify", [&](HWND dialog) {
            key = D::Text(dialog, IDC_KEY_FINGERPRINT);
            D::Press(dialog, IDOK);
        });
        Press(IDC_ABOUT);
        return key;
    }
};

// Not signed is a hint in the dialog's own colour; a signed list tampered
// with is an alarm, bold and in the warning colour, until a comparison finds
// it sound again; About shows the fingerprint that a write made.
TEST_F(ListStateTest, AChangeAfterSigningIsAnAlarmThatStandsOutAndAboutShowsTheKey) {
    EXPECT_EQ(AboutKey(), "none yet: the first Update Release Data or Add makes it");
    Press(IDC_COMPARE);
    EXPECT_EQ(ListStateText(), QM_TEXT_LIST_NOT_SIGNED);
    EXPECT_FALSE(m_dlg.ListAlarmShown());
    const COLORREF warning = CCheckerDlg::WarningColour(::GetSysColor(COLOR_3DFACE));
    EXPECT_NE(LineColour(), warning) << "the system's colour";

    SignTheList();
    EXPECT_EQ(AboutKey(), qm::KeyFingerprint(qm::ReadSitePin().publicKey));
    const int n = EntryOf("qmw", "alpha.exe");
    ASSERT_GT(n, 0);
    const std::string sha = Profile(ListPath(), "qmw", "SHA256" + std::to_string(n));
    ASSERT_TRUE(::WritePrivateProfileStringA("qmw", ("SHA256" + std::to_string(n)).c_str(),
                                             std::string(64, '0').c_str(), ListPath().c_str()));
    Press(IDC_COMPARE);
    EXPECT_EQ(ListStateText(), QM_TEXT_LIST_CHANGED_AFTER_SIGNING);
    EXPECT_TRUE(m_dlg.ListAlarmShown());
    EXPECT_TRUE(LineBold());
    EXPECT_EQ(LineColour(), warning);

    ASSERT_TRUE(::WritePrivateProfileStringA("qmw", ("SHA256" + std::to_string(n)).c_str(),
                                             sha.c_str(), ListPath().c_str()));
    Press(IDC_COMPARE);
    EXPECT_EQ(ListStateText(), QM_TEXT_LIST_SIGNED);
    EXPECT_FALSE(m_dlg.ListAlarmShown());
    EXPECT_FALSE(LineBold());
}

// While a key is pinned, a missing list is not built without the password:
// no notice of a first build, no list, and the alarm above the rows.
TEST_F(ListStateTest, AMissingListWhileAKeyIsPinnedIsToldAndNotRebuilt) {
    SignTheList();
    ASSERT_TRUE(::DeleteFileA(ListPath().c_str()));
    m_driver.ForgetOpened();
    Press(IDC_COMPARE);
    EXPECT_FALSE(Exists(ListPath()));
    EXPECT_EQ(ListStateText(), QM_TEXT_LIST_MISSING_WHILE_PINNED);
    EXPECT_TRUE(m_dlg.ListAlarmShown());
    EXPECT_EQ(m_driver.Opened(), Captions{}) << "no notice of a first build";
}

// Change Password behind the current password: the site's own password
// replaces the built-in one, the signing key is sealed under it, and
// Settings opens again.
TEST_F(ListStateTest, ChangePasswordFromSettingsSealsTheKeyUnderTheNewPassword) {
    SignTheList();
    std::string told;
    m_driver.When("Settings", [](HWND dialog) { D::Press(dialog, IDC_CHANGE_PASSWORD); })
        .When("Change Password",
              [](HWND dialog) {
                  D::SetText(dialog, IDC_CURRENT_PASSWORD, kTestPassword);
                  D::SetText(dialog, IDC_NEW_PASSWORD, "site's own");
                  D::SetText(dialog, IDC_NEW_PASSWORD_AGAIN, "site's own");
                  D::Press(dialog, IDOK);
              })
        .When("qmverify",
              [&](HWND box) {
                  told = D::MessageText(box);
                  D::Press(box, IDOK);
              })
        .When("Settings", [](HWND dialog) { D::Press(dialog, IDCANCEL); });
    m_driver.ForgetOpened();
    Press(IDC_SETTINGS);
    EXPECT_EQ(m_driver.Pending(), 0u);
    EXPECT_EQ(told, QM_TEXT_PASSWORD_CHANGED " " QM_TEXT_KEY_RESEALED);
    qm::CUpdateKey key;
    EXPECT_EQ(qm::CheckUpdatePassword("site's own", key), qm::PasswordCheck::Right);
    EXPECT_NE(qm::CheckUpdatePassword(kTestPassword, key), qm::PasswordCheck::Right);
}

// Edit comment's Status tells who signed a file that is not identical,
// after its status and cause.
TEST_F(ListStateTest, EditCommentTellsTheSignerOfAFileThatDiffers) {
    Press(IDC_COMPARE);
    const int beta = RowOf("\\qmw.\\beta.dll");
    ASSERT_GE(beta, 0);
    std::string status;
    m_driver.When("Edit comment", [&](HWND dialog) {
        status = D::Text(dialog, IDC_COMMENT_STATUS);
        D::Press(dialog, IDCANCEL);
    });
    Select({beta});
    DoubleClick(beta);
    EXPECT_EQ(status, "Not identical (content changed); " QM_SIGNER_UNSIGNED);
}

}  // namespace
