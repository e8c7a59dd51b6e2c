// The site's signing key and password on a sample installation: made at the
// first password-guarded write, kept sealed in the settings file, opened by
// the password alone, sealed anew (never replaced) with a new password; and
// every write without the password refused while a key is pinned.
#include <gtest/gtest.h>

#include <string>

#include "SampleInstallation.h"
#include "TestPassword.h"
#include "core/AddReleaseFile.h"
#include "core/ComparisonRun.h"
#include "core/EntryComment.h"
#include "core/HexText.h"
#include "core/PasswordChange.h"
#include "core/ReleaseListBuild.h"
#include "core/ResultTable.h"
#include "core/Settings.h"
#include "core/SiteKey.h"

namespace qm {
namespace {

using test::SampleInstallation;

class SiteKeyTest : public ::testing::Test {
protected:
    void SetUp() override {
        m_sample.WriteFile("qmw/tool.exe", "123456789");
        m_sample.WriteFile("db1/store.dll", "store");
    }

    // A build behind `password`, which must be accepted.
    BuildResult Build(const std::string& password = kTestPassword) {
        CUpdateKey key;
        EXPECT_EQ(CheckUpdatePassword(password, key), PasswordCheck::Right);
        return CReleaseListBuild().BuildReleaseList(&key);
    }

    ComparisonResult Compare() {
        CResultTable table;
        SortState sort;
        return RunComparison(table, sort, ComparisonHooks());
    }

    std::string Settings() const { return m_sample.ReadInWindows(kSettingsFile); }
    void ReplaceInSettings(const std::string& key, const std::string& value) const {
        CIniFile settings;
        ASSERT_TRUE(settings.Load(ProfilePath(kSettingsFile)));
        const char* section = key == "Iterations" ? "Password" : "SigningKey";
        settings.WriteText(section, key, value);
        ASSERT_TRUE(settings.Save());
    }

