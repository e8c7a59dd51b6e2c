#include "core/ComparisonRun.h"

#include <cstdint>
#include <memory>
#include <unordered_map>
#include <vector>

#include "core/Capacities.h"
#include "core/Crc32.h"
#include "core/DllRedirection.h"
#include "core/EntryRecord.h"
#include "core/FileStatus.h"
#include "core/Fingerprint.h"
#include "core/ListedEntries.h"
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
    std::string name;
    std::string path;  // whole; the row shows it cut
};

// The entries of both sections, in the order of the walk.
std::vector<ListedEntry> WalkEntries(const CIniFile& releaseList,
                                     std::vector<FingerprintJob>& jobs) {
    std::vector<ListedEntry> entries;
    for (int index = 0; index < 2; ++index) {
        const ComponentDirectory& component = kComponentDirectories[index];
        ForEachListedEntry(releaseList, component.section, [&](int n, const std::string& name) {
            ListedEntry entry;
            entry.sectionIndex = index;
            entry.n = n;
            entry.name = name;
            FingerprintJob job;
            entry.path = ListedFilePath(component.directory, name, &job.pathIsWhole);
            job.path = entry.path;
            // An entry that records no SHA-256 is decided by its CRC alone.
            if (releaseList.ReadText(component.section, EntryKey(kSha256KeyPrefix, n), 2).empty()) {
                job.digests = Digests::Crc32Only;
            }
            job.bounds.recorded = RecordedSize(releaseList, component.section, n);
            entries.push_back(std::move(entry));
            jobs.push_back(std::move(job));
        });
    }
    return entries;
}

// The sizes of the files in both component directories by lower-cased name,
// from one search of each, for the count of bytes a run has to read.
class CDirectorySizes {
public:
    CDirectorySizes() {
        for (int index = 0; index < 2; ++index) {
            bool fits = false;
            const std::string pattern =
                SearchPattern(kComponentDirectories[index].directory, "*", &fits);
            FoundEntry entry;
            std::unique_ptr<IDirectorySearch> search =
                fits ? Platform().FindFirst(pattern, entry) : nullptr;
            if (!search) continue;
            do {
                if (!entry.isDirectory) m_sizes[index][Platform().NameKey(entry.name)] = entry.size;
            } while (search->Next(entry));
        }
    }
    uint64_t Of(int sectionIndex, const std::string& name) const {
        const auto& sizes = m_sizes[sectionIndex];
        const auto found = sizes.find(Platform().NameKey(name));
        return found != sizes.end() ? found->second : 0;
    }

private:
    std::unordered_map<std::string, uint64_t> m_sizes[2];
};

void TakeNow(ComparedFile& file, const FileNow& now) {
    file.crcNow = now.crcText;
    file.sha256Now = now.sha256Text;
    file.dateNow = now.dateText;
    file.readError = now.openError;
}

ComparedFile EntryFile(const CIniFile& releaseList, const ListedEntry& entry, const FileNow& now) {
    const char* section = kComponentDirectories[entry.sectionIndex].section;
    Recorded recorded;
    recorded.crcText =
        releaseList.ReadText(section, EntryKey("CRC", entry.n), kFingerprintCapacity);
    recorded.sha256Text =
        releaseList.ReadText(section, EntryKey(kSha256KeyPrefix, entry.n), kKeyCapacity);
    recorded.marked = releaseList.ReadInt(section, EntryKey("Updated", entry.n), 0) == 1;
    const Verdict verdict = DecideVerdict(now, recorded);

    ComparedFile file;
    file.section = entry.sectionIndex;
    file.entry = entry.n;
    file.name = entry.name;
    file.path = entry.path;
    file.status = verdict.status;
    file.cause = verdict.cause;
    file.digest = verdict.digest;
    TakeNow(file, now);
    file.crcRecorded = recorded.crcText;
    file.sha256Recorded = recorded.sha256Text;
    file.dateRecorded =
        releaseList.ReadText(section, EntryKey("Date", entry.n), kFingerprintCapacity);
    file.comment = releaseList.ReadText(section, EntryKey("Comment", entry.n), kCommentCapacity);
    file.marked = recorded.marked;
    return file;
}

// The name of a file that no entry names: its path less "\qmw.\".
std::string NameOf(const UnlistedFile& unlisted) {
    const size_t prefix =
        std::char_traits<char>::length(kComponentDirectories[unlisted.sectionIndex].directory) + 2;
    return unlisted.path.size() > prefix ? unlisted.path.substr(prefix) : unlisted.path;
}

ComparedFile UnlistedFileOf(const UnlistedFile& unlisted, const FileNow& now) {
    ComparedFile file;
    file.section = unlisted.sectionIndex;
    file.name = NameOf(unlisted);
    file.path = unlisted.path;
    file.status = NotListed;
    file.cause = !unlisted.isFolder && now.tooLarge ? RowCause::TooLarge : unlisted.cause;
    file.digest = RowDigest::None;
    if (unlisted.isFolder) {
        file.crcNow.clear();  // nothing read: no CRC, not that of an empty file
        return file;
    }
    TakeNow(file, now);
    return file;
}

// The size of each file to read, in the order of the jobs.
std::vector<uint64_t> PlannedSizes(const std::vector<ListedEntry>& entries,
                                   const std::vector<UnlistedFile>& unlisted) {
    const CDirectorySizes directories;
    std::vector<uint64_t> sizes;
    for (const ListedEntry& entry : entries) {
        sizes.push_back(directories.Of(entry.sectionIndex, entry.name));
    }
    for (const UnlistedFile& file : unlisted) {
        sizes.push_back(directories.Of(file.sectionIndex, NameOf(file)));
    }
    return sizes;
}

