// CCheckerApp: the application. It runs the main window as a modal dialog,
// unless a copy of the tool already runs, which it brings to the front; when
// this start is elevated and that copy is not, it first tells the operator
// to close that copy and start the tool again as administrator.
#pragma once

#include <windows.h>

class CCheckerApp {
public:
    // Always FALSE: there is no message loop after the main dialog. When a
    // copy runs already, it ends the process with status 0 and never returns.
    BOOL InitInstance();
};
