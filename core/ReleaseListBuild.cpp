#include "core/ReleaseListBuild.h"

#include <cstdint>
#include <memory>

#include "core/BoundedFormat.h"
#include "core/Crc32.h"
#include "core/EntryRecord.h"
#include "core/Fingerprint.h"
#include "core/FreshFile.h"
#include "core/IniFile.h"
#include "core/ParallelFingerprints.h"
#include "core/ReleaseListFormat.h"
#include "core/SiteKey.h"
#include "core/WaitCursor.h"
#include "core/WriterLock.h"
#include "platform/Platform.h"

namespace qm {

// One name that a directory search delivered, and where it goes.
struct CReleaseListBuild::FoundFile {
    const char* section;
    int n;
    std::string name;
    FileTime lastWrite;
    uint64_t size;
    FingerprintJob job;
};

CReleaseListBuild::CReleaseListBuild(std::function<void(bool)> showWaitCursor,
                                     ProgressHook progress, std::function<void()> waiting)
    : m_showWaitCursor(std::move(showWaitCursor)),
      m_progress(std::move(progress)),
      m_waiting(std::move(waiting)) {}

void CReleaseListBuild::ScanDirectory(const char* directory, const char* mask, const char* section,
                                      std::vector<FoundFile>& found) {
    bool patternFits = false;
    const std::string pattern = SearchPattern(directory, mask, &patternFits);
    if (!patternFits) return;
    FoundEntry entry;
    std::unique_ptr<IDirectorySearch> search = Platform().FindFirst(pattern, entry);
    if (!search) return;  // missing directory or nothing matches
    do {
        // Beyond the last entry that every reader reaches, a file would be
        // recorded where no comparison looks: it is counted and left out.
        if (m_nEntry > kLastReadableEntry) {
            ++m_leftOut[std::string(section) == kComponentDirectories[1].section ? 1 : 0];
            continue;
        }
        FoundFile file{section, m_nEntry++, entry.name, entry.lastWrite, entry.size, {}};
        file.job.path = ListedFilePath(directory, entry.name, &file.job.pathIsWhole);
        found.push_back(std::move(file));
    } while (search->Next(entry));
}

bool CReleaseListBuild::WriteEntries(const std::vector<FoundFile>& found) {
    std::vector<FingerprintJob> jobs;
    jobs.reserve(found.size());
    RunProgress progress;
    progress.stage = RunProgress::Stage::Recording;
    progress.filesTotal = static_cast<int>(found.size());
    for (const FoundFile& file : found) {
        jobs.push_back(file.job);
        progress.bytesTotal += file.size;
    }
    if (!GoOn(m_progress, progress)) return false;
    // One calculator serves the whole build; the reading threads only read it.
    CCrc32 crc;
    crc.BuildTable();
    CFingerprintQueue queue(crc, std::move(jobs), PlanReading(kScanTable[0].directory));
    for (size_t i = 0; i < found.size(); ++i) {
        const FoundFile& file = found[i];
        const FileReading reading = queue.Take(i, m_waiting);
        const FileDigests& digests = reading.digests;
        // A file that could not be read whole is recorded with the CRC "0"
        // and no SHA-256, and named.
        if (!digests.readWhole) m_unreadable.push_back(file.job.path);
        if (digests.changing) m_changing.push_back(file.job.path);
        EntryRecord record;
        record.name = file.name;
        record.date = CutToCapacity(TimestampText(file.lastWrite), kFingerprintCapacity);
        record.comment = std::string();  // a new entry records the empty comment
        RecordDigests(digests, record);
        WriteEntry(m_newList, file.section, file.n, record);
        ++m_nEntriesWritten;
        ++progress.filesDone;
        progress.bytesDone += file.size;
        if (!GoOn(m_progress, progress)) return false;
    }
    crc.FreeTable();
    return true;
}

bool CReleaseListBuild::OpenSigner(const CUpdateKey* key, CSiteSigner& signer,
                                   BuildResult& result) {
    if (key) {
        result.signing = signer.Open(*key);
        result.error = signer.Error();
    } else {
        const SitePin pin = ReadSitePin();
        result.error = pin.error;
        if (pin.pinned) {
            result.signing = pin.error != kErrorSuccess ? SigningProblem::SettingsUnreadable
                                                        : SigningProblem::KeyPinned;
        }
    }
    if (result.signing == SigningProblem::None) return true;
    result.status = BuildResult::SigningFailed;
    return false;
}

// Signs the new list in memory and keeps the key and the sequence number in
// the settings before the list takes its place.
bool CReleaseListBuild::SignNewList(CSiteSigner& signer, const std::string& listPath,
                                    BuildResult& result) {
    // The sequence goes on from the old list's only where that list is the
    // site's own, as it was signed.
    CIniFile oldList;
    SitePin pin;
    pin.pinned = true;
    pin.publicKey = signer.PublicKey();
    uint64_t oldSequence = 0;
    if (Platform().FileExists(listPath) && oldList.Load(listPath)) {
        const ListSignature old = CheckListSignature(&oldList, pin);
        if (old.state == SignatureState::Valid) oldSequence = old.sequence;
    }
    if (!signer.Sign(m_newList, oldSequence)) {
        result.signing = SigningProblem::SystemFailed;
    } else if (signer.Commit() != kErrorSuccess) {
        result.signing = SigningProblem::SettingsWriteFailed;
        result.error = signer.Error();
    } else {
        result.signedList = true;
        result.madeKey = signer.MadeKey();
        result.sequence = signer.Sequence();
        result.publicKey = signer.PublicKey();
        return true;
    }
    result.status = BuildResult::SigningFailed;
    return false;
}

BuildResult CReleaseListBuild::BuildReleaseList(const CUpdateKey* key) {
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

    // Whether the list may be written, and the key that signs it, before
    // any file is read.
    CSiteSigner signer;
    if (!OpenSigner(key, signer, result)) return result;

    CWaitCursor waitCursor(m_showWaitCursor);
    m_newList.LoadText(std::string());
    m_nEntriesWritten = 0;
    m_unreadable.clear();
    m_changing.clear();
    m_leftOut[0] = m_leftOut[1] = 0;
    std::vector<FoundFile> found;
    for (const ScanStep& step : kScanTable) {
        if (step.startsSection) m_nEntry = 1;
        ScanDirectory(step.directory, step.mask, step.section, found);
    }
    if (found.empty()) {
        // An empty list would turn every later comparison into silence; with
        // no list, the next comparison tells the operator again.
        result.status = BuildResult::NothingFound;
        return result;
    }
    if (!WriteEntries(found)) {
        // The new list lives in memory only: the old one stays as it was.
        result.status = BuildResult::Stopped;
        return result;
    }
    if (key && !SignNewList(signer, ReleaseListPath(windowsDirectory), result)) return result;
    const BuildResult signing = result;
    result = Replace(windowsDirectory);
    result.signedList = signing.signedList;
    result.madeKey = signing.madeKey;
    result.sequence = signing.sequence;
    result.publicKey = signing.publicKey;
    result.entries = m_nEntriesWritten;
    result.unreadable = m_unreadable;
    result.changing = m_changing;
    result.savedAsUnicode = m_newList.BecameUnicode();
    result.leftOut[0] = m_leftOut[0];
    result.leftOut[1] = m_leftOut[1];
    return result;
}

BuildResult CReleaseListBuild::Replace(const std::string& windowsDirectory) {
    BuildResult result;
    IPlatform& platform = Platform();
    // A symbolic link stays a link: its target gets the new list.
    const std::string listPath = platform.WriteTarget(ReleaseListPath(windowsDirectory));

    // The whole new list is on disk before it takes the old one's place, so
    // there is never a moment without a complete release list; it has the
    // old one's protection before it does.
    std::string bytes;
    if (!m_newList.FileBytes(bytes)) {
        result.status = BuildResult::WriteFailed;
        result.error = m_newList.LastSaveError();
        return result;
    }
    const FreshFileResult newList = WriteFreshFile(NewListPathBeside(listPath), bytes);
    if (newList.path.empty()) {
        result.status = BuildResult::WriteFailed;
        result.error = newList.error;
        return result;
    }
    result.error = platform.CopyProtection(listPath, newList.path);
    if (result.error != kErrorSuccess) {
        platform.RemoveFile(newList.path);
        result.status = BuildResult::WriteFailed;
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
