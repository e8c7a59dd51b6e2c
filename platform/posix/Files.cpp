#include "platform/posix/Files.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/types.h>
#include <unistd.h>

#include <sys/sysmacros.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <sstream>

#include "platform/FileMask.h"
#include "platform/posix/Calendar.h"
#include "platform/posix/PathMapping.h"
#include "platform/posix/ReadFile.h"

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

// Opens a regular file for reading so that the open itself cannot block: a
// name that is no regular file (a FIFO would wait for a writer, a device
// such as /dev/zero never ends, and opening some devices does something) is
// refused from its stat alone; the open is non-blocking against a swap
// between stat and open, and the descriptor is checked again. Symbolic links
// to regular files are followed. Returns 0 and the descriptor, or the code.
// Reads of a regular file ignore O_NONBLOCK (open(2)): a reader that needs
// no more than that keeps it and spares a call (`keepNonBlocking`).
uint32_t OpenRegularFile(const std::string& nativePath, int& fd, struct stat& info,
                         bool keepNonBlocking = false) {
    fd = -1;
    if (stat(nativePath.c_str(), &info) != 0) return ErrorCodeOf(errno, nativePath);
    if (!S_ISREG(info.st_mode)) return kErrorNotAFile;
    fd = OpenNative(nativePath, O_RDONLY | O_NONBLOCK);
    if (fd < 0) return errno == ENXIO ? uint32_t{kErrorNotAFile} : ErrorCodeOf(errno, nativePath);
    // Of the status flags, only O_NONBLOCK was asked for: clearing all of
    // them clears it.
    if (fstat(fd, &info) != 0 || !S_ISREG(info.st_mode) ||
        (!keepNonBlocking && fcntl(fd, F_SETFL, 0) != 0)) {
        close(fd);
        fd = -1;
        return kErrorNotAFile;
    }
    return kErrorSuccess;
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
    // A file system that keeps no flush (EINVAL, ENOTSUP: some network and
    // FUSE file systems) has taken the whole file all the same: such a write
    // stands, as it would without the flush, instead of failing for good.
    if (error == 0 && fsync(fd) != 0 && errno != EINVAL && errno != ENOTSUP &&
        errno != EOPNOTSUPP) {
        error = errno;
    }
    if (close(fd) != 0 && error == 0) error = errno;
    if (error != 0) {
        unlink(nativePath.c_str());
        return ErrorCodeOf(error, nativePath);
    }
    SyncDirectoryOf(nativePath);
    return kErrorSuccess;
}

class PosixFileLock : public IFileLock {
public:
    PosixFileLock(int fd, std::string notice) : m_fd(fd), m_notice(std::move(notice)) {}
    ~PosixFileLock() override { close(m_fd); }  // closing releases the flock
    PosixFileLock(const PosixFileLock&) = delete;
    PosixFileLock& operator=(const PosixFileLock&) = delete;

    std::string Notice() const override { return m_notice; }

private:
    int m_fd;
    std::string m_notice;
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
    entry.size = static_cast<uint64_t>(info.st_size);
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
            if (!NameMatchesMask(m_mask, name)) continue;
            if (FillEntry(dirfd(m_directory), name, entry)) return true;
        }
    }

private:
    DIR* m_directory;
    std::string m_mask;
    bool m_exhausted = false;
};

// A search that delivered the one name it was asked for.
class FoundOnce : public IDirectorySearch {
public:
    bool Next(FoundEntry&) override { return false; }
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
            return kErrorTooManyOpenFiles;
        case ENAMETOOLONG:
            return kErrorFilenameTooLong;
        case ENOMEM:
            return kErrorNotEnoughMemory;
        case ELOOP:
            return kErrorCantResolveFilename;
        case EBUSY:
        case ETXTBSY:
            return kErrorSharingViolation;
        case EWOULDBLOCK:
            return kErrorLockViolation;
        case EXDEV:
            return kErrorNotSameDevice;
        case EMLINK:
        case EOPNOTSUPP:
            return kErrorNotSupported;
        case EIO:
            return kErrorIoDevice;
        default:
            // The rest (EFBIG, ENOLCK, EINVAL, ...) keeps the system's own
            // number, so that its own words tell it.
            return kErrorPosix | static_cast<uint32_t>(error);
    }
}

