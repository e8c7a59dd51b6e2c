// The result list as the main window shows it: the rows live in a
// qm::CResultTable, and the list view, an owner-data control (LVS_OWNERDATA),
// draws them, asking for each cell as it paints or as another program reads
// it (LVN_GETDISPINFO). The control keeps which rows are selected and which
// has the focus; every other state bit, the image and the application value
// stay with the rows in the table.
//
// Each operation of qm::IResultList keeps both in step: a row inserted at the
// top pushes the selection down with its rows, and the focus and selection
// bits of SetRowAttributes reach the control at once. Work on many rows runs
// in a batch instead: between BeginBatch and EndBatch the rows change in the
// table alone, with the focus and selection captured into their state bits,
// and the control catches up at ShowRows and at the end.
#pragma once

#include <windows.h>

#include <commctrl.h>

#include <string>

#include "core/ResultList.h"
#include "core/ResultTable.h"
#include "core/SortState.h"
#include "ui/ListView.h"

class CResultListView : public qm::IResultList {
public:
    CResultListView(CListCtrl& list, qm::CResultTable& table) : m_list(list), m_table(table) {}

    // Once the control exists: it asks for the state bits it does not keep.
    void SetUpControl();

    void DeleteAllRows() override;
    int InsertRowAtTop(const std::string& column0, int image) override;
    std::string GetCellText(int row, int column) const override;
    void SetCellText(int row, int column, const std::string& text) override;
    qm::RowAttributes GetRowAttributes(int row) const override;
    void SetRowAttributes(int row, const qm::RowAttributes& attributes) override;
    int RowCount() const override;

    void BeginBatch();
    void EndBatch();
    // The control shows every row of the table, as the rows' state bits say
    // (within a batch), and draws them anew when it next paints.
    void ShowRows();

    // The header-click rule of qm::SortOnHeaderClick, on the table: the same
    // order, with focus and selection travelling with their rows.
    bool SortOnHeaderClick(qm::SortState& state, int column, int button);

    // Answers to the control: a cell (LVN_GETDISPINFOA/W) and a search, the
    // row of the first match or -1 (LVN_ODFINDITEMA/W: typing in the list).
    void AnswerDispInfo(NMLVDISPINFOA& info) const;
    void AnswerDispInfo(NMLVDISPINFOW& info) const;
    int FindRow(const NMLVFINDITEMA& find) const;
    int FindRow(const NMLVFINDITEMW& find) const;

    // The state bits the control keeps (focus and selection) and those it
    // asks the rows for.
    static constexpr UINT kControlState = qm::kRowFocused | qm::kRowSelected;
    static constexpr UINT kCallbackState = qm::kRowStateMask & ~kControlState;

private:
    bool IsRow(int row) const { return row >= 0 && row < m_table.RowCount(); }
    bool ControlHoldsState() const;
    void CaptureState();
    void RestoreState();
    void RedrawRow(int row) const;
    int FindRow(int start, UINT flags, const std::string& text, LPARAM param) const;

    CListCtrl& m_list;
    qm::CResultTable& m_table;
    bool m_bBatch = false;
};
