// The walk over a section's entries that every reader of the release list
// shares: the comparison, the search for planted files, the list checks and
// Add, so that all of them see the same entries.
//
// A walk reads "File1", "File2", ... in ascending order and ends at the first
// number whose name is empty (no such key, or an empty value), and after
// entry 9998 at the latest. Entries behind such a gap or above 9998 are seen
// by no reader; the list checks name them.
#pragma once

#include <functional>
#include <string>
#include <string_view>

#include "core/IniFile.h"

namespace qm {

// Calls `visit` (when given) with the number and the whole name of every
// entry the walk of `section` reaches; returns how many it reached.
int ForEachListedEntry(const CIniFile& list, std::string_view section,
                       const std::function<void(int n, const std::string& name)>& visit);

}  // namespace qm
