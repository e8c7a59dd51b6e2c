// The sort state of the result list: the column of the last sort and its
// direction (non-zero ascending, 0 descending).
#pragma once

namespace qm {

struct SortState {
    int m_nSortColumn = 1;
    int m_bSortAscending = 0;
};

}  // namespace qm
