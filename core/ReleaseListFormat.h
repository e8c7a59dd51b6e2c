// The release list's name, keys and paths: how an entry's keys are named,
// where the list and its numbered backups live, and how the path of a listed
// file is formed. Every text is formed within its capacity (terminator
// included); a path that does not fit is refused (""), never cut, so that no
// operation ever touches a file other than the one meant.
#pragma once

#include <cstddef>
#include <string>

namespace qm {

extern const char kReleaseListName[];  // "qmverify.lst"

// The component directories and their sections, in the order they are
// compared and built.
struct ComponentDirectory {
    const char* directory;  // "\qmw"
    const char* section;    // "qmw"
};
extern const ComponentDirectory kComponentDirectories[2];

// Capacities of the working texts, terminator included.
enum : size_t {
    kWindowsDirectoryCapacity = 80,
    kListPathCapacity = 80,     // release list, backups, the build's new list
    kListedPathCapacity = 128,  // "%s.\%s": comparison and build
    kAddedPathCapacity = 80,    // "\%s.\%s": adding one file
    kKeyCapacity = 80,
};

// Entries are read up to this number; adding never writes above it.
constexpr int kLastReadableEntry = 9998;

// "File%d", "Date%d", "CRC%d", "Updated%d", "Comment%d" for entry n.
std::string EntryKey(const char* prefix, int n);

// "%s.\qmverify.lst" in the Windows directory; "" when the directory is
// unknown or the path does not fit its 80 characters.
std::string ReleaseListPath(const std::string& windowsDirectory);

// Backup candidate k (from 1): "%s.\qmverify.l01", then "%s.\qmverify.l%02d";
// "" when it does not fit.
std::string BackupCandidatePath(const std::string& windowsDirectory, int k);

// The first backup candidate of which no file exists; "" when none fits.
std::string FirstFreeBackupPath(const std::string& windowsDirectory);

// Where the build writes the new list before it takes the list's place.
std::string NewListPath(const std::string& windowsDirectory);

// "%s.\%s" from a component directory and a name, such as \qmw.\tool.exe.
// `fitted` tells whether it fitted 128 characters; the text is then cut.
std::string ListedFilePath(const std::string& directory, const std::string& name, bool* fitted);

// "\%s.\%s" from a section name and a typed name (adding one file); ""
// when it does not fit 80 characters.
std::string AddedFilePath(const std::string& section, const std::string& name);

}  // namespace qm
