// What the profile engine makes of files that only look like profiles, and
// what it refuses to write: CR line ends, lines it cannot place, UTF-16 and
// UTF-8 byte-order marks, files beyond the size limit, read-only targets,
// and the temporary files that a killed writer left.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "FaultPlatform.h"
#include "FileOfSize.h"
#include "SampleInstallation.h"
#include "core/AddReleaseFile.h"
#include "core/EntryComment.h"
#include "core/FreshFile.h"
#include "core/IniFile.h"
#include "core/ReleaseListBuild.h"
#include "core/Settings.h"
#include "core/WriterLock.h"

namespace qm {
namespace {

namespace fs = std::filesystem;
using test::FaultPlatform;
using test::SampleInstallation;

CIniFile FromText(const std::string& text) {
    CIniFile ini;
    ini.LoadText(text);
    return ini;
}

const char kList[] =
    "[qmw]\r\nFile1=tool.exe\r\nCRC1=cbf43926\r\nComment1=Grüße\r\n[db1]\r\nFile1=store.dll\r\n";

std::string Utf16Le(const std::u16string& text) {
    std::string bytes = "\xFF\xFE";
    for (char16_t unit : text) {
        bytes += static_cast<char>(unit & 0xFF);
        bytes += static_cast<char>(unit >> 8);
    }
    return bytes;
}

// The text as a plain list holds it: in the ANSI code page (the stand-in's
// is UTF-8).
std::string InAnsi(const std::string& text) {
    std::string bytes;
    Platform().Utf8ToAnsi(text, bytes);
    return bytes;
}

TEST(IniFileLines, ACarriageReturnAloneEndsALine) {
    CIniFile ini = FromText("[qmw]\rFile1=tool.exe\rCRC1=1\r\n[db1]\rFile1=store.dll");
    EXPECT_EQ(ini.ReadText("qmw", "File1", 64), "tool.exe");
    EXPECT_EQ(ini.ReadInt("qmw", "CRC1", 0), 1);
    EXPECT_EQ(ini.ReadText("db1", "File1", 64), "store.dll");
    EXPECT_EQ(ini.UnplacedLineCount(), 0u);
    // Writing keeps every other byte, the line ends of the file included.
    ini.WriteText("qmw", "File1", "other.exe");
    ini.WriteText("qmw", "Date1", "d");
    EXPECT_EQ(ini.Text(), "[qmw]\rFile1=other.exe\rCRC1=1\r\nDate1=d\r\n[db1]\rFile1=store.dll");
}

TEST(IniFileLines, LinesThatCannotBePlacedAreCountedFromTheFirst) {
    struct Case {
        const char* what;
        std::string text;
        size_t unplaced;
        size_t first;
    };
    const Case cases[] = {
        {"a list of ours", kList, 0, 0},
        {"comments and blank lines", "; note\r\n\r\n[qmw]\r\n;File1=x\r\n  \r\n", 0, 0},
        {"garbage before the first section", "garbage\r\nmore=junk\r\n[qmw]\r\nFile1=a\r\n", 2, 1},
        {"a line without '='", "[qmw]\r\nFile1=a\r\nnot an entry\r\n", 1, 3},
        {"a broken section line", "[qmw]\r\nFile1=a\r\n[db1\r\nFile1=b\r\n", 1, 3},
        {"binary junk", std::string("[qmw]\r\nFile1=a\r\n\x01\x02\x03=\x04\r\n\0\0=1\r\n", 25), 2,
         3},
        {"an empty name", "[qmw]\r\n=value\r\n", 1, 2},
        {"no section at all", "File1=tool.exe\r\n", 1, 1},
    };
    for (const Case& c : cases) {
        const CIniFile ini = FromText(c.text);
        EXPECT_EQ(ini.UnplacedLineCount(), c.unplaced) << c.what;
        EXPECT_EQ(ini.FirstUnplacedLine(), c.first) << c.what;
        EXPECT_EQ(ini.Text(), c.text) << c.what;
    }
    EXPECT_EQ(FromText(kList).SectionCount(), 2u);
    EXPECT_FALSE(FromText("\r\n \r\n").HasContent());
    EXPECT_TRUE(FromText("; only a comment\r\n").HasContent());
    EXPECT_EQ(FromText("; only a comment\r\n").SectionCount(), 0u);
}

// The same list saved as UTF-16LE, as UTF-8 with a byte-order mark and as
// plain text reads the same, and a write keeps the file's encoding.
TEST(IniFileEncodings, EveryEncodingReadsTheSameAndIsKept) {
    SampleInstallation place(false);
    const std::u16string wide = u"[qmw]\r\nFile1=tool.exe\r\nComment1=Grüße\r\n";
    const std::string text =
        "[qmw]\r\nFile1=tool.exe\r\nComment1=Gr\xC3\xBC\xC3\x9F"
        "e\r\n";
    struct Case {
        const char* what;
        std::string bytes;
        CIniFile::Encoding encoding;
        std::string held;  // Text(): a plain file's bytes, else UTF-8
    };
    const Case cases[] = {
        {"plain", InAnsi(text), CIniFile::Encoding::Plain, InAnsi(text)},
        {"UTF-8 with BOM", "\xEF\xBB\xBF" + text, CIniFile::Encoding::Utf8WithBom, text},
        {"UTF-16LE with BOM", Utf16Le(wide), CIniFile::Encoding::Utf16LeWithBom, text},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        place.WriteInWindows("list.lst", c.bytes);
        CIniFile ini;
        ASSERT_TRUE(ini.Load(place.InWindows("list.lst").string()));
        EXPECT_EQ(ini.FileEncoding(), c.encoding);
        EXPECT_FALSE(ini.LostCharacters());
        EXPECT_EQ(ini.ReadText("qmw", "File1", 64), "tool.exe");
        EXPECT_EQ(ini.ReadText("qmw", "Comment1", 64),
                  "Gr\xC3\xBC\xC3\x9F"
                  "e");
        // A capacity counts characters: never half of one.
        EXPECT_EQ(ini.ReadText("qmw", "Comment1", 4), "Gr\xC3\xBC");
        EXPECT_EQ(ini.UnplacedLineCount(), 0u);
        EXPECT_EQ(ini.Text(), c.held);

        ini.WriteText("qmw", "Updated1", "1");
        ASSERT_TRUE(ini.Save());
        const std::string saved = place.ReadInWindows("list.lst");
        if (c.encoding == CIniFile::Encoding::Utf16LeWithBom) {
            EXPECT_EQ(saved, Utf16Le(wide + u"Updated1=1\r\n"));
        } else {
            EXPECT_EQ(saved, c.bytes + "Updated1=1\r\n");
        }
    }
}

// A UTF-16 list keeps every unit, half a surrogate pair included (a name
// may hold one); only a last odd byte, which is no character, is told and
// never written back changed.
TEST(IniFileEncodings, EveryUnitOfAUnicodeListComesBackAndHalfAUnitIsNeverWritten) {
    SampleInstallation place(false);
    const std::u16string wide =
        std::u16string(u"[qmw]\r\nComment1=a") + char16_t(0xD800) + u"b\r\n";
    place.WriteInWindows("list.lst", Utf16Le(wide));
    CIniFile ini;
    ASSERT_TRUE(ini.Load(place.InWindows("list.lst").string()));
    EXPECT_FALSE(ini.LostCharacters());
    EXPECT_EQ(ini.ReadText("qmw", "Comment1", 64),
              "a\xED\xA0\x80"
              "b");
    ini.WriteText("qmw", "Updated1", "1");
    ASSERT_TRUE(ini.Save());
    EXPECT_EQ(place.ReadInWindows("list.lst"), Utf16Le(wide + u"Updated1=1\r\n"));

    const std::string odd = Utf16Le(u"[qmw]\r\nComment1=ab\r\n") + "x";
    place.WriteInWindows("list.lst", odd);
    ASSERT_TRUE(ini.Load(place.InWindows("list.lst").string()));
    EXPECT_TRUE(ini.LostCharacters());
    ini.WriteText("qmw", "Updated1", "1");
    EXPECT_FALSE(ini.Save());
    EXPECT_EQ(ini.LastSaveError(), kErrorNoUnicodeTranslation);
    EXPECT_EQ(place.ReadInWindows("list.lst"), odd);
}

TEST(IniFileLimits, AFileBeyondTheLimitIsNeitherReadNorReplaced) {
    SampleInstallation place(false);
    const fs::path path = place.InWindows("list.lst");
    place.WriteInWindows("list.lst", "[qmw]\r\nFile1=tool.exe\r\n");
    qm::test::GrowFileTo(path, kMaxWholeFileSize + 1);
    CIniFile ini;
    EXPECT_FALSE(ini.Load(path.string()));
    EXPECT_EQ(ini.LoadResult(), ReadResult::TooLarge);
    EXPECT_EQ(ini.LoadError(), kErrorFileTooLarge);
    EXPECT_EQ(ini.ReadText("qmw", "File1", 64), "");
    ini.WriteText("qmw", "File1", "other.exe");
    EXPECT_FALSE(ini.Save());
    EXPECT_EQ(ini.LastSaveError(), kErrorFileTooLarge);
    EXPECT_EQ(fs::file_size(path), kMaxWholeFileSize + 1);

    // Nor is a file written that could not be read again.
    CIniFile growing;
    growing.WriteText("qmw", "Comment1", std::string(kMaxWholeFileSize, 'c'));
    EXPECT_FALSE(growing.SaveAs(place.InWindows("grown.lst").string()));
    EXPECT_EQ(growing.LastSaveError(), kErrorFileTooLarge);
    EXPECT_FALSE(place.ExistsInWindows("grown.lst"));
}

// Windows refuses to replace a read-only file, and then says "access
// denied", which reads as missing rights: every writer looks first, names
// the attribute, and leaves it as it is.
TEST(IniFileReadOnly, EveryWriterRefusesAReadOnlyTargetByItsAttribute) {
    SampleInstallation sample;
    sample.WriteFile("qmw/tool.exe", "abc");
    sample.WriteList(kList);
    sample.WriteInWindows("qmverify.ini", "[Config]\r\nCheckQmwFiles=1\r\n");
    FaultPlatform windows;
    for (const char* name : {"qmverify.lst", "qmverify.ini"}) {
        windows.readOnlyName = name;
        uint32_t error = 0;
        if (std::string(name) == "qmverify.ini") {
            EXPECT_FALSE(WriteSettingsFlags({0, 0}, &error));
            EXPECT_EQ(error, kErrorFileReadOnly);
            continue;
        }
        EXPECT_EQ(AddReleaseFile("tool.exe", 0, nullptr, &error), AddResult::WriteFailed);
        EXPECT_EQ(error, kErrorFileReadOnly);
        EXPECT_EQ(WriteEntryComment("qmw", 1, "tool.exe", "note", true, &error),
                  CommentResult::WriteFailed);
        EXPECT_EQ(error, kErrorFileReadOnly);
        const BuildResult build = CReleaseListBuild().BuildReleaseList();
        EXPECT_EQ(build.status, BuildResult::WriteFailed);
        EXPECT_EQ(build.error, kErrorFileReadOnly);
    }
    EXPECT_EQ(sample.ListText(), kList);
    EXPECT_EQ(sample.ReadInWindows("qmverify.ini"), "[Config]\r\nCheckQmwFiles=1\r\n");
    EXPECT_FALSE(sample.ExistsInWindows("qmverify.l01"));
    EXPECT_FALSE(IsWriteRefused(kErrorFileReadOnly));

    // The real attribute, on this system.
    fs::permissions(sample.InWindows("qmverify.lst"),
                    fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                    fs::perm_options::remove);
    CIniFile list = sample.LoadList();
    list.WriteText("qmw", "Updated1", "1");
    EXPECT_FALSE(list.Save());
    EXPECT_EQ(list.LastSaveError(), kErrorFileReadOnly);
    EXPECT_TRUE(Platform().IsReadOnly(sample.ReleaseListPath()));
    fs::permissions(sample.InWindows("qmverify.lst"), fs::perms::owner_write,
                    fs::perm_options::add);
}

// A writer killed between creating its temporary file and moving it leaves
// the file behind; a hundred of them took every name.
TEST(FreshFileLeftovers, AreRemovedUnderTheWriterLockOnly) {
    SampleInstallation sample;
    sample.WriteFile("qmw/tool.exe", "abc");
    sample.WriteList(kList);
    const auto leave = [&sample] {
        sample.WriteInWindows("qmverify.lst.tmp", "killed");
        for (int k = 2; k <= 100; ++k) {
            sample.WriteInWindows("qmverify.lst.tmp" + std::to_string(k), "killed");
        }
    };
    leave();
    sample.WriteInWindows("qmverify.lst.tmpx", "not ours");

    // Without the lock another writer of ours may own them: nothing goes.
    CIniFile unlocked = sample.LoadList();
    unlocked.WriteText("qmw", "Updated1", "1");
    EXPECT_FALSE(unlocked.Save());
    EXPECT_EQ(unlocked.LastSaveError(), kErrorFileExists);
    EXPECT_EQ(TakenFreshNames(sample.ReleaseListPath() + ".tmp").size(), 100u);

    uint32_t error = 0;
    EXPECT_EQ(WriteEntryComment("qmw", 1, "tool.exe", "note", true, &error), CommentResult::Written)
        << error;
    EXPECT_TRUE(TakenFreshNames(sample.ReleaseListPath() + ".tmp").empty());
    EXPECT_EQ(sample.ReadInWindows("qmverify.lst.tmpx"), "not ours");
    leave();
    EXPECT_EQ(AddReleaseFile("tool.exe", 0), AddResult::Refreshed);
    EXPECT_TRUE(TakenFreshNames(sample.ReleaseListPath() + ".tmp").empty());
    // The build's own series.
    sample.WriteInWindows("qmverify.new", "killed");
    sample.WriteInWindows("qmverify.new7", "killed");
    EXPECT_EQ(CReleaseListBuild().BuildReleaseList().status, BuildResult::Ok);
    EXPECT_FALSE(sample.ExistsInWindows("qmverify.new7"));

    // What no writer can remove still stands in the way, and is named.
    fs::create_directory(sample.InWindows("qmverify.lst.tmp"));
    for (int k = 2; k <= 100; ++k) {
        fs::create_directory(sample.InWindows("qmverify.lst.tmp" + std::to_string(k)));
    }
    EXPECT_EQ(WriteEntryComment("qmw", 1, "tool.exe", "again", true, &error),
              CommentResult::WriteFailed);
    EXPECT_EQ(error, kErrorFileExists);
    EXPECT_EQ(TakenFreshNames(sample.ReleaseListPath() + ".tmp").size(), 100u);
}

TEST(AddReleaseFileInput, RefusesAListItCannotReadWhole) {
    SampleInstallation sample;
    sample.WriteFile("qmw/tool.exe", "abc");
    const std::string refused[] = {
        "garbage before\r\n[qmw]\r\nFile1=a.exe\r\n",
        "[qmw]\r\nFile1=a.exe\r\nthis is no entry\r\n",
        "; a list that is all comment\r\n",
        std::string("\x7f\x45\x4c\x46\x02\x01\x01\0\0\0\0", 11),
    };
    for (const std::string& text : refused) {
        sample.WriteList(text);
        EXPECT_EQ(AddReleaseFile("tool.exe", 0), AddResult::ListNotUnderstood) << text;
        EXPECT_EQ(sample.ListText(), text);
    }
    // A list with CR line ends is read whole, so the name is found again.
    sample.WriteList("[qmw]\rFile1=tool.exe\rCRC1=0\r");
    int entry = 0;
    EXPECT_EQ(AddReleaseFile("tool.exe", 0, &entry), AddResult::Refreshed);
    EXPECT_EQ(entry, 1);
    sample.WriteList("\r\n");
    EXPECT_EQ(AddReleaseFile("tool.exe", 0), AddResult::Added);

    uint32_t error = 0;
    qm::test::GrowFileTo(sample.InWindows("qmverify.lst"), kMaxWholeFileSize + 1);
    EXPECT_EQ(AddReleaseFile("tool.exe", 0, nullptr, &error), AddResult::ReadFailed);
    EXPECT_EQ(error, kErrorFileTooLarge);
}

#ifndef _WIN32
TEST(WriterLockNotice, ALockFileOthersCouldOpenIsToldToTheWriter) {
    SampleInstallation sample;
    sample.WriteInWindows("qmverify.lck", "");
    fs::permissions(sample.InWindows("qmverify.lck"), fs::perms::all);
    std::string told;
    const CWriterLock::NoticeSink previous =
        CWriterLock::SetNoticeSink([&told](const std::string& notice) { told += notice; });
    EXPECT_TRUE(WriteSettingsFlags({1, 0}));
    CWriterLock::SetNoticeSink(previous);
    EXPECT_NE(told.find("qmverify.lck"), std::string::npos) << told;
    EXPECT_EQ(fs::status(sample.InWindows("qmverify.lck")).permissions() & fs::perms::all,
              fs::perms::owner_read | fs::perms::owner_write);
}
#endif

}  // namespace
}  // namespace qm
