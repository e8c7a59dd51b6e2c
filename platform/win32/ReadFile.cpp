#include "platform/win32/ReadFile.h"

#include <windows.h>

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

// The file is opened shared with readers only: nobody writes it while it is
// open, so its facts at the open are its facts until it is read.
class Win32ReadFile : public IReadFile {
public:
    Win32ReadFile(HANDLE handle, const FileFacts& opened) : m_handle(handle), m_opened(opened) {}
    ~Win32ReadFile() override { CloseHandle(m_handle); }
    Win32ReadFile(const Win32ReadFile&) = delete;
    Win32ReadFile& operator=(const Win32ReadFile&) = delete;

    bool Read(void* buffer, size_t capacity, size_t& bytesRead) override {
        m_bRead = true;
        DWORD wanted = capacity > MAXDWORD ? MAXDWORD : static_cast<DWORD>(capacity);
        DWORD count = 0;
        BOOL ok = ::ReadFile(m_handle, buffer, wanted, &count, nullptr);
        bytesRead = ok ? count : 0;
        return ok != FALSE;
    }

    bool Facts(FileFacts& facts) override {
        if (!m_bRead) {
            facts = m_opened;
            return true;
        }
        DWORD attributes = 0;
        return HandleFacts(m_handle, facts, attributes);
    }

private:
    HANDLE m_handle;
    FileFacts m_opened;
    bool m_bRead = false;
};

}  // namespace

uint32_t OpenForReading(const std::string& path, std::unique_ptr<IReadFile>& file) {
    file.reset();
    const std::wstring wide = WidePath(path);
    HANDLE handle = CreateFileW(wide.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                kSequentialReadFlags, nullptr);
    if (handle == INVALID_HANDLE_VALUE) return OpenError(wide, GetLastError());
    FileFacts opened;
    if (!IsRegularFile(handle, &opened)) {
        CloseHandle(handle);
        return kErrorNotAFile;
    }
    file = std::make_unique<Win32ReadFile>(handle, opened);
    return kErrorSuccess;
}

}  // namespace qm::win32
