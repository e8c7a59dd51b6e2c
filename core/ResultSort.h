// Sorting the result list in place by the text of one column: a recursive
// quicksort over the rows that swaps whole rows (texts, image, state bits and
// application value), with the middle row's key as a fixed pivot. A list
// that hands out its plain rows (IResultList::PlainRows, as CResultTable
// and any class derived from it do) is sorted in place, reading keys without
// copies and moving each ResultRow whole; any other list through
// IResultList. Both make the same comparisons and the same exchanges, so the
// order is the same.
#pragma once

#include "core/ResultList.h"
#include "core/SortState.h"

namespace qm {

// Sorts rows first..last (inclusive; last == -1 means the last row) by the
// key of `column`, ascending when `ascending` is non-zero.
void SortResultList(IResultList& list, int column, int ascending, int first, int last);

// The header-click rule: a left click (button 0) on column `column` toggles
// the direction when it is the current sort column and starts ascending
// otherwise, then sorts all rows. Other buttons change nothing. Returns true
// when it sorted.
bool SortOnHeaderClick(IResultList& list, SortState& state, int column, int button);

}  // namespace qm