bool Exists(const std::string& nativePath) {
    struct stat info;
    return lstat(nativePath.c_str(), &info) == 0;
}

uint32_t OpenForReading(const std::string& nativePath, std::unique_ptr<IReadFile>& file) {
    file.reset();
    int fd = -1;
    struct stat info;
    const uint32_t error = OpenRegularFile(nativePath, fd, info, true);
    if (error != kErrorSuccess) return error;
    file = MakeReadFile(fd, info);
    return kErrorSuccess;
}

ReadResult ReadWholeFile(const std::string& nativePath, std::string& contents, uint32_t* error) {
    contents.clear();
    int fd = -1;
    struct stat info;
    uint32_t code = OpenRegularFile(nativePath, fd, info);
    if (error) *error = code;
    if (code == kErrorFileNotFound || code == kErrorPathNotFound) return ReadResult::Missing;
    if (code != kErrorSuccess) return ReadResult::Failed;
    const auto tooLarge = [&] {
        close(fd);
        contents.clear();
        contents.shrink_to_fit();
        if (error) *error = kErrorFileTooLarge;
        return ReadResult::TooLarge;
    };
    if (static_cast<uint64_t>(info.st_size) > kMaxWholeFileSize) return tooLarge();
    if (info.st_size > 0) contents.reserve(static_cast<size_t>(info.st_size));
    char buffer[65536];
    for (;;) {
        size_t count = 0;
        if (!ReadSome(fd, buffer, sizeof buffer, count)) {
            if (error) *error = ErrorCodeOf(errno, nativePath);
            close(fd);
            contents.clear();
            return ReadResult::Failed;
        }
        if (count == 0) break;
        // The file may grow while it is read: the limit holds for what is read.
        if (contents.size() + count > kMaxWholeFileSize) return tooLarge();
        contents.append(buffer, count);
    }
    close(fd);
    return ReadResult::Ok;
}

uint32_t CreateNewFile(const std::string& nativePath, const std::string& contents) {
    // Open to its writer alone until it gets the protection of the file it
    // replaces: a file that others could open now (0666 under umask 000)
    // they could write through that descriptor after it took the list's place.
    int fd = OpenNative(nativePath, O_WRONLY | O_CREAT | O_EXCL, 0600);
    if (fd < 0) return ErrorCodeOf(errno, nativePath);
    return FinishNewFile(fd, nativePath, contents.data(), contents.size(), nullptr);
}

uint32_t CopyFileKeepingDate(const std::string& fromNative, const std::string& toNative) {
    int source = -1;
    struct stat info;
    const uint32_t opened = OpenRegularFile(fromNative, source, info);
    if (opened != kErrorSuccess) return opened;
    // The copy gets the source's last-write time, as CopyFileA gives it. It
    // is copied in pieces, so that a copy of any size needs little memory.
    int target = OpenNative(toNative, O_WRONLY | O_CREAT | O_EXCL, info.st_mode & 0777);
    if (target < 0) {
        const int error = errno;
        close(source);
        return ErrorCodeOf(error, toNative);
    }
    char buffer[65536];
    uint32_t error = kErrorSuccess;
    for (;;) {
        size_t count = 0;
        if (!ReadSome(source, buffer, sizeof buffer, count)) {
            error = ErrorCodeOf(errno, fromNative);
            break;
        }
        if (count == 0) break;
        if (!WriteAll(target, buffer, count)) {
            error = ErrorCodeOf(errno, toNative);
            break;
        }
    }
    close(source);
    if (error != kErrorSuccess) {
        close(target);
        unlink(toNative.c_str());
        return error;
    }
    return FinishNewFile(target, toNative, nullptr, 0, &info.st_mtim);
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
    // Only its owner may open a new lock file: anyone who can open it can
    // take the lock (flock needs no more than a read-only descriptor) and
    // keep every writer out.
    int fd = OpenNative(nativePath, O_RDWR | O_CREAT, 0600);
    if (fd < 0) return ErrorCodeOf(errno, nativePath);
    std::string notice;
    struct stat info;
    if (fstat(fd, &info) == 0 && (info.st_mode & 077) != 0) {
        // An existing one that others can open: tightened when it is ours.
        char mode[8];
        std::snprintf(mode, sizeof mode, "%04o", static_cast<unsigned>(info.st_mode & 07777));
        notice =
            "the lock file " + nativePath + " could be opened by other users (mode " + mode + ")";
        if (info.st_uid == geteuid() && fchmod(fd, 0600) == 0) {
            notice += "; it is now open to its owner only";
        } else {
            notice += "; it belongs to another user and was left as it is";
        }
    }
    int result;
    do {
        result = flock(fd, LOCK_EX | LOCK_NB);
    } while (result != 0 && errno == EINTR);
    if (result != 0) {
        const int error = errno;
        close(fd);
        return error == EWOULDBLOCK ? kErrorLockViolation : ErrorCodeOf(error, nativePath);
    }
    lock = std::make_unique<PosixFileLock>(fd, std::move(notice));
    return kErrorSuccess;
}

