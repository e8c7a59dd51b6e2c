#include "platform/posix/Files.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/types.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstring>

#include "platform/AsciiCase.h"
#include "platform/posix/Calendar.h"
#include "platform/posix/PathMapping.h"

namespace qm::posix {

namespace {

bool IsDirectory(const std::string& nativePath) {
    struct stat info;
    return stat(nativePath.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

int OpenNative(const std::string& nativePath, int flags, mode_t mode = 0) {
    int fd;
    do {
        fd = open(nativePath.c_str(), flags | O_CLOEXEC, mode);
    } while (fd < 0 && errno == EINTR);
    return fd;
}

bool ReadSome(int fd, void* buffer, size_t capacity, size_t& bytesRead) {
    if (capacity > static_cast<size_t>(SSIZE_MAX)) capacity = static_cast<size_t>(SSIZE_MAX);
    ssize_t count;
    do {
        count = read(fd, buffer, capacity);
    } while (count < 0 && errno == EINTR);
    if (count < 0) {
        bytesRead = 0;
        return false;
    }
    bytesRead = static_cast<size_t>(count);
    return true;
}

bool WriteAll(int fd, const char* data, size_t size) {
    while (size > 0) {
        ssize_t count = write(fd, data, size);
        if (count < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        data += count;
        size -= static_cast<size_t>(count);
    }
    return true;
}

// Makes a directory entry change (a rename, a new link) durable.
void SyncDirectoryOf(const std::string& nativePath) {
    int fd = OpenNative(ParentOf(nativePath), O_RDONLY | O_DIRECTORY);
    if (fd >= 0) {
        fsync(fd);
        close(fd);
    }
}

// Writes `size` bytes to the new file `fd` made at `nativePath`, flushes and
// closes it; on failure the file is removed again.
uint32_t FinishNewFile(int fd, const std::string& nativePath, const char* data, size_t size,
                       const struct timespec* lastWrite) {
    int error = 0;
    if (!WriteAll(fd, data, size)) error = errno;
    if (error == 0 && lastWrite != nullptr) {
        struct timespec times[2] = {*lastWrite, *lastWrite};
        futimens(fd, times);
    }
    if (error == 0 && fsync(fd) != 0) error = errno;
    if (close(fd) != 0 && error == 0) error = errno;
    if (error != 0) {
        unlink(nativePath.c_str());
        return ErrorCodeOf(error, nativePath);
    }
    SyncDirectoryOf(nativePath);
    return kErrorSuccess;
}

// The caller may read in small pieces (4 KiB for a CRC). On Linux every
// read(2) has a fixed cost that dominates at that size, where Windows'
// read-ahead for a sequential scan hides it; so the system is asked for
// 256 KiB at a time and small pieces are handed out from that block. A
// caller that asks for a block or more at a time is read into directly.
class PosixReadFile : public IReadFile {
public:
    explicit PosixReadFile(int fd) : m_fd(fd), m_block(std::move(SpareBlock())) {}
    ~PosixReadFile() override {
        close(m_fd);
        if (!SpareBlock()) SpareBlock() = std::move(m_block);
    }
    PosixReadFile(const PosixReadFile&) = delete;
    PosixReadFile& operator=(const PosixReadFile&) = delete;

    bool Read(void* buffer, size_t capacity, size_t& bytesRead) override {
        bytesRead = 0;
        if (m_next == m_end && capacity >= kBlockSize)
            return ReadSome(m_fd, buffer, capacity, bytesRead);
        if (m_next == m_end) {
            if (!m_block) m_block.reset(new char[kBlockSize]);  // no zero fill
            size_t count = 0;
            if (!ReadSome(m_fd, m_block.get(), kBlockSize, count)) return false;
            m_next = 0;
            m_end = count;
        }
        size_t count = std::min(capacity, m_end - m_next);
        if (count > 0) memcpy(buffer, m_block.get() + m_next, count);
        m_next += count;
        bytesRead = count;
        return true;
    }

    bool Facts(FileFacts& facts) override {
        facts = FileFacts();
        struct stat info;
        if (fstat(m_fd, &info) != 0) return false;
        facts.size = info.st_size > 0 ? static_cast<uint64_t>(info.st_size) : 0;
        facts.lastWrite.ticks = TicksFromTimespec(info.st_mtim);
        return true;
    }

private:
    // One block is kept for the next file of the same thread: a fresh
    // allocation of this size would be mapped and faulted in anew for every
    // file. Each thread that reads files keeps its own.
    static std::unique_ptr<char[]>& SpareBlock() {
        thread_local std::unique_ptr<char[]> s_spare;
        return s_spare;
    }

    static constexpr size_t kBlockSize = 256 * 1024;
    int m_fd;
    std::unique_ptr<char[]> m_block;
    size_t m_next = 0;
    size_t m_end = 0;
};

class PosixFileLock : public IFileLock {
public:
    explicit PosixFileLock(int fd) : m_fd(fd) {}
    ~PosixFileLock() override { close(m_fd); }  // closing releases the flock
    PosixFileLock(const PosixFileLock&) = delete;
    PosixFileLock& operator=(const PosixFileLock&) = delete;

private:
    int m_fd;
};

bool FillEntry(int directoryFd, const char* name, FoundEntry& entry) {
    struct stat info;
    if (fstatat(directoryFd, name, &info, 0) != 0 &&
        fstatat(directoryFd, name, &info, AT_SYMLINK_NOFOLLOW) != 0) {
        return false;  // vanished meanwhile
    }
    entry.name = name;
    entry.lastWrite.ticks = TicksFromTimespec(info.st_mtim);
    entry.isDirectory = S_ISDIR(info.st_mode);
    return true;
}

class PosixDirectorySearch : public IDirectorySearch {
public:
    PosixDirectorySearch(DIR* directory, std::string mask)
        : m_directory(directory), m_mask(std::move(mask)) {}
    ~PosixDirectorySearch() override { closedir(m_directory); }
    PosixDirectorySearch(const PosixDirectorySearch&) = delete;
    PosixDirectorySearch& operator=(const PosixDirectorySearch&) = delete;

    bool Next(FoundEntry& entry) override {
        if (m_exhausted) return false;
        for (;;) {
            errno = 0;
            struct dirent* found = readdir(m_directory);
            if (!found) {
                m_exhausted = true;
                return false;
            }
            const char* name = found->d_name;
            if (std::strcmp(name, ".") == 0 || std::strcmp(name, "..") == 0) continue;
            if (!MatchMask(m_mask.c_str(), name)) continue;
            if (FillEntry(dirfd(m_directory), name, entry)) return true;
        }
    }

    // After an exact name was found, nothing else is delivered.
    void Finish() { m_exhausted = true; }
    int DirectoryFd() const { return dirfd(m_directory); }

private:
    DIR* m_directory;
    std::string m_mask;
    bool m_exhausted = false;
};

}  // namespace

uint32_t ErrorCodeOf(int error, const std::string& nativePath) {
    switch (error) {
        case 0:
            return kErrorSuccess;
        case ENOENT:
            return IsDirectory(ParentOf(nativePath)) ? kErrorFileNotFound : kErrorPathNotFound;
        case ENOTDIR:
            return kErrorPathNotFound;
        case EACCES:
        case EPERM:
        case EISDIR:
            return kErrorAccessDenied;
        case EROFS:
            return kErrorWriteProtect;
        case EEXIST:
            return kErrorFileExists;
        case ENOSPC:
        case EDQUOT:
            return kErrorDiskFull;
        case EMFILE:
        case ENFILE:
            return 4;  // ERROR_TOO_MANY_OPEN_FILES
        case ENAMETOOLONG:
            return 206;  // ERROR_FILENAME_EXCED_RANGE
        case ENOMEM:
            return 8;  // ERROR_NOT_ENOUGH_MEMORY
        case ELOOP:
            return 1921;  // ERROR_CANT_RESOLVE_FILENAME
        case EBUSY:
        case ETXTBSY:
            return kErrorSharingViolation;
        case EWOULDBLOCK:
            return kErrorLockViolation;
        case EXDEV:
            return 17;  // ERROR_NOT_SAME_DEVICE
        case EMLINK:
        case EOPNOTSUPP:
            return kErrorNotSupported;
        case EIO:
            return 1117;  // ERROR_IO_DEVICE
        default:
            return 31;  // ERROR_GEN_FAILURE
    }
}

bool Exists(const std::string& nativePath) {
    struct stat info;
    return lstat(nativePath.c_str(), &info) == 0;
}

uint32_t OpenForReading(const std::string& nativePath, std::unique_ptr<IReadFile>& file) {
    file.reset();
    int fd = OpenNative(nativePath, O_RDONLY);
    if (fd < 0) return ErrorCodeOf(errno, nativePath);
    struct stat info;
    if (fstat(fd, &info) != 0 || S_ISDIR(info.st_mode)) {
        // Windows opens no directory this way.
        close(fd);
        return kErrorAccessDenied;
    }
    posix_fadvise(fd, 0, 0, POSIX_FADV_SEQUENTIAL);
    file = std::make_unique<PosixReadFile>(fd);
    return kErrorSuccess;
}

ReadResult ReadWholeFile(const std::string& nativePath, std::string& contents) {
    contents.clear();
    int fd = OpenNative(nativePath, O_RDONLY);
    if (fd < 0)
        return (errno == ENOENT || errno == ENOTDIR) ? ReadResult::Missing : ReadResult::Failed;
    struct stat info;
    if (fstat(fd, &info) != 0 || S_ISDIR(info.st_mode)) {
        close(fd);
        return ReadResult::Failed;
    }
    if (info.st_size > 0) contents.reserve(static_cast<size_t>(info.st_size));
    char buffer[65536];
    for (;;) {
        size_t count = 0;
        if (!ReadSome(fd, buffer, sizeof buffer, count)) {
            close(fd);
            contents.clear();
            return ReadResult::Failed;
        }
        if (count == 0) break;
        contents.append(buffer, count);
    }
    close(fd);
    return ReadResult::Ok;
}

uint32_t CreateNewFile(const std::string& nativePath, const std::string& contents) {
    int fd = OpenNative(nativePath, O_WRONLY | O_CREAT | O_EXCL, 0666);
    if (fd < 0) return ErrorCodeOf(errno, nativePath);
    return FinishNewFile(fd, nativePath, contents.data(), contents.size(), nullptr);
}

uint32_t CopyFile(const std::string& fromNative, const std::string& toNative) {
    int source = OpenNative(fromNative, O_RDONLY);
    if (source < 0) return ErrorCodeOf(errno, fromNative);
    struct stat info;
    if (fstat(source, &info) != 0 || S_ISDIR(info.st_mode)) {
        close(source);
        return kErrorAccessDenied;
    }
    std::string contents;
    contents.reserve(static_cast<size_t>(info.st_size > 0 ? info.st_size : 0));
    char buffer[65536];
    for (;;) {
        size_t count = 0;
        if (!ReadSome(source, buffer, sizeof buffer, count)) {
            const int error = errno;
            close(source);
            return ErrorCodeOf(error, fromNative);
        }
        if (count == 0) break;
        contents.append(buffer, count);
    }
    close(source);
    // The copy gets the source's last-write time, as CopyFileA gives it.
    int target = OpenNative(toNative, O_WRONLY | O_CREAT | O_EXCL, info.st_mode & 0777);
    if (target < 0) return ErrorCodeOf(errno, toNative);
    return FinishNewFile(target, toNative, contents.data(), contents.size(), &info.st_mtim);
}

uint32_t MoveReplace(const std::string& fromNative, const std::string& toNative) {
    if (rename(fromNative.c_str(), toNative.c_str()) != 0) return ErrorCodeOf(errno, toNative);
    SyncDirectoryOf(toNative);
    return kErrorSuccess;
}

uint32_t HardLink(const std::string& existingNative, const std::string& linkNative) {
    if (link(existingNative.c_str(), linkNative.c_str()) != 0) {
        const int error = errno;
        if (error == EEXIST) return kErrorAlreadyExists;
        if (error == ENOENT && !Exists(existingNative)) return ErrorCodeOf(error, existingNative);
        return ErrorCodeOf(error, linkNative);
    }
    SyncDirectoryOf(linkNative);
    return kErrorSuccess;
}

uint32_t TryLockFile(const std::string& nativePath, std::unique_ptr<IFileLock>& lock) {
    lock.reset();
    int fd = OpenNative(nativePath, O_RDWR | O_CREAT, 0666);
    if (fd < 0) return ErrorCodeOf(errno, nativePath);
    int result;
    do {
        result = flock(fd, LOCK_EX | LOCK_NB);
    } while (result != 0 && errno == EINTR);
    if (result != 0) {
        const int error = errno;
        close(fd);
        return error == EWOULDBLOCK ? kErrorLockViolation : ErrorCodeOf(error, nativePath);
    }
    lock = std::make_unique<PosixFileLock>(fd);
    return kErrorSuccess;
}

bool MatchMask(const char* mask, const char* name) {
    const char* starMask = nullptr;
    const char* starName = nullptr;
    while (*name) {
        if (*mask == '*') {
            starMask = ++mask;
            starName = name;
        } else if (*mask == '?' || (*mask && AsciiLower(*mask) == AsciiLower(*name))) {
            ++mask;
            ++name;
        } else if (starMask) {
            mask = starMask;
            name = ++starName;
        } else {
            return false;
        }
    }
    while (*mask == '*') ++mask;
    return *mask == '\0';
}

std::unique_ptr<IDirectorySearch> FindFirst(const std::string& nativePattern, FoundEntry& first) {
    size_t slash = nativePattern.find_last_of('/');
    std::string directory =
        slash == std::string::npos ? "." : (slash == 0 ? "/" : nativePattern.substr(0, slash));
    std::string mask = slash == std::string::npos ? nativePattern : nativePattern.substr(slash + 1);
    if (mask.empty()) return nullptr;
    if (mask == "*.*") mask = "*";  // as on Windows: names without a dot too

    DIR* handle = opendir(directory.c_str());
    if (!handle) return nullptr;
    auto search = std::make_unique<PosixDirectorySearch>(handle, mask);

    // A name without wildcards: look it up directly before reading the
    // whole directory for a match that differs in case.
    if (mask.find_first_of("*?") == std::string::npos && mask != "." && mask != "..") {
        if (FillEntry(search->DirectoryFd(), mask.c_str(), first)) {
            search->Finish();
            return search;
        }
    }
    if (!search->Next(first)) return nullptr;
    return search;
}

}  // namespace qm::posix
