#include "core/ResultSort.h"

#include <string>
#include <utility>
#include <vector>

#include "platform/Platform.h"

namespace qm {

namespace {

// The rows of a table with the text of the sort column of each, made once:
// the texts do not change while the rows move, so the comparisons and the
// exchanges are those of a sort that fetches each key anew.
class KeyedRows {
public:
    KeyedRows(CResultTable& table, int column, int first, int last) : m_rows(table.Rows()) {
        m_keys.resize(m_rows.size());
        for (int row = first; row <= last; ++row) m_keys[row] = table.CellText(row, column);
    }

    const std::string& Key(int row) const { return m_keys[row]; }
    int Compare(int row, const std::string& key) const {
        return CompareText(m_keys[row].c_str(), key.c_str());
    }
    int CompareRows(int i, int j) const {
        return CompareText(m_keys[i].c_str(), m_keys[j].c_str());
    }
    void Swap(int i, int j) {
        std::swap(m_keys[i], m_keys[j]);
        std::swap(m_rows[i], m_rows[j]);
    }

private:
    std::deque<ResultRow>& m_rows;
    std::vector<std::string> m_keys;
};

void Quicksort(KeyedRows& rows, int ascending, int first, int last) {
    // The right part is sorted after the left one by looping rather than
    // recursing, which keeps the order of the work and halves the depth.
    while (first < last) {
        // The pivot text is copied once and stays fixed even when its row moves.
        const std::string pivot = rows.Key((first + last) / 2);
        int i = first;
        int j = last;
        while (i <= j) {
            if (ascending) {
                while (i < last && rows.Compare(i, pivot) < 0) ++i;
                while (j > first && rows.Compare(j, pivot) > 0) --j;
            } else {
                while (i < last && rows.Compare(i, pivot) > 0) ++i;
                while (j > first && rows.Compare(j, pivot) < 0) --j;
            }
            if (i <= j) {
                // Rows with equal keys are never exchanged.
                if (i != j && rows.CompareRows(i, j) != 0) rows.Swap(i, j);
                ++i;
                --j;
            }
        }
        if (first < j) Quicksort(rows, ascending, first, j);
        if (i >= last) return;
        first = i;
    }
}

}  // namespace

void SortResultList(CResultTable& table, int column, int ascending, int first, int last) {
    if (last == -1 || last >= table.RowCount()) last = table.RowCount() - 1;
    if (first < 0) first = 0;
    if (first >= last) return;
    KeyedRows rows(table, column, first, last);
    Quicksort(rows, ascending, first, last);
}

bool SortOnHeaderClick(CResultTable& table, SortState& state, int column, int button) {
    if (button != 0) return false;  // only the left button sorts
    if (column == state.m_nSortColumn) {
        state.m_bSortAscending = state.m_bSortAscending ? 0 : 1;
    } else {
        state.m_bSortAscending = 1;
    }
    state.m_nSortColumn = column;
    SortResultList(table, column, state.m_bSortAscending, 0, -1);
    return true;
}

void SortAfterComparison(CResultTable& table, SortState& state) {
    state.m_nSortColumn = kColStatus;
    state.m_bSortAscending = 0;
    SortResultList(table, kColStatus, 0, 0, -1);
}

}  // namespace qm