    SampleInstallation m_sample;
};

TEST_F(SiteKeyTest, TheFirstGuardedWriteMakesTheKeyAndEveryLaterOneKeepsIt) {
    EXPECT_TRUE(IsUpdatePassword(kTestPassword));
    EXPECT_FALSE(IsUpdatePassword(MistypedTestPassword()));
    EXPECT_FALSE(ReadSitePin().pinned);

    const BuildResult first = Build();
    ASSERT_EQ(first.status, BuildResult::Ok);
    EXPECT_TRUE(first.signedList && first.madeKey);
    EXPECT_EQ(first.sequence, 1u);
    EXPECT_EQ(ReadSitePin().publicKey, first.publicKey);
    EXPECT_NE(Settings().find("Iterations=600000"), std::string::npos);
    EXPECT_EQ(Compare().signature.state, SignatureState::Valid);

    const BuildResult second = Build();
    EXPECT_FALSE(second.madeKey);
    EXPECT_EQ(second.publicKey, first.publicKey);
    EXPECT_EQ(second.sequence, 2u);

    // A comment and a mark keep the signature; Add signs on.
    ASSERT_EQ(WriteEntryComment("qmw", 1, "tool.exe", "hotfix 7", true), CommentResult::Written);
    EXPECT_EQ(Compare().signature.state, SignatureState::Valid);
    CUpdateKey key;
    ASSERT_EQ(CheckUpdatePassword(kTestPassword, key), PasswordCheck::Right);
    AddOutcome added;
    EXPECT_EQ(AddReleaseFile("tool.exe", 0, &key, added), AddResult::Refreshed);
    EXPECT_EQ(added.sequence, 3u);
    const ComparisonResult compared = Compare();
    EXPECT_EQ(compared.signature.state, SignatureState::Valid);
    EXPECT_EQ(compared.signature.sequence, 3u);
}

TEST_F(SiteKeyTest, ANewPasswordSealsTheSameKeyAndTheOldOneOpensNothing) {
    const BuildResult built = Build();
    ASSERT_EQ(built.status, BuildResult::Ok);
    CUpdateKey current;
    ASSERT_EQ(CheckUpdatePassword(kTestPassword, current), PasswordCheck::Right);
    EXPECT_TRUE(ChangeUpdatePassword(current, "").emptyPassword);
    const PasswordChange change = ChangeUpdatePassword(current, "a site's own");
    ASSERT_TRUE(change.changed);
    EXPECT_TRUE(change.resealedKey);

    EXPECT_FALSE(IsUpdatePassword(kTestPassword));
    const BuildResult again = Build("a site's own");
    EXPECT_EQ(again.status, BuildResult::Ok);
    EXPECT_EQ(again.publicKey, built.publicKey);
    EXPECT_EQ(Compare().signature.state, SignatureState::Valid);

    // A key checked before the change opens nothing after it.
    EXPECT_EQ(CReleaseListBuild().BuildReleaseList(&current).signing,
              SigningProblem::PasswordChanged);
}

TEST_F(SiteKeyTest, WithAKeyPinnedNothingIsWrittenWithoutThePassword) {
    ASSERT_EQ(Build().status, BuildResult::Ok);
    const std::string list = m_sample.ListText();
    const BuildResult unguarded = CReleaseListBuild().BuildReleaseList();
    EXPECT_EQ(unguarded.status, BuildResult::SigningFailed);
    EXPECT_EQ(unguarded.signing, SigningProblem::KeyPinned);
    EXPECT_EQ(AddReleaseFile("tool.exe", 0), AddResult::SigningFailed);
    EXPECT_EQ(m_sample.ListText(), list);

    // A missing list is an alarm, never rebuilt in silence.
    m_sample.RemoveInWindows(kReleaseListName);
    const ComparisonResult compared = Compare();
    EXPECT_FALSE(compared.builtList);
    EXPECT_EQ(compared.signature.state, SignatureState::UnsignedWhilePinned);
    EXPECT_TRUE(compared.signature.listMissing);
    EXPECT_FALSE(m_sample.ExistsInWindows(kReleaseListName));
}

TEST_F(SiteKeyTest, AddNeverSignsAListSomeoneChanged) {
    ASSERT_EQ(Build().status, BuildResult::Ok);
    m_sample.WriteList(m_sample.ListText().replace(m_sample.ListText().find("CRC1="), 5, "CRC1=0"));
    const std::string changed = m_sample.ListText();
    CUpdateKey key;
    ASSERT_EQ(CheckUpdatePassword(kTestPassword, key), PasswordCheck::Right);
    AddOutcome outcome;
    EXPECT_EQ(AddReleaseFile("tool.exe", 0, &key, outcome), AddResult::SigningFailed);
    EXPECT_EQ(outcome.signing, SigningProblem::ListNotAsSigned);
    EXPECT_EQ(outcome.list.state, SignatureState::ChangedAfterSigning);
    EXPECT_EQ(m_sample.ListText(), changed);
    // A build records the files anew, and signs that.
    EXPECT_EQ(Build().status, BuildResult::Ok);
    EXPECT_EQ(Compare().signature.state, SignatureState::Valid);
}

TEST_F(SiteKeyTest, SettingsChangedByHandOpenNoKey) {
    ASSERT_EQ(Build().status, BuildResult::Ok);
    const std::string settings = Settings();

    std::string other;
    std::string otherPrivate;
    ASSERT_TRUE(Platform().NewSigningKey(other, otherPrivate));
    ReplaceInSettings("PublicKey", HexText(other));
    EXPECT_EQ(Compare().signature.state, SignatureState::OtherKey);
    EXPECT_EQ(Build().signing, SigningProblem::KeyDoesNotOpen);

    m_sample.WriteInWindows(kSettingsFile, settings);
    ReplaceInSettings("PrivateKey", std::string(2 * 124, '0'));
    EXPECT_EQ(Build().signing, SigningProblem::KeyDoesNotOpen);

    // Without the password's record the built-in password is checked again,
    // but the key sealed under the record stays shut.
    m_sample.WriteInWindows(kSettingsFile, settings.substr(settings.find("[SigningKey]")));
    EXPECT_EQ(Build().signing, SigningProblem::KeyDoesNotOpen);

    m_sample.WriteInWindows(kSettingsFile, settings);
    ReplaceInSettings("Iterations", "5");
    CUpdateKey key;
    EXPECT_EQ(CheckUpdatePassword(kTestPassword, key), PasswordCheck::RecordDamaged);
    EXPECT_EQ(m_sample.ListText().find("Sequence=2"), std::string::npos);  // nothing signed
}

}  // namespace
}  // namespace qm
