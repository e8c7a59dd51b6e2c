// Sorting the result list in place by the text of one column, as the window
// shows it: a recursive quicksort with the middle row's key as a fixed
// pivot, which exchanges whole rows (the record and the view's state bits of
// the row) and never rows of equal keys. Keys are compared with CompareText
// and never read as numbers or dates: entry 10 comes before entry 9.
#pragma once

#include "core/ResultTable.h"
#include "core/SortState.h"

namespace qm {

// Sorts rows first..last (inclusive; last == -1 means the last row) by the
// text of `column`, ascending when `ascending` is non-zero.
void SortResultList(CResultTable& table, int column, int ascending, int first, int last);

// The header-click rule: a left click (button 0) on column `column` toggles
// the direction when it is the current sort column and starts ascending
// otherwise, then sorts all rows. Other buttons change nothing. Returns true
// when it sorted.
bool SortOnHeaderClick(CResultTable& table, SortState& state, int column, int button);

// The end of a comparison: the sort state becomes column 1, descending, and
// the rows follow it ("Updated" first, then "Not identical" and "Not listed",
// then "Identical").
void SortAfterComparison(CResultTable& table, SortState& state);

}  // namespace qm
