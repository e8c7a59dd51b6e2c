// Small services of the window code that tests replace: message boxes and the
// cursor, plus the string table.
#pragma once

#include <windows.h>

#include <functional>
#include <string>

// A string of the program's string table, as UTF-8 like every text of the
// window's code; "" when it has no such string.
std::string LoadResString(UINT id);

// Shows a message box (texts in UTF-8) and returns the button chosen. Tests
// put a handler in force so that no box waits for an operator.
using MessageBoxHandler =
    std::function<int(HWND owner, const std::string& text, const std::string& caption, UINT type)>;
int AppMessageBox(HWND owner, const std::string& text, const std::string& caption, UINT type);
// Returns the handler in force before; an empty handler restores MessageBoxW.
MessageBoxHandler SetMessageBoxHandler(MessageBoxHandler handler);

// The caption of the program's own notices.
extern const char kAppName[];

// The wait cursor while `wait`, the arrow cursor after.
void ShowWaitCursor(bool wait);
