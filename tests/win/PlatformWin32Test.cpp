// The Windows side of the platform seam where it meets what only Windows
// has: sharing modes, the drive root, the registry and its two views.
#include <windows.h>

#include <aclapi.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "core/RegistryValues.h"
#include "core/TempDirectory.h"
#include "platform/Platform.h"
#include "platform/win32/Files.h"

namespace {

namespace fs = std::filesystem;

using qm::test::Dword;
using qm::test::ExpectWorksValues;
using qm::test::RootsGuard;
using TempDir = qm::test::TempDirectory;

// A handle of another opener, closed at the end of the test.
class Handle {
public:
    explicit Handle(HANDLE handle) : m_handle(handle) {}
    ~Handle() {
        if (m_handle != INVALID_HANDLE_VALUE) CloseHandle(m_handle);
    }
    Handle(const Handle&) = delete;
    Handle& operator=(const Handle&) = delete;
    bool valid() const { return m_handle != INVALID_HANDLE_VALUE; }

private:
    HANDLE m_handle;
};

std::string ReadAll(qm::IReadFile& file) {
    std::string contents;
    char buffer[4096];
    size_t count = 0;
    while (file.Read(buffer, sizeof buffer, count) && count > 0) contents.append(buffer, count);
    return contents;
}

// The accounts that the lock file's DACL lets in, by their SDDL names, and
// whether the DACL is protected from inheriting the folder's.
std::vector<std::string> AllowedAccounts(const std::string& path, bool& isProtected) {
    PACL dacl = nullptr;
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    std::vector<std::string> accounts;
    isProtected = false;
    if (GetNamedSecurityInfoA(path.c_str(), SE_FILE_OBJECT, DACL_SECURITY_INFORMATION, nullptr,
                              nullptr, &dacl, nullptr, &descriptor) != ERROR_SUCCESS) {
        return {"<unreadable>"};
    }
    SECURITY_DESCRIPTOR_CONTROL control = 0;
    DWORD revision = 0;
    GetSecurityDescriptorControl(descriptor, &control, &revision);
    isProtected = (control & SE_DACL_PROTECTED) != 0;
    for (DWORD i = 0; dacl != nullptr && i < dacl->AceCount; ++i) {
        void* entry = nullptr;
        if (!GetAce(dacl, i, &entry)) continue;
        if (static_cast<ACE_HEADER*>(entry)->AceType != ACCESS_ALLOWED_ACE_TYPE) continue;
        BYTE administrators[SECURITY_MAX_SID_SIZE];
        BYTE system[SECURITY_MAX_SID_SIZE];
        BYTE owner[SECURITY_MAX_SID_SIZE];
        DWORD size = sizeof administrators;
        CreateWellKnownSid(WinBuiltinAdministratorsSid, nullptr, administrators, &size);
        size = sizeof system;
        CreateWellKnownSid(WinLocalSystemSid, nullptr, system, &size);
        size = sizeof owner;
        CreateWellKnownSid(WinCreatorOwnerRightsSid, nullptr, owner, &size);
        PSID sid = &static_cast<ACCESS_ALLOWED_ACE*>(entry)->SidStart;
        accounts.push_back(EqualSid(sid, administrators) ? "BA"
                           : EqualSid(sid, system)       ? "SY"
                           : EqualSid(sid, owner)        ? "OW"
                                                         : "other");
    }
    LocalFree(descriptor);
    return accounts;
}

// No standard user may open the lock file, so none can take the lock and
// keep every writer out: Administrators, SYSTEM and its owner (who made it)
// only, not inherited from the Windows directory; an older one that others
// can open is tightened and told. Wine keeps no
// security descriptor of files (it makes one up from the owner), so this
// shows only on Windows.
TEST(PlatformWin32, TheLockFileIsOpenToItsWritersOnly) {
    TempDir dir;
    const std::string path = dir["qmverify.lck"];
    bool isProtected = false;
    {
        std::unique_ptr<qm::IFileLock> lock;
        ASSERT_EQ(0u, qm::Platform().TryLockFile(path, lock));
        EXPECT_EQ("", lock->Notice());
    }
    const std::vector<std::string> made = AllowedAccounts(path, isProtected);
    if (!isProtected) GTEST_SKIP() << "this system keeps no protected DACL of a file (Wine)";
    EXPECT_EQ((std::vector<std::string>{"BA", "SY", "OW"}), made);

    ASSERT_TRUE(DeleteFileA(path.c_str()));
    dir.Write("qmverify.lck", "");  // as an earlier version made it
    // Every user may read what the temporary folder holds: as in the
    // Windows directory.
    EXPLICIT_ACCESS_A everyone{};
    BuildExplicitAccessWithNameA(&everyone, const_cast<char*>("Users"), GENERIC_READ, GRANT_ACCESS,
                                 NO_INHERITANCE);
    PACL open = nullptr;
    ASSERT_EQ(ERROR_SUCCESS, SetEntriesInAclA(1, &everyone, nullptr, &open));
    ASSERT_EQ(ERROR_SUCCESS,
              SetNamedSecurityInfoA(const_cast<char*>(path.c_str()), SE_FILE_OBJECT,
                                    DACL_SECURITY_INFORMATION, nullptr, nullptr, open, nullptr));
    LocalFree(open);
    std::unique_ptr<qm::IFileLock> lock;
    ASSERT_EQ(0u, qm::Platform().TryLockFile(path, lock));
    EXPECT_NE(std::string::npos, lock->Notice().find("could be opened by other users"))
        << lock->Notice();
    EXPECT_EQ((std::vector<std::string>{"BA", "SY", "OW"}), AllowedAccounts(path, isProtected));
    EXPECT_TRUE(isProtected);
}

// ---------------------------------------------------------------------------
// Sharing

TEST(PlatformWin32, AFileOpenForWritingElsewhereCannotBeRead) {
    TempDir dir;
    dir.Write("busy.exe", "busy");
    Handle writer(CreateFileA(dir["busy.exe"].c_str(), GENERIC_WRITE,
                              FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr));
    ASSERT_TRUE(writer.valid());
    std::unique_ptr<qm::IReadFile> file;
    EXPECT_EQ(qm::kErrorSharingViolation, qm::Platform().OpenForReading(dir["busy.exe"], file));
    EXPECT_FALSE(file);
}

DWORD g_flushAnswer = ERROR_SUCCESS;

BOOL WINAPI RefusedFlush(HANDLE) {
    SetLastError(g_flushAnswer);
    return FALSE;
}

// A file system that keeps no flush (as some network redirectors answer)
// has taken the whole file: the new file stands. Any other failed flush
// fails the write and leaves no file behind.
TEST(PlatformWin32, AFlushTheFileSystemDoesNotKeepLeavesTheNewFileStanding) {
    TempDir dir;
    const qm::win32::FlushFile before = qm::win32::SetFlushFile(&RefusedFlush);
    for (DWORD answer : {ERROR_INVALID_FUNCTION, ERROR_NOT_SUPPORTED, ERROR_IO_DEVICE}) {
        g_flushAnswer = answer;
        const std::string path = dir["new" + std::to_string(answer) + ".lst"];
        const bool stands = answer != ERROR_IO_DEVICE;
        EXPECT_EQ(qm::Platform().CreateNewFile(path, "whole"),
                  stands ? qm::kErrorSuccess : qm::kErrorIoDevice)
            << answer;
        std::string contents;
        EXPECT_EQ(qm::Platform().ReadWholeFile(path, contents),
                  stands ? qm::ReadResult::Ok : qm::ReadResult::Missing)
            << answer;
        EXPECT_EQ(contents, stands ? "whole" : "") << answer;
    }
    qm::win32::SetFlushFile(before);
}

TEST(PlatformWin32, AFileThatOthersOnlyReadOpensFine) {
    TempDir dir;
    dir.Write("read.exe", "contents");
    Handle reader(CreateFileA(dir["read.exe"].c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    ASSERT_TRUE(reader.valid());
    std::unique_ptr<qm::IReadFile> file;
    ASSERT_EQ(0u, qm::Platform().OpenForReading(dir["read.exe"], file));
    EXPECT_EQ("contents", ReadAll(*file));
}

TEST(PlatformWin32, AFileOpenedWithoutSharingCannotBeRead) {
    TempDir dir;
    dir.Write("locked.exe", "locked");
    Handle locker(CreateFileA(dir["locked.exe"].c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr));
    ASSERT_TRUE(locker.valid());
    std::unique_ptr<qm::IReadFile> file;
    EXPECT_EQ(qm::kErrorSharingViolation, qm::Platform().OpenForReading(dir["locked.exe"], file));
}

TEST(PlatformWin32, WhileTheSeamReadsAFileNobodyMayWriteIt) {
    TempDir dir;
    dir.Write("tool.exe", "tool");
    std::unique_ptr<qm::IReadFile> file;
    ASSERT_EQ(0u, qm::Platform().OpenForReading(dir["tool.exe"], file));
    Handle writer(CreateFileA(dir["tool.exe"].c_str(), GENERIC_WRITE,
                              FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr));
    EXPECT_FALSE(writer.valid());
    EXPECT_EQ(static_cast<DWORD>(ERROR_SHARING_VIOLATION), GetLastError());
}

// ---------------------------------------------------------------------------
// Roots

TEST(PlatformWin32, WithoutOverrideTheWindowsDirectoryIsTheSystemOne) {
    char buffer[MAX_PATH];
    UINT length = GetWindowsDirectoryA(buffer, MAX_PATH);
    ASSERT_GT(length, 0u);
    EXPECT_EQ(std::string(buffer, length), qm::Platform().WindowsDirectory());
}

TEST(PlatformWin32, ShownPathsDropTheDotsThePathRulesDrop) {
    EXPECT_EQ("C:\\WINDOWS\\qmverify.lst", qm::ShownPath("C:\\WINDOWS.\\qmverify.lst"));
    EXPECT_EQ("C:\\qmverify.lst", qm::ShownPath("C:\\.\\qmverify.lst"));
    EXPECT_EQ("\\qmw\\tool.exe", qm::ShownPath("\\qmw.\\tool.exe"));
    EXPECT_EQ("..\\a\\b", qm::ShownPath("..\\a.\\b"));
    EXPECT_EQ("C:.\\a", qm::ShownPath("C:.\\a"));
}

TEST(PlatformWin32, TheDriveRootTakesTheRootedPaths) {
    RootsGuard guard;
    TempDir root;
    root.MakeDirectory("qmw");
    root.Write("qmw\\x", "x");

    EXPECT_FALSE(qm::Platform().FileExists("\\qmw.\\x"));
    qm::SetPlatformRoots(qm::PlatformRoots{"", root.text() + "\\"});
    EXPECT_TRUE(qm::Platform().FileExists("\\qmw.\\x"));
    EXPECT_TRUE(qm::Platform().FileExists("/qmw/x"));
    std::unique_ptr<qm::IReadFile> file;
    ASSERT_EQ(0u, qm::Platform().OpenForReading("\\qmw.\\x", file));
    EXPECT_EQ("x", ReadAll(*file));
    file.reset();

    // Absolute and relative paths keep their meaning.
    EXPECT_TRUE(qm::Platform().FileExists(root.text() + "\\qmw.\\x"));
    EXPECT_FALSE(qm::Platform().FileExists("qmw.\\x"));

    qm::FoundEntry entry;
    auto search = qm::Platform().FindFirst("\\qmw.\\*", entry);
    ASSERT_TRUE(search);
    bool found = false;
    do {
        found = found || entry.name == "x";
    } while (search->Next(entry));
    EXPECT_TRUE(found);
    search.reset();

    EXPECT_EQ(0u, qm::Platform().MoveReplace("\\qmw.\\x", "\\qmw.\\y"));
    EXPECT_TRUE(fs::exists(fs::path(root.text()) / "qmw" / "y"));
    EXPECT_TRUE(qm::Platform().RemoveFile("\\qmw.\\y"));
    EXPECT_FALSE(fs::exists(fs::path(root.text()) / "qmw" / "y"));
}

// ---------------------------------------------------------------------------
// Registry

const char kTestKey[] = "SOFTWARE\\QmverifyTest";

// Creates a key below HKEY_LOCAL_MACHINE in the given view and removes the
// test's keys at the end.
class RegistryTest : public ::testing::Test {
protected:
    void TearDown() override {
        for (REGSAM view : {REGSAM(0), REGSAM(KEY_WOW64_32KEY), REGSAM(KEY_WOW64_64KEY)}) {
            RegDeleteTreeKey(view);
        }
    }

    static void RegDeleteTreeKey(REGSAM view) {
        HKEY key = nullptr;
        if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kTestKey, 0, KEY_ALL_ACCESS | view, &key) ==
            ERROR_SUCCESS) {
            RegDeleteTreeA(key, nullptr);
            RegCloseKey(key);
            RegDeleteKeyExA(HKEY_LOCAL_MACHINE, kTestKey, view, 0);
        }
    }

    static HKEY Create(const std::string& path, REGSAM view) {
        HKEY key = nullptr;
        LONG result = RegCreateKeyExA(HKEY_LOCAL_MACHINE, path.c_str(), 0, nullptr, 0,
                                      KEY_ALL_ACCESS | view, nullptr, &key, nullptr);
        return result == ERROR_SUCCESS ? key : nullptr;
    }

    static void SetText(HKEY key, const char* name, const std::string& text, DWORD type = REG_SZ) {
        ASSERT_EQ(ERROR_SUCCESS,
                  RegSetValueExA(key, name, 0, type, reinterpret_cast<const BYTE*>(text.c_str()),
                                 static_cast<DWORD>(text.size() + 1)));
    }

    static void SetDword(HKEY key, const char* name, DWORD number) {
        ASSERT_EQ(ERROR_SUCCESS,
                  RegSetValueExA(key, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&number),
                                 sizeof number));
    }
};

