// Program files that nobody released: every file that the build's masks
// select in a component directory and that no entry of its section names,
// as far as the comparison's walk sees the entries (1 up to the first gap,
// at most 9998). Names match without regard to case, as Windows names a file.
#pragma once

#include <string>

#include "core/IniFile.h"
#include "core/ResultList.h"

namespace qm {

// Inserts one row at the top for each such file: its path, the status text
// `notListedText` with the image of a file that is not identical, its CRC
// and timestamp texts now, empty release columns and entry number, its
// section, and the cause NotListed. Returns the number of rows added.
int AppendUnlistedRows(IResultList& list, const CIniFile& releaseList,
                       const std::string& notListedText);

}  // namespace qm
