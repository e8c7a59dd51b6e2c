#include <gtest/gtest.h>

#include <cctype>
#include <chrono>
#include <filesystem>
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
#include "core/ReadingLoop.h"
#include "core/ReleaseListFormat.h"
#include "core/ResultTable.h"
#include "core/RunSummary.h"

namespace qm {
namespace {

using test::SampleInstallation;

std::string Text(const ResultRow& row, int column) {
    return ColumnText(row.file, column, StatusTexts());
}

// The rows of a run by the path they show.
std::map<std::string, ResultRow> ByPath(const CResultTable& table) {
    std::map<std::string, ResultRow> rows;
    for (const ResultRow& row : table.Rows()) rows[Text(row, kColFileName)] = row;
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
        hooks.compared = [this](const ComparedFile&) {
            topRowAfterEachAdd.push_back(table.CellText(0, kColFileName));
        };
        sort = SortState{4, 1};
        result = RunComparison(table, sort, hooks, unlisted);
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
    EXPECT_EQ(Text(tool, kColStatus), "Identical");
    EXPECT_EQ(tool.file.status, Identical);
    EXPECT_EQ(Text(tool, kColCrcCurrent), "cbf43926");
    EXPECT_EQ(Text(tool, kColCrcRelease), "cbf43926");
    EXPECT_EQ(Text(tool, kColDateCurrent), Text(tool, kColDateRelease));
    EXPECT_EQ(Text(tool, kColSection), "qmw");
    EXPECT_EQ(Text(rows["\\qmw.\\tools.exe"], kColCrcCurrent), "0");
    EXPECT_EQ(Text(rows["\\db1.\\store.dll"], kColSection), "db1");
    // Mask order: the .exe names of a section come before its .dll names.
    EXPECT_EQ(Text(rows["\\db1.\\gone.exe"], kColEntry), "1");
    EXPECT_EQ(Text(rows["\\db1.\\store.dll"], kColEntry), "2");

    // Change one file, remove another.
    sample.WriteFile("qmw/tool.exe", "changed");
    sample.RemoveFile("db1/gone.exe");
    CompareRun second;
    EXPECT_EQ(second.notices, 0);
    EXPECT_FALSE(second.result.builtList);
    EXPECT_EQ(second.cursor, (std::vector<bool>{true, false}));
    rows = ByPath(second.table);
    EXPECT_EQ(Text(rows["\\qmw.\\tool.exe"], kColStatus), "Not identical");
    EXPECT_EQ(rows["\\qmw.\\tool.exe"].file.status, NotIdentical);
    const ResultRow& gone = rows["\\db1.\\gone.exe"];
    EXPECT_EQ(Text(gone, kColStatus), "Not identical");
    EXPECT_EQ(Text(gone, kColCrcCurrent), "0");
    EXPECT_EQ(Text(gone, kColDateCurrent), "");
    EXPECT_EQ(Text(second.table.Rows()[0], kColStatus), "Not identical");
    EXPECT_EQ(Text(second.table.Rows()[4], kColStatus), "Identical");

    // Mark the changed file as updated: it is reported so, and first.
    const ResultRow& changed = rows["\\qmw.\\tool.exe"];
    ASSERT_EQ(WriteEntryComment("qmw", changed.file.entry, changed.file.name, "patched", true),
              CommentResult::Written);
    CompareRun third;
    EXPECT_EQ(Text(third.table.Rows()[0], kColFileName), "\\qmw.\\tool.exe");
    EXPECT_EQ(Text(third.table.Rows()[0], kColStatus), "Updated");
    EXPECT_EQ(Text(third.table.Rows()[0], kColComment), "patched");
    EXPECT_EQ(third.table.Rows()[0].file.status, Updated);
    EXPECT_EQ(Text(third.table.Rows()[1], kColFileName), "\\db1.\\gone.exe");
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
        statusByEntry[Text(row, kColEntry)] = Text(row, kColStatus);
        EXPECT_EQ(Text(row, kColSection), "qmw");
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
    EXPECT_EQ(Text(top, kColEntry), "3");
    EXPECT_EQ(Text(top, kColComment), "note");
    EXPECT_EQ(Text(top, kColDateRelease), "01.01.2020 10:00");
    EXPECT_EQ(Text(top, kColCrcRelease), "1");
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
    run.table.AddAtTop(ComparedFile{});
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
    EXPECT_EQ(Text(row, kColFileName), "\\qmw.\\" + cutName);
    EXPECT_EQ(Text(row, kColCrcCurrent), "0");
    EXPECT_EQ(Text(row, kColStatus), "Not identical");
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
    for (const ResultRow& row : run.table.Rows()) EXPECT_NE(Text(row, kColEntry), "9999");
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
    EXPECT_EQ(tool.file.cause, RowCause::SameContent);
    EXPECT_EQ(tool.file.digest, RowDigest::Sha256);
    EXPECT_EQ(tool.file.sha256Now.size(), 64u);
    EXPECT_EQ(tool.file.sha256Now, tool.file.sha256Recorded);

    // Same size, same CRC-32, other content.
    const std::string crafted = test::CraftedLike(program);
    ASSERT_EQ(crafted.size(), program.size());
    ASSERT_NE(crafted, program);
    sample.WriteFile("qmw/tool.exe", crafted);
    CompareRun second;
    tool = ByPath(second.table)["\\qmw.\\tool.exe"];
    EXPECT_EQ(Text(tool, kColCrcCurrent), Text(tool, kColCrcRelease));
    EXPECT_EQ(Text(tool, kColStatus), "Not identical");
    EXPECT_EQ(tool.file.status, NotIdentical);
    EXPECT_EQ(tool.file.cause, RowCause::ContentChangedSameCrc);
    EXPECT_NE(tool.file.sha256Now, tool.file.sha256Recorded);
    EXPECT_EQ(Text(second.table.Rows()[0], kColFileName), "\\qmw.\\tool.exe");

    const RunSummary summary = SummarizeRows(second.table);
    EXPECT_EQ(summary.compared, 2);
    EXPECT_EQ(summary.identical, 1);
    EXPECT_EQ(summary.notIdentical, 1);
    EXPECT_EQ(summary.crcOnly, 0);
    EXPECT_EQ(summary.crafted, (std::vector<std::string>{"\\qmw.\\tool.exe"}));

    sample.MarkUpdated("qmw", "tool.exe");
    CompareRun third;
    EXPECT_EQ(Text(ByPath(third.table)["\\qmw.\\tool.exe"], kColStatus), "Updated");
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
    for (const ResultRow& row : run.table.Rows()) byEntry[Text(row, kColEntry)] = row;
    ASSERT_EQ(byEntry.size(), 7u);
    // No SHA-256 recorded (no key, or an empty value): the CRC alone, as
    // every list written before.
    for (const char* n : {"1", "7"}) {
        EXPECT_EQ(Text(byEntry[n], kColStatus), "Identical") << n;
        EXPECT_EQ(byEntry[n].file.cause, RowCause::SameCrc) << n;
        EXPECT_EQ(byEntry[n].file.digest, RowDigest::Crc32) << n;
    }
    for (const char* n : {"2", "3", "4"}) {
        EXPECT_EQ(Text(byEntry[n], kColStatus), "Not identical") << n;
        EXPECT_EQ(byEntry[n].file.cause, RowCause::BadDigest) << n;
    }
    EXPECT_EQ(SummarizeRows(run.table).crcOnly, 2);
    EXPECT_EQ(byEntry["5"].file.cause, RowCause::SameContent);  // case does not count
    EXPECT_EQ(byEntry["6"].file.cause, RowCause::ContentChangedSameCrc);
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
    EXPECT_EQ(Text(planted, kColStatus), "Not listed");
    EXPECT_EQ(planted.file.status, NotListed);
    EXPECT_EQ(planted.file.cause, RowCause::NotListed);
    EXPECT_EQ(Text(planted, kColCrcCurrent), CrcText(test::CrcOf("planted")));
    EXPECT_FALSE(Text(planted, kColDateCurrent).empty());
    for (int column : {kColCrcRelease, kColDateRelease, kColComment, kColEntry}) {
        EXPECT_EQ(Text(planted, column), "") << column;
    }
    EXPECT_EQ(Text(planted, kColSection), "qmw");
    // The final order by status text: Updated, Not listed, Not identical, Identical.
    std::vector<std::string> order;
    for (const ResultRow& row : qmw.table.Rows()) order.push_back(Text(row, kColStatus));
    EXPECT_EQ(order,
              (std::vector<std::string>{"Updated", "Not listed", "Not identical", "Identical"}));

    CompareRun db1(false);
    db1.unlisted.sections[1] = true;
    db1.Go();
    ASSERT_EQ(db1.table.RowCount(), 4);
    EXPECT_EQ(SummarizeRows(db1.table).notListed, 1);
    EXPECT_EQ(Text(ByPath(db1.table)["\\db1.\\other.exe"], kColStatus), "Not listed");
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
    EXPECT_EQ(Text(row, kColStatus), "Identical");
    EXPECT_EQ(Text(row, kColCrcCurrent), CrcText(test::CrcOf("long")));
    EXPECT_EQ(Text(row, kColFileName), ("\\qmw.\\" + name).substr(0, 127));
    // The comment of such a row goes to its entry.
    EXPECT_EQ(WriteEntryComment("qmw", 1, row.file.name, "long one", false),
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

// A platform on which some files exist but cannot be opened, each for its
// own reason (as the system tells it).
class RefusingOpens : public test::ForwardingPlatform {
public:
    uint32_t OpenForReading(const std::string& path, std::unique_ptr<IReadFile>& file) override {
        if (path.find("secret") != std::string::npos) return kErrorAccessDenied;
        if (path.find("busy") != std::string::npos) return kErrorSharingViolation;
        return Real().OpenForReading(path, file);
    }
};

TEST(ComparisonRun, FilesThatCannotBeReadCarryTheirCauseAndAreCountedByIt) {
    SampleInstallation sample;
    for (const char* name : {"qmw/secret.exe", "qmw/busy.dll", "qmw/fine.exe", "db1/gone.exe"}) {
        sample.WriteFile(name, name);
    }
    CompareRun build;
    sample.RemoveFile("db1/gone.exe");
    RefusingOpens refusing;
    CompareRun run;
    auto rows = ByPath(run.table);
    EXPECT_EQ(rows["\\qmw.\\secret.exe"].file.cause, RowCause::NoAccess);
    EXPECT_EQ(rows["\\qmw.\\secret.exe"].file.readError, kErrorAccessDenied);
    EXPECT_EQ(rows["\\qmw.\\busy.dll"].file.cause, RowCause::HeldOpen);
    EXPECT_EQ(rows["\\db1.\\gone.exe"].file.cause, RowCause::Missing);
    EXPECT_EQ(Text(rows["\\qmw.\\secret.exe"], kColStatus), "Not identical");
    EXPECT_STREQ(CauseText(RowCause::NoAccess), "no access");
    EXPECT_STREQ(CauseText(RowCause::HeldOpen), "held open by another program");

    const RunSummary summary = SummarizeRows(run.table);
    EXPECT_EQ(summary.unread,
              (std::map<RowCause, int>{
                  {RowCause::Missing, 1}, {RowCause::NoAccess, 1}, {RowCause::HeldOpen, 1}}));
}

// Directory searches that tell each file's size as 100 bytes per character
// of its name before the dot, so that the counts of a run are known ahead
// (whatever the system's own searches tell).
class SizedSearches : public test::ForwardingPlatform {
    class Search : public IDirectorySearch {
    public:
        explicit Search(std::unique_ptr<IDirectorySearch> real) : m_real(std::move(real)) {}
        bool Next(FoundEntry& entry) override { return m_real->Next(entry) && Sized(entry); }

    private:
        std::unique_ptr<IDirectorySearch> m_real;
    };

public:
    static bool Sized(FoundEntry& entry) {
        entry.size = 100 * entry.name.find('.');
        return true;
    }
    std::unique_ptr<IDirectorySearch> FindFirst(const std::string& pattern,
                                                FoundEntry& first) override {
        std::unique_ptr<IDirectorySearch> real = Real().FindFirst(pattern, first);
        if (!real) return nullptr;
        Sized(first);
        return std::make_unique<Search>(std::move(real));
    }
};

// A run reports its files and bytes after each file, and stops where the
// caller says so: a comparison keeps what it compared, a build (of a missing
// list, or of a list that exists) writes nothing.
TEST(ComparisonRun, ARunCountsFilesAndBytesAndStopsWhenTheCallerSaysSo) {
    SampleInstallation sample;
    SizedSearches sizes;
    for (int n = 1; n <= 6; ++n) sample.WriteFile("qmw/" + std::string(n, 'f') + ".exe", "x");
    int stopAfter = 2;
    std::vector<RunProgress> seen;
    ComparisonHooks hooks;
    hooks.progress = [&](const RunProgress& now) {
        seen.push_back(now);
        return now.filesDone < stopAfter;
    };
    CResultTable table;
    SortState sort;
    ComparisonResult result = RunComparison(table, sort, hooks);
    EXPECT_TRUE(result.builtList);
    EXPECT_EQ(result.build.status, BuildResult::Stopped);
    EXPECT_TRUE(result.stopped);
    EXPECT_FALSE(sample.ExistsInWindows(kReleaseListName)) << "a stopped build writes nothing";
    ASSERT_EQ(seen.size(), 3u);
    EXPECT_EQ(seen[0].stage, RunProgress::Stage::Recording);
    EXPECT_EQ(seen[0].filesTotal, 6);
    EXPECT_EQ(seen[0].bytesTotal, 2100u);
    EXPECT_EQ(seen[2].filesDone, 2);

    ASSERT_EQ(CReleaseListBuild().BuildReleaseList().status, BuildResult::Ok);
    const std::string list = sample.ListText();
    sample.WriteFile("qmw/f9.exe", "new");
    seen.clear();
    CReleaseListBuild stopped({}, hooks.progress);
    EXPECT_EQ(stopped.BuildReleaseList().status, BuildResult::Stopped);
    EXPECT_EQ(sample.ListText(), list) << "the old list stays whole";
    EXPECT_FALSE(sample.ExistsInWindows("qmverify.l01"));

    seen.clear();
    stopAfter = 4;
    result = RunComparison(table, sort, hooks);
    EXPECT_TRUE(result.stopped);
    EXPECT_EQ(result.filesCompared, 4);
    EXPECT_EQ(result.filesToCompare, 6);
    EXPECT_EQ(table.RowCount(), 4) << "the rows so far stay";
    EXPECT_EQ(seen.back().stage, RunProgress::Stage::Comparing);
    EXPECT_EQ(seen.back().bytesTotal, 2100u);
    uint64_t bytes = 0;
    for (const ResultRow& row : table.Rows()) bytes += row.file.size;
    EXPECT_EQ(seen.back().bytesDone, bytes);
    EXPECT_GE(bytes, 1000u);  // four of the six, the smallest four at least
}

// A directory whose name a mask selects is a folder, never an empty file.
TEST(ComparisonRun, APlantedFolderIsShownAsAFolder) {
    SampleInstallation sample;
    sample.WriteFile("qmw/tool.exe", "tool");
    CompareRun build;
    sample.MakeDirectory("qmw/evil.dll");
    CompareRun run(false);
    run.unlisted.sections[0] = true;
    run.Go();
    const ComparedFile folder = ByPath(run.table)["\\qmw.\\evil.dll"].file;
    EXPECT_EQ(folder.status, NotListed);
    EXPECT_EQ(folder.cause, RowCause::Folder);
    EXPECT_STREQ(CauseText(folder.cause), "a folder");
    EXPECT_EQ(folder.crcNow, "");
}

// The build records each file's size beside its SHA-256. A listed file of
// another size is "Not identical" from its open alone, a giant sparse one
// too; a planted file beyond the bound is shown unread, with its cause.
// A list without the size compares as before.
TEST(ComparisonRun, TheRecordedSizeDecidesAtOnceAndAGiantPlantedFileIsNotRead) {
    SampleInstallation sample;
    sample.WriteFile("qmw/tool.exe", "tool");
    sample.WriteFile("qmw/a.dll", "a");
    CompareRun build;
    const CIniFile list = sample.LoadList();
    EXPECT_EQ(list.ReadText("qmw", "Size1", 32), "4");
    EXPECT_EQ(list.ReadText("qmw", "Size2", 32), "1");

    // Sparse; MinGW's runtime refuses to make a terabyte.
#ifdef _WIN32
    std::filesystem::resize_file(sample.driveRoot / "qmw" / "tool.exe", uint64_t{1} << 31);
#else
    std::filesystem::resize_file(sample.driveRoot / "qmw" / "tool.exe", uint64_t{1} << 40);
#endif
    sample.WriteFile("qmw/giant.dll", "");
    std::filesystem::resize_file(sample.driveRoot / "qmw" / "giant.dll", kLargestUnlistedFile + 1);
    CompareRun run(false);
    run.unlisted.sections[0] = true;
    const auto started = std::chrono::steady_clock::now();
    run.Go();
    EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(20));
    std::map<std::string, ResultRow> rows = ByPath(run.table);
    EXPECT_EQ(rows["\\qmw.\\tool.exe"].file.status, NotIdentical);
    EXPECT_EQ(rows["\\qmw.\\tool.exe"].file.cause, RowCause::SizeChanged);
    EXPECT_STREQ(CauseText(RowCause::SizeChanged), "size changed");
    EXPECT_EQ(rows["\\qmw.\\a.dll"].file.status, Identical);
    const ComparedFile& giant = rows["\\qmw.\\giant.dll"].file;
    EXPECT_EQ(giant.status, NotListed);
    EXPECT_EQ(giant.cause, RowCause::TooLarge);
    EXPECT_STREQ(CauseText(giant.cause), "not read: larger than 1 GiB");

    // Without the size, the content decides.
    CIniFile older = sample.LoadList();
    older.WriteText("qmw", "Size1", "");
    ASSERT_TRUE(older.SaveAs(sample.ReleaseListPath()));
    std::filesystem::resize_file(sample.driveRoot / "qmw" / "tool.exe", 4);
    sample.WriteFile("qmw/tool.exe", "TOOL");
    CompareRun without;
    EXPECT_EQ(ByPath(without.table)["\\qmw.\\tool.exe"].file.cause, RowCause::ContentChanged);
}

#ifndef _WIN32
// A section holds 9998 entries: a build that finds more records the first
// ones in walk order and counts the rest, and the next comparison shows
// exactly those as "Not listed".
TEST(ComparisonRun, FilesBeyondAFullSectionAreCountedAndThenNotListed) {
    SampleInstallation sample;
    for (int i = 0; i < kLastReadableEntry + 2; ++i) {
        sample.WriteFile("qmw/f" + std::to_string(i) + ".dll", "");
    }
    CompareRun build;
    ASSERT_TRUE(build.result.builtList);
    EXPECT_EQ(build.result.build.leftOut[0], 2);
    EXPECT_EQ(build.result.build.leftOut[1], 0);
    EXPECT_EQ(build.result.build.entries, kLastReadableEntry);
    const CIniFile list = sample.LoadList();
    EXPECT_FALSE(list.ReadText("qmw", EntryKey("File", kLastReadableEntry), 64).empty());
    EXPECT_TRUE(list.ReadText("qmw", EntryKey("File", kLastReadableEntry + 1), 64).empty());

    CompareRun next(false);
    next.unlisted.sections[0] = true;
    next.Go();
    int notListed = 0;
    for (const ResultRow& row : next.table.Rows()) {
        notListed += row.file.status == NotListed ? 1 : row.file.status == Identical ? 0 : 100;
    }
    EXPECT_EQ(notListed, 2);
}
#endif

}  // namespace
}  // namespace qm
