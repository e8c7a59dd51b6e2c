#include "ui/SettingsDlg.h"

#include "core/AddReleaseFile.h"
#include "core/ReleaseListBuild.h"
#include "core/Settings.h"
#include "core/UpdatePassword.h"
#include "core/WaitCursor.h"
#include "res/resource.h"
#include "ui/AppServices.h"
#include "ui/DataExchange.h"
#include "ui/MessageBoxes.h"
#include "ui/ModalDialog.h"
#include "ui/PasswordDlg.h"
#include "ui/ReleaseListBuildRun.h"
#include "ui/SettingsFlags.h"
#include "ui/TextFit.h"

const CMessageMapEntry<CSettingsDlg> CSettingsDlg::kMessageMap[] = {
    OnCommand(IDC_UPDATE_RELEASE_DATA, BN_CLICKED, &CSettingsDlg::OnUpdateReleaseData),
    OnCommand(IDC_ADD, BN_CLICKED, &CSettingsDlg::OnAdd),
};

CSettingsDlg::CSettingsDlg() : CDialog(IDD_SETTINGS) {}

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
        ::SendDlgItemMessageA(m_hWnd, IDC_DIRECTORY, CB_ADDSTRING, 0,
                              reinterpret_cast<LPARAM>(LoadResString(entry).c_str()));
    }
    CDialog::OnInitDialog();
    FitTextsToControls(m_hWnd);
    // The flags in memory, not those in the file.
    m_bCheckQmw = ProcessSettingsFlags().checkQmw;
    m_bCheckDb1 = ProcessSettingsFlags().checkDb1;
    m_nDirectory = 0;
    UpdateData(false);
    return TRUE;
}

void CSettingsDlg::OnOK() {
    UpdateData(true);
    const qm::SettingsFlags flags{m_bCheckQmw, m_bCheckDb1};
    uint32_t error = 0;
    const bool written = [&] {
        qm::CWaitCursor wait(ShowWaitCursor);  // while another writer keeps the files
        return qm::WriteSettingsFlags(flags, &error);
    }();
    if (!written) {
        // Nothing is kept that the file does not hold: the flags stay as they
        // were, and the dialog stays open for another try or Cancel.
        ShowWriteFailure(m_hWnd, IDS_SETTINGS_WRITE_FAILED, error);
        return;
    }
    ProcessSettingsFlags() = flags;
    EndDialog(IDOK);
}

bool CSettingsDlg::AskPassword(qm::CUpdateKey& key) {
    CModalDialog<CPasswordDlg> password;
    if (password.DoModal(m_hWnd) != IDOK) return false;
    const qm::PasswordCheck check = [&] {
        qm::CWaitCursor wait(ShowWaitCursor);  // PBKDF2's iterations
        return qm::CheckUpdatePassword(password.m_strPassword, key);
    }();
    if (check != qm::PasswordCheck::Right) {
        ShowWarning(LoadResString(IDS_WRONG_PASSWORD), LoadResString(IDS_ERROR));
        return false;
    }
    return true;
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
    // the rebuild, and a wrong or cancelled password writes nothing.
    qm::CUpdateKey key;
    if (!AskPassword(key)) return;

    qm::AddOutcome outcome;
    const qm::AddResult result = [&] {
        qm::CWaitCursor wait(ShowWaitCursor);
        return qm::AddReleaseFile(m_strAddFile, m_nDirectory, &key, outcome);
    }();
    const uint32_t error = outcome.error;
    switch (result) {
        case qm::AddResult::SigningFailed:
            ShowSigningFailure(m_hWnd, outcome.signing, error);
            break;
        case qm::AddResult::NoFreeNumber:
            ShowFailure(m_hWnd, IDS_ADD_FAILED);
            break;
        case qm::AddResult::ReadFailed:
        case qm::AddResult::WriteFailed:
            ShowWriteFailure(m_hWnd, IDS_ADD_FAILED, error);
            break;
        case qm::AddResult::NotBareName:
            ShowFailure(m_hWnd, IDS_NOT_BARE_NAME);
            break;
        case qm::AddResult::Unstorable:
            ShowFailure(m_hWnd, IDS_NAME_UNSTORABLE);
            break;
        case qm::AddResult::ListNotUnderstood:
            ShowFailure(m_hWnd, IDS_LIST_NOT_UNDERSTOOD);
            break;
        case qm::AddResult::Added:
        case qm::AddResult::Refreshed:
        case qm::AddResult::Ignored:
            break;  // nothing to say
    }
}

void CSettingsDlg::OnUpdateReleaseData() {
    qm::CUpdateKey key;
    if (!AskPassword(key)) return;
    if (!AskYesNo(LoadResString(IDS_CONFIRM_UPDATE), LoadResString(IDS_CONFIRM_CAPTION))) return;

    // The main window keeps the rows of its last comparison.
    ShowBuildOutcome(m_hWnd, RunReleaseListBuild(&key));
}
