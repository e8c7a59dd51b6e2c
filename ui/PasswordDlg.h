// CPasswordDlg: asks for the password that guards "Update Release Data".
// The field masks what is typed; OK and Cancel are the base's.
#pragma once

#include <string>

#include "ui/Dialog.h"

class CPasswordDlg : public CDialog {
public:
    CPasswordDlg();

    std::string m_strPassword;  // IDC_PASSWORD

protected:
    BOOL OnInitDialog() override;
    void DoDataExchange(CDataExchange& dx) override;
};
