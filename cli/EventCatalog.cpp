#include "cli/EventCatalog.h"

namespace qm::cli {

const EventKind kEventKinds[10] = {
    {kEventRunIdentical, 9}, {kEventRunDifferences, 9}, {kEventRunListProblem, 10},
    {kEventRunFailed, 1},    {kEventScheduleFailed, 1}, {kEventFileNotIdentical, 8},
    {kEventFileCrafted, 8},  {kEventFileUpdated, 8},    {kEventFileNotListed, 4},
    {kEventFileMore, 1},
};

EventType EventTypeOf(uint32_t id) {
    switch (id >> 30) {
        case 1:
            return EventType::Information;
        case 2:
            return EventType::Warning;
        default:
            return EventType::Error;
    }
}

int InsertsOf(uint32_t id) {
    for (const EventKind& kind : kEventKinds) {
        if (kind.id == id) return kind.inserts;
    }
    return -1;
}

}  // namespace qm::cli
