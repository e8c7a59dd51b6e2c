#include <gtest/gtest.h>

#include <cctype>
#include <map>
#include <string>
#include <vector>

#include "CrcForge.h"
#include "ForwardingPlatform.h"
#include "SampleInstallation.h"
#include "core/ComparisonRun.h"
#include "core/EntryComment.h"
#include "core/FileStatus.h"
#include "core/Fingerprint.h"
#include "core/ReleaseListFormat.h"
#include "core/ResultTable.h"
#include "core/RunSummary.h"

namespace qm {
namespace {

using test::SampleInstallation;

// The rows of a run by the path they show.
std::map<std::string, ResultRow> ByPath(const CResultTable& table) {
    std::map<std::string, ResultRow> rows;
    for (const ResultRow& row : table.Rows()) rows[row.texts[kColFileName]] = row;
    return rows;
}

struct CompareRun {
    CResultTable table;
    SortState sort;
    ComparisonResult result;
    int notices = 0;
    std::vector<bool> cursor;
    std::vector<std::string> topRowAfterEachAdd;

    UnlistedScope unlisted;

    explicit CompareRun(bool start = true) {
        if (start) Go();
    }
    void Go() {
        ComparisonHooks hooks;
        hooks.noticeNoReleaseList = [this] { ++notices; };
        hooks.showWaitCursor = [this](bool wait) { cursor.push_back(wait); };
        hooks.rowAdded = [this](int) {
            topRowAfterEachAdd.push_back(table.GetCellText(0, kColFileName));
        };
        sort = SortState{4, 1};
        result = RunComparison(table, sort, StatusTexts(), hooks, unlisted);
    }
};

TEST(ComparisonRun, RoundTripBuildChangeCompareMarkCompare) {
    SampleInstallation sample;
    sample.WriteFile("qmw/tool.exe", "123456789");
    sample.WriteFile("qmw/helper.dll", "abc");
    sample.MakeDirectory("qmw/tools.exe");
    sample.WriteFile("db1/store.dll", "store");
    sample.WriteFile("db1/gone.exe", "soon gone");

    // No list: the operator is told, the list is built, all is identical.
    CompareRun first;
    EXPECT_EQ(first.notices, 1);
    EXPECT_TRUE(first.result.builtList);
    EXPECT_EQ(first.result.build.status, BuildResult::Ok);
    EXPECT_EQ(first.cursor, (std::vector<bool>{true, false, true, false}));
    EXPECT_EQ(first.sort.m_nSortColumn, 1);
    EXPECT_EQ(first.sort.m_bSortAscending, 0);
    ASSERT_EQ(first.table.RowCount(), 5);
    auto rows = ByPath(first.table);
    const ResultRow& tool = rows["\\qmw.\\tool.exe"];
    EXPECT_EQ(tool.texts[kColStatus], "Identical");
    EXPECT_EQ(tool.attributes.image, Identical);
    EXPECT_EQ(tool.texts[kColCrcCurrent], "cbf43926");
    EXPECT_EQ(tool.texts[kColCrcRelease], "cbf43926");
    EXPECT_EQ(tool.texts[kColDateCurrent], tool.texts[kColDateRelease]);
    EXPECT_EQ(tool.texts[kColSection], "qmw");
    EXPECT_EQ(rows["\\qmw.\\tools.exe"].texts[kColCrcCurrent], "0");
    EXPECT_EQ(rows["\\db1.\\store.dll"].texts[kColSection], "db1");
    // Mask order: the .exe names of a section come before its .dll names.
    EXPECT_EQ(rows["\\db1.\\gone.exe"].texts[kColEntry], "1");
    EXPECT_EQ(rows["\\db1.\\store.dll"].texts[kColEntry], "2");

    // Change one file, remove another.
    sample.WriteFile("qmw/tool.exe", "changed");
    sample.RemoveFile("db1/gone.exe");
    CompareRun second;
    EXPECT_EQ(second.notices, 0);
    EXPECT_FALSE(second.result.builtList);
    EXPECT_EQ(second.cursor, (std::vector<bool>{true, false}));
    rows = ByPath(second.table);
    EXPECT_EQ(rows["\\qmw.\\tool.exe"].texts[kColStatus], "Not identical");
    EXPECT_EQ(rows["\\qmw.\\tool.exe"].attributes.image, NotIdentical);
    const ResultRow& gone = rows["\\db1.\\gone.exe"];
    EXPECT_EQ(gone.texts[kColStatus], "Not identical");
    EXPECT_EQ(gone.texts[kColCrcCurrent], "0");
    EXPECT_EQ(gone.texts[kColDateCurrent], "");
    EXPECT_EQ(second.table.Rows()[0].texts[kColStatus], "Not identical");
    EXPECT_EQ(second.table.Rows()[4].texts[kColStatus], "Identical");

    // Mark the changed file as updated: it is reported so, and first.
    const ResultRow& changed = rows["\\qmw.\\tool.exe"];
    ASSERT_EQ(WriteEntryComment("qmw", std::stoi(changed.texts[kColEntry]),
                                changed.texts[kColFileName], "patched", true),
              CommentResult::Written);
    CompareRun third;
    EXPECT_EQ(third.table.Rows()[0].texts[kColFileName], "\\qmw.\\tool.exe");
    EXPECT_EQ(third.table.Rows()[0].texts[kColStatus], "Updated");
    EXPECT_EQ(third.table.Rows()[0].texts[kColComment], "patched");
    EXPECT_EQ(third.table.Rows()[0].attributes.image, Updated);
    EXPECT_EQ(third.table.Rows()[1].texts[kColFileName], "\\db1.\\gone.exe");
}

TEST(ComparisonRun, StatusFollowsTheCrcTextsAndOnlyAMarkOfOne) {
    SampleInstallation sample;
    sample.WriteFile("qmw/a.exe", "abc");  // 352441c2
    sample.WriteList(
        "[qmw]\r\n"
        "File1=a.exe\r\nCRC1=352441c2\r\nUpdated1=1\r\n"  // marked but same: Identical
        "File2=a.exe\r\nCRC2=352441C2\r\n"                // upper case never matches
        "File3=a.exe\r\nCRC3=1\r\nUpdated3=1\r\nComment3=note\r\nDate3=01.01.2020 10:00\r\n"
        "File4=a.exe\r\nCRC4=1\r\nUpdated4=2\r\n"
        "File5=a.exe\r\nCRC5=1\r\nUpdated5=10\r\n"
        "File6=a.exe\r\nCRC6=1\r\nUpdated6=\r\n"
        "File7=a.exe\r\n"                     // no CRC key: never Identical
        "File8=missing.exe\r\nCRC8=0\r\n"     // recorded as unreadable, missing now
        "File10=a.exe\r\nCRC10=352441c2\r\n"  // behind the gap: not seen
        "[db1]\r\n");
    CompareRun run(false);
    run.Go();
    EXPECT_EQ(run.notices, 0);
    ASSERT_EQ(run.table.RowCount(), 8);
    std::map<std::string, std::string> statusByEntry;
    for (const ResultRow& row : run.table.Rows()) {
        statusByEntry[row.texts[kColEntry]] = row.texts[kColStatus];
        EXPECT_EQ(row.texts[kColSection], "qmw");
    }
    EXPECT_EQ(statusByEntry["1"], "Identical");
    EXPECT_EQ(statusByEntry["2"], "Not identical");
    EXPECT_EQ(statusByEntry["3"], "Updated");
    EXPECT_EQ(statusByEntry["4"], "Not identical");
    EXPECT_EQ(statusByEntry["5"], "Not identical");
    EXPECT_EQ(statusByEntry["6"], "Not identical");
    EXPECT_EQ(statusByEntry["7"], "Not identical");
    EXPECT_EQ(statusByEntry["8"], "Not identical");  // a missing file never passes
    // The one Updated row leads, with the entry's own texts.
    const ResultRow& top = run.table.Rows()[0];
    EXPECT_EQ(top.texts[kColEntry], "3");
    EXPECT_EQ(top.texts[kColComment], "note");
    EXPECT_EQ(top.texts[kColDateRelease], "01.01.2020 10:00");
    EXPECT_EQ(top.texts[kColCrcRelease], "1");
}

TEST(ComparisonRun, RowsArriveAtTheTopInWalkOrder) {
    SampleInstallation sample;
    sample.WriteList("[qmw]\r\nFile1=a.exe\r\nFile2=b.exe\r\n[db1]\r\nFile1=c.dll\r\n");
    CompareRun run;
    EXPECT_EQ(run.topRowAfterEachAdd,
              (std::vector<std::string>{"\\qmw.\\a.exe", "\\qmw.\\b.exe", "\\db1.\\c.dll"}));
}

TEST(ComparisonRun, EmptyListGivesNoRowsAndNoBuild) {
    SampleInstallation sample;
    sample.WriteFile("qmw/a.exe", "abc");
    sample.WriteList("");
    CompareRun run;
    run.table.InsertRowAtTop("left over", 0);
    run.Go();
    EXPECT_EQ(run.notices, 0);
    EXPECT_EQ(run.table.RowCount(), 0);
    EXPECT_EQ(run.sort.m_nSortColumn, 1);
    EXPECT_EQ(run.sort.m_bSortAscending, 0);
}

TEST(ComparisonRun, LongNamesAreCutInTheRowButNeverNameAnotherFile) {
    SampleInstallation sample;
    const std::string longName = std::string(130, 'x') + ".exe";
    // The file the cut path would name exists and matches the recorded CRC;
    // it is not the listed file, so it must not be fingerprinted.
    const std::string cutName = longName.substr(0, 127 - 6);
    sample.WriteFile("qmw/" + cutName, "abc");
    sample.WriteList("[qmw]\r\nFile1=" + longName + "\r\nCRC1=352441c2\r\n");
    CompareRun run;
    ASSERT_EQ(run.table.RowCount(), 1);
    const ResultRow& row = run.table.Rows()[0];
    EXPECT_EQ(row.texts[kColFileName], "\\qmw.\\" + cutName);
    EXPECT_EQ(row.texts[kColCrcCurrent], "0");
    EXPECT_EQ(row.texts[kColStatus], "Not identical");
}

TEST(ComparisonRun, WalkStopsAfterEntry9998) {
    SampleInstallation sample;
    std::string text = "[qmw]\r\n";
    for (int n = 1; n <= 10000; ++n) {
        text += "File" + std::to_string(n) + "=m.exe\r\nCRC" + std::to_string(n) + "=0\r\n";
    }
    sample.WriteList(text);
    CompareRun run;
    ASSERT_EQ(run.table.RowCount(), 9998);
    for (const ResultRow& row : run.table.Rows()) EXPECT_NE(row.texts[kColEntry], "9999");
    // The entries beyond are told, the first of them too.
    EXPECT_EQ(run.result.findings.sections[0].unreachedKeys,
              (std::vector<std::string>{"File9999", "File10000"}));
}

// A program of some size whose bytes look like a program's.
std::string SomeProgram(size_t size, unsigned seed) {
    std::string bytes(size, '\0');
    for (size_t i = 0; i < size; ++i) bytes[i] = static_cast<char>((i * 2654435761u + seed) >> 13);
    return bytes;
}

TEST(ComparisonVerdict, AFileCraftedToKeepItsCrcIsNotIdenticalWhereTheListRecordsItsSha256) {
    SampleInstallation sample;
    const std::string program = SomeProgram(300 * 1024, 7);
    sample.WriteFile("qmw/tool.exe", program);
    sample.WriteFile("db1/store.dll", "store");
    CompareRun first;
    ResultRow tool = ByPath(first.table)["\\qmw.\\tool.exe"];
    EXPECT_EQ(tool.attributes.cause, RowCause::SameContent);
    EXPECT_EQ(tool.attributes.digest, RowDigest::Sha256);
    EXPECT_EQ(tool.attributes.sha256Current.size(), 64u);
    EXPECT_EQ(tool.attributes.sha256Current, tool.attributes.sha256Release);

    // Same size, same CRC-32, other content.
    const std::string crafted = test::CraftedLike(program);
    ASSERT_EQ(crafted.size(), program.size());
    ASSERT_NE(crafted, program);
    sample.WriteFile("qmw/tool.exe", crafted);
    CompareRun second;
    tool = ByPath(second.table)["\\qmw.\\tool.exe"];
    EXPECT_EQ(tool.texts[kColCrcCurrent], tool.texts[kColCrcRelease]);
    EXPECT_EQ(tool.texts[kColStatus], "Not identical");
    EXPECT_EQ(tool.attributes.image, NotIdentical);
    EXPECT_EQ(tool.attributes.cause, RowCause::ContentChangedSameCrc);
    EXPECT_NE(tool.attributes.sha256Current, tool.attributes.sha256Release);
    EXPECT_EQ(second.table.Rows()[0].texts[kColFileName], "\\qmw.\\tool.exe");

    const RunSummary summary = SummarizeRows(second.table);
    EXPECT_EQ(summary.compared, 2);
    EXPECT_EQ(summary.identical, 1);
    EXPECT_EQ(summary.notIdentical, 1);
    EXPECT_EQ(summary.crcOnly, 0);
    EXPECT_EQ(summary.crafted, (std::vector<std::string>{"\\qmw.\\tool.exe"}));

    sample.MarkUpdated("qmw", "tool.exe");
    CompareRun third;
    EXPECT_EQ(ByPath(third.table)["\\qmw.\\tool.exe"].texts[kColStatus], "Updated");
}

TEST(ComparisonVerdict, WithoutASha256TheCrcDecidesAsBeforeAndABadOneNeverFallsBackToIt) {
    SampleInstallation sample;
    const std::string program = SomeProgram(5000, 3);
    sample.WriteFile("qmw/a.exe", test::CraftedLike(program));
    const std::string crc = CrcText(test::CrcOf(program));
    const std::string entry = "File%=a.exe\r\nCRC%=" + crc + "\r\n";
    const auto numbered = [&entry](int n, const std::string& sha) {
        std::string text = entry;
        for (size_t at; (at = text.find('%')) != std::string::npos;) {
            text.replace(at, 1, std::to_string(n));
        }
        return sha.empty() ? text : text + "SHA256" + std::to_string(n) + "=" + sha + "\r\n";
    };
    const std::string sha = Sha256Hex(Sha256(test::CraftedLike(program)));
    std::string upper = sha;
    for (char& c : upper) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    sample.WriteList("[qmw]\r\n" + numbered(1, "") + numbered(2, "xyz") +
                     numbered(3, sha.substr(1)) + numbered(4, sha + "0") + numbered(5, upper) +
                     numbered(6, std::string(64, '0')) + "SHA2567=\r\n" + numbered(7, ""));
    CompareRun run;
    std::map<std::string, ResultRow> byEntry;
    for (const ResultRow& row : run.table.Rows()) byEntry[row.texts[kColEntry]] = row;
    ASSERT_EQ(byEntry.size(), 7u);
    // No SHA-256 recorded (no key, or an empty value): the CRC alone, as
    // every list written before.
    for (const char* n : {"1", "7"}) {
        EXPECT_EQ(byEntry[n].texts[kColStatus], "Identical") << n;
        EXPECT_EQ(byEntry[n].attributes.cause, RowCause::SameCrc) << n;
        EXPECT_EQ(byEntry[n].attributes.digest, RowDigest::Crc32) << n;
    }
    for (const char* n : {"2", "3", "4"}) {
        EXPECT_EQ(byEntry[n].texts[kColStatus], "Not identical") << n;
        EXPECT_EQ(byEntry[n].attributes.cause, RowCause::BadDigest) << n;
    }
    EXPECT_EQ(SummarizeRows(run.table).crcOnly, 2);
    EXPECT_EQ(byEntry["5"].attributes.cause, RowCause::SameContent);  // case does not count
    EXPECT_EQ(byEntry["6"].attributes.cause, RowCause::ContentChangedSameCrc);
}

TEST(ComparisonRun, PlantedFilesShowAsNotListedInTheChosenDirectoriesOnly) {
    SampleInstallation sample;
    sample.WriteFile("qmw/tool.exe", "tool");
    sample.WriteFile("qmw/changed.exe", "before");
    sample.WriteFile("db1/store.dll", "store");
    CompareRun build;
    sample.WriteFile("qmw/changed.exe", "after");
    sample.MarkUpdated("qmw", "tool.exe");
    sample.WriteFile("qmw/tool.exe", "patched");
    sample.WriteFile("qmw/Planted.DLL", "planted");
    sample.WriteFile("qmw/readme.txt", "no program file");
    sample.WriteFile("db1/other.exe", "planted too");

    CompareRun none;
    EXPECT_EQ(none.table.RowCount(), 3);

    CompareRun qmw(false);
    qmw.unlisted.sections[0] = true;
    qmw.Go();
    ASSERT_EQ(qmw.table.RowCount(), 4);
    const ResultRow planted = ByPath(qmw.table)["\\qmw.\\Planted.DLL"];
    EXPECT_EQ(planted.texts[kColStatus], "Not listed");
    EXPECT_EQ(planted.attributes.image, NotListed);
    EXPECT_EQ(planted.attributes.cause, RowCause::NotListed);
    EXPECT_EQ(planted.texts[kColCrcCurrent], CrcText(test::CrcOf("planted")));
    EXPECT_FALSE(planted.texts[kColDateCurrent].empty());
    for (int column : {kColCrcRelease, kColDateRelease, kColComment, kColEntry}) {
        EXPECT_EQ(planted.texts[column], "") << column;
    }
    EXPECT_EQ(planted.texts[kColSection], "qmw");
    // The final order by status text: Updated, Not listed, Not identical, Identical.
    std::vector<std::string> order;
    for (const ResultRow& row : qmw.table.Rows()) order.push_back(row.texts[kColStatus]);
    EXPECT_EQ(order,
              (std::vector<std::string>{"Updated", "Not listed", "Not identical", "Identical"}));

    CompareRun db1(false);
    db1.unlisted.sections[1] = true;
    db1.Go();
    ASSERT_EQ(db1.table.RowCount(), 4);
    EXPECT_EQ(SummarizeRows(db1.table).notListed, 1);
    EXPECT_EQ(ByPath(db1.table)["\\db1.\\other.exe"].texts[kColStatus], "Not listed");
}

// A list that exists but cannot be read names no file: what it would name
// must not show as planted, so the run shows no row at all.
TEST(ComparisonRun, AListThatCannotBeReadShowsNoRowNotEvenOfUnlistedFiles) {
    SampleInstallation sample;
    sample.WriteFile("qmw/tool.exe", "tool");
    sample.WriteFile("db1/store.dll", "store");
    std::filesystem::create_directory(sample.InWindows(kReleaseListName));
    CompareRun run(false);
    run.unlisted.sections[0] = run.unlisted.sections[1] = true;
    run.Go();
    EXPECT_TRUE(run.result.listFound);
    EXPECT_FALSE(run.result.builtList);
    EXPECT_TRUE(run.result.listUnreadable);
    EXPECT_EQ(run.table.RowCount(), 0);
}

// A platform on which \db1 exists but may not be searched.
class ClosedDb1 : public test::ForwardingPlatform {
public:
    uint32_t SearchDirectoryError(const std::string& path) override {
        return path == "\\db1" ? kErrorAccessDenied : Real().SearchDirectoryError(path);
    }
};

TEST(ComparisonRun, ADirectoryThatCannotBeSearchedForPlantedFilesIsTold) {
    SampleInstallation sample;
    sample.WriteFile("qmw/tool.exe", "tool");
    CompareRun build;
    CompareRun open(false);
    open.unlisted.sections[0] = open.unlisted.sections[1] = true;
    open.Go();
    EXPECT_TRUE(open.result.unsearched.empty()) << "an empty \\db1 is searched";

    ClosedDb1 closed;
    CompareRun shut(false);
    shut.unlisted.sections[0] = shut.unlisted.sections[1] = true;
    shut.Go();
    ASSERT_EQ(shut.result.unsearched.size(), 1u);
    EXPECT_EQ(shut.result.unsearched[0].directory, "\\db1");
    EXPECT_EQ(shut.result.unsearched[0].error, kErrorAccessDenied);
    shut.unlisted.sections[1] = false;  // not asked for: not told
    shut.Go();
    EXPECT_TRUE(shut.result.unsearched.empty());
}

TEST(ComparisonRun, ALongNameIsRecordedAndVerifiedWhole) {
    SampleInstallation sample;
    const std::string name = std::string(150, 'n') + ".exe";
    sample.WriteFile("qmw/" + name, "long");
    CompareRun first;
    EXPECT_TRUE(first.result.build.unreadable.empty());
    EXPECT_EQ(sample.LoadList().ReadText("qmw", "File1", 1024), name);
    CompareRun second;
    ASSERT_EQ(second.table.RowCount(), 1);
    const ResultRow& row = second.table.Rows()[0];
    EXPECT_EQ(row.texts[kColStatus], "Identical");
    EXPECT_EQ(row.texts[kColCrcCurrent], CrcText(test::CrcOf("long")));
    EXPECT_EQ(row.texts[kColFileName], ("\\qmw.\\" + name).substr(0, 127));
    // The comment of such a row goes to its entry.
    EXPECT_EQ(WriteEntryComment("qmw", 1, row.texts[kColFileName], "long one", false),
              CommentResult::Written);
}

TEST(ComparisonRun, EntriesThatNoWalkReachesAreFound) {
    SampleInstallation sample;
    sample.WriteFile("qmw/a.exe", "abc");
    sample.WriteList(
        "[qmw]\r\nFile1=a.exe\r\nFile2=a.exe\r\nFile4=a.exe\r\nfile01=a.exe\r\n"
        "File3=\r\nFileName=x\r\nFile10000=a.exe\r\n"
        "[db1]\r\nFile2=a.dll\r\n");
    CompareRun run;
    EXPECT_EQ(run.table.RowCount(), 2);
    const ListFindings& findings = run.result.findings;
    EXPECT_EQ(findings.sections[0].entries, 2);
    EXPECT_EQ(findings.sections[0].unreachedKeys,
              (std::vector<std::string>{"File4", "file01", "File10000"}));
    EXPECT_EQ(findings.sections[1].entries, 0);
    EXPECT_EQ(findings.sections[1].unreachedKeys, (std::vector<std::string>{"File2"}));
    EXPECT_EQ(findings.UnreachedEntries(), 4u);
    EXPECT_EQ(NamesInBrief({"a", "b", "c"}, 2), "a, b and 1 more");

    sample.WriteList("[qmw]\r\nFile1=a.exe\r\n");
    CompareRun clean;
    EXPECT_FALSE(clean.result.findings.HasUnreachedEntries());
    EXPECT_EQ(clean.result.findings.Entries(), 1);
}

}  // namespace
}  // namespace qm
