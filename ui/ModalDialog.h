// CModalDialog<Dialog>: a dialog run modally. DoModal returns when the
// dialog ends, with the result its EndDialog gave; the window is gone by
// then. Constructor arguments go to the dialog.
#pragma once

#include <windows.h>

#include <functional>
#include <utility>

#include "ui/Dialog.h"

// Tests put a replacement for every modal run in force, so that no modal
// loop runs: it receives the dialog and its owner and returns the result.
using ModalHook = std::function<INT_PTR(CDialog& dialog, HWND owner)>;
// Returns the hook in force before; an empty hook restores the modal runs.
ModalHook SetModalHook(ModalHook hook);
// The hook in force; empty while the modal runs are real.
const ModalHook& ModalHookInForce();

template <class Dialog>
class CModalDialog final : public Dialog {
public:
    template <class... Args>
    explicit CModalDialog(Args&&... args) : Dialog(std::forward<Args>(args)...) {}

    // Runs the dialog modally over `owner`; returns the EndDialog result, or
    // -1 when the window could not be created.
    INT_PTR DoModal(HWND owner = nullptr) {
        if (const ModalHook& hook = ModalHookInForce()) return hook(*this, owner);
        return this->RunModal(owner);
    }

    void EndDialog(INT_PTR result) override { ::EndDialog(this->m_hWnd, result); }
};
