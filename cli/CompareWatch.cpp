#include "cli/CompareWatch.h"

#include <vector>

#include "cli/Commands.h"
#include "cli/EventCatalog.h"
#include "cli/MetricsFile.h"
#include "cli/RunEvents.h"
#include "core/Sha256.h"
#include "core/WatchedFile.h"
#include "platform/Platform.h"

namespace qm::cli {

namespace {

// The SHA-256 of the list file as it is now; "" when it cannot be read.
std::string ReleaseListDigest(const std::string& listPath) {
    std::string contents;
    if (Platform().ReadWholeFile(listPath, contents) != ReadResult::Ok) return std::string();
    return Sha256Hex(Sha256(contents));
}

std::string EventLogFailure(uint32_t error) {
    return "the events could not be written to the Application log: " + Platform().ErrorText(error);
}

}  // namespace

void GatherWatchFacts(const CommandLine& line, CResultTable& table, RunFacts& facts,
                      const std::string& listPath) {
    const bool watched = line.format == OutputFormat::Json ||
                         line.format == OutputFormat::OpenMetrics || line.eventLog ||
                         !line.metricsFile.empty();
    if (!watched) return;
    CheckSignatures(table);
    facts.listSha256 = ReleaseListDigest(listPath);
}

int FailWatched(const CommandLine& line, const std::string& reason) {
    if (line.eventLog) {
        const uint32_t error = WriteEvents({{kEventRunFailed, {reason}}});
        if (error != kErrorSuccess) Tell(EventLogFailure(error));
    }
    return Fail(reason);
}

int FinishWatched(const CommandLine& line, const CResultTable& table, const RunFacts& facts,
                  const std::string& listPath, int status) {
    if (!line.metricsFile.empty()) {
        const std::string path = Platform().ExpandEnvironment(line.metricsFile);
        const uint32_t error = WriteMetricsFile(path, FormatOpenMetrics(table, facts));
        if (error != kErrorSuccess) {
            Tell("the metrics file " + Shown(path) + " could not be written (" +
                 (error == kErrorLockViolation ? std::string("another qmverify is writing it")
                                               : Platform().ErrorText(error)) +
                 "): it stays as it was");
            status = kExitError;
        }
    }
    if (line.eventLog) {
        const uint32_t error = WriteEvents(RunEvents(table, facts, listPath));
        if (error != kErrorSuccess) {
            Tell(EventLogFailure(error));
            status = kExitError;
        }
    }
    return status;
}

}  // namespace qm::cli
