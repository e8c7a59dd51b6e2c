// The release list's signature in memory: what it covers (every value the
// comparison decides by, in the walk's order) and what it leaves free
// (comments, marks, the file's layout), and the state it gives against the
// pinned key.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "core/HexText.h"
#include "core/IniFile.h"
#include "core/ListSignature.h"
#include "core/ReleaseListCheck.h"
#include "core/Sha256.h"
#include "platform/Platform.h"

namespace {

using namespace qm;

constexpr char kList[] =
    "[qmw]\r\n"
    "File1=tool.exe\r\nDate1=07.12.2026 11:45\r\nCRC1=cbf43926\r\nUpdated1=0\r\nComment1=\r\n"
    "SHA2561=15e2b0d3c33891ebb0f1ef609ec419420c20e320ce94c65fbc8c3312448eb225\r\nSize1=9\r\n"
    "File2=lib.dll\r\nDate2=07.12.2026 11:46\r\nCRC2=352441c2\r\nUpdated2=0\r\nComment2=\r\n"
    "[db1]\r\n"
    "File1=store.dll\r\nDate1=03.11.2026 09:05\r\nCRC1=5d1f0a\r\nUpdated1=0\r\nComment1=\r\n";

std::string Replaced(std::string text, const std::string& from, const std::string& to) {
    const size_t at = text.find(from);
    EXPECT_NE(at, std::string::npos) << from;
    if (at != std::string::npos) text.replace(at, from.size(), to);
    return text;
}

// One bit of the hexadecimal digit just after `key`, flipped.
std::string FlippedDigitAfter(std::string text, const std::string& key) {
    const size_t at = text.find(key);
    EXPECT_NE(at, std::string::npos) << key;
    if (at != std::string::npos) {
        char& digit = text[at + key.size()];
        digit = digit == '0' ? '1' : '0';
    }
    return text;
}

class ListSignatureTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(Platform().NewSigningKey(m_public, m_private));
        m_pin.pinned = true;
        m_pin.publicKey = m_public;
        CIniFile list;
        list.LoadText(kList);
        ASSERT_TRUE(SignReleaseList(list, m_private, m_public, 5));
        m_signed = list.Text();
    }

    ListSignature StateOf(const std::string& text, const SitePin& pin) const {
        CIniFile list;
        list.LoadText(text);
        return CheckListSignature(&list, pin);
    }
    SignatureState StateOf(const std::string& text) const { return StateOf(text, m_pin).state; }

    std::string m_public;
    std::string m_private;
    SitePin m_pin;
    std::string m_signed;
};

TEST_F(ListSignatureTest, EveryEditOfWhatTheComparisonDecidesByBreaksIt) {
    const ListSignature valid = StateOf(m_signed, m_pin);
    EXPECT_EQ(valid.state, SignatureState::Valid);
    EXPECT_EQ(valid.sequence, 5u);
    EXPECT_EQ(valid.entries, 3);
    EXPECT_EQ(valid.listKey, m_public);

    std::string otherPublic;
    std::string otherPrivate;
    ASSERT_TRUE(Platform().NewSigningKey(otherPublic, otherPrivate));
    const std::string text = m_signed;
    const std::vector<std::pair<const char*, std::string>> edits = {
        {"name", Replaced(text, "File2=lib.dll", "File2=lib2.dll")},
        {"CRC", Replaced(text, "CRC1=cbf43926", "CRC1=cbf43927")},
        // The first of two keys is the one every reader reads.
        {"shadowing CRC", Replaced(text, "CRC1=cbf43926", "crc1=cbf43927\r\nCRC1=cbf43926")},
        {"SHA-256", Replaced(text, "SHA2561=15e2", "SHA2561=15e3")},
        {"no SHA-256", Replaced(text, "SHA2561=15e2", "SHA2562=15e2")},
        {"size", Replaced(text, "Size1=9", "Size1=10")},
        {"date", Replaced(text, "Date1=03.11.2026", "Date1=04.11.2026")},
        {"planted entry", Replaced(text, "[db1]\r\n", "File3=x.dll\r\nCRC3=1\r\n[db1]\r\n")},
        {"entry deleted", Replaced(text, "File2=lib.dll", "File2=")},
        {"entries swapped", Replaced(Replaced(text, "File1=tool.exe", "File1=lib.dll"),
                                     "File2=lib.dll", "File2=tool.exe")},
        {"sequence", Replaced(text, "Sequence=5", "Sequence=6")},
        {"count", Replaced(text, "Entries=3", "Entries=2")},
        {"signature bit", FlippedDigitAfter(text, "\nSignature=")},
        {"list key", Replaced(text, HexText(m_public), HexText(otherPublic))},
        {"version", Replaced(text, "Version=1", "Version=2")},
    };
    for (const auto& edit : edits) {
        EXPECT_EQ(StateOf(edit.second), SignatureState::ChangedAfterSigning) << edit.first;
    }

    // Comments, marks and the layout of the file are free.
    std::string free = Replaced(text, "Comment1=\r\n", "Comment1=patched by hotfix 7\r\n");
    free = Replaced(free, "Updated2=0", "Updated2=1");
    free = Replaced(free, "CRC2=352441c2", "CRC2 = \"352441c2\"");
    free = Replaced(free, "[qmw]\r\n", "; a note\r\n[qmw]\r\n");
    EXPECT_EQ(StateOf(free), SignatureState::Valid);
}

