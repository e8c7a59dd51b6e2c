// CAboutDlg: the About box on template 100: icon, name and version, the
// maker's logo and contact block. OK, Escape and the close box end it.
#pragma once

#include "ui/Dialog.h"

class CAboutDlg : public CDialog {
public:
    CAboutDlg();
};
