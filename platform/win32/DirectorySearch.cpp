#include "platform/win32/DirectorySearch.h"

#include <windows.h>

#include "platform/FileMask.h"
#include "platform/win32/Calendar.h"
#include "platform/win32/PathMapping.h"
#include "platform/win32/Text.h"

namespace qm::win32 {

namespace {

void FillEntry(const WIN32_FIND_DATAW& data, FoundEntry& entry) {
    entry.name = FromWide(data.cFileName);
    entry.lastWrite.ticks = TicksOf(data.ftLastWriteTime);
    entry.isDirectory = (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    entry.size = (uint64_t{data.nFileSizeHigh} << 32) | data.nFileSizeLow;
}

// The mask of a search pattern: its last component.
std::string MaskOf(const std::string& pattern) {
    const size_t separator = pattern.find_last_of("\\/:");
    return separator == std::string::npos ? pattern : pattern.substr(separator + 1);
}

// The search asks for long names only (no 8.3 names to fill) and in large
// pieces. Windows matches a mask against the 8.3 short name too, so that
// "*.exe" also delivers "tool.exe_old" (short name TOOL~1.EXE): of a mask
// with wildcards, only the long names that match are taken. A name without
// wildcards names one file, and whatever entry the system finds for it is
// that file's, whatever the case of its letters.
HANDLE FindFirstLongName(const std::string& pattern, WIN32_FIND_DATAW& data) {
    return FindFirstFileExW(WidePath(pattern).c_str(), FindExInfoBasic, &data,
                            FindExSearchNameMatch, nullptr, FIND_FIRST_EX_LARGE_FETCH);
}

class Win32DirectorySearch : public IDirectorySearch {
public:
    Win32DirectorySearch(HANDLE handle, std::string mask)
        : m_handle(handle),
          m_mask(std::move(mask)),
          m_bWildcards(m_mask.find_first_of("*?") != std::string::npos) {}
    ~Win32DirectorySearch() override { FindClose(m_handle); }
    Win32DirectorySearch(const Win32DirectorySearch&) = delete;
    Win32DirectorySearch& operator=(const Win32DirectorySearch&) = delete;

    bool Next(FoundEntry& entry) override {
        WIN32_FIND_DATAW data;
        do {
            if (!FindNextFileW(m_handle, &data)) return false;
        } while (!Matches(data));
        FillEntry(data, entry);
        return true;
    }

    bool Matches(const WIN32_FIND_DATAW& data) const {
        if (!m_bWildcards) return true;
        // "." and "..": the directory itself and its parent, no names in it.
        if (data.cFileName[0] == L'.' &&
            (data.cFileName[1] == L'\0' || (data.cFileName[1] == L'.' && data.cFileName[2] == 0))) {
            return false;
        }
        return NameMatchesMask(m_mask, FromWide(data.cFileName));
    }

private:
    HANDLE m_handle;
    std::string m_mask;
    bool m_bWildcards;
};

}  // namespace

std::unique_ptr<IDirectorySearch> FindFirst(const std::string& pattern, FoundEntry& first) {
    WIN32_FIND_DATAW data;
    HANDLE handle = FindFirstLongName(pattern, data);
    if (handle == INVALID_HANDLE_VALUE) return nullptr;
    auto search = std::make_unique<Win32DirectorySearch>(handle, MaskOf(MapPath(pattern)));
    if (search->Matches(data)) {
        FillEntry(data, first);
    } else if (!search->Next(first)) {
        return nullptr;
    }
    return search;
}

uint32_t SearchDirectoryError(const std::string& path) {
    std::string pattern = path;
    if (!pattern.empty() && pattern.back() != '\\' && pattern.back() != '/') pattern += '\\';
    pattern += '*';
    WIN32_FIND_DATAW data;
    HANDLE handle = FindFirstLongName(pattern, data);
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
