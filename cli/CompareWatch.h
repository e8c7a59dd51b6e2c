// What compare does for a run without a person, beside its output: it asks
// who signed the files that are not identical (only when an output tells
// it), takes the release list's own digest, and writes the metrics file
// (--metrics-file) and the events (--event-log).
#pragma once

#include <string>

#include "cli/CommandLine.h"
#include "cli/ResultFormat.h"
#include "core/ResultTable.h"

namespace qm::cli {

// Before the output: the signers of the rows that are not identical and the
// digest of the list at `listPath`, when an output asked for shows them
// (json, openmetrics, --metrics-file, --event-log).
void GatherWatchFacts(const CommandLine& line, CResultTable& table, RunFacts& facts,
                      const std::string& listPath);

// A comparison that could not be made: with --event-log, event 1003 says
// why; then the message on standard error. Returns kExitError.
int FailWatched(const CommandLine& line, const std::string& reason);

// After the output: the metrics file and the events that the command line
// asks for. Returns `status`, or kExitError when one of them could not be
// written (after telling why).
int FinishWatched(const CommandLine& line, const CResultTable& table, const RunFacts& facts,
                  const std::string& listPath, int status);

}  // namespace qm::cli
