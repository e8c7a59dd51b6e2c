#include "cli/RunEvents.h"

#include <algorithm>

#include "cli/EventCatalog.h"
#include "core/ReleaseListFormat.h"
#include "core/RunSummary.h"
#include "core/WatchedFile.h"
#include "platform/Platform.h"

namespace qm::cli {

namespace {

std::string DigestOrNone(const std::string& digest) { return digest.empty() ? "none" : digest; }

constexpr int kLeastAlarming = 3;

// The event of a file and how alarming it is (0 the most).
uint32_t FileEventOf(const ComparedFile& file, int& rank) {
    if (file.status == NotListed) {
        rank = 2;
        return kEventFileNotListed;
    }
    if (file.status == Updated) {
        rank = 3;
        return kEventFileUpdated;
    }
    rank = file.cause == RowCause::ContentChangedSameCrc ? 0 : 1;
    return rank == 0 ? kEventFileCrafted : kEventFileNotIdentical;
}

Event FileEvent(const ComparedFile& file) {
    int rank = 0;
    Event event;
    event.id = FileEventOf(file, rank);
    const std::string section = kComponentDirectories[file.section].section;
    if (event.id == kEventFileNotListed) {
        event.inserts = {Printable(file.path), section, SignerText(file),
                         DigestOrNone(file.sha256Now)};
        return event;
    }
    event.inserts = {Printable(file.path),
                     section,
                     std::to_string(file.entry),
                     CauseText(file.cause),
                     SignerText(file),
                     DigestOrNone(file.sha256Now),
                     DigestOrNone(file.sha256Recorded),
                     Printable(file.comment)};
    return event;
}

Event SummaryEvent(const CResultTable& table, const std::vector<const ComparedFile*>& files,
                   const RunFacts& facts, const std::string& listPath) {
    const RunSummary summary = SummarizeRows(table);
    const auto unvouched = std::count_if(files.begin(), files.end(), [](const ComparedFile* file) {
        return ChangedWithoutValidSignature(*file);
    });
    const std::string problems = ListProblems(facts);
    Event event;
    event.id = !problems.empty() ? kEventRunListProblem
               : summary.notIdentical + summary.updated + summary.notListed > 0
                   ? kEventRunDifferences
                   : kEventRunIdentical;
    event.inserts = {std::to_string(summary.compared),
                     std::to_string(summary.identical),
                     std::to_string(summary.notIdentical),
                     std::to_string(summary.updated),
                     facts.unlisted ? std::to_string(summary.notListed) : "not looked for",
                     std::to_string(summary.crafted.size()),
                     std::to_string(unvouched),
                     Printable(ShownPath(listPath)),
                     DigestOrNone(facts.listSha256)};
    if (!problems.empty()) event.inserts.push_back(problems);
    return event;
}

}  // namespace

std::string ListProblems(const RunFacts& facts) {
    std::vector<std::string> problems;
    // A list whose signature does not hold: no verdict of the run can be trusted.
    if (IsAlarm(facts.signature.state)) problems.push_back(SignatureStateText(facts.signature));
    const ListFindings& findings = facts.findings;
    // (A list missing while a key is pinned is told by its alarm alone.)
    if (findings.Entries() == 0 && !facts.signature.listMissing)
        problems.push_back("the release list yields no entry in either section");
    for (const SectionFindings& section : findings.sections) {
        if (section.unreachedKeys.empty()) continue;
        const size_t count = section.unreachedKeys.size();
        problems.push_back("section " + section.section + " holds " + std::to_string(count) +
                           (count == 1 ? " entry that is" : " entries that are") +
                           " never compared (" + Printable(NamesInBrief(section.unreachedKeys)) +
                           ")");
    }
    if (findings.unplacedLines > 0) {
        problems.push_back(std::to_string(findings.unplacedLines) +
                           " lines of the release list are no section, entry or comment (the "
                           "first is line " +
                           std::to_string(findings.firstUnplacedLine) + ")");
    }
    for (int index = 0; index < 2; ++index) {
        if (!facts.unsearched[index]) continue;
        problems.push_back(std::string(kComponentDirectories[index].directory) +
                           " could not be searched for files that no entry names");
    }
    std::string text;
    for (const std::string& problem : problems) text += (text.empty() ? "" : "; ") + problem;
    return text;
}

std::vector<Event> RunEvents(const CResultTable& table, const RunFacts& facts,
                             const std::string& listPath) {
    const std::vector<const ComparedFile*> files = WatchedFiles(table);
    std::vector<Event> events = {SummaryEvent(table, files, facts, listPath)};
    // The most alarming first, each kind in list order.
    std::vector<const ComparedFile*> ordered;
    for (int rank = 0; rank <= kLeastAlarming; ++rank) {
        for (const ComparedFile* file : files) {
            int fileRank = 0;
            FileEventOf(*file, fileRank);
            if (fileRank == rank) ordered.push_back(file);
        }
    }
    const size_t written = std::min(ordered.size(), static_cast<size_t>(kMostFileEvents));
    for (size_t i = 0; i < written; ++i) events.push_back(FileEvent(*ordered[i]));
    if (ordered.size() > written) {
        events.push_back({kEventFileMore, {std::to_string(ordered.size() - written)}});
    }
    return events;
}

uint32_t WriteEvents(const std::vector<Event>& events) {
    uint32_t first = kErrorSuccess;
    for (const Event& event : events) {
        const uint32_t error =
            Platform().WriteEvent(EventTypeOf(event.id), event.id, event.inserts);
        if (first == kErrorSuccess) first = error;
    }
    return first;
}

}  // namespace qm::cli
