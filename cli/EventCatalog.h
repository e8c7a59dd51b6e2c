// The events that qmverify-cli writes to the Application log, source
// "qmverify". Their texts are the message table res/qmverify-events.mc,
// compiled into qmverify-cli.exe; each identifier here is a message's whole
// identifier, severity bits included, as ReportEventW takes it and
// FormatMessageW finds it. Event Viewer shows the number alone (1000, ...).
#pragma once

#include <cstdint>

#include "platform/Platform.h"

namespace qm::cli {

// Severity in the top two bits (1 information, 2 warning, 3 error), the
// number in the low sixteen.
constexpr uint32_t EventId(EventType type, uint32_t number) {
    return (type == EventType::Information ? 0x40000000u
            : type == EventType::Warning   ? 0x80000000u
                                           : 0xC0000000u) |
           number;
}

enum : uint32_t {
    // One per comparison: all identical; files that differ; a list that
    // cannot be compared whole; no comparison at all.
    kEventRunIdentical = EventId(EventType::Information, 1000),
    kEventRunDifferences = EventId(EventType::Warning, 1001),
    kEventRunListProblem = EventId(EventType::Error, 1002),
    kEventRunFailed = EventId(EventType::Error, 1003),
    // `schedule install` could not set up the scheduled compare.
    kEventScheduleFailed = EventId(EventType::Error, 1004),
    // One per file that is not identical, the first kMostFileEvents of a
    // run, then one that counts the rest.
    kEventFileNotIdentical = EventId(EventType::Warning, 1100),
    kEventFileCrafted = EventId(EventType::Warning, 1101),
    kEventFileUpdated = EventId(EventType::Information, 1102),
    kEventFileNotListed = EventId(EventType::Warning, 1103),
    kEventFileMore = EventId(EventType::Warning, 1199),
};

constexpr int kMostFileEvents = 50;

EventType EventTypeOf(uint32_t id);

// Every event the command line writes, with the number of its inserts
// (%1 ... %n of its message).
struct EventKind {
    uint32_t id;
    int inserts;
};
extern const EventKind kEventKinds[10];

// The number of inserts of the event `id`; -1 for an event of no kind here.
int InsertsOf(uint32_t id);

}  // namespace qm::cli
