// CChangePasswordDlg: the site's own update password, set behind the current
// one: the current password, the new one and the new one again. OK checks
// that the new one is not empty and was typed the same twice, then hands
// the current one to the check its caller gives; the dialog ends only when
// that accepts it, and stays open otherwise with the fields to type again.
// It writes nothing: its caller has the password changed.
//
// It opens in the current password's field; Enter in any field presses OK.
// What was typed is wiped when the dialog object ends.
#pragma once

#include <functional>
#include <string>

#include "ui/Dialog.h"

// Whether `current` is the update password; tells the operator why not over
// `dialog` itself.
using CurrentPasswordCheck = std::function<bool(HWND dialog, const std::string& current)>;

class CChangePasswordDlg : public CDialog {
public:
    explicit CChangePasswordDlg(CurrentPasswordCheck check);
    ~CChangePasswordDlg() override;
    CChangePasswordDlg(const CChangePasswordDlg&) = delete;
    CChangePasswordDlg& operator=(const CChangePasswordDlg&) = delete;

    // The new password, after OK.
    const std::string& NewPassword() const { return m_strNew; }

protected:
    void DoDataExchange(CDataExchange& dx) override;
    void OnOK() override;

private:
    // Tells `message`, empties the fields from `first` on and puts the
    // focus there.
    void TypeAgain(UINT message, int first);

    CurrentPasswordCheck m_check;
    std::string m_strCurrent;  // IDC_CURRENT_PASSWORD
    std::string m_strNew;      // IDC_NEW_PASSWORD
    std::string m_strAgain;    // IDC_NEW_PASSWORD_AGAIN
};
