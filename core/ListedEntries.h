// The walk over a section's entries that every reader of the release list
// shares: the comparison, the search for planted files, the list checks,
// Add and the list's signature, so that all of them see the same entries.
//
// A walk reads "File1", "File2", ... in ascending order and ends at the first
// number whose name is empty (no such key, or an empty value), and after
// entry 9998 at the latest. Entries behind such a gap or above 9998 are seen
// by no reader; the list checks name them.
//
// The walk takes a section's keys in one pass (CIniFile::ForEachValue), not
// a lookup per key: a reader of several keys of every entry (the signature)
// keeps to one pass over the list however many entries it holds.
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "core/IniFile.h"

namespace qm {

// The values of a section's keys "<field><n>" by entry number, for each of
// `fields` (the first is the entry's name, "File"): n from 1 to 9998 written
// as EntryKey writes it, the field in any case, the value as ReadText gives
// it whole. The texts live as long as the file is not changed.
class CEntryValues {
public:
    CEntryValues(const CIniFile& list, std::string_view section, std::vector<const char*> fields);

    // How many entries the walk reaches: 1 up to the first empty name.
    int Walked() const { return m_nWalked; }
    std::string_view Value(int n, size_t field) const {
        return m_values[static_cast<size_t>(n) * m_fields.size() + field];
    }

private:
    std::vector<const char*> m_fields;
    std::vector<std::string_view> m_values;
    int m_nWalked = 0;
};

// Calls `visit` (when given) with the number and the whole name of every
// entry the walk of `section` reaches; returns how many it reached.
int ForEachListedEntry(const CIniFile& list, std::string_view section,
                       const std::function<void(int n, const std::string& name)>& visit);

}  // namespace qm
