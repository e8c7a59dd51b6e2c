#include <algorithm>
#include <memory>

#include "cli/Commands.h"
#include "cli/Console.h"
#include "core/BoundedFormat.h"
#include "core/Capacities.h"
#include "core/FreshFile.h"
#include "core/IniFile.h"
#include "core/OperatorTexts.h"
#include "core/ReleaseListFormat.h"
#include "core/Settings.h"
#include "core/UpdatePassword.h"
#include "platform/AsciiCase.h"
#include "platform/Platform.h"

namespace qm::cli {

namespace {

// Where the password comes from, for the messages.
struct PasswordSource {
    const char* from;     // "standard input": "could not be read from ..."
    const char* givenOn;  // "no password was given on ..."
};

}  // namespace

void WriteError(const std::string& text) {
    std::string reason;
    WriteStandard(StandardStream::Error, text, reason);  // nowhere left to tell a failure
}

void Tell(const std::string& message) { WriteError("qmverify-cli: " + message + "\n"); }

int Fail(const std::string& message) {
    Tell(message);
    return kExitError;
}

bool WriteOutput(const std::string& text, std::string& reason) {
    return WriteStandard(StandardStream::Output, text, reason);
}

int Report(const std::string& text, const std::string& done) {
    std::string reason;
    if (WriteOutput(text, reason)) return kExitOk;
    if (done.empty()) return Fail("standard output could not be written: " + reason);
    return Fail(done + ", but its report could not be written to standard output: " + reason);
}

std::string Shown(const std::string& path) { return Printable(ShownPath(path)); }

std::string ReadFailure(const std::string& what, const std::string& path, uint32_t error) {
    const std::string message = "cannot read " + what + " " + Shown(path);
    if (error == kErrorFileTooLarge) {
        return message + ": it is larger than " + kMaxWholeFileSizeText +
               ", the most that qmverify reads";
    }
    return message + ": " +
           (error != kErrorSuccess ? Platform().ErrorText(error)
                                   : std::string("it could not be read whole"));
}

std::string UsableWindowsDirectory(std::string& error) {
    const std::string directory = Platform().WindowsDirectory();
    if (directory.empty()) {
        error = "the system names no Windows directory";
        return std::string();
    }
    if (!Platform().FileExists(directory)) {
        error = "Windows directory not found: " + Shown(directory);
        return std::string();
    }
    return directory;
}

int SectionIndex(const std::string& text) {
    for (int index = 0; index < 2; ++index) {
        if (EqualNoCase(text, kComponentDirectories[index].section)) return index;
    }
    return -1;
}

namespace {

// The files of the temporary names that are all taken beside the release
// list, a few by name and the count of the rest.
std::string NamesInTheWay(const std::string& windowsDirectory) {
    std::vector<std::string> taken = TakenFreshNames(ReleaseListPath(windowsDirectory) + ".tmp");
    const std::vector<std::string> newLists = TakenFreshNames(NewListPath(windowsDirectory));
    taken.insert(taken.end(), newLists.begin(), newLists.end());
    constexpr size_t kNamed = 4;
    std::string names;
    for (size_t i = 0; i < taken.size() && i < kNamed; ++i) {
        if (i > 0) names += ", ";
        const std::string shown = ShownPath(taken[i]);
        names += Printable(shown.substr(shown.find_last_of("\\/") + 1));
    }
    if (taken.size() > kNamed) names += " and " + std::to_string(taken.size() - kNamed) + " more";
    return names;
}

}  // namespace

std::string WriteFailure(const std::string& what, uint32_t error, const std::string& path) {
    const std::string windowsDirectory = Platform().WindowsDirectory();
    const std::string file =
        Printable(ShownPath(path.empty() ? ReleaseListPath(windowsDirectory) : path));
    if (error == kErrorLockViolation) {
        const std::string holder = Platform().LockHolder(LockFilePath(windowsDirectory));
        return "the release list is being changed by another program" +
               (holder.empty() ? std::string()
                               : " (" + Printable(holder) + " holds " +
                                     Printable(ShownPath(LockFilePath(windowsDirectory))) + ")") +
               ": " + what + " was not changed; try again when it has finished";
    }
    if (error == kErrorFileReadOnly) {
        return what + " was not changed: " + file +
               " has the read-only attribute, which qmverify leaves as it is; clear it if the "
               "file should change";
    }
    if (error == kErrorFileTooLarge) {
        return what + " was not changed: " + file + " is larger than " + kMaxWholeFileSizeText +
               ", the most that qmverify reads";
    }
    if (error == kErrorFileExists) {
        return what + " could not be written: no name for its temporary file is free in " +
               Printable(ShownPath(windowsDirectory)) + " (" + NamesInTheWay(windowsDirectory) +
               " are in the way); remove those files, which a stopped qmverify left behind";
    }
    if (IsWriteRefused(error)) {
        return what +
               " was not changed: qmverify needs administrator rights to change the "
               "release list in the Windows directory (" +
               Platform().ErrorText(error) +
               "); run it from a command prompt started with \"Run as administrator\"";
    }
    return what + " could not be written: " + Platform().ErrorText(error);
}

std::string NothingFoundFailure() {
    return "no program file found in " + Shown(kComponentDirectories[0].directory) + " or " +
           Shown(kComponentDirectories[1].directory) + ": no release list was written";
}

bool ReadPassword(const CommandLine& line, const char* prompt, std::string& password) {
    const PasswordSource source = line.passwordStdin
                                      ? PasswordSource{"standard input", "on standard input"}
                                      : PasswordSource{"the terminal", "on the terminal"};
    if (!line.passwordStdin && !IsTerminal(StandardStream::Input)) {
        Tell("standard input is not a terminal: pass the password with --password-stdin");
        return false;
    }
    std::string reason;
    InputLine read;
    if (line.passwordStdin) {
        read = ReadInputLine(password, kPasswordLineLength, reason);
    } else {
        WriteError(prompt);
        read = ReadHiddenLine(password, kPasswordLineLength, reason);
        WriteError("\n");  // the echo swallowed the operator's Enter
    }
    switch (read) {
        case InputLine::Failed:
            Tell(std::string("the password could not be read from ") + source.from + ": " + reason);
            return false;
        case InputLine::TooLong:
            Tell(std::string("the password ") + source.givenOn + " is longer than " +
                 std::to_string(kPasswordLineLength) + " bytes");
            return false;
        case InputLine::Ended:
            Tell(std::string("no password was given ") + source.givenOn);
            return false;
        case InputLine::Read:
            break;
    }
    // An empty line of standard input gives no password either; on the
    // terminal it is a typed password, refused as the window refuses it.
    if (line.passwordStdin && password.empty()) {
        Tell(std::string("no password was given ") + source.givenOn);
        return false;
    }
    return true;
}

bool AcceptPassword(const CommandLine& line, CUpdateKey& key) {
    std::string password;
    if (!ReadPassword(line, "Enter password for update: ", password)) return false;
    uint32_t error = kErrorSuccess;
    switch (CheckUpdatePassword(password, key, &error)) {
        case PasswordCheck::Right:
            return true;
        case PasswordCheck::SettingsUnreadable:
            Tell(ReadFailure("the settings", ProfilePath(kSettingsFile), error));
            return false;
        case PasswordCheck::RecordDamaged:
            WriteError(QM_TEXT_PASSWORD_RECORD_DAMAGED "\n");
            return false;
        case PasswordCheck::Wrong:
            break;
    }
    WriteError(QM_TEXT_WRONG_PASSWORD "\n");
    return false;
}

std::string SigningFailure(SigningProblem problem, uint32_t error, const ListSignature& list) {
    const std::string settings = ProfilePath(kSettingsFile);
    switch (problem) {
        case SigningProblem::SettingsUnreadable:
            return ReadFailure("the settings", settings, error);
        case SigningProblem::SettingsWriteFailed:
            return WriteFailure("the settings", error, settings);
        case SigningProblem::ListNotAsSigned:
            return std::string(SignatureStateText(list)) + ". " + SigningProblemText(problem);
        default:
            break;
    }
    return SigningProblemText(problem);
}

std::string SignedReport(bool madeKey, const std::string& publicKey, uint64_t sequence) {
    if (madeKey) {
        return QM_TEXT_KEY_MADE + KeyFingerprint(publicKey) +
               "\nRelease list signed, sequence number " + std::to_string(sequence) + ".\n";
    }
    return "Release list signed, sequence number " + std::to_string(sequence) + ".\n";
}

void ReportUnreadable(const std::vector<std::string>& paths,
                      const std::vector<std::string>& changing) {
    for (const std::string& path : paths) {
        const bool changed = std::find(changing.begin(), changing.end(), path) != changing.end();
        Tell("could not read " + Shown(path) +
             (changed ? " (it changed while it was read, every time it was read)" : "") +
             ": recorded with the CRC 0 and no SHA-256; it compares as \"Not identical\" until "
             "it can be read");
    }
}

bool ReportBuildNotes(const BuildResult& build) {
    ReportUnreadable(build.unreadable, build.changing);
    if (build.savedAsUnicode) WriteError(QM_TEXT_LIST_SAVED_AS_UNICODE "\n");
    for (int section = 0; section < 2; ++section) {
        if (build.leftOut[section] == 0) continue;
        Tell(BoundedFormat(kMessageCapacity, nullptr, QM_TEXT_FILES_LEFT_OUT,
                           build.leftOut[section], kComponentDirectories[section].section,
                           kLastReadableEntry));
    }
    return build.LeftOut() > 0;
}

const char* SectionName(int index) { return kComponentDirectories[index == 1 ? 1 : 0].section; }

}  // namespace qm::cli
