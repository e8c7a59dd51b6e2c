#include "platform/posix/ReadFile.h"

#include <fcntl.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <climits>
#include <cstdint>
#include <cstring>
#include <new>

#include "platform/ReadingSizes.h"
#include "platform/posix/Calendar.h"

namespace qm::posix {

namespace {

std::atomic<PositionalRead> g_positionalRead{&pread};

// A block of the alignment that O_DIRECT needs.
struct AlignedDelete {
    void operator()(char* block) const {
        ::operator delete[](block, std::align_val_t(kReadAlignment));
    }
};
using AlignedBlock = std::unique_ptr<char[], AlignedDelete>;

// What the system is asked for at a time: the core's piece.
constexpr size_t kBlockSize = kReadPieceSize;

AlignedBlock NewBlock() {
    return AlignedBlock(
        static_cast<char*>(::operator new[](kBlockSize, std::align_val_t(kReadAlignment))));
}

bool IsAligned(const void* buffer, size_t capacity) {
    return reinterpret_cast<uintptr_t>(buffer) % kReadAlignment == 0 &&
           capacity % kReadAlignment == 0;
}

// Adds status flags to the open file's or takes them away; false when the
// system refuses (a file system without direct reads refuses O_DIRECT).
bool ChangeStatusFlags(int fd, int add, int remove) {
    const int flags = fcntl(fd, F_GETFL);
    return flags != -1 && fcntl(fd, F_SETFL, (flags | add) & ~remove) == 0;
}

// cachestat(2), Linux 6.5 on, which older headers lack: how much of a file
// lies in the page cache, asked without reading it (a read that misses the
// cache, even one that must not wait, starts the drive's read-ahead).
#if defined(__linux__) && (defined(__x86_64__) || defined(__aarch64__))
constexpr long kCachestatCall = 451;  // the same number on both
struct CachestatRange {
    uint64_t offset;
    uint64_t length;  // 0: to the end
};
struct Cachestat {
    uint64_t cache, dirty, writeback, evicted, recentlyEvicted;
};
#endif

// How much of the file lies in the page cache.
enum class Cached { None, Part, All, Unknown };

Cached HowMuchCached(int fd, const struct stat& opened) {
#if defined(__linux__) && (defined(__x86_64__) || defined(__aarch64__))
    if (opened.st_size <= 0) return Cached::Unknown;
    CachestatRange range{0, 0};
    Cachestat state{};
    if (syscall(kCachestatCall, fd, &range, &state, 0) != 0) return Cached::Unknown;
    constexpr uint64_t kPage = 4096;  // what cachestat counts here
    const uint64_t pages = (static_cast<uint64_t>(opened.st_size) + kPage - 1) / kPage;
    return state.cache == 0 ? Cached::None : state.cache >= pages ? Cached::All : Cached::Part;
#else
    (void)fd;
    (void)opened;
    return Cached::Unknown;
#endif
}

void FactsOf(const struct stat& info, FileFacts& facts) {
    facts.size = info.st_size > 0 ? static_cast<uint64_t>(info.st_size) : 0;
    facts.lastWrite.ticks = TicksFromTimespec(info.st_mtim);
}

// The caller may read in small pieces (4 KiB for a CRC). On Linux every
// read(2) has a fixed cost that dominates at that size, where Windows'
// read-ahead for a sequential scan hides it; so the system is asked for
// 256 KiB at a time and small pieces are handed out from that block. A
// caller that asks for a block or more at a time is read into directly.
class PosixReadFile : public IReadFile {
public:
    PosixReadFile(int fd, const struct stat& opened)
        : m_fd(fd), m_opened(opened), m_block(std::move(SpareBlock())) {
        // A file system without direct reads refuses the flag.
        const Cached cached = HowMuchCached(fd, opened);
        if (cached == Cached::None && ChangeStatusFlags(fd, O_DIRECT, 0)) {
            m_mode = Mode::Direct;
        } else if (cached != Cached::All) {
            posix_fadvise(fd, 0, 0, POSIX_FADV_SEQUENTIAL);
        }
    }
    ~PosixReadFile() override {
        close(m_fd);
        if (!SpareBlock()) SpareBlock() = std::move(m_block);
    }
    PosixReadFile(const PosixReadFile&) = delete;
    PosixReadFile& operator=(const PosixReadFile&) = delete;

