// CCommentDlg: "Edit comment" for one row of the result list. It shows the
// file's path, current date and status with its cause read-only and lets the
// operator change the entry's comment and its "File was updated" mark. It
// writes nothing: OK hands the edit to the store its caller gives, and the
// dialog ends or stays open as the store decides. ShowCommentDialog runs it.
//
// It opens in the comment field. Enter there or on the mark presses OK;
// in a read-only field it presses nothing (and no button wears the ring).
#pragma once

#include <windows.h>

#include <functional>
#include <optional>
#include <string>

#include "ui/Dialog.h"
#include "ui/MessageMap.h"

// What Edit comment opens with: the row's values.
struct CommentDlgArgs {
    std::string fileName;  // the path as the row shows it
    std::string date;      // the file's current date
    std::string status;    // the row's status and why, such as "Not identical (no access)"
    std::string comment;   // the entry's comment
    bool updated = false;  // the entry's "File was updated" mark
};

// What the operator confirmed with OK: the comment on one line, and the mark.
struct CommentEdit {
    std::string comment;
    bool updated = false;
};

// What the store made of an edit: kept (the dialog ends), refused for good
// (the dialog ends, nothing kept), or not kept this time (the dialog stays
// open with what was typed, for another OK or Cancel). The store tells the
// operator why itself, over the dialog it is given.
enum class CommentStoreOutcome { Stored, Refused, TryAgain };
using CommentStore = std::function<CommentStoreOutcome(HWND dialog, const CommentEdit& edit)>;

class CCommentDlg : public CDialog {
public:
    CCommentDlg(const CommentDlgArgs& args, CommentStore store);

    const CommentDlgArgs& Args() const { return m_args; }
    // The edit the store kept; nothing after Cancel or a refusal.
    const std::optional<CommentEdit>& Stored() const { return m_stored; }

protected:
    BOOL OnInitDialog() override;
    void DoDataExchange(CDataExchange& dx) override;
    void OnOK() override;
    bool OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

private:
    static const CMessageMapEntry<CCommentDlg> kMessageMap[];
    bool OnFocusNotice(WPARAM wParam, LPARAM lParam, LRESULT& result);

    CommentDlgArgs m_args;
    CommentStore m_store;
    std::optional<CommentEdit> m_stored;
    // The controls' values.
    std::string m_strFileName;  // IDC_COMMENT_FILENAME
    std::string m_strDate;      // IDC_COMMENT_DATE
    std::string m_strStatus;    // IDC_COMMENT_STATUS
    std::string m_strComment;   // IDC_COMMENT_TEXT
    int m_bUpdated = 0;         // IDC_COMMENT_UPDATED
};

// Runs Edit comment modally over `owner` with `args`; each OK goes to
// `store`. Returns the edit the store kept, or nothing.
std::optional<CommentEdit> ShowCommentDialog(HWND owner, const CommentDlgArgs& args,
                                             CommentStore store);
