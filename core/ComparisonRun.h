// The comparison run: every listed file of both sections fingerprinted anew,
// one result list row per entry, sorted by status at the end.
#pragma once

#include <functional>
#include <string>

#include "core/IniFile.h"
#include "core/ReleaseListBuild.h"
#include "core/ResultList.h"
#include "core/SortState.h"

namespace qm {

// The status texts from the caller's string table (ids 109 to 111).
struct StatusTexts {
    std::string identical = "Identical";
    std::string notIdentical = "Not identical";
    std::string updated = "Updated";
};

// What the caller does around the run; every hook may be empty.
struct ComparisonHooks {
    // No release list exists: tell the operator (string 117) before the build.
    std::function<void()> noticeNoReleaseList;
    // true: show the wait cursor; false: the arrow cursor.
    std::function<void(bool)> showWaitCursor;
    // An entry of the build that a missing list starts has been written.
    std::function<void(int entriesSoFar)> entryBuilt;
    // A row has been added (the window repaints the list; the command line
    // shows progress).
    std::function<void(int rowsSoFar)> rowAdded;
    // After both sections, before the sort: rows of the caller's own (the
    // command line's files that no entry names).
    std::function<void(IResultList& list, const CIniFile& releaseList)> moreRows;
};

struct ComparisonResult {
    bool listFound = false;       // a release list existed when the run began
    bool builtList = false;       // no list existed, so a build was run first
    BuildResult build;            // the build's result when builtList
    bool listUnreadable = false;  // a list exists but could not be read: no rows
};

// Appends the rows of one section, each inserted at the top.
void CompareSection(IResultList& list, const CIniFile& releaseList, const char* directory,
                    const char* section, const StatusTexts& texts, const ComparisonHooks& hooks);

// The whole run (the body of OnCompare).
ComparisonResult RunComparison(IResultList& list, SortState& sort, const StatusTexts& texts,
                               const ComparisonHooks& hooks);

}  // namespace qm
