// qmverify-cli: the release checker's operations from a terminal.
#include <cstdio>
#include <exception>
#include <string>
#include <vector>

#include "cli/CommandLine.h"
#include "cli/Commands.h"
#include "cli/Console.h"
#include "core/WriterLock.h"
#include "platform/Platform.h"
#include "qmverify_version.h"

namespace {

std::string VersionText() { return std::string("qmverify-cli ") + QMVERIFY_VERSION_TEXT + "\n"; }

int Run(int argc, char** argv) {
    using namespace qm::cli;
    UseBinaryOutput();
    const std::vector<std::string> args(argv + (argc > 0 ? 1 : 0), argv + (argc > 0 ? argc : 0));
    CommandLine line;
    std::string error;
    if (!ParseCommandLine(args, line, error)) {
        Fail(error);
        std::fputs("Try 'qmverify-cli --help'.\n", stderr);
        return kExitError;
    }
    if (line.help) return WriteOutput(UsageText()) ? kExitOk : kExitError;
    if (line.version) return WriteOutput(VersionText()) ? kExitOk : kExitError;

    qm::PlatformRoots roots;
    roots.windowsDirectory = line.windowsDirectory;
    roots.driveRoot = line.driveRoot;
    if (!line.driveRoot.empty() && !qm::Platform().FileExists(line.driveRoot)) {
        return Fail("drive root not found: " + Printable(line.driveRoot));
    }
    qm::SetPlatformRoots(roots);
    qm::CWriterLock::SetNoticeSink([](const std::string& notice) {
        std::fprintf(stderr, "qmverify-cli: note: %s\n", Printable(notice).c_str());
    });

    switch (line.command) {
        case Command::Compare:
            return RunCompare(line);
        case Command::Build:
            return RunBuild(line);
        case Command::Add:
            return RunAdd(line);
        case Command::Comment:
            return RunComment(line);
        default:
            return RunRelease(line);
    }
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
