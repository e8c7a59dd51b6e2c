// Program files that nobody released: every file that the build's masks
// select in a component directory and that no entry of its section names,
// as far as the comparison's walk sees the entries (1 up to the first gap,
// at most 9998). Names match without regard to case, as Windows names a file.
// Beyond the masks, the rest of the directory is looked at once for what
// makes Windows load code that no mask takes (core/DllRedirection.h).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "core/ComparedFile.h"
#include "core/IniFile.h"

namespace qm {

struct UnlistedFile {
    std::string path;  // whole, such as \qmw.\planted.dll
    bool pathIsWhole = true;
    int sectionIndex = 0;   // 0 "qmw", 1 "db1"
    bool isFolder = false;  // a directory (whose name a mask selects, or a .exe.local)
    RowCause cause = RowCause::NotListed;  // or Folder, DllRedirection, Manifest, ProgramByContent
};

// Which component directories are searched for such files.
struct UnlistedScope {
    bool sections[2] = {false, false};
    bool Any() const { return sections[0] || sections[1]; }
};

// A component directory that exists but could not be searched (no access):
// its files cannot be told apart from released ones.
struct UnsearchedDirectory {
    int sectionIndex = 0;
    std::string directory;  // such as \db1
    uint32_t error = 0;     // the system's reason
};

struct UnlistedFiles {
    // In the order of the build's scan table, then the rest of each
    // directory in the order found.
    std::vector<UnlistedFile> files;
    std::vector<UnsearchedDirectory> unsearched;
};

UnlistedFiles FindUnlistedFiles(const CIniFile& releaseList, const UnlistedScope& scope);

}  // namespace qm
