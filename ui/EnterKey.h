// Enter for a control of a dialog. The dialog manager turns Enter into a
// press of the default button whatever control has the focus, unless that
// control asks for the key: with this in force the control asks for it, and
// a list view then reports it to the dialog as NM_RETURN. Esc, Tab and the
// other keys keep their meaning.
#pragma once

#include <windows.h>

void LetControlTakeEnter(HWND control);

// Enter for an owner-drawn push button: the dialog manager presses the
// focused button on Enter only when the button calls itself a push button,
// which an owner-drawn one does not, so Enter would press the default button
// instead. With this in force the button takes the key and reports a click
// to the dialog, as Space does.
void LetButtonTakeEnter(HWND button);

// The button that Enter presses in `dialog` (DM_SETDEFID), which draws the
// default ring; 0: none, for a control whose Enter presses nothing.
void SetDefaultId(HWND dialog, int id);

// Whether a WM_COMMAND says that a control got the focus (EN_SETFOCUS,
// BN_SETFOCUS of a button with BS_NOTIFY, CBN_SETFOCUS): the dialogs then
// move their default ring to the button that Enter presses there.
bool IsFocusNotice(HWND control, WPARAM wParam);
