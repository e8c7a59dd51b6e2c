#include "core/ReleaseListBuild.h"

#include <cstdint>
#include <memory>

#include "core/BoundedFormat.h"
#include "core/Crc32.h"
#include "core/Fingerprint.h"
#include "core/FreshFile.h"
#include "core/IniFile.h"
#include "core/ReleaseListFormat.h"
#include "core/WaitCursor.h"
#include "core/WriterLock.h"
#include "platform/Platform.h"

namespace qm {

namespace {

enum : size_t { kTimestampCapacity = 128 };

}  // namespace

CReleaseListBuild::CReleaseListBuild(std::function<void(bool)> showWaitCursor,
                                     std::function<void(int entriesSoFar)> entryWritten)
    : m_showWaitCursor(std::move(showWaitCursor)), m_entryWritten(std::move(entryWritten)) {}

void CReleaseListBuild::ScanDirectory(const char* directory, const char* mask,
                                      const char* section) {
    bool patternFits = false;
    const std::string pattern = SearchPattern(directory, mask, &patternFits);
    if (!patternFits) return;
    FoundEntry found;
    std::unique_ptr<IDirectorySearch> search = Platform().FindFirst(pattern, found);
    if (!search) return;  // missing directory or nothing matches

    // One calculator serves every name of this search.
    CCrc32 crc;
    crc.BuildTable();
    do {
        bool pathIsWhole = false;
        const std::string path = ListedFilePath(directory, found.name, &pathIsWhole);
        uint32_t value = 0;
        bool readWhole = false;
        // A name too long for the path text is recorded as unreadable rather
        // than fingerprinting the file that the cut path would name.
        if (pathIsWhole) crc.FileCrc32(path, value, &readWhole);
        if (!readWhole) m_unreadable.push_back(path);
        const std::string crcText = CrcText(value);
        const std::string timestamp =
            CutToCapacity(TimestampText(found.lastWrite), kTimestampCapacity);

        m_newList.WriteText(section, EntryKey("File", m_nEntry), found.name);
        m_newList.WriteText(section, EntryKey("Date", m_nEntry), timestamp);
        m_newList.WriteText(section, EntryKey("CRC", m_nEntry), crcText);
        m_newList.WriteText(section, EntryKey("Updated", m_nEntry), "0");
        m_newList.WriteText(section, EntryKey("Comment", m_nEntry), "");
        ++m_nEntry;
        ++m_nEntriesWritten;
        if (m_entryWritten) m_entryWritten(m_nEntriesWritten);
    } while (search->Next(found));
    search.reset();  // closes the search before the table goes
    crc.FreeTable();
}

BuildResult CReleaseListBuild::BuildReleaseList() {
    BuildResult result;
    const std::string windowsDirectory = Platform().WindowsDirectory();
    if (ReleaseListPath(windowsDirectory).empty()) {
        result.status = BuildResult::WriteFailed;
        result.error = kErrorPathNotFound;
        return result;
    }
    // One writer at a time, from the first look at the old list to the last
    // move: no other writer can save its copy of that list over the new one.
    CWriterLock lock(m_showWaitCursor);
    if (!lock.Held()) {
        result.status = BuildResult::WriteFailed;
        result.error = lock.Error();
        return result;
    }

    CWaitCursor waitCursor(m_showWaitCursor);
    m_newList.LoadText(std::string());
    m_nEntriesWritten = 0;
    m_unreadable.clear();
    for (const ScanStep& step : kScanTable) {
        if (step.startsSection) m_nEntry = 1;
        ScanDirectory(step.directory, step.mask, step.section);
    }
    if (m_nEntriesWritten == 0) {
        // An empty list would turn every later comparison into silence; with
        // no list, the next comparison tells the operator again.
        result.status = BuildResult::NothingFound;
        return result;
    }
    result = Replace(windowsDirectory);
    result.entries = m_nEntriesWritten;
    result.unreadable = m_unreadable;
    return result;
}

BuildResult CReleaseListBuild::Replace(const std::string& windowsDirectory) {
    BuildResult result;
    const std::string listPath = ReleaseListPath(windowsDirectory);
    IPlatform& platform = Platform();

    // The whole new list is on disk before it takes the old one's place, so
    // there is never a moment without a complete release list.
    const FreshFileResult newList = WriteFreshFile(NewListPath(windowsDirectory), m_newList.Text());
    if (newList.path.empty()) {
        result.status = BuildResult::WriteFailed;
        result.error = newList.error;
        return result;
    }

    if (!platform.FileExists(listPath)) {
        result.error = platform.MoveReplace(newList.path, listPath);
        if (result.error != kErrorSuccess) {
            platform.RemoveFile(newList.path);
            result.status = BuildResult::WriteFailed;
        }
        return result;
    }

    // The previous list is kept under the first free backup name; it is
    // never deleted, so the release record cannot be lost.
    const std::string backupPath = FirstFreeBackupPath(windowsDirectory);
    const ReplaceResult replaced = ReplaceWithBackup(listPath, newList.path, backupPath);
    result.error = replaced.error;
    switch (replaced.outcome) {
        case ReplaceOutcome::Replaced:
            result.backupPath = backupPath;
            return result;
        case ReplaceOutcome::BackupFailed:
            result.status = BuildResult::BackupFailed;
            break;
        case ReplaceOutcome::MoveFailed:
            result.status = BuildResult::WriteFailed;
            break;
    }
    platform.RemoveFile(newList.path);  // ours: created new above
    return result;
}

}  // namespace qm
