// The release list build: backs up the present release list under the first
// free numbered name and writes a new list from the two component
// directories, step by step through the scan table. It holds the writer lock
// for the whole build.
//
// Every entry records the file's name, date, CRC, mark "0", an empty comment
// and, when the file could be read whole, its SHA-256 ("SHA256%d"), taken in
// the same read as the CRC. The files are read on worker threads; the
// entries are written in the order of the directory searches.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "core/IniFile.h"
#include "core/RunProgress.h"
#include "core/SiteKey.h"

namespace qm {

struct BuildResult {
    enum Status {
        Ok,            // the new list is in place
        BackupFailed,  // the previous list could not be kept: nothing changed
        WriteFailed,   // the new list could not be written (or the lock not taken): nothing changed
        NothingFound,  // neither directory holds a program file: no list was written
        Stopped,       // the caller stopped it before the new list took the old one's place:
                       // nothing changed
        SigningFailed,  // the list could not be signed (see `signing`): nothing changed
    };
    Status status = Ok;
    uint32_t error = 0;  // the system's reason when it failed (kErrorLockViolation: another writer)
    std::string backupPath;  // the backup's path; "" when there was no list before
    int entries = 0;         // entries written, both sections together
    // The files that were recorded with the CRC "0" and no SHA-256 because
    // they could not be read (as the list shows their paths, such as
    // \qmw.\locked.exe), and those among them that changed during every read.
    std::vector<std::string> unreadable;
    std::vector<std::string> changing;
    SigningProblem signing = SigningProblem::None;  // why, when SigningFailed
    bool signedList = false;                        // the new list carries the site's signature
    bool madeKey = false;                           // the site's signing key was made for it
    uint64_t sequence = 0;                          // the signature's sequence number
    std::string publicKey;                          // the key that signed it
    // A name that the ANSI code page cannot spell made the list UTF-16LE.
    bool savedAsUnicode = false;
    // Files found beyond the last entry a section holds, per section ("qmw",
    // "db1"): not recorded, so the next comparison shows them "Not listed".
    int leftOut[2] = {0, 0};
    int LeftOut() const { return leftOut[0] + leftOut[1]; }
};

class CReleaseListBuild {
public:
    // `showWaitCursor(true)` while the build works, `(false)` after it;
    // `progress` once the files are found and after every entry (false stops
    // the build, which then changes nothing), and `waiting` about every
    // 100 ms while it waits for a file that is still being read.
    explicit CReleaseListBuild(std::function<void(bool)> showWaitCursor = {},
                               ProgressHook progress = {}, std::function<void()> waiting = {});

    // With the key of an accepted update password the new list is signed
    // (and the site's key made, the first time). Without one (the first
    // comparison, which builds a missing list) it is not, and the build is
    // refused while the settings pin a key: only the password may then
    // set the baseline.
    BuildResult BuildReleaseList(const CUpdateKey* key = nullptr);

    // The entry counter: one above the last number written in the section
    // built last.
    int NextEntryNumber() const { return m_nEntry; }

private:
    struct FoundFile;
    // Every name that `mask` selects in `directory`, numbered on from the
    // entry counter.
    void ScanDirectory(const char* directory, const char* mask, const char* section,
                       std::vector<FoundFile>& found);
    // False when the caller stopped it.
    bool WriteEntries(const std::vector<FoundFile>& found);
    bool OpenSigner(const CUpdateKey* key, CSiteSigner& signer, BuildResult& result);
    bool SignNewList(CSiteSigner& signer, const std::string& listPath, BuildResult& result);
    BuildResult Replace(const std::string& windowsDirectory);

    std::function<void(bool)> m_showWaitCursor;
    ProgressHook m_progress;
    std::function<void()> m_waiting;
    int m_nEntry = 1;
    // The new list grows here, in memory, and reaches the disk in one piece.
    CIniFile m_newList;
    int m_nEntriesWritten = 0;
    std::vector<std::string> m_unreadable;
    std::vector<std::string> m_changing;
    int m_leftOut[2] = {0, 0};
};

}  // namespace qm
