#include "ui/ResultListView.h"

#include "core/ResultSort.h"
#include "ui/WideText.h"

namespace {

// Whether `text` matches a search for `wanted`: the whole text, or with
// LVFI_PARTIAL its beginning, without regard to case, as the control itself
// compares its items.
bool Matches(const std::string& text, const std::string& wanted, UINT flags) {
    const std::wstring item = Wide(text);
    const std::wstring typed = Wide(wanted);
    const bool partial = (flags & LVFI_PARTIAL) != 0;
    if (partial && item.size() < typed.size()) return false;
    const int length = static_cast<int>(partial ? typed.size() : item.size());
    return ::CompareStringW(LOCALE_USER_DEFAULT, NORM_IGNORECASE, item.c_str(), length,
                            typed.c_str(), static_cast<int>(typed.size())) == CSTR_EQUAL;
}

// What the control asks of a row; a row it does not know reads as empty, as
// its own items' missing subitems do. Only the item itself (column 0) has an
// image (its status) and state bits.
template <class Info, class Store>
void Answer(const qm::CResultTable& table, Info& info, Store storeText) {
    auto& item = info.item;
    const qm::ResultRow* row = table.IsRow(item.iItem) ? &table.Rows()[item.iItem] : nullptr;
    if ((item.mask & LVIF_TEXT) != 0 && item.pszText != nullptr && item.cchTextMax > 0) {
        storeText(item, row != nullptr ? table.CellText(item.iItem, item.iSubItem) : "");
    }
    if ((item.mask & LVIF_IMAGE) != 0) {
        item.iImage = row != nullptr && item.iSubItem == 0 ? row->file.status : 0;
    }
    if ((item.mask & LVIF_STATE) != 0) {
        const UINT state = row != nullptr && item.iSubItem == 0 ? row->state : 0;
        item.state = (item.state & ~item.stateMask) | (state & item.stateMask);
    }
    if ((item.mask & LVIF_PARAM) != 0) item.lParam = 0;
    if ((item.mask & LVIF_INDENT) != 0) item.iIndent = 0;
}

}  // namespace

void CResultListView::SetUpControl() {
    m_list.SetCallbackMask(kCallbackState);
    // Asked in UTF-16, every name shows as it is.
    m_list.SendMessage(CCM_SETUNICODEFORMAT, TRUE);
}

void CResultListView::Clear() {
    m_table.Clear();
    m_list.DeleteAllItems();
}

template <class Move>
void CResultListView::MoveRows(Move move) {
    const bool keepState = ControlHoldsState();
    if (keepState) CaptureState();
    move();
    if (m_list.GetItemCount() != m_table.RowCount()) m_list.SetItemCount(m_table.RowCount());
    if (keepState) RestoreState();
    m_list.Invalidate(false);
}

void CResultListView::AddAtTop(std::vector<qm::ComparedFile>& files) {
    MoveRows([&] {
        for (qm::ComparedFile& file : files) m_table.AddAtTop(std::move(file));
    });
    files.clear();
}

void CResultListView::Replace(qm::CResultTable& rows) {
    m_table.Rows() = std::move(rows.Rows());
    rows.Clear();
    m_list.SetItemState(-1, 0, kControlState);
    if (m_list.GetItemCount() != m_table.RowCount()) m_list.SetItemCount(m_table.RowCount());
    m_list.Invalidate(false);
}

bool CResultListView::SortOnHeaderClick(qm::SortState& state, int column, int button) {
    if (button != 0) return false;
    bool sorted = false;
    MoveRows([&] { sorted = qm::SortOnHeaderClick(m_table, state, column, button); });
    return sorted;
}

void CResultListView::SortAfterComparison(qm::SortState& state) {
    MoveRows([&] { qm::SortAfterComparison(m_table, state); });
}

bool CResultListView::ControlHoldsState() const {
    return m_list.GetSelectedCount() > 0 || m_list.GetNextItem(-1, LVNI_FOCUSED) >= 0;
}

// The control's focus and selection into the rows' state bits.
void CResultListView::CaptureState() {
    for (qm::ResultRow& row : m_table.Rows()) row.state &= ~kControlState;
    const int items = m_list.GetItemCount();
    for (int item = m_list.GetNextItem(-1, LVNI_SELECTED); item >= 0 && item < items;
         item = m_list.GetNextItem(item, LVNI_SELECTED)) {
        m_table.Rows()[item].state |= qm::kRowSelected;
    }
    const int focused = m_list.GetNextItem(-1, LVNI_FOCUSED);
    if (focused >= 0 && focused < items) m_table.Rows()[focused].state |= qm::kRowFocused;
}

// The rows' focus and selection bits into the control; the selection mark
// (where a shift-click extends from) stays where it was, as when rows swap
// their contents in place.
void CResultListView::RestoreState() {
    const int mark = m_list.GetSelectionMark();
    m_list.SetItemState(-1, 0, kControlState);
    for (int row = 0; row < m_table.RowCount(); ++row) {
        const UINT state = m_table.Rows()[row].state & kControlState;
        if (state != 0) m_list.SetItemState(row, state, kControlState);
    }
    m_list.SetSelectionMark(mark);
}

void CResultListView::RedrawRow(int row) const {
    if (m_table.IsRow(row) && row < m_list.GetItemCount()) m_list.RedrawItems(row, row);
}

void CResultListView::AnswerDispInfo(NMLVDISPINFOA& info) const {
    Answer(m_table, info, [](LVITEMA& item, const std::string& text) {
        ::lstrcpynA(item.pszText, AnsiSpelling(text).c_str(), item.cchTextMax);
    });
}

void CResultListView::AnswerDispInfo(NMLVDISPINFOW& info) const {
    Answer(m_table, info, [](LVITEMW& item, const std::string& text) {
        ::lstrcpynW(item.pszText, Wide(text).c_str(), item.cchTextMax);
    });
}

int CResultListView::FindRow(const NMLVFINDITEMA& find) const {
    const UINT flags = find.lvfi.flags;
    const bool byText = (flags & (LVFI_STRING | LVFI_PARTIAL)) != 0;
    std::string typed;
    if (byText && find.lvfi.psz != nullptr) qm::Platform().AnsiToUtf8(find.lvfi.psz, typed);
    return FindRow(find.iStart, flags, typed, find.lvfi.lParam);
}

int CResultListView::FindRow(const NMLVFINDITEMW& find) const {
    const UINT flags = find.lvfi.flags;
    const bool byText = (flags & (LVFI_STRING | LVFI_PARTIAL)) != 0;
    return FindRow(find.iStart, flags, byText ? Utf8(find.lvfi.psz) : "", find.lvfi.lParam);
}

// From `start` to the end, then with LVFI_WRAP from the top; by value when
// LVFI_PARAM asks for it (every row's is 0), else by the text of column 0.
int CResultListView::FindRow(int start, UINT flags, const std::string& text, LPARAM param) const {
    const int count = m_table.RowCount();
    if (count == 0) return -1;
    if (start < 0 || start >= count) start = 0;
    auto matches = [&](int row) {
        if ((flags & LVFI_PARAM) != 0) return param == 0;
        return Matches(m_table.CellText(row, qm::kColFileName), text, flags);
    };
    for (int row = start; row < count; ++row) {
        if (matches(row)) return row;
    }
    if ((flags & LVFI_WRAP) != 0) {
        for (int row = 0; row < start; ++row) {
            if (matches(row)) return row;
        }
    }
    return -1;
}
