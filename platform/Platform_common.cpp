// What both implementations of the seam share: the platform in force, the
// two roots, the replacement of a file that keeps a backup, the order of
// texts, and the words for the error codes of our own.
#include "platform/Platform.h"

namespace qm {

IPlatform& RealPlatform();  // Platform_win32.cpp or Platform_posix.cpp

namespace {
IPlatform* g_current = nullptr;
PlatformRoots g_roots;
}  // namespace

int CompareText(const char* a, const char* b) {
    const unsigned char* left = reinterpret_cast<const unsigned char*>(a);
    const unsigned char* right = reinterpret_cast<const unsigned char*>(b);
    while (*left && *left == *right) {
        ++left;
        ++right;
    }
    return (*left > *right) - (*left < *right);
}

IPlatform& Platform() { return g_current ? *g_current : RealPlatform(); }

ScopedPlatform::ScopedPlatform(IPlatform& replacement) : m_previous(g_current) {
    g_current = &replacement;
}

ScopedPlatform::~ScopedPlatform() { g_current = m_previous; }

void SetPlatformRoots(const PlatformRoots& roots) { g_roots = roots; }

const PlatformRoots& CurrentPlatformRoots() { return g_roots; }

ReplaceResult ReplaceWithBackup(const std::string& target, const std::string& replacement,
                                const std::string& backup) {
    IPlatform& platform = Platform();
    if (!platform.FileExists(replacement)) {
        return {ReplaceOutcome::MoveFailed, kErrorFileNotFound};
    }
    // Windows refuses to replace a read-only file (as if rights were
    // missing); the attribute is the operator's, so it is told, not cleared.
    if (platform.IsReadOnly(target)) return {ReplaceOutcome::MoveFailed, kErrorFileReadOnly};
    uint32_t error = platform.HardLink(target, backup);
    if (error != kErrorSuccess) {
        // A taken backup name or a missing target is no case for a copy.
        if (error == kErrorAlreadyExists || error == kErrorFileExists ||
            error == kErrorFileNotFound || error == kErrorPathNotFound) {
            return {ReplaceOutcome::BackupFailed, error};
        }
        // No hard links on this volume: keep a copy instead, as protected
        // as the list it keeps.
        error = platform.CopyFileKeepingDate(target, backup);
        if (error != kErrorSuccess) return {ReplaceOutcome::BackupFailed, error};
        error = platform.CopyProtection(target, backup);
        if (error != kErrorSuccess) {
            platform.RemoveFile(backup);  // the copy just made
            return {ReplaceOutcome::BackupFailed, error};
        }
    }
    error = platform.MoveReplace(replacement, target);
    if (error != kErrorSuccess) {
        // The target is as it was; the backup just made is not needed.
        platform.RemoveFile(backup);
        return {ReplaceOutcome::MoveFailed, error};
    }
    return {};
}

ReadResult IPlatform::ReadWholeFileWithReason(const std::string& path, std::string& contents,
                                              uint32_t& error) {
    const ReadResult result = ReadWholeFile(path, contents);
    error = kErrorSuccess;
    if (result == ReadResult::TooLarge) error = kErrorFileTooLarge;
    if (result == ReadResult::Failed) {
        // The whole-file read tells no reason; an open tells it (no access,
        // no regular file), and a file that opens was not read.
        std::unique_ptr<IReadFile> probe;
        error = OpenForReading(path, probe);
        if (error == kErrorSuccess) error = kErrorReadFault;
    }
    return result;
}

std::string OwnErrorText(uint32_t error) {
    switch (error) {
        case kErrorNotAFile:
            return "It is no regular file but a directory, a device, a pipe or a socket, which "
                   "qmverify does not read";
        case kErrorFileTooLarge:
            return std::string("The file is larger than ") + kMaxWholeFileSizeText +
                   ", the most that qmverify reads of a list, settings or registry file";
        default:
            return std::string();
    }
}

bool IsWriteRefused(uint32_t error) {
    return error == kErrorAccessDenied || error == kErrorWriteProtect;
}

}  // namespace qm
