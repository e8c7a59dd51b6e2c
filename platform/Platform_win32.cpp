// The platform seam on Windows: the real calls, kept by concern in win32/
// (files and moves, the read of a program file, directory searches, the
// writer's lock, the registry, the kind of drive, text and error words,
// local time). Paths are placed below the drive root in force
// (win32/PathMapping.h).
#include "platform/Platform.h"
#include "platform/win32/Calendar.h"
#include "platform/win32/DirectorySearch.h"
#include "platform/win32/Drive.h"
#include "platform/win32/ErrorText.h"
#include "platform/win32/Files.h"
#include "platform/win32/Lock.h"
#include "platform/win32/PathMapping.h"
#include "platform/win32/ReadFile.h"
#include "platform/win32/Registry.h"
#include "platform/win32/Text.h"

namespace qm {

namespace {

class Win32Platform : public IPlatform {
public:
    std::string WindowsDirectory() override { return win32::WindowsDirectory(); }

    bool FileExists(const std::string& path) override { return win32::FileExists(path); }

    bool RemoveFile(const std::string& path) override { return win32::RemoveFile(path); }

    uint32_t CopyFileKeepingDate(const std::string& from, const std::string& to) override {
        return win32::CopyFileKeepingDate(from, to);
    }

    uint32_t MoveReplace(const std::string& from, const std::string& to) override {
        return win32::MoveReplace(from, to);
    }

    uint32_t HardLink(const std::string& existing, const std::string& link) override {
        return win32::HardLink(existing, link);
    }

    std::unique_ptr<IDirectorySearch> FindFirst(const std::string& pattern,
                                                FoundEntry& first) override {
        return win32::FindFirst(pattern, first);
    }

    uint32_t OpenForReading(const std::string& path, std::unique_ptr<IReadFile>& file) override {
        return win32::OpenForReading(path, file);
    }

    bool ToLocalCalendar(FileTime time, CalendarTime& local) override {
        return win32::ToLocalCalendar(time, local);
    }

    ReadResult ReadWholeFile(const std::string& path, std::string& contents) override {
        return win32::ReadWholeFile(path, contents);
    }

    uint32_t CreateNewFile(const std::string& path, const std::string& contents) override {
        return win32::CreateNewFile(path, contents);
    }

    bool IsReadOnly(const std::string& path) override { return win32::IsReadOnly(path); }

    bool AnsiToUtf8(std::string_view bytes, std::string& text) override {
        return win32::AnsiToUtf8(bytes, text);
    }

    bool Utf8ToAnsi(std::string_view text, std::string& bytes) override {
        return win32::Utf8ToAnsi(text, bytes);
    }

    std::string NameKey(const std::string& name) override { return win32::NameKey(name); }

    uint32_t TryLockFile(const std::string& path, std::unique_ptr<IFileLock>& lock) override {
        return win32::TryLockFile(path, lock);
    }

    std::string LockHolder(const std::string& path) override { return win32::LockHolder(path); }

    bool ReadMachineKey(const std::string& keyPath, const std::vector<std::string>& names,
                        std::vector<RegistryValue>& values) override {
        return win32::ReadMachineKey(keyPath, names, values);
    }

    // The registry is always there.
    std::string MachineRegistryError() override { return std::string(); }

    std::string ErrorText(uint32_t error) override { return win32::ErrorText(error); }

    uint32_t SearchDirectoryError(const std::string& path) override {
        return win32::SearchDirectoryError(path);
    }

    DriveKind KindOfDrive(const std::string& path) override { return win32::KindOfDrive(path); }
};

}  // namespace

IPlatform& RealPlatform() {
    static Win32Platform platform;
    return platform;
}

}  // namespace qm
