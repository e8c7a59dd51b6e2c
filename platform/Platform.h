// The seam between the portable core and the operating system.
//
// Everything the core needs of the system goes through IPlatform: the Windows
// directory, file existence, copies, moves, hard links and removal, directory
// searches with last-write times, sequential read-only opens, local calendar
// time, whole-file reads and new files for the profile engine, the read-only
// attribute, text between UTF-8 and the ANSI code page, an exclusive lock
// that keeps a second writer out (and who holds it), the machine's registry
// keys, the system's words for an error code, the kind of drive a file
// lies on, and for runs without a person the event log, scheduled tasks and
// the signatures of files.
//
// Only regular files are ever read: a directory, a device, a pipe or a socket
// is refused at once (kErrorNotAFile), before anything could block on it or
// read from it without end.
//
// Two implementations exist: Platform_win32.cpp with the files of win32/ (the
// real Windows calls) and Platform_posix.cpp with the files of posix/ (our
// stand-in, so that the core runs on Linux). Tests may put a decorator in
// force (ScopedPlatform) to inject faults.
//
// Every text that crosses the seam is UTF-8, on every system: names, paths,
// registry texts and the system's words. The Windows side calls the system's
// W functions and converts at the call, so that a file whose name the ANSI
// code page cannot spell ("еvil.dll" in Cyrillic) is found, opened and named
// as it is, never by a best-fit look-alike or a '?'. (A lone surrogate of a
// UTF-16 name travels in its three-byte form, see Utf8.h.) The posix
// stand-in's names are the file system's bytes, passed as they are.
//
// Paths are formed the Windows way: "\qmw.\tool.exe" starts at the root of
// the current drive, "C:\WINDOWS.\qmverify.lst" is absolute, and the dot that
// ends a directory name is dropped by the path rules.
//
// Calls that change files return a system error code: 0 (kErrorSuccess) when
// they succeeded, else the code that says why (the values of winerror.h; the
// posix stand-in maps errno onto them).
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/Signature.h"

