#include "ui/ResultListView.h"

void CResultListView::DeleteAllRows() { m_list.DeleteAllItems(); }

int CResultListView::InsertRowAtTop(const std::string& column0, int image) {
    return m_list.InsertItem(0, column0, image);
}

std::string CResultListView::GetCellText(int row, int column) const {
    return m_list.GetItemText(row, column);
}

void CResultListView::SetCellText(int row, int column, const std::string& text) {
    m_list.SetItemText(row, column, text);
}

qm::RowAttributes CResultListView::GetRowAttributes(int row) const {
    CListCtrl::ItemAttributes item = m_list.GetItemAttributes(row);
    return {item.image, item.state, item.param};
}

void CResultListView::SetRowAttributes(int row, const qm::RowAttributes& attributes) {
    m_list.SetItemAttributes(
        row, {attributes.image, attributes.state, static_cast<LPARAM>(attributes.param)});
}

int CResultListView::RowCount() const { return m_list.GetItemCount(); }
