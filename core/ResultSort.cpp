#include "core/ResultSort.h"

#include <array>
#include <string>
#include <utility>

#include "core/ResultTable.h"
#include "platform/Platform.h"

namespace qm {

namespace {

// The rows of any result list: the key of a row is fetched anew for every
// comparison as the list view gives it, and an exchange moves all of two
// rows: texts first, then image, state and value, so that selection and
// focus travel with the content.
class ListRows {
public:
    ListRows(IResultList& list, int column) : m_list(list), m_column(column) {}

    std::string Key(int row) const { return m_list.GetCellText(row, m_column); }
    int Compare(int row, const std::string& key) const {
        return CompareText(m_list.GetCellText(row, m_column).c_str(), key.c_str());
    }
    int CompareRows(int i, int j) const {
        return CompareText(m_list.GetCellText(i, m_column).c_str(),
                           m_list.GetCellText(j, m_column).c_str());
    }
    void Swap(int i, int j) {
        std::array<std::string, kColumnCount> savedTexts;
        for (int column = 0; column < kColumnCount; ++column) {
            savedTexts[column] = m_list.GetCellText(i, column);
        }
        RowAttributes attributesI = m_list.GetRowAttributes(i);
        RowAttributes attributesJ = m_list.GetRowAttributes(j);
        for (int column = 0; column < kColumnCount; ++column) {
            m_list.SetCellText(i, column, m_list.GetCellText(j, column));
        }
        m_list.SetRowAttributes(i, attributesJ);
        for (int column = 0; column < kColumnCount; ++column) {
            m_list.SetCellText(j, column, savedTexts[column]);
        }
        m_list.SetRowAttributes(j, attributesI);
    }

private:
    IResultList& m_list;
    int m_column;
};

// The rows of a plain table, read in place: the same keys and the same
// exchanges, each moving the whole ResultRow, whatever fields it holds.
class TableRows {
public:
    TableRows(std::deque<ResultRow>& rows, int column) : m_rows(rows), m_column(column) {}

    const std::string& Key(int row) const { return m_rows[row].texts[m_column]; }
    int Compare(int row, const std::string& key) const {
        return CompareText(Key(row).c_str(), key.c_str());
    }
    int CompareRows(int i, int j) const { return CompareText(Key(i).c_str(), Key(j).c_str()); }
    void Swap(int i, int j) { std::swap(m_rows[i], m_rows[j]); }

private:
    std::deque<ResultRow>& m_rows;
    int m_column;
};

template <class Rows>
void Quicksort(Rows& rows, int ascending, int first, int last) {
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

void SortResultList(IResultList& list, int column, int ascending, int first, int last) {
    if (last == -1) last = list.RowCount() - 1;
    // Plain rows are sorted in place; any other list (or a range or column
    // beyond the table, whose keys read as "") through its interface.
    std::deque<ResultRow>* plain = list.PlainRows();
    if (plain != nullptr && column >= 0 && column < kColumnCount &&
        (first >= last || (first >= 0 && last < static_cast<int>(plain->size())))) {
        TableRows rows(*plain, column);
        Quicksort(rows, ascending, first, last);
        return;
    }
    ListRows rows(list, column);
    Quicksort(rows, ascending, first, last);
}

bool SortOnHeaderClick(IResultList& list, SortState& state, int column, int button) {
    if (button != 0) return false;  // only the left button sorts
    if (column == state.m_nSortColumn) {
        state.m_bSortAscending = state.m_bSortAscending ? 0 : 1;
    } else {
        state.m_bSortAscending = 1;
    }
    state.m_nSortColumn = column;
    SortResultList(list, column, state.m_bSortAscending, 0, -1);
    return true;
}

}  // namespace qm
