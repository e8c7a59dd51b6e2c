#include "ui/ChangePasswordDlg.h"

#include <utility>

#include "core/UpdatePassword.h"
#include "res/resource.h"
#include "ui/DataExchange.h"
#include "ui/MessageBoxes.h"

namespace {

// The fields in the order of the screen.
constexpr int kFields[] = {IDC_CURRENT_PASSWORD, IDC_NEW_PASSWORD, IDC_NEW_PASSWORD_AGAIN};

}  // namespace

CChangePasswordDlg::CChangePasswordDlg(CurrentPasswordCheck check)
    : CDialog(IDD_CHANGE_PASSWORD), m_check(std::move(check)) {}

CChangePasswordDlg::~CChangePasswordDlg() {
    qm::WipeSecret(m_strCurrent);
    qm::WipeSecret(m_strNew);
    qm::WipeSecret(m_strAgain);
}

void CChangePasswordDlg::DoDataExchange(CDataExchange& dx) {
    DDX_Text(dx, IDC_CURRENT_PASSWORD, m_strCurrent);
    DDX_Text(dx, IDC_NEW_PASSWORD, m_strNew);
    DDX_Text(dx, IDC_NEW_PASSWORD_AGAIN, m_strAgain);
}

void CChangePasswordDlg::TypeAgain(UINT message, int first) {
    ShowFailure(m_hWnd, message);
    bool emptied = false;
    for (int id : kFields) {
        emptied = emptied || id == first;
        if (emptied) ::SetDlgItemTextA(m_hWnd, id, "");
    }
    ::SetFocus(GetDlgItem(first));
}

// The new password first, which costs nothing to check; the current one
// last, whose check takes a tenth of a second.
void CChangePasswordDlg::OnOK() {
    UpdateData(true);
    if (m_strNew.empty()) {
        TypeAgain(IDS_NEW_PASSWORD_EMPTY, IDC_NEW_PASSWORD);
    } else if (m_strNew != m_strAgain) {
        TypeAgain(IDS_NEW_PASSWORDS_DIFFER, IDC_NEW_PASSWORD);
    } else if (!m_check(m_hWnd, m_strCurrent)) {
        // The check has told why; the new password stays typed.
        ::SetDlgItemTextA(m_hWnd, IDC_CURRENT_PASSWORD, "");
        ::SetFocus(GetDlgItem(IDC_CURRENT_PASSWORD));
    } else {
        EndDialog(IDOK);
    }
}
