// The main window's side of Settings: it carries out what the operator asked
// for there, writing the flags, adding a file, building the list or
// changing the password.
#include <memory>

#include "core/AddReleaseFile.h"
#include "core/PasswordChange.h"
#include "core/Settings.h"
#include "core/WaitCursor.h"
#include "res/resource.h"
#include "ui/AppServices.h"
#include "ui/CheckerDlg.h"
#include "ui/MessageBoxes.h"
#include "ui/SettingsFlags.h"

// Add and a write of the flags that failed leave Settings open as the
// operator left it: it opens again with the same choice.
void CCheckerDlg::OnSettings() {
    SettingsRequest request = ShowSettingsDialog(m_hWnd, ProcessSettingsFlags());
    while (CarryOut(request)) {
        request = ShowSettingsDialog(m_hWnd, request.choice.flags, &request.choice);
    }
}

bool CCheckerDlg::CarryOut(const SettingsRequest& request) {
    switch (request.action) {
        case SettingsRequest::Action::None:
            return false;
        case SettingsRequest::Action::StoreFlags: {
            uint32_t error = 0;
            const bool written = [&] {
                qm::CWaitCursor wait(ShowWaitCursor);  // while another writer keeps the files
                return qm::WriteSettingsFlags(request.choice.flags, &error);
            }();
            if (!written) {
                // Nothing is kept that the file does not hold: the flags in
                // memory stay as they were.
                ShowWriteFailure(m_hWnd, IDS_SETTINGS_WRITE_FAILED, error);
                return true;
            }
            ProcessSettingsFlags() = request.choice.flags;
            return false;
        }
        case SettingsRequest::Action::Add:
            AddFile(request.choice, request.password->key);
            return true;
        case SettingsRequest::Action::UpdateReleaseData:
            // The run's thread keeps the password's key alive while it signs.
            StartBuild(
                std::shared_ptr<const qm::CUpdateKey>(request.password, &request.password->key));
            return false;
        case SettingsRequest::Action::ChangePassword:
            ChangePassword(*request.password);
            return true;
    }
    return false;
}

void CCheckerDlg::AddFile(const SettingsChoice& choice, const qm::CUpdateKey& key) {
    qm::AddOutcome outcome;
    const qm::AddResult result = [&] {
        qm::CWaitCursor wait(ShowWaitCursor);
        return qm::AddReleaseFile(choice.addFile, choice.directory, &key, outcome);
    }();
    switch (result) {
        case qm::AddResult::SigningFailed:
            ShowSigningFailure(m_hWnd, outcome.signing, outcome.error);
            break;
        case qm::AddResult::NoFreeNumber:
            ShowFailure(m_hWnd, IDS_ADD_SECTION_FULL);
            break;
        case qm::AddResult::ReadFailed:
            ShowListReadFailure(m_hWnd, outcome.error);
            break;
        case qm::AddResult::WriteFailed:
            ShowWriteFailure(m_hWnd, IDS_ADD_FAILED, outcome.error);
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
            if (outcome.madeKey) ShowKeyMade(m_hWnd, outcome.publicKey);
            break;
        case qm::AddResult::Ignored:
            break;  // nothing to say
    }
}

void CCheckerDlg::ChangePassword(const AcceptedPassword& password) {
    const qm::PasswordChange change = [&] {
        qm::CWaitCursor wait(ShowWaitCursor);  // PBKDF2 for the new record
        return qm::ChangeUpdatePassword(password.key, password.newPassword);
    }();
    if (change.emptyPassword) {
        ShowFailure(m_hWnd, IDS_NEW_PASSWORD_EMPTY);
    } else if (!change.changed) {
        ShowSigningFailure(m_hWnd, change.problem, change.error);
    } else {
        std::string text = LoadResString(IDS_PASSWORD_CHANGED);
        if (change.resealedKey) text += " " + LoadResString(IDS_KEY_RESEALED);
        AppMessageBox(m_hWnd, text, kAppName, MB_ICONINFORMATION);
    }
}
