// qmverify-cli: the release checker's operations from a terminal.
#include <exception>
#include <string>
#include <vector>

#include "cli/CommandLine.h"
#include "cli/Commands.h"
#include "cli/Console.h"
#include "core/ParallelFingerprints.h"
#include "core/WriterLock.h"
#include "platform/Platform.h"
#include "qmverify_version.h"

namespace {

std::string VersionText() { return std::string("qmverify-cli ") + QMVERIFY_VERSION_TEXT + "\n"; }

int Run(int argc, char** argv) {
    using namespace qm::cli;
    const std::vector<std::string> args = CommandArguments(argc, argv);
    CommandLine line;
    std::string error;
    if (!ParseCommandLine(args, line, error)) {
        Fail(error);
        WriteError("Try 'qmverify-cli --help'.\n");
        return kExitError;
    }
    if (line.help) return Report(UsageText());
    if (line.version) return Report(VersionText());

    qm::PlatformRoots roots;
    roots.windowsDirectory = line.windowsDirectory;
    roots.driveRoot = line.driveRoot;
    if (!line.driveRoot.empty() && !qm::Platform().FileExists(line.driveRoot)) {
        return Fail("drive root not found: " + Shown(line.driveRoot));
    }
    qm::SetPlatformRoots(roots);
    qm::SetFingerprintJobs(line.jobs);
    qm::CWriterLock::SetNoticeSink(
        [](const std::string& notice) { Tell("note: " + Printable(notice)); });

    // Every command by name and no default: a command added to Command but
    // not here fails the build (-Wswitch, an error under -Werror), instead
    // of running another one.
    switch (line.command) {
        case Command::Compare:
            return RunCompare(line);
        case Command::Build:
            return RunBuild(line);
        case Command::Add:
            return RunAdd(line);
        case Command::Comment:
            return RunComment(line);
        case Command::Release:
            return RunRelease(line);
        case Command::ListStatus:
            return RunListStatus(line);
        case Command::ListKey:
            return RunListKey(line);
        case Command::Password:
            return RunPassword(line);
        case Command::Schedule:
            return RunSchedule(line);
        case Command::None:
            break;
    }
    // The parser gives no command only with --help or --version.
    return Fail("no command given");
}

}  // namespace

int main(int argc, char** argv) {
    try {
        return Run(argc, argv);
    } catch (const std::exception& e) {
        return qm::cli::Fail(std::string("unexpected failure: ") + e.what());
    } catch (...) {
        return qm::cli::Fail("unexpected failure");
    }
}
