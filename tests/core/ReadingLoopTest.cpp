#include "core/ReadingLoop.h"

#include <gtest/gtest.h>

#include <string>

#include "ForwardingPlatform.h"
#include "core/FileDigests.h"
#include "core/TempDirectory.h"

namespace qm {
namespace {

// A platform that counts the reads of its files and can make their facts
// state another size than the file has.
class ReadCounter : public test::ForwardingPlatform {
public:
    int reads = 0;
    bool lieAboutSize = false;
    uint64_t statedSize = 0;

    uint32_t OpenForReading(const std::string& path, std::unique_ptr<IReadFile>& file) override {
        std::unique_ptr<IReadFile> real;
        const uint32_t result = Real().OpenForReading(path, real);
        if (result == kErrorSuccess) file = std::make_unique<File>(*this, std::move(real));
        return result;
    }

private:
    class File : public IReadFile {
    public:
        File(ReadCounter& owner, std::unique_ptr<IReadFile> real)
            : m_owner(owner), m_real(std::move(real)) {}
        bool Read(void* buffer, size_t capacity, size_t& bytesRead) override {
            ++m_owner.reads;
            return m_real->Read(buffer, capacity, bytesRead);
        }
        bool Facts(FileFacts& facts) override {
            if (!m_real->Facts(facts)) return false;
            if (m_owner.lieAboutSize) facts.size = m_owner.statedSize;
            return true;
        }

    private:
        ReadCounter& m_owner;
        std::unique_ptr<IReadFile> m_real;
    };
};

std::string Bytes(size_t size) {
    std::string bytes(size, '\0');
    for (size_t i = 0; i < size; ++i) bytes[i] = static_cast<char>(i * 131 >> 5);
    return bytes;
}

TEST(ReadingLoop, AShortPieceThatCompletesTheSizeEndsTheRead) {
    test::TempDirectory dir;
    CCrc32 crc;
    CReadBuffer buffer;
    // The read that would find nothing more is spared; a full last piece
    // cannot tell the end, and an empty file is asked once.
    for (const auto& [size, reads] :
         {std::pair<size_t, int>{1000, 1}, {kReadPieceSize + 7, 2}, {kReadPieceSize, 2}, {0, 1}}) {
        dir.Write("tool.exe", Bytes(size));
        ReadCounter counter;
        const FileDigests digests = ReadFileDigests(crc, dir["tool.exe"], buffer);
        EXPECT_TRUE(digests.readWhole);
        EXPECT_EQ(digests.sha256, Sha256(Bytes(size)));
        EXPECT_EQ(counter.reads, reads) << size;
    }
}

// A file is read no further than the size it had when opened: one that
// gives more (a file system that states 0 or too few bytes, as /proc does
// for files that never end) has changed, and after its rereads it is told
// as changing, a piece a read. One that gives fewer is read to its end.
TEST(ReadingLoop, AFileIsReadNoFurtherThanItsSizeAtTheOpen) {
    test::TempDirectory dir;
    const std::string bytes = Bytes(100 * 1000);
    dir.Write("tool.exe", bytes);
    CCrc32 crc;
    CReadBuffer buffer;
    for (uint64_t stated : {uint64_t{0}, uint64_t{10}}) {
        ReadCounter counter;
        counter.lieAboutSize = true;
        counter.statedSize = stated;
        const FileDigests digests = ReadFileDigests(crc, dir["tool.exe"], buffer);
        EXPECT_FALSE(digests.readWhole) << stated;
        EXPECT_TRUE(digests.changing) << stated;
        EXPECT_EQ(counter.reads, kRereadsOfAChangingFile + 1) << stated;
    }
    ReadCounter counter;
    counter.lieAboutSize = true;
    counter.statedSize = uint64_t{1} << 40;
    const FileDigests digests = ReadFileDigests(crc, dir["tool.exe"], buffer);
    EXPECT_TRUE(digests.readWhole);
    EXPECT_EQ(digests.sha256, Sha256(bytes));
}

// A size that is not the recorded one, or beyond the bound, is told from
// the open alone: not a byte is read, whatever the file's length.
TEST(ReadingLoop, TheSizeAtTheOpenDecidesBeforeAnyRead) {
    test::TempDirectory dir;
    dir.Write("tool.exe", Bytes(5000));
    CCrc32 crc;
    CReadBuffer buffer;
    struct Case {
        SizeBounds bounds;
        bool whole, sizeDiffers, tooLarge;
    };
    const Case cases[] = {
        {SizeBounds{uint64_t{5000}, 0}, true, false, false},
        {SizeBounds{uint64_t{4999}, 0}, false, true, false},
        {SizeBounds{std::nullopt, 4999}, false, false, true},
        {SizeBounds{std::nullopt, 5000}, true, false, false},
    };
    for (const Case& c : cases) {
        ReadCounter counter;
        const FileDigests digests =
            ReadFileDigests(crc, dir["tool.exe"], buffer, Digests::Crc32AndSha256, c.bounds);
        EXPECT_EQ(digests.readWhole, c.whole);
        EXPECT_EQ(digests.sizeDiffers, c.sizeDiffers);
        EXPECT_EQ(digests.tooLarge, c.tooLarge);
        EXPECT_EQ(digests.size, 5000u);
        EXPECT_EQ(counter.reads, c.whole ? 1 : 0);
    }
}

#ifndef _WIN32
// A system file that never ends ends the reading within its rereads.
TEST(ReadingLoop, AFileThatNeverEndsIsChanging) {
    CCrc32 crc;
    CReadBuffer buffer;
    const FileDigests digests = ReadFileDigests(crc, "/proc/self/pagemap", buffer);
    if (digests.openError != kErrorSuccess) GTEST_SKIP() << "no /proc/self/pagemap here";
    EXPECT_FALSE(digests.readWhole);
    EXPECT_TRUE(digests.changing);
}
#endif

}  // namespace
}  // namespace qm
