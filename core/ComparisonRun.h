// The comparison run: every listed file of both sections fingerprinted anew,
// one result list row per entry, sorted by status at the end.
//
// The files are read on worker threads (ParallelFingerprints); the rows are
// made on the caller's thread, in the order of the walk, exactly as one
// thread would make them.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "core/IniFile.h"
#include "core/ListSignature.h"
#include "core/OperatorTexts.h"
#include "core/ReleaseListBuild.h"
#include "core/ReleaseListCheck.h"
#include "core/ResultList.h"
#include "core/SortState.h"
#include "core/UnlistedFiles.h"

namespace qm {

// The status texts the rows show: the window passes those of its string
// table, which hold the same texts.
struct StatusTexts {
    std::string identical = QM_TEXT_IDENTICAL;
    std::string notIdentical = QM_TEXT_NOT_IDENTICAL;
    std::string updated = QM_TEXT_UPDATED;
    std::string notListed = QM_TEXT_NOT_LISTED;
};

// What the caller does around the run; every hook may be empty.
struct ComparisonHooks {
    // No release list exists and no key is pinned: tell the operator
    // (IDS_NO_RELEASE_LIST) before the build.
    std::function<void()> noticeNoReleaseList;
    // true: show the wait cursor; false: the arrow cursor.
    std::function<void(bool)> showWaitCursor;
    // An entry of the build that a missing list starts has been written.
    std::function<void(int entriesSoFar)> entryBuilt;
    // A row has been added (the window repaints the list; the command line
    // shows progress).
    std::function<void(int rowsSoFar)> rowAdded;
    // The run waits for a file that is still being read: called about every
    // 100 ms meanwhile, so that the window can answer other programs.
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
    // The list's signature, checked on the very text that was compared
    // (SignatureStateText gives its words). While the settings pin a key, a
    // missing list is not built but told (UnsignedWhilePinned): only the
    // password sets the baseline then.
    ListSignature signature;
};

// The whole run (the body of OnCompare). `unlisted` chooses the component
// directories whose program files that no entry names are shown too, as
// "Not listed" rows after the rows of the entries.
ComparisonResult RunComparison(IResultList& list, SortState& sort, const StatusTexts& texts,
                               const ComparisonHooks& hooks, const UnlistedScope& unlisted = {});

}  // namespace qm
