#include "ui/CheckerApp.h"

#include <commctrl.h>

#include <cstdlib>
#include <string>

#include "res/resource.h"
#include "ui/AppServices.h"
#include "ui/CheckerDlg.h"
#include "ui/Elevation.h"
#include "ui/ModalDialog.h"

BOOL CCheckerApp::InitInstance() {
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_LISTVIEW_CLASSES};
    ::InitCommonControlsEx(&controls);

    // A running copy is found by its main window's title, whatever its class.
    const std::string title = LoadResString(IDS_MAIN_TITLE);
    if (HWND running = ::FindWindowA(nullptr, title.c_str())) {
        // A copy whose elevation this start cannot read counts as elevated:
        // a standard start meets it as it always did.
        const bool runningElevated = IsProcessOfWindowElevated(running).value_or(true);
        if (DecideSecondStart(runningElevated, IsThisProcessElevated()) ==
            SecondStart::TellToRestartElevated) {
            AppMessageBox(nullptr, LoadResString(IDS_RUNNING_NOT_ELEVATED), kAppName,
                          MB_ICONINFORMATION);
        }
        // At hand to go on with, or to close.
        ::ShowWindow(running, SW_RESTORE);
        ::SetForegroundWindow(running);
        std::exit(0);
    }

    CModalDialog<CCheckerDlg> dialog;
    dialog.DoModal(nullptr);
    return FALSE;
}