TEST_F(RegistryTest, ReadsTextsAndNumbersOfAMachineKey) {
    std::string path = std::string(kTestKey) + "\\Quillmark Works";
    HKEY key = Create(path, 0);
    ASSERT_NE(nullptr, key);
    std::string longText(300, 'L');
    SetText(key, "Installation Date", "05-12-2004");
    SetText(key, "Installation Time", "14:30:00");
    SetDword(key, "Version_Major", 3);
    SetDword(key, "Version_Minor", 10);
    SetText(key, "Long", longText);
    SetText(key, "Expand", "%WINDIR%", REG_EXPAND_SZ);
    const BYTE binary[] = {1, 2, 3};
    ASSERT_EQ(ERROR_SUCCESS, RegSetValueExA(key, "Binary", 0, REG_BINARY, binary, sizeof binary));
    RegCloseKey(key);

    std::vector<qm::RegistryValue> values;
    ASSERT_TRUE(
        qm::Platform().ReadMachineKey(path,
                                      {"Installation Date", "installation time", "Version_Major",
                                       "Version_Minor", "Long", "Expand", "Binary", "Missing"},
                                      values));
    ASSERT_EQ(8u, values.size());
    ExpectWorksValues(values);
    EXPECT_EQ(qm::RegistryValue::Type::Text, values[4].type);
    EXPECT_EQ(longText, values[4].data);
    EXPECT_EQ(qm::RegistryValue::Type::Other, values[5].type);
    EXPECT_EQ(qm::RegistryValue::Type::Other, values[6].type);
    EXPECT_EQ(std::string("\x01\x02\x03"), values[6].data);
    EXPECT_EQ(qm::RegistryValue::Type::Missing, values[7].type);
}

