// What a run without a person reports of each compared file that is not
// identical: the event log, the metrics and the signer check all read this
// record, made by one adapter (WatchedFiles) from the rows of the result
// list.
//
// The signer stands beside the verdict and never decides it: the status of a
// row is what the digests made it. Only the files of rows that are not
// identical are asked about, so that a comparison that finds everything
// identical makes no signature call at all.
#pragma once

#include <string>
#include <vector>

#include "core/FileStatus.h"
#include "core/ResultList.h"
#include "platform/Signature.h"

namespace qm {

struct WatchedFile {
    int row = 0;           // its position in the result list
    std::string path;      // as the row shows it, such as \qmw.\tool.exe
    int sectionIndex = 0;  // 0 "qmw", 1 "db1"
    FileStatus status = NotIdentical;
    RowCause cause = RowCause::Unknown;
    std::string entry;  // the entry number; "" for a file that no entry names
    std::string comment;
    std::string sha256Current;  // "" where there is none
    std::string sha256Release;
    SignatureCheck signature;  // NotChecked until CheckSignatures asked
};

// Every row of `list` that is not identical, in list order.
std::vector<WatchedFile> WatchedFiles(const IResultList& list);

// Asks the system who signed the file of every row that is not identical
// (IPlatform::FileSignature) and keeps the answer in the row. Not asked: a
// missing file, and one whose shown path may have been cut to the row's
// capacity (it could name another file). Returns the number of questions.
int CheckSignatures(IResultList& list);

// A file changed without the operator's mark, or planted, that carries no
// valid signature: unsigned, its signature broken, or by a signer the
// system does not trust.
bool ChangedWithoutValidSignature(const WatchedFile& file);

// The signer in words: "signed by <name>", "unsigned", "signature broken
// (hash mismatch)", "not trusted", "signature unknown", or "not checked".
std::string SignatureText(const SignatureCheck& check);

// The state as a script matches it: "signed", "unsigned", "broken",
// "untrusted", "unknown"; null for one that was not checked.
const char* SignatureStateName(SignatureState state);

}  // namespace qm
