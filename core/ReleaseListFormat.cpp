#include "core/ReleaseListFormat.h"

#include <climits>

#include "core/BoundedFormat.h"
#include "core/IniFile.h"
#include "platform/Platform.h"

namespace qm {

const char kReleaseListName[] = "qmverify.lst";

const ComponentDirectory kComponentDirectories[2] = {
    {"\\qmw", "qmw"},
    {"\\db1", "db1"},
};

const ScanStep kScanTable[7] = {
    {"\\qmw", "qmw", "*.exe", true},  {"\\qmw", "qmw", "*.dll", false},
    {"\\qmw", "qmw", "*.bat", false}, {"\\qmw", "qmw", "*.cmd", false},
    {"\\qmw", "qmw", "*.qme", false}, {"\\db1", "db1", "*.exe", true},
    {"\\db1", "db1", "*.dll", false},
};

std::string SearchPattern(const char* directory, const char* mask, bool* fitted) {
    return BoundedFormat(kSearchPatternCapacity, fitted, "%s.\\%s", directory, mask);
}

std::string EntryKey(const char* prefix, int n) {
    return BoundedFormat(kKeyCapacity, nullptr, "%s%d", prefix, n);
}

std::string ReleaseListPath(const std::string& windowsDirectory) {
    return ProfilePathIn(windowsDirectory, kReleaseListName);
}

std::string NewListPath(const std::string& windowsDirectory) {
    return ProfilePathIn(windowsDirectory, "qmverify.new");
}

std::string NewListPathBeside(const std::string& listTarget) {
    const size_t separator = listTarget.find_last_of("\\/");
    const std::string directory =
        separator == std::string::npos ? std::string() : listTarget.substr(0, separator + 1);
    return directory + "qmverify.new";
}

std::string LockFilePath(const std::string& windowsDirectory) {
    return ProfilePathIn(windowsDirectory, "qmverify.lck");
}

std::string BackupCandidatePath(const std::string& windowsDirectory, int k) {
    if (k < 1) return std::string();
    // The first name is fixed; the rest carry at least two digits (l99, l100).
    if (k == 1) return ProfilePathIn(windowsDirectory, "qmverify.l01");
    return ProfilePathIn(windowsDirectory,
                         BoundedFormat(kKeyCapacity, nullptr, "qmverify.l%02d", k));
}

std::string FirstFreeBackupPath(const std::string& windowsDirectory) {
    for (int k = 1; k < INT_MAX; ++k) {
        std::string candidate = BackupCandidatePath(windowsDirectory, k);
        if (candidate.empty()) return std::string();
        if (!Platform().FileExists(candidate)) return candidate;
    }
    return std::string();
}

std::string ListedFilePath(const std::string& directory, const std::string& name, bool* whole) {
    // A name with a zero byte inside would name some other file.
    if (whole) {
        *whole = name.find('\0') == std::string::npos && directory.find('\0') == std::string::npos;
    }
    return directory + ".\\" + name;
}

std::string ShownListedPath(const std::string& path) {
    return CutToCapacity(path, kListedPathCapacity);
}

std::string AddedFilePath(const std::string& section, const std::string& name) {
    // A name with a zero byte inside would name some other file.
    if (name.find('\0') != std::string::npos || section.find('\0') != std::string::npos) {
        return std::string();
    }
    bool fitted = false;
    std::string path =
        BoundedFormat(kAddedPathCapacity, &fitted, "\\%s.\\%s", section.c_str(), name.c_str());
    return fitted ? path : std::string();
}

}  // namespace qm
