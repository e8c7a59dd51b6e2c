// Every capacity of the texts that the tool forms, reads and shows, in one
// place, each with its reason. A capacity counts the terminating zero, as the
// buffers that first held these texts did: a text read or formed with
// capacity N keeps at most N - 1 bytes, and a longer one is cut there.
//
// The paths that are opened are never cut: a listed file's path and the
// paths of the files in the Windows directory (the list, its backups, the
// build's new list, the lock) are formed whole, whatever their length. Only
// the texts shown and the values read keep these capacities.
#pragma once

#include <cstddef>

namespace qm {

enum : size_t {
    // The texts of a result list row, column by column.
    kListedPathCapacity = 128,  // 0: "%s.\%s" of directory and name, as the row shows it
    kStatusCapacity = 80,       // 1: "Identical", "Not identical", "Updated", "Not listed"
    kFingerprintCapacity = 40,  // 2 to 5: CRC and date texts, now and recorded
    kCommentCapacity = 512,     // 6: "Comment%d", 511 characters and the terminator
    kEntryNumberCapacity = 40,  // 7: the entry number, "%d"
    kSectionNameCapacity = 40,  // 8: "qmw" or "db1"

    // The release list.
    kKeyCapacity = 80,             // "File%d" ... "SHA256%d"; also a SHA-256 text read
    kSearchPatternCapacity = 128,  // "%s.\%s" of a component directory and a mask
    kTypedNameCapacity = 80,       // the name typed for Add, and each stored name Add compares
    kAddedPathCapacity = 80,       // "\%s.\%s" of a section and the typed name

    // The installed release of a product, from the registry.
    kRegistryTextCapacity = 40,  // a version or date value, and each text made of one
    kInstalledOnCapacity = 80,   // "Installed on": a date and a time of 39 bytes each and a blank

    // What the operator reads and types.
    kMessageCapacity = 8192,  // a message of ours, its inserts (file names) included
    kSummaryCapacity = 1024,  // each part of the summary after a comparison
    kAnswerCapacity = 256,    // the command line's confirmation of a build, "yes"
};

// The longest password line that the command line reads from standard input
// or the terminal, in bytes. The line is read no further than this, so that
// an endless input (/dev/zero) ends at once; a longer one is refused whole,
// never cut to a password it was not.
constexpr size_t kPasswordLineLength = 1024;

// The longest comment the Edit comment field takes and the list keeps.
constexpr size_t kCommentLength = kCommentCapacity - 1;

// Reads a value whole: larger than any one line of a list the tool accepts
// (64 MiB files of many lines), so that a name is never cut where it opens a
// file or names an entry.
constexpr size_t kWholeValueCapacity = static_cast<size_t>(1) << 20;

}  // namespace qm
