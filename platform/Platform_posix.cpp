// The posix stand-in for the Windows calls, so that the core runs on Linux.
//
// Windows-style paths are mapped onto the native file system (posix/
// PathMapping.h); the Windows directory is $QMVERIFY_WINDIR (default
// "./windows" below the current directory); the machine's registry keys come
// from an exported registry file named by $QMVERIFY_REGISTRY
// (RegistryFile.h). Files and searches live in posix/Files.h, local time in
// posix/Calendar.h, the code page in posix/CodePage.h.
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "platform/AsciiCase.h"
#include "platform/Platform.h"
#include "platform/RegistryFile.h"
#include "platform/posix/Calendar.h"
#include "platform/posix/CodePage.h"
#include "platform/posix/Drive.h"
#include "platform/posix/Files.h"
#include "platform/posix/PathMapping.h"

namespace qm {

std::string OwnErrorText(uint32_t error);  // Platform_common.cpp

namespace {

class PosixPlatform : public IPlatform {
public:
    std::string WindowsDirectory() override { return posix::WindowsDirectory(); }

    bool FileExists(const std::string& path) override {
        return access(posix::MapPath(path).c_str(), F_OK) == 0;
    }

    bool RemoveFile(const std::string& path) override {
        // The runtime library's remove deletes files, never directories.
        return unlink(posix::MapPath(path).c_str()) == 0;
    }

    uint32_t CopyFileKeepingDate(const std::string& from, const std::string& to) override {
        return posix::CopyFileKeepingDate(posix::MapPath(from), posix::MapPath(to));
    }

    uint32_t MoveReplace(const std::string& from, const std::string& to) override {
        return posix::MoveReplace(posix::MapPath(from), posix::MapPath(to));
    }

    uint32_t HardLink(const std::string& existing, const std::string& link) override {
        return posix::HardLink(posix::MapPath(existing), posix::MapPath(link));
    }

    std::unique_ptr<IDirectorySearch> FindFirst(const std::string& pattern,
                                                FoundEntry& first) override {
        return posix::FindFirst(posix::MapPath(pattern), first);
    }

    uint32_t OpenForReading(const std::string& path, std::unique_ptr<IReadFile>& file) override {
        file.reset();
        if (path.empty()) return kErrorPathNotFound;
        return posix::OpenForReading(posix::MapPath(path), file);
    }

    bool ToLocalCalendar(FileTime time, CalendarTime& local) override {
        return posix::ToLocalCalendar(time, local);
    }

    ReadResult ReadWholeFile(const std::string& path, std::string& contents) override {
        return posix::ReadWholeFile(posix::MapPath(path), contents);
    }

    ReadResult ReadWholeFileWithReason(const std::string& path, std::string& contents,
                                       uint32_t& error) override {
        return posix::ReadWholeFile(posix::MapPath(path), contents, &error);
    }

    uint32_t CreateNewFile(const std::string& path, const std::string& contents) override {
        return posix::CreateNewFile(posix::MapPath(path), contents);
    }

    bool IsReadOnly(const std::string& path) override {
        return posix::IsReadOnly(posix::MapPath(path));
    }

    bool AnsiToUtf8(std::string_view bytes, std::string& text) override {
        return posix::AnsiToUtf8(bytes, text);
    }

    bool Utf8ToAnsi(std::string_view text, std::string& bytes) override {
        return posix::Utf8ToAnsi(text, bytes);
    }

    // Names are the file system's bytes; ASCII letters fold, as the mask of
    // a search matches them.
    std::string NameKey(const std::string& name) override { return AsciiLowerCopy(name); }

    uint32_t TryLockFile(const std::string& path, std::unique_ptr<IFileLock>& lock) override {
        return posix::TryLockFile(posix::MapPath(path), lock);
    }

    std::string LockHolder(const std::string& path) override {
        return posix::LockHolder(posix::MapPath(path));
    }

    bool ReadMachineKey(const std::string& keyPath, const std::vector<std::string>& names,
                        std::vector<RegistryValue>& values) override {
        values.clear();
        const std::string file = posix::EnvironmentText("QMVERIFY_REGISTRY");
        if (file.empty()) return false;
        std::string bytes;
        if (ReadWholeFile(file, bytes) != ReadResult::Ok) return false;
        return ReadRegistryFileKey(bytes, keyPath, names, values);
    }

    DriveKind KindOfDrive(const std::string& path) override {
        return posix::KindOfDrive(posix::MapPath(path));
    }

    uint32_t SearchDirectoryError(const std::string& path) override {
        return posix::SearchDirectoryError(posix::MapPath(path));
    }

    std::string MachineRegistryError() override {
        const std::string file = posix::EnvironmentText("QMVERIFY_REGISTRY");
        if (file.empty()) return std::string();  // no registry: every key is missing
        const std::string native = posix::MapPath(file);
        std::string bytes;
        uint32_t error = kErrorSuccess;
        if (posix::ReadWholeFile(native, bytes, &error) == ReadResult::Ok) return std::string();
        return "cannot read the exported registry file " + native +
               " ($QMVERIFY_REGISTRY): " + ErrorText(error);
    }

    std::string ErrorText(uint32_t error) override {
        // The words Windows uses for the codes that the stand-in gives.
        switch (error) {
            case kErrorSuccess:
                return "The operation completed successfully";
            case kErrorFileNotFound:
                return "The system cannot find the file specified";
            case kErrorPathNotFound:
                return "The system cannot find the path specified";
            case kErrorAccessDenied:
                return "Access is denied";
            case kErrorWriteProtect:
                return "The media is write protected";
            case kErrorReadFault:
                return "The system cannot read from the specified device";
            case kErrorSharingViolation:
                return "The process cannot access the file because it is being used by another "
                       "process";
            case kErrorLockViolation:
                return "The process cannot access the file because another process has locked a "
                       "portion of the file";
            case kErrorNotSupported:
                return "The request is not supported";
            case kErrorFileExists:
            case kErrorAlreadyExists:
                return "The file exists";
            case kErrorDiskFull:
                return "There is not enough space on the disk";
            case kErrorNotAFile:
            case kErrorFileTooLarge:
                return OwnErrorText(error);
            case kErrorNoUnicodeTranslation:
                return "No mapping for the Unicode character exists in the target multi-byte "
                       "code page";
            case kErrorFileReadOnly:
                return "The specified file is read only";
            // Codes that stand for one errno each: the system's own words.
            case kErrorTooManyOpenFiles:
                return std::strerror(EMFILE);
            case kErrorNotEnoughMemory:
                return std::strerror(ENOMEM);
            case kErrorNotSameDevice:
                return std::strerror(EXDEV);
            case kErrorFilenameTooLong:
                return std::strerror(ENAMETOOLONG);
            case kErrorIoDevice:
                return std::strerror(EIO);
            case kErrorCantResolveFilename:
                return std::strerror(ELOOP);
            default: {
                // The system's own words for a number it gave.
                if ((error & kErrorPosix) != 0) return std::strerror(error & ~kErrorPosix);
                char text[40];
                std::snprintf(text, sizeof text, "System error %u", static_cast<unsigned>(error));
                return text;
            }
        }
    }
};

}  // namespace

IPlatform& RealPlatform() {
    static PosixPlatform platform;
    return platform;
}

std::string ShownPath(const std::string& path) { return posix::MapPath(path); }

}  // namespace qm