TEST_F(RegistryTest, AMissingKeyGivesNothing) {
    std::vector<qm::RegistryValue> values;
    EXPECT_FALSE(qm::Platform().ReadMachineKey(std::string(kTestKey) + "\\Absent",
                                               {"Version_Major"}, values));
    EXPECT_TRUE(values.empty());
}

TEST_F(RegistryTest, FallsBackToTheOtherViewOfTheRegistry) {
#ifdef _WIN64
    const REGSAM kOtherView = KEY_WOW64_32KEY;
#else
    const REGSAM kOtherView = KEY_WOW64_64KEY;
#endif
    std::string path = std::string(kTestKey) + "\\Other View";
    HKEY key = Create(path, kOtherView);
    ASSERT_NE(nullptr, key);
    SetDword(key, "Version_Major", 7);
    RegCloseKey(key);

    // Only worth asserting where the two views differ (a 64-bit system).
    HKEY own = nullptr;
    bool separateViews =
        RegOpenKeyExA(HKEY_LOCAL_MACHINE, path.c_str(), 0, KEY_QUERY_VALUE, &own) != ERROR_SUCCESS;
    if (own) RegCloseKey(own);
    if (!separateViews) GTEST_SKIP() << "this registry has one view only";

    std::vector<qm::RegistryValue> values;
    ASSERT_TRUE(qm::Platform().ReadMachineKey(path, {"Version_Major"}, values));
    ASSERT_EQ(1u, values.size());
    EXPECT_EQ(qm::RegistryValue::Type::Dword, values[0].type);
    EXPECT_EQ(Dword(7), values[0].data);
}

TEST_F(RegistryTest, TheOwnViewComesFirst) {
#ifdef _WIN64
    const REGSAM kOtherView = KEY_WOW64_32KEY;
#else
    const REGSAM kOtherView = KEY_WOW64_64KEY;
#endif
    std::string path = std::string(kTestKey) + "\\Both Views";
    HKEY other = Create(path, kOtherView);
    ASSERT_NE(nullptr, other);
    SetDword(other, "Version_Major", 1);
    RegCloseKey(other);
    HKEY own = Create(path, 0);
    ASSERT_NE(nullptr, own);
    SetDword(own, "Version_Major", 2);
    RegCloseKey(own);

    std::vector<qm::RegistryValue> values;
    ASSERT_TRUE(qm::Platform().ReadMachineKey(path, {"Version_Major"}, values));
    EXPECT_EQ(Dword(2), values[0].data);
}

// ---------------------------------------------------------------------------
// Text order

TEST(PlatformWin32, CompareTextIsTheRuntimeLibraryOrder) {
    EXPECT_EQ(0, qm::CompareText("Updated", "Updated"));
    EXPECT_LT(qm::CompareText("Identical", "Updated"), 0);
    EXPECT_GT(qm::CompareText("b", "B"), 0);
}

}  // namespace
