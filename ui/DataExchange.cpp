#include "ui/DataExchange.h"

#include "ui/Dialog.h"

HWND CDataExchange::Control(int id) const { return m_dialog.GetDlgItem(id); }

void DDX_Text(CDataExchange& dx, int id, std::string& value) {
    CWindow control(dx.Control(id));
    if (dx.Saving()) {
        value = control.GetWindowText();
    } else {
        control.SetWindowText(value);
    }
}

void DDX_Check(CDataExchange& dx, int id, int& value) {
    CWindow control(dx.Control(id));
    if (dx.Saving()) {
        value = static_cast<int>(control.SendMessage(BM_GETCHECK));
    } else {
        control.SendMessage(BM_SETCHECK, static_cast<WPARAM>(value));
    }
}

void DDX_CBIndex(CDataExchange& dx, int id, int& value) {
    CWindow control(dx.Control(id));
    if (dx.Saving()) {
        value = static_cast<int>(control.SendMessage(CB_GETCURSEL));
    } else {
        control.SendMessage(CB_SETCURSEL, static_cast<WPARAM>(value));
    }
}
