#include "ui/MessageBoxes.h"

#include "res/resource.h"
#include "ui/AppServices.h"

void ShowWarning(const std::string& text, const std::string& caption) {
    AppMessageBox(::GetActiveWindow(), text, caption, MB_ICONWARNING);
}

bool AskYesNo(const std::string& text, const std::string& caption) {
    // MB_DEFBUTTON1: Yes is the default button.
    return AppMessageBox(::GetActiveWindow(), text, caption,
                         MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON1) == IDYES;
}

void ShowFailure(HWND owner, UINT messageId) {
    AppMessageBox(owner, LoadResString(messageId), kAppName, MB_ICONWARNING);
}

void ShowBuildFailure(HWND owner, const qm::BuildResult& build) {
    if (build.status == qm::BuildResult::BackupFailed) {
        ShowFailure(owner, IDS_BACKUP_FAILED);
    } else if (build.status == qm::BuildResult::WriteFailed) {
        ShowFailure(owner, IDS_BUILD_WRITE_FAILED);
    }
}
