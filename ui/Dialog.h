// CDialog: a dialog built from a template of the program's resources: its
// messages, its data exchange, OK and Cancel. How it runs is the type of the
// object made of it, never a flag:
//
//   CModalDialog<CMyDlg> dlg;      dlg.DoModal(owner);   (ModalDialog.h)
//   CModelessDialog<CMyDlg> dlg;   dlg.Create(owner);    (ModelessDialog.h)
//
// The object exists before and after its window. CDialog itself cannot be
// made: only a kind of run knows how the dialog ends (EndDialog).
//
// Adding a dialog:
//   1. Derive from CDialog and pass the template id to the constructor.
//   2. Override DoDataExchange with DDX_... calls (DataExchange.h) for the
//      members shown in controls; the base OnInitDialog moves them into the
//      controls, the base OnOK moves them back before it ends the dialog.
//   3. For handlers, declare `static const CMessageMapEntry<CMyDlg> kMessageMap[];`
//      (MessageMap.h), define it in the .cpp with OnCommand, OnNotify,
//      OnMessage and OnDpiChanged entries, and override OnWndMsg:
//        bool OnWndMsg(UINT m, WPARAM w, LPARAM l, LRESULT& r) override {
//            return DispatchMessageMap(*this, kMessageMap, m, w, l, r);
//        }
//   4. Open it from a handler as a local object of its kind of run:
//      `CModalDialog<CMyDlg> dlg; dlg.DoModal(m_hWnd);`
#pragma once

#include <windows.h>

#include "ui/Window.h"

class CDataExchange;

class CDialog : public CWindow {
public:
    virtual ~CDialog() = default;
    CDialog(const CDialog&) = delete;
    CDialog& operator=(const CDialog&) = delete;

    UINT TemplateId() const { return m_templateId; }
    // The client size the template lays its controls out for, in pixels of
    // the dialog's font; {0, 0} before the window exists. A window larger
    // than the screen may have been made smaller than this as it was created.
    SIZE TemplateClientSize() const;

    // Moves the member values into the controls (save false) or the
    // controls' values into the members (save true). Nothing is checked.
    void UpdateData(bool save = true);
    // Ends the dialog with `result`: a modal run returns it, a modeless
    // window is destroyed.
    virtual void EndDialog(INT_PTR result) = 0;

    // Whether the window is busy: the thread waits inside KeepAlive (for the
    // writer lock, say), where a message sent by another program must start
    // nothing. Message-map entries of WhileBusy::Ignore, and OK and Cancel of
    // a dialog that does not map them, are dropped meanwhile.
    virtual bool Busy() const;

protected:
    explicit CDialog(UINT templateId) : m_templateId(templateId) {}

    // Returns TRUE to let the system set the focus. The base performs the
    // first data exchange, towards the controls.
    virtual BOOL OnInitDialog();
    virtual void DoDataExchange(CDataExchange& dx);
    virtual void OnOK();
    virtual void OnCancel();

    // The class's message map; true when the message was handled, with its
    // result in `result`.
    virtual bool OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);

    // The two ways the window is made, for CModalDialog and CModelessDialog:
    // a modal run over `owner` that returns the EndDialog result (-1 when the
    // window could not be made), and a modeless window (false when it could
    // not be made).
    INT_PTR RunModal(HWND owner);
    bool CreateModeless(HWND owner);

private:
    static INT_PTR CALLBACK DialogProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam);
    INT_PTR HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);

    UINT m_templateId;
};