std::string LockHolder(const std::string& nativePath) {
    struct stat info;
    if (stat(nativePath.c_str(), &info) != 0) return std::string();
    char file[64];
    std::snprintf(file, sizeof file, "%02x:%02x:%llu", major(info.st_dev), minor(info.st_dev),
                  static_cast<unsigned long long>(info.st_ino));
    // "1: FLOCK  ADVISORY  WRITE 4711 fe:00:1234 0 EOF"; a waiter's line
    // carries "->" after the number. An open file description lock (OFDLCK)
    // names no process (-1).
    std::ifstream locks("/proc/locks");
    std::string line;
    while (std::getline(locks, line)) {
        std::istringstream fields(line);
        std::string number, kind, mode, access, pid, where;
        if (!(fields >> number >> kind) || kind == "->") continue;
        if (!(fields >> mode >> access >> pid >> where) || where != file) continue;
        if (pid.empty() || pid[0] == '-')
            return "a process that the system does not name (" + kind + ")";
        std::ifstream commFile("/proc/" + pid + "/comm");
        std::string comm;
        std::getline(commFile, comm);
        return "process " + pid + (comm.empty() ? "" : " (" + comm + ")");
    }
    return std::string();
}

bool IsReadOnly(const std::string& nativePath) {
    struct stat info;
    return stat(nativePath.c_str(), &info) == 0 && S_ISREG(info.st_mode) &&
           (info.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0;
}

std::unique_ptr<IDirectorySearch> FindFirst(const std::string& nativePattern, FoundEntry& first) {
    size_t slash = nativePattern.find_last_of('/');
    std::string directory =
        slash == std::string::npos ? "." : (slash == 0 ? "/" : nativePattern.substr(0, slash));
    std::string mask = slash == std::string::npos ? nativePattern : nativePattern.substr(slash + 1);
    if (mask.empty()) return nullptr;

    // A name without wildcards: look it up directly (the comparison asks so
    // for every listed file) before reading the whole directory for a match
    // that differs in case.
    const bool exactName =
        mask.find_first_of("*?") == std::string::npos && mask != "." && mask != "..";
    if (exactName && FillEntry(AT_FDCWD, nativePattern.c_str(), first)) {
        first.name = mask;
        return std::make_unique<FoundOnce>();
    }

    DIR* handle = opendir(directory.c_str());
    if (!handle) return nullptr;
    auto search = std::make_unique<PosixDirectorySearch>(handle, mask);
    if (!search->Next(first)) return nullptr;
    return search;
}

uint32_t SearchDirectoryError(const std::string& nativePath) {
    DIR* handle = opendir(nativePath.c_str());
    if (handle != nullptr) {
        closedir(handle);
        return kErrorSuccess;
    }
    return errno == ENOENT || errno == ENOTDIR ? uint32_t{kErrorPathNotFound}
                                               : ErrorCodeOf(errno, nativePath);
}

}  // namespace qm::posix
