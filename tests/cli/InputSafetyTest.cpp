// What qmverify-cli says of input that could fool it or hang it, and of
// writes the list's own state refuses: a list it cannot read whole, one too
// large, a read-only one, the leftovers of killed writers, a registry file
// that cannot be read or a version cut short. Each ends at once with a
// message that names the file and the cause, status 2, and the list as it was.
#include <gtest/gtest.h>

#ifndef _WIN32
#include <sys/stat.h>
#include <unistd.h>
#endif

#include <chrono>
#include <string>

#include "CliFixture.h"
#include "FileOfSize.h"
#include "cli/Commands.h"
#include "core/ReleaseListFormat.h"
#include "platform/Platform.h"

namespace {

using namespace cli_test;

bool Says(const CliRun& run, const std::string& words) {
    return run.err.find(words) != std::string::npos;
}

TEST_F(CliTest, AddRefusesAListItCannotReadWholeAndNamesTheFirstLine) {
    const std::string list = "[qmw]\r\nFile1=tool.exe\r\nCRC1=0\r\nthis is no entry\r\n";
    WriteFile(ReleaseList(), list);
    const CliRun run = Add("lib.dll", "qmw");
    EXPECT_EQ(run.status, 2);
    EXPECT_TRUE(Says(run,
                     "1 line that qmverify cannot read as a section, an entry or a comment "
                     "(the first is line 4)"))
        << run.err;
    EXPECT_EQ(ReadFile(ReleaseList()), list);

    WriteFile(ReleaseList(), "; nothing but a comment\r\n");
    EXPECT_TRUE(Says(Add("lib.dll", "qmw"), "holds no section"));
}

// A list saved as "Unicode" or as UTF-8 with a byte-order mark gives the
// rows of the plain list, and a write keeps its encoding.
TEST_F(CliTest, AUnicodeListComparesAsThePlainOneAndStaysUnicode) {
    Build();
    const std::string plain = ReadFile(ReleaseList());
    const CliRun expected = Cli({"compare", "--format", "csv"});
    ASSERT_EQ(expected.status, 0) << expected.err;
    std::string utf16 = "\xFF\xFE";
    for (char c : plain) utf16 += std::string{c, '\0'};  // the list is ASCII
    for (const std::string& bytes : {utf16, "\xEF\xBB\xBF" + plain}) {
        WriteFile(ReleaseList(), bytes);
        const CliRun run = Cli({"compare", "--format", "csv"});
        EXPECT_EQ(run.status, 0) << run.err;
        EXPECT_EQ(run.out, expected.out);
    }
    WriteFile(ReleaseList(), utf16);
    const CliRun comment = Cli({"comment", "qmw", "1", "unicode"});
    EXPECT_EQ(comment.status, 0) << comment.err;
    const std::string written = ReadFile(ReleaseList());
    EXPECT_EQ(written.substr(0, 2), "\xFF\xFE");
    EXPECT_NE(written.find(std::string("u\0n\0i\0c\0o\0d\0e\0", 14)), std::string::npos);
}

TEST_F(CliTest, AListBeyondTheLimitIsToldByItsSizeEverywhere) {
    WriteFile(ReleaseList(), "[qmw]\r\nFile1=tool.exe\r\n");
    qm::test::GrowFileTo(ReleaseList(), qm::kMaxWholeFileSize + 1);
    const auto start = std::chrono::steady_clock::now();
    for (const CliRun& run :
         {Cli({"compare"}), Cli({"comment", "qmw", "1", "note"}), Add("lib.dll", "qmw")}) {
        EXPECT_EQ(run.status, 2);
        EXPECT_TRUE(Says(run, "larger than 64 MiB")) << run.err;
        EXPECT_TRUE(Says(run, "qmverify.lst")) << run.err;
        EXPECT_EQ(run.out, "");
    }
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(30));
    EXPECT_EQ(fs::file_size(ReleaseList()), qm::kMaxWholeFileSize + 1);
}

TEST_F(CliTest, AReadOnlyListIsToldByItsAttributeAndKeepsIt) {
    Build();
    const std::string list = ReadFile(ReleaseList());
    fs::permissions(ReleaseList(),
                    fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                    fs::perm_options::remove);
    for (const CliRun& run : {Cli({"comment", "qmw", "1", "note"}), Add("lib.dll", "qmw"),
                              Cli({"build", "--password-stdin"}, Password())}) {
        EXPECT_EQ(run.status, 2);
        EXPECT_TRUE(Says(run, "qmverify.lst has the read-only attribute")) << run.err;
        EXPECT_FALSE(Says(run, "administrator")) << run.err;
    }
    EXPECT_EQ(ReadFile(ReleaseList()), list);
    EXPECT_EQ(fs::status(ReleaseList()).permissions() & fs::perms::owner_write, fs::perms::none);
    fs::permissions(ReleaseList(), fs::perms::owner_write, fs::perm_options::add);
}

