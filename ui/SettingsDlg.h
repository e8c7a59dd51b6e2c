// CSettingsDlg: the two flags of the settings file, adding one file to the
// release list, and "Update Release Data" behind the password and a
// confirmation. The dialog writes nothing and runs nothing: it ends with the
// operator's request (ShowSettingsDialog), which the main window carries
// out: it writes the flags on OK, adds the file (and opens the dialog again
// as it was, so that Add leaves it open), or builds the list.
//
// It opens in its first check box. Enter in the file field or the directory
// list presses Add (the default ring moves there), elsewhere OK.
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

struct SettingsRequest {
    enum class Action {
        None,               // Cancel: nothing
        StoreFlags,         // OK: write the flags of `choice`
        Add,                // Add, password given: add `choice.addFile` to its directory's section
        UpdateReleaseData,  // password given and confirmed: build the release list anew
    };
    Action action = Action::None;
    SettingsChoice choice;
    // Add and Update Release Data: what the accepted password derived, which
    // signs the write (shared, so that the request can be copied; wiped
    // when the last copy ends).
    std::shared_ptr<const qm::CUpdateKey> key;
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
    bool OnFocusNotice(WPARAM wParam, LPARAM lParam, LRESULT& result);
    // The password dialog, and the warning after a wrong password; true for
    // the right password, whose derived key `key` receives: it signs the
    // write that follows.
    bool AskPassword(qm::CUpdateKey& key);
    void EndWith(SettingsRequest::Action action);

    SettingsChoice m_shown;
    SettingsRequest m_request;
};

// Runs Settings modally over `owner`, showing `shown` (the flags in memory,
// an empty name and "QMW" on a first opening); returns what the operator
// asked for.
SettingsRequest ShowSettingsDialog(HWND owner, const qm::SettingsFlags& flags,
                                   const SettingsChoice* resume = nullptr);