TEST_F(ListSignatureTest, TheStateTellsWhichKeyAndWhetherOneIsPinned) {
    std::string otherPublic;
    std::string otherPrivate;
    ASSERT_TRUE(Platform().NewSigningKey(otherPublic, otherPrivate));
    SitePin other{true, otherPublic, 0};
    EXPECT_EQ(StateOf(m_signed, other).state, SignatureState::OtherKey);
    EXPECT_EQ(StateOf(m_signed, SitePin()).state, SignatureState::OtherKey);  // no pin at all
    SitePin garbled{true, "", 0};
    EXPECT_EQ(StateOf(m_signed, garbled).state, SignatureState::OtherKey);

    EXPECT_EQ(StateOf(kList, SitePin()).state, SignatureState::NotSigned);
    EXPECT_EQ(StateOf(kList), SignatureState::UnsignedWhilePinned);
    const ListSignature missing = CheckListSignature(nullptr, m_pin);
    EXPECT_EQ(missing.state, SignatureState::UnsignedWhilePinned);
    EXPECT_TRUE(missing.listMissing);
    EXPECT_FALSE(CheckListSignature(nullptr, SitePin()).pinned);
    for (SignatureState alarm : {SignatureState::ChangedAfterSigning, SignatureState::OtherKey,
                                 SignatureState::UnsignedWhilePinned}) {
        EXPECT_TRUE(IsAlarm(alarm));
    }
    EXPECT_FALSE(IsAlarm(SignatureState::NotSigned));
    EXPECT_STREQ(SignatureStateName(SignatureState::UnsignedWhilePinned), "unsigned_while_pinned");
}

TEST_F(ListSignatureTest, FieldsCannotPassTextToTheirNeighbours) {
    // Text moved from one value into the next reads alike field by field
    // but never signs alike: each value carries its length.
    CIniFile a;
    a.LoadText("[qmw]\r\nFile1=a 3:b\r\nCRC1=c\r\n");
    CIniFile b;
    b.LoadText("[qmw]\r\nFile1=a\r\nCRC1=b 1:c\r\n");
    EXPECT_NE(CanonicalListText(a, 1, nullptr), CanonicalListText(b, 1, nullptr));
    int entries = 0;
    EXPECT_EQ(CanonicalListText(a, 1, &entries).find("qmverify release list signature 1\n"), 0u);
    EXPECT_EQ(entries, 1);
}

TEST(KeyFingerprint, IsTheKeysSha256InEightGroupsOfFour) {
    const std::string key(64, '\x42');
    const std::string fingerprint = KeyFingerprint(key);
    ASSERT_EQ(fingerprint.size(), 39u) << fingerprint;
    const Sha256Digest digest = Sha256(key);
    std::string expected = Sha256Hex(digest).substr(0, 32);
    for (size_t at = 28; at > 0; at -= 4) expected.insert(at, " ");
    EXPECT_EQ(fingerprint, expected);
}

TEST(ReleaseListCheck, DigestsAndSizesWithoutTheirEntryAreStray) {
    CIniFile list;
    list.LoadText(
        "[qmw]\r\nFile1=a.exe\r\nSHA2561=ab\r\nSize1=3\r\n"
        "SHA2562=cd\r\nsize02=4\r\n"  // the entry's name removed by hand; a spelling no walk reads
        "File5=e.exe\r\nSHA2565=ef\r\n");  // behind a gap: told as unreached, not as stray
    const ListFindings findings = CheckReleaseList(list);
    EXPECT_EQ(findings.sections[0].strayKeys, (std::vector<std::string>{"SHA2562", "size02"}));
    EXPECT_EQ(findings.sections[0].unreachedKeys, (std::vector<std::string>{"File5"}));
    EXPECT_EQ(findings.StrayKeys(), 2u);
}

}  // namespace
