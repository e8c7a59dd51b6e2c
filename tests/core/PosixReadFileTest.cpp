// The posix reader of program files: past the page cache for a file that is
// not in it, back through the cache where the file system refuses that, and
// the positional read's failures as a drive or a file system gives them
// (through posix::SetPositionalRead).
#ifndef _WIN32

#include "platform/posix/ReadFile.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <string>

#include "CrcForge.h"
#include "core/FileDigests.h"
#include "core/TempDirectory.h"

namespace qm {
namespace {

// What the positional reads saw of their files' status flags, and the
// failures the test asks of them.
struct ReadLog {
    std::atomic<int> calls{0};
    std::atomic<int> direct{0};        // with O_DIRECT set
    std::atomic<int> blocking{0};      // without O_NONBLOCK
    std::atomic<int> refuseDirect{0};  // direct reads to fail with EINVAL
    std::atomic<int> failCall{0};      // the call (from 1) to fail with failErrno
    int failErrno = 0;
};
ReadLog g_log;

ssize_t LoggedRead(int fd, void* buffer, size_t count, off_t offset) {
    const int call = ++g_log.calls;
    const int flags = fcntl(fd, F_GETFL);
    const bool direct = (flags & O_DIRECT) != 0;
    g_log.direct += direct;
    g_log.blocking += (flags & O_NONBLOCK) == 0;
    if (direct && g_log.refuseDirect > 0) {
        --g_log.refuseDirect;
        errno = EINVAL;  // as a file system that takes the flag but not its reads
        return -1;
    }
    if (call == g_log.failCall) {
        errno = g_log.failErrno;
        return -1;
    }
    return pread(fd, buffer, count, offset);
}

class PosixReadFile : public ::testing::Test {
protected:
    void SetUp() override {
        g_log.calls = g_log.direct = g_log.blocking = g_log.refuseDirect = g_log.failCall = 0;
        m_before = posix::SetPositionalRead(&LoggedRead);
        for (size_t i = 0; i < m_contents.size(); ++i) {
            m_contents[i] = static_cast<char>((i * 2654435761u) >> 13);
        }
        m_dir.Write("program.exe", m_contents);
    }
    void TearDown() override { posix::SetPositionalRead(m_before); }

    // Writes the file to the drive and drops it from the page cache, as a
    // file that nobody read since the machine started.
    void Evict() const {
        const int fd = open((m_dir.path() / "program.exe").c_str(), O_RDONLY);
        ASSERT_GE(fd, 0);
        fsync(fd);
        posix_fadvise(fd, 0, 0, POSIX_FADV_DONTNEED);
        close(fd);
    }
    FileDigests Digests() {
        CCrc32 crc;
        CReadBuffer buffer;
        return ReadFileDigests(crc, m_dir["program.exe"], buffer);
    }
    bool Right(const FileDigests& digests) const {
        return digests.readWhole && digests.sha256 == Sha256(m_contents);
    }

    test::TempDirectory m_dir;
    std::string m_contents = std::string(3 * kReadPieceSize + 100, '\0');

private:
    posix::PositionalRead m_before = nullptr;
};

TEST_F(PosixReadFile, AFileOutsideThePageCacheIsReadPastItWithItsOtherFlagsKept) {
    Evict();
    EXPECT_TRUE(Right(Digests()));
    if (g_log.direct == 0) GTEST_SKIP() << "no direct reads here (kernel or file system)";
    EXPECT_EQ(g_log.direct, g_log.calls);
    EXPECT_EQ(g_log.blocking, 0);  // O_NONBLOCK of the open stays beside O_DIRECT

    g_log.calls = g_log.direct = 0;
    EXPECT_TRUE(Right(Digests()));  // what is read past the cache is not kept there
    EXPECT_GT(g_log.direct, 0);
}

TEST_F(PosixReadFile, ReadsThatTheFileSystemRefusesPastTheCacheGoThroughIt) {
    Evict();
    g_log.refuseDirect = 1;
    EXPECT_TRUE(Right(Digests()));
    if (g_log.direct == 0) GTEST_SKIP() << "no direct reads here (kernel or file system)";
    EXPECT_EQ(g_log.direct, 1);  // the refused one; the rest through the cache
    EXPECT_GT(g_log.calls, 1);
}

TEST_F(PosixReadFile, ASignalReadsAgainAndADriveThatFailsFailsTheRead) {
    g_log.failCall = 2;
    g_log.failErrno = EINTR;
    EXPECT_TRUE(Right(Digests()));
    g_log.calls = 0;
    g_log.failErrno = EAGAIN;  // should a system honour O_NONBLOCK: read blocking
    EXPECT_TRUE(Right(Digests()));
    EXPECT_GT(g_log.blocking, 0);
    g_log.calls = 0;
    g_log.failErrno = EIO;
    const FileDigests failed = Digests();
    EXPECT_FALSE(failed.readWhole);
    EXPECT_EQ(failed.crc, test::CrcOf(m_contents.substr(0, kReadPieceSize)));
}

}  // namespace
}  // namespace qm

#endif
