#include "ui/SettingsDlg.h"
#include "ui/WideText.h"

#include <utility>

#include "core/AddReleaseFile.h"
#include "core/UpdatePassword.h"
#include "core/WaitCursor.h"
#include "res/resource.h"
#include "ui/AppServices.h"
#include "ui/ChangePasswordDlg.h"
#include "ui/DataExchange.h"
#include "ui/EnterKey.h"
#include "ui/MessageBoxes.h"
#include "ui/ModalDialog.h"
#include "ui/PasswordDlg.h"
#include "ui/TextFit.h"

const CMessageMapEntry<CSettingsDlg> CSettingsDlg::kMessageMap[] = {
    OnCommand(IDC_UPDATE_RELEASE_DATA, BN_CLICKED, &CSettingsDlg::OnUpdateReleaseData,
              WhileBusy::Ignore),
    OnCommand(IDC_ADD, BN_CLICKED, &CSettingsDlg::OnAdd, WhileBusy::Ignore),
    OnCommand(IDC_CHANGE_PASSWORD, BN_CLICKED, &CSettingsDlg::OnChangePassword, WhileBusy::Ignore),
    // Any other command: a control that got the focus moves the ring.
    OnMessage(WM_COMMAND, &CSettingsDlg::OnFocusNotice, WhileBusy::Handle),
};

CSettingsDlg::CSettingsDlg(const SettingsChoice& shown) : CDialog(IDD_SETTINGS), m_shown(shown) {}

bool CSettingsDlg::OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    return DispatchMessageMap(*this, kMessageMap, message, wParam, lParam, result);
}

void CSettingsDlg::DoDataExchange(CDataExchange& dx) {
    DDX_Text(dx, IDC_ADD_FILE, m_strAddFile);
    DDX_Check(dx, IDC_CHECK_DB1, m_bCheckDb1);
    DDX_CBIndex(dx, IDC_DIRECTORY, m_nDirectory);
    DDX_Check(dx, IDC_CHECK_QMW, m_bCheckQmw);
}

BOOL CSettingsDlg::OnInitDialog() {
    // The directory list's entries in the order of their sections, before
    // the first data exchange chooses one.
    for (UINT entry : {IDS_DIRECTORY_QMW, IDS_DIRECTORY_DB1}) {
        ::SendDlgItemMessageW(m_hWnd, IDC_DIRECTORY, CB_ADDSTRING, 0,
                              reinterpret_cast<LPARAM>(Wide(LoadResString(entry)).c_str()));
    }
    CDialog::OnInitDialog();
    FitTextsToControls(m_hWnd);
    m_bCheckQmw = m_shown.flags.checkQmw;
    m_bCheckDb1 = m_shown.flags.checkDb1;
    m_strAddFile = m_shown.addFile;
    m_nDirectory = m_shown.directory == 1 ? 1 : 0;
    UpdateData(false);
    ::SetFocus(GetDlgItem(IDC_CHECK_QMW));
    return FALSE;  // the focus is set
}

void CSettingsDlg::EndWith(SettingsRequest::Action action) {
    m_request.action = action;
    m_request.choice.flags = qm::SettingsFlags{m_bCheckQmw, m_bCheckDb1};
    m_request.choice.addFile = m_strAddFile;
    m_request.choice.directory = m_nDirectory;
    EndDialog(IDOK);
}

void CSettingsDlg::OnOK() {
    UpdateData(true);
    EndWith(SettingsRequest::Action::StoreFlags);
}

bool CSettingsDlg::AcceptPassword(HWND owner, const std::string& typed, qm::CUpdateKey& key) {
    const qm::PasswordCheck check = [&] {
        qm::CWaitCursor wait(ShowWaitCursor);  // PBKDF2's iterations
        return qm::CheckUpdatePassword(typed, key);
    }();
    if (check == qm::PasswordCheck::Right) return true;
    ShowWarning(owner, LoadResString(IDS_WRONG_PASSWORD), LoadResString(IDS_ERROR));
    return false;
}

bool CSettingsDlg::AskPassword(qm::CUpdateKey& key) {
    CModalDialog<CPasswordDlg> password;
    if (password.DoModal(m_hWnd) != IDOK) return false;
    return AcceptPassword(m_hWnd, password.m_strPassword, key);
}

void CSettingsDlg::OnAdd() {
    UpdateData(true);
    // Nothing to add: nothing is asked and nothing shown.
    if (m_strAddFile.empty() || m_nDirectory < 0) return;
    if (!qm::IsBareFileName(m_strAddFile)) {
        ShowFailure(m_hWnd, IDS_NOT_BARE_NAME);
        return;
    }
    // Adding sets the file's baseline: the password guards it as it guards
    // the rebuild, and a wrong or cancelled password asks for nothing.
    auto password = std::make_shared<AcceptedPassword>();
    if (!AskPassword(password->key)) return;
    m_request.password = std::move(password);
    EndWith(SettingsRequest::Action::Add);
}

void CSettingsDlg::OnUpdateReleaseData() {
    auto password = std::make_shared<AcceptedPassword>();
    if (!AskPassword(password->key)) return;
    if (!AskYesNo(m_hWnd, LoadResString(IDS_CONFIRM_UPDATE), LoadResString(IDS_CONFIRM_CAPTION))) {
        return;
    }
    UpdateData(true);
    m_request.password = std::move(password);
    EndWith(SettingsRequest::Action::UpdateReleaseData);
}

// The new password is typed twice and the current one checked in the
// dialog, which stays open until both are right or the operator cancels.
void CSettingsDlg::OnChangePassword() {
    auto password = std::make_shared<AcceptedPassword>();
    CModalDialog<CChangePasswordDlg> dialog([&password](HWND owner, const std::string& current) {
        return AcceptPassword(owner, current, password->key);
    });
    if (dialog.DoModal(m_hWnd) != IDOK) return;
    password->newPassword = dialog.NewPassword();
    UpdateData(true);
    m_request.password = std::move(password);
    EndWith(SettingsRequest::Action::ChangePassword);
}

// Enter in the file field or the directory list adds the file; anywhere
// else it stores the flags.
bool CSettingsDlg::OnFocusNotice(WPARAM wParam, LPARAM lParam, LRESULT&) {
    const auto control = reinterpret_cast<HWND>(lParam);
    if (!IsFocusNotice(control, wParam)) return false;
    const int id = LOWORD(wParam);
    if (id == IDC_ADD_FILE || id == IDC_DIRECTORY) {
        SetDefaultId(m_hWnd, IDC_ADD);
    } else if (id == IDC_CHECK_QMW || id == IDC_CHECK_DB1) {
        SetDefaultId(m_hWnd, IDOK);
    }
    return false;
}

SettingsRequest ShowSettingsDialog(HWND owner, const qm::SettingsFlags& flags,
                                   const SettingsChoice* resume) {
    SettingsChoice shown;
    if (resume != nullptr) shown = *resume;
    shown.flags = flags;
    CModalDialog<CSettingsDlg> dialog(shown);
    if (dialog.DoModal(owner) != IDOK) return SettingsRequest();
    return dialog.Request();
}
