// The message boxes of the secondary dialogs: the wrong-password warning, the
// update confirmation, and our own notices of operations that failed.
#pragma once

#include <windows.h>

#include <string>

#include "core/ReleaseListBuild.h"

// OK only, warning icon, owned by the active window.
void ShowWarning(const std::string& text, const std::string& caption);

// Yes and No with the question icon, Yes the default, owned by the active
// window; true when the operator chose Yes.
bool AskYesNo(const std::string& text, const std::string& caption);

// Tells the operator that an operation failed: string `messageId` of the
// string table under the program's caption, warning icon, owned by `owner`.
void ShowFailure(HWND owner, UINT messageId);

// Tells the operator when a build changed nothing: the previous list could
// not be kept, or the new one could not be written. Silent on success.
void ShowBuildFailure(HWND owner, const qm::BuildResult& build);
