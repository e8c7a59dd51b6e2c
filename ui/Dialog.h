// CDialog: a dialog built from a template of the program's resources. The
// object exists before and after its window; DoModal runs it modally,
// Create makes it modeless (tests drive it that way).
//
// Adding a dialog:
//   1. Derive from CDialog and pass the template id to the constructor.
//   2. Override DoDataExchange with DDX_... calls (DataExchange.h) for the
//      members shown in controls; the base OnInitDialog moves them into the
//      controls, the base OnOK moves them back before it ends the dialog.
//   3. For handlers, declare `static const CMessageMapEntry<CMyDlg> kMessageMap[];`
//      (MessageMap.h), define it in the .cpp with OnCommand, OnNotify and
//      OnMessage entries, and override OnWndMsg:
//        bool OnWndMsg(UINT m, WPARAM w, LPARAM l, LRESULT& r) override {
//            return DispatchMessageMap(*this, kMessageMap, m, w, l, r);
//        }
//   4. Open it from a handler as a local object: `CMyDlg dlg; dlg.DoModal(m_hWnd);`
#pragma once

#include <windows.h>

#include <functional>

#include "ui/Window.h"

class CDataExchange;

class CDialog : public CWindow {
public:
    explicit CDialog(UINT templateId) : m_templateId(templateId) {}
    ~CDialog() override;
    CDialog(const CDialog&) = delete;
    CDialog& operator=(const CDialog&) = delete;

    UINT TemplateId() const { return m_templateId; }
    // The client size the template lays its controls out for, in pixels of
    // the dialog's font; {0, 0} before the window exists. A window larger
    // than the screen may have been made smaller than this as it was created.
    SIZE TemplateClientSize() const;

    // Runs the dialog modally over `owner`; returns the EndDialog result, or
    // -1 when the window could not be created.
    INT_PTR DoModal(HWND owner = nullptr);
    // Creates the dialog modelessly; false when the window could not be made.
    bool Create(HWND owner = nullptr);
    // Destroys a modeless dialog's window.
    void DestroyWindow();

    // Moves member values into the controls (save false) or back (save true).
    bool UpdateData(bool save = true);
    // Ends a modal run with `result`; a modeless dialog is destroyed.
    void EndDialog(INT_PTR result);

    // Tests put a replacement for DoModal in force, so that no modal loop
    // runs: it receives the dialog and its owner and returns the result.
    using ModalHook = std::function<INT_PTR(CDialog& dialog, HWND owner)>;
    static ModalHook SetModalHook(ModalHook hook);

protected:
    // Returns TRUE to let the system set the focus. The base fills list and
    // combo boxes from the template's initialisation data, then performs the
    // first data exchange, towards the controls.
    virtual BOOL OnInitDialog();
    virtual void DoDataExchange(CDataExchange& dx);
    virtual void OnOK();
    virtual void OnCancel();

    // The class's message map; true when the message was handled, with its
    // result in `result`.
    virtual bool OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);

private:
    static INT_PTR CALLBACK DialogProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam);
    INT_PTR HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);

    UINT m_templateId;
    bool m_bModal = false;
};
