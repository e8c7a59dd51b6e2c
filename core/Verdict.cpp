#include "core/Verdict.h"

namespace qm {

namespace {

RowCause CauseOf(const FileNow& now, const Recorded& recorded) {
    if (now.changing) return RowCause::ChangedWhileRead;
    if (!now.readWhole) return now.missing ? RowCause::Missing : RowCause::Unreadable;
    const bool sameCrc = now.crcText == recorded.crcText;
    if (recorded.sha256Text.empty()) return sameCrc ? RowCause::SameCrc : RowCause::ContentChanged;
    if (!IsSha256Text(recorded.sha256Text)) return RowCause::BadDigest;
    if (!sameCrc) return RowCause::ContentChanged;
    return SameSha256(now.sha256Text, recorded.sha256Text) ? RowCause::SameContent
                                                           : RowCause::ContentChangedSameCrc;
}

}  // namespace

Verdict DecideVerdict(const FileNow& now, const Recorded& recorded) {
    Verdict verdict;
    verdict.cause = CauseOf(now, recorded);
    verdict.digest = recorded.sha256Text.empty() ? RowDigest::Crc32 : RowDigest::Sha256;
    const bool same = verdict.cause == RowCause::SameContent || verdict.cause == RowCause::SameCrc;
    verdict.status = same ? Identical : recorded.marked ? Updated : NotIdentical;
    return verdict;
}

}  // namespace qm
