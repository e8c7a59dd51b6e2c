#include "ui/CommentDlg.h"

#include "core/EntryComment.h"
#include "core/WaitCursor.h"
#include "res/resource.h"
#include "ui/AppServices.h"
#include "ui/DataExchange.h"
#include "ui/MessageBoxes.h"

CCommentDlg::CCommentDlg() : CDialog(IDD_COMMENT) {}

BOOL CCommentDlg::OnInitDialog() {
    const BOOL result = CDialog::OnInitDialog();
    // The field wraps and does not scroll; the limit keeps a pasted text
    // from outgrowing what the release list holds.
    ::SendDlgItemMessageA(m_hWnd, IDC_COMMENT_TEXT, EM_LIMITTEXT, qm::kCommentLength, 0);
    return result;
}

void CCommentDlg::DoDataExchange(CDataExchange& dx) {
    DDX_Text(dx, IDC_COMMENT_TEXT, m_strComment);
    DDX_Text(dx, IDC_COMMENT_DATE, m_strDate);
    DDX_Text(dx, IDC_COMMENT_FILENAME, m_strFileName);
    DDX_Check(dx, IDC_COMMENT_UPDATED, m_bUpdated);
}

void CCommentDlg::OnOK() {
    const std::string openedComment = m_strComment;
    const int openedUpdated = m_bUpdated;
    UpdateData(true);
    // Ctrl+Enter or a paste can put line breaks into the field.
    m_strComment = qm::OneLineComment(m_strComment);

    uint32_t error = 0;
    const qm::CommentResult result = [&] {
        qm::CWaitCursor wait(ShowWaitCursor);  // while another writer keeps the list
        return qm::WriteEntryComment(m_szSection, m_nEntry, m_strFileName, m_strComment,
                                     m_bUpdated != 0, &error);
    }();
    switch (result) {
        case qm::CommentResult::Written:
            EndDialog(IDOK);
            return;
        case qm::CommentResult::EntryChanged:
            // The list was rebuilt since the comparison: entry n names another
            // file now, and no retry can help. The row stays as it was.
            m_strComment = openedComment;
            m_bUpdated = openedUpdated;
            ShowFailure(m_hWnd, IDS_ENTRY_CHANGED);
            EndDialog(IDCANCEL);
            return;
        case qm::CommentResult::WriteFailed:
            // The dialog stays open with what was typed, so the operator can
            // try again or cancel; the row keeps the stored values meanwhile.
            m_strComment = openedComment;
            m_bUpdated = openedUpdated;
            ShowWriteFailure(m_hWnd, IDS_COMMENT_WRITE_FAILED, error);
            return;
    }
}
