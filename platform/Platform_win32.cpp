// The platform seam on Windows: the real calls.
//
// With a drive root set (SetPlatformRoots), a path that begins with a single
// backslash is taken below that root instead of the root of the current
// drive; a Windows directory set there replaces GetWindowsDirectoryA.
#include <windows.h>
#include <winioctl.h>

#include <aclapi.h>
#include <io.h>
#include <mbstring.h>
#include <restartmanager.h>
#include <sddl.h>

#include <cctype>
#include <climits>
#include <cstdio>
#include <cstring>

#include "platform/FileMask.h"
#include "platform/Platform.h"

namespace qm {

std::string OwnErrorText(uint32_t error);  // Platform_common.cpp

namespace {

// Read ahead for a file read from start to end. The attribute bits have no
// effect when an existing file is opened; they stay as the program files
// have always been opened.
constexpr DWORD kSequentialReadFlags = FILE_FLAG_SEQUENTIAL_SCAN | FILE_ATTRIBUTE_ARCHIVE |
                                       FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_HIDDEN |
                                       FILE_ATTRIBUTE_READONLY;

// The most bytes one WriteFile is given: a DWORD holds the count, and a
// gigabyte keeps any one call well within what every system takes.
constexpr DWORD kMostBytesPerWrite = DWORD{1} << 30;

// The path with the drive root put in place of the current drive's root.
std::string MapPath(const std::string& path) {
    const PlatformRoots& roots = CurrentPlatformRoots();
    if (roots.driveRoot.empty() || path.empty()) return path;
    bool rooted = path[0] == '\\' || path[0] == '/';
    bool unc = path.size() >= 2 && (path[1] == '\\' || path[1] == '/');
    if (!rooted || unc) return path;
    std::string root = roots.driveRoot;
    while (!root.empty() && (root.back() == '\\' || root.back() == '/')) root.pop_back();
    return root + path;
}

uint64_t TicksOf(const FILETIME& time) {
    return (static_cast<uint64_t>(time.dwHighDateTime) << 32) | time.dwLowDateTime;
}

FILETIME FileTimeOf(uint64_t ticks) {
    FILETIME time;
    time.dwLowDateTime = static_cast<DWORD>(ticks & 0xFFFFFFFFu);
    time.dwHighDateTime = static_cast<DWORD>(ticks >> 32);
    return time;
}

void FillEntry(const WIN32_FIND_DATAA& data, FoundEntry& entry) {
    entry.name = data.cFileName;
    entry.lastWrite.ticks = TicksOf(data.ftLastWriteTime);
    entry.isDirectory = (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
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

// Whether an open handle is a regular file: a disk file that is neither a
// directory nor a device.
bool IsRegularFile(HANDLE handle) {
    if (GetFileType(handle) != FILE_TYPE_DISK) return false;
    BY_HANDLE_FILE_INFORMATION information;
    if (!GetFileInformationByHandle(handle, &information)) return false;
    return (information.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_DEVICE)) == 0;
}

// The error of an open that failed on `path`: a directory (which CreateFileA
// refuses as access denied) is no regular file.
uint32_t OpenError(const std::string& mappedPath, DWORD error) {
    if (error == ERROR_ACCESS_DENIED) {
        const DWORD attributes = GetFileAttributesA(mappedPath.c_str());
        if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY)) {
            return kErrorNotAFile;
        }
    }
    return error != ERROR_SUCCESS ? static_cast<uint32_t>(error) : uint32_t{kErrorAccessDenied};
}

class Win32ReadFile : public IReadFile {
public:
    explicit Win32ReadFile(HANDLE handle) : m_handle(handle) {}
    ~Win32ReadFile() override { CloseHandle(m_handle); }
    Win32ReadFile(const Win32ReadFile&) = delete;
    Win32ReadFile& operator=(const Win32ReadFile&) = delete;

