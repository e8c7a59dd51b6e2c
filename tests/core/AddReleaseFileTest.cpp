#include <gtest/gtest.h>

#include <string>

#include "SampleInstallation.h"
#include "core/AddReleaseFile.h"
#include "core/EntryComment.h"
#include "core/FaultPlatform.h"
#include "core/ReleaseListFormat.h"

namespace qm {
namespace {

using test::FaultPlatform;
using test::SampleInstallation;

std::string Key(const CIniFile& list, const char* section, const char* prefix, int n) {
    return list.ReadText(section, EntryKey(prefix, n), 1024);
}

TEST(AddReleaseFile, IgnoresAnEmptyNameOrNoDirectory) {
    SampleInstallation sample;
    sample.WriteFile("qmw/tool.exe", "abc");
    EXPECT_EQ(AddReleaseFile("", 0), AddResult::Ignored);
    EXPECT_EQ(AddReleaseFile("tool.exe", -1), AddResult::Ignored);
    EXPECT_FALSE(sample.ExistsInWindows(kReleaseListName));
}

TEST(AddReleaseFile, NewNameGoesToTheFirstFreeNumberAndIsRefreshedLater) {
    SampleInstallation sample;
    sample.WriteFile("qmw/tool.exe", "abc");
    sample.WriteList("[qmw]\r\nFile1=a.exe\r\nFile2=b.exe\r\nFile3=c.exe\r\nFile5=tool.exe\r\n");

    int entry = 0;
    EXPECT_EQ(AddReleaseFile("tool.exe", 0, &entry), AddResult::Added);
    EXPECT_EQ(entry, 4);  // the gap, though entry 5 names it behind the gap
    CIniFile list = sample.LoadList();
    EXPECT_EQ(Key(list, "qmw", "File", 4), "tool.exe");
    EXPECT_EQ(Key(list, "qmw", "CRC", 4), "352441c2");
    EXPECT_EQ(Key(list, "qmw", "Date", 4).size(), 16u);
    EXPECT_EQ(Key(list, "qmw", "Updated", 4), "0");
    EXPECT_EQ(sample.ListText().find("Comment4"), std::string::npos);

    sample.WriteFile("qmw/tool.exe", "123456789");
    EXPECT_EQ(AddReleaseFile("tool.exe", 0, &entry), AddResult::Refreshed);
    EXPECT_EQ(entry, 4);
    EXPECT_EQ(Key(sample.LoadList(), "qmw", "CRC", 4), "cbf43926");

    // Case counts: another spelling is another entry, at the first free
    // number after entry 5.
    EXPECT_EQ(AddReleaseFile("TOOL.EXE", 0, &entry), AddResult::Added);
    EXPECT_EQ(entry, 6);
}

TEST(AddReleaseFile, RecordsTheSha256AndDropsAStaleOneOfAFileItCannotRead) {
    SampleInstallation sample;
    sample.WriteFile("qmw/tool.exe", "abc");
    ASSERT_EQ(AddReleaseFile("tool.exe", 0), AddResult::Added);
    EXPECT_EQ(Key(sample.LoadList(), "qmw", "SHA256", 1),
              "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad");
    EXPECT_LT(sample.ListText().find("Updated1="), sample.ListText().find("SHA2561="));
    // A comment and mark written later keep it.
    ASSERT_EQ(WriteEntryComment("qmw", 1, "tool.exe", "checked", true), CommentResult::Written);
    EXPECT_EQ(Key(sample.LoadList(), "qmw", "SHA256", 1).size(), 64u);
    // The file is now a folder that cannot be read: the old digest is not its own.
    sample.RemoveFile("qmw/tool.exe");
    sample.MakeDirectory("qmw/tool.exe");
    ASSERT_EQ(AddReleaseFile("tool.exe", 0), AddResult::Refreshed);
    const CIniFile list = sample.LoadList();
    EXPECT_EQ(Key(list, "qmw", "CRC", 1), "0");
    EXPECT_EQ(Key(list, "qmw", "SHA256", 1), "");
}

TEST(AddReleaseFile, RefreshKeepsTheCommentAndClearsTheMark) {
    SampleInstallation sample;
    sample.WriteFile("qmw/tool.exe", "abc");
    sample.WriteList(
        "[qmw]\r\nFile1=tool.exe\r\nDate1=x\r\nCRC1=1\r\nUpdated1=1\r\nComment1=keep me\r\n");
    EXPECT_EQ(AddReleaseFile("tool.exe", 0), AddResult::Refreshed);
    CIniFile list = sample.LoadList();
    EXPECT_EQ(Key(list, "qmw", "CRC", 1), "352441c2");
    EXPECT_EQ(Key(list, "qmw", "Updated", 1), "0");
    EXPECT_EQ(Key(list, "qmw", "Comment", 1), "keep me");
}

TEST(AddReleaseFile, ReadsTheFileOfTheChosenSectionAndRecordsMissingFiles) {
    SampleInstallation sample;
    sample.WriteFile("qmw/tool.exe", "abc");
    EXPECT_EQ(AddReleaseFile("tool.exe", 1), AddResult::Added);
    CIniFile list = sample.LoadList();
    EXPECT_EQ(Key(list, "db1", "File", 1), "tool.exe");
    EXPECT_EQ(Key(list, "db1", "CRC", 1), "0");  // \db1 has no tool.exe
    EXPECT_EQ(Key(list, "db1", "Date", 1), "");
    EXPECT_NE(sample.ListText().find("Date1="), std::string::npos);
    EXPECT_EQ(sample.ListText().find("[qmw]"), std::string::npos);
}

TEST(AddReleaseFile, LongNamesMatchThemselvesOrAreRefused) {
    SampleInstallation sample;
    const std::string name50 = std::string(46, 'n') + ".exe";
    EXPECT_EQ(AddReleaseFile(name50, 0), AddResult::Added);
    int entry = 0;
    EXPECT_EQ(AddReleaseFile(name50, 0, &entry), AddResult::Refreshed);
    EXPECT_EQ(entry, 1);

    // A stored name longer than the typed one is another file, even when
    // its first 79 characters are the typed name.
    const std::string name73 = std::string(69, 'm') + ".exe";
    sample.WriteList("[qmw]\r\nFile1=" + name73 + "xyz\r\n");
    EXPECT_EQ(AddReleaseFile(name73, 0, &entry), AddResult::Added);
    EXPECT_EQ(entry, 2);

    // A name whose path does not fit, that would break the line, or that
    // names something outside the component directory, is refused.
    const std::string before = sample.ListText();
    EXPECT_EQ(AddReleaseFile(std::string(74, 'z'), 0), AddResult::Unstorable);
    EXPECT_EQ(AddReleaseFile(std::string(90, 'z'), 0), AddResult::Unstorable);
    EXPECT_EQ(AddReleaseFile("a.exe\r\nFile1=evil.exe", 0), AddResult::NotBareName);
    for (const char* name :
         {"..\\windows\\win.ini", "sub/tool.exe", "C:tool.exe", ".", "..", "tool.exe.", "tool.exe ",
          "CON", "nul.txt", "Com1.dll", "lpt9", "a*.exe", "why?.exe", "\"q\".exe", "tab\t.exe"}) {
        EXPECT_EQ(AddReleaseFile(name, 0), AddResult::NotBareName) << name;
    }
    EXPECT_EQ(sample.ListText(), before);
    // COM0 and LPT0 open no device: Windows keeps them as names of files.
    for (const char* name : {"console.exe", "com10.dll", "null.exe", "lpt.bat", ".hidden.exe",
                             "com0", "LPT0.dll", "Com0.exe"}) {
        EXPECT_TRUE(IsBareFileName(name)) << name;
    }

    // Blanks and quotes around a name are kept: the list quotes the value,
    // and the name reads back as it was typed.
    for (const std::string name : {" lead.exe", "'quoted.exe'", "half.exe'", "  two.exe"}) {
        ASSERT_EQ(AddReleaseFile(name, 0, &entry), AddResult::Added) << name;
        EXPECT_EQ(sample.LoadList().ReadText("qmw", "File" + std::to_string(entry), 80), name);
        EXPECT_EQ(AddReleaseFile(name, 0), AddResult::Refreshed) << name;
    }
}

// A listed path is always whole, whatever its length (only the text shown
// is cut); a NUL inside a name would cut the path where a C string ends and
// name another file.
TEST(ReleaseListPaths, ListedPathsAreWholeAndOnlyTheShownTextIsCut) {
    bool fitted = false;
    EXPECT_EQ(ListedFilePath("\\qmw", "tool.exe", &fitted), "\\qmw.\\tool.exe");
    EXPECT_TRUE(fitted);
    EXPECT_EQ(ListedFilePath("\\qmw", std::string(121, 'n'), &fitted).size(), 127u);
    EXPECT_TRUE(fitted);
    const std::string longPath = ListedFilePath("\\qmw", std::string(200, 'n'), &fitted);
    EXPECT_TRUE(fitted);
    EXPECT_EQ(longPath, "\\qmw.\\" + std::string(200, 'n'));
    EXPECT_EQ(ShownListedPath(longPath), longPath.substr(0, 127));
    ListedFilePath("\\qmw", std::string("tool.exe\0.bat", 13), &fitted);
    EXPECT_FALSE(fitted);
    ListedFilePath(std::string("\\qmw\0x", 6), "tool.exe", &fitted);
    EXPECT_FALSE(fitted);

    EXPECT_EQ(AddedFilePath("qmw", "tool.exe"), "\\qmw.\\tool.exe");
    EXPECT_EQ(AddedFilePath("qmw", std::string(73, 'n')).size(), 79u);
    EXPECT_EQ(AddedFilePath("qmw", std::string(74, 'n')), "");
    EXPECT_EQ(AddedFilePath("qmw", std::string("tool.exe\0.bat", 13)), "");
    EXPECT_EQ(AddedFilePath(std::string("qmw\0x", 5), "tool.exe"), "");
}

TEST(AddReleaseFile, NothingIsWrittenWhenEveryNumberIsTaken) {
    SampleInstallation sample;
    std::string text = "[qmw]\r\n";
    for (int n = 1; n <= 9998; ++n) text += "File" + std::to_string(n) + "=f.exe\r\n";
    sample.WriteList(text);
    EXPECT_EQ(AddReleaseFile("new.exe", 0), AddResult::NoFreeNumber);
    EXPECT_EQ(sample.ListText(), text);
}

TEST(AddReleaseFile, AFailedWriteIsReportedAndLeavesTheListAsItWas) {
    SampleInstallation sample;
    sample.WriteList("[qmw]\r\nFile1=a.exe\r\n");
    FaultPlatform faults;
    faults.failCreateNewFile = true;
    faults.failMoveReplace = true;
    EXPECT_EQ(AddReleaseFile("b.exe", 0), AddResult::WriteFailed);
    EXPECT_EQ(sample.ListText(), "[qmw]\r\nFile1=a.exe\r\n");
}

}  // namespace
}  // namespace qm
