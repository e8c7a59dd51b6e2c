#include "ui/SettingsDlg.h"

#include <cstring>

#include "core/AddReleaseFile.h"
#include "core/ReleaseListBuild.h"
#include "core/Settings.h"
#include "res/resource.h"
#include "ui/AppServices.h"
#include "ui/CheckerDlg.h"
#include "ui/DataExchange.h"
#include "ui/MessageBoxes.h"
#include "ui/PasswordDlg.h"
#include "ui/SettingsFlags.h"
#include "ui/TextFit.h"

const char CSettingsDlg::kPassword[] = "tallowin";

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
    CDialog::OnInitDialog();  // fills the directory list with "QMW", "DB1"
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
    if (!qm::WriteSettingsFlags(flags)) {
        // Nothing is kept that the file does not hold: the flags stay as they
        // were, and the dialog stays open for another try or Cancel.
        ShowFailure(m_hWnd, IDS_SETTINGS_WRITE_FAILED);
        return;
    }
    ProcessSettingsFlags() = flags;
    EndDialog(IDOK);
}

void CSettingsDlg::OnAdd() {
    UpdateData(true);
    switch (qm::AddReleaseFile(m_strAddFile, m_nDirectory)) {
        case qm::AddResult::NoFreeNumber:
        case qm::AddResult::WriteFailed:
            ShowFailure(m_hWnd, IDS_ADD_FAILED);
            break;
        default:
            break;  // added, refreshed, or nothing to add: nothing to say
    }
}

void CSettingsDlg::OnUpdateReleaseData() {
    CPasswordDlg password;
    if (password.DoModal(m_hWnd) != IDOK) return;
    if (std::strcmp(password.m_strPassword.c_str(), kPassword) != 0) {
        ShowWarning(LoadResString(IDS_WRONG_PASSWORD), LoadResString(IDS_ERROR));
        return;
    }
    if (!AskYesNo(LoadResString(IDS_CONFIRM_UPDATE), LoadResString(IDS_CONFIRM_CAPTION))) return;

    // A main dialog object that is never shown carries the build; the
    // visible main window keeps the rows of its last comparison.
    CCheckerDlg builder;
    ShowBuildFailure(m_hWnd, builder.BuildReleaseList());
}
