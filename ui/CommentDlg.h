// CCommentDlg: "Edit comment" for one row of the result list. It shows the
// file's path and current date read-only and lets the operator change the
// entry's comment and its "File was updated" mark; OK stores both in the
// release list.
//
// The caller fills the members before DoModal and reads m_strComment and
// m_bUpdated afterwards: they hold the stored values after a successful OK
// and the values the dialog opened with otherwise (Cancel, or an OK whose
// write did not go through), so the row can be brought up to date either way.
#pragma once

#include <string>

#include "core/Capacities.h"
#include "ui/Dialog.h"

class CCommentDlg : public CDialog {
public:
    CCommentDlg();

    int m_nEntry = 0;                                 // entry number n in the section
    char m_szSection[qm::kSectionNameCapacity] = "";  // "qmw" or "db1"
    std::string m_strComment;                         // field 1006
    std::string m_strDate;                            // field 1005, the file's current date
    std::string m_strFileName;                        // field 1004, the path as the row shows it
    int m_bUpdated = 0;                               // check box 1007 "File was updated"

protected:
    BOOL OnInitDialog() override;
    void DoDataExchange(CDataExchange& dx) override;
    void OnOK() override;
};
