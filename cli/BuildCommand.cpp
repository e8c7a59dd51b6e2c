#include "cli/Commands.h"
#include "cli/Console.h"
#include "core/Capacities.h"
#include "core/OperatorTexts.h"
#include "core/ReleaseListBuild.h"
#include "platform/Platform.h"

namespace qm::cli {

namespace {

// Asked only on the terminal; --password-stdin is the confirmation itself.
// Anything but a yes, a line too long included, leaves the list alone.
bool Confirmed(std::string& reason) {
    WriteError(QM_TEXT_CONFIRM_UPDATE " [y/N] ");
    std::string answer;
    if (ReadInputLine(answer, kAnswerCapacity, reason) != InputLine::Read) return false;
    return answer == "y" || answer == "Y" || answer == "yes" || answer == "Yes";
}

}  // namespace

int RunBuild(const CommandLine& line) {
    std::string error;
    const std::string windowsDirectory = UsableWindowsDirectory(error);
    if (windowsDirectory.empty()) return Fail(error);

    CUpdateKey key;
    if (!AcceptPassword(line, key)) return kExitError;
    std::string reason;
    if (!line.passwordStdin && !Confirmed(reason)) {
        if (!reason.empty())
            return Fail("the answer could not be read from the terminal: " + reason);
        WriteError("Release list not changed.\n");
        return kExitOk;
    }

    CReleaseListBuild build;
    const BuildResult result = build.BuildReleaseList(&key);
    switch (result.status) {
        case BuildResult::SigningFailed:
            return Fail(SigningFailure(result.signing, result.error));
        case BuildResult::BackupFailed:
            if (result.error == kErrorLockViolation || IsWriteRefused(result.error)) {
                return Fail(WriteFailure("the release list", result.error));
            }
            return Fail("the previous release list could not be kept as a backup (" +
                        Platform().ErrorText(result.error) + "): nothing changed");
        case BuildResult::WriteFailed:
            return Fail(WriteFailure("the release list", result.error));
        case BuildResult::NothingFound:
            return Fail(NothingFoundFailure());
        case BuildResult::Stopped:  // the command line never stops a build
        case BuildResult::Ok:
            break;
    }
    const bool leftOut = ReportBuildNotes(result);
    // Names without the system's "<dir>.\" form, which reads oddly on posix.
    const std::string backupName =
        result.backupPath.substr(result.backupPath.find_last_of('\\') + 1);
    const std::string shownDirectory = Shown(windowsDirectory);
    std::string report = result.backupPath.empty() ? "No previous release list: no backup made.\n"
                                                   : "Previous release list kept as " + backupName +
                                                         " in " + shownDirectory + "\n";
    report += "Release list qmverify.lst in " + shownDirectory + " written with " +
              std::to_string(result.entries) + " entries.\n";
    report += SignedReport(result.madeKey, result.publicKey, result.sequence);
    const int status = Report(report, "the release list was written");
    return leftOut ? kExitError : status;
}

}  // namespace qm::cli