// Planted files come after every listed one, each within the bound, so
// that none holds the listed verdicts back.
void AddUnlistedJobs(const std::vector<UnlistedFile>& unlisted, std::vector<FingerprintJob>& jobs) {
    for (const UnlistedFile& file : unlisted) {
        jobs.push_back({file.path, file.pathIsWhole, Digests::Crc32AndSha256,
                        SizeBounds{std::nullopt, kLargestUnlistedFile}});
    }
}

// Counts the files of a run and asks the caller after each whether to go on.
class CRunCount {
public:
    CRunCount(const ProgressHook& hook, int files) : m_hook(hook) {
        m_progress.stage = RunProgress::Stage::Comparing;
        m_progress.filesTotal = files;
    }
    void AddPlannedBytes(uint64_t bytes) { m_progress.bytesTotal += bytes; }
    bool Start() const { return GoOn(m_hook, m_progress); }
    bool Done(uint64_t bytes) {
        ++m_progress.filesDone;
        m_progress.bytesDone += bytes;
        return GoOn(m_hook, m_progress);
    }
    int FilesDone() const { return m_progress.filesDone; }

private:
    const ProgressHook& m_hook;
    RunProgress m_progress;
};

// Reads the list once, decides every file and hands each to the caller,
// with the wait cursor shown; false when a list exists but cannot be read
// (it then reads as empty).
bool CompareAll(const std::string& listPath, const SitePin& pin, const ComparisonHooks& hooks,
                const UnlistedScope& scope, ComparisonResult& result) {
    CWaitCursor waitCursor(hooks.showWaitCursor);
    CIniFile releaseList;
    const bool readable = releaseList.Load(listPath);
    result.listLoadError = releaseList.LoadError();
    if (!readable) releaseList.LoadText(std::string());
    result.findings = CheckReleaseList(releaseList);
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
    AddUnlistedJobs(unlisted, jobs);

    result.filesToCompare = static_cast<int>(jobs.size());
    CRunCount count(hooks.progress, result.filesToCompare);
    // Only a caller that shows the progress pays for one more search.
    const std::vector<uint64_t> sizes =
        hooks.progress ? PlannedSizes(entries, unlisted) : std::vector<uint64_t>();
    for (uint64_t size : sizes) count.AddPlannedBytes(size);
    auto sizeOf = [&sizes](size_t index) { return index < sizes.size() ? sizes[index] : 0; };

    // One calculator serves the whole run; the reading threads only read it.
    CCrc32 crc;
    crc.BuildTable();
    {
        CFingerprintQueue queue(crc, std::move(jobs),
                                PlanReading(kComponentDirectories[0].directory));
        bool goOn = count.Start();
        size_t next = 0;
        for (size_t i = 0; goOn && i < entries.size(); ++i, ++next) {
            const FileNow now = NowFrom(queue.Take(next, hooks.waiting), kFingerprintCapacity);
            ComparedFile file = EntryFile(releaseList, entries[i], now);
            file.size = sizeOf(next);
            if (hooks.compared) hooks.compared(file);
            goOn = count.Done(file.size);
        }
        for (size_t i = 0; goOn && i < unlisted.size(); ++i, ++next) {
            const FileNow now = NowFrom(queue.Take(next, hooks.waiting), kFingerprintCapacity);
            ComparedFile file = UnlistedFileOf(unlisted[i], now);
            file.size = sizeOf(next);
            if (hooks.compared) hooks.compared(file);
            goOn = count.Done(file.size);
        }
        result.stopped = !goOn;
    }
    result.filesCompared = count.FilesDone();
    crc.FreeTable();
    return readable;
}

}  // namespace

ComparisonResult CompareFiles(const ComparisonHooks& hooks, const UnlistedScope& unlisted) {
    ComparisonResult result;
    const std::string listPath = ReleaseListPath(Platform().WindowsDirectory());
    result.listFound = Platform().FileExists(listPath);
    const SitePin pin = ReadSitePin();
    // With a key pinned, a missing list is an alarm, never rebuilt in silence.
    if (!result.listFound && !pin.pinned) {
        if (hooks.noticeNoReleaseList) hooks.noticeNoReleaseList();
        CReleaseListBuild build(hooks.showWaitCursor, hooks.progress, hooks.waiting);
        result.build = build.BuildReleaseList();
        result.builtList = true;
        if (result.build.status == BuildResult::Stopped) {
            result.stopped = true;
            return result;
        }
    }
    result.listUnreadable = !CompareAll(listPath, pin, hooks, unlisted, result);
    result.listWritableBy = Platform().OthersWhoMayWrite(listPath);
    result.dllRedirectionEnabled = DllRedirectionEnabled();
    return result;
}

ComparisonResult RunComparison(CResultTable& table, SortState& sort, const ComparisonHooks& hooks,
                               const UnlistedScope& unlisted) {
    table.Clear();
    ComparisonHooks filling = hooks;
    filling.compared = [&table, &hooks](const ComparedFile& file) {
        table.AddAtTop(file);
        if (hooks.compared) hooks.compared(file);
    };
    const ComparisonResult result = CompareFiles(filling, unlisted);
    SortAfterComparison(table, sort);
    return result;
}

}  // namespace qm
