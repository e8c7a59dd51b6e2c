// Files whose names the ANSI code page cannot spell: a build records them by
// their true names in a list that can hold them, with their true CRC, and
// the next comparison finds each of them identical. On the stand-in the
// code page is Windows' Western one for these tests
// ($QMVERIFY_ANSI_CODE_PAGE), as on a Western Windows.
#include <gtest/gtest.h>

#ifdef _WIN32
#include <windows.h>
#else
#include <stdlib.h>
#endif

#include <string>

#include "CrcForge.h"
#include "SampleInstallation.h"
#include "core/AddReleaseFile.h"
#include "core/ComparisonRun.h"
#include "core/Fingerprint.h"
#include "core/ReleaseListFormat.h"
#include "core/ResultTable.h"

namespace qm {
namespace {

using test::SampleInstallation;

// The Western code page for the test's life, or a reason to skip.
class WesternCodePage {
public:
    WesternCodePage() {
#ifdef _WIN32
        if (GetACP() != 1252) m_skip = "the ANSI code page is " + std::to_string(GetACP());
#else
        setenv("QMVERIFY_ANSI_CODE_PAGE", "1252", 1);
#endif
    }
    ~WesternCodePage() {
#ifndef _WIN32
        unsetenv("QMVERIFY_ANSI_CODE_PAGE");
#endif
    }
    WesternCodePage(const WesternCodePage&) = delete;
    WesternCodePage& operator=(const WesternCodePage&) = delete;
    const std::string& Skip() const { return m_skip; }

private:
    std::string m_skip;
};

ComparisonResult Compare(CResultTable& table) {
    SortState sort;
    return RunComparison(table, sort, ComparisonHooks(), UnlistedScope());
}

TEST(TrueNames, ABuildRecordsNamesTheCodePageCannotSpellAndTheyCompareIdentical) {
    WesternCodePage western;
    if (!western.Skip().empty()) GTEST_SKIP() << western.Skip();
    SampleInstallation sample;
    const std::string evil = "\xD0\xB5vil.dll";                  // Cyrillic e
    const std::string program = "\xE8\xA9\x95\xE4\xBE\xA1.exe";  // CJK
    const std::string western1252 = "s\xC3\xA9tup.exe";          // é: the code page has it
    sample.WriteFile("qmw", "tool.exe", "tool");
    sample.WriteFile("qmw", evil, "evil");
    sample.WriteFile("qmw", program, "program");
    sample.WriteFile("qmw", western1252, "setup");

    CResultTable table;
    const ComparisonResult first = Compare(table);
    EXPECT_TRUE(first.build.savedAsUnicode);
    EXPECT_EQ(sample.ListText().substr(0, 2), "\xFF\xFE");  // UTF-16LE with its mark
    const CIniFile list = sample.LoadList();
    EXPECT_EQ(list.FileEncoding(), CIniFile::Encoding::Utf16LeWithBom);
    for (int n = 1; n <= 4; ++n) {
        const std::string name = list.ReadText("qmw", EntryKey("File", n), 256);
        SCOPED_TRACE(name);
        EXPECT_EQ(name.find('?'), std::string::npos);
        const std::string contents = name == evil         ? "evil"
                                     : name == program    ? "program"
                                     : name == "tool.exe" ? "tool"
                                                          : "setup";
        EXPECT_EQ(list.ReadText("qmw", EntryKey("CRC", n), 64), CrcText(test::CrcOf(contents)));
    }

    CResultTable again;
    Compare(again);
    ASSERT_EQ(again.RowCount(), 4);
    for (const ResultRow& row : again.Rows()) {
        EXPECT_EQ(row.file.status, Identical) << row.file.name;
    }

    // Add records such a name too; a list of names the code page spells
    // stays plain text.
    const std::string added = "\xC4\x81.dll";  // a with macron
    sample.WriteFile("qmw", added, "added");
    EXPECT_EQ(AddReleaseFile(added, 0), AddResult::Added);
    EXPECT_EQ(sample.LoadList().ReadText("qmw", "File5", 256), added);
    sample.RemoveFile("qmw/" + evil);
    sample.RemoveFile("qmw/" + program);
    sample.RemoveFile("qmw/" + added);
    sample.RemoveInWindows(kReleaseListName);
    CResultTable plain;
    EXPECT_FALSE(Compare(plain).build.savedAsUnicode);
    EXPECT_EQ(sample.LoadList().FileEncoding(), CIniFile::Encoding::Plain);
    // In the code page's own bytes, as the profile functions read it.
    EXPECT_NE(sample.ListText().find("=s\xE9tup.exe\r\n"), std::string::npos);
}

}  // namespace
}  // namespace qm
