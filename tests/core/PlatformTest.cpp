// The platform seam against a real file system: the same tests run natively
// (the posix stand-in) and under Wine (the Windows calls).
#include <gtest/gtest.h>

#ifdef _WIN32
#include <windows.h>
#endif
#include <sys/stat.h>
#include <sys/types.h>
#ifdef _WIN32
#include <sys/utime.h>
#else
#include <utime.h>
#endif

#include <algorithm>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "core/RegistryValues.h"
#include "core/TempDirectory.h"
#include "platform/Platform.h"

namespace {

namespace fs = std::filesystem;

constexpr uint64_t kTicksPerSecond = 10000000;
constexpr int64_t kUnixEpochSeconds = 11644473600LL;  // 1601-01-01 to 1970-01-01

using qm::test::Dword;
using qm::test::ExpectWorksValues;
using qm::test::RootsGuard;
using TempDir = qm::test::TempDirectory;

uint64_t TicksOfUnixTime(int64_t seconds) {
    return static_cast<uint64_t>(seconds + kUnixEpochSeconds) * kTicksPerSecond;
}

void SetModificationTime(const fs::path& path, int64_t unixSeconds) {
#ifdef _WIN32
    struct _utimbuf times;
    times.actime = static_cast<time_t>(unixSeconds);
    times.modtime = static_cast<time_t>(unixSeconds);
    ASSERT_EQ(0, _utime(path.string().c_str(), &times));
#else
    struct utimbuf times;
    times.actime = static_cast<time_t>(unixSeconds);
    times.modtime = static_cast<time_t>(unixSeconds);
    ASSERT_EQ(0, utime(path.string().c_str(), &times));
#endif
}

std::vector<qm::FoundEntry> SearchAll(const std::string& pattern) {
    std::vector<qm::FoundEntry> entries;
    qm::FoundEntry entry;
    auto search = qm::Platform().FindFirst(pattern, entry);
    if (!search) return entries;
    do {
        entries.push_back(entry);
    } while (search->Next(entry));
    return entries;
}

std::vector<std::string> SortedNames(const std::vector<qm::FoundEntry>& entries) {
    std::vector<std::string> names;
    for (const auto& entry : entries) names.push_back(entry.name);
    std::sort(names.begin(), names.end());
    return names;
}

const qm::FoundEntry* FindNamed(const std::vector<qm::FoundEntry>& entries,
                                const std::string& name) {
    for (const auto& entry : entries) {
        if (entry.name == name) return &entry;
    }
    return nullptr;
}

// ---------------------------------------------------------------------------
// Directory search

TEST(PlatformSearch, MaskSelectsFilesAndDirectoriesWithoutRegardToCase) {
    TempDir dir;
    dir.Write("alpha.exe", "a");
    dir.Write("BETA.EXE", "b");
    dir.Write("gamma.dll", "c");
    dir.Write("exe", "d");
    dir.MakeDirectory("tools.exe");

    for (const std::string& pattern :
         {dir["*.exe"], dir.text() + ".\\*.exe", dir.text() + "/*.EXE"}) {
        SCOPED_TRACE(pattern);
        auto entries = SearchAll(pattern);
        EXPECT_EQ((std::vector<std::string>{"BETA.EXE", "alpha.exe", "tools.exe"}),
                  SortedNames(entries));
        const qm::FoundEntry* tools = FindNamed(entries, "tools.exe");
        ASSERT_NE(nullptr, tools);
        EXPECT_TRUE(tools->isDirectory);
        const qm::FoundEntry* alpha = FindNamed(entries, "alpha.exe");
        ASSERT_NE(nullptr, alpha);
        EXPECT_FALSE(alpha->isDirectory);
    }
}

TEST(PlatformSearch, QuestionMarkMatchesOneCharacter) {
    TempDir dir;
    dir.Write("a1.bat", "");
    dir.Write("a22.bat", "");
    EXPECT_EQ((std::vector<std::string>{"a1.bat"}), SortedNames(SearchAll(dir["a?.bat"])));
}

// Windows delivers "." and ".." to "*" and "*.*" in any directory but a
// drive's root; the posix stand-in leaves them out.
std::vector<std::string> NamesWithoutDots(const std::string& pattern) {
    auto names = SortedNames(SearchAll(pattern));
    names.erase(std::remove_if(names.begin(), names.end(),
                               [](const std::string& name) { return name == "." || name == ".."; }),
                names.end());
    return names;
}

TEST(PlatformSearch, StarMatchesEveryName) {
    TempDir dir;
    dir.Write("one.txt", "");
    dir.Write("two", "");
    EXPECT_EQ((std::vector<std::string>{"one.txt", "two"}), NamesWithoutDots(dir["*"]));
    EXPECT_EQ((std::vector<std::string>{"one.txt", "two"}), NamesWithoutDots(dir["*.*"]));
#ifndef _WIN32
    EXPECT_EQ((std::vector<std::string>{"one.txt", "two"}), SortedNames(SearchAll(dir["*"])));
#endif
}

TEST(PlatformSearch, ReportsTheLastWriteTime) {
    TempDir dir;
    dir.Write("tool.exe", "x");
    SetModificationTime(dir.path() / "tool.exe", 1796634359);  // 2026-12-07 09:05:59 UTC

    auto entries = SearchAll(dir["*.exe"]);
    ASSERT_EQ(1u, entries.size());
    EXPECT_EQ(TicksOfUnixTime(1796634359), entries[0].lastWrite.ticks);
}

TEST(PlatformSearch, FindsOneNamedFile) {
    TempDir dir;
    dir.Write("tool.exe", "x");
    dir.Write("other.exe", "y");
    SetModificationTime(dir.path() / "tool.exe", 1782907200);

    qm::FoundEntry entry;
    auto search = qm::Platform().FindFirst(dir.text() + ".\\tool.exe", entry);
    ASSERT_TRUE(search);
    EXPECT_EQ("tool.exe", entry.name);
    EXPECT_FALSE(entry.isDirectory);
    EXPECT_EQ(1u, entry.size);  // the window's count of bytes rests on it
    EXPECT_EQ(TicksOfUnixTime(1782907200), entry.lastWrite.ticks);
    EXPECT_FALSE(search->Next(entry));

    // The name as the directory keeps it, whatever the case of the pattern.
    search = qm::Platform().FindFirst(dir["TOOL.EXE"], entry);
    ASSERT_TRUE(search);
    EXPECT_EQ("tool.exe", entry.name);
}

TEST(PlatformSearch, MissingDirectoryOrNoMatchGivesNoSearch) {
    TempDir dir;
    dir.Write("tool.exe", "x");
    qm::FoundEntry entry;
    EXPECT_FALSE(qm::Platform().FindFirst(dir["missing.\\*.exe"], entry));
    EXPECT_FALSE(qm::Platform().FindFirst(dir["*.dll"], entry));
    EXPECT_FALSE(qm::Platform().FindFirst(dir["nothing.exe"], entry));
}

// ---------------------------------------------------------------------------
// Sequential reading

TEST(PlatformRead, ReadsAFileInPieces) {
    TempDir dir;
    std::string contents;
    for (int i = 0; i < 10000; ++i) contents += static_cast<char>(i * 7 % 251);
    dir.Write("data.bin", contents);

    std::unique_ptr<qm::IReadFile> file;
    ASSERT_EQ(0u, qm::Platform().OpenForReading(dir["data.bin"], file));
    ASSERT_TRUE(file);
    std::string read;
    std::vector<size_t> sizes;
    char buffer[4096];
    for (;;) {
        size_t count = 99999;
        ASSERT_TRUE(file->Read(buffer, sizeof buffer, count));
        sizes.push_back(count);
        if (count == 0) break;
        read.append(buffer, count);
    }
    EXPECT_EQ(contents, read);
    EXPECT_EQ((std::vector<size_t>{4096, 4096, 1808, 0}), sizes);
}

TEST(PlatformRead, EmptyFileEndsAtOnce) {
    TempDir dir;
    dir.Write("empty", "");
    std::unique_ptr<qm::IReadFile> file;
    ASSERT_EQ(0u, qm::Platform().OpenForReading(dir["empty"], file));
    char buffer[16];
    size_t count = 5;
    EXPECT_TRUE(file->Read(buffer, sizeof buffer, count));
    EXPECT_EQ(0u, count);
}

TEST(PlatformRead, AnOpenFileTellsItsSizeAndLastWriteTimeBeforeAndAfterItIsRead) {
    TempDir dir;
    dir.Write("tool.exe", std::string(300000, 'x'));
    SetModificationTime(dir.path() / "tool.exe", 1796634359);
    std::unique_ptr<qm::IReadFile> file;
    ASSERT_EQ(0u, qm::Platform().OpenForReading(dir["tool.exe"], file));
    for (int pass = 0; pass < 2; ++pass) {
        qm::FileFacts facts;
        ASSERT_TRUE(file->Facts(facts)) << pass;
        EXPECT_EQ(facts.size, 300000u) << pass;
        EXPECT_EQ(facts.lastWrite.ticks, TicksOfUnixTime(1796634359)) << pass;
        std::vector<char> buffer(1 << 20);
        size_t count = 0;
        ASSERT_TRUE(file->Read(buffer.data(), buffer.size(), count));
    }
}

TEST(PlatformRead, FailedOpensGiveTheSystemErrorCode) {
    TempDir dir;
    dir.MakeDirectory("sub");
    std::unique_ptr<qm::IReadFile> file;
    EXPECT_EQ(qm::kErrorFileNotFound, qm::Platform().OpenForReading(dir["missing.exe"], file));
    EXPECT_FALSE(file);
    EXPECT_EQ(qm::kErrorPathNotFound,
              qm::Platform().OpenForReading(dir["nodir\\missing.exe"], file));
    EXPECT_EQ(qm::kErrorNotAFile, qm::Platform().OpenForReading(dir["sub"], file));
    EXPECT_FALSE(file);
}

TEST(PlatformRead, TheReaderOfAFileDoesNotKeepOthersFromReadingIt) {
    TempDir dir;
    dir.Write("shared.txt", "abc");
    std::unique_ptr<qm::IReadFile> first;
    std::unique_ptr<qm::IReadFile> second;
    ASSERT_EQ(0u, qm::Platform().OpenForReading(dir["shared.txt"], first));
    ASSERT_EQ(0u, qm::Platform().OpenForReading(dir["shared.txt"], second));
    std::ifstream other(dir.path() / "shared.txt", std::ios::binary);
    EXPECT_TRUE(other.is_open());
}

// ---------------------------------------------------------------------------
// Names: exists, rename, remove, copy, move, replace

TEST(PlatformFiles, HardLinkFailsOntoAnExistingName) {
    TempDir dir;
    dir.Write("qmverify.lst", "list");
    dir.Write("qmverify.l01", "old");

    EXPECT_TRUE(qm::Platform().FileExists(dir["qmverify.lst"]));
    EXPECT_TRUE(qm::Platform().FileExists(dir.text() + ".\\qmverify.lst"));
    EXPECT_FALSE(qm::Platform().FileExists(dir["qmverify.l02"]));

    EXPECT_EQ(qm::kErrorAlreadyExists,
              qm::Platform().HardLink(dir["qmverify.lst"], dir["qmverify.l01"]));
    EXPECT_EQ("list", dir.Contents("qmverify.lst"));
    EXPECT_EQ("old", dir.Contents("qmverify.l01"));

    EXPECT_EQ(0u, qm::Platform().HardLink(dir["qmverify.lst"], dir.text() + ".\\qmverify.l02"));
    EXPECT_EQ("list", dir.Contents("qmverify.lst"));
    EXPECT_EQ("list", dir.Contents("qmverify.l02"));
    EXPECT_NE(0u, qm::Platform().HardLink(dir["missing.lst"], dir["qmverify.l03"]));
    EXPECT_FALSE(dir.Has("qmverify.l03"));
}

TEST(PlatformFiles, RemoveDeletesFilesOnly) {
    TempDir dir;
    dir.Write("gone.txt", "x");
    dir.MakeDirectory("sub");
    EXPECT_TRUE(qm::Platform().RemoveFile(dir["gone.txt"]));
    EXPECT_FALSE(dir.Has("gone.txt"));
    EXPECT_FALSE(qm::Platform().RemoveFile(dir["gone.txt"]));
    EXPECT_FALSE(qm::Platform().RemoveFile(dir["sub"]));
    EXPECT_TRUE(dir.Has("sub"));
}

TEST(PlatformFiles, CopyFailsOntoAnExistingName) {
    TempDir dir;
    dir.Write("from.txt", "contents");
    dir.Write("taken.txt", "mine");
    EXPECT_NE(0u, qm::Platform().CopyFileKeepingDate(dir["from.txt"], dir["taken.txt"]));
    EXPECT_EQ("mine", dir.Contents("taken.txt"));
    EXPECT_EQ(0u, qm::Platform().CopyFileKeepingDate(dir["from.txt"], dir["to.txt"]));
    EXPECT_EQ("contents", dir.Contents("to.txt"));
    EXPECT_EQ("contents", dir.Contents("from.txt"));
    EXPECT_NE(0u, qm::Platform().CopyFileKeepingDate(dir["missing.txt"], dir["other.txt"]));
    EXPECT_FALSE(dir.Has("other.txt"));
}

// The backup made by a copy (where the volume has no hard links) keeps the
// date of the list it keeps.
TEST(PlatformFiles, CopyKeepsTheLastWriteTime) {
    TempDir dir;
    dir.Write("from.txt", "contents");
    SetModificationTime(dir.path() / "from.txt", 1700000000);
    ASSERT_EQ(0u, qm::Platform().CopyFileKeepingDate(dir["from.txt"], dir["to.txt"]));
    const std::vector<qm::FoundEntry> copies = SearchAll(dir["to.txt"]);
    ASSERT_EQ(copies.size(), 1u);
    EXPECT_EQ(copies[0].lastWrite.ticks, TicksOfUnixTime(1700000000));
}

TEST(PlatformFiles, MoveReplacesAnExistingFile) {
    TempDir dir;
    dir.Write("new.tmp", "new");
    dir.Write("list.ini", "old");
    EXPECT_EQ(0u, qm::Platform().MoveReplace(dir["new.tmp"], dir["list.ini"]));
    EXPECT_EQ("new", dir.Contents("list.ini"));
    EXPECT_FALSE(dir.Has("new.tmp"));
    dir.Write("second.tmp", "second");
    EXPECT_EQ(0u, qm::Platform().MoveReplace(dir["second.tmp"], dir["fresh.ini"]));
    EXPECT_EQ("second", dir.Contents("fresh.ini"));
}

TEST(PlatformFiles, ReplaceWithBackupKeepsTheOldFileUnderTheBackupName) {
    TempDir dir;
    dir.Write("qmverify.lst", "old list");
    dir.Write("qmverify.tmp", "new list");
    EXPECT_EQ(qm::ReplaceOutcome::Replaced,
              qm::ReplaceWithBackup(dir["qmverify.lst"], dir["qmverify.tmp"], dir["qmverify.l01"])
                  .outcome);
    EXPECT_EQ("new list", dir.Contents("qmverify.lst"));
    EXPECT_EQ("old list", dir.Contents("qmverify.l01"));
    EXPECT_FALSE(dir.Has("qmverify.tmp"));
}

TEST(PlatformFiles, ReplaceWithBackupOntoATakenBackupNameChangesNothing) {
    TempDir dir;
    dir.Write("qmverify.lst", "old list");
    dir.Write("qmverify.tmp", "new list");
    dir.Write("qmverify.l01", "older list");
    EXPECT_NE(qm::ReplaceOutcome::Replaced,
              qm::ReplaceWithBackup(dir["qmverify.lst"], dir["qmverify.tmp"], dir["qmverify.l01"])
                  .outcome);
    EXPECT_EQ("old list", dir.Contents("qmverify.lst"));
    EXPECT_EQ("new list", dir.Contents("qmverify.tmp"));
    EXPECT_EQ("older list", dir.Contents("qmverify.l01"));
}

TEST(PlatformFiles, ReplaceWithBackupOfAMissingTargetChangesNothing) {
    TempDir dir;
    dir.Write("qmverify.tmp", "new list");
    EXPECT_NE(qm::ReplaceOutcome::Replaced,
              qm::ReplaceWithBackup(dir["qmverify.lst"], dir["qmverify.tmp"], dir["qmverify.l01"])
                  .outcome);
    EXPECT_FALSE(dir.Has("qmverify.lst"));
    EXPECT_FALSE(dir.Has("qmverify.l01"));
    EXPECT_EQ("new list", dir.Contents("qmverify.tmp"));
}

TEST(PlatformFiles, ReplaceWithBackupWithoutReplacementLeavesTheTarget) {
    TempDir dir;
    dir.Write("qmverify.lst", "old list");
    EXPECT_NE(qm::ReplaceOutcome::Replaced,
              qm::ReplaceWithBackup(dir["qmverify.lst"], dir["qmverify.tmp"], dir["qmverify.l01"])
                  .outcome);
    EXPECT_EQ("old list", dir.Contents("qmverify.lst"));
    EXPECT_FALSE(dir.Has("qmverify.l01"));
}

// ---------------------------------------------------------------------------
// Whole files

TEST(PlatformWholeFile, DistinguishesMissingFromUnreadable) {
    TempDir dir;
    dir.Write("qmverify.ini", "[Config]\r\nCheckQmwFiles=1\r\n");
    dir.MakeDirectory("sub");
    std::string contents = "stale";
    EXPECT_EQ(qm::ReadResult::Ok, qm::Platform().ReadWholeFile(dir["qmverify.ini"], contents));
    EXPECT_EQ("[Config]\r\nCheckQmwFiles=1\r\n", contents);
    EXPECT_EQ(qm::ReadResult::Missing, qm::Platform().ReadWholeFile(dir["missing.ini"], contents));
    EXPECT_EQ(qm::ReadResult::Missing,
              qm::Platform().ReadWholeFile(dir["nodir\\missing.ini"], contents));
    EXPECT_EQ(qm::ReadResult::Failed, qm::Platform().ReadWholeFile(dir["sub"], contents));
}

TEST(PlatformWholeFile, NewFilesAreWrittenWholeAndNeverOverAnotherFile) {
    TempDir dir;
    std::string binary("a\0b\r\nc", 6);
    EXPECT_EQ(0u, qm::Platform().CreateNewFile(dir["out.ini"], binary));
    EXPECT_EQ(binary, dir.Contents("out.ini"));
    EXPECT_EQ(qm::kErrorFileExists, qm::Platform().CreateNewFile(dir["out.ini"], "other"));
    EXPECT_EQ(binary, dir.Contents("out.ini"));
    EXPECT_EQ(0u, qm::Platform().CreateNewFile(dir["empty.ini"], ""));
    EXPECT_TRUE(dir.Has("empty.ini"));
    EXPECT_EQ("", dir.Contents("empty.ini"));
    EXPECT_NE(0u, qm::Platform().CreateNewFile(dir["nodir\\out.ini"], "x"));
}

// ---------------------------------------------------------------------------
// Roots

TEST(PlatformRoots, WindowsDirectoryCanBeSetAndHasAnyLength) {
    RootsGuard guard;
    TempDir dir;
    EXPECT_FALSE(qm::Platform().WindowsDirectory().empty());

    qm::SetPlatformRoots(qm::PlatformRoots{dir.text(), ""});
    EXPECT_EQ(dir.text(), qm::Platform().WindowsDirectory());
    const std::string longer = dir.text() + "\\" + std::string(120, 'w');
    qm::SetPlatformRoots(qm::PlatformRoots{longer, ""});
    EXPECT_EQ(longer, qm::Platform().WindowsDirectory());
}

TEST(PlatformLock, OneHolderAtATimeAndTheLockFileStays) {
    TempDir dir;
    std::unique_ptr<qm::IFileLock> first;
    std::unique_ptr<qm::IFileLock> second;
    ASSERT_EQ(0u, qm::Platform().TryLockFile(dir["qmverify.lck"], first));
    ASSERT_TRUE(first);
    EXPECT_EQ(qm::kErrorLockViolation, qm::Platform().TryLockFile(dir["qmverify.lck"], second));
    EXPECT_FALSE(second);
    first.reset();
    EXPECT_EQ(0u, qm::Platform().TryLockFile(dir["qmverify.lck"], second));
    EXPECT_TRUE(dir.Has("qmverify.lck"));
    EXPECT_NE(0u, qm::Platform().TryLockFile(dir["nodir\\qmverify.lck"], first));
}

TEST(PlatformRoots, ALeadingBackslashStartsAtTheDriveRoot) {
    RootsGuard guard;
    TempDir root;
    root.MakeDirectory("qmw");
    root.Write("qmw/tool.exe", "tool");
    qm::SetPlatformRoots(qm::PlatformRoots{"", root.text()});

    EXPECT_TRUE(qm::Platform().FileExists("\\qmw.\\tool.exe"));
    EXPECT_FALSE(qm::Platform().FileExists("\\qmw.\\other.exe"));
    std::unique_ptr<qm::IReadFile> file;
    ASSERT_EQ(0u, qm::Platform().OpenForReading("\\qmw.\\tool.exe", file));
    char buffer[16];
    size_t count = 0;
    ASSERT_TRUE(file->Read(buffer, sizeof buffer, count));
    EXPECT_EQ("tool", std::string(buffer, count));
    EXPECT_EQ((std::vector<std::string>{"tool.exe"}), SortedNames(SearchAll("\\qmw.\\*.exe")));
    qm::FoundEntry entry;
    EXPECT_FALSE(qm::Platform().FindFirst("\\db1.\\*.exe", entry));
}

#ifndef _WIN32
TEST(PlatformRoots, PosixMapsWindowsPathsOntoTheRoots) {
    RootsGuard guard;
    TempDir root;
    root.MakeDirectory("qmw");
    root.MakeDirectory("WINDOWS");
    root.Write("qmw/tool.exe", "tool");
    root.Write("WINDOWS/qmverify.lst", "list");
    qm::SetPlatformRoots(qm::PlatformRoots{"", root.text()});

    EXPECT_TRUE(qm::Platform().FileExists("C:\\WINDOWS.\\qmverify.lst"));
    EXPECT_TRUE(qm::Platform().FileExists("c:/qmw/tool.exe"));
    EXPECT_TRUE(qm::Platform().FileExists("\\qmw\\.\\tool.exe"));
    EXPECT_TRUE(qm::Platform().FileExists(root.text() + "/WINDOWS.\\qmverify.lst"));
    EXPECT_FALSE(qm::Platform().FileExists("\\WINDOWS.\\tool.exe"));
    // Messages name the native file.
    EXPECT_EQ(root.text() + "/WINDOWS/qmverify.lst", qm::ShownPath("C:\\WINDOWS.\\qmverify.lst"));
    EXPECT_EQ(root.text() + "/qmw/tool.exe", qm::ShownPath("\\qmw.\\tool.exe"));
}

TEST(PlatformRoots, PosixRootsComeFromTheEnvironment) {
    RootsGuard guard;
    TempDir root;
    root.MakeDirectory("qmw");
    root.Write("qmw/tool.exe", "tool");
    std::string savedRoot = std::getenv("QMVERIFY_ROOT") ? std::getenv("QMVERIFY_ROOT") : "";
    std::string savedWindows = std::getenv("QMVERIFY_WINDIR") ? std::getenv("QMVERIFY_WINDIR") : "";

    setenv("QMVERIFY_ROOT", root.text().c_str(), 1);
    setenv("QMVERIFY_WINDIR", (root.text() + "/WINDOWS/").c_str(), 1);
    EXPECT_TRUE(qm::Platform().FileExists("\\qmw.\\tool.exe"));
    EXPECT_EQ(root.text() + "/WINDOWS", qm::Platform().WindowsDirectory());

    unsetenv("QMVERIFY_WINDIR");
    EXPECT_EQ(fs::current_path().string() + "/windows", qm::Platform().WindowsDirectory());
    unsetenv("QMVERIFY_ROOT");
    EXPECT_FALSE(qm::Platform().FileExists("\\qmw.\\tool.exe"));

    if (!savedRoot.empty()) setenv("QMVERIFY_ROOT", savedRoot.c_str(), 1);
    if (!savedWindows.empty()) setenv("QMVERIFY_WINDIR", savedWindows.c_str(), 1);
}
#endif

// ---------------------------------------------------------------------------
// Local calendar time

int64_t DaysFromCivil(int year, int month, int day) {
    year -= month <= 2 ? 1 : 0;
    int64_t era = (year >= 0 ? year : year - 399) / 400;
    int64_t yearOfEra = year - era * 400;
    int64_t dayOfYear = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
    int64_t dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
    return era * 146097 + dayOfEra - 719468;
}

#ifndef _WIN32
int64_t SecondsOfFields(const struct tm& fields) {
    return DaysFromCivil(fields.tm_year + 1900, fields.tm_mon + 1, fields.tm_mday) * 86400 +
           fields.tm_hour * 3600 + fields.tm_min * 60 + fields.tm_sec;
}
#endif

// The offset of local time from UTC in force now.
int64_t OffsetNowSeconds() {
#ifdef _WIN32
    // The system's zone, not the runtime library's (which follows TZ).
    TIME_ZONE_INFORMATION zone;
    DWORD which = GetTimeZoneInformation(&zone);
    LONG bias = zone.Bias;
    if (which == TIME_ZONE_ID_DAYLIGHT) bias += zone.DaylightBias;
    if (which == TIME_ZONE_ID_STANDARD) bias += zone.StandardBias;
    return -static_cast<int64_t>(bias) * 60;
#else
    time_t now = time(nullptr);
    struct tm local;
    struct tm utc;
    localtime_r(&now, &local);
    gmtime_r(&now, &utc);
    return SecondsOfFields(local) - SecondsOfFields(utc);
#endif
}

// The calendar fields that a UTC time gives with the offset in force now.
qm::CalendarTime ExpectedLocal(int64_t unixSeconds) {
    int64_t local = unixSeconds + OffsetNowSeconds();
    int64_t days = (local >= 0 ? local : local - 86399) / 86400;
    int64_t secondOfDay = local - days * 86400;
    qm::CalendarTime expected;
    // Walk from the year of an estimate to the exact date.
    int year = static_cast<int>(1970 + days / 366);
    while (DaysFromCivil(year + 1, 1, 1) <= days) ++year;
    int month = 1;
    while (month < 12 && DaysFromCivil(year, month + 1, 1) <= days) ++month;
    expected.year = year;
    expected.month = month;
    expected.day = static_cast<int>(days - DaysFromCivil(year, month, 1) + 1);
    expected.hour = static_cast<int>(secondOfDay / 3600);
    expected.minute = static_cast<int>(secondOfDay / 60 % 60);
    expected.second = static_cast<int>(secondOfDay % 60);
    return expected;
}

void ExpectCalendar(const qm::CalendarTime& expected, const qm::CalendarTime& actual) {
    EXPECT_EQ(expected.year, actual.year);
    EXPECT_EQ(expected.month, actual.month);
    EXPECT_EQ(expected.day, actual.day);
    EXPECT_EQ(expected.hour, actual.hour);
    EXPECT_EQ(expected.minute, actual.minute);
    EXPECT_EQ(expected.second, actual.second);
}

#ifndef _WIN32
// Puts a time zone in force for the test (posix only: Windows takes its
// zone from the system, not from TZ).
class TimeZoneGuard {
public:
    explicit TimeZoneGuard(const char* zone) {
        const char* saved = std::getenv("TZ");
        m_had = saved != nullptr;
        if (saved) m_saved = saved;
        setenv("TZ", zone, 1);
        tzset();
    }
    ~TimeZoneGuard() {
        if (m_had)
            setenv("TZ", m_saved.c_str(), 1);
        else
            unsetenv("TZ");
        tzset();
    }
    TimeZoneGuard(const TimeZoneGuard&) = delete;
    TimeZoneGuard& operator=(const TimeZoneGuard&) = delete;

private:
    bool m_had = false;
    std::string m_saved;
};
#endif

TEST(PlatformCalendar, SecondsAreKeptAndMinutesNotRounded) {
#ifndef _WIN32
    TimeZoneGuard zone("UTC");
#endif
    qm::CalendarTime local;
    ASSERT_TRUE(qm::Platform().ToLocalCalendar(qm::FileTime{134411079590000000ULL}, local));
    ExpectCalendar(ExpectedLocal(1796634359), local);
#ifndef _WIN32
    EXPECT_EQ(2026, local.year);
    EXPECT_EQ(12, local.month);
    EXPECT_EQ(7, local.day);
    EXPECT_EQ(9, local.hour);
    EXPECT_EQ(5, local.minute);
    EXPECT_EQ(59, local.second);
#endif
}

TEST(PlatformCalendar, TheOffsetInForceNowAppliesToEveryDate) {
    // A summer and a winter time move by the same offset: the one of now.
    qm::CalendarTime summer;
    qm::CalendarTime winter;
    ASSERT_TRUE(qm::Platform().ToLocalCalendar(qm::FileTime{TicksOfUnixTime(1782907200)}, summer));
    ASSERT_TRUE(qm::Platform().ToLocalCalendar(qm::FileTime{TicksOfUnixTime(1796634359)}, winter));
    ExpectCalendar(ExpectedLocal(1782907200), summer);
    ExpectCalendar(ExpectedLocal(1796634359), winter);
}

#ifndef _WIN32
TEST(PlatformCalendar, PosixTakesTheZoneInForceNow) {
    TimeZoneGuard zone("CET-1CEST,M3.5.0,M10.5.0/3");
    time_t now = time(nullptr);
    struct tm fields;
    localtime_r(&now, &fields);
    int offsetHours = static_cast<int>(fields.tm_gmtoff / 3600);  // 1 in winter, 2 in summer

    qm::CalendarTime summer;
    ASSERT_TRUE(qm::Platform().ToLocalCalendar(qm::FileTime{TicksOfUnixTime(1782907200)}, summer));
    EXPECT_EQ(12 + offsetHours, summer.hour);  // 1 July 2026 12:00 UTC
    qm::CalendarTime winter;
    ASSERT_TRUE(qm::Platform().ToLocalCalendar(qm::FileTime{134411079590000000ULL}, winter));
    EXPECT_EQ(9 + offsetHours, winter.hour);
    EXPECT_EQ(5, winter.minute);
}

TEST(PlatformCalendar, PosixSplitsTheFirstDayAndRefusesTimesBeyondRange) {
    TimeZoneGuard zone("UTC");
    qm::CalendarTime first;
    ASSERT_TRUE(qm::Platform().ToLocalCalendar(qm::FileTime{0}, first));
    EXPECT_EQ(1601, first.year);
    EXPECT_EQ(1, first.month);
    EXPECT_EQ(1, first.day);
    EXPECT_EQ(0, first.hour);
    qm::CalendarTime leap;
    ASSERT_TRUE(qm::Platform().ToLocalCalendar(qm::FileTime{TicksOfUnixTime(951782400)},
                                               leap));  // 2000-02-29
    EXPECT_EQ(2000, leap.year);
    EXPECT_EQ(2, leap.month);
    EXPECT_EQ(29, leap.day);
    qm::CalendarTime beyond;
    EXPECT_FALSE(qm::Platform().ToLocalCalendar(qm::FileTime{0x8000000000000000ULL}, beyond));
}
#endif

// ---------------------------------------------------------------------------
// Text order

TEST(PlatformText, ComparesBytesWithoutSign) {
    EXPECT_EQ(0, qm::CompareText("", ""));
    EXPECT_EQ(0, qm::CompareText("Identical", "Identical"));
    EXPECT_LT(qm::CompareText("Identical", "Not identical"), 0);
    EXPECT_GT(qm::CompareText("Updated", "Not identical"), 0);
    EXPECT_LT(qm::CompareText("abc", "abcd"), 0);
    EXPECT_LT(qm::CompareText("Z", "a"), 0);
    EXPECT_GT(qm::CompareText("\xe4", "z"), 0);
}

// ---------------------------------------------------------------------------
// The machine's registry keys on posix: an exported registry file named by
// $QMVERIFY_REGISTRY (the reader itself is tested in RegistryFileTest.cpp).

#ifndef _WIN32
TEST(PlatformRegistry, PosixReadsTheFileTheVariableNames) {
    const char* saved = std::getenv("QMVERIFY_REGISTRY");
    const std::string savedValue = saved ? saved : "";
    TempDir dir;
    std::vector<qm::RegistryValue> values;
    const std::vector<std::string> names{"Installation Date", "Installation Time", "Version_Major",
                                         "Version_Minor"};
    unsetenv("QMVERIFY_REGISTRY");
    EXPECT_FALSE(
        qm::Platform().ReadMachineKey("SOFTWARE\\Quillmark\\Quillmark Works", names, values));
    setenv("QMVERIFY_REGISTRY", (dir.text() + "/missing.reg").c_str(), 1);
    EXPECT_FALSE(
        qm::Platform().ReadMachineKey("SOFTWARE\\Quillmark\\Quillmark Works", names, values));
    dir.Write("machine.reg",
              "REGEDIT4\n\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\Quillmark\\Quillmark Works]\n"
              "\"Installation Date\"=\"05-12-2004\"\n\"Installation Time\"=\"14:30:00\"\n"
              "\"Version_Major\"=dword:00000003\n\"Version_Minor\"=dword:0000000a\n");
    setenv("QMVERIFY_REGISTRY", (dir.text() + "/machine.reg").c_str(), 1);
    ASSERT_TRUE(
        qm::Platform().ReadMachineKey("SOFTWARE\\Quillmark\\Quillmark Works", names, values));
    ASSERT_EQ(4u, values.size());
    ExpectWorksValues(values);
    if (saved) {
        setenv("QMVERIFY_REGISTRY", savedValue.c_str(), 1);
    } else {
        unsetenv("QMVERIFY_REGISTRY");
    }
}
#endif

}  // namespace
