// Files and directory searches on posix, the way the Windows calls behave:
// reads shared with readers and of regular files only, new files that never
// replace an existing one, copies, links, locks and their holders, the
// read-only attribute, and masks that match long names without regard to
// case. Errors come back as Windows error codes.
#pragma once

#include <memory>
#include <string>

#include "platform/Platform.h"

namespace qm::posix {

// The Windows error code for an errno value, for a call on `nativePath`.
uint32_t ErrorCodeOf(int error, const std::string& nativePath);

// Whether a file or directory of that native name exists (without following
// a last symbolic link).
bool Exists(const std::string& nativePath);

uint32_t OpenForReading(const std::string& nativePath, std::unique_ptr<IReadFile>& file);
// `error` (when given) receives the system's reason of a result other than Ok.
ReadResult ReadWholeFile(const std::string& nativePath, std::string& contents,
                         uint32_t* error = nullptr);
uint32_t CreateNewFile(const std::string& nativePath, const std::string& contents);
uint32_t CopyFileKeepingDate(const std::string& fromNative, const std::string& toNative);
uint32_t MoveReplace(const std::string& fromNative, const std::string& toNative);
uint32_t HardLink(const std::string& existingNative, const std::string& linkNative);
uint32_t TryLockFile(const std::string& nativePath, std::unique_ptr<IFileLock>& lock);
std::string LockHolder(const std::string& nativePath);
bool IsReadOnly(const std::string& nativePath);

// A directory search of `nativePattern` (a directory and a mask of "*" and
// "?"); null when it delivers no name.
std::unique_ptr<IDirectorySearch> FindFirst(const std::string& nativePattern, FoundEntry& first);

// 0 when the directory can be searched, kErrorPathNotFound when there is
// none, else why not.
uint32_t SearchDirectoryError(const std::string& nativePath);

}  // namespace qm::posix