namespace qm {

// A point in time as the file system keeps it: 100-ns intervals since
// 1 January 1601 UTC (the layout of FILETIME).
struct FileTime {
    uint64_t ticks = 0;
};

// Calendar fields of a time (the fields of SYSTEMTIME that we use).
struct CalendarTime {
    int year = 0;
    int month = 0;  // 1 to 12
    int day = 0;    // 1 to 31
    int hour = 0;   // 0 to 23
    int minute = 0;
    int second = 0;
};

// One name delivered by a directory search, as WIN32_FIND_DATAA gives it.
struct FoundEntry {
    std::string name;  // without any directory
    FileTime lastWrite;
    bool isDirectory = false;
    uint64_t size = 0;  // bytes (0 where the search does not tell)
};

// An open directory search. Destroying it closes the search (FindClose).
class IDirectorySearch {
public:
    virtual ~IDirectorySearch() = default;
    // The next name, or false when the search has no more (FindNextFileA).
    virtual bool Next(FoundEntry& entry) = 0;
};

// What an open file says of itself: its size and last-write time now.
struct FileFacts {
    uint64_t size = 0;
    FileTime lastWrite;
};

// A file opened for sequential reading. Destroying it closes the file.
class IReadFile {
public:
    virtual ~IReadFile() = default;
    // Reads up to `capacity` bytes. False when the read fails; a read at the
    // end of the file succeeds with bytesRead == 0.
    virtual bool Read(void* buffer, size_t capacity, size_t& bytesRead) = 0;
    // The size and last-write time of the open file as the system keeps them
    // at this moment (fstat, GetFileInformationByHandleEx; until the first
    // read, as they were at the open), so that a reader can tell a file that
    // changed while it was read; false when the system cannot say.
    virtual bool Facts(FileFacts& facts) {
        facts = FileFacts();
        return false;
    }
};

// What kind of storage holds a file, as far as the system tells: whether
// reading several of its files at once thrashes it.
enum class DriveKind {
    Unknown,   // the system does not say
    NoSeek,    // no seek penalty: a solid-state or memory drive
    Spinning,  // a seek penalty: a rotating disk
    Virtual,   // a virtual disk, whose seek-penalty flag says nothing of the storage behind it
};

// A lock held on a file. Destroying it releases the lock; so does the end of
// the process that holds it, however it ends.
class IFileLock {
public:
    virtual ~IFileLock() = default;
    // What the holder should pass on to the operator: an existing lock file
    // that others could open (and so lock), and whether it was tightened; ""
    // when there is nothing to say.
    virtual std::string Notice() const { return std::string(); }
};

// Outcome of reading a whole file.
enum class ReadResult {
    Ok,
    Missing,
    Failed,    // no access, not a regular file, or a read error
    TooLarge,  // larger than kMaxWholeFileSize: not read at all
};

// The largest file read whole (the release list, the settings file, an
// exported registry file). Far above anything the tool writes (a list of
// 2 x 9,998 entries with the longest comments is about 14 MB), so that a
// runaway, endless or hostile file can never take the machine's memory.
constexpr uint64_t kMaxWholeFileSize = uint64_t{64} << 20;
constexpr const char kMaxWholeFileSizeText[] = "64 MiB";

// One value of a registry key as the registry keeps it.
struct RegistryValue {
    // CutDword: a DWORD of fewer than 4 bytes, which holds no number.
    enum class Type { Missing, Text, Dword, Other, CutDword };
    Type type = Type::Missing;
    std::string data;  // raw bytes: a text without its terminator, a DWORD as 4 little-endian bytes
};

// The kinds of event in the system's log.
enum class EventType { Information, Warning, Error };

// The name under which qmverify writes to the Application log, registers its
// messages and its scheduled task.
constexpr char kEventSourceName[] = "qmverify";
// Its key below HKEY_LOCAL_MACHINE, which names the file of its messages.
constexpr char kEventSourceKey[] =
    "SYSTEM\\CurrentControlSet\\Services\\EventLog\\Application\\qmverify";

// System error codes the core looks at (the values of winerror.h).
enum : uint32_t {
    kErrorSuccess = 0,
    kErrorFileNotFound = 2,
    kErrorPathNotFound = 3,
    kErrorTooManyOpenFiles = 4,
    kErrorAccessDenied = 5,
    kErrorNotEnoughMemory = 8,
    kErrorNotSameDevice = 17,  // a move between volumes
    kErrorWriteProtect = 19,   // a read-only medium
    kErrorCrc = 23,
    kErrorReadFault = 30,
    kErrorGenFailure = 31,  // what the system gives no better word for
    kErrorSharingViolation = 32,
    kErrorLockViolation = 33,  // another process holds the lock
    kErrorNotSupported = 50,
    kErrorFileExists = 80,
    kErrorDiskFull = 112,
    kErrorInvalidName = 123,  // a name that names no file (one with a zero byte in it)
    kErrorAlreadyExists = 183,
    kErrorFilenameTooLong = 206,  // ERROR_FILENAME_EXCED_RANGE
    // ERROR_BAD_FILE_TYPE: our code for a name that is no regular file (a
    // directory, a device, a pipe, a socket); ErrorText gives our own words.
    kErrorNotAFile = 222,
    // ERROR_FILE_TOO_LARGE: a file beyond kMaxWholeFileSize.
    kErrorFileTooLarge = 223,
    // ERROR_NO_UNICODE_TRANSLATION: a character without an equivalent in the
    // code page it must be written in.
    kErrorNoUnicodeTranslation = 1113,
    kErrorIoDevice = 1117,             // the drive failed the request
    kErrorCantResolveFilename = 1921,  // too many symbolic links on the way
    // ERROR_FILE_READ_ONLY: the file has the read-only attribute.
    kErrorFileReadOnly = 6009,
    // Bit 29, which Windows leaves to applications: the posix stand-in passes
    // an errno value that no code above stands for as kErrorPosix | errno,
    // and ErrorText gives the system's own words for it ("Input/output
    // error").
    kErrorPosix = uint32_t{1} << 29,
};

class IPlatform {
public:
    virtual ~IPlatform() = default;

    // The Windows directory as GetWindowsDirectoryA delivers it, whatever its
    // length; "" when the system gives none.
    virtual std::string WindowsDirectory() = 0;

    // _access(path, 0) == 0: a file or directory of that name exists.
    virtual bool FileExists(const std::string& path) = 0;
    // The runtime library's remove: deletes a file, never a directory.
    virtual bool RemoveFile(const std::string& path) = 0;
    // Copies a regular file with its last-write time (CopyFileA); fails when
    // `to` exists already. Not named CopyFile, which <windows.h> defines as a
    // macro.
    virtual uint32_t CopyFileKeepingDate(const std::string& from, const std::string& to) = 0;
    // Moves `from` to `to`, replacing `to` if it exists, in one step.
    virtual uint32_t MoveReplace(const std::string& from, const std::string& to) = 0;
    // Gives the file `existing` the further name `link` (CreateHardLinkA).
    // kErrorAlreadyExists when `link` is taken; kErrorNotSupported (or
    // another code) when the volume has no hard links.
    virtual uint32_t HardLink(const std::string& existing, const std::string& link) = 0;

