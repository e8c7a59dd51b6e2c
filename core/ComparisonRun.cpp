#include "core/ComparisonRun.h"

#include <cstdint>
#include <vector>

#include "core/BoundedFormat.h"
#include "core/Capacities.h"
#include "core/Crc32.h"
#include "core/FileStatus.h"
#include "core/Fingerprint.h"
#include "core/ParallelFingerprints.h"
#include "core/ReleaseListFormat.h"
#include "core/ResultSort.h"
#include "core/SiteKey.h"
#include "core/Verdict.h"
#include "core/WaitCursor.h"
#include "platform/Platform.h"

namespace qm {

namespace {

// One entry of the list as the walk reads it.
struct ListedEntry {
    int sectionIndex = 0;
    int n = 0;
    std::string path;  // whole; the row shows it cut
};

// The entries of both sections, in the order of the walk: each section from
// 1 up to the first empty name, never beyond 9998.
std::vector<ListedEntry> WalkEntries(const CIniFile& releaseList,
                                     std::vector<FingerprintJob>& jobs) {
    std::vector<ListedEntry> entries;
    for (int index = 0; index < 2; ++index) {
        const ComponentDirectory& component = kComponentDirectories[index];
        for (int n = 1; n <= kLastReadableEntry; ++n) {
            const std::string name =
                releaseList.ReadText(component.section, EntryKey("File", n), kWholeValueCapacity);
            if (name.empty()) break;
            ListedEntry entry;
            entry.sectionIndex = index;
            entry.n = n;
            FingerprintJob job;
            entry.path = ListedFilePath(component.directory, name, &job.pathIsWhole);
            job.path = entry.path;
            // An entry that records no SHA-256 is decided by its CRC alone.
            if (releaseList.ReadText(component.section, EntryKey(kSha256KeyPrefix, n), 2).empty()) {
                job.digests = Digests::Crc32Only;
            }
            entries.push_back(std::move(entry));
            jobs.push_back(std::move(job));
        }
    }
    return entries;
}

const std::string& StatusTextOf(FileStatus status, const StatusTexts& texts) {
    switch (status) {
        case Identical:
            return texts.identical;
        case Updated:
            return texts.updated;
        case NotListed:
            return texts.notListed;
        case NotIdentical:
            break;
    }
    return texts.notIdentical;
}

void AddEntryRow(IResultList& list, const CIniFile& releaseList, const ListedEntry& entry,
                 const FileNow& now, const StatusTexts& texts) {
    const char* section = kComponentDirectories[entry.sectionIndex].section;
    Recorded recorded;
    recorded.crcText =
        releaseList.ReadText(section, EntryKey("CRC", entry.n), kFingerprintCapacity);
    recorded.sha256Text =
        releaseList.ReadText(section, EntryKey(kSha256KeyPrefix, entry.n), kKeyCapacity);
    recorded.marked = releaseList.ReadInt(section, EntryKey("Updated", entry.n), 0) == 1;
    const Verdict verdict = DecideVerdict(now, recorded);

    const int row = list.InsertRowAtTop(ShownListedPath(entry.path), verdict.status);
    RowAttributes attributes = list.GetRowAttributes(row);
    attributes.cause = verdict.cause;
    attributes.digest = verdict.digest;
    attributes.sha256Current = now.sha256Text;
    attributes.sha256Release = recorded.sha256Text;
    list.SetRowAttributes(row, attributes);
    list.SetCellText(row, kColStatus,
                     CutToCapacity(StatusTextOf(verdict.status, texts), kStatusCapacity));
    list.SetCellText(row, kColCrcCurrent, now.crcText);
    list.SetCellText(row, kColDateCurrent, now.dateText);
    list.SetCellText(row, kColCrcRelease, recorded.crcText);
    list.SetCellText(
        row, kColDateRelease,
        releaseList.ReadText(section, EntryKey("Date", entry.n), kFingerprintCapacity));
    list.SetCellText(row, kColComment,
                     releaseList.ReadText(section, EntryKey("Comment", entry.n), kCommentCapacity));
    list.SetCellText(row, kColEntry, BoundedFormat(kEntryNumberCapacity, nullptr, "%d", entry.n));
    list.SetCellText(row, kColSection, section);
}

void AddUnlistedRow(IResultList& list, const UnlistedFile& file, const FileNow& now,
                    const StatusTexts& texts) {
    const int row = list.InsertRowAtTop(ShownListedPath(file.path), NotListed);
    RowAttributes attributes = list.GetRowAttributes(row);
    attributes.cause = RowCause::NotListed;
    attributes.digest = RowDigest::None;
    attributes.sha256Current = now.sha256Text;
    list.SetRowAttributes(row, attributes);
    list.SetCellText(row, kColStatus, CutToCapacity(texts.notListed, kStatusCapacity));
    list.SetCellText(row, kColCrcCurrent, now.crcText);
    list.SetCellText(row, kColDateCurrent, now.dateText);
    list.SetCellText(row, kColSection, kComponentDirectories[file.sectionIndex].section);
}

// Fills the rows of both sections and of the unlisted files, with the wait
// cursor shown; false when a list exists but cannot be read (it then reads
// as empty).
bool CompareAll(IResultList& list, const std::string& listPath, const SitePin& pin,
                const StatusTexts& texts, const ComparisonHooks& hooks, const UnlistedScope& scope,
                ComparisonResult& result) {
    ListFindings& findings = result.findings;
    CWaitCursor waitCursor(hooks.showWaitCursor);
    list.DeleteAllRows();
    // The list is read once for the whole run.
    CIniFile releaseList;
    const bool readable = releaseList.Load(listPath);
    result.listLoadError = releaseList.LoadError();
    if (!readable) releaseList.LoadText(std::string());
    findings = CheckReleaseList(releaseList);
    const bool missing = readable && !Platform().FileExists(listPath);
    result.signature = CheckListSignature(missing ? nullptr : &releaseList, pin);

    std::vector<FingerprintJob> jobs;
    const std::vector<ListedEntry> entries = WalkEntries(releaseList, jobs);
    // A list that could not be read names nothing: every file would pass
    // for a planted one.
    UnlistedFiles found;
    if (readable && scope.Any()) found = FindUnlistedFiles(releaseList, scope);
    result.unsearched = found.unsearched;
    const std::vector<UnlistedFile>& unlisted = found.files;
    for (const UnlistedFile& file : unlisted) jobs.push_back({file.path, file.pathIsWhole});

    // One calculator serves the whole run; the reading threads only read it.
    CCrc32 crc;
    crc.BuildTable();
    {
        CFingerprintQueue queue(crc, std::move(jobs),
                                PlanReading(kComponentDirectories[0].directory));
        size_t next = 0;
        for (const ListedEntry& entry : entries) {
            const FileNow now = NowFrom(queue.Take(next++, hooks.waiting), kFingerprintCapacity);
            AddEntryRow(list, releaseList, entry, now, texts);
            if (hooks.rowAdded) hooks.rowAdded(list.RowCount());
        }
        for (const UnlistedFile& file : unlisted) {
            const FileNow now = NowFrom(queue.Take(next++, hooks.waiting), kFingerprintCapacity);
            AddUnlistedRow(list, file, now, texts);
            if (hooks.rowAdded) hooks.rowAdded(list.RowCount());
        }
    }
    crc.FreeTable();
    return readable;
}

}  // namespace

ComparisonResult RunComparison(IResultList& list, SortState& sort, const StatusTexts& texts,
                               const ComparisonHooks& hooks, const UnlistedScope& unlisted) {
    ComparisonResult result;
    const std::string listPath = ReleaseListPath(Platform().WindowsDirectory());
    result.listFound = Platform().FileExists(listPath);
    const SitePin pin = ReadSitePin();
    // With a key pinned, a missing list is an alarm, never rebuilt in silence.
    if (!result.listFound && !pin.pinned) {
        if (hooks.noticeNoReleaseList) hooks.noticeNoReleaseList();
        CReleaseListBuild build(hooks.showWaitCursor, hooks.entryBuilt, hooks.waiting);
        result.build = build.BuildReleaseList();
        result.builtList = true;
    }

    result.listUnreadable = !CompareAll(list, listPath, pin, texts, hooks, unlisted, result);

    sort.m_nSortColumn = 1;
    sort.m_bSortAscending = 0;
    SortResultList(list, kColStatus, 0, 0, -1);
    return result;
}

}  // namespace qm
