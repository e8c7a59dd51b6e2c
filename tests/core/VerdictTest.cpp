#include "core/Verdict.h"

#include <gtest/gtest.h>

#include <string>

#include "core/Sha256.h"

namespace qm {
namespace {

TEST(Verdict, ARecordedSha256ThatDiffersInAnyOneDigitIsNoMatch) {
    FileNow now;
    now.readWhole = true;
    now.crcText = "cbf43926";
    now.sha256Text = Sha256Hex(Sha256("program"));
    Recorded recorded{now.crcText, now.sha256Text, false};
    EXPECT_EQ(DecideVerdict(now, recorded).cause, RowCause::SameContent);
    // The first, a middle and the last digit: a file kept to its CRC-32
    // differs wherever its digest does.
    for (const size_t digit : {size_t{0}, size_t{31}, size_t{63}}) {
        std::string other = now.sha256Text;
        other[digit] = other[digit] == '0' ? '1' : '0';
        recorded.sha256Text = other;
        const Verdict verdict = DecideVerdict(now, recorded);
        EXPECT_EQ(verdict.cause, RowCause::ContentChangedSameCrc) << digit;
        EXPECT_EQ(verdict.status, NotIdentical) << digit;
    }
}

}  // namespace
}  // namespace qm
