// The result list: the ordered table of result list rows, one per compared
// file. Each row has nine texts (the columns below), an image (its
// FileStatus), list-view state bits and an application value.
//
// The operations reach the rows only through IResultList, so that the same
// code fills a plain table (CResultTable) and the main window's list view.
#pragma once

#include <cstdint>
#include <string>

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
    Unknown,         // a row not made by a comparison
    SameContent,     // read whole, and its CRC is the recorded one
    ContentChanged,  // read whole, and its CRC differs
    Missing,         // no such file now
    Unreadable,      // it exists but could not be opened or read to its end
    NotListed,       // a program file that no entry of its section names
};

// Image, state bits (list-view state mask 0xFF0F) and application value, and
// the row's cause, which travels with the row as the rest does.
struct RowAttributes {
    int image = 0;
    uint32_t state = 0;
    intptr_t param = 0;
    RowCause cause = RowCause::Unknown;
};

// State bits that travel with a row when it moves (LVIS_* in list-view terms).
enum : uint32_t {
    kRowFocused = 0x0001,
    kRowSelected = 0x0002,
    kRowStateMask = 0xFF0F,
};

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
};

}  // namespace qm
