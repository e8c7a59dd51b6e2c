#include "core/ListedEntries.h"

#include "core/Capacities.h"
#include "core/ReleaseListFormat.h"

namespace qm {

int ForEachListedEntry(const CIniFile& list, std::string_view section,
                       const std::function<void(int n, const std::string& name)>& visit) {
    int n = 0;
    while (n < kLastReadableEntry) {
        // Read whole: a name is never cut where it opens a file or names an entry.
        const std::string name =
            list.ReadText(section, EntryKey("File", n + 1), kWholeValueCapacity);
        if (name.empty()) break;
        ++n;
        if (visit) visit(n, name);
    }
    return n;
}

}  // namespace qm
