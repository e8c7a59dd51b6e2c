#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "SampleInstallation.h"
#include "core/ComparisonRun.h"
#include "core/EntryComment.h"
#include "core/FileStatus.h"
#include "core/ReleaseListFormat.h"
#include "core/ResultTable.h"

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
        result = RunComparison(table, sort, StatusTexts(), hooks);
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
}

}  // namespace
}  // namespace qm
