// The result list: the ordered table of result list rows, one per compared
// file. Each row has nine texts (the columns below), an image (its
// FileStatus), list-view state bits and an application value.
//
// The operations reach the rows only through IResultList, so that the same
// code fills a plain table (CResultTable) and the main window's list view.
#pragma once

#include <cstdint>
#include <deque>
#include <string>

#include "platform/Signature.h"

namespace qm {

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

// Why a row has its status, in words a script can match (the status text
// alone cannot tell a changed file from one that cannot be read).
enum class RowCause {
    Unknown,                // a row not made by a comparison
    SameContent,            // read whole; its CRC and its SHA-256 are the recorded ones
    SameCrc,                // read whole; its CRC is the recorded one, and no SHA-256 is recorded
    ContentChanged,         // read whole, and its CRC differs
    ContentChangedSameCrc,  // read whole; the CRC is the recorded one, the SHA-256 is not
    BadDigest,              // the recorded SHA-256 is no SHA-256 text
    Missing,                // no such file now
    Unreadable,             // it exists but could not be opened or read to its end
    ChangedWhileRead,       // it changed during every read, so no digest is its own
    NotListed,              // a program file that no entry of its section names
};

// What decided a row: the SHA-256 that its entry records, or the CRC-32
// alone (an entry without a SHA-256); none for a file that no entry names.
enum class RowDigest { None, Crc32, Sha256 };

// Image, state bits (list-view state mask 0xFF0F) and application value, and
// what the comparison found beyond the nine texts (the cause, the digest
// that decided, and the SHA-256 texts now and recorded, "" where there is
// none), which travel with the row as the rest does; and, for a row that is
// not identical, who signed its file (core/WatchedFile.h), never part of
// its status.
struct RowAttributes {
    RowAttributes() = default;
    RowAttributes(int imageIndex, uint32_t stateBits, intptr_t value)
        : image(imageIndex), state(stateBits), param(value) {}

    int image = 0;
    uint32_t state = 0;
    intptr_t param = 0;
    RowCause cause = RowCause::Unknown;
    RowDigest digest = RowDigest::None;
    std::string sha256Current;
    std::string sha256Release;
    SignatureCheck signature;
};

// State bits that travel with a row when it moves (LVIS_* in list-view terms).
enum : uint32_t {
    kRowFocused = 0x0001,
    kRowSelected = 0x0002,
    kRowStateMask = 0xFF0F,
};

struct ResultRow;  // core/ResultTable.h

class IResultList {
public:
    virtual ~IResultList() = default;
    virtual void DeleteAllRows() = 0;
    // Inserts a row at the top with the text of column 0 and the image;
    // returns the row's position.
    virtual int InsertRowAtTop(const std::string& column0, int image) = 0;
    virtual std::string GetCellText(int row, int column) const = 0;
    virtual void SetCellText(int row, int column, const std::string& text) = 0;
    virtual RowAttributes GetRowAttributes(int row) const = 0;
    virtual void SetRowAttributes(int row, const RowAttributes& attributes) = 0;
    virtual int RowCount() const = 0;

    // The rows themselves, when they are plain ResultRows that may be read
    // and exchanged in place (CResultTable), so that a sort need not copy
    // every key; null (the default) for a list that must see every read and
    // exchange through the calls above, such as a list view.
    virtual std::deque<ResultRow>* PlainRows() { return nullptr; }
};

}  // namespace qm
