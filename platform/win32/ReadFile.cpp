#include "platform/win32/ReadFile.h"

#include <windows.h>

#include "platform/win32/Calendar.h"
#include "platform/win32/Files.h"
#include "platform/win32/PathMapping.h"

namespace qm::win32 {

namespace {

// Read ahead for a file read from start to end. The attribute bits have no
// effect when an existing file is opened; they stay as the program files
// have always been opened.
constexpr DWORD kSequentialReadFlags = FILE_FLAG_SEQUENTIAL_SCAN | FILE_ATTRIBUTE_ARCHIVE |
                                       FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_HIDDEN |
                                       FILE_ATTRIBUTE_READONLY;

class Win32ReadFile : public IReadFile {
public:
    explicit Win32ReadFile(HANDLE handle) : m_handle(handle) {}
    ~Win32ReadFile() override { CloseHandle(m_handle); }
    Win32ReadFile(const Win32ReadFile&) = delete;
    Win32ReadFile& operator=(const Win32ReadFile&) = delete;

    bool Read(void* buffer, size_t capacity, size_t& bytesRead) override {
        DWORD wanted = capacity > MAXDWORD ? MAXDWORD : static_cast<DWORD>(capacity);
        DWORD count = 0;
        BOOL ok = ::ReadFile(m_handle, buffer, wanted, &count, nullptr);
        bytesRead = ok ? count : 0;
        return ok != FALSE;
    }

    bool Facts(FileFacts& facts) override {
        facts = FileFacts();
        BY_HANDLE_FILE_INFORMATION info;
        if (!GetFileInformationByHandle(m_handle, &info)) return false;
        facts.size = (static_cast<uint64_t>(info.nFileSizeHigh) << 32) | info.nFileSizeLow;
        facts.lastWrite.ticks = TicksOf(info.ftLastWriteTime);
        return true;
    }

private:
    HANDLE m_handle;
};

}  // namespace

uint32_t OpenForReading(const std::string& path, std::unique_ptr<IReadFile>& file) {
    file.reset();
    const std::string mapped = MapPath(path);
    HANDLE handle = CreateFileA(mapped.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                OPEN_EXISTING, kSequentialReadFlags, nullptr);
    if (handle == INVALID_HANDLE_VALUE) return OpenError(mapped, GetLastError());
    if (!IsRegularFile(handle)) {
        CloseHandle(handle);
        return kErrorNotAFile;
    }
    file = std::make_unique<Win32ReadFile>(handle);
    return kErrorSuccess;
}

}  // namespace qm::win32
