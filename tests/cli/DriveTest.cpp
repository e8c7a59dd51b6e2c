// Without --root, \qmw and \db1 lie at the root of the current drive: the
// portable zip compares the drive it is started from. Windows only, where a
// drive letter can be given to a folder of the test's own.
#ifdef _WIN32

#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "CliFixture.h"

namespace {

using namespace cli_test;

// The Unix name of a Windows path under Wine; "" elsewhere.
std::string UnixName(const std::string& path) {
    using UnixFileName = char*(CDECL*)(const WCHAR*);
    const auto unixFileName = reinterpret_cast<UnixFileName>(reinterpret_cast<void*>(
        GetProcAddress(GetModuleHandleA("kernel32"), "wine_get_unix_file_name")));
    if (unixFileName == nullptr) return std::string();
    const std::wstring wide(path.begin(), path.end());
    char* name = unixFileName(wide.c_str());
    if (name == nullptr) return std::string();
    const std::string result = name;
    HeapFree(GetProcessHeap(), 0, name);
    return result;
}

// Starts a program of the host: Wine starts Unix programs too, but gives
// no handle to wait on; the caller looks for the program's effect instead.
bool StartHostProgram(const std::string& commandLine) {
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    std::string writable = commandLine;
    if (!CreateProcessA(nullptr, &writable[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &process)) {
        return false;
    }
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return true;
}

bool DriveResolves(const std::string& drive) {
    return GetFileAttributesA((drive + "\\").c_str()) != INVALID_FILE_ATTRIBUTES;
}

// Waits up to 10 s for a drive to come or go.
bool AwaitDrive(const std::string& drive, bool present) {
    for (int i = 0; i < 200; ++i) {
        if (DriveResolves(drive) == present) return true;
        Sleep(50);
    }
    return false;
}

// A free drive letter for a folder while the object lives. Wine maps drive
// letters by symbolic links in its prefix's dosdevices folder (DefineDosDevice
// does not reach its file calls); Windows by DefineDosDevice, as subst does.
class ScopedDriveLetter {
public:
    explicit ScopedDriveLetter(const fs::path& folder) : m_folder(folder.string()) {
        static char s_next =
            'Q';  // letters this process gave out are taken, even before they resolve
        while (s_next <= 'Y' && m_letter == 0) {
            const char letter = s_next++;
            if (!(GetLogicalDrives() & (1u << (letter - 'A'))) &&
                !DriveResolves(std::string(1, letter) + ":")) {
                m_letter = letter;
            }
        }
        if (m_letter == 0) return;
        const std::string cDrive = UnixName("C:\\");  // ".../dosdevices/c:/"
        if (cDrive.size() > 3) {
            m_link =
                cDrive.substr(0, cDrive.size() - 3) + static_cast<char>(m_letter - 'A' + 'a') + ":";
            m_mapped = StartHostProgram("/bin/ln -sfn \"" + UnixName(m_folder) + "\" \"" + m_link +
                                        "\"") &&
                       AwaitDrive(Drive(), true);
        } else {
            m_mapped = DefineDosDeviceA(0, Drive().c_str(), m_folder.c_str()) != 0;
        }
    }
    ~ScopedDriveLetter() {
        if (m_letter == 0) return;
        if (!m_link.empty()) {
            if (StartHostProgram("/bin/rm -f \"" + m_link + "\"")) AwaitDrive(Drive(), false);
        } else if (m_mapped) {
            DefineDosDeviceA(DDD_REMOVE_DEFINITION | DDD_EXACT_MATCH_ON_REMOVE, Drive().c_str(),
                             m_folder.c_str());
        }
    }
    ScopedDriveLetter(const ScopedDriveLetter&) = delete;
    ScopedDriveLetter& operator=(const ScopedDriveLetter&) = delete;

    bool Mapped() const { return m_mapped; }
    std::string Drive() const { return std::string(1, m_letter) + ":"; }

private:
    std::string m_folder;
    char m_letter = 0;
    std::string m_link;  // Wine: the dosdevices link
    bool m_mapped = false;
};

// The CSV rows of a compare as "<filename> <status>", in name order.
std::vector<std::string> Statuses(const std::string& csv) {
    std::vector<std::string> rows;
    const std::vector<std::string> lines = Lines(csv);
    for (size_t i = 1; i < lines.size(); ++i) {
        const std::vector<std::string> fields = Split(lines[i], ',');
        rows.push_back(fields[0] + " " + fields[1]);
    }
    std::sort(rows.begin(), rows.end());
    return rows;
}

// Two drives hold an installation each, alike but for \qmw\tool.exe; each
// start without --root compares the drive of its working directory.
TEST_F(CliTest, WithoutARootTheDriveItIsStartedFromIsCompared) {
    const fs::path other = m_base / "other";
    for (const char* directory : {"qmw", "db1", "portable"})
        fs::create_directories(other / directory);
    fs::create_directory(Root() / "portable");
    WriteFile(other / "qmw" / "tool.exe", "another release");
    WriteFile(other / "qmw" / "lib.dll", "abc");
    WriteFile(other / "db1" / "store.dll", "store");
    ScopedDriveLetter first(Root());
    ScopedDriveLetter second(other);
    ASSERT_TRUE(first.Mapped() && second.Mapped()) << first.Drive() << " " << second.Drive();

    // The portable zip, unpacked into a folder of the drive and started there.
    SpawnOptions fromFirst;
    fromFirst.workingDirectory = first.Drive() + "\\portable";
    const std::vector<std::string> compare = {"--windir", WindowsDirectory().string(), "compare",
                                              "--format", "csv"};
    CliRun run = RunCli(compare, fromFirst);  // builds the list from the first drive
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(Statuses(run.out),
              (std::vector<std::string>{"\\db1.\\store.dll Identical", "\\qmw.\\lib.dll Identical",
                                        "\\qmw.\\tool.exe Identical"}));

    SpawnOptions fromSecond;
    fromSecond.workingDirectory = second.Drive() + "\\portable";
    run = RunCli(compare, fromSecond);
    EXPECT_EQ(run.status, 1) << run.err;
    EXPECT_EQ(Statuses(run.out),
              (std::vector<std::string>{"\\db1.\\store.dll Identical", "\\qmw.\\lib.dll Identical",
                                        "\\qmw.\\tool.exe Not identical"}));
}

}  // namespace

#endif
