#include <cstdio>

#include "cli/Commands.h"
#include "cli/Console.h"
#include "core/FreshFile.h"
#include "core/IniFile.h"
#include "core/ReleaseListFormat.h"
#include "platform/AsciiCase.h"
#include "platform/Platform.h"

namespace qm::cli {

int Fail(const std::string& message) {
    std::fprintf(stderr, "qmverify-cli: %s\n", message.c_str());
    return kExitError;
}

bool WriteOutput(const std::string& text) {
    if (!text.empty() && std::fwrite(text.data(), 1, text.size(), stdout) != text.size()) {
        return false;
    }
    return std::fflush(stdout) == 0;
}

std::string UsableWindowsDirectory(std::string& error) {
    const std::string directory = Platform().WindowsDirectory();
    if (directory.empty()) {
        error = "the system names no Windows directory";
        return std::string();
    }
    if (!Platform().FileExists(directory)) {
        error = "Windows directory not found: " + Printable(directory);
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

std::string UnreadableListMessage(const std::string& listPath) {
    CIniFile probe;
    probe.Load(listPath);
    const uint32_t error = probe.LoadError();
    std::string message = "cannot read the release list " + Printable(ShownPath(listPath));
    if (error == kErrorFileTooLarge) {
        return message + ": it is larger than " + kMaxWholeFileSizeText +
               ", the most that qmverify reads";
    }
    if (error != kErrorSuccess) message += ": " + Platform().ErrorText(error);
    return message;
}

bool AskPassword(const CommandLine& line, std::string& password, std::string& error) {
    constexpr size_t kLineCapacity = 256;
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

void ReportUnreadable(const std::vector<std::string>& paths) {
    for (const std::string& path : paths) {
        std::fprintf(stderr,
                     "qmverify-cli: could not read %s: recorded with the CRC 0; it compares as "
                     "\"Not identical\" until it can be read\n",
                     Printable(path).c_str());
    }
}

const char* SectionName(int index) { return kComponentDirectories[index == 1 ? 1 : 0].section; }

}  // namespace qm::cli
