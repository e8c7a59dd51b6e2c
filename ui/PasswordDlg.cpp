#include "ui/PasswordDlg.h"

#include "res/resource.h"
#include "ui/DataExchange.h"

CPasswordDlg::CPasswordDlg() : CDialog(IDD_PASSWORD) {}

void CPasswordDlg::DoDataExchange(CDataExchange& dx) { DDX_Text(dx, IDC_PASSWORD, m_strPassword); }
