// The installed release of the two products, from their registry keys.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace qm {

extern const char kQmwRegistryKey[];       // "SOFTWARE\Quillmark\Quillmark Works"
extern const char kSentinelRegistryKey[];  // "SOFTWARE\Quillmark\Quillmark Sentinel"

struct InstalledRelease {
    std::string version;      // "%d.%d", for example 3.1
    std::string installedOn;  // "%s %s": reordered date and time
    // The names of version values that are DWORDs cut short: they hold no
    // number, so their part of the version is left empty, and the caller
    // tells them.
    std::vector<std::string> cutValues;
};

// Nothing when the key cannot be opened.
std::optional<InstalledRelease> ReadInstalledRelease(const char* keyPath);

// "first-second-third" becomes "second.first.third", fields split as strtok
// splits at "-"; a date without three fields stays as it is.
std::string ReorderDate(const std::string& date);

}  // namespace qm
