// The result list rows as text: aligned table, TSV, CSV or JSON.
//
// Every format but the table carries all nine columns, the hidden entry
// number and section included. CSV follows RFC 4180 (CRLF line ends, fields
// with comma, quote or line break quoted, quotes doubled). TSV replaces tab,
// CR and LF inside a field by a blank. JSON is plain ASCII: control
// characters and every character beyond 0x7F are written as \u escapes,
// decoded from the system code page (see SystemTextToUtf16).
#pragma once

#include <string>

#include "cli/CommandLine.h"
#include "core/ResultTable.h"

namespace qm::cli {

std::string FormatRows(const CResultTable& table, OutputFormat format);

// Pieces the formats are made of, open to tests.
std::string CsvField(const std::string& text);
std::string TsvField(const std::string& text);
std::string JsonString(const std::string& text);

}  // namespace qm::cli
