// CModelessDialog<Dialog>: a dialog whose window stays open beside its
// owner until it ends (EndDialog destroys it), DestroyWindow is called, or
// the object goes. Constructor arguments go to the dialog.
//
// The window goes before any part of the object does: this class is the
// most derived, so the dialog's own WM_DESTROY handler still runs on a whole
// object.
#pragma once

#include <windows.h>

#include <utility>

#include "ui/Dialog.h"

template <class Dialog>
class CModelessDialog final : public Dialog {
public:
    template <class... Args>
    explicit CModelessDialog(Args&&... args) : Dialog(std::forward<Args>(args)...) {}
    ~CModelessDialog() override { DestroyWindow(); }

    // Creates the window over `owner`; false when it could not be made.
    bool Create(HWND owner = nullptr) { return this->CreateModeless(owner); }
    void DestroyWindow() {
        if (this->m_hWnd != nullptr) ::DestroyWindow(this->m_hWnd);
    }

    void EndDialog(INT_PTR) override { DestroyWindow(); }
};
