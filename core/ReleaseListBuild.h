// The release list build: backs up the present release list under the first
// free numbered name and writes a new list from the two component
// directories, step by step through the scan table.
#pragma once

#include <functional>
#include <string>

namespace qm {

struct BuildResult {
    enum Status {
        Ok,            // the new list is in place
        BackupFailed,  // the previous list could not be kept: nothing changed
        WriteFailed,   // the new list could not be written: nothing changed
    };
    Status status = Ok;
    std::string backupPath;  // the backup's path; "" when there was no list before
    int entries = 0;         // entries written, both sections together
};

class CReleaseListBuild {
public:
    // `showWaitCursor(true)` while the build works, `(false)` after it.
    explicit CReleaseListBuild(std::function<void(bool)> showWaitCursor = {});
    ~CReleaseListBuild();

    BuildResult BuildReleaseList();

    // Enters every name that `mask` selects in `directory` into `section`,
    // numbered from the entry counter, which ends one above the last number.
    void ScanDirectory(const char* directory, const char* mask, const char* section);

    int m_nEntry = 1;  // the entry counter

private:
    struct Impl;
    Impl* m_impl;
    std::function<void(bool)> m_showWaitCursor;
};

}  // namespace qm
