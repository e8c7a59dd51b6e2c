#include "core/ResultTable.h"

namespace qm {

void CResultTable::AddAtTop(ComparedFile file) {
    ResultRow row;
    row.file = std::move(file);
    m_rows.push_front(std::move(row));
}

std::string CResultTable::CellText(int row, int column) const {
    return IsRow(row) ? ColumnText(m_rows[row].file, column, m_texts) : std::string();
}

int CResultTable::FindEntry(int section, int entry) const {
    if (entry < 1) return -1;
    for (int row = 0; row < RowCount(); ++row) {
        const ComparedFile& file = m_rows[row].file;
        if (file.section == section && file.entry == entry) return row;
    }
    return -1;
}

}  // namespace qm
