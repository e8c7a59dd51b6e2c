#include <gtest/gtest.h>

#include <filesystem>

#include <string>

#include "FileOfSize.h"
#include "SampleInstallation.h"
#include "core/EntryComment.h"
#include "core/FaultPlatform.h"
#include "core/ReleaseListFormat.h"

namespace qm {
namespace {

using test::FaultPlatform;
using test::SampleInstallation;

TEST(OneLineComment, LineBreaksBecomeBlanksAndLongTextIsCut) {
    EXPECT_EQ(OneLineComment("first\r\nsecond\nthird\rfourth\vfifth"),
              "first second third fourth fifth");
    EXPECT_EQ(OneLineComment(""), "");
    EXPECT_EQ(OneLineComment(std::string(600, 'c')), std::string(511, 'c'));
    EXPECT_EQ(OneLineComment(std::string(511, 'c')), std::string(511, 'c'));

    // A UTF-8 text is never cut inside a character.
    std::string utf8 = std::string(510, 'a') + "\xC3\xA9" + "tail";
    EXPECT_EQ(OneLineComment(utf8), std::string(510, 'a'));
}

class EntryCommentTest : public ::testing::Test {
protected:
    void SetUp() override { sample.WriteList("[qmw]\r\nFile1=a.exe\r\nFile7=tool.exe\r\n"); }
    SampleInstallation sample;
};

TEST_F(EntryCommentTest, WritesCommentThenMarkOfTheRowsEntry) {
    EXPECT_EQ(WriteEntryComment("qmw", 7, "tool.exe", "two\r\nlines", true),
              CommentResult::Written);
    CIniFile list = sample.LoadList();
    EXPECT_EQ(list.ReadText("qmw", "Comment7", 512), "two lines");
    EXPECT_EQ(list.ReadText("qmw", "Updated7", 40), "1");
    std::string text = sample.ListText();
    EXPECT_LT(text.find("Comment7="), text.find("Updated7=1"));

    // An empty comment keeps its key, with nothing after the equals sign.
    EXPECT_EQ(WriteEntryComment("qmw", 7, "tool.exe", "", false), CommentResult::Written);
    text = sample.ListText();
    EXPECT_NE(text.find("Comment7=\r\n"), std::string::npos);
    EXPECT_NE(text.find("Updated7=0"), std::string::npos);
}

TEST_F(EntryCommentTest, RefusesARowWhoseEntryNowNamesAnotherFile) {
    const std::string before = sample.ListText();
    EXPECT_EQ(WriteEntryComment("qmw", 1, "tool.exe", "x", true), CommentResult::EntryChanged);
    EXPECT_EQ(WriteEntryComment("qmw", 3, "tool.exe", "x", true), CommentResult::EntryChanged);
    EXPECT_EQ(WriteEntryComment("db1", 7, "tool.exe", "x", true), CommentResult::EntryChanged);
    EXPECT_EQ(WriteEntryComment("qmw", 0, "tool.exe", "x", true), CommentResult::EntryChanged);
    EXPECT_EQ(sample.ListText(), before);
}

TEST_F(EntryCommentTest, AFailedSaveIsReported) {
    FaultPlatform faults;
    faults.failCreateNewFile = true;
    faults.failMoveReplace = true;
    const std::string before = sample.ListText();
    EXPECT_EQ(WriteEntryComment("qmw", 7, "tool.exe", "x", true), CommentResult::WriteFailed);
    EXPECT_EQ(sample.ListText(), before);
}

// A list that cannot be read is told as a read, by its own reason, never
// as missing rights (the window would then advise "Run as administrator").
TEST_F(EntryCommentTest, AListThatCannotBeReadGivesItsOwnReason) {
    qm::test::GrowFileTo(sample.ReleaseListPath(), kMaxWholeFileSize + 1);
    uint32_t error = 0;
    EXPECT_EQ(WriteEntryComment("qmw", 7, "tool.exe", "x", true, &error),
              CommentResult::ReadFailed);
    EXPECT_EQ(error, kErrorFileTooLarge);
}

TEST(ApplyCommentToRow, AMarkMakesTheRecordUpdatedAndClearingItRestoresTheEarlierStatus) {
    ComparedFile file;
    file.path = "\\qmw.\\tool.exe";
    file.status = Identical;
    ApplyCommentToRow(file, "new\ncomment", true, Identical);
    EXPECT_EQ(file.comment, "new comment");
    EXPECT_EQ(file.status, Updated);
    EXPECT_EQ(ColumnText(file, kColStatus, StatusTexts()), "Updated");
    EXPECT_TRUE(file.marked);

    ApplyCommentToRow(file, "", false, NotIdentical);
    EXPECT_EQ(file.status, NotIdentical);
    EXPECT_EQ(ColumnText(file, kColStatus, StatusTexts()), "Not identical");
    EXPECT_EQ(file.comment, "");
    EXPECT_EQ(ColumnText(file, kColFileName, StatusTexts()), "\\qmw.\\tool.exe");
}

}  // namespace
}  // namespace qm
