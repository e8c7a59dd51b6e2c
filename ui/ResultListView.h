// The result list of the release operations, carried out on the main
// window's list view: each row of qm::IResultList is one item of the control.
#pragma once

#include <string>

#include "core/ResultList.h"
#include "ui/ListView.h"

class CResultListView : public qm::IResultList {
public:
    explicit CResultListView(CListCtrl& list) : m_list(list) {}

    void DeleteAllRows() override;
    int InsertRowAtTop(const std::string& column0, int image) override;
    std::string GetCellText(int row, int column) const override;
    void SetCellText(int row, int column, const std::string& text) override;
    qm::RowAttributes GetRowAttributes(int row) const override;
    void SetRowAttributes(int row, const qm::RowAttributes& attributes) override;
    int RowCount() const override;

private:
    CListCtrl& m_list;
};