    bool Read(void* buffer, size_t capacity, size_t& bytesRead) override {
        DWORD wanted = capacity > MAXDWORD ? MAXDWORD : static_cast<DWORD>(capacity);
        DWORD count = 0;
        BOOL ok = ReadFile(m_handle, buffer, wanted, &count, nullptr);
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

class Win32FileLock : public IFileLock {
public:
    Win32FileLock(HANDLE handle, std::string notice)
        : m_handle(handle), m_notice(std::move(notice)) {}
    ~Win32FileLock() override {
        OVERLAPPED start{};
        UnlockFileEx(m_handle, 0, 1, 0, &start);
        CloseHandle(m_handle);
    }
    Win32FileLock(const Win32FileLock&) = delete;
    Win32FileLock& operator=(const Win32FileLock&) = delete;

    std::string Notice() const override { return m_notice; }

private:
    HANDLE m_handle;
    std::string m_notice;
};

// The lock file's access: Administrators, SYSTEM and its owner alone, not
// inherited from the Windows directory (where every user may read), so that
// no standard user can open it and take the lock (LockFileEx needs no more
// than a handle). The owner is who made it: an administrator in the Windows
// directory, a standard user only in a folder of the user's own (--windir).
constexpr char kLockFileSecurity[] = "D:P(A;;GA;;;BA)(A;;GA;;;SY)(A;;GA;;;OW)";

// A security descriptor made from an SDDL text, freed with the object.
class SecurityDescriptor {
public:
    explicit SecurityDescriptor(const char* sddl) {
        ConvertStringSecurityDescriptorToSecurityDescriptorA(sddl, SDDL_REVISION_1, &m_descriptor,
                                                             nullptr);
    }
    ~SecurityDescriptor() {
        if (m_descriptor) LocalFree(m_descriptor);
    }
    SecurityDescriptor(const SecurityDescriptor&) = delete;
    SecurityDescriptor& operator=(const SecurityDescriptor&) = delete;

    PSECURITY_DESCRIPTOR Get() const { return m_descriptor; }
    PACL Dacl() const {
        BOOL present = FALSE;
        BOOL defaulted = FALSE;
        PACL dacl = nullptr;
        if (!m_descriptor ||
            !GetSecurityDescriptorDacl(m_descriptor, &present, &dacl, &defaulted) || !present) {
            return nullptr;
        }
        return dacl;
    }

private:
    PSECURITY_DESCRIPTOR m_descriptor = nullptr;
};

// Whether the DACL of an open lock file lets anyone but Administrators,
// SYSTEM and its owner in: a missing (null) DACL or an allowing entry for
// another account.
bool OthersMayOpen(HANDLE handle) {
    PSID owner = nullptr;
    PACL dacl = nullptr;
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    if (GetSecurityInfo(handle, SE_FILE_OBJECT,
                        OWNER_SECURITY_INFORMATION | DACL_SECURITY_INFORMATION, &owner, nullptr,
                        &dacl, nullptr, &descriptor) != ERROR_SUCCESS) {
        return false;  // what cannot be read cannot be judged
    }
    bool others = dacl == nullptr;
    BYTE accounts[3][SECURITY_MAX_SID_SIZE];
    const WELL_KNOWN_SID_TYPE kinds[3] = {WinBuiltinAdministratorsSid, WinLocalSystemSid,
                                          WinCreatorOwnerRightsSid};
    for (int k = 0; k < 3; ++k) {
        DWORD size = sizeof accounts[k];
        CreateWellKnownSid(kinds[k], nullptr, accounts[k], &size);
    }
    for (DWORD i = 0; dacl != nullptr && i < dacl->AceCount && !others; ++i) {
        void* entry = nullptr;
        if (!GetAce(dacl, i, &entry)) continue;
        const ACE_HEADER* header = static_cast<const ACE_HEADER*>(entry);
        if (header->AceType != ACCESS_ALLOWED_ACE_TYPE || (header->AceFlags & INHERIT_ONLY_ACE)) {
            continue;
        }
        PSID sid = &static_cast<ACCESS_ALLOWED_ACE*>(entry)->SidStart;
        others = !(owner != nullptr && EqualSid(sid, owner)) && !EqualSid(sid, accounts[0]) &&
                 !EqualSid(sid, accounts[1]) && !EqualSid(sid, accounts[2]);
    }
    LocalFree(descriptor);
    return others;
}

// The error of the call that just failed; never "success".
uint32_t LastError() {
    const DWORD error = GetLastError();
    return error != ERROR_SUCCESS ? static_cast<uint32_t>(error) : uint32_t{kErrorAccessDenied};
}

// Whether an error may be only the moment of another process's open or
// replace of the same file: a whole-file read and a replacing move meet for
// a few milliseconds at most (every profile file is read at once and
// replaced in one move), and Windows lets neither through meanwhile.
bool IsPassingConflict(DWORD error) {
    return error == ERROR_SHARING_VIOLATION || error == ERROR_ACCESS_DENIED ||
           error == ERROR_LOCK_VIOLATION;
}

// Runs `attempt` until it succeeds or fails otherwise than by a passing
// conflict, for at most a second.
template <class Attempt>
bool RetryPassingConflicts(Attempt attempt) {
    const ULONGLONG deadline = GetTickCount64() + 1000;
    for (;;) {
        if (attempt()) return true;
        const DWORD error = GetLastError();
        if (!IsPassingConflict(error) || GetTickCount64() >= deadline) {
            SetLastError(error);
            return false;
        }
        Sleep(10);
    }
}

// Reads one value of an open key, whatever its size.
RegistryValue QueryValue(HKEY key, const std::string& name) {
    RegistryValue value;
    std::string data;
    DWORD type = REG_NONE;
    DWORD size = 0;
    LONG result = RegQueryValueExA(key, name.c_str(), nullptr, &type, nullptr, &size);
    // The value may grow between the two calls: ask again until it fits.
    while (result == ERROR_SUCCESS || result == ERROR_MORE_DATA) {
        data.resize(size);
        DWORD capacity = size;
        result =
            RegQueryValueExA(key, name.c_str(), nullptr, &type,
                             data.empty() ? nullptr : reinterpret_cast<BYTE*>(&data[0]), &capacity);
        if (result == ERROR_SUCCESS) {
            data.resize(capacity);
            break;
        }
        size = capacity > size ? capacity : size + 256;
    }
    if (result != ERROR_SUCCESS) return value;  // missing or unreadable

    switch (type) {
        case REG_SZ:
            while (!data.empty() && data.back() == '\0') data.pop_back();
            value.type = RegistryValue::Type::Text;
            break;
        case REG_DWORD:
            // Fewer than 4 bytes hold no number; more are another kind of value.
            value.type = data.size() == 4  ? RegistryValue::Type::Dword
                         : data.size() < 4 ? RegistryValue::Type::CutDword
                                           : RegistryValue::Type::Other;
            break;
        default:
            value.type = RegistryValue::Type::Other;
            break;
    }
    value.data = data;
    return value;
}

// Asks the storage stack of an open volume for one property; false when the
// driver does not answer (network drives, Wine, older drivers).
template <class Descriptor>
bool QueryStorage(HANDLE volume, STORAGE_PROPERTY_ID property, Descriptor& answer,
                  DWORD size = sizeof(Descriptor)) {
    STORAGE_PROPERTY_QUERY query{};
    query.PropertyId = property;
    query.QueryType = PropertyStandardQuery;
    DWORD returned = 0;
    return DeviceIoControl(volume, IOCTL_STORAGE_QUERY_PROPERTY, &query, sizeof query, &answer,
                           size, &returned, nullptr) &&
           returned >= sizeof(Descriptor);
}

// The kind of the disk behind the volume `\\.\C:`.
DriveKind KindOfVolume(const std::string& volumeDevice) {
    // No access rights are needed to ask the storage stack.
    HANDLE volume = CreateFileA(volumeDevice.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                nullptr, OPEN_EXISTING, 0, nullptr);
    if (volume == INVALID_HANDLE_VALUE) return DriveKind::Unknown;
    DriveKind kind = DriveKind::Unknown;
    union {
        STORAGE_DEVICE_DESCRIPTOR descriptor;
        char bytes[1024];
    } device{};
    if (QueryStorage(volume, StorageDeviceProperty, device.descriptor, sizeof device)) {
        const STORAGE_DEVICE_DESCRIPTOR& d = device.descriptor;
        const auto text = [&device](DWORD offset) {
            return offset > 0 && offset < sizeof device.bytes
                       ? std::string(device.bytes + offset,
                                     strnlen(device.bytes + offset, sizeof device.bytes - offset))
                       : std::string();
        };
        const std::string maker = text(d.VendorIdOffset) + " " + text(d.ProductIdOffset);
        // A virtual disk's seek-penalty flag says nothing of the storage behind it.
        if (d.BusType == BusTypeVirtual || d.BusType == BusTypeFileBackedVirtual ||
            maker.find("Virtual") != std::string::npos || maker.find("QEMU") != std::string::npos ||
            maker.find("VMware") != std::string::npos || maker.find("VBOX") != std::string::npos) {
            kind = DriveKind::Virtual;
        }
    }
    DEVICE_SEEK_PENALTY_DESCRIPTOR penalty{};
    if (kind == DriveKind::Unknown &&
        QueryStorage(volume, StorageDeviceSeekPenaltyProperty, penalty)) {
        kind = penalty.IncursSeekPenalty ? DriveKind::Spinning : DriveKind::NoSeek;
    }
    CloseHandle(volume);
    return kind;
}

class Win32Platform : public IPlatform {
public:
    std::string WindowsDirectory() override {
        const PlatformRoots& roots = CurrentPlatformRoots();
        if (!roots.windowsDirectory.empty()) return roots.windowsDirectory;
        std::string buffer(MAX_PATH, '\0');
        for (;;) {
            const UINT length = GetWindowsDirectoryA(&buffer[0], static_cast<UINT>(buffer.size()));
            if (length == 0) return std::string();
            if (length < buffer.size()) {
                buffer.resize(length);
                return buffer;
            }
            buffer.resize(length + 1);  // the size it needs, terminator included
        }
    }

    bool FileExists(const std::string& path) override {
        return _access(MapPath(path).c_str(), 0) == 0;
    }

    bool RemoveFile(const std::string& path) override {
        return std::remove(MapPath(path).c_str()) == 0;
    }

    uint32_t CopyFileKeepingDate(const std::string& from, const std::string& to) override {
        // Only a regular file is copied: a device would be read without end.
        const std::string source = MapPath(from);
        HANDLE handle = CreateFileA(source.c_str(), GENERIC_READ,
                                    FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                    OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (handle == INVALID_HANDLE_VALUE) return OpenError(source, GetLastError());
        const bool regular = IsRegularFile(handle);
        CloseHandle(handle);
        if (!regular) return kErrorNotAFile;
        if (CopyFileA(source.c_str(), MapPath(to).c_str(), TRUE)) return kErrorSuccess;
        return LastError();
    }

    uint32_t MoveReplace(const std::string& from, const std::string& to) override {
        // A reader that has the target open this very moment (a comparison,
        // another writer before it takes the lock) keeps the move out.
        const std::string source = MapPath(from);
        const std::string target = MapPath(to);
        if (RetryPassingConflicts([&] {
                return MoveFileExA(source.c_str(), target.c_str(),
                                   MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != FALSE;
            })) {
            return kErrorSuccess;
        }
        return LastError();
    }

    uint32_t HardLink(const std::string& existing, const std::string& link) override {
        if (CreateHardLinkA(MapPath(link).c_str(), MapPath(existing).c_str(), nullptr)) {
            return kErrorSuccess;
        }
        return LastError();
    }

    std::unique_ptr<IDirectorySearch> FindFirst(const std::string& pattern,
                                                FoundEntry& first) override {
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

    uint32_t OpenForReading(const std::string& path, std::unique_ptr<IReadFile>& file) override {
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

    bool ToLocalCalendar(FileTime time, CalendarTime& local) override {
        FILETIME utc = FileTimeOf(time.ticks);
        FILETIME localTime;
        SYSTEMTIME fields;
        if (!FileTimeToLocalFileTime(&utc, &localTime)) return false;
        if (!FileTimeToSystemTime(&localTime, &fields)) return false;
        local.year = fields.wYear;
        local.month = fields.wMonth;
        local.day = fields.wDay;
        local.hour = fields.wHour;
        local.minute = fields.wMinute;
        local.second = fields.wSecond;
        return true;
    }

    ReadResult ReadWholeFile(const std::string& path, std::string& contents) override {
        contents.clear();
        // Shared with a writer that replaces the file meanwhile; an open that
        // meets the replace itself is tried again.
        const std::string mapped = MapPath(path);
        HANDLE handle = INVALID_HANDLE_VALUE;
        bool directory = false;
        RetryPassingConflicts([&] {
            handle = CreateFileA(mapped.c_str(), GENERIC_READ,
                                 FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                 OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
            if (handle != INVALID_HANDLE_VALUE) return true;
            // A directory is refused as access denied, and stays one.
            const DWORD error = GetLastError();
            directory = OpenError(mapped, error) == kErrorNotAFile;
            SetLastError(error);
            return directory;
        });
        if (directory) return ReadResult::Failed;
        if (handle == INVALID_HANDLE_VALUE) {
            DWORD error = GetLastError();
            return (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND)
                       ? ReadResult::Missing
                       : ReadResult::Failed;
        }
        if (!IsRegularFile(handle)) {
            CloseHandle(handle);
            return ReadResult::Failed;
        }
        LARGE_INTEGER size;
        ReadResult result = ReadResult::Ok;
        if (!GetFileSizeEx(handle, &size)) size.QuadPart = 0;
        if (static_cast<uint64_t>(size.QuadPart) > kMaxWholeFileSize) {
            result = ReadResult::TooLarge;
        } else if (size.QuadPart > 0) {
            contents.reserve(static_cast<size_t>(size.QuadPart));
        }
        char buffer[65536];
        while (result == ReadResult::Ok) {
            DWORD count = 0;
            if (!ReadFile(handle, buffer, sizeof buffer, &count, nullptr)) {
                result = ReadResult::Failed;
                break;
            }
            if (count == 0) break;
            // The file may grow while it is read: the limit holds for what is read.
            if (contents.size() + count > kMaxWholeFileSize) {
                result = ReadResult::TooLarge;
                break;
            }
            contents.append(buffer, count);
        }
        if (result != ReadResult::Ok) {
            contents.clear();
            contents.shrink_to_fit();
        }
        CloseHandle(handle);
        return result;
    }

    uint32_t CreateNewFile(const std::string& path, const std::string& contents) override {
        const std::string mapped = MapPath(path);
        HANDLE handle = CreateFileA(mapped.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
        if (handle == INVALID_HANDLE_VALUE) return LastError();
        uint32_t error = kErrorSuccess;
        const char* data = contents.data();
        size_t remaining = contents.size();
        while (error == kErrorSuccess && remaining > 0) {
            const DWORD chunk =
                remaining > kMostBytesPerWrite ? kMostBytesPerWrite : static_cast<DWORD>(remaining);
            DWORD written = 0;
            if (!WriteFile(handle, data, chunk, &written, nullptr) || written == 0) {
                error = LastError();
            }
            data += written;
            remaining -= written;
        }
        if (error == kErrorSuccess && !FlushFileBuffers(handle)) error = LastError();
        if (!CloseHandle(handle) && error == kErrorSuccess) error = LastError();
        // The file is ours: one that could not be written whole goes again.
        if (error != kErrorSuccess) DeleteFileA(mapped.c_str());
        return error;
    }

    bool IsReadOnly(const std::string& path) override {
        const DWORD attributes = GetFileAttributesA(MapPath(path).c_str());
        return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY) &&
               !(attributes & FILE_ATTRIBUTE_DIRECTORY);
    }

    bool Utf16ToSystemText(std::u16string_view wide, std::string& text) override {
        text.clear();
        if (wide.empty()) return true;
        if (wide.size() > static_cast<size_t>(INT_MAX)) return false;
        const wchar_t* units = reinterpret_cast<const wchar_t*>(wide.data());
        const int count = static_cast<int>(wide.size());
        // No best fit ("ł" is no "l"); a character without an equivalent is
        // told by the default character. A UTF-8 code page takes neither
        // flag but refuses what it cannot encode.
        const bool utf8 = GetACP() == CP_UTF8;
        const DWORD flags = utf8 ? 0 : WC_NO_BEST_FIT_CHARS;
        BOOL usedDefault = FALSE;
        BOOL* askUsed = utf8 ? nullptr : &usedDefault;
        const int size =
            WideCharToMultiByte(CP_ACP, flags, units, count, nullptr, 0, nullptr, askUsed);
        if (size <= 0) return false;
        text.resize(static_cast<size_t>(size));
        WideCharToMultiByte(CP_ACP, flags, units, count, &text[0], size, nullptr, askUsed);
        if (utf8) {
            // Half a surrogate pair comes out as U+FFFD.
            return text.find("\xEF\xBF\xBD") == std::string::npos ||
                   std::u16string_view(wide).find(u'\xFFFD') != std::u16string_view::npos;
        }
        return usedDefault == FALSE;
    }

    bool SystemTextToUtf16(std::string_view text, std::u16string& wide) override {
        wide.clear();
        if (text.empty()) return true;
        if (text.size() > static_cast<size_t>(INT_MAX)) return false;
        const int count = static_cast<int>(text.size());
        int size =
            MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, text.data(), count, nullptr, 0);
        const bool whole = size > 0;
        const DWORD flags = whole ? MB_ERR_INVALID_CHARS : 0;  // else with U+FFFD for the rest
        if (!whole) size = MultiByteToWideChar(CP_ACP, 0, text.data(), count, nullptr, 0);
        if (size <= 0) return false;
        wide.resize(static_cast<size_t>(size));
        MultiByteToWideChar(CP_ACP, flags, text.data(), count, reinterpret_cast<wchar_t*>(&wide[0]),
                            size);
        return whole;
    }

    uint32_t TryLockFile(const std::string& path, std::unique_ptr<IFileLock>& lock) override {
        lock.reset();
        const std::string mapped = MapPath(path);
        const SecurityDescriptor security(kLockFileSecurity);
        SECURITY_ATTRIBUTES attributes{sizeof attributes, security.Get(), FALSE};
        HANDLE handle = CreateFileA(mapped.c_str(), GENERIC_READ | GENERIC_WRITE | READ_CONTROL,
                                    FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                    security.Get() ? &attributes : nullptr, OPEN_ALWAYS,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
        if (handle == INVALID_HANDLE_VALUE) return LastError();
        std::string notice;
        if (GetLastError() == ERROR_ALREADY_EXISTS && OthersMayOpen(handle)) {
            // A lock file of an earlier version, or one that someone made:
            // tightened when we may change its access. A volume or system
            // that keeps no access of files (FAT, Wine) takes the change
            // without keeping it: nothing to tell there, nothing to do.
            const DWORD changed =
                security.Dacl() == nullptr
                    ? static_cast<DWORD>(ERROR_INVALID_SECURITY_DESCR)
                    : SetNamedSecurityInfoA(
                          const_cast<char*>(mapped.c_str()), SE_FILE_OBJECT,
                          DACL_SECURITY_INFORMATION | PROTECTED_DACL_SECURITY_INFORMATION, nullptr,
                          nullptr, security.Dacl(), nullptr);
            const std::string told =
                "the lock file " + ShownPath(path) + " could be opened by other users";
            if (changed != ERROR_SUCCESS) {
                notice = told + "; its access could not be changed (" +
                         ErrorText(static_cast<uint32_t>(changed)) + ")";
            } else if (!OthersMayOpen(handle)) {
                notice = told + "; it is now open to Administrators, SYSTEM and its owner only";
            }
        }
        OVERLAPPED start{};
        if (!LockFileEx(handle, LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0, 1, 0,
                        &start)) {
            const uint32_t error = LastError();
            CloseHandle(handle);
            return error == ERROR_IO_PENDING ? uint32_t{kErrorLockViolation} : error;
        }
        lock = std::make_unique<Win32FileLock>(handle, std::move(notice));
        return kErrorSuccess;
    }

    // The processes that have the lock file open, as the Restart Manager
    // lists them: one of them holds the lock.
    std::string LockHolder(const std::string& path) override {
        DWORD session = 0;
        WCHAR key[CCH_RM_SESSION_KEY + 1] = {};
        if (RmStartSession(&session, 0, key) != ERROR_SUCCESS) return std::string();
        std::string holders;
        const std::string mapped = MapPath(path);
        const int length = MultiByteToWideChar(CP_ACP, 0, mapped.c_str(), -1, nullptr, 0);
        std::wstring wide(static_cast<size_t>(length > 0 ? length : 1), L'\0');
        if (length > 0) MultiByteToWideChar(CP_ACP, 0, mapped.c_str(), -1, &wide[0], length);
        LPCWSTR files[] = {wide.c_str()};
        UINT needed = 0;
        UINT count = 8;
        RM_PROCESS_INFO processes[8];
        DWORD reasons = 0;
        if (length > 0 &&
            RmRegisterResources(session, 1, files, 0, nullptr, 0, nullptr) == ERROR_SUCCESS &&
            RmGetList(session, &needed, &count, processes, &reasons) == ERROR_SUCCESS) {
            for (UINT i = 0; i < count; ++i) {
                if (processes[i].Process.dwProcessId == GetCurrentProcessId()) continue;
                char name[CCH_RM_MAX_APP_NAME + 1] = "";
                WideCharToMultiByte(CP_ACP, 0, processes[i].strAppName, -1, name, sizeof name,
                                    nullptr, nullptr);
                if (!holders.empty()) holders += ", ";
                holders += "process " + std::to_string(processes[i].Process.dwProcessId);
                if (name[0] != '\0') holders += " (" + std::string(name) + ")";
            }
        }
        RmEndSession(session);
        return holders;
    }

    bool ReadMachineKey(const std::string& keyPath, const std::vector<std::string>& names,
                        std::vector<RegistryValue>& values) override {
        values.clear();
        // The program's own view of the registry first, then the other one
        // (where a 32-bit installer on a 64-bit system writes its keys).
#ifdef _WIN64
        const REGSAM kOtherView = KEY_WOW64_32KEY;
#else
        const REGSAM kOtherView = KEY_WOW64_64KEY;
#endif
        HKEY key = nullptr;
        if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, keyPath.c_str(), 0, KEY_QUERY_VALUE, &key) !=
                ERROR_SUCCESS &&
            RegOpenKeyExA(HKEY_LOCAL_MACHINE, keyPath.c_str(), 0, KEY_QUERY_VALUE | kOtherView,
                          &key) != ERROR_SUCCESS) {
            return false;
        }
        for (const std::string& name : names) values.push_back(QueryValue(key, name));
        RegCloseKey(key);
        return true;
    }

    // The registry is always there.
    std::string MachineRegistryError() override { return std::string(); }

    std::string ErrorText(uint32_t error) override {
        const std::string own = OwnErrorText(error);
        if (!own.empty()) return own;
        char* buffer = nullptr;
        const DWORD length =
            FormatMessageA(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                               FORMAT_MESSAGE_IGNORE_INSERTS,
                           nullptr, error, 0, reinterpret_cast<char*>(&buffer), 0, nullptr);
        std::string text = length > 0 && buffer != nullptr ? std::string(buffer, length) : "";
        if (buffer != nullptr) LocalFree(buffer);
        while (!text.empty() && (text.back() == '\r' || text.back() == '\n' || text.back() == ' ' ||
                                 text.back() == '.')) {
            text.pop_back();
        }
        if (text.empty()) text = "System error " + std::to_string(error);
        return text;
    }

    uint32_t SearchDirectoryError(const std::string& path) override {
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

    DriveKind KindOfDrive(const std::string& path) override {
        char volume[MAX_PATH];
        if (!GetVolumePathNameA(MapPath(path).c_str(), volume, sizeof volume)) {
            return DriveKind::Unknown;
        }
        // "C:\" names the volume device "\\.\C:"; a share or a mounted folder
        // has no drive letter to ask.
        if (!(std::isalpha(static_cast<unsigned char>(volume[0])) && volume[1] == ':')) {
            return DriveKind::Unknown;
        }
        return KindOfVolume(std::string("\\\\.\\") + volume[0] + ":");
    }
};

}  // namespace

IPlatform& RealPlatform() {
    static Win32Platform platform;
    return platform;
}

std::string ShownPath(const std::string& path) {
    // "\\qmw.\\tool.exe" and "C:\\WINDOWS.\\qmverify.lst": the path rules drop a
    // dot that ends a directory name and a directory named ".", and so does
    // the text shown.
    std::string shown = MapPath(path);
    const auto isStop = [](char c) { return c == '\\' || c == ':'; };
    size_t dot = shown.find(".\\");
    while (dot != std::string::npos) {
        const char before = dot > 0 ? shown[dot - 1] : '\\';
        const bool parent = before == '.' && (dot < 2 || isStop(shown[dot - 2]));
        if (before == '\\') {
            shown.erase(dot, 2);  // "\\.\\" is the directory itself
        } else if (!isStop(before) && !parent) {
            shown.erase(dot, 1);
        } else {
            dot += 2;
        }
        dot = shown.find(".\\", dot);
    }
    return shown;
}

int CompareText(const char* a, const char* b) {
    return _mbscmp(reinterpret_cast<const unsigned char*>(a),
                   reinterpret_cast<const unsigned char*>(b));
}

}  // namespace qm
