// One compared file as the comparison found it: what its entry records, what
// the file is now, the status and the cause of it. The rows of the result
// list are these records; the window, the sort, Edit comment and every output
// format put them into words at the edge (ColumnText), so that nothing is
// ever read back out of a display text. Findings of later kinds are new
// fields here.
#pragma once

#include <cstdint>
#include <string>

#include "core/FileStatus.h"
#include "core/OperatorTexts.h"
#include "platform/Signature.h"

namespace qm {

// The nine columns of the result list, as the window shows them and the sort
// orders them; the last two are hidden.
enum ResultColumn {
    kColFileName = 0,
    kColStatus = 1,
    kColCrcCurrent = 2,
    kColDateCurrent = 3,
    kColCrcRelease = 4,
    kColDateRelease = 5,
    kColComment = 6,
    kColEntry = 7,    // hidden: entry number n
    kColSection = 8,  // hidden: "qmw" or "db1"
    kColumnCount = 9
};

// Why a file has its status, in words a script can match (CauseText): the
// status alone cannot tell a changed file from one that cannot be read.
enum class RowCause {
    Unknown,                // not decided by a comparison
    SameContent,            // read whole; its CRC and its SHA-256 are the recorded ones
    SameCrc,                // read whole; its CRC is the recorded one, and no SHA-256 is recorded
    ContentChanged,         // read whole, and its CRC differs
    ContentChangedSameCrc,  // read whole; the CRC is the recorded one, the SHA-256 is not
    BadDigest,              // the recorded SHA-256 is no SHA-256 text
    Missing,                // no such file now
    NoAccess,               // it exists, and the user may not read it
    HeldOpen,               // another program holds it open and lets nobody read it
    Unreadable,             // it could not be opened or read to its end for another reason
    ChangedWhileRead,       // it changed during every read, so no digest is its own
    NotListed,              // a program file that no entry of its section names
    SizeChanged,            // its size is not the recorded one: not read
    TooLarge,               // planted, and beyond the bound of a planted file: not read
    Folder,                 // a directory whose name a mask selects: nothing to read
    DllRedirection,         // <program>.exe.local beside a program, or a file inside that folder
    Manifest,               // an unlisted <program>.exe.manifest or .exe.config beside a program
    ProgramByContent,       // unlisted, no mask takes it, and it begins with "MZ"
};

// What decided the status: the SHA-256 that the entry records, or the CRC-32
// alone (an entry without a SHA-256); none for a file that no entry names.
enum class RowDigest { None, Crc32, Sha256 };

struct ComparedFile {
    int section = 0;   // 0 "qmw", 1 "db1" (kComponentDirectories)
    int entry = 0;     // the entry's number n; 0 when no entry names the file
    std::string name;  // the file's name as the entry (or the directory) gives it, whole
    std::string path;  // whole, such as \qmw.\tool.exe; the row shows it cut
    FileStatus status = NotIdentical;
    RowCause cause = RowCause::Unknown;
    RowDigest digest = RowDigest::None;
    uint32_t readError = 0;  // the system's reason when the file could not be read
    uint64_t size = 0;       // bytes, as the directory tells (0 when it does not)
    std::string crcNow = "0";
    std::string crcRecorded;
    std::string sha256Now;       // "" unless the file was read whole
    std::string sha256Recorded;  // "" when the entry records none
    std::string dateNow;         // "" when no directory entry was found
    std::string dateRecorded;
    std::string comment;
    bool marked = false;  // "Updated%d" reads as 1
    // Who signed the file, asked only for a file that is not identical
    // (core/WatchedFile.h): information beside the status, never part of it.
    FileSignatureState signatureState = FileSignatureState::NotChecked;
    std::string signer;  // the signing certificate's name, where the system tells it
};

// The status texts the rows show: the window passes those of its string
// table, which hold the same texts.
struct StatusTexts {
    std::string identical = QM_TEXT_IDENTICAL;
    std::string notIdentical = QM_TEXT_NOT_IDENTICAL;
    std::string updated = QM_TEXT_UPDATED;
    std::string notListed = QM_TEXT_NOT_LISTED;

    const std::string& Of(FileStatus status) const;
};

// The text of `column` as the result list shows it, each cut to the capacity
// of its cell: the path, the status text, the four fingerprint texts, the
// comment, the entry number ("" for a file that no entry names) and the
// section name.
std::string ColumnText(const ComparedFile& file, int column, const StatusTexts& texts);

// The cause in the words that the command line's JSON and the window's row
// tip use; "" for a file of no cause.
const char* CauseText(RowCause cause);

// Whether the file could not be read as it is now (missing, no access, held
// open, unreadable, changing): the summary counts these by cause.
bool IsUnread(RowCause cause);

}  // namespace qm
