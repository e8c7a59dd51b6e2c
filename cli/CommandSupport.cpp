#include <cstdio>

#include "cli/Commands.h"
#include "core/ReleaseListFormat.h"
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
    if (directory.empty() || ReleaseListPath(directory).empty()) {
        error = "the Windows directory's path is too long: the release list's path must fit " +
                std::to_string(kListPathCapacity - 1) + " characters";
        return std::string();
    }
    if (!Platform().FileExists(directory)) {
        error = "Windows directory not found: " + Printable(directory);
        return std::string();
    }
    return directory;
}

int SectionIndex(const std::string& text) {
    if (text.size() != 3) return -1;
    std::string lower = text;
    for (char& c : lower) {
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    }
    if (lower == "qmw") return 0;
    if (lower == "db1") return 1;
    return -1;
}

const char* SectionName(int index) { return kComponentDirectories[index == 1 ? 1 : 0].section; }

}  // namespace qm::cli
