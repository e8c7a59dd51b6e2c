#include <cstdio>

#include "cli/Commands.h"
#include "cli/Console.h"
#include "core/ReleaseListBuild.h"
#include "core/UpdatePassword.h"
#include "platform/Platform.h"

namespace qm::cli {

namespace {

// Asked only on the terminal; --password-stdin is the confirmation itself.
bool Confirmed() {
    std::fputs("Update the release list now ? [y/N] ", stderr);
    std::fflush(stderr);
    std::string answer;
    if (!ReadInputLine(answer, 256)) return false;
    return answer == "y" || answer == "Y" || answer == "yes" || answer == "Yes";
}

}  // namespace

int RunBuild(const CommandLine& line) {
    std::string error;
    const std::string windowsDirectory = UsableWindowsDirectory(error);
    if (windowsDirectory.empty()) return Fail(error);

    std::string password;
    if (!AskPassword(line, password, error)) return Fail(error);
    if (!IsUpdatePassword(password)) {
        std::fputs("The entered password is not valid !\n", stderr);
        return kExitError;
    }
    if (!line.passwordStdin && !Confirmed()) {
        std::fputs("Release list not changed.\n", stderr);
        return kExitOk;
    }

    CReleaseListBuild build;
    const BuildResult result = build.BuildReleaseList();
    switch (result.status) {
        case BuildResult::BackupFailed:
            if (result.error == kErrorLockViolation || IsWriteRefused(result.error)) {
                return Fail(WriteFailure("the release list", result.error));
            }
            return Fail("the previous release list could not be kept as a backup (" +
                        Platform().ErrorText(result.error) + "): nothing changed");
        case BuildResult::WriteFailed:
            return Fail(WriteFailure("the release list", result.error));
        case BuildResult::NothingFound:
            return Fail("no program file found in \\qmw or \\db1: no release list was written");
        case BuildResult::Ok:
            break;
    }
    ReportUnreadable(result.unreadable, result.changing);
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
