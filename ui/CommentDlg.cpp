#include "ui/CommentDlg.h"

#include <utility>

#include "core/Capacities.h"
#include "core/EntryComment.h"
#include "res/resource.h"
#include "ui/DataExchange.h"
#include "ui/EnterKey.h"
#include "ui/ModalDialog.h"

namespace {

// The fields that only show: Enter there presses nothing.
constexpr int kShownFields[] = {IDC_COMMENT_FILENAME, IDC_COMMENT_DATE, IDC_COMMENT_STATUS};

}  // namespace

const CMessageMapEntry<CCommentDlg> CCommentDlg::kMessageMap[] = {
    // Any command: a control that got the focus moves the ring.
    OnMessage(WM_COMMAND, &CCommentDlg::OnFocusNotice, WhileBusy::Handle),
};

CCommentDlg::CCommentDlg(const CommentDlgArgs& args, CommentStore store)
    : CDialog(IDD_COMMENT),
      m_args(args),
      m_store(std::move(store)),
      m_strFileName(args.fileName),
      m_strDate(args.date),
      m_strStatus(args.status),
      m_strComment(args.comment),
      m_bUpdated(args.updated ? 1 : 0) {}

bool CCommentDlg::OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    return DispatchMessageMap(*this, kMessageMap, message, wParam, lParam, result);
}

BOOL CCommentDlg::OnInitDialog() {
    CDialog::OnInitDialog();
    // The field wraps and does not scroll; the limit keeps a pasted text
    // from outgrowing what the release list holds.
    ::SendDlgItemMessageA(m_hWnd, IDC_COMMENT_TEXT, EM_LIMITTEXT, qm::kCommentLength, 0);
    for (int id : kShownFields) LetControlTakeEnter(GetDlgItem(id));
    HWND comment = GetDlgItem(IDC_COMMENT_TEXT);
    ::SetFocus(comment);
    ::SendMessageA(comment, EM_SETSEL, 0, -1);
    return FALSE;  // the focus is set
}

bool CCommentDlg::OnFocusNotice(WPARAM wParam, LPARAM lParam, LRESULT&) {
    if (!IsFocusNotice(reinterpret_cast<HWND>(lParam), wParam)) return false;
    const int id = LOWORD(wParam);
    bool shown = false;
    for (int field : kShownFields) shown = shown || field == id;
    SetDefaultId(m_hWnd, shown ? 0 : IDOK);
    return false;
}

void CCommentDlg::DoDataExchange(CDataExchange& dx) {
    DDX_Text(dx, IDC_COMMENT_TEXT, m_strComment);
    DDX_Text(dx, IDC_COMMENT_DATE, m_strDate);
    DDX_Text(dx, IDC_COMMENT_STATUS, m_strStatus);
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
