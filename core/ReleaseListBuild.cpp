#include "core/ReleaseListBuild.h"

#include <cstdint>
#include <memory>

#include "core/BoundedFormat.h"
#include "core/Crc32.h"
#include "core/Fingerprint.h"
#include "core/IniFile.h"
#include "core/ReleaseListFormat.h"
#include "platform/Platform.h"

namespace qm {

namespace {

// The scan table: which names of which directory go into which section.
struct ScanStep {
    const char* directory;
    const char* section;
    const char* mask;
    bool startsSection;  // the entry counter starts again at 1
};

const ScanStep kScanTable[] = {
    {"\\qmw", "qmw", "*.exe", true},  {"\\qmw", "qmw", "*.dll", false},
    {"\\qmw", "qmw", "*.bat", false}, {"\\qmw", "qmw", "*.cmd", false},
    {"\\qmw", "qmw", "*.qme", false}, {"\\db1", "db1", "*.exe", true},
    {"\\db1", "db1", "*.dll", false},
};

enum : size_t { kSearchPatternCapacity = 128, kTimestampCapacity = 128 };

// Shows the wait cursor for as long as it lives.
class WaitCursor {
public:
    explicit WaitCursor(const std::function<void(bool)>& show) : m_show(show) {
        if (m_show) m_show(true);
    }
    ~WaitCursor() {
        if (m_show) m_show(false);
    }
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;

private:
    const std::function<void(bool)>& m_show;
};

}  // namespace

// The new list grows here, in memory, and reaches the disk in one piece.
struct CReleaseListBuild::Impl {
    CIniFile newList;
    int entriesWritten = 0;
};

CReleaseListBuild::CReleaseListBuild(std::function<void(bool)> showWaitCursor)
    : m_impl(new Impl), m_showWaitCursor(std::move(showWaitCursor)) {}

CReleaseListBuild::~CReleaseListBuild() { delete m_impl; }

void CReleaseListBuild::ScanDirectory(const char* directory, const char* mask,
                                      const char* section) {
    bool patternFits = false;
    const std::string pattern =
        BoundedFormat(kSearchPatternCapacity, &patternFits, "%s.\\%s", directory, mask);
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
        // A name too long for the path text is recorded as unreadable rather
        // than fingerprinting the file that the cut path would name.
        if (pathIsWhole) crc.FileCrc32(path, value);
        const std::string crcText = CrcText(value);
        const std::string timestamp =
            CutToCapacity(TimestampText(found.lastWrite), kTimestampCapacity);

        CIniFile& list = m_impl->newList;
        list.WriteText(section, EntryKey("File", m_nEntry), found.name);
        list.WriteText(section, EntryKey("Date", m_nEntry), timestamp);
        list.WriteText(section, EntryKey("CRC", m_nEntry), crcText);
        list.WriteText(section, EntryKey("Updated", m_nEntry), "0");
        list.WriteText(section, EntryKey("Comment", m_nEntry), "");
        ++m_nEntry;
        ++m_impl->entriesWritten;
    } while (search->Next(found));
    search.reset();  // closes the search before the table goes
    crc.FreeTable();
}

BuildResult CReleaseListBuild::BuildReleaseList() {
    BuildResult result;
    const std::string windowsDirectory = Platform().WindowsDirectory();
    const std::string listPath = ReleaseListPath(windowsDirectory);
    const std::string newPath = NewListPath(windowsDirectory);
    if (listPath.empty() || newPath.empty()) {
        result.status = BuildResult::WriteFailed;
        return result;
    }

    WaitCursor waitCursor(m_showWaitCursor);
    m_impl->newList.LoadText(std::string());
    m_impl->entriesWritten = 0;
    for (const ScanStep& step : kScanTable) {
        if (step.startsSection) m_nEntry = 1;
        ScanDirectory(step.directory, step.mask, step.section);
    }
    result.entries = m_impl->entriesWritten;

    // The whole new list is on disk before it takes the old one's place, so
    // there is never a moment without a complete release list.
    if (!Platform().WriteNewFile(newPath, m_impl->newList.Text())) {
        Platform().RemoveFile(newPath);
        result.status = BuildResult::WriteFailed;
        return result;
    }

    if (!Platform().FileExists(listPath)) {
        if (!Platform().MoveReplace(newPath, listPath)) {
            Platform().RemoveFile(newPath);
            result.status = BuildResult::WriteFailed;
        }
        return result;
    }

    // The previous list is kept under the first free backup name; it is
    // never deleted, so the release record cannot be lost.
    const std::string backupPath = FirstFreeBackupPath(windowsDirectory);
    if (backupPath.empty()) {
        Platform().RemoveFile(newPath);
        result.status = BuildResult::BackupFailed;
        return result;
    }
    if (Platform().ReplaceWithBackup(listPath, newPath, backupPath)) {
        result.backupPath = backupPath;
        return result;
    }
    if (!Platform().CopyFile(listPath, backupPath)) {
        Platform().RemoveFile(newPath);
        result.status = BuildResult::BackupFailed;
        return result;
    }
    if (!Platform().MoveReplace(newPath, listPath)) {
        // The old list stays in place; the copy just made is not needed.
        Platform().RemoveFile(backupPath);
        Platform().RemoveFile(newPath);
        result.status = BuildResult::WriteFailed;
        return result;
    }
    result.backupPath = backupPath;
    return result;
}

}  // namespace qm