    // Starts a directory search (FindFirstFileA). Returns null when the
    // search delivers no name (missing directory or nothing matches);
    // otherwise `first` holds the first name. Masks match without regard to
    // case and select directories as well as files.
    virtual std::unique_ptr<IDirectorySearch> FindFirst(const std::string& pattern,
                                                        FoundEntry& first) = 0;

    // Opens a file for sequential reading, shared with readers only (an open
    // fails while another process writes the file). Returns 0 and the file,
    // or the system error code of the failed open (kErrorNotAFile for
    // anything but a regular file).
    virtual uint32_t OpenForReading(const std::string& path, std::unique_ptr<IReadFile>& file) = 0;

    // Turns a file time into local calendar fields with the offset from UTC
    // in force now (FileTimeToLocalFileTime, then FileTimeToSystemTime).
    virtual bool ToLocalCalendar(FileTime time, CalendarTime& local) = 0;

    // Whole-file access for the profile engine: a regular file of at most
    // kMaxWholeFileSize bytes.
    virtual ReadResult ReadWholeFile(const std::string& path, std::string& contents) = 0;
    // Creates `path` as a new file, writes `contents` and flushes them to
    // disk. kErrorFileExists when a file of that name exists: an existing
    // file is never opened, truncated or removed. A file that could not be
    // written whole is removed again. On posix only its owner may open it,
    // until CopyProtection gives it the protection it is to have.
    virtual uint32_t CreateNewFile(const std::string& path, const std::string& contents) = 0;

    // Whether `path` is a file with the read-only attribute, which Windows
    // refuses to replace (the posix stand-in: a file without any write bit).
    // False for a missing file.
    virtual bool IsReadOnly(const std::string& path) = 0;

    // Text of the ANSI code page (a release list saved as plain text, what
    // goes to a file or a pipe) as UTF-8. False when the bytes are no text
    // of the code page: they are then given as U+FFFD.
    virtual bool AnsiToUtf8(std::string_view bytes, std::string& text) = 0;
    // The other way, without best fit ("ō" is no "o"). False when a
    // character has no equivalent in the code page: it is then given as '?',
    // which the caller never writes where a name is meant.
    // The posix stand-in's code page is UTF-8, whose bytes pass as they are;
    // $QMVERIFY_ANSI_CODE_PAGE=1252 makes it Windows' Western code page, so
    // that a test meets names that the code page cannot spell.
    virtual bool Utf8ToAnsi(std::string_view text, std::string& bytes) = 0;

    // A name as the file system compares names: two names of one directory
    // whose keys are equal are one file where the file system ignores case
    // (Windows: every letter folded as the system folds file names,
    // "ÄBC.DLL" and "äbc.dll" alike; the posix stand-in: ASCII letters
    // only). Whether they are one file there is the file system's to say.
    virtual std::string NameKey(const std::string& name) = 0;

    // Tries once to take an exclusive lock on the file `path`, created when
    // missing (and never deleted) so that only those who may write the list
    // can open it (posix: mode 0600; Windows: Administrators, SYSTEM and its
    // owner).
    // kErrorLockViolation when another holder has it, another code when the
    // file cannot be opened.
    virtual uint32_t TryLockFile(const std::string& path, std::unique_ptr<IFileLock>& lock) = 0;
    // Who holds the lock on `path`, in words ("process 4711 (flock)"), where
    // the system tells; "" when it does not.
    virtual std::string LockHolder(const std::string& path) = 0;

    // Reads values of a key under HKEY_LOCAL_MACHINE. False when the key
    // cannot be opened; otherwise `values` has one entry per name, in order.
    virtual bool ReadMachineKey(const std::string& keyPath, const std::vector<std::string>& names,
                                std::vector<RegistryValue>& values) = 0;
    // Why the machine's registry cannot be read at all, in words; "" when it
    // can (always on Windows; on posix, when no exported registry file is
    // named or the named one can be read).
    virtual std::string MachineRegistryError() = 0;

    // The system's words for an error code, one line without a full stop at
    // its end (FormatMessageA on Windows).
    virtual std::string ErrorText(uint32_t error) = 0;

