// The verdict on one listed file: its status and the cause of it, from the
// file as it is now and what its entry records.
//
// An entry that records a SHA-256 (key "SHA256%d") is identical only when
// both its CRC text and its SHA-256 are those of the file now: a CRC-32 can
// be kept with four chosen bytes, a SHA-256 cannot. A recorded value that is
// no SHA-256 text never falls back to the CRC. An entry without one is
// decided by the CRC text alone, as every list written before the SHA-256
// was. A file that cannot be read whole now is never identical. Whatever is
// not identical is "Updated" when the entry is marked, else "Not identical".
#pragma once

#include <string>

#include "core/ComparedFile.h"
#include "core/FileStatus.h"
#include "core/Fingerprint.h"

namespace qm {

struct Recorded {
    std::string crcText;
    std::string sha256Text;  // "" when the entry records none
    bool marked = false;     // "Updated%d" reads as 1
};

struct Verdict {
    FileStatus status = NotIdentical;
    RowCause cause = RowCause::Unknown;
    RowDigest digest = RowDigest::Crc32;
};

Verdict DecideVerdict(const FileNow& now, const Recorded& recorded);

}  // namespace qm
