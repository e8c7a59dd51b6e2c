// The comparison run: every listed file of both sections fingerprinted anew,
// one compared file (ComparedFile) per entry, then one per program file that
// no entry names, sorted by status at the end.
//
// The files are read on worker threads (ParallelFingerprints); the records
// are made on the caller's thread, in the order of the walk, exactly as one
// thread would make them. The caller may run the whole comparison on a
// thread of its own: the hooks are called on that thread.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "core/ComparedFile.h"
#include "core/IniFile.h"
#include "core/ListSignature.h"
#include "core/ReleaseListBuild.h"
#include "core/ReleaseListCheck.h"
#include "core/ResultTable.h"
#include "core/RunProgress.h"
#include "core/SortState.h"
#include "core/UnlistedFiles.h"

namespace qm {

// What the caller does around the run; every hook may be empty.
struct ComparisonHooks {
    // No release list exists and no key is pinned: tell the operator
    // (IDS_NO_RELEASE_LIST) before the build.
    std::function<void()> noticeNoReleaseList;
    // true: show the wait cursor; false: the arrow cursor.
    std::function<void(bool)> showWaitCursor;
    // After each file recorded (by the build that a missing list starts) or
    // compared; false stops the run.
    ProgressHook progress;
    // A file has been compared: the entries of both sections in the order of
    // the walk, then the files that no entry names.
    std::function<void(const ComparedFile&)> compared;
    // The run waits for a file that is still being read: called about every
    // 100 ms meanwhile.
    std::function<void()> waiting;
};

struct ComparisonResult {
    bool listFound = false;       // a release list existed when the run began
    bool builtList = false;       // no list existed, so a build was run first
    BuildResult build;            // the build's result when builtList
    bool listUnreadable = false;  // a list exists but could not be read: no rows
    uint32_t listLoadError = 0;   // the system's reason then (kErrorFileTooLarge: too large)
    ListFindings findings;        // entries read, entries no walk reaches
    // Component directories that could not be searched for files that no
    // entry names (only those the run was asked to search).
    std::vector<UnsearchedDirectory> unsearched;
    // DevOverrideEnable = 1: every program of the machine honours a
    // <program>.exe.local beside it.
    bool dllRedirectionEnabled = false;
    bool stopped = false;  // the progress hook stopped the run (or the build before it)
    int filesCompared = 0;
    int filesToCompare = 0;  // the files the whole run would have compared
    // The list's signature, checked on the very text that was compared
    // (SignatureStateText gives its words). While the settings pin a key, a
    // missing list is not built but told (UnsignedWhilePinned): only the
    // password sets the baseline then.
    ListSignature signature;
    // Who besides its owner may write the list, in words; "" when nobody
    // may (or there is no list): whoever may write it sets the baseline.
    std::string listWritableBy;
};

// The comparison itself: each file to `hooks.compared` as it is decided.
// `unlisted` chooses the component directories whose program files that no
// entry names are compared too (status NotListed), after the entries.
ComparisonResult CompareFiles(const ComparisonHooks& hooks, const UnlistedScope& unlisted = {});

// The whole run (the body of OnCompare): the table's rows replaced by the
// compared files, each new one at the top, then sorted by status (the sort
// state becomes column 1, descending).
ComparisonResult RunComparison(CResultTable& table, SortState& sort, const ComparisonHooks& hooks,
                               const UnlistedScope& unlisted = {});

}  // namespace qm