    // The kind of drive that holds `path` (IOCTL_STORAGE_QUERY_PROPERTY on
    // Windows, the block device's queue in /sys on Linux).
    virtual DriveKind KindOfDrive(const std::string& path) = 0;

    // Whether the directory `path` can be searched: 0 when it can,
    // kErrorPathNotFound when there is no such directory, else the system's
    // reason (such as access denied). A search that finds nothing cannot
    // tell these apart.
    virtual uint32_t SearchDirectoryError(const std::string& path) = 0;

    // Signing and its keys, done by the system's own library (CNG's bcrypt
    // on Windows, OpenSSL's libcrypto on the stand-in): never by code of
    // ours. Their bodies live in platform/win32/Crypto.cpp and
    // platform/posix/Crypto.cpp, for both implementations of the seam.
    // Keys travel as blobs of fixed layout, the same on both systems: an
    // ECDSA P-256 public key is X and Y (32 bytes each, big-endian), its
    // private key X, Y and the secret d; a signature is r and s (32 bytes
    // each) over a SHA-256 digest.
    //
    // `count` bytes from the system's random source.
    virtual bool RandomBytes(size_t count, std::string& bytes);
    // A new ECDSA P-256 key pair.
    virtual bool NewSigningKey(std::string& publicKey, std::string& privateKey);
    // The signature of a 32-byte digest; false for a blob that is no key.
    virtual bool SignDigest(const std::string& privateKey, const std::string& digest,
                            std::string& signature);
    // Whether `signature` is the key's signature of the digest; false for a
    // blob that is no point of the curve.
    virtual bool VerifyDigest(const std::string& publicKey, const std::string& digest,
                              const std::string& signature);
    // AES-256-GCM with a 32-byte key and a 12-byte nonce: `sealed` is the
    // cipher text followed by the 16-byte tag, which covers `associated` too.
    virtual bool SealAesGcm(const std::string& key, const std::string& nonce,
                            const std::string& plain, const std::string& associated,
                            std::string& sealed);
    // False when the tag does not match: the text, its associated data or
    // the key is not the one sealed.
    virtual bool OpenAesGcm(const std::string& key, const std::string& nonce,
                            const std::string& sealed, const std::string& associated,
                            std::string& plain);

    // The protection of the files a write replaces (bodies in
    // platform/win32/Protection.cpp and platform/posix/Protection.cpp).
    //
    // The file that a write of `path` replaces: the target of a symbolic
    // link (so that the link stays and its target gets the new contents),
    // else `path` itself.
    virtual std::string WriteTarget(const std::string& path);
    // Gives the new file `to` the protection of `like`, the file it is about
    // to replace: on Windows its security descriptor (owner, group where
    // the system lets us, and access list) and its attributes; on posix its
    // mode, owner and group. When `like` does not exist, `to` gets what a
    // new file gets here (posix: writable by its owner alone, readable as
    // the umask allows; Windows: what its folder passes on). 0 or the
    // system's reason.
    virtual uint32_t CopyProtection(const std::string& like, const std::string& to);
    // Who besides the file's owner (and, on Windows, the administrators and
    // the system) may write it, in words; "" when nobody else may.
    virtual std::string OthersWhoMayWrite(const std::string& path);

    // ReadWholeFile, and the system's reason of a result other than Ok
    // (kErrorFileTooLarge for TooLarge). The stand-in tells the very error
    // of the read (EIO: "Input/output error"); elsewhere, and by default,
    // the reason comes from opening the file once more (kErrorReadFault when
    // it opens). Not forwarded by test platforms: the default asks their
    // own ReadWholeFile.
    virtual ReadResult ReadWholeFileWithReason(const std::string& path, std::string& contents,
                                               uint32_t& error);

    // What a run without a person needs: the event log, a scheduled task and
    // the signatures of files. The system answers these itself, in one file
    // per concern (platform/win32/, platform/posix/), whichever platform
    // class is in force; a fake overrides them as it does any other call.