    bool Read(void* buffer, size_t capacity, size_t& bytesRead) override {
        bytesRead = 0;
        m_bRead = true;
        if (capacity > static_cast<size_t>(SSIZE_MAX)) capacity = static_cast<size_t>(SSIZE_MAX);
        if (m_next == m_end && capacity >= kBlockSize) {
            // Straight into the caller's buffer, unless the cache is passed
            // and the buffer is not aligned for it.
            if (m_mode != Mode::Direct || IsAligned(buffer, capacity)) {
                return ReadAt(buffer, capacity, bytesRead);
            }
        }
        if (m_next == m_end) {
            if (!m_block) m_block = NewBlock();
            size_t count = 0;
            if (!ReadAt(m_block.get(), kBlockSize, count)) return false;
            m_next = 0;
            m_end = count;
        }
        const size_t count = std::min(capacity, m_end - m_next);
        if (count > 0) memcpy(buffer, m_block.get() + m_next, count);
        m_next += count;
        bytesRead = count;
        return true;
    }

    bool Facts(FileFacts& facts) override {
        facts = FileFacts();
        // Until the first read, the state at the open is the state now.
        if (!m_bRead) {
            FactsOf(m_opened, facts);
            return true;
        }
        struct stat info;
        if (fstat(m_fd, &info) != 0) return false;
        FactsOf(info, facts);
        return true;
    }

private:
    enum class Mode { Cached, Direct };

    // One read at the file's offset: past the cache while the file is read
    // so, into a buffer aligned for it.
    bool ReadAt(void* buffer, size_t capacity, size_t& count) {
        count = 0;
        if (m_mode == Mode::Direct && IsAligned(buffer, capacity)) {
            if (PreadOnce(buffer, capacity, count)) return true;
            if (errno != EINVAL) return false;
            UseTheCache();  // the file system took O_DIRECT but refuses its reads
        } else if (m_mode == Mode::Direct) {
            UseTheCache();
        }
        return PreadOnce(buffer, capacity, count);
    }

    // One pread at the file's offset, begun again when a signal breaks it,
    // and blocking should a system ever honour O_NONBLOCK for a regular
    // file; the offset moves on by what it read. False (errno set) when it
    // fails.
    bool PreadOnce(void* buffer, size_t capacity, size_t& count) {
        const PositionalRead positionalRead = g_positionalRead.load();
        bool madeBlocking = false;
        ssize_t read;
        for (;;) {
            read = positionalRead(m_fd, buffer, capacity, m_offset);
            if (read >= 0) break;
            if (errno == EINTR) continue;
            if (errno != EAGAIN || madeBlocking || !ChangeStatusFlags(m_fd, 0, O_NONBLOCK)) {
                return false;
            }
            madeBlocking = true;
        }
        count = static_cast<size_t>(read);
        m_offset += static_cast<off_t>(read);
        return true;
    }

    void UseTheCache() {
        ChangeStatusFlags(m_fd, 0, O_DIRECT);
        m_mode = Mode::Cached;
    }

    // One block is kept for the next file of the same thread: a fresh
    // allocation of this size would be mapped and faulted in anew for every
    // file. Each thread that reads files keeps its own.
    static AlignedBlock& SpareBlock() {
        thread_local AlignedBlock s_spare;
        return s_spare;
    }

    int m_fd;
    struct stat m_opened;
    bool m_bRead = false;
    Mode m_mode = Mode::Cached;
    off_t m_offset = 0;
    AlignedBlock m_block;
    size_t m_next = 0;
    size_t m_end = 0;
};

}  // namespace

std::unique_ptr<IReadFile> MakeReadFile(int fd, const struct stat& opened) {
    return std::make_unique<PosixReadFile>(fd, opened);
}

PositionalRead SetPositionalRead(PositionalRead read) {
    return g_positionalRead.exchange(read != nullptr ? read : &pread);
}

}  // namespace qm::posix
