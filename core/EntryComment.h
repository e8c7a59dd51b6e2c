// The comment and the update mark of one release list entry, and bringing
// the shown row up to date afterwards.
#pragma once

#include <cstdint>
#include <string>

#include "core/ComparedFile.h"
#include "core/FileStatus.h"

namespace qm {

enum class CommentResult {
    Written,       // both keys are stored
    EntryChanged,  // entry n no longer names the row's file: nothing written
    WriteFailed,   // the release list could not be written (or the lock not taken)
    ReadFailed,    // the release list could not be read: nothing written
};

// The comment as the release list keeps it: line breaks (and NULs) become
// blanks, and it is cut to kCommentLength (511) bytes, never inside a UTF-8
// character of a comment that is UTF-8.
std::string OneLineComment(const std::string& comment);

// Writes "Comment<n>" then "Updated<n>" into `section`. `name` is the file's
// name as entry n named it when the row was made; when entry n of the list
// no longer names that file, nothing is written. The list is read, checked, changed and
// saved inside the writer lock, so the check sees the newest list and no
// other writer's list is ever overwritten with an older copy. `error`
// receives the system's reason of a WriteFailed (kErrorLockViolation:
// another writer kept the list) or a ReadFailed. The comment and the mark
// are not signed: the list's signature stays valid.
CommentResult WriteEntryComment(const std::string& section, int n, const std::string& name,
                                const std::string& comment, bool updated,
                                uint32_t* error = nullptr);

// The stored edit on the row's record: its comment as the list keeps it, and
// its status Updated when the mark is set, else the status it had before.
void ApplyCommentToRow(ComparedFile& file, const std::string& comment, bool updated,
                       FileStatus earlier);

}  // namespace qm
