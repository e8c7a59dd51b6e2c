// The result list as a plain in-memory table of rows, for the operations
// without a window (command line, tests).
#pragma once

#include <array>
#include <deque>
#include <string>
#include <vector>

#include "core/ResultList.h"

namespace qm {

struct ResultRow {
    std::array<std::string, kColumnCount> texts;
    RowAttributes attributes;
};

// Rows live in a deque: every compared file is inserted at the top, which a
// vector would pay for by moving all rows below each time.
class CResultTable : public IResultList {
public:
    void DeleteAllRows() override;
    int InsertRowAtTop(const std::string& column0, int image) override;
    std::string GetCellText(int row, int column) const override;
    void SetCellText(int row, int column, const std::string& text) override;
    RowAttributes GetRowAttributes(int row) const override;
    void SetRowAttributes(int row, const RowAttributes& attributes) override;
    int RowCount() const override;
    std::deque<ResultRow>* PlainRows() override { return &m_rows; }

    const std::deque<ResultRow>& Rows() const { return m_rows; }
    std::deque<ResultRow>& Rows() { return m_rows; }

private:
    bool IsCell(int row, int column) const;
    std::deque<ResultRow> m_rows;
};

}  // namespace qm
