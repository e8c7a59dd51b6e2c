// What a release list says of itself before any file is compared: how many
// entries the walk of each section reads, which entries it can never reach,
// and whether the list yields any entry at all. A list that cannot be read as
// meant must never pass as "nothing changed".
//
// The walk reads "File1", "File2", ... up to the first empty name and never
// beyond 9998; a "File%d" key behind such a gap, above 9998, or spelled with
// a leading zero is an entry that no comparison sees. A "SHA256%d" or
// "Size%d" key without a "File%d" of its number is told too.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "core/IniFile.h"

namespace qm {

struct SectionFindings {
    std::string section;
    int entries = 0;  // entries the walk reads: 1 up to the first gap
    // The "File%d" keys with a name that the walk never reads, as the list
    // spells them, in the order of the file.
    std::vector<std::string> unreachedKeys;
    // "SHA256%d" and "Size%d" keys of an entry that has no name at all: what
    // is left of an entry removed by hand (whose last entry no walk could
    // tell from the end of the list).
    std::vector<std::string> strayKeys;
};

struct ListFindings {
    SectionFindings sections[2];
    size_t unplacedLines = 0;      // lines the profile engine could not place
    size_t firstUnplacedLine = 0;  // the number of the first of them (from 1)

    int Entries() const { return sections[0].entries + sections[1].entries; }
    bool HasUnreachedEntries() const {
        return !sections[0].unreachedKeys.empty() || !sections[1].unreachedKeys.empty();
    }
    size_t UnreachedEntries() const {
        return sections[0].unreachedKeys.size() + sections[1].unreachedKeys.size();
    }
    size_t StrayKeys() const { return sections[0].strayKeys.size() + sections[1].strayKeys.size(); }
};

ListFindings CheckReleaseList(const CIniFile& releaseList);

// "File7, File8 and 3 more": the first few names of a list of keys.
std::string NamesInBrief(const std::vector<std::string>& names, size_t shown = 5);

}  // namespace qm
