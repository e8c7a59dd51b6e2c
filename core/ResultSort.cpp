#include "core/ResultSort.h"

#include <array>
#include <string>

#include "platform/Platform.h"

namespace qm {

namespace {

// The key of a row, fetched anew for every comparison as the list view gives it.
int CompareKeys(const IResultList& list, int row, int column, const std::string& other) {
    return CompareText(list.GetCellText(row, column).c_str(), other.c_str());
}

// Exchanges all of two rows: texts first, then image, state and value, so
// that selection and focus travel with the content.
void SwapRows(IResultList& list, int i, int j) {
    std::array<std::string, kColumnCount> savedTexts;
    for (int column = 0; column < kColumnCount; ++column) {
        savedTexts[column] = list.GetCellText(i, column);
    }
    RowAttributes attributesI = list.GetRowAttributes(i);
    RowAttributes attributesJ = list.GetRowAttributes(j);
    for (int column = 0; column < kColumnCount; ++column) {
        list.SetCellText(i, column, list.GetCellText(j, column));
    }
    list.SetRowAttributes(i, attributesJ);
    for (int column = 0; column < kColumnCount; ++column) {
        list.SetCellText(j, column, savedTexts[column]);
    }
    list.SetRowAttributes(j, attributesI);
}

}  // namespace

void SortResultList(IResultList& list, int column, int ascending, int first, int last) {
    if (last == -1) last = list.RowCount() - 1;
    // The right part is sorted after the left one by looping rather than
    // recursing, which keeps the order of the work and halves the depth.
    while (first < last) {
        // The pivot text is copied once and stays fixed even when its row moves.
        const std::string pivot = list.GetCellText((first + last) / 2, column);
        int i = first;
        int j = last;
        while (i <= j) {
            if (ascending) {
                while (i < last && CompareKeys(list, i, column, pivot) < 0) ++i;
                while (j > first && CompareKeys(list, j, column, pivot) > 0) --j;
            } else {
                while (i < last && CompareKeys(list, i, column, pivot) > 0) ++i;
                while (j > first && CompareKeys(list, j, column, pivot) < 0) --j;
            }
            if (i <= j) {
                // Rows with equal keys are never exchanged.
                if (i != j && CompareText(list.GetCellText(i, column).c_str(),
                                          list.GetCellText(j, column).c_str()) != 0) {
                    SwapRows(list, i, j);
                }
                ++i;
                --j;
            }
        }
        if (first < j) SortResultList(list, column, ascending, first, j);
        if (i >= last) return;
        first = i;
    }
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
