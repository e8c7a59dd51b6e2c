// compare --metrics-file PATH: the monitoring text where a collector reads it
// (windows_exporter's or node_exporter's textfile folder), so that a reader
// finds the file of the run before or of this run, whole, never one half
// written. The text goes under a temporary name beside PATH (PATH.tmp,
// PATH.tmp2, ...; collectors read only *.prom), is flushed to disk, and then
// takes PATH's place in one move.
//
// A writer killed part way leaves its temporary file behind; the lock file
// PATH.lck, held while a writer is at work, tells such leftovers from the
// file of another writer, and the next writer removes them.
#pragma once

#include <cstdint>
#include <string>

namespace qm::cli {

// Writes `text` to `path` as above: 0, or the system's reason (then `path`
// is as it was). kErrorLockViolation when another writer kept the lock for
// the whole wait.
uint32_t WriteMetricsFile(const std::string& path, const std::string& text);

}  // namespace qm::cli
