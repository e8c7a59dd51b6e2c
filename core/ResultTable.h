// The result list as a table of compared files: the rows that the window
// shows and the command line prints, newest at the top while a comparison
// runs. The texts of a row are made from its record when they are shown
// (CellText), with the status texts the table was given.
#pragma once

#include <cstdint>
#include <deque>
#include <string>

#include "core/ComparedFile.h"

namespace qm {

// State bits that the window's list view keeps for a row and that travel
// with it when the sort moves it (LVIS_* in list-view terms).
enum : uint32_t {
    kRowFocused = 0x0001,
    kRowSelected = 0x0002,
    kRowStateMask = 0xFF0F,
};

struct ResultRow {
    ComparedFile file;
    uint32_t state = 0;  // the list view's focus and selection of the row, while it moves
};

// Rows live in a deque: every compared file is inserted at the top, which a
// vector would pay for by moving all rows below each time.
class CResultTable {
public:
    explicit CResultTable(StatusTexts texts = StatusTexts()) : m_texts(std::move(texts)) {}

    void Clear() { m_rows.clear(); }
    void AddAtTop(ComparedFile file);
    int RowCount() const { return static_cast<int>(m_rows.size()); }
    bool IsRow(int row) const { return row >= 0 && row < RowCount(); }
    // The text of a cell as the window shows it; "" outside the table.
    std::string CellText(int row, int column) const;
    // The row of entry `entry` of section `section`; -1 when none shows it.
    int FindEntry(int section, int entry) const;

    const std::deque<ResultRow>& Rows() const { return m_rows; }
    std::deque<ResultRow>& Rows() { return m_rows; }
    const StatusTexts& Texts() const { return m_texts; }

private:
    StatusTexts m_texts;
    std::deque<ResultRow> m_rows;
};

}  // namespace qm
