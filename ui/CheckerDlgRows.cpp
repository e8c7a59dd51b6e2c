// The main window's rows: Edit comment for a row, the sort on a header
// click, and what the list view asks of a row (its cells, a search, its tip).
#include "core/BoundedFormat.h"
#include "core/Capacities.h"
#include "core/EntryComment.h"
#include "core/ReleaseListFormat.h"
#include "core/WaitCursor.h"
#include "res/resource.h"
#include "ui/AppServices.h"
#include "ui/CheckerDlg.h"
#include "ui/MessageBoxes.h"
#include "ui/RunTexts.h"
#include "ui/WideText.h"

void CCheckerDlg::OnDblclkResultList(NMHDR* header, LRESULT* result) {
    *result = 0;
    // A double-click: the first selected row in list order, whichever row
    // was hit. Enter (NM_RETURN): the row with the focus.
    const bool enter = header->code == static_cast<UINT>(NM_RETURN);
    const int row = m_listResult.GetNextItem(-1, enter ? LVNI_FOCUSED : LVNI_SELECTED);
    if (!m_table.IsRow(row)) return;
    // The entry is found by its section and number, from the row's record.
    const qm::ComparedFile file = m_table.Rows()[row].file;
    // A file that no entry names has no comment to edit.
    if (file.entry < 1) {
        AppMessageBox(m_hWnd, LoadResString(IDS_NOT_LISTED_ROW), kAppName, MB_ICONINFORMATION);
        return;
    }

    CommentDlgArgs args;
    args.fileName = m_table.CellText(row, qm::kColFileName);
    args.date = file.dateNow;
    args.status = RowVerdict(file, m_table.Texts());
    args.comment = file.comment;
    args.updated = file.status == qm::Updated;
    const std::optional<CommentEdit> stored = ShowCommentDialog(
        m_hWnd, args,
        [&file](HWND dialog, const CommentEdit& edit) { return StoreComment(dialog, file, edit); });
    // After Cancel, or an edit that was not stored, the row stays as it was.
    if (!stored) return;
    const int shown = m_table.FindEntry(file.section, file.entry);
    if (shown < 0) return;
    qm::ApplyCommentToRow(m_table.Rows()[shown].file, stored->comment, stored->updated,
                          file.status);
    m_rows.RedrawRow(shown);
}

CommentStoreOutcome CCheckerDlg::StoreComment(HWND dialog, const qm::ComparedFile& file,
                                              const CommentEdit& edit) {
    uint32_t error = 0;
    const qm::CommentResult result = [&] {
        qm::CWaitCursor wait(ShowWaitCursor);  // while another writer keeps the list
        return qm::WriteEntryComment(qm::kComponentDirectories[file.section].section, file.entry,
                                     file.name, edit.comment, edit.updated, &error);
    }();
    switch (result) {
        case qm::CommentResult::Written:
            return CommentStoreOutcome::Stored;
        case qm::CommentResult::EntryChanged:
            // The list was rebuilt since the comparison: the entry names
            // another file now, and no retry can help.
            ShowFailure(dialog, IDS_ENTRY_CHANGED);
            return CommentStoreOutcome::Refused;
        case qm::CommentResult::ReadFailed:
            ShowListReadFailure(dialog, error);
            return CommentStoreOutcome::TryAgain;
        case qm::CommentResult::WriteFailed:
            // The dialog stays open with what was typed, so the operator can
            // try again or cancel.
            ShowWriteFailure(dialog, IDS_COMMENT_WRITE_FAILED, error);
            return CommentStoreOutcome::TryAgain;
    }
    return CommentStoreOutcome::TryAgain;
}

void CCheckerDlg::OnHeaderItemClick(NMHDR* header, LRESULT* result) {
    // NMHEADERA and NMHEADERW differ only in the item record they point to.
    const auto* click = reinterpret_cast<const NMHEADERA*>(header);
    m_rows.SortOnHeaderClick(m_sort, click->iItem, click->iButton);
    *result = 0;
}

void CCheckerDlg::OnGetDispInfoA(NMHDR* header, LRESULT* result) {
    m_rows.AnswerDispInfo(*reinterpret_cast<NMLVDISPINFOA*>(header));
    *result = 0;
}

void CCheckerDlg::OnGetDispInfoW(NMHDR* header, LRESULT* result) {
    m_rows.AnswerDispInfo(*reinterpret_cast<NMLVDISPINFOW*>(header));
    *result = 0;
}

void CCheckerDlg::OnFindItemA(NMHDR* header, LRESULT* result) {
    *result = m_rows.FindRow(*reinterpret_cast<const NMLVFINDITEMA*>(header));
}

void CCheckerDlg::OnFindItemW(NMHDR* header, LRESULT* result) {
    *result = m_rows.FindRow(*reinterpret_cast<const NMLVFINDITEMW*>(header));
}

std::string CCheckerDlg::RowTip(int row) const {
    if (!m_table.IsRow(row)) return std::string();
    const qm::ComparedFile& file = m_table.Rows()[row].file;
    if (file.status == qm::Identical) return std::string();
    return RowVerdict(file, m_table.Texts());
}

// The tip of a row that is not identical says why (LVS_EX_INFOTIP): the
// text goes after the row's own when the control hands that in.
void CCheckerDlg::OnGetInfoTipA(NMHDR* header, LRESULT* result) {
    auto& tip = *reinterpret_cast<NMLVGETINFOTIPA*>(header);
    const std::string text = RowTip(tip.iItem);
    if (!text.empty() && tip.pszText != nullptr && tip.cchTextMax > 0) {
        ::lstrcpynA(tip.pszText, AnsiSpelling(text).c_str(), tip.cchTextMax);
    }
    *result = 0;
}

void CCheckerDlg::OnGetInfoTipW(NMHDR* header, LRESULT* result) {
    auto& tip = *reinterpret_cast<NMLVGETINFOTIPW*>(header);
    const std::string text = RowTip(tip.iItem);
    if (!text.empty() && tip.pszText != nullptr && tip.cchTextMax > 0) {
        ::lstrcpynW(tip.pszText, Wide(text).c_str(), tip.cchTextMax);
    }
    *result = 0;
}
