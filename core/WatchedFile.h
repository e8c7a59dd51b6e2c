// What a run without a person reports of each compared file that is not
// identical: the event log, the metrics, the window's row tips and the
// signer check all read the rows' records (ComparedFile) through one
// selection (WatchedFiles).
//
// The signer stands beside the verdict and never decides it: the status of a
// row is what the digests made it. Only the files of rows that are not
// identical are asked about, so that a comparison that finds everything
// identical makes no signature call at all.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "core/ComparedFile.h"
#include "core/ResultTable.h"

namespace qm {

// Every file of `table` that is not identical, in table order; the pointers
// live as long as the table is not changed.
std::vector<const ComparedFile*> WatchedFiles(const CResultTable& table);

// Whether the signer of `file` is asked about: a file that is not identical
// and was read (the system reads a file to check its signature: a missing,
// locked or unreadable one would only answer "unknown").
bool SignerAsked(const ComparedFile& file);

// Asks the system who signed each file that SignerAsked (IPlatform::
// FileSignature) and keeps the answer in its record; `goOn` (when given)
// before each question, false stops. Returns the number of questions.
int CheckSignatures(CResultTable& table, const std::function<bool()>& goOn = {});

// A file changed without the operator's mark, or planted, that carries no
// valid signature: unsigned, its signature broken, or by a signer the
// system does not trust.
bool ChangedWithoutValidSignature(const ComparedFile& file);

// The signer in words (core/OperatorTexts.h): "signed by <name>",
// "unsigned", "signature broken (hash mismatch)", "not trusted", "signature
// unknown", or "not checked".
std::string SignerText(const ComparedFile& file);

// The state as a script matches it: "signed", "unsigned", "broken",
// "untrusted", "unknown"; null for one that was not checked.
const char* FileSignatureStateName(FileSignatureState state);

}  // namespace qm
