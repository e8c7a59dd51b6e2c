#include "core/ComparisonRun.h"

#include <cstdint>

#include "core/BoundedFormat.h"
#include "core/Crc32.h"
#include "core/FileStatus.h"
#include "core/Fingerprint.h"
#include "core/ReleaseListFormat.h"
#include "core/ResultSort.h"
#include "platform/Platform.h"

namespace qm {

namespace {

// Capacities of the row's texts, terminator included.
enum : size_t {
    kNameCapacity = 128,
    kStatusCapacity = 80,
    kFingerprintCapacity = 40,  // CRC and date texts, entry number, section
    kCommentCapacity = 512,
};

// Large enough for any value a hand-edited list holds on one line.
constexpr size_t kWholeValue = static_cast<size_t>(1) << 20;

struct FileNow {
    std::string crcText = "0";
    std::string dateText;  // "" when the search finds no entry
};

// The present CRC and timestamp texts of a listed file. A stored name too
// long for the path text would name some other file once cut, so such a
// file is treated as unreadable instead of fingerprinting the wrong one.
FileNow FingerprintNow(CCrc32& crc, const std::string& path, bool pathIsWhole) {
    FileNow now;
    if (!pathIsWhole) return now;
    uint32_t value = 0;
    crc.FileCrc32(path, value);  // a file that cannot be read counts as CRC 0
    now.crcText = CrcText(value);
    std::string date;
    if (FileTimestampText(path, date)) now.dateText = CutToCapacity(date, kFingerprintCapacity);
    return now;
}

}  // namespace

void CompareSection(IResultList& list, const CIniFile& releaseList, const char* directory,
                    const char* section, const StatusTexts& texts, const ComparisonHooks& hooks) {
    CCrc32 crc;
    crc.BuildTable();
    for (int n = 1; n <= kLastReadableEntry; ++n) {
        const std::string fileKey = EntryKey("File", n);
        const std::string name = releaseList.ReadText(section, fileKey, kNameCapacity);
        if (name.empty()) break;
        const std::string dateRelease =
            releaseList.ReadText(section, EntryKey("Date", n), kFingerprintCapacity);
        const std::string crcRelease =
            releaseList.ReadText(section, EntryKey("CRC", n), kFingerprintCapacity);

        bool pathIsWhole = false;
        const std::string path = ListedFilePath(directory, name, &pathIsWhole);
        if (name.size() + 1 >= kNameCapacity) {
            // The name may have been cut by the read: check the stored value.
            pathIsWhole =
                pathIsWhole && releaseList.ReadText(section, fileKey, kWholeValue) == name;
        }
        const FileNow now = FingerprintNow(crc, path, pathIsWhole);

        FileStatus status = Identical;
        const std::string* statusText = &texts.identical;
        if (now.crcText != crcRelease) {
            // The mark is read only when the CRC texts differ.
            if (releaseList.ReadInt(section, EntryKey("Updated", n), 0) == 1) {
                status = Updated;
                statusText = &texts.updated;
            } else {
                status = NotIdentical;
                statusText = &texts.notIdentical;
            }
        }
        const std::string comment =
            releaseList.ReadText(section, EntryKey("Comment", n), kCommentCapacity);

        const int row = list.InsertRowAtTop(path, status);
        list.SetCellText(row, kColStatus, CutToCapacity(*statusText, kStatusCapacity));
        list.SetCellText(row, kColCrcCurrent, now.crcText);
        list.SetCellText(row, kColDateCurrent, now.dateText);
        list.SetCellText(row, kColCrcRelease, crcRelease);
        list.SetCellText(row, kColDateRelease, dateRelease);
        list.SetCellText(row, kColComment, comment);
        list.SetCellText(row, kColEntry, BoundedFormat(kFingerprintCapacity, nullptr, "%d", n));
        list.SetCellText(row, kColSection, CutToCapacity(section, kFingerprintCapacity));
        if (hooks.rowAdded) hooks.rowAdded(list.RowCount());
    }
    crc.FreeTable();
}

ComparisonResult RunComparison(IResultList& list, SortState& sort, const StatusTexts& texts,
                               const ComparisonHooks& hooks) {
    ComparisonResult result;
    const std::string listPath = ReleaseListPath(Platform().WindowsDirectory());
    if (!Platform().FileExists(listPath)) {
        if (hooks.noticeNoReleaseList) hooks.noticeNoReleaseList();
        CReleaseListBuild build(hooks.showWaitCursor);
        result.build = build.BuildReleaseList();
        result.builtList = true;
    }

    if (hooks.showWaitCursor) hooks.showWaitCursor(true);
    list.DeleteAllRows();
    // The list is read once for the whole run; a list that cannot be read
    // reads as empty.
    CIniFile releaseList;
    if (!releaseList.Load(ProfilePath(kReleaseListName))) releaseList.LoadText(std::string());
    for (const ComponentDirectory& component : kComponentDirectories) {
        CompareSection(list, releaseList, component.directory, component.section, texts, hooks);
    }
    if (hooks.showWaitCursor) hooks.showWaitCursor(false);

    sort.m_nSortColumn = 1;
    sort.m_bSortAscending = 0;
    SortResultList(list, kColStatus, 0, 0, -1);
    return result;
}

}  // namespace qm
