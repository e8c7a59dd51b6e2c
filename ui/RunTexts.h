// The texts of the main window's runs, from the string table: the count of
// a run as it goes, the summary after a comparison, a stopped run, a
// finished build, and a row's status with its cause.
#pragma once

#include <string>

#include "core/ComparedFile.h"
#include "core/ReleaseListBuild.h"
#include "core/RunProgress.h"
#include "core/RunSummary.h"

// "Comparing N of M files (X of Y MB)" (without the bytes where the
// directories tell no sizes), "Recording N of M files".
std::string ProgressText(const qm::RunProgress& progress);

// The result group box's text after a comparison of `directories` (such as
// "C:\qmw and C:\db1"): the counts on its first line; on a second, short one
// the files changed with their CRC-32 kept, the files not read by cause and
// the entries that the CRC-32 alone checks.
std::string SummaryText(const qm::RunSummary& summary, const std::string& qmwDirectory,
                        const std::string& db1Directory);

// "Comparison stopped: N of M files compared".
std::string StoppedText(int compared, int total);

// What a build that ran to its end says: the files recorded and the
// previous list's backup; a stopped one, that nothing changed.
std::string BuildOutcomeText(const qm::BuildResult& build);

// The cause in the words of the string table; "" for none.
std::string CauseWords(qm::RowCause cause);

// "Not identical (held open by another program)": the status and its cause.
std::string StatusWithCause(const qm::ComparedFile& file, const qm::StatusTexts& texts);

// Who signed the file in the words of the string table ("signed by
// Quillmark", "unsigned", ...); "" where nobody asked.
std::string SignerWords(const qm::ComparedFile& file);

// "Not identical (content changed); signed by Quillmark": the status, its
// cause and, where it was asked, the signer, as the row's tip and Edit
// comment's Status field show them.
std::string RowVerdict(const qm::ComparedFile& file, const qm::StatusTexts& texts);

// A component directory as the operator finds it: whole, with the drive
// the run compared ("C:\qmw", "\\server\share\qmw").
std::string ComparedDirectory(const char* directory);
