// CSettingsDlg: the two flags of the settings file, adding one file to the
// release list, and "Update Release Data" behind the password and a
// confirmation. Every opening starts from the flags held in memory, "QMW"
// chosen and an empty file name.
#pragma once

#include <string>

#include "core/UpdatePassword.h"
#include "ui/Dialog.h"
#include "ui/MessageMap.h"

class CSettingsDlg : public CDialog {
public:
    CSettingsDlg();

    std::string m_strAddFile;  // IDC_ADD_FILE
    int m_bCheckDb1 = 0;       // IDC_CHECK_DB1
    int m_nDirectory = -1;     // IDC_DIRECTORY: 0 "QMW", 1 "DB1", -1 none
    int m_bCheckQmw = 0;       // IDC_CHECK_QMW

protected:
    BOOL OnInitDialog() override;
    void DoDataExchange(CDataExchange& dx) override;
    void OnOK() override;
    bool OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

private:
    static const CMessageMapEntry<CSettingsDlg> kMessageMap[];

    void OnUpdateReleaseData();
    void OnAdd();
    // The password dialog, and the warning after a wrong password; true for
    // the right password.
    // Asks for the update password; `key` receives what it derives, which
    // signs the write that follows.
    bool AskPassword(qm::CUpdateKey& key);
};
