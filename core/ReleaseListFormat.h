// The release list's name, keys and paths: how an entry's keys are named,
// where the list and its numbered backups live, and how the path of a listed
// file is formed. The path that is opened is always whole, so that no
// operation ever touches a file other than the one meant; only the texts
// shown keep their capacities (terminator included).
#pragma once

#include <cstddef>
#include <string>

#include "core/Capacities.h"

namespace qm {

extern const char kReleaseListName[];  // "qmverify.lst"

// The component directories and their sections, in the order they are
// compared and built.
struct ComponentDirectory {
    const char* directory;  // "\qmw"
    const char* section;    // "qmw"
};
extern const ComponentDirectory kComponentDirectories[2];

// The scan table of the build: which names of which directory go into which
// section, in this order. The entry counter starts again at 1 with each
// section.
struct ScanStep {
    const char* directory;
    const char* section;
    const char* mask;
    bool startsSection;
};
extern const ScanStep kScanTable[7];

// Entries are read up to this number; adding never writes above it.
constexpr int kLastReadableEntry = 9998;

// "File%d", "Date%d", "CRC%d", "Updated%d", "Comment%d" and "SHA256%d" for
// entry n. The SHA-256 key comes after an entry's five keys; readers that
// look keys up by name (the profile functions, our engine) pass over it, so
// a list that carries it stays readable by whatever read it before.
std::string EntryKey(const char* prefix, int n);
constexpr char kSha256KeyPrefix[] = "SHA256";
// The file's size in bytes, where an entry records it (after its SHA-256).
constexpr char kSizeKeyPrefix[] = "Size";

// "%s.\qmverify.lst" in the Windows directory; "" when the directory is
// unknown.
std::string ReleaseListPath(const std::string& windowsDirectory);

// Backup candidate k (from 1): "%s.\qmverify.l01", then "%s.\qmverify.l%02d".
std::string BackupCandidatePath(const std::string& windowsDirectory, int k);

// The first backup candidate of which no file exists.
std::string FirstFreeBackupPath(const std::string& windowsDirectory);

// Where the build writes the new list before it takes the list's place (the
// first free name from "qmverify.new" on).
std::string NewListPath(const std::string& windowsDirectory);
// The same name beside the file that a build replaces (the list, or the
// target of a symbolic link to it), so that the new list moves into place
// within one file system.
std::string NewListPathBeside(const std::string& listTarget);

// The lock file that keeps a second writer of the release list or the
// settings file out: "qmverify.lck" in the Windows directory.
std::string LockFilePath(const std::string& windowsDirectory);

// "%s.\%s" from a component directory and a name, such as \qmw.\tool.exe,
// whatever its length. `whole` tells whether it names the file meant: a zero
// byte inside a name would end it early where a C string ends.
std::string ListedFilePath(const std::string& directory, const std::string& name, bool* whole);

// The path as the result list shows it: cut to kListedPathCapacity - 1
// (127) bytes.
std::string ShownListedPath(const std::string& path);

// The search pattern "%s.\%s" of a directory and a mask, such as \qmw.\*.exe;
// `fitted` tells whether it fitted kSearchPatternCapacity (else it is cut).
std::string SearchPattern(const char* directory, const char* mask, bool* fitted);

// "\%s.\%s" from a section name and a typed name (adding one file); ""
// when it is longer than kAddedPathCapacity - 1 (79) bytes or holds a zero
// byte.
std::string AddedFilePath(const std::string& section, const std::string& name);

}  // namespace qm
