// Enter for a control of a dialog. The dialog manager turns Enter into a
// press of the default button whatever control has the focus, unless that
// control asks for the key: with this in force the control asks for it, and
// a list view then reports it to the dialog as NM_RETURN. Esc, Tab and the
// other keys keep their meaning.
#pragma once

#include <windows.h>

void LetControlTakeEnter(HWND control);
