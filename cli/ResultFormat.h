// The result list rows as text: aligned table, TSV, CSV, JSON, or the text
// format that Prometheus' textfile collector reads.
//
// Every format but the table carries all nine columns, the hidden entry
// number and section included. JSON adds to each row its cause ("same
// content", "content changed", "missing", "unreadable", "not listed") and
// whether the current date differs from the recorded one ("dateChanged";
// a changed date alone is no change of the file). A file that no entry
// names has "entry" and "dateChanged" null. CSV follows RFC 4180 (CRLF line ends, fields
// with comma or quote quoted, quotes doubled). TSV replaces tab, CR and LF
// inside a field by a blank. Neither passes a control character to the
// terminal: CSV and TSV show each that remains (CSV keeps tab) as '?', as
// the table does. JSON is plain ASCII: control characters and every
// character beyond 0x7F are written as \u escapes, decoded from the system
// code page (see SystemTextToUtf16).
#pragma once

#include <string>

#include "cli/CommandLine.h"
#include "core/ResultTable.h"

namespace qm::cli {

// What the monitoring format says beyond the rows.
struct RunFacts {
    bool listFound = true;  // the release list existed when the run began
    bool unlisted = false;  // --unlisted: files that no entry names were looked for
    double startTime = 0;   // seconds since 1970
    double duration = 0;    // seconds
};

std::string FormatRows(const CResultTable& table, OutputFormat format, const RunFacts& facts = {});

// The cause of a row in words a script can match; "" for a row of no cause.
const char* CauseText(RowCause cause);

// Prometheus' text exposition format (also valid OpenMetrics): per section
// and status the number of files, the unlisted files per section (with
// --unlisted), whether the list was found, and the run's time and duration.
std::string FormatOpenMetrics(const CResultTable& table, const RunFacts& facts);

// Pieces the formats are made of, open to tests.
std::string CsvField(const std::string& text);
std::string TsvField(const std::string& text);
std::string JsonString(const std::string& text);

}  // namespace qm::cli
