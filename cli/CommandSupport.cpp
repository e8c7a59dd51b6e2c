#include <algorithm>
#include <cstdio>

#include "cli/Commands.h"
#include "cli/Console.h"
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

std::string WriteFailure(const std::string& what, uint32_t error) {
    if (error == kErrorLockViolation) {
        return "the release list is being changed by another program: " + what +
               " was not changed; try again when it has finished";
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

void ReportUnreadable(const std::vector<std::string>& paths,
                      const std::vector<std::string>& changing) {
    for (const std::string& path : paths) {
        const bool changed = std::find(changing.begin(), changing.end(), path) != changing.end();
        std::fprintf(stderr,
                     "qmverify-cli: could not read %s%s: recorded with the CRC 0 and no SHA-256; "
                     "it compares as \"Not identical\" until it can be read\n",
                     Printable(path).c_str(),
                     changed ? " (it changed while it was read, every time it was read)" : "");
    }
}

const char* SectionName(int index) { return kComponentDirectories[index == 1 ? 1 : 0].section; }

}  // namespace qm::cli
