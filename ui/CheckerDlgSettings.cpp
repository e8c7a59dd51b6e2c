// The main window's side of Settings: it carries out what the operator asked
// for there, writing the flags, adding a file or building the list.
#include "core/AddReleaseFile.h"
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
            AddFile(request.choice, *request.key);
            return true;
        case SettingsRequest::Action::UpdateReleaseData:
            StartBuild(request.key);
            return false;
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
            ShowFailure(m_hWnd, IDS_ADD_FAILED);
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
        case qm::AddResult::Ignored:
            break;  // nothing to say
    }
}
