// The events of one comparison for the Application log (compare
// --event-log): one summary, then one per file that is not identical, the
// most alarming first (a file changed to keep its CRC-32, a changed or
// unreadable one, a planted one, a marked one), at most kMostFileEvents,
// then one that counts the rest. Each event carries its strings; the
// message table holds the words around them (cli/EventCatalog.h).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "cli/ResultFormat.h"
#include "core/ResultTable.h"

namespace qm::cli {

struct Event {
    uint32_t id = 0;
    std::vector<std::string> inserts;
};

// `listPath` names the release list compared against.
std::vector<Event> RunEvents(const CResultTable& table, const RunFacts& facts,
                             const std::string& listPath);

// What keeps the list from being compared whole, in words ("the release
// list yields no entry in either section; ..."); "" when nothing does.
std::string ListProblems(const RunFacts& facts);

// Writes the events through the platform, every one of them; 0, or the
// system's reason of the first that failed.
uint32_t WriteEvents(const std::vector<Event>& events);

}  // namespace qm::cli
