#include "ui/CheckerApp.h"

#include <commctrl.h>

#include <cstdlib>
#include <string>

#include "res/resource.h"
#include "ui/AppServices.h"
#include "ui/CheckerDlg.h"

BOOL CCheckerApp::InitInstance() {
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_LISTVIEW_CLASSES};
    ::InitCommonControlsEx(&controls);

    // A running copy is found by its main window's title, whatever its class.
    const std::string title = LoadResString(IDS_MAIN_TITLE);
    if (HWND running = ::FindWindowA(nullptr, title.c_str())) {
        ::ShowWindow(running, SW_RESTORE);
        ::SetForegroundWindow(running);
        std::exit(0);
    }

    CCheckerDlg dialog;
    dialog.DoModal(nullptr);
    return FALSE;
}
