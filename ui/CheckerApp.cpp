#include "ui/CheckerApp.h"

#include <commctrl.h>
#include <objbase.h>

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
        switch (DecideSecondStart(RunningCopyOf(running), IsThisProcessElevated())) {
            case SecondStart::TellOtherAccount:
                AppMessageBox(nullptr, LoadResString(IDS_RUNNING_OTHER_ACCOUNT), kAppName,
                              MB_ICONINFORMATION);
                std::exit(0);
            case SecondStart::TellToRestartElevated:
                AppMessageBox(nullptr, LoadResString(IDS_RUNNING_NOT_ELEVATED), kAppName,
                              MB_ICONINFORMATION);
                break;
            case SecondStart::BringRunningForward:
                break;
        }
        // At hand to go on with, or to close.
        ::ShowWindow(running, SW_RESTORE);
        ::SetForegroundWindow(running);
        std::exit(0);
    }

    // The taskbar's progress and the screen readers' annotations are COM
    // objects of this thread.
    const HRESULT com = ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    {
        CModalDialog<CCheckerDlg> dialog;
        dialog.DoModal(nullptr);
    }
    if (SUCCEEDED(com)) ::CoUninitialize();
    return FALSE;
}
