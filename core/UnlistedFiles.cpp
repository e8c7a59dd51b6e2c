#include "core/UnlistedFiles.h"

#include <memory>
#include <unordered_map>
#include <unordered_set>

#include "core/DllRedirection.h"
#include "core/ListedEntries.h"
#include "core/ReleaseListFormat.h"
#include "platform/AsciiCase.h"
#include "platform/Platform.h"

namespace qm {

namespace {

// Which found names of one section are its listed files. A found name is a
// listed file when it is that name, or when it differs only as the file
// system's comparison allows (Windows: case) and the directory holds no
// file of the listed name itself: a search for the listed name then finds
// this one, as the comparison does. A look-alike ("t\u014Dol.exe" beside
// "tool.exe") is never one. On Windows no directory holds two names that
// compare equal; the posix stand-in may, and the second is its own file.
class CListedNames {
public:
    CListedNames(const CIniFile& releaseList, const char* section) {
        ForEachListedEntry(releaseList, section, [this](int, const std::string& name) {
            m_exact.insert(name);
            m_keys.emplace(Platform().NameKey(name), false);
        });
    }
    // Every found name of the section, in the order found.
    template <typename Found>
    void Take(const std::vector<Found>& found) {
        for (const Found& each : found) {
            if (m_exact.count(each.name) != 0) m_keys[Platform().NameKey(each.name)] = true;
        }
    }
    bool IsListed(const std::string& name) {
        if (m_exact.count(name) != 0) return true;
        const auto key = m_keys.find(Platform().NameKey(name));
        if (key == m_keys.end() || key->second) return false;
        key->second = true;  // the first found stands for the listed name
        return true;
    }

private:
    std::unordered_set<std::string> m_exact;
    std::unordered_map<std::string, bool> m_keys;  // taken by a found name
};

struct FoundName {
    std::string directory;
    std::string name;
    bool isFolder;
};

// The section's names that the build's masks select, in scan-table order.
std::vector<FoundName> SectionNames(const char* section) {
    std::vector<FoundName> names;
    for (const ScanStep& step : kScanTable) {
        if (std::string(step.section) != section) continue;
        bool patternFits = false;
        const std::string pattern = SearchPattern(step.directory, step.mask, &patternFits);
        FoundEntry entry;
        std::unique_ptr<IDirectorySearch> search =
            patternFits ? Platform().FindFirst(pattern, entry) : nullptr;
        if (!search) continue;
        do {
            names.push_back({step.directory, entry.name, entry.isDirectory});
        } while (search->Next(entry));
    }
    return names;
}

// Every name that a search for `pattern` finds, less "." and "..".
std::vector<FoundName> NamesFound(const std::string& directory, const std::string& pattern) {
    std::vector<FoundName> names;
    FoundEntry entry;
    std::unique_ptr<IDirectorySearch> search = Platform().FindFirst(pattern, entry);
    if (!search) return names;
    do {
        if (entry.name != "." && entry.name != "..")
            names.push_back({directory, entry.name, entry.isDirectory});
    } while (search->Next(entry));
    return names;
}

UnlistedFile UnlistedOf(int index, const FoundName& name, RowCause cause) {
    UnlistedFile file;
    file.path = ListedFilePath(name.directory, name.name, &file.pathIsWhole);
    file.sectionIndex = index;
    file.isFolder = name.isFolder;
    file.cause = cause;
    return file;
}

// The names of the directory that no mask took and no entry names, shown
// when Windows would load code through them: one walk of the directory,
// and a read of two bytes of each such file whose name decides nothing.
void AddLoadedByWindows(int index, const std::vector<FoundName>& masked, CListedNames& listed,
                        std::vector<UnlistedFile>& files) {
    const std::string directory = kComponentDirectories[index].directory;
    const std::vector<FoundName> all =
        NamesFound(directory, ListedFilePath(directory, "*", nullptr));
    std::unordered_set<std::string> taken;
    for (const FoundName& name : masked) taken.insert(name.name);
    std::unordered_set<std::string> programs;
    for (const FoundName& name : all) {
        const std::string lower = AsciiLowerCopy(name.name);
        if (!name.isFolder && lower.size() > 4 && lower.compare(lower.size() - 4, 4, ".exe") == 0)
            programs.insert(lower);
    }
    listed.Take(all);  // a listed name's own spelling stands for it, found here or by a mask
    for (const FoundName& name : all) {
        if (taken.count(name.name) != 0 || listed.IsListed(name.name)) continue;
        const std::string path = ListedFilePath(directory, name.name, nullptr);
        const RowCause cause = LoadCauseOf(name.name, name.isFolder, path, programs);
        if (cause == RowCause::Unknown) continue;
        files.push_back(UnlistedOf(index, name, cause));
        if (cause != RowCause::DllRedirection || !name.isFolder) continue;
        // Windows loads any DLL of the folder: each of its names is shown.
        for (const FoundName& inside : NamesFound(directory, path + "\\*")) {
            const FoundName whole{directory, name.name + "\\" + inside.name, inside.isFolder};
            if (listed.IsListed(whole.name)) continue;
            files.push_back(UnlistedOf(index, whole, RowCause::DllRedirection));
        }
    }
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
    for (int index = 0; index < 2; ++index) {
        if (!scope.sections[index]) continue;
        const char* section = kComponentDirectories[index].section;
        const std::vector<FoundName> names = SectionNames(section);
        CListedNames listed(releaseList, section);
        listed.Take(names);
        for (const FoundName& name : names) {
            if (listed.IsListed(name.name)) continue;
            found.files.push_back(
                UnlistedOf(index, name, name.isFolder ? RowCause::Folder : RowCause::NotListed));
        }
        AddLoadedByWindows(index, names, listed, found.files);
    }
    return found;
}

}  // namespace qm
