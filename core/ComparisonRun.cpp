#include "core/ComparisonRun.h"

#include <cstdint>

#include "core/BoundedFormat.h"
#include "core/Crc32.h"
#include "core/FileStatus.h"
#include "core/Fingerprint.h"
#include "core/ReleaseListFormat.h"
#include "core/ResultSort.h"
#include "core/WaitCursor.h"
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

// The cause of a row: what the file's state now says, in words.
RowCause CauseOf(const FileNow& now, const std::string& crcRelease) {
    if (!now.readWhole) return now.missing ? RowCause::Missing : RowCause::Unreadable;
    return now.crcText == crcRelease ? RowCause::SameContent : RowCause::ContentChanged;
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
        const FileNow now = FingerprintNow(crc, path, pathIsWhole, kFingerprintCapacity);
        const RowCause cause = CauseOf(now, crcRelease);

        // A file that cannot be read now is never taken for the released
        // one, whatever CRC its entry records (the build records "0" for a
        // file it could not read, which is also the CRC text of no bytes).
        FileStatus status = Identical;
        const std::string* statusText = &texts.identical;
        if (cause != RowCause::SameContent) {
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
        RowAttributes attributes = list.GetRowAttributes(row);
        attributes.cause = cause;
        list.SetRowAttributes(row, attributes);
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

namespace {

// Fills the rows of both sections, with the wait cursor shown; false when a
// list exists but cannot be read (it then reads as empty).
bool CompareBothSections(IResultList& list, const std::string& listPath, const StatusTexts& texts,
                         const ComparisonHooks& hooks) {
    CWaitCursor waitCursor(hooks.showWaitCursor);
    list.DeleteAllRows();
    // The list is read once for the whole run.
    CIniFile releaseList;
    const bool readable = releaseList.Load(listPath);
    if (!readable) releaseList.LoadText(std::string());
    for (const ComponentDirectory& component : kComponentDirectories) {
        CompareSection(list, releaseList, component.directory, component.section, texts, hooks);
    }
    if (hooks.moreRows) hooks.moreRows(list, releaseList);
    return readable;
}

}  // namespace

ComparisonResult RunComparison(IResultList& list, SortState& sort, const StatusTexts& texts,
                               const ComparisonHooks& hooks) {
    ComparisonResult result;
    const std::string listPath = ReleaseListPath(Platform().WindowsDirectory());
    result.listFound = Platform().FileExists(listPath);
    if (!result.listFound) {
        if (hooks.noticeNoReleaseList) hooks.noticeNoReleaseList();
        CReleaseListBuild build(hooks.showWaitCursor, hooks.entryBuilt);
        result.build = build.BuildReleaseList();
        result.builtList = true;
    }

    result.listUnreadable = !CompareBothSections(list, listPath, texts, hooks);

    sort.m_nSortColumn = 1;
    sort.m_bSortAscending = 0;
    SortResultList(list, kColStatus, 0, 0, -1);
    return result;
}

}  // namespace qm
