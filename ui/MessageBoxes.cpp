#include "ui/MessageBoxes.h"

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
