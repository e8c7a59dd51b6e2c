#include "core/Verdict.h"

namespace qm {

namespace {

// Why a file that was not read whole could not be, as far as its open tells.
RowCause UnreadCause(const FileNow& now) {
    if (now.missing) return RowCause::Missing;
    switch (now.openError) {
        case kErrorAccessDenied:
            return RowCause::NoAccess;
        case kErrorSharingViolation:
        case kErrorLockViolation:
            return RowCause::HeldOpen;
        default:
            return RowCause::Unreadable;
    }
}

RowCause CauseOf(const FileNow& now, const Recorded& recorded) {
    if (now.sizeDiffers) return RowCause::SizeChanged;
    if (now.changing) return RowCause::ChangedWhileRead;
    if (!now.readWhole) return UnreadCause(now);
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
