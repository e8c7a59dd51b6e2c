#include "core/ListedEntries.h"

#include <utility>

#include "core/Capacities.h"
#include "core/ReleaseListFormat.h"
#include "platform/AsciiCase.h"

namespace qm {

namespace {

// The number of `key` when it is "<prefix><n>" as EntryKey spells entry n
// (the prefix in any case, as lookups match it; n from 1 to 9998 without
// leading zeros); 0 otherwise.
int EntryNumber(std::string_view key, std::string_view prefix) {
    if (key.size() <= prefix.size() || key.size() > prefix.size() + 4 ||
        !EqualNoCase(key.substr(0, prefix.size()), prefix) || key[prefix.size()] == '0') {
        return 0;
    }
    int n = 0;
    for (size_t i = prefix.size(); i < key.size(); ++i) {
        if (key[i] < '0' || key[i] > '9') return 0;
        n = n * 10 + (key[i] - '0');
    }
    return n <= kLastReadableEntry ? n : 0;
}

}  // namespace

CEntryValues::CEntryValues(const CIniFile& list, std::string_view section,
                           std::vector<const char*> fields)
    : m_fields(std::move(fields)),
      m_values(static_cast<size_t>(kLastReadableEntry + 1) * m_fields.size()) {
    list.ForEachValue(section, [this](std::string_view key, std::string_view value) {
        for (size_t field = 0; field < m_fields.size(); ++field) {
            const int n = EntryNumber(key, m_fields[field]);
            if (n > 0) {
                // As a read of the whole value gives it.
                m_values[static_cast<size_t>(n) * m_fields.size() + field] =
                    value.substr(0, kWholeValueCapacity - 1);
                return;
            }
        }
    });
    while (m_nWalked < kLastReadableEntry && !Value(m_nWalked + 1, 0).empty()) ++m_nWalked;
}

int ForEachListedEntry(const CIniFile& list, std::string_view section,
                       const std::function<void(int n, const std::string& name)>& visit) {
    const CEntryValues names(list, section, {"File"});
    if (visit) {
        for (int n = 1; n <= names.Walked(); ++n) visit(n, std::string(names.Value(n, 0)));
    }
    return names.Walked();
}

}  // namespace qm
