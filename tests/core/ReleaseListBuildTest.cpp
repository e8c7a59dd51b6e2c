#include <gtest/gtest.h>

#ifndef _WIN32
#include <sys/stat.h>
#endif

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "SampleInstallation.h"
#include "core/FaultPlatform.h"
#include "core/ReleaseListBuild.h"
#include "core/ReleaseListFormat.h"

namespace qm {
namespace {

using test::FaultPlatform;
using test::SampleInstallation;

// The names of section `section` from entry 1 on, as a walk reads them.
std::vector<std::string> Names(const CIniFile& list, const char* section) {
    std::vector<std::string> names;
    for (int n = 1;; ++n) {
        std::string name = list.ReadText(section, EntryKey("File", n), 1024);
        if (name.empty()) return names;
        names.push_back(name);
    }
}

const char kOldList[] = "[qmw]\r\nFile1=old.exe\r\nCRC1=1234\r\n";

TEST(ReleaseListBuild, RecordsBothSectionsInScanOrder) {
    SampleInstallation sample;
    sample.WriteFile("qmw/zeta.exe", "123456789");
    sample.WriteFile("qmw/alpha.dll", "abc");
    sample.WriteFile("qmw/setup.bat", "");
    sample.MakeDirectory("qmw/tools.exe");
    sample.WriteFile("qmw/readme.txt", "not listed");
    sample.WriteFile("db1/store.dll", "abc");
    sample.WriteFile("db1/setup.bat", "a db1 batch file is never listed");

    std::vector<bool> cursor;
    std::vector<int> progress;
    CReleaseListBuild build([&](bool wait) { cursor.push_back(wait); },
                            [&](const RunProgress& now) {
                                EXPECT_EQ(now.stage, RunProgress::Stage::Recording);
                                EXPECT_EQ(now.filesTotal, 5);
                                progress.push_back(now.filesDone);
                                return true;
                            });
    BuildResult result = build.BuildReleaseList();
    EXPECT_EQ(progress, (std::vector<int>{0, 1, 2, 3, 4, 5}));

    EXPECT_EQ(result.status, BuildResult::Ok);
    EXPECT_EQ(result.backupPath, "");
    EXPECT_EQ(result.entries, 5);
    EXPECT_EQ(result.unreadable, (std::vector<std::string>{"\\qmw.\\tools.exe"}));
    EXPECT_EQ(cursor, (std::vector<bool>{true, false}));
    EXPECT_FALSE(sample.ExistsInWindows("qmverify.l01"));
    EXPECT_FALSE(sample.ExistsInWindows("qmverify.new"));

    CIniFile list = sample.LoadList();
    std::vector<std::string> qmw = Names(list, "qmw");
    ASSERT_EQ(qmw.size(), 4u);
    // Mask order comes before name order: the .exe names first.
    EXPECT_TRUE((qmw[0] == "zeta.exe" && qmw[1] == "tools.exe") ||
                (qmw[0] == "tools.exe" && qmw[1] == "zeta.exe"));
    EXPECT_EQ(qmw[2], "alpha.dll");
    EXPECT_EQ(qmw[3], "setup.bat");
    EXPECT_EQ(Names(list, "db1"), (std::vector<std::string>{"store.dll"}));

    for (int n = 1; n <= 4; ++n) {
        std::string name = qmw[n - 1];
        std::string crc = list.ReadText("qmw", EntryKey("CRC", n), 40);
        const std::map<std::string, std::string> expected = {
            {"zeta.exe", "cbf43926"},
            {"alpha.dll", "352441c2"},
            {"setup.bat", "0"},
            {"tools.exe", "0"},  // a directory cannot be read
        };
        EXPECT_EQ(crc, expected.at(name)) << name;
        EXPECT_EQ(list.ReadText("qmw", EntryKey("Updated", n), 40), "0");
        EXPECT_EQ(list.ReadText("qmw", EntryKey("Date", n), 40).size(), 16u);
    }

    // Five keys per entry, in order, the "qmw" section first; the comment
    // key is there with an empty value.
    std::string text = sample.ListText();
    size_t qmwAt = text.find("[qmw]");
    size_t db1At = text.find("[db1]");
    ASSERT_NE(qmwAt, std::string::npos);
    ASSERT_NE(db1At, std::string::npos);
    EXPECT_LT(qmwAt, db1At);
    size_t file1 = text.find("File1=", db1At);
    size_t date1 = text.find("Date1=", db1At);
    size_t crc1 = text.find("CRC1=352441c2", db1At);
    size_t updated1 = text.find("Updated1=0", db1At);
    size_t comment1 = text.find("Comment1=\r\n", db1At);
    EXPECT_TRUE(file1 < date1 && date1 < crc1 && crc1 < updated1 && updated1 < comment1) << text;
}

// The SHA-256 of every file read whole, after the entry's five keys; none
// for a file that could not be read, which is named instead.
TEST(ReleaseListBuild, RecordsTheSha256OfEveryFileReadWholeAfterItsFiveKeys) {
    SampleInstallation sample;
    sample.WriteFile("qmw/tool.exe", "abc");
    sample.WriteFile("qmw/empty.dll", "");
    sample.MakeDirectory("qmw/folder.exe");
    BuildResult result = CReleaseListBuild().BuildReleaseList();
    ASSERT_EQ(result.status, BuildResult::Ok);
    EXPECT_EQ(result.unreadable, (std::vector<std::string>{"\\qmw.\\folder.exe"}));
    EXPECT_TRUE(result.changing.empty());
    const CIniFile list = sample.LoadList();
    const std::map<std::string, std::string> expected = {
        {"tool.exe", "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad"},
        {"empty.dll", "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855"},
        {"folder.exe", ""},
    };
    for (int n = 1; n <= 3; ++n) {
        const std::string name = list.ReadText("qmw", EntryKey("File", n), 80);
        EXPECT_EQ(list.ReadText("qmw", EntryKey("SHA256", n), 80), expected.at(name)) << name;
    }
    // Each digest line comes right after its entry's comment line.
    const std::string text = sample.ListText();
    int digests = 0;
    for (size_t at = text.find("\nSHA256"); at != std::string::npos;
         at = text.find("\nSHA256", at + 1)) {
        const std::string n = text.substr(at + 7, text.find('=', at) - at - 7);
        const size_t lineBefore = text.rfind("\r\n", at - 2);
        EXPECT_EQ(text.substr(lineBefore + 2, 7 + n.size() + 1), "Comment" + n + "=") << text;
        ++digests;
    }
    EXPECT_EQ(digests, 2);
}

TEST(ReleaseListBuild, MissingDirectoryLeavesItsSectionOut) {
    SampleInstallation sample(false);
    sample.MakeDirectory("qmw");
    sample.WriteFile("qmw/tool.exe", "x");
    BuildResult result = CReleaseListBuild().BuildReleaseList();
    EXPECT_EQ(result.status, BuildResult::Ok);
    EXPECT_EQ(result.entries, 1);
    EXPECT_EQ(sample.ListText().find("[db1]"), std::string::npos);
    EXPECT_EQ(Names(sample.LoadList(), "qmw"), (std::vector<std::string>{"tool.exe"}));
}

TEST(ReleaseListBuild, EntryCounterStartsAgainForEachSectionAndRunsAcrossMasks) {
    SampleInstallation sample;
    sample.WriteFile("qmw/a.exe", "1");
    sample.WriteFile("qmw/b.cmd", "2");
    sample.WriteFile("qmw/c.qme", "3");
    sample.WriteFile("db1/d.dll", "4");
    CReleaseListBuild build;
    build.BuildReleaseList();
    EXPECT_EQ(build.NextEntryNumber(), 2);  // one above the last db1 entry
    CIniFile list = sample.LoadList();
    EXPECT_EQ(Names(list, "qmw"), (std::vector<std::string>{"a.exe", "b.cmd", "c.qme"}));
    EXPECT_EQ(Names(list, "db1"), (std::vector<std::string>{"d.dll"}));
}

TEST(ReleaseListBuild, KeepsThePreviousListUnderTheFirstFreeBackupName) {
    SampleInstallation sample;
    sample.WriteFile("qmw/tool.exe", "x");

    sample.WriteList(kOldList);
    BuildResult first = CReleaseListBuild().BuildReleaseList();
    EXPECT_EQ(first.status, BuildResult::Ok);
    EXPECT_EQ(first.backupPath, BackupCandidatePath(Platform().WindowsDirectory(), 1));
    EXPECT_EQ(sample.ReadInWindows("qmverify.l01"), kOldList);

    std::string secondList = sample.ListText();
    CReleaseListBuild().BuildReleaseList();
    EXPECT_EQ(sample.ReadInWindows("qmverify.l02"), secondList);

    // A gap is filled first.
    std::filesystem::remove(sample.InWindows("qmverify.l01"));
    CReleaseListBuild().BuildReleaseList();
    EXPECT_TRUE(sample.ExistsInWindows("qmverify.l01"));
    EXPECT_FALSE(sample.ExistsInWindows("qmverify.l03"));

    // After l99 comes l100.
    for (int k = 3; k <= 99; ++k) {
        char name[32];
        std::snprintf(name, sizeof name, "qmverify.l%02d", k);
        sample.WriteInWindows(name, "old");
    }
    sample.WriteList(kOldList);
    BuildResult last = CReleaseListBuild().BuildReleaseList();
    EXPECT_EQ(last.status, BuildResult::Ok);
    EXPECT_EQ(sample.ReadInWindows("qmverify.l100"), kOldList);
    EXPECT_EQ(sample.ReadInWindows("qmverify.l99"), "old");
}

TEST(ReleaseListBuild, FallsBackToCopyingWhenNoHardLinkCanBeMade) {
    SampleInstallation sample;
    sample.WriteFile("qmw/tool.exe", "x");
    sample.WriteList(kOldList);
    FaultPlatform faults;
    faults.failHardLink = true;
    BuildResult result = CReleaseListBuild().BuildReleaseList();
    EXPECT_EQ(result.status, BuildResult::Ok);
    EXPECT_EQ(sample.ReadInWindows("qmverify.l01"), kOldList);
    EXPECT_EQ(Names(sample.LoadList(), "qmw"), (std::vector<std::string>{"tool.exe"}));
    EXPECT_FALSE(sample.ExistsInWindows("qmverify.new"));
}

TEST(ReleaseListBuild, NeverLosesTheOldListWhenItCannotBeKeptOrReplaced) {
    SampleInstallation sample;
    sample.WriteFile("qmw/tool.exe", "x");

    struct Case {
        const char* what;
        bool failReplace, failCopy, failMove, failWrite, halfWrite;
        BuildResult::Status expected;
    };
    const Case cases[] = {
        {"no backup possible", true, true, false, false, false, BuildResult::BackupFailed},
        {"copied but not moved", true, false, true, false, false, BuildResult::WriteFailed},
        {"new list not written", false, false, false, true, false, BuildResult::WriteFailed},
        {"crash while writing", false, false, false, false, true, BuildResult::WriteFailed},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        sample.WriteList(kOldList);
        FaultPlatform faults;
        faults.failHardLink = c.failReplace;
        faults.failCopy = c.failCopy;
        faults.failMoveReplace = c.failMove;
        faults.failCreateNewFile = c.failWrite;
        faults.writeHalfThenFail = c.halfWrite;
        BuildResult result = CReleaseListBuild().BuildReleaseList();
        EXPECT_EQ(result.status, c.expected);
        EXPECT_EQ(result.backupPath, "");
        EXPECT_EQ(sample.ListText(), kOldList);
        EXPECT_FALSE(sample.ExistsInWindows("qmverify.l01"));
        EXPECT_FALSE(sample.ExistsInWindows("qmverify.new"));
    }
}

TEST(ReleaseListBuild, NoListIsLeftHalfWrittenWhenTheFirstBuildFails) {
    SampleInstallation sample;
    sample.WriteFile("qmw/tool.exe", "x");
    FaultPlatform faults;
    faults.writeHalfThenFail = true;
    EXPECT_EQ(CReleaseListBuild().BuildReleaseList().status, BuildResult::WriteFailed);
    EXPECT_FALSE(sample.ExistsInWindows(kReleaseListName));
    EXPECT_FALSE(sample.ExistsInWindows("qmverify.new"));
}

TEST(ReleaseListBuild, FindingNoProgramFileWritesNoListAndKeepsTheOldOne) {
    SampleInstallation sample;
    sample.WriteFile("qmw/readme.txt", "no program file");
    EXPECT_EQ(CReleaseListBuild().BuildReleaseList().status, BuildResult::NothingFound);
    EXPECT_FALSE(sample.ExistsInWindows(kReleaseListName));

    sample.WriteList(kOldList);
    EXPECT_EQ(CReleaseListBuild().BuildReleaseList().status, BuildResult::NothingFound);
    EXPECT_EQ(sample.ListText(), kOldList);
    EXPECT_FALSE(sample.ExistsInWindows("qmverify.l01"));
}

// Outside the writer lock a file under a temporary name may be another
// writer's; inside it, no writer of ours is at work, so the build takes
// such a file for what a killed writer left (FreshFileLeftovers tests that).
TEST(ReleaseListBuild, FilesOfOthersUnderTheTemporaryNamesAreLeftAlone) {
    SampleInstallation sample;
    sample.WriteFile("qmw/tool.exe", "x");
    sample.WriteList(kOldList);
    sample.WriteInWindows("qmverify.new", "left by a killed build");
    sample.WriteInWindows("qmverify.lst.tmp", "and this one too");
    ASSERT_EQ(CReleaseListBuild().BuildReleaseList().status, BuildResult::Ok);
    EXPECT_FALSE(sample.ExistsInWindows("qmverify.new"));
    sample.WriteInWindows("qmverify.new", "someone else's");
    CIniFile list = sample.LoadList();
    list.WriteText("qmw", "Comment1", "saved through a temporary file");
    ASSERT_TRUE(list.Save());

    EXPECT_EQ(Names(sample.LoadList(), "qmw"), (std::vector<std::string>{"tool.exe"}));
    EXPECT_EQ(sample.ReadInWindows("qmverify.l01"), kOldList);
    EXPECT_EQ(sample.ReadInWindows("qmverify.new"), "someone else's");
    EXPECT_EQ(sample.ReadInWindows("qmverify.lst.tmp"), "and this one too");
    EXPECT_FALSE(sample.ExistsInWindows("qmverify.new2"));
    EXPECT_FALSE(sample.ExistsInWindows("qmverify.lst.tmp2"));
}

// Windows' own search finds tool.exe_old for *.exe through its 8.3 name
// TOOL~1.EXE: a renamed backup must not become a release file.
TEST(ReleaseListBuild, MasksSelectLongNamesOnly) {
    SampleInstallation sample;
    for (const char* name : {"tool.exe", "tool.exe_old", "tool.exe1", "app.dllx", "run.batch"}) {
        sample.WriteFile("qmw", name, "x");
    }
    sample.WriteFile("db1", "store.dll", "x");
    sample.WriteFile("db1", "store.dll.bak", "x");
    ASSERT_EQ(CReleaseListBuild().BuildReleaseList().status, BuildResult::Ok);
    const CIniFile list = sample.LoadList();
    EXPECT_EQ(Names(list, "qmw"), (std::vector<std::string>{"tool.exe"}));
    EXPECT_EQ(Names(list, "db1"), (std::vector<std::string>{"store.dll"}));
}

#ifndef _WIN32
// A FIFO would block the build for ever, /dev/zero would be read without
// end: both are unreadable at once.
TEST(ReleaseListBuild, FilesThatAreNoRegularFilesAreUnreadableAtOnce) {
    SampleInstallation sample;
    sample.WriteFile("qmw", "tool.exe", "x");
    ASSERT_EQ(0, mkfifo((sample.driveRoot / "qmw" / "pipe.exe").c_str(), 0600));
    std::filesystem::create_symlink("/dev/zero", sample.driveRoot / "qmw" / "zero.exe");
    const auto start = std::chrono::steady_clock::now();
    const BuildResult result = CReleaseListBuild().BuildReleaseList();
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
    EXPECT_EQ(result.status, BuildResult::Ok);
    std::vector<std::string> unreadable = result.unreadable;
    std::sort(unreadable.begin(), unreadable.end());
    EXPECT_EQ(unreadable, (std::vector<std::string>{"\\qmw.\\pipe.exe", "\\qmw.\\zero.exe"}));
}
#endif

TEST(ReleaseListBuild, AWindowsDirectoryOfAnyLengthIsUsedWhole) {
    SampleInstallation sample;
    sample.WriteFile("qmw/tool.exe", "x");
    // Between 66 and 79 characters, where "%s.\\qmverify.lst" did not fit 80,
    // and far beyond.
    const std::string base = sample.windowsDirectory.string();
    for (size_t wanted : {size_t{75}, size_t{150}}) {
        const size_t extra = wanted > base.size() + 1 ? wanted - base.size() - 1 : 1;
        const std::filesystem::path windows = sample.windowsDirectory / std::string(extra, 'w');
        std::filesystem::create_directories(windows);
        SCOPED_TRACE(windows.string());
        SetPlatformRoots({windows.string(), sample.driveRoot.string()});
        ASSERT_EQ(CReleaseListBuild().BuildReleaseList().status, BuildResult::Ok);
        ASSERT_EQ(CReleaseListBuild().BuildReleaseList().status, BuildResult::Ok);
        EXPECT_TRUE(std::filesystem::exists(windows / "qmverify.lst"));
        EXPECT_TRUE(std::filesystem::exists(windows / "qmverify.l01"));
    }
}

}  // namespace
}  // namespace qm
