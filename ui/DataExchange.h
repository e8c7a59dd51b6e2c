// Dialog data exchange: moves member values into a dialog's controls or back,
// in the order a DoDataExchange lists them. It checks nothing: a dialog that
// must refuse a value does so in its OnOK, where it can say why.
#pragma once

#include <windows.h>

#include <string>

class CDialog;

class CDataExchange {
public:
    CDataExchange(CDialog& dialog, bool saving) : m_dialog(dialog), m_bSaving(saving) {}

    // The control `id` of the dialog.
    HWND Control(int id) const;
    // True: from the controls into the members; false: the other way.
    bool Saving() const { return m_bSaving; }

private:
    CDialog& m_dialog;
    bool m_bSaving;
};

// Text of an edit field or static control.
void DDX_Text(CDataExchange& dx, int id, std::string& value);
// Check box: 0 cleared, 1 checked (2 indeterminate when a control has it).
void DDX_Check(CDataExchange& dx, int id, int& value);
// Selection index of a combo box or drop-down list; -1 for none.
void DDX_CBIndex(CDataExchange& dx, int id, int& value);

// Binds a control wrapper to control `id` (both directions). Rebinding on
// every exchange keeps the wrapper right when the dialog is created again.
template <class Control>
void DDX_Control(CDataExchange& dx, int id, Control& control) {
    control.Attach(dx.Control(id));
}
