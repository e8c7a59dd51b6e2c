// Process entry: the one application object runs the tool. The command line
// and the show state are not used.
#include <windows.h>

#include "ui/CheckerApp.h"

CCheckerApp theApp;

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    theApp.InitInstance();
    return 0;
}
