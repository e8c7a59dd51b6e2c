// The release list build: backs up the present release list under the first
// free numbered name and writes a new list from the two component
// directories, step by step through the scan table. It holds the writer lock
// for the whole build.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "core/IniFile.h"

namespace qm {

struct BuildResult {
    enum Status {
        Ok,            // the new list is in place
        BackupFailed,  // the previous list could not be kept: nothing changed
        WriteFailed,   // the new list could not be written (or the lock not taken): nothing changed
        NothingFound,  // neither directory holds a program file: no list was written
    };
    Status status = Ok;
    uint32_t error = 0;  // the system's reason when it failed (kErrorLockViolation: another writer)
    std::string backupPath;  // the backup's path; "" when there was no list before
    int entries = 0;         // entries written, both sections together
    // The files that were recorded with the CRC "0" because they could not be
    // read (as the list shows their paths, such as \qmw.\locked.exe).
    std::vector<std::string> unreadable;
};

class CReleaseListBuild {
public:
    // `showWaitCursor(true)` while the build works, `(false)` after it;
    // `entryWritten` after every entry (the window keeps itself alive).
    explicit CReleaseListBuild(std::function<void(bool)> showWaitCursor = {},
                               std::function<void(int entriesSoFar)> entryWritten = {});

    BuildResult BuildReleaseList();

    // Enters every name that `mask` selects in `directory` into `section`,
    // numbered from the entry counter, which ends one above the last number.
    void ScanDirectory(const char* directory, const char* mask, const char* section);

    int m_nEntry = 1;  // the entry counter

private:
    BuildResult Replace(const std::string& windowsDirectory);

    std::function<void(bool)> m_showWaitCursor;
    std::function<void(int)> m_entryWritten;
    // The new list grows here, in memory, and reaches the disk in one piece.
    CIniFile m_newList;
    int m_nEntriesWritten = 0;
    std::vector<std::string> m_unreadable;
};

}  // namespace qm