TEST_F(CliTest, AHundredLeftoversOfKilledWritersNoLongerEndEveryWrite) {
    Build();
    const auto leave = [this] {
        WriteFile(WindowsDirectory() / "qmverify.lst.tmp", "killed");
        for (int k = 2; k <= 100; ++k) {
            WriteFile(WindowsDirectory() / ("qmverify.lst.tmp" + std::to_string(k)), "killed");
        }
    };
    leave();
    CliRun run = Cli({"comment", "qmw", "1", "written"});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_FALSE(fs::exists(WindowsDirectory() / "qmverify.lst.tmp"));
    EXPECT_FALSE(fs::exists(WindowsDirectory() / "qmverify.lst.tmp100"));
    EXPECT_NE(ReadFile(ReleaseList()).find("Comment1=written"), std::string::npos);

    // What cannot be removed is named, with its folder.
    fs::create_directory(WindowsDirectory() / "qmverify.lst.tmp");
    for (int k = 2; k <= 100; ++k) {
        fs::create_directory(WindowsDirectory() / ("qmverify.lst.tmp" + std::to_string(k)));
    }
    run = Cli({"comment", "qmw", "1", "again"});
    EXPECT_EQ(run.status, 2);
    EXPECT_TRUE(Says(run, "no name for its temporary file is free in")) << run.err;
    EXPECT_TRUE(Says(run,
                     "qmverify.lst.tmp, qmverify.lst.tmp2, qmverify.lst.tmp3, "
                     "qmverify.lst.tmp4 and 96 more are in the way"))
        << run.err;
}

#ifndef _WIN32
TEST_F(CliTest, ARegistryFileThatCannotBeReadIsAnError) {
    const fs::path registry = m_base / "machine.reg";
    fs::create_directory(m_base / "folder.reg");
    ASSERT_EQ(0, mkfifo((m_base / "fifo.reg").c_str(), 0600));
    WriteFile(m_base / "huge.reg", "REGEDIT4\r\n");
    qm::test::GrowFileTo(m_base / "huge.reg", qm::kMaxWholeFileSize + 1);
    const std::pair<fs::path, const char*> cases[] = {
        {m_base / "missing.reg", "cannot find the file"},
        {m_base / "folder.reg", "no regular file"},
        {m_base / "fifo.reg", "no regular file"},
        {m_base / "huge.reg", "larger than 64 MiB"},
    };
    for (const auto& [path, reason] : cases) {
        const CliRun run = Cli({"release"}, "", {{"QMVERIFY_REGISTRY", path.string()}});
        EXPECT_EQ(run.status, 2) << path;
        EXPECT_TRUE(Says(run, path.string())) << run.err;
        EXPECT_TRUE(Says(run, reason)) << run.err;
        EXPECT_EQ(run.out, "");
    }

    WriteFile(registry,
              "REGEDIT4\r\n\r\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\Quillmark\\Quillmark Works]\r\n"
              "\"Version_Major\"=dword:00000003\r\n\"Version_Minor\"=dword:0001\r\n");
    const CliRun cut = Cli({"release"}, "", {{"QMVERIFY_REGISTRY", registry.string()}});
    EXPECT_EQ(cut.status, 2);
    EXPECT_TRUE(Says(cut,
                     "Version_Minor of HKEY_LOCAL_MACHINE\\SOFTWARE\\Quillmark\\Quillmark "
                     "Works is a DWORD cut short"))
        << cut.err;
    EXPECT_NE(cut.out.find("Installed QMW Release:      3\n"), std::string::npos) << cut.out;
}

// The writer that waited in vain is told who holds the lock: here this
// test process.
TEST_F(CliTest, AWriterThatCannotGetTheLockNamesItsHolder) {
    qm::SetPlatformRoots({WindowsDirectory().string(), Root().string()});
    std::unique_ptr<qm::IFileLock> held;
    ASSERT_EQ(qm::Platform().TryLockFile(qm::LockFilePath(WindowsDirectory().string()), held), 0u);
    const std::string message = qm::cli::WriteFailure("the release list", qm::kErrorLockViolation);
    held.reset();
    qm::SetPlatformRoots({});
    EXPECT_NE(message.find("process " + std::to_string(getpid())), std::string::npos) << message;
    EXPECT_NE(message.find("qmverify.lck"), std::string::npos) << message;
}

TEST_F(CliTest, ALockFileOthersCouldOpenIsToldAndTightened) {
    Build();
    const fs::path lock = WindowsDirectory() / "qmverify.lck";
    fs::permissions(lock, fs::perms::owner_all | fs::perms::group_read | fs::perms::others_read);
    const CliRun run = Cli({"comment", "qmw", "1", "note"});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_TRUE(Says(run, "note: the lock file")) << run.err;
    EXPECT_TRUE(Says(run, "now open to its owner only")) << run.err;
    EXPECT_EQ(fs::status(lock).permissions() & fs::perms::all,
              fs::perms::owner_read | fs::perms::owner_write);
}
#else
// A REG_DWORD of fewer than 4 bytes holds no number.
TEST_F(CliTest, AVersionCutShortInTheRegistryIsAnError) {
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyExA(HKEY_LOCAL_MACHINE, "SOFTWARE\\Quillmark\\Quillmark Works", 0,
                              nullptr, 0, KEY_SET_VALUE, nullptr, &key, nullptr),
              ERROR_SUCCESS);
    const DWORD major = 3;
    RegSetValueExA(key, "Version_Major", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&major), 4);
    RegSetValueExA(key, "Version_Minor", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&major), 2);
    RegCloseKey(key);
    const CliRun run = Cli({"release"});
    RegDeleteTreeA(HKEY_LOCAL_MACHINE, "SOFTWARE\\Quillmark");
    EXPECT_EQ(run.status, 2);
    EXPECT_TRUE(Says(run, "Version_Minor of HKEY_LOCAL_MACHINE")) << run.err;
}
#endif

}  // namespace
