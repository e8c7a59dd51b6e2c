#include "ui/ResultListView.h"

#include <vector>

#include "core/ResultSort.h"

namespace {

// The control's text in the code page of the "A" messages.
std::string Narrow(const wchar_t* text) {
    if (text == nullptr) return std::string();
    const int size = ::WideCharToMultiByte(CP_ACP, 0, text, -1, nullptr, 0, nullptr, nullptr);
    if (size <= 1) return std::string();
    std::string narrow(static_cast<size_t>(size), '\0');
    ::WideCharToMultiByte(CP_ACP, 0, text, -1, narrow.data(), size, nullptr, nullptr);
    narrow.resize(static_cast<size_t>(size) - 1);
    return narrow;
}

// Whether `text` matches a search for `wanted`: the whole text, or with
// LVFI_PARTIAL its beginning, without regard to case, as the control itself
// compares its items.
bool Matches(const std::string& text, const std::string& wanted, UINT flags) {
    const bool partial = (flags & LVFI_PARTIAL) != 0;
    if (partial && text.size() < wanted.size()) return false;
    const int length = static_cast<int>(partial ? wanted.size() : text.size());
    return ::CompareStringA(LOCALE_USER_DEFAULT, NORM_IGNORECASE, text.c_str(), length,
                            wanted.c_str(), static_cast<int>(wanted.size())) == CSTR_EQUAL;
}

// What the control asks of a row; a row it does not know reads as empty, as
// its own items' missing subitems do. Only the item itself (column 0) has an
// image and state bits.
template <class Info, class Store>
void Answer(const qm::CResultTable& table, Info& info, Store storeText) {
    auto& item = info.item;
    const bool isRow = item.iItem >= 0 && item.iItem < table.RowCount();
    const qm::ResultRow* row = isRow ? &table.Rows()[item.iItem] : nullptr;
    if ((item.mask & LVIF_TEXT) != 0 && item.pszText != nullptr && item.cchTextMax > 0) {
        storeText(item, row != nullptr ? table.GetCellText(item.iItem, item.iSubItem) : "");
    }
    if ((item.mask & LVIF_IMAGE) != 0) {
        item.iImage = row != nullptr && item.iSubItem == 0 ? row->attributes.image : 0;
    }
    if ((item.mask & LVIF_STATE) != 0) {
        const UINT state = row != nullptr && item.iSubItem == 0 ? row->attributes.state : 0;
        item.state = (item.state & ~item.stateMask) | (state & item.stateMask);
    }
    if ((item.mask & LVIF_PARAM) != 0) item.lParam = row != nullptr ? row->attributes.param : 0;
    if ((item.mask & LVIF_INDENT) != 0) item.iIndent = 0;
}

}  // namespace

void CResultListView::SetUpControl() { m_list.SetCallbackMask(kCallbackState); }

void CResultListView::DeleteAllRows() {
    m_table.DeleteAllRows();
    m_list.DeleteAllItems();
}

int CResultListView::InsertRowAtTop(const std::string& column0, int image) {
    if (m_bBatch) return m_table.InsertRowAtTop(column0, image);
    // The selected and focused rows move down with their rows.
    const bool moveState = ControlHoldsState();
    if (moveState) CaptureState();
    const int row = m_table.InsertRowAtTop(column0, image);
    m_list.SetItemCount(m_table.RowCount());
    if (moveState) RestoreState();
    m_list.Invalidate(false);
    return row;
}

std::string CResultListView::GetCellText(int row, int column) const {
    return m_table.GetCellText(row, column);
}

void CResultListView::SetCellText(int row, int column, const std::string& text) {
    m_table.SetCellText(row, column, text);
    if (!m_bBatch) RedrawRow(row);
}

qm::RowAttributes CResultListView::GetRowAttributes(int row) const {
    qm::RowAttributes attributes = m_table.GetRowAttributes(row);
    if (!m_bBatch && IsRow(row)) {
        attributes.state =
            (attributes.state & ~kControlState) | m_list.GetItemState(row, kControlState);
    }
    return attributes;
}

void CResultListView::SetRowAttributes(int row, const qm::RowAttributes& attributes) {
    m_table.SetRowAttributes(row, attributes);
    if (m_bBatch || !IsRow(row)) return;
    const UINT state = attributes.state & kControlState;
    if (m_list.GetItemState(row, kControlState) != state) {
        m_list.SetItemState(row, state, kControlState);
    }
    RedrawRow(row);
}

int CResultListView::RowCount() const { return m_table.RowCount(); }

