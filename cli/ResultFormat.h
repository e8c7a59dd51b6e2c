// The result list rows as text: aligned table, TSV, CSV, JSON, or the text
// format that Prometheus' textfile collector reads.
//
// Every format but the table carries all nine columns, the hidden entry
// number and section included. JSON adds to each row its cause (see
// CauseText), whether the current date differs from the recorded one
// ("dateChanged"; a changed date alone is no change of the file), the digest
// that decided ("sha256" when the entry records a SHA-256, "crc32" when it
// records the CRC-32 alone) and the SHA-256 texts now and recorded
// ("sha256Current", "sha256Release"; null where there is none), and who
// signed a file that is not identical ("signer", "signatureState"; null
// where nobody asked, core/WatchedFile.h). A file that no entry names has
// "entry", "dateChanged", "digest" and "sha256Release" null. CSV follows
// RFC 4180 (CRLF line ends, fields with comma or quote quoted, quotes
// doubled). TSV replaces tab, CR and LF inside a field by a
// blank. Neither passes a control character to the terminal: CSV and TSV
// show each that remains (CSV keeps tab) as '?', as the table does. JSON is
// plain ASCII: control characters and every character beyond 0x7F are
// written as \u escapes of its UTF-16 (see TextToUtf16).
#pragma once

#include <string>

#include "cli/CommandLine.h"
#include "core/ListSignature.h"
#include "core/ReleaseListCheck.h"
#include "core/ResultTable.h"

namespace qm::cli {

// What the monitoring format says beyond the rows.
struct RunFacts {
    bool listFound = true;                // the release list existed when the run began
    bool unlisted = false;                // --unlisted: files that no entry names were looked for
    double startTime = 0;                 // seconds since 1970
    double duration = 0;                  // seconds
    ListFindings findings;                // what the list says against the run
    bool unsearched[2] = {false, false};  // --unlisted: the directory could not be searched
    ListSignature signature;              // the list's signature and the pinned key
    std::string listSha256;               // the list file's own SHA-256; "" when unread
    int leftOut = 0;                      // files the build of this run left out of full sections
    bool dllRedirectionEnabled = false;   // DevOverrideEnable = 1
};

std::string FormatRows(const CResultTable& table, OutputFormat format, const RunFacts& facts = {});

// Prometheus' text exposition format (also valid OpenMetrics): per section
// and status the number of files, the unlisted files per section (with
// --unlisted), the entries checked by the CRC-32 alone and the files whose
// CRC-32 is the recorded one while their SHA-256 is not, and the changed or
// planted files without a valid signature, per section, whether the list was
// found, what is wrong with the list itself, the list file's own SHA-256,
// and the run's time and duration.
std::string FormatOpenMetrics(const CResultTable& table, const RunFacts& facts);

// Pieces the formats are made of, open to tests.
std::string CsvField(const std::string& text);
std::string TsvField(const std::string& text);
std::string JsonString(const std::string& text);

}  // namespace qm::cli
