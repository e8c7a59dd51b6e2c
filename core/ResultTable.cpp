#include "core/ResultTable.h"

namespace qm {

void CResultTable::DeleteAllRows() { m_rows.clear(); }

int CResultTable::InsertRowAtTop(const std::string& column0, int image) {
    ResultRow row;
    row.texts[kColFileName] = column0;
    row.attributes.image = image;
    m_rows.push_front(std::move(row));
    return 0;
}

bool CResultTable::IsCell(int row, int column) const {
    return row >= 0 && row < RowCount() && column >= 0 && column < kColumnCount;
}

// Out-of-range cells read as "" and ignore writes, as a list view does.
std::string CResultTable::GetCellText(int row, int column) const {
    return IsCell(row, column) ? m_rows[row].texts[column] : std::string();
}

void CResultTable::SetCellText(int row, int column, const std::string& text) {
    if (IsCell(row, column)) m_rows[row].texts[column] = text;
}

RowAttributes CResultTable::GetRowAttributes(int row) const {
    return IsCell(row, 0) ? m_rows[row].attributes : RowAttributes();
}

void CResultTable::SetRowAttributes(int row, const RowAttributes& attributes) {
    if (IsCell(row, 0)) m_rows[row].attributes = attributes;
}

int CResultTable::RowCount() const { return static_cast<int>(m_rows.size()); }

}  // namespace qm
