#include "ui/PasswordDlg.h"

#include "res/resource.h"
#include "ui/DataExchange.h"
#include "ui/TextFit.h"

CPasswordDlg::CPasswordDlg() : CDialog(IDD_PASSWORD) {}

BOOL CPasswordDlg::OnInitDialog() {
    const BOOL result = CDialog::OnInitDialog();
    FitTextsToControls(m_hWnd);
    return result;
}

void CPasswordDlg::DoDataExchange(CDataExchange& dx) { DDX_Text(dx, IDC_PASSWORD, m_strPassword); }
