#include "core/ReleaseListFormat.h"

#include <climits>

#include "core/BoundedFormat.h"
#include "platform/Platform.h"

namespace qm {

const char kReleaseListName[] = "qmverify.lst";

const ComponentDirectory kComponentDirectories[2] = {
    {"\\qmw", "qmw"},
    {"\\db1", "db1"},
};

std::string EntryKey(const char* prefix, int n) {
    return BoundedFormat(kKeyCapacity, nullptr, "%s%d", prefix, n);
}

namespace {

// "%s.\<name>" in the Windows directory, or "" when it does not fit.
std::string PathInWindowsDirectory(const std::string& windowsDirectory, const std::string& name) {
    if (windowsDirectory.empty() || windowsDirectory.size() >= kWindowsDirectoryCapacity) {
        return std::string();
    }
    bool fitted = false;
    std::string path = BoundedFormat(kListPathCapacity, &fitted, "%s.\\%s",
                                     windowsDirectory.c_str(), name.c_str());
    return fitted ? path : std::string();
}

}  // namespace

std::string ReleaseListPath(const std::string& windowsDirectory) {
    return PathInWindowsDirectory(windowsDirectory, kReleaseListName);
}

std::string NewListPath(const std::string& windowsDirectory) {
    return PathInWindowsDirectory(windowsDirectory, "qmverify.new");
}

std::string BackupCandidatePath(const std::string& windowsDirectory, int k) {
    if (k < 1) return std::string();
    // The first name is fixed; the rest carry at least two digits (l99, l100).
    if (k == 1) return PathInWindowsDirectory(windowsDirectory, "qmverify.l01");
    return PathInWindowsDirectory(windowsDirectory,
                                  BoundedFormat(kKeyCapacity, nullptr, "qmverify.l%02d", k));
}

std::string FirstFreeBackupPath(const std::string& windowsDirectory) {
    for (int k = 1; k < INT_MAX; ++k) {
        std::string candidate = BackupCandidatePath(windowsDirectory, k);
        // Numbers only grow longer, so once a name does not fit none will.
        if (candidate.empty()) return std::string();
        if (!Platform().FileExists(candidate)) return candidate;
    }
    return std::string();
}

std::string ListedFilePath(const std::string& directory, const std::string& name, bool* fitted) {
    bool whole = false;
    std::string path =
        BoundedFormat(kListedPathCapacity, &whole, "%s.\\%s", directory.c_str(), name.c_str());
    // A name with a zero byte inside would name some other file.
    if (name.find('\0') != std::string::npos || directory.find('\0') != std::string::npos) {
        whole = false;
    }
    if (fitted) *fitted = whole;
    return path;
}

std::string AddedFilePath(const std::string& section, const std::string& name) {
    bool fitted = false;
    std::string path =
        BoundedFormat(kAddedPathCapacity, &fitted, "\\%s.\\%s", section.c_str(), name.c_str());
    return fitted ? path : std::string();
}

}  // namespace qm