void CResultListView::BeginBatch() {
    CaptureState();
    m_bBatch = true;
}

void CResultListView::EndBatch() {
    m_bBatch = false;
    ShowRows();
}

void CResultListView::ShowRows() {
    if (m_list.GetItemCount() != m_table.RowCount()) m_list.SetItemCount(m_table.RowCount());
    RestoreState();
    m_list.Invalidate(false);
}

bool CResultListView::SortOnHeaderClick(qm::SortState& state, int column, int button) {
    if (button != 0) return qm::SortOnHeaderClick(m_table, state, column, button);
    BeginBatch();
    const bool sorted = qm::SortOnHeaderClick(m_table, state, column, button);
    EndBatch();
    return sorted;
}

bool CResultListView::ControlHoldsState() const {
    return m_list.GetSelectedCount() > 0 || m_list.GetNextItem(-1, LVNI_FOCUSED) >= 0;
}

// The control's focus and selection into the rows' state bits.
void CResultListView::CaptureState() {
    for (qm::ResultRow& row : m_table.Rows()) row.attributes.state &= ~kControlState;
    for (int item = m_list.GetNextItem(-1, LVNI_SELECTED); IsRow(item);
         item = m_list.GetNextItem(item, LVNI_SELECTED)) {
        m_table.Rows()[item].attributes.state |= qm::kRowSelected;
    }
    const int focused = m_list.GetNextItem(-1, LVNI_FOCUSED);
    if (IsRow(focused)) m_table.Rows()[focused].attributes.state |= qm::kRowFocused;
}

// The rows' focus and selection bits into the control; the selection mark
// (where a shift-click extends from) stays where it was, as when rows swap
// their contents in place.
void CResultListView::RestoreState() {
    std::vector<int> stateful;
    for (int row = 0; row < m_table.RowCount(); ++row) {
        if ((m_table.Rows()[row].attributes.state & kControlState) != 0) stateful.push_back(row);
    }
    if (stateful.empty() && !ControlHoldsState()) return;
    const int mark = m_list.GetSelectionMark();
    m_list.SetItemState(-1, 0, kControlState);
    for (int row : stateful) {
        m_list.SetItemState(row, m_table.Rows()[row].attributes.state & kControlState,
                            kControlState);
    }
    m_list.SetSelectionMark(mark);
}

void CResultListView::RedrawRow(int row) const {
    if (IsRow(row) && row < m_list.GetItemCount()) m_list.RedrawItems(row, row);
}

void CResultListView::AnswerDispInfo(NMLVDISPINFOA& info) const {
    Answer(m_table, info, [](LVITEMA& item, const std::string& text) {
        ::lstrcpynA(item.pszText, text.c_str(), item.cchTextMax);
    });
}

void CResultListView::AnswerDispInfo(NMLVDISPINFOW& info) const {
    Answer(m_table, info, [](LVITEMW& item, const std::string& text) {
        std::wstring wide(text.size() + 1, L'\0');
        const int length = ::MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, wide.data(),
                                                 static_cast<int>(wide.size()));
        ::lstrcpynW(item.pszText, length > 0 ? wide.c_str() : L"", item.cchTextMax);
    });
}

int CResultListView::FindRow(const NMLVFINDITEMA& find) const {
    const UINT flags = find.lvfi.flags;
    const bool byText = (flags & (LVFI_STRING | LVFI_PARTIAL)) != 0;
    return FindRow(find.iStart, flags, byText && find.lvfi.psz ? find.lvfi.psz : "",
                   find.lvfi.lParam);
}

int CResultListView::FindRow(const NMLVFINDITEMW& find) const {
    const UINT flags = find.lvfi.flags;
    const bool byText = (flags & (LVFI_STRING | LVFI_PARTIAL)) != 0;
    return FindRow(find.iStart, flags, byText ? Narrow(find.lvfi.psz) : "", find.lvfi.lParam);
}

// From `start` to the end, then with LVFI_WRAP from the top; by value when
// LVFI_PARAM asks for it, else by the text of column 0.
int CResultListView::FindRow(int start, UINT flags, const std::string& text, LPARAM param) const {
    const int count = m_table.RowCount();
    if (count == 0) return -1;
    if (start < 0 || start >= count) start = 0;
    auto matches = [&](int row) {
        const qm::ResultRow& r = m_table.Rows()[row];
        if ((flags & LVFI_PARAM) != 0) return r.attributes.param == param;
        return Matches(r.texts[qm::kColFileName], text, flags);
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
