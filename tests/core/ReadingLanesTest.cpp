#include "core/ReadingLanes.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "SampleInstallation.h"

namespace qm {
namespace {

TEST(ReadingLanes, EveryFileGetsTheDigestsOfItsOwnReadingOnce) {
    test::SampleInstallation sample;
    // Within a block, a block and a bit, several blocks, a piece and more;
    // some that need no SHA-256, one missing, one path that is not whole.
    const size_t sizes[] = {
        0,  1,    63,    64, 65, 1000, 5000, 64 * 3 + 1, kReadPieceSize, kReadPieceSize + 9,
        77, 4096, 130000};
    std::vector<FingerprintJob> jobs;
    for (size_t i = 0; i < std::size(sizes); ++i) {
        std::string bytes(sizes[i], '\0');
        for (size_t k = 0; k < bytes.size(); ++k) bytes[k] = static_cast<char>(k * 7 + i);
        const std::string name = "f" + std::to_string(i) + ".exe";
        sample.WriteFile("qmw/" + name, bytes);
        FingerprintJob job{"\\qmw.\\" + name, true};
        if (i % 5 == 4) job.digests = Digests::Crc32Only;
        jobs.push_back(job);
    }
    jobs.push_back({"\\qmw.\\missing.exe", true});
    jobs.push_back({std::string("\\qmw.\\f1.exe\0x", 14), false});

    CCrc32 crc;
    std::map<size_t, FileReading> done;
    CReadingLanes lanes(crc, [&done](size_t index, FileReading reading) {
        EXPECT_EQ(done.count(index), 0u) << index;
        done[index] = std::move(reading);
    });
    for (size_t i = 0; i < jobs.size(); ++i) lanes.Read(i, jobs[i]);
    lanes.Finish();

    ASSERT_EQ(done.size(), jobs.size());
    CReadBuffer buffer;
    for (size_t i = 0; i < jobs.size(); ++i) {
        const FileReading alone = ReadOneFile(crc, jobs[i], buffer);
        EXPECT_EQ(done[i].digests.readWhole, alone.digests.readWhole) << i;
        EXPECT_EQ(done[i].digests.crc, alone.digests.crc) << i;
        EXPECT_EQ(done[i].digests.hasSha256, alone.digests.hasSha256) << i;
        EXPECT_EQ(done[i].digests.sha256, alone.digests.sha256) << i;
        EXPECT_EQ(done[i].digests.openError, alone.digests.openError) << i;
        EXPECT_EQ(done[i].found, alone.found) << i;
    }
}

}  // namespace
}  // namespace qm
