// CSettingsDlg: the two flags of the settings file, adding one file to the
// release list, "Update Release Data" behind the password and a
// confirmation, and the site's own password behind the current one (Change
// Password). The dialog writes nothing and runs nothing: it ends with the
// operator's request (ShowSettingsDialog), which the main window carries
// out: it writes the flags on OK, adds the file or changes the password
// (and opens the dialog again as it was, so that these leave it open), or
// builds the list.
//
// It opens in its first check box. Enter in the file field or the directory
// list presses Add (the default ring moves there), elsewhere OK. Change
// Password is a button of our own, beside Update Release Data.
#pragma once

#include <memory>
#include <string>

#include "core/Settings.h"
#include "core/UpdatePassword.h"
#include "ui/Dialog.h"
#include "ui/MessageMap.h"

// What the dialog shows, and what the operator left in it.
struct SettingsChoice {
    qm::SettingsFlags flags;
    std::string addFile;  // the name typed for Add
    int directory = 0;    // 0 "QMW", 1 "DB1"
};

// What an accepted update password hands to the write it guards. Shared by
// the copies of a request; wiped when the last one ends.
struct AcceptedPassword {
    AcceptedPassword() = default;
    ~AcceptedPassword() { qm::WipeSecret(newPassword); }
    AcceptedPassword(const AcceptedPassword&) = delete;
    AcceptedPassword& operator=(const AcceptedPassword&) = delete;

    qm::CUpdateKey key;       // what the password derived: it signs the write
    std::string newPassword;  // ChangePassword: the site's new password
};

struct SettingsRequest {
    enum class Action {
        None,               // Cancel: nothing
        StoreFlags,         // OK: write the flags of `choice`
        Add,                // Add, password given: add `choice.addFile` to its directory's section
        UpdateReleaseData,  // password given and confirmed: build the release list anew
        ChangePassword,     // current password given: make `password->newPassword` the site's
    };
    Action action = Action::None;
    SettingsChoice choice;
    // Add, Update Release Data and Change Password: the accepted password.
    std::shared_ptr<const AcceptedPassword> password;
};

class CSettingsDlg : public CDialog {
public:
    explicit CSettingsDlg(const SettingsChoice& shown);

    const SettingsRequest& Request() const { return m_request; }

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
    void OnChangePassword();
    bool OnFocusNotice(WPARAM wParam, LPARAM lParam, LRESULT& result);
    // The password dialog, and the warning after a wrong password; true for
    // the right password, whose derived key `key` receives: it signs the
    // write that follows.
    bool AskPassword(qm::CUpdateKey& key);
    // Whether `typed` is the update password (`key` receives what it
    // derives); the warning over `owner` when not.
    static bool AcceptPassword(HWND owner, const std::string& typed, qm::CUpdateKey& key);
    void EndWith(SettingsRequest::Action action);

    SettingsChoice m_shown;
    SettingsRequest m_request;
};

// Runs Settings modally over `owner`, showing `shown` (the flags in memory,
// an empty name and "QMW" on a first opening); returns what the operator
// asked for.
SettingsRequest ShowSettingsDialog(HWND owner, const qm::SettingsFlags& flags,
                                   const SettingsChoice* resume = nullptr);
