#include "core/UnlistedFiles.h"

#include <memory>
#include <unordered_set>

#include "core/BoundedFormat.h"
#include "core/Crc32.h"
#include "core/FileStatus.h"
#include "core/Fingerprint.h"
#include "core/ReleaseListFormat.h"
#include "platform/AsciiCase.h"
#include "platform/Platform.h"

namespace qm {

namespace {

enum : size_t { kNameCapacity = 128, kFingerprintCapacity = 40, kStatusCapacity = 80 };

// The lower-cased names of the entries that the comparison walks.
std::unordered_set<std::string> ListedNames(const CIniFile& releaseList, const char* section) {
    std::unordered_set<std::string> names;
    for (int n = 1; n <= kLastReadableEntry; ++n) {
        const std::string name = releaseList.ReadText(section, EntryKey("File", n), kNameCapacity);
        if (name.empty()) break;
        names.insert(AsciiLowerCopy(name));
    }
    return names;
}

}  // namespace

int AppendUnlistedRows(IResultList& list, const CIniFile& releaseList,
                       const std::string& notListedText) {
    int added = 0;
    std::unordered_set<std::string> listed;
    const char* listedSection = nullptr;
    CCrc32 crc;
    crc.BuildTable();
    for (const ScanStep& step : kScanTable) {
        if (step.startsSection || listedSection == nullptr) {
            listed = ListedNames(releaseList, step.section);
            listedSection = step.section;
        }
        bool patternFits = false;
        const std::string pattern = SearchPattern(step.directory, step.mask, &patternFits);
        FoundEntry found;
        std::unique_ptr<IDirectorySearch> search =
            patternFits ? Platform().FindFirst(pattern, found) : nullptr;
        if (!search) continue;
        do {
            if (listed.count(AsciiLowerCopy(found.name)) != 0) continue;
            bool pathIsWhole = false;
            const std::string path = ListedFilePath(step.directory, found.name, &pathIsWhole);
            const FileNow now = FingerprintNow(crc, path, pathIsWhole, kFingerprintCapacity);
            const int row = list.InsertRowAtTop(path, NotIdentical);
            RowAttributes attributes = list.GetRowAttributes(row);
            attributes.cause = RowCause::NotListed;
            list.SetRowAttributes(row, attributes);
            list.SetCellText(row, kColStatus, CutToCapacity(notListedText, kStatusCapacity));
            list.SetCellText(row, kColCrcCurrent, now.crcText);
            list.SetCellText(row, kColDateCurrent, now.dateText);
            list.SetCellText(row, kColSection, step.section);
            ++added;
        } while (search->Next(found));
    }
    crc.FreeTable();
    return added;
}

}  // namespace qm
