// The posix stand-in for the Windows calls, so that the core runs on Linux.
//
// Windows-style paths are mapped onto the native file system: backslash and
// slash separate components, a leading backslash or a drive letter starts at
// the drive root ($QMVERIFY_ROOT, default "/"), and the dots that end a
// directory name are dropped. Paths that start with "/" are native absolute
// paths; all others are relative to the current directory. The Windows
// directory is $QMVERIFY_WINDIR (default "./windows" below the current
// directory), and the machine's registry keys come from an exported registry
// file named by $QMVERIFY_REGISTRY.
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/types.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>

#include "platform/Platform.h"

namespace qm {

namespace {

PlatformRoots g_roots;

// Seconds between 1 January 1601 and 1 January 1970, and the tick rate of a
// FILETIME.
constexpr uint64_t kTicksPerSecond = 10000000;
constexpr uint64_t kEpochDifferenceSeconds = 11644473600ULL;

// ----------------------------------------------------------------------------
// Small helpers

char AsciiLower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

bool EqualNoCase(const std::string& a, const std::string& b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i) {
        if (AsciiLower(a[i]) != AsciiLower(b[i])) return false;
    }
    return true;
}

bool StartsWithNoCase(const std::string& text, const std::string& prefix) {
    return text.size() >= prefix.size() && EqualNoCase(text.substr(0, prefix.size()), prefix);
}

std::string CurrentDirectory() {
    std::string buffer(256, '\0');
    for (;;) {
        if (getcwd(&buffer[0], buffer.size()) != nullptr) {
            buffer.resize(std::strlen(buffer.c_str()));
            return buffer;
        }
        if (errno != ERANGE) return ".";
        buffer.resize(buffer.size() * 2);
    }
}

// A native path made absolute against the current directory, without
// trailing slashes (except for "/" itself).
std::string MakeAbsolute(std::string path) {
    if (path.empty() || path[0] != '/') {
        std::string cwd = CurrentDirectory();
        if (path.empty() || path == ".") {
            path = cwd;
        } else {
            if (path.compare(0, 2, "./") == 0) path.erase(0, 2);
            path = (cwd == "/" ? "" : cwd) + "/" + path;
        }
    }
    while (path.size() > 1 && path.back() == '/') path.pop_back();
    return path;
}

std::string EnvironmentText(const char* name) {
    const char* value = std::getenv(name);
    return value ? std::string(value) : std::string();
}

std::string DriveRoot() {
    std::string root = g_roots.driveRoot;
    if (root.empty()) root = EnvironmentText("QMVERIFY_ROOT");
    if (root.empty()) root = "/";
    return MakeAbsolute(root);
}

bool IsSeparator(char c) { return c == '\\' || c == '/'; }

// Maps a Windows-style path onto the native file system.
std::string MapPath(const std::string& path) {
    std::string result;
    size_t pos = 0;
    if (path.size() >= 2 && path[1] == ':' &&
        ((path[0] >= 'A' && path[0] <= 'Z') || (path[0] >= 'a' && path[0] <= 'z'))) {
        result = DriveRoot();
        pos = 2;
    } else if (!path.empty() && path[0] == '\\') {
        result = DriveRoot();
    } else if (!path.empty() && path[0] == '/') {
        result = "/";
    }

    // Split into components; every one but the last names a directory, and
    // so does the last when the path ends with a separator.
    std::vector<std::string> components;
    size_t start = pos;
    for (size_t i = pos; i <= path.size(); ++i) {
        if (i == path.size() || IsSeparator(path[i])) {
            if (i > start) components.push_back(path.substr(start, i - start));
            start = i + 1;
        }
    }
    bool endsWithSeparator = path.size() > pos && IsSeparator(path.back());

    for (size_t i = 0; i < components.size(); ++i) {
        std::string component = components[i];
        bool isDirectory = i + 1 < components.size() || endsWithSeparator;
        if (isDirectory && component != "." && component != "..") {
            while (!component.empty() && component.back() == '.') component.pop_back();
            if (component.empty()) continue;  // a name of dots only: the same directory
        }
        if (!result.empty() && result.back() != '/') result += '/';
        result += component;
    }
    if (result.empty()) result = ".";
    return result;
}

// The directory that a native path lies in.
std::string ParentOf(const std::string& nativePath) {
    size_t slash = nativePath.find_last_of('/');
    if (slash == std::string::npos) return ".";
    if (slash == 0) return "/";
    return nativePath.substr(0, slash);
}

bool IsDirectory(const std::string& nativePath) {
    struct stat info;
    return stat(nativePath.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

bool Exists(const std::string& nativePath) {
    struct stat info;
    return lstat(nativePath.c_str(), &info) == 0;
}

// The Windows error code for an errno value of a failed open.
uint32_t OpenErrorCode(int error, const std::string& nativePath) {
    switch (error) {
        case ENOENT:
            return IsDirectory(ParentOf(nativePath)) ? kErrorFileNotFound : kErrorPathNotFound;
        case ENOTDIR:
            return kErrorPathNotFound;
        case EACCES:
        case EPERM:
        case EISDIR:
        case EROFS:
            return kErrorAccessDenied;
        case EMFILE:
        case ENFILE:
            return 4;  // ERROR_TOO_MANY_OPEN_FILES
        case ENAMETOOLONG:
            return 206;  // ERROR_FILENAME_EXCED_RANGE
        case ENOMEM:
            return 8;  // ERROR_NOT_ENOUGH_MEMORY
        case ELOOP:
            return 1921;  // ERROR_CANT_RESOLVE_FILENAME
        case EBUSY:
        case ETXTBSY:
            return kErrorSharingViolation;
        default:
            return kErrorAccessDenied;
    }
}

int OpenNative(const std::string& nativePath, int flags, mode_t mode = 0) {
    int fd;
    do {
        fd = open(nativePath.c_str(), flags | O_CLOEXEC, mode);
    } while (fd < 0 && errno == EINTR);
    return fd;
}

bool ReadSome(int fd, void* buffer, size_t capacity, size_t& bytesRead) {
    if (capacity > static_cast<size_t>(SSIZE_MAX)) capacity = static_cast<size_t>(SSIZE_MAX);
    ssize_t count;
    do {
        count = read(fd, buffer, capacity);
    } while (count < 0 && errno == EINTR);
    if (count < 0) {
        bytesRead = 0;
        return false;
    }
    bytesRead = static_cast<size_t>(count);
    return true;
}

bool WriteAll(int fd, const char* data, size_t size) {
    while (size > 0) {
        ssize_t count = write(fd, data, size);
        if (count < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        data += count;
        size -= static_cast<size_t>(count);
    }
    return true;
}

// Makes a directory entry change (a rename, a new link) durable.
void SyncDirectoryOf(const std::string& nativePath) {
    int fd = OpenNative(ParentOf(nativePath), O_RDONLY | O_DIRECTORY);
    if (fd >= 0) {
        fsync(fd);
        close(fd);
    }
}

uint64_t TicksFromTimespec(const struct timespec& time) {
    // Times before 1601 cannot be expressed; they become 0.
    int64_t seconds =
        static_cast<int64_t>(time.tv_sec) + static_cast<int64_t>(kEpochDifferenceSeconds);
    if (seconds < 0) return 0;
    return static_cast<uint64_t>(seconds) * kTicksPerSecond +
           static_cast<uint64_t>(time.tv_nsec) / 100;
}

// Copies the open file `source` to a new file `to`; on failure `to` is
// removed again. The new file gets the source's last-write time, as
// CopyFileA gives it.
bool CopyOpenFile(int source, const std::string& to) {
    struct stat info;
    if (fstat(source, &info) != 0 || S_ISDIR(info.st_mode)) return false;
    int target = OpenNative(to, O_WRONLY | O_CREAT | O_EXCL, info.st_mode & 0777);
    if (target < 0) return false;
    bool ok = true;
    char buffer[65536];
    for (;;) {
        size_t count = 0;
        if (!ReadSome(source, buffer, sizeof buffer, count)) {
            ok = false;
            break;
        }
        if (count == 0) break;
        if (!WriteAll(target, buffer, count)) {
            ok = false;
            break;
        }
    }
    if (ok) {
        struct timespec times[2] = {info.st_atim, info.st_mtim};
        futimens(target, times);
        ok = fsync(target) == 0;
    }
    if (close(target) != 0) ok = false;
    if (!ok) unlink(to.c_str());
    return ok;
}

bool CopyNative(const std::string& from, const std::string& to) {
    int source = OpenNative(from, O_RDONLY);
    if (source < 0) return false;
    bool ok = CopyOpenFile(source, to);
    close(source);
    if (ok) SyncDirectoryOf(to);
    return ok;
}

// ----------------------------------------------------------------------------
// Directory search

// Matches a name against a mask of "*" and "?" without regard to case.
bool MatchMask(const char* mask, const char* name) {
    const char* starMask = nullptr;
    const char* starName = nullptr;
    while (*name) {
        if (*mask == '*') {
            starMask = ++mask;
            starName = name;
        } else if (*mask == '?' || (*mask && AsciiLower(*mask) == AsciiLower(*name))) {
            ++mask;
            ++name;
        } else if (starMask) {
            mask = starMask;
            name = ++starName;
        } else {
            return false;
        }
    }
    while (*mask == '*') ++mask;
    return *mask == '\0';
}

bool FillEntry(int directoryFd, const char* name, FoundEntry& entry) {
    struct stat info;
    if (fstatat(directoryFd, name, &info, 0) != 0 &&
        fstatat(directoryFd, name, &info, AT_SYMLINK_NOFOLLOW) != 0) {
        return false;  // vanished meanwhile
    }
    entry.name = name;
    entry.lastWrite.ticks = TicksFromTimespec(info.st_mtim);
    entry.isDirectory = S_ISDIR(info.st_mode);
    return true;
}

class PosixDirectorySearch : public IDirectorySearch {
public:
    PosixDirectorySearch(DIR* directory, std::string mask)
        : m_directory(directory), m_mask(std::move(mask)) {}
    ~PosixDirectorySearch() override { closedir(m_directory); }
    PosixDirectorySearch(const PosixDirectorySearch&) = delete;
    PosixDirectorySearch& operator=(const PosixDirectorySearch&) = delete;

    bool Next(FoundEntry& entry) override {
        if (m_exhausted) return false;
        for (;;) {
            errno = 0;
            struct dirent* found = readdir(m_directory);
            if (!found) {
                m_exhausted = true;
                return false;
            }
            const char* name = found->d_name;
            if (std::strcmp(name, ".") == 0 || std::strcmp(name, "..") == 0) continue;
            if (!MatchMask(m_mask.c_str(), name)) continue;
            if (FillEntry(dirfd(m_directory), name, entry)) return true;
        }
    }

    // After an exact name was found, nothing else is delivered.
    void Finish() { m_exhausted = true; }

private:
    DIR* m_directory;
    std::string m_mask;
    bool m_exhausted = false;
};

// ----------------------------------------------------------------------------
// Reading

// The caller reads in small pieces (4 KiB for a CRC). On Linux every read(2)
// has a fixed cost that dominates at that size, where Windows' read-ahead for
// a sequential scan hides it; so the system is asked for 256 KiB at a time and
// the pieces are handed out from that block.
class PosixReadFile : public IReadFile {
public:
    explicit PosixReadFile(int fd) : m_fd(fd), m_block(std::move(SpareBlock())) {}
    ~PosixReadFile() override {
        close(m_fd);
        if (!SpareBlock()) SpareBlock() = std::move(m_block);
    }
    PosixReadFile(const PosixReadFile&) = delete;
    PosixReadFile& operator=(const PosixReadFile&) = delete;

    bool Read(void* buffer, size_t capacity, size_t& bytesRead) override {
        bytesRead = 0;
        if (m_next == m_end) {
            if (!m_block) m_block.reset(new char[kBlockSize]);  // no zero fill
            size_t count = 0;
            if (!ReadSome(m_fd, m_block.get(), kBlockSize, count)) return false;
            m_next = 0;
            m_end = count;
        }
        size_t count = std::min(capacity, m_end - m_next);
        if (count > 0) memcpy(buffer, m_block.get() + m_next, count);
        m_next += count;
        bytesRead = count;
        return true;
    }

private:
    // One block is kept for the next file: a fresh allocation of this size
    // would be mapped and faulted in anew for every file.
    static std::unique_ptr<char[]>& SpareBlock() {
        static std::unique_ptr<char[]> s_spare;
        return s_spare;
    }

    static constexpr size_t kBlockSize = 256 * 1024;
    int m_fd;
    std::unique_ptr<char[]> m_block;
    size_t m_next = 0;
    size_t m_end = 0;
};

// ----------------------------------------------------------------------------
// Calendar

// The calendar date of a day counted from 1 January 1970 (proleptic
// Gregorian calendar).
void CivilFromDays(int64_t days, int& year, int& month, int& day) {
    days += 719468;
    int64_t era = (days >= 0 ? days : days - 146096) / 146097;
    int64_t dayOfEra = days - era * 146097;
    int64_t yearOfEra = (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
    int64_t dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
    int64_t monthIndex = (5 * dayOfYear + 2) / 153;
    day = static_cast<int>(dayOfYear - (153 * monthIndex + 2) / 5 + 1);
    month = static_cast<int>(monthIndex < 10 ? monthIndex + 3 : monthIndex - 9);
    year = static_cast<int>(yearOfEra + era * 400 + (month <= 2 ? 1 : 0));
}

// The offset of local time from UTC in force now, in seconds.
// A run converts thousands of times within the same second; tzset() reads
// the zone file each time, so the offset is kept for the second in which it
// was found and the TZ value it was found under.
long CurrentUtcOffset() {
    static time_t s_second = static_cast<time_t>(-1);
    static std::string s_zone;
    static long s_offset = 0;
    time_t now = time(nullptr);
    const char* zone = getenv("TZ");
    std::string zoneText = zone ? std::string("=") + zone : std::string();
    if (now == s_second && zoneText == s_zone) return s_offset;
    tzset();
    struct tm local;
    s_offset = localtime_r(&now, &local) ? local.tm_gmtoff : 0;
    s_second = now;
    s_zone = zoneText;
    return s_offset;
}

// ----------------------------------------------------------------------------
// Registry file

// Decodes the bytes of an exported registry file into 8-bit text: UTF-16LE
// with byte-order mark becomes UTF-8; a UTF-8 byte-order mark is dropped;
// anything else is taken as it is.
std::string DecodeRegistryText(const std::string& bytes) {
    if (bytes.size() >= 2 && static_cast<unsigned char>(bytes[0]) == 0xFF &&
        static_cast<unsigned char>(bytes[1]) == 0xFE) {
        std::string text;
        text.reserve(bytes.size() / 2);
        for (size_t i = 2; i + 1 < bytes.size(); i += 2) {
            uint32_t unit = static_cast<unsigned char>(bytes[i]) |
                            (static_cast<unsigned char>(bytes[i + 1]) << 8);
            uint32_t code = unit;
            if (unit >= 0xD800 && unit <= 0xDBFF && i + 3 < bytes.size()) {
                uint32_t low = static_cast<unsigned char>(bytes[i + 2]) |
                               (static_cast<unsigned char>(bytes[i + 3]) << 8);
                if (low >= 0xDC00 && low <= 0xDFFF) {
                    code = 0x10000 + ((unit - 0xD800) << 10) + (low - 0xDC00);
                    i += 2;
                }
            }
            if (code < 0x80) {
                text += static_cast<char>(code);
            } else if (code < 0x800) {
                text += static_cast<char>(0xC0 | (code >> 6));
                text += static_cast<char>(0x80 | (code & 0x3F));
            } else if (code < 0x10000) {
                text += static_cast<char>(0xE0 | (code >> 12));
                text += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
                text += static_cast<char>(0x80 | (code & 0x3F));
            } else {
                text += static_cast<char>(0xF0 | (code >> 18));
                text += static_cast<char>(0x80 | ((code >> 12) & 0x3F));
                text += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
                text += static_cast<char>(0x80 | (code & 0x3F));
            }
        }
        return text;
    }
    if (bytes.size() >= 3 && bytes.compare(0, 3, "\xEF\xBB\xBF") == 0) return bytes.substr(3);
    return bytes;
}

std::string Trim(const std::string& text) {
    size_t begin = 0;
    size_t end = text.size();
    while (begin < end && (text[begin] == ' ' || text[begin] == '\t')) ++begin;
    while (end > begin && (text[end - 1] == ' ' || text[end - 1] == '\t' || text[end - 1] == '\r'))
        --end;
    return text.substr(begin, end - begin);
}

// The logical lines of the file: continuation lines (ending in "\") of
// values joined, carriage returns dropped.
std::vector<std::string> LogicalLines(const std::string& text) {
    std::vector<std::string> lines;
    std::string pending;
    bool continuing = false;
    size_t pos = 0;
    while (pos < text.size()) {
        size_t end = text.find('\n', pos);
        if (end == std::string::npos) end = text.size();
        std::string line = Trim(text.substr(pos, end - pos));
        pos = end + 1;
        if (continuing) {
            pending += line;
        } else {
            pending = line;
        }
        // Only hexadecimal data continues on the next line; a quoted text
        // that ends in a backslash is complete.
        continuing = !pending.empty() && pending.back() == '\\' && pending[0] != '[' &&
                     pending.find("=hex") != std::string::npos;
        if (continuing) {
            pending.pop_back();
            continue;
        }
        lines.push_back(pending);
    }
    if (continuing) lines.push_back(pending);
    return lines;
}

// Reads a quoted text starting at text[pos] == '"' with \\ and \" escapes;
// pos ends after the closing quote.
bool ReadQuoted(const std::string& text, size_t& pos, std::string& value) {
    if (pos >= text.size() || text[pos] != '"') return false;
    value.clear();
    for (++pos; pos < text.size(); ++pos) {
        char c = text[pos];
        if (c == '\\' && pos + 1 < text.size()) {
            value += text[++pos];
        } else if (c == '"') {
            ++pos;
            return true;
        } else {
            value += c;
        }
    }
    return false;
}

bool HexDigit(char c, unsigned& value) {
    if (c >= '0' && c <= '9')
        value = static_cast<unsigned>(c - '0');
    else if (c >= 'a' && c <= 'f')
        value = static_cast<unsigned>(c - 'a' + 10);
    else if (c >= 'A' && c <= 'F')
        value = static_cast<unsigned>(c - 'A' + 10);
    else
        return false;
    return true;
}

// Parses the data of one value line (what follows "=").
RegistryValue ParseValueData(const std::string& data) {
    RegistryValue value;
    if (data == "-") return value;  // a deletion: the value is missing
    if (!data.empty() && data[0] == '"') {
        size_t pos = 0;
        std::string text;
        if (ReadQuoted(data, pos, text) && Trim(data.substr(pos)).empty()) {
            value.type = RegistryValue::Type::Text;
            value.data = text;
        } else {
            value.type = RegistryValue::Type::Other;
        }
        return value;
    }
    if (StartsWithNoCase(data, "dword:")) {
        std::string digits = Trim(data.substr(6));
        uint32_t number = 0;
        bool ok = !digits.empty() && digits.size() <= 8;
        for (char c : digits) {
            unsigned digit;
            if (!HexDigit(c, digit)) {
                ok = false;
                break;
            }
            number = (number << 4) | digit;
        }
        if (ok) {
            value.type = RegistryValue::Type::Dword;
            for (int i = 0; i < 4; ++i) value.data += static_cast<char>((number >> (8 * i)) & 0xFF);
        } else {
            value.type = RegistryValue::Type::Other;
        }
        return value;
    }
    // hex:, hex(n): and anything else: another type; keep the bytes that
    // can be read.
    value.type = RegistryValue::Type::Other;
    size_t colon = data.find(':');
    if (StartsWithNoCase(data, "hex") && colon != std::string::npos) {
        unsigned high = 0;
        unsigned low = 0;
        std::string bytes;
        std::string rest = data.substr(colon + 1);
        size_t pos = 0;
        while (pos < rest.size()) {
            while (pos < rest.size() && (rest[pos] == ',' || rest[pos] == ' ' || rest[pos] == '\t'))
                ++pos;
            if (pos + 1 < rest.size() && HexDigit(rest[pos], high) &&
                HexDigit(rest[pos + 1], low)) {
                bytes += static_cast<char>((high << 4) | low);
                pos += 2;
            } else {
                break;
            }
        }
        value.data = bytes;
    }
    return value;
}

// The key path of a section header under HKEY_LOCAL_MACHINE, or false for
// other roots and for deletions.
bool MachineKeyOfSection(const std::string& line, std::string& keyPath) {
    if (line.size() < 2 || line[0] != '[' || line.back() != ']') return false;
    std::string name = Trim(line.substr(1, line.size() - 2));
    if (!name.empty() && name[0] == '-') return false;
    static const char* const kRoots[] = {"HKEY_LOCAL_MACHINE\\", "HKLM\\"};
    for (const char* root : kRoots) {
        if (StartsWithNoCase(name, root)) {
            keyPath = name.substr(std::strlen(root));
            return true;
        }
    }
    return false;
}

std::string NormaliseKeyPath(std::string path) {
    while (!path.empty() && path.front() == '\\') path.erase(0, 1);
    while (!path.empty() && path.back() == '\\') path.pop_back();
    return path;
}

// The values of one key in a registry file, later lines winning over
// earlier ones; false when no section names the key.
bool ReadRegistryKey(const std::vector<std::string>& lines, const std::string& keyPath,
                     std::vector<std::pair<std::string, RegistryValue>>& found) {
    bool keyFound = false;
    bool inKey = false;
    std::string wanted = NormaliseKeyPath(keyPath);
    for (const std::string& line : lines) {
        if (line.empty() || line[0] == ';') continue;
        if (line[0] == '[') {
            std::string sectionKey;
            inKey = MachineKeyOfSection(line, sectionKey) &&
                    EqualNoCase(NormaliseKeyPath(sectionKey), wanted);
            keyFound = keyFound || inKey;
            continue;
        }
        if (!inKey) continue;
        std::string name;
        size_t pos = 0;
        if (line[0] == '@') {
            pos = 1;
        } else if (!ReadQuoted(line, pos, name)) {
            continue;
        }
        while (pos < line.size() && (line[pos] == ' ' || line[pos] == '\t')) ++pos;
        if (pos >= line.size() || line[pos] != '=') continue;
        RegistryValue value = ParseValueData(Trim(line.substr(pos + 1)));
        bool replaced = false;
        for (auto& entry : found) {
            if (EqualNoCase(entry.first, name)) {
                entry.second = value;
                replaced = true;
            }
        }
        if (!replaced) found.emplace_back(name, value);
    }
    return keyFound;
}

// ----------------------------------------------------------------------------
// The platform

class PosixPlatform : public IPlatform {
public:
    std::string WindowsDirectory() override {
        std::string directory = g_roots.windowsDirectory;
        if (directory.empty()) directory = EnvironmentText("QMVERIFY_WINDIR");
        if (directory.empty()) directory = "windows";
        directory = MakeAbsolute(directory);
        if (directory.size() + 1 > 80) return "";
        return directory;
    }

    bool FileExists(const std::string& path) override {
        return access(MapPath(path).c_str(), F_OK) == 0;
    }

    bool RenameFile(const std::string& from, const std::string& to) override {
        std::string source = MapPath(from);
        std::string target = MapPath(to);
        if (renameat2(AT_FDCWD, source.c_str(), AT_FDCWD, target.c_str(), RENAME_NOREPLACE) == 0)
            return true;
        if (errno != EINVAL && errno != ENOSYS) return false;
        // The file system cannot rename without replacing: test first.
        if (Exists(target)) return false;
        return rename(source.c_str(), target.c_str()) == 0;
    }

    bool RemoveFile(const std::string& path) override {
        // The runtime library's remove deletes files, never directories.
        return unlink(MapPath(path).c_str()) == 0;
    }

    bool CopyFile(const std::string& from, const std::string& to) override {
        return CopyNative(MapPath(from), MapPath(to));
    }

    bool MoveReplace(const std::string& from, const std::string& to) override {
        std::string target = MapPath(to);
        if (rename(MapPath(from).c_str(), target.c_str()) != 0) return false;
        SyncDirectoryOf(target);
        return true;
    }

    bool ReplaceWithBackup(const std::string& target, const std::string& replacement,
                           const std::string& backup) override {
        std::string targetPath = MapPath(target);
        std::string replacementPath = MapPath(replacement);
        std::string backupPath = MapPath(backup);
        if (!Exists(replacementPath)) return false;
        if (link(targetPath.c_str(), backupPath.c_str()) != 0) {
            // No hard links here (or another reason): keep a copy instead,
            // unless the backup name is taken or the target is missing.
            if (errno == EEXIST || errno == ENOENT || errno == ENOTDIR) return false;
            if (!CopyNative(targetPath, backupPath)) return false;
        }
        if (rename(replacementPath.c_str(), targetPath.c_str()) != 0) {
            unlink(backupPath.c_str());
            return false;
        }
        SyncDirectoryOf(targetPath);
        return true;
    }

    std::unique_ptr<IDirectorySearch> FindFirst(const std::string& pattern,
                                                FoundEntry& first) override {
        std::string mapped = MapPath(pattern);
        size_t slash = mapped.find_last_of('/');
        std::string directory =
            slash == std::string::npos ? "." : (slash == 0 ? "/" : mapped.substr(0, slash));
        std::string mask = slash == std::string::npos ? mapped : mapped.substr(slash + 1);
        if (mask.empty()) return nullptr;
        if (mask == "*.*") mask = "*";  // as on Windows: names without a dot too

        DIR* handle = opendir(directory.c_str());
        if (!handle) return nullptr;
        auto search = std::make_unique<PosixDirectorySearch>(handle, mask);

        // A name without wildcards: look it up directly before reading the
        // whole directory for a match that differs in case.
        if (mask.find_first_of("*?") == std::string::npos && mask != "." && mask != "..") {
            if (FillEntry(dirfd(handle), mask.c_str(), first)) {
                search->Finish();
                return search;
            }
        }
        if (!search->Next(first)) return nullptr;
        return search;
    }

    uint32_t OpenForReading(const std::string& path, std::unique_ptr<IReadFile>& file) override {
        file.reset();
        if (path.empty()) return kErrorPathNotFound;
        std::string native = MapPath(path);
        int fd = OpenNative(native, O_RDONLY);
        if (fd < 0) return OpenErrorCode(errno, native);
        struct stat info;
        if (fstat(fd, &info) != 0 || S_ISDIR(info.st_mode)) {
            // Windows opens no directory this way.
            close(fd);
            return kErrorAccessDenied;
        }
        posix_fadvise(fd, 0, 0, POSIX_FADV_SEQUENTIAL);
        file = std::make_unique<PosixReadFile>(fd);
        return kErrorSuccess;
    }

    bool ToLocalCalendar(FileTime time, CalendarTime& local) override {
        int64_t offsetTicks =
            static_cast<int64_t>(CurrentUtcOffset()) * static_cast<int64_t>(kTicksPerSecond);
        uint64_t ticks = time.ticks;
        if (offsetTicks < 0 && ticks < static_cast<uint64_t>(-offsetTicks)) return false;
        ticks += static_cast<uint64_t>(offsetTicks);
        if (ticks >= 0x8000000000000000ULL) return false;  // beyond FileTimeToSystemTime
        uint64_t seconds = ticks / kTicksPerSecond;
        int64_t days = static_cast<int64_t>(seconds / 86400) -
                       static_cast<int64_t>(kEpochDifferenceSeconds / 86400);
        uint64_t secondOfDay = seconds % 86400;
        CivilFromDays(days, local.year, local.month, local.day);
        local.hour = static_cast<int>(secondOfDay / 3600);
        local.minute = static_cast<int>(secondOfDay / 60 % 60);
        local.second = static_cast<int>(secondOfDay % 60);
        return true;
    }

    ReadResult ReadWholeFile(const std::string& path, std::string& contents) override {
        contents.clear();
        std::string native = MapPath(path);
        int fd = OpenNative(native, O_RDONLY);
        if (fd < 0)
            return (errno == ENOENT || errno == ENOTDIR) ? ReadResult::Missing : ReadResult::Failed;
        struct stat info;
        if (fstat(fd, &info) != 0 || S_ISDIR(info.st_mode)) {
            close(fd);
            return ReadResult::Failed;
        }
        if (info.st_size > 0) contents.reserve(static_cast<size_t>(info.st_size));
        char buffer[65536];
        for (;;) {
            size_t count = 0;
            if (!ReadSome(fd, buffer, sizeof buffer, count)) {
                close(fd);
                contents.clear();
                return ReadResult::Failed;
            }
            if (count == 0) break;
            contents.append(buffer, count);
        }
        close(fd);
        return ReadResult::Ok;
    }

    bool WriteNewFile(const std::string& path, const std::string& contents) override {
        int fd = OpenNative(MapPath(path), O_WRONLY | O_CREAT | O_TRUNC, 0666);
        if (fd < 0) return false;
        bool ok = WriteAll(fd, contents.data(), contents.size()) && fsync(fd) == 0;
        if (close(fd) != 0) ok = false;
        return ok;
    }

    bool ReadMachineKey(const std::string& keyPath, const std::vector<std::string>& names,
                        std::vector<RegistryValue>& values) override {
        values.clear();
        std::string file = EnvironmentText("QMVERIFY_REGISTRY");
        if (file.empty()) return false;
        std::string bytes;
        if (ReadWholeFile(file, bytes) != ReadResult::Ok) return false;
        std::vector<std::string> lines = LogicalLines(DecodeRegistryText(bytes));

        // The program's own view first, then the 32-bit view that a 64-bit
        // system keeps below WOW6432Node.
        std::vector<std::pair<std::string, RegistryValue>> found;
        std::string path = NormaliseKeyPath(keyPath);
        bool keyFound = ReadRegistryKey(lines, path, found);
        if (!keyFound && StartsWithNoCase(path, "SOFTWARE\\")) {
            keyFound = ReadRegistryKey(lines, "SOFTWARE\\WOW6432Node\\" + path.substr(9), found);
        }
        if (!keyFound) return false;
        for (const std::string& name : names) {
            RegistryValue value;
            for (const auto& entry : found) {
                if (EqualNoCase(entry.first, name)) value = entry.second;
            }
            values.push_back(value);
        }
        return true;
    }
};

}  // namespace

IPlatform& RealPlatform() {
    static PosixPlatform platform;
    return platform;
}

void SetPlatformRoots(const PlatformRoots& roots) { g_roots = roots; }

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
