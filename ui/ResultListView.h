// The result list as the main window shows it: the rows live in a
// qm::CResultTable of compared files, and the list view, an owner-data
// control (LVS_OWNERDATA), draws them, asking for each cell as it paints or
// as another program reads it (LVN_GETDISPINFO): the texts are made from the
// row's record then. The control keeps which rows are selected and which has
// the focus; every other state bit and the image stay with the rows.
//
// Whatever moves rows (new ones at the top during a run, a sort) takes the
// control's focus and selection into the rows' state bits first and gives
// them back after, so that they travel with their rows.
#pragma once

#include <windows.h>

#include <commctrl.h>

#include <string>
#include <vector>

#include "core/ResultTable.h"
#include "core/SortState.h"
#include "ui/ListView.h"

class CResultListView {
public:
    CResultListView(CListCtrl& list, qm::CResultTable& table) : m_list(list), m_table(table) {}

    // Once the control exists: it asks for the state bits it does not keep.
    void SetUpControl();

    qm::CResultTable& Table() { return m_table; }
    const qm::CResultTable& Table() const { return m_table; }

    void Clear();
    // `files` at the top, the last of them topmost, as one thread would
    // have inserted each; the control shows them when it next paints.
    void AddAtTop(std::vector<qm::ComparedFile>& files);
    // The rows of `rows` in place of the table's, no row selected.
    void Replace(qm::CResultTable& rows);
    // The row's record changed (Edit comment): the control draws it anew.
    void RedrawRow(int row) const;

    // The header-click rule of qm::SortOnHeaderClick, and the sort at the end
    // of a comparison, on the table: focus and selection travel with their
    // rows.
    bool SortOnHeaderClick(qm::SortState& state, int column, int button);
    void SortAfterComparison(qm::SortState& state);

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
    bool ControlHoldsState() const;
    void CaptureState();
    void RestoreState();
    // Runs `move` on the table with focus and selection kept on their rows.
    template <class Move>
    void MoveRows(Move move);
    int FindRow(int start, UINT flags, const std::string& text, LPARAM param) const;

    CListCtrl& m_list;
    qm::CResultTable& m_table;
};
