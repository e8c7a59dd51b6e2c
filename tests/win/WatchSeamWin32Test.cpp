// The Windows side of what a run without a person needs: the event source's
// key, events, tasks of the Task Scheduler, signatures, the program's path,
// the environment and a folder that standard users only read.
#include <windows.h>

#include <aclapi.h>
#include <gtest/gtest.h>

#include <string>

#include "core/TempDirectory.h"
#include "platform/Platform.h"

namespace {

using TempDir = qm::test::TempDirectory;

constexpr wchar_t kSourceKey[] =
    L"SYSTEM\\CurrentControlSet\\Services\\EventLog\\Application\\qmverify";

// Starts the Task Scheduler service where it is not running (Wine starts it
// on demand only); false when it cannot be started.
bool SchedulerRunning() {
    SC_HANDLE manager = OpenSCManagerW(nullptr, nullptr, SC_MANAGER_CONNECT);
    if (manager == nullptr) return false;
    SC_HANDLE service = OpenServiceW(manager, L"Schedule", SERVICE_START | SERVICE_QUERY_STATUS);
    bool running = false;
    if (service != nullptr) {
        StartServiceW(service, 0, nullptr);  // fails harmlessly when it runs
        for (int wait = 0; wait < 100 && !running; ++wait) {
            SERVICE_STATUS status{};
            running =
                QueryServiceStatus(service, &status) && status.dwCurrentState == SERVICE_RUNNING;
            if (!running) Sleep(50);
        }
        CloseServiceHandle(service);
    }
    CloseServiceHandle(manager);
    return running;
}

TEST(WatchSeamWin32, TheEventSourceKeyIsWrittenAndRemovedWhole) {
    ASSERT_EQ(qm::Platform().InstallEventSource(
                  "C:\\Program Files\\Quillmark\\qmverify\\qmverify-cli.exe"),
              0u);
    HKEY key = nullptr;
    ASSERT_EQ(RegOpenKeyExW(HKEY_LOCAL_MACHINE, kSourceKey, 0, KEY_QUERY_VALUE, &key),
              ERROR_SUCCESS);
    wchar_t file[MAX_PATH] = L"";
    DWORD size = sizeof file;
    DWORD type = 0;
    EXPECT_EQ(RegQueryValueExW(key, L"EventMessageFile", nullptr, &type,
                               reinterpret_cast<BYTE*>(file), &size),
              ERROR_SUCCESS);
    EXPECT_EQ(type, static_cast<DWORD>(REG_SZ));
    EXPECT_STREQ(file, L"C:\\Program Files\\Quillmark\\qmverify\\qmverify-cli.exe");
    DWORD types = 0;
    size = sizeof types;
    EXPECT_EQ(RegQueryValueExW(key, L"TypesSupported", nullptr, &type,
                               reinterpret_cast<BYTE*>(&types), &size),
              ERROR_SUCCESS);
    EXPECT_EQ(type, static_cast<DWORD>(REG_DWORD));
    EXPECT_EQ(types, 7u);
    RegCloseKey(key);
    // Wine's event log takes every event and keeps none; Windows keeps it.
    EXPECT_EQ(qm::Platform().WriteEvent(qm::EventType::Information, 0x400003E8, {"1", "t\xe4st"}),
              0u);

    EXPECT_EQ(qm::Platform().RemoveEventSource(), 0u);
    EXPECT_EQ(RegOpenKeyExW(HKEY_LOCAL_MACHINE, kSourceKey, 0, KEY_QUERY_VALUE, &key),
              ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(qm::Platform().RemoveEventSource(), 0u);  // nothing left to remove
}

TEST(WatchSeamWin32, ATaskIsRegisteredReadAndDeleted) {
    if (!SchedulerRunning()) GTEST_SKIP() << "the Task Scheduler service does not run here";
    const std::string definition =
        "<?xml version=\"1.0\" encoding=\"UTF-16\"?>\n"
        "<Task version=\"1.2\" xmlns=\"http://schemas.microsoft.com/windows/2004/02/mit/task\">\n"
        "  <RegistrationInfo><Description>qmverify seam test</Description></RegistrationInfo>\n"
        "  <Principals><Principal "
        "id=\"Author\"><UserId>S-1-5-18</UserId></Principal></Principals>\n"
        "  <Settings><Enabled>false</Enabled></Settings>\n"
        "  <Actions Context=\"Author\"><Exec><Command>cmd.exe</Command></Exec></Actions>\n"
        "</Task>\n";
    ASSERT_EQ(qm::Platform().RegisterTask("qmverify-seam-test", definition), 0u);
    std::string stored;
    EXPECT_EQ(qm::Platform().ReadTask("qmverify-seam-test", stored), 0u);
    EXPECT_NE(stored.find("qmverify seam test"), std::string::npos) << stored;
    EXPECT_EQ(qm::Platform().DeleteTask("qmverify-seam-test"), 0u);
    EXPECT_EQ(qm::Platform().ReadTask("qmverify-seam-test", stored), qm::kErrorFileNotFound);
    EXPECT_EQ(stored, "");
    EXPECT_EQ(qm::Platform().DeleteTask("qmverify-seam-test"), qm::kErrorFileNotFound);
}

TEST(WatchSeamWin32, UnsignedProgramsFilesOfNoSignedKindAndAMissingFile) {
    const std::string program = qm::Platform().ProgramPath();
    char module[MAX_PATH] = "";
    GetModuleFileNameA(nullptr, module, MAX_PATH);
    EXPECT_EQ(program, module);
    const qm::SignatureCheck own = qm::Platform().FileSignature(program);
    EXPECT_EQ(own.state, qm::FileSignatureState::Unsigned);
    EXPECT_EQ(own.answer, 0x800B0100u);  // TRUST_E_NOSIGNATURE
    EXPECT_EQ(own.signer, "");

    // A listed path is taken below the drive root in force, as every file is.
    TempDir dir;
    CopyFileA(program.c_str(), dir["tool.exe"].c_str(), FALSE);
    qm::SetPlatformRoots({"", dir.text()});
    EXPECT_EQ(qm::Platform().FileSignature("\\tool.exe").state, qm::FileSignatureState::Unsigned);
    EXPECT_EQ(qm::Platform().FileSignature("\\gone.exe").state, qm::FileSignatureState::Unknown);
    // Files of no kind that carries a signature, long and short.
    dir.Write("run.bat", "@echo off\r\nexit /b 0\r\n");
    dir.Write("ab.dll", "ab");
    EXPECT_EQ(qm::Platform().FileSignature("\\run.bat").state, qm::FileSignatureState::Unsigned);
    EXPECT_EQ(qm::Platform().FileSignature("\\ab.dll").state, qm::FileSignatureState::Unsigned);
    qm::SetPlatformRoots({});
}

TEST(WatchSeamWin32, TheEnvironmentAndAFolderThatStandardUsersOnlyRead) {
    char root[MAX_PATH] = "";
    ASSERT_GT(GetEnvironmentVariableA("SystemRoot", root, MAX_PATH), 0u);
    EXPECT_EQ(qm::Platform().ExpandEnvironment("%SystemRoot%\\x %QM_NOT_SET%"),
              std::string(root) + "\\x %QM_NOT_SET%");

    TempDir dir;
    const std::string folder = dir["metrics"];
    EXPECT_EQ(qm::Platform().CreateProtectedDirectory(folder), 0u);
    EXPECT_NE(GetFileAttributesA(folder.c_str()) & FILE_ATTRIBUTE_DIRECTORY, 0u);
    EXPECT_EQ(qm::Platform().CreateProtectedDirectory(folder), qm::kErrorAlreadyExists);
    PACL dacl = nullptr;
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    ASSERT_EQ(GetNamedSecurityInfoA(folder.c_str(), SE_FILE_OBJECT, DACL_SECURITY_INFORMATION,
                                    nullptr, nullptr, &dacl, nullptr, &descriptor),
              static_cast<DWORD>(ERROR_SUCCESS));
    SECURITY_DESCRIPTOR_CONTROL control = 0;
    DWORD revision = 0;
    GetSecurityDescriptorControl(descriptor, &control, &revision);
    const DWORD entries = dacl ? dacl->AceCount : 0;
    LocalFree(descriptor);
    // Wine keeps no security descriptor of files: only Windows shows it.
    if ((control & SE_DACL_PROTECTED) == 0) GTEST_SKIP() << "no protected DACL kept here (Wine)";
    EXPECT_EQ(entries, 3u);
}

}  // namespace