    // Writes one event of the source "qmverify" to the Application log
    // (RegisterEventSourceW, ReportEventW). `id` is the message's whole
    // identifier, severity bits included, as the message table of
    // qmverify-cli.exe holds it; `inserts` are its strings (system code
    // page), each cut to what one event keeps. 0, or the system's reason.
    // posix: one line on the file that $QMVERIFY_EVENT_LOG names, else syslog.
    virtual uint32_t WriteEvent(EventType type, uint32_t id,
                                const std::vector<std::string>& inserts);
    // The source's key under
    // HKLM\SYSTEM\CurrentControlSet\Services\EventLog\Application:
    // EventMessageFile = `messageFile`, TypesSupported = 7 (the three types
    // above). Removing a key that is not there succeeds. posix: not supported.
    virtual uint32_t InstallEventSource(const std::string& messageFile);
    virtual uint32_t RemoveEventSource();

    // A task of the Task Scheduler's root folder, from its XML definition;
    // it runs as SYSTEM, and one of the same name is replaced. Deleting a
    // task that is not there gives kErrorFileNotFound; reading one gives the
    // definition as the scheduler keeps it. posix: not supported.
    virtual uint32_t RegisterTask(const std::string& name, const std::string& definition);
    virtual uint32_t DeleteTask(const std::string& name);
    virtual uint32_t ReadTask(const std::string& name, std::string& definition);

    // The path of the running program (GetModuleFileNameW), "" when the
    // system does not tell.
    virtual std::string ProgramPath();
    // `text` with each %NAME% of the environment replaced by its value
    // (ExpandEnvironmentStrings); a name that is not set stays as it is.
    virtual std::string ExpandEnvironment(const std::string& text);
    // Creates a directory that administrators and the system change and
    // everybody else only reads (posix: mode 0755). kErrorAlreadyExists when
    // it exists: it is left as it is.
    virtual uint32_t CreateProtectedDirectory(const std::string& path);

    // Asks the system whether the file carries an Authenticode signature
    // that covers it, embedded or through a catalog of the system, and who
    // signed it (WinVerifyTrust without a revocation check, with no network
    // retrieval). posix: always unsigned.
    virtual SignatureCheck FileSignature(const std::string& path);
};

// The platform in force: the real one unless a test put another in place.
IPlatform& Platform();

// Where the current platform looks for its two roots. Empty texts keep the
// platform's own (on Windows: GetWindowsDirectoryA and the current drive; on
// posix: $QMVERIFY_WINDIR and $QMVERIFY_ROOT).
struct PlatformRoots {
    std::string windowsDirectory;
    std::string driveRoot;
};
void SetPlatformRoots(const PlatformRoots& roots);
const PlatformRoots& CurrentPlatformRoots();

// Puts another platform in force for the lifetime of this object (tests).
class ScopedPlatform {
public:
    explicit ScopedPlatform(IPlatform& replacement);
    ~ScopedPlatform();
    ScopedPlatform(const ScopedPlatform&) = delete;
    ScopedPlatform& operator=(const ScopedPlatform&) = delete;

private:
    IPlatform* m_previous;
};

// How putting a new file in the place of another while keeping the old one
// under a backup name ended.
enum class ReplaceOutcome {
    Replaced,      // `target` holds the replacement, `backup` the old file
    BackupFailed,  // the old file could not be kept: nothing changed
    MoveFailed,    // the replacement could not take the target's place: nothing changed
};
struct ReplaceResult {
    ReplaceOutcome outcome = ReplaceOutcome::Replaced;
    uint32_t error = kErrorSuccess;  // the system's reason when it failed
};

// Puts `replacement` in the place of `target` and keeps the previous target
// under the name `backup` (which must not exist), so that there is no moment
// without a file at `target`: the backup is a hard link (or, where the volume
// has none, a copy) of the target, and the replacement then takes the
// target's name in one move. ReplaceFileA is not used: it first moves the
// target to the backup and only then the replacement in, so a failure of its
// second step leaves no file at the target. A read-only target is refused
// (MoveFailed, kErrorFileReadOnly) and keeps its attribute.
ReplaceResult ReplaceWithBackup(const std::string& target, const std::string& replacement,
                                const std::string& backup);

// Whether an error code says that the system refused to let us write: access
// denied or a read-only medium.
bool IsWriteRefused(uint32_t error);

// A path as the operator reads it in a message: the file it names, in the
// system's own spelling (posix: the native path it maps to; Windows: the
// dot that ends a directory name dropped, "C:\WINDOWS.\qmverify.lst" reads
// "C:\WINDOWS\qmverify.lst", below the drive root in force).
std::string ShownPath(const std::string& path);

// Compares two texts as the result list orders them: in unsigned byte
// order, which for UTF-8 is the order of the characters' code points.
int CompareText(const char* a, const char* b);

}  // namespace qm
