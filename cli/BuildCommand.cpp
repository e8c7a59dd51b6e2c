#include <cstdio>

#include "cli/Commands.h"
#include "cli/Console.h"
#include "core/ReleaseListBuild.h"

namespace qm::cli {

namespace {

// The password that guards the update of the release data; compared
// exactly, case counting.
constexpr char kUpdatePassword[] = "tallowin";
constexpr size_t kLineCapacity = 256;

bool AskPassword(const CommandLine& line, std::string& password, std::string& error) {
    if (line.passwordStdin) {
        ReadInputLine(password, kLineCapacity);  // no line at all: an empty password
        return true;
    }
    if (!IsTerminal(StandardStream::Input)) {
        error = "standard input is not a terminal: pass the password with --password-stdin";
        return false;
    }
    std::fputs("Enter password for update: ", stderr);
    std::fflush(stderr);
    ReadHiddenLine(password, kLineCapacity);
    std::fputs("\n", stderr);  // the echo swallowed the operator's Enter
    return true;
}

// Asked only on the terminal; --password-stdin is the confirmation itself.
bool Confirmed() {
    std::fputs("Update the release list now ? [y/N] ", stderr);
    std::fflush(stderr);
    std::string answer;
    if (!ReadInputLine(answer, kLineCapacity)) return false;
    return answer == "y" || answer == "Y" || answer == "yes" || answer == "Yes";
}

}  // namespace

int RunBuild(const CommandLine& line) {
    std::string error;
    const std::string windowsDirectory = UsableWindowsDirectory(error);
    if (windowsDirectory.empty()) return Fail(error);

    std::string password;
    if (!AskPassword(line, password, error)) return Fail(error);
    if (password != kUpdatePassword) {
        std::fputs("The entered password is not valid !\n", stderr);
        return kExitError;
    }
    if (!line.passwordStdin && !Confirmed()) {
        std::fputs("Release list not changed.\n", stderr);
        return kExitOk;
    }

    CReleaseListBuild build;
    const BuildResult result = build.BuildReleaseList();
    if (result.status == BuildResult::BackupFailed) {
        return Fail("the previous release list could not be kept as a backup: nothing changed");
    }
    if (result.status == BuildResult::WriteFailed) {
        return Fail("the new release list could not be written: nothing changed");
    }
    // Names without the system's "<dir>.\" form, which reads oddly on posix.
    const std::string backupName =
        result.backupPath.substr(result.backupPath.find_last_of('\\') + 1);
    std::string report = result.backupPath.empty() ? "No previous release list: no backup made.\n"
                                                   : "Previous release list kept as " + backupName +
                                                         " in " + windowsDirectory + "\n";
    report += "Release list qmverify.lst in " + windowsDirectory + " written with " +
              std::to_string(result.entries) + " entries.\n";
    if (!WriteOutput(report)) return Fail("cannot write to standard output");
    return kExitOk;
}

}  // namespace qm::cli
