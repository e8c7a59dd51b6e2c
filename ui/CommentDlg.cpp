#include "ui/CommentDlg.h"

#include <utility>

#include "core/Capacities.h"
#include "core/EntryComment.h"
#include "res/resource.h"
#include "ui/DataExchange.h"
#include "ui/ModalDialog.h"

CCommentDlg::CCommentDlg(const CommentDlgArgs& args, CommentStore store)
    : CDialog(IDD_COMMENT),
      m_args(args),
      m_store(std::move(store)),
      m_strFileName(args.fileName),
      m_strDate(args.date),
      m_strComment(args.comment),
      m_bUpdated(args.updated ? 1 : 0) {}

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
    UpdateData(true);
    // Ctrl+Enter or a paste can put line breaks into the field.
    const CommentEdit edit{qm::OneLineComment(m_strComment), m_bUpdated != 0};
    switch (m_store(m_hWnd, edit)) {
        case CommentStoreOutcome::Stored:
            m_stored = edit;
            EndDialog(IDOK);
            return;
        case CommentStoreOutcome::Refused:
            EndDialog(IDCANCEL);
            return;
        case CommentStoreOutcome::TryAgain:
            return;
    }
}

std::optional<CommentEdit> ShowCommentDialog(HWND owner, const CommentDlgArgs& args,
                                             CommentStore store) {
    CModalDialog<CCommentDlg> dialog(args, std::move(store));
    dialog.DoModal(owner);
    return dialog.Stored();
}
