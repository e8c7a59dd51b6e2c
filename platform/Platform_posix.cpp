// The posix stand-in for the Windows calls, so that the core runs on Linux.
//
// Windows-style paths are mapped onto the native file system (posix/
// PathMapping.h); the Windows directory is $QMVERIFY_WINDIR (default
// "./windows" below the current directory); the machine's registry keys come
// from an exported registry file named by $QMVERIFY_REGISTRY
// (RegistryFile.h). Files and searches live in posix/Files.h, local time in
// posix/Calendar.h.
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "platform/Platform.h"
#include "platform/RegistryFile.h"
#include "platform/Utf8.h"
#include "platform/posix/Calendar.h"
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

    // The system code page of the stand-in is UTF-8.
    bool Utf16ToSystemText(std::u16string_view wide, std::string& text) override {
        text.clear();
        text.reserve(wide.size());
        bool whole = true;
        for (size_t i = 0; i < wide.size(); ++i) {
            uint32_t code = wide[i];
            if (code >= 0xD800 && code <= 0xDBFF && i + 1 < wide.size() && wide[i + 1] >= 0xDC00 &&
                wide[i + 1] <= 0xDFFF) {
                code = 0x10000 + ((code - 0xD800) << 10) + (wide[++i] - 0xDC00u);
            } else if (code >= 0xD800 && code <= 0xDFFF) {
                code = '?';  // half a surrogate pair is no character
                whole = false;
            }
            AppendUtf8(text, code);
        }
        return whole;
    }

    bool SystemTextToUtf16(std::string_view text, std::u16string& wide) override {
        wide.clear();
        wide.reserve(text.size());
        bool whole = true;
        size_t pos = 0;
        while (pos < text.size()) {
            uint32_t code = 0;
            const size_t length = DecodeUtf8(text, pos, code);
            if (length == 0) {
                code = 0xFFFD;
                whole = false;
            }
            pos += length == 0 ? 1 : length;
            if (code >= 0x10000) {
                wide += static_cast<char16_t>(0xD800 + ((code - 0x10000) >> 10));
                wide += static_cast<char16_t>(0xDC00 + ((code - 0x10000) & 0x3FF));
            } else {
                wide += static_cast<char16_t>(code);
            }
        }
        return whole;
    }

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

int CompareText(const char* a, const char* b) {
    const unsigned char* left = reinterpret_cast<const unsigned char*>(a);
    const unsigned char* right = reinterpret_cast<const unsigned char*>(b);
    while (*left && *left == *right) {
        ++left;
        ++right;
    }
    return (*left > *right) - (*left < *right);
}

}  // namespace qm
