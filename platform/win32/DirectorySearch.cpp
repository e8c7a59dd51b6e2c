#include "platform/win32/DirectorySearch.h"

#include <windows.h>

#include "platform/FileMask.h"
#include "platform/win32/Calendar.h"
#include "platform/win32/PathMapping.h"

namespace qm::win32 {

namespace {

void FillEntry(const WIN32_FIND_DATAA& data, FoundEntry& entry) {
    entry.name = data.cFileName;
    entry.lastWrite.ticks = TicksOf(data.ftLastWriteTime);
    entry.isDirectory = (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    entry.size = (uint64_t{data.nFileSizeHigh} << 32) | data.nFileSizeLow;
}

// The mask of a search pattern: its last component.
std::string MaskOf(const std::string& pattern) {
    const size_t separator = pattern.find_last_of("\\/:");
    return separator == std::string::npos ? pattern : pattern.substr(separator + 1);
}

// FindFirstFileA also delivers names whose 8.3 short name alone matches the
// mask ("tool.exe_old" for "*.exe"): only long names that match are taken.
class Win32DirectorySearch : public IDirectorySearch {
public:
    Win32DirectorySearch(HANDLE handle, std::string mask)
        : m_handle(handle), m_mask(std::move(mask)) {}
    ~Win32DirectorySearch() override { FindClose(m_handle); }
    Win32DirectorySearch(const Win32DirectorySearch&) = delete;
    Win32DirectorySearch& operator=(const Win32DirectorySearch&) = delete;

    bool Next(FoundEntry& entry) override {
        WIN32_FIND_DATAA data;
        do {
            if (!FindNextFileA(m_handle, &data)) return false;
        } while (!Matches(data));
        FillEntry(data, entry);
        return true;
    }

    bool Matches(const WIN32_FIND_DATAA& data) const {
        return NameMatchesMask(m_mask, data.cFileName);
    }

private:
    HANDLE m_handle;
    std::string m_mask;
};

}  // namespace

std::unique_ptr<IDirectorySearch> FindFirst(const std::string& pattern, FoundEntry& first) {
    const std::string mapped = MapPath(pattern);
    WIN32_FIND_DATAA data;
    HANDLE handle = FindFirstFileA(mapped.c_str(), &data);
    if (handle == INVALID_HANDLE_VALUE) return nullptr;
    auto search = std::make_unique<Win32DirectorySearch>(handle, MaskOf(mapped));
    if (search->Matches(data)) {
        FillEntry(data, first);
    } else if (!search->Next(first)) {
        return nullptr;
    }
    return search;
}

uint32_t SearchDirectoryError(const std::string& path) {
    std::string pattern = MapPath(path);
    if (!pattern.empty() && pattern.back() != '\\' && pattern.back() != '/') pattern += '\\';
    pattern += '*';
    WIN32_FIND_DATAA data;
    HANDLE handle = FindFirstFileA(pattern.c_str(), &data);
    if (handle != INVALID_HANDLE_VALUE) {
        FindClose(handle);
        return kErrorSuccess;
    }
    const DWORD error = GetLastError();
    // A drive's root holds no "." entry: an empty one finds nothing.
    if (error == ERROR_FILE_NOT_FOUND || error == ERROR_NO_MORE_FILES) return kErrorSuccess;
    if (error == ERROR_PATH_NOT_FOUND || error == ERROR_DIRECTORY) return kErrorPathNotFound;
    return error != ERROR_SUCCESS ? static_cast<uint32_t>(error) : uint32_t{kErrorAccessDenied};
}

}  // namespace qm::win32
