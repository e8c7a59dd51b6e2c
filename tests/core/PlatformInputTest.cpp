// What the platform seam lets in: only regular files are read (a FIFO, a
// device, a socket or a directory is refused at once), whole files only up
// to their limit, masks match long names alone, the read-only attribute and
// the ANSI code page are seen as Windows sees them, and the lock file is the
// writers' own. Natively (the posix stand-in) and under Wine alike where the
// system has the thing tested.
#include <gtest/gtest.h>

#ifdef _WIN32
#include <windows.h>
#else
#include <fcntl.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>
#endif

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "FileOfSize.h"
#include "core/TempDirectory.h"
#include "platform/FileMask.h"
#include "platform/Platform.h"

namespace qm {
namespace {

namespace fs = std::filesystem;
using test::TempDirectory;

std::vector<std::string> Found(const std::string& pattern) {
    std::vector<std::string> names;
    FoundEntry entry;
    auto search = Platform().FindFirst(pattern, entry);
    if (!search) return names;
    do {
        names.push_back(entry.name);
    } while (search->Next(entry));
    std::sort(names.begin(), names.end());
    return names;
}

// Every way the seam reads a file refuses `path` as no regular file, and
// does so at once.
void ExpectRefusedAsNoFile(const std::string& path, const std::string& copyTarget) {
    SCOPED_TRACE(path);
    const auto start = std::chrono::steady_clock::now();
    std::unique_ptr<IReadFile> file;
    EXPECT_EQ(kErrorNotAFile, Platform().OpenForReading(path, file));
    EXPECT_FALSE(file);
    std::string contents = "stale";
    EXPECT_EQ(ReadResult::Failed, Platform().ReadWholeFile(path, contents));
    EXPECT_EQ("", contents);
    EXPECT_EQ(kErrorNotAFile, Platform().CopyFileKeepingDate(path, copyTarget));
    EXPECT_FALSE(Platform().FileExists(copyTarget));
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(2));
}

TEST(PlatformInput, OnlyRegularFilesAreRead) {
    TempDirectory dir;
    dir.MakeDirectory("folder");
    ExpectRefusedAsNoFile(dir["folder"], dir["copy"]);
    EXPECT_FALSE(Platform().ErrorText(kErrorNotAFile).empty());
}

#ifndef _WIN32
// A FIFO would block the open until a writer comes; /dev/zero (or a link to
// it) would be read without end; a socket cannot be opened at all.
TEST(PlatformInput, PosixRefusesPipesDevicesAndSocketsWithoutBlocking) {
    TempDirectory dir;
    ASSERT_EQ(0, mkfifo((dir.text() + "/fifo").c_str(), 0600));
    fs::create_symlink("/dev/zero", dir.path() / "zero-link");
    const int listener = socket(AF_UNIX, SOCK_STREAM, 0);
    ASSERT_GE(listener, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    const std::string socketPath = dir.text() + "/socket";
    ASSERT_LT(socketPath.size(), sizeof address.sun_path);
    socketPath.copy(address.sun_path, socketPath.size());
    ASSERT_EQ(0, bind(listener, reinterpret_cast<sockaddr*>(&address), sizeof address));

    for (const std::string& path :
         {dir.text() + "/fifo", std::string("/dev/zero"), dir.text() + "/zero-link", socketPath}) {
        ExpectRefusedAsNoFile(path, dir.text() + "/copy");
    }
    close(listener);

    // A link to a regular file is that file.
    dir.Write("real.ini", "[s]\r\nk=1\r\n");
    fs::create_symlink(dir.path() / "real.ini", dir.path() / "link.ini");
    std::string contents;
    EXPECT_EQ(ReadResult::Ok, Platform().ReadWholeFile(dir.text() + "/link.ini", contents));
    EXPECT_EQ("[s]\r\nk=1\r\n", contents);
    std::unique_ptr<IReadFile> file;
    EXPECT_EQ(kErrorSuccess, Platform().OpenForReading(dir.text() + "/link.ini", file));
    EXPECT_EQ(kErrorSuccess,
              Platform().CopyFileKeepingDate(dir.text() + "/link.ini", dir.text() + "/copy"));
    EXPECT_EQ("[s]\r\nk=1\r\n", dir.Contents("copy"));
}
#endif

TEST(PlatformInput, WholeFilesStopAtTheirLimitUnread) {
    TempDirectory dir;
    dir.Write("huge.lst", "");
    qm::test::GrowFileTo(dir.path() / "huge.lst", kMaxWholeFileSize + 1);
    std::string contents = "stale";
    EXPECT_EQ(ReadResult::TooLarge, Platform().ReadWholeFile(dir["huge.lst"], contents));
    EXPECT_TRUE(contents.empty());
    EXPECT_NE(std::string::npos,
              Platform().ErrorText(kErrorFileTooLarge).find(kMaxWholeFileSizeText));
    // Program files have no such limit: they are read in pieces.
    std::unique_ptr<IReadFile> file;
    EXPECT_EQ(kErrorSuccess, Platform().OpenForReading(dir["huge.lst"], file));
}

// Windows' own search also takes names whose 8.3 short name matches
// (TOOL~1.EXE for tool.exe_old); the seam keeps long names that match.
TEST(PlatformInput, MasksMatchLongNamesOnly) {
    TempDirectory dir;
    for (const char* name :
         {"tool.exe", "tool.exe_old", "tool.exe1", "app.dll", "app.dllx", "run.bat", "run.batch"}) {
        dir.Write(name, "x");
    }
    EXPECT_EQ((std::vector<std::string>{"tool.exe"}), Found(dir["*.exe"]));
    EXPECT_EQ((std::vector<std::string>{"app.dll"}), Found(dir["*.DLL"]));
    EXPECT_EQ((std::vector<std::string>{"run.bat"}), Found(dir["*.bat"]));
    EXPECT_TRUE(Found(dir["*.cmd"]).empty());

    EXPECT_TRUE(NameMatchesMask("*.exe", "TOOL.EXE"));
    EXPECT_TRUE(NameMatchesMask("*.*", "no-dot"));
    EXPECT_TRUE(NameMatchesMask("a?c*", "abcdef"));
    EXPECT_FALSE(NameMatchesMask("*.exe", "tool.exe_old"));
    EXPECT_FALSE(NameMatchesMask("a?c", "ac"));
}

TEST(PlatformInput, TheReadOnlyAttributeIsSeen) {
    TempDirectory dir;
    dir.Write("list.lst", "x");
    dir.MakeDirectory("folder");
    EXPECT_FALSE(Platform().IsReadOnly(dir["list.lst"]));
    fs::permissions(dir.path() / "list.lst",
                    fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                    fs::perm_options::remove);
    EXPECT_TRUE(Platform().IsReadOnly(dir["list.lst"]));
    EXPECT_FALSE(Platform().IsReadOnly(dir["missing.lst"]));
    EXPECT_FALSE(Platform().IsReadOnly(dir["folder"]));
    fs::permissions(dir.path() / "list.lst", fs::perms::owner_write, fs::perm_options::add);
}

// The ANSI code page of a Western Windows, and the stand-in's model of it:
// what it spells comes back as it was, with no best fit for what it does
// not ("ō" is no "o"), and bytes that are no UTF-8 pass the stand-in's own
// code page as they are.
TEST(PlatformInput, TextBetweenUtf8AndTheAnsiCodePage) {
#ifdef _WIN32
    if (GetACP() != 1252) GTEST_SKIP() << "the ANSI code page is " << GetACP();
#else
    EXPECT_EQ(setenv("QMVERIFY_ANSI_CODE_PAGE", "", 1), 0);
    std::string bytes;
    EXPECT_TRUE(Platform().Utf8ToAnsi("t\xC5\x8Dol \xe9", bytes));
    EXPECT_EQ(bytes, "t\xC5\x8Dol \xe9");
    EXPECT_EQ(setenv("QMVERIFY_ANSI_CODE_PAGE", "1252", 1), 0);
#endif
    std::string text;
    EXPECT_TRUE(Platform().AnsiToUtf8("caf\xE9 \x80 \x81", text));
    EXPECT_EQ(text, "caf\xC3\xA9 \xE2\x82\xAC \xC2\x81");
    std::string back;
    EXPECT_TRUE(Platform().Utf8ToAnsi(text, back));
    EXPECT_EQ(back, "caf\xE9 \x80 \x81");
    for (const char* unspelled : {"t\xC5\x8Dol.exe", "\xD0\xB5vil.dll", "\xE8\xA9\x95.exe"}) {
        EXPECT_FALSE(Platform().Utf8ToAnsi(unspelled, back)) << unspelled;
    }
    EXPECT_FALSE(Platform().Utf8ToAnsi("t\xC5\x8Dol", back));
    EXPECT_EQ(back, "t?ol");
#ifndef _WIN32
    unsetenv("QMVERIFY_ANSI_CODE_PAGE");
#endif
}

#ifndef _WIN32
// A file that is not in the page cache is read past it (O_DIRECT): the same
// bytes, in pieces of any size and alignment, up to an end that is no
// multiple of a block, and its facts as the open found them.
TEST(PlatformInput, PosixReadsAFileOutsideThePageCacheWhole) {
    TempDirectory dir;
    std::string bytes(3 * 256 * 1024 + 4099, '\0');
    for (size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<char>(i * 131 >> 7);
    dir.Write("cold.exe", bytes);
    const std::string path = (dir.path() / "cold.exe").string();
    for (const size_t piece : {size_t{256 * 1024}, size_t{4096}, size_t{1000}}) {
        const int fd = open(path.c_str(), O_RDONLY);
        ASSERT_GE(fd, 0);
        fdatasync(fd);
        posix_fadvise(fd, 0, 0, POSIX_FADV_DONTNEED);  // out of the page cache
        close(fd);
        std::unique_ptr<IReadFile> file;
        ASSERT_EQ(Platform().OpenForReading(path, file), kErrorSuccess);
        FileFacts facts;
        ASSERT_TRUE(file->Facts(facts));
        EXPECT_EQ(facts.size, bytes.size());
        // Aligned as the comparison's buffers are, and one byte off.
        std::unique_ptr<char[]> storage(new char[piece + 8192]);
        char* aligned = storage.get() + (4096 - reinterpret_cast<uintptr_t>(storage.get()) % 4096);
        char* buffer = piece == 1000 ? aligned + 1 : aligned;
        std::string read;
        for (size_t count = 1; count > 0;) {
            ASSERT_TRUE(file->Read(buffer, piece, count)) << piece;
            read.append(buffer, count);
        }
        EXPECT_TRUE(read == bytes) << "pieces of " << piece;
    }
}

TEST(PlatformInput, PosixLockFileBelongsToItsOwnerAndTellsItsHolder) {
    TempDirectory dir;
    const std::string path = dir.text() + "/qmverify.lck";
    {
        std::unique_ptr<IFileLock> lock;
        ASSERT_EQ(kErrorSuccess, Platform().TryLockFile(path, lock));
        EXPECT_EQ("", lock->Notice());
        struct stat info;
        ASSERT_EQ(0, stat(path.c_str(), &info));
        EXPECT_EQ(0600u, info.st_mode & 0777);

        // Another holder is named by its process.
        std::unique_ptr<IFileLock> second;
        EXPECT_EQ(kErrorLockViolation, Platform().TryLockFile(path, second));
        const std::string holder = Platform().LockHolder(path);
        EXPECT_EQ(0u, holder.find("process " + std::to_string(getpid()) + " (")) << holder;
    }
    EXPECT_EQ("", Platform().LockHolder(path));

    // One that others can open is told and tightened.
    ASSERT_EQ(0, chmod(path.c_str(), 0644));
    std::unique_ptr<IFileLock> lock;
    ASSERT_EQ(kErrorSuccess, Platform().TryLockFile(path, lock));
    EXPECT_NE(std::string::npos, lock->Notice().find("0644")) << lock->Notice();
    struct stat info;
    ASSERT_EQ(0, stat(path.c_str(), &info));
    EXPECT_EQ(0600u, info.st_mode & 0777);
}
#endif

}  // namespace
}  // namespace qm
