#include "core/UnlistedFiles.h"

#include <memory>
#include <unordered_set>

#include "core/ListedEntries.h"
#include "core/ReleaseListFormat.h"
#include "platform/AsciiCase.h"
#include "platform/Platform.h"

namespace qm {

namespace {

// The lower-cased names of the entries that the comparison walks.
std::unordered_set<std::string> ListedNames(const CIniFile& releaseList, const char* section) {
    std::unordered_set<std::string> names;
    ForEachListedEntry(releaseList, section,
                       [&](int, const std::string& name) { names.insert(AsciiLowerCopy(name)); });
    return names;
}

int SectionIndexOf(const char* section) {
    return std::string(section) == kComponentDirectories[1].section ? 1 : 0;
}

}  // namespace

UnlistedFiles FindUnlistedFiles(const CIniFile& releaseList, const UnlistedScope& scope) {
    UnlistedFiles found;
    // A search that finds nothing cannot tell a directory without program
    // files from one it may not look into: ask the directory itself.
    for (int index = 0; index < 2; ++index) {
        if (!scope.sections[index]) continue;
        const char* directory = kComponentDirectories[index].directory;
        const uint32_t error = Platform().SearchDirectoryError(directory);
        if (error != kErrorSuccess && error != kErrorPathNotFound && error != kErrorFileNotFound) {
            found.unsearched.push_back({index, directory, error});
        }
    }
    std::vector<UnlistedFile>& files = found.files;
    std::unordered_set<std::string> listed;
    const char* listedSection = nullptr;
    for (const ScanStep& step : kScanTable) {
        const int index = SectionIndexOf(step.section);
        if (!scope.sections[index]) continue;
        if (listedSection != step.section) {
            listed = ListedNames(releaseList, step.section);
            listedSection = step.section;
        }
        bool patternFits = false;
        const std::string pattern = SearchPattern(step.directory, step.mask, &patternFits);
        FoundEntry entry;
        std::unique_ptr<IDirectorySearch> search =
            patternFits ? Platform().FindFirst(pattern, entry) : nullptr;
        if (!search) continue;
        do {
            if (listed.count(AsciiLowerCopy(entry.name)) != 0) continue;
            UnlistedFile file;
            file.path = ListedFilePath(step.directory, entry.name, &file.pathIsWhole);
            file.sectionIndex = index;
            files.push_back(std::move(file));
        } while (search->Next(entry));
    }
    return found;
}

}  // namespace qm
