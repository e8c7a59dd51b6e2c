#include "ui/Dialog.h"

#include <cstring>

#include "ui/DataExchange.h"
#include "ui/KeepAlive.h"

namespace {

// Messages whose result a dialog procedure returns itself instead of
// leaving it in DWLP_MSGRESULT.
bool ReturnsResultDirectly(UINT message) {
    switch (message) {
        case WM_CTLCOLORMSGBOX:
        case WM_CTLCOLOREDIT:
        case WM_CTLCOLORLISTBOX:
        case WM_CTLCOLORBTN:
        case WM_CTLCOLORDLG:
        case WM_CTLCOLORSCROLLBAR:
        case WM_CTLCOLORSTATIC:
        case WM_COMPAREITEM:
        case WM_VKEYTOITEM:
        case WM_CHARTOITEM:
        case WM_QUERYDRAGICON:
        case WM_INITDIALOG:
            return true;
        default:
            return false;
    }
}

}  // namespace

// Unicode dialogs: their controls hold any text (an edit control made by an
// "A" dialog keeps its text in the ANSI code page), and their list views
// ask in UTF-16 (LVN_GETDISPINFOW).
INT_PTR CDialog::RunModal(HWND owner) {
    return ::DialogBoxParamW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(m_templateId), owner,
                             &CDialog::DialogProc, reinterpret_cast<LPARAM>(this));
}

bool CDialog::CreateModeless(HWND owner) {
    return ::CreateDialogParamW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(m_templateId), owner,
                                &CDialog::DialogProc, reinterpret_cast<LPARAM>(this)) != nullptr;
}

SIZE CDialog::TemplateClientSize() const {
    HMODULE module = ::GetModuleHandleA(nullptr);
    HRSRC found = ::FindResourceA(module, MAKEINTRESOURCEA(m_templateId), MAKEINTRESOURCEA(5));
    if (m_hWnd == nullptr || found == nullptr) return {0, 0};
    const auto* data = static_cast<const BYTE*>(::LockResource(::LoadResource(module, found)));
    const DWORD size = ::SizeofResource(module, found);
    // DLGTEMPLATEEX (version 1, signature 0xFFFF) holds cx and cy at 22 and
    // 24, DLGTEMPLATE at 14 and 16.
    WORD head[2] = {0, 0};
    if (data == nullptr || size < 26) return {0, 0};
    std::memcpy(head, data, sizeof head);
    const size_t at = head[0] == 1 && head[1] == 0xFFFF ? 22 : 14;
    short extent[2] = {0, 0};
    std::memcpy(extent, data + at, sizeof extent);
    RECT client{0, 0, extent[0], extent[1]};
    ::MapDialogRect(m_hWnd, &client);
    return {client.right, client.bottom};
}

void CDialog::UpdateData(bool save) {
    CDataExchange dx(*this, save);
    DoDataExchange(dx);
}

BOOL CDialog::OnInitDialog() {
    UpdateData(false);
    return TRUE;
}

void CDialog::DoDataExchange(CDataExchange&) {}

void CDialog::OnOK() {
    UpdateData(true);
    EndDialog(IDOK);
}

void CDialog::OnCancel() { EndDialog(IDCANCEL); }

bool CDialog::OnWndMsg(UINT, WPARAM, LPARAM, LRESULT&) { return false; }

bool CDialog::Busy() const { return InsideKeepAlive(); }

INT_PTR CALLBACK CDialog::DialogProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* dialog = reinterpret_cast<CDialog*>(::GetWindowLongPtrA(hWnd, DWLP_USER));
    if (message == WM_INITDIALOG) {
        dialog = reinterpret_cast<CDialog*>(lParam);
        ::SetWindowLongPtrA(hWnd, DWLP_USER, lParam);
        dialog->m_hWnd = hWnd;
    }
    if (dialog == nullptr) return FALSE;  // messages before WM_INITDIALOG, such as WM_SETFONT

    INT_PTR handled = FALSE;
    // No exception may unwind into the system's dispatch code: a handler
    // that throws leaves its message to the default processing.
    try {
        handled = dialog->HandleMessage(message, wParam, lParam);
    } catch (...) {
        ::OutputDebugStringA("qmverify: a message handler failed\n");
        handled = FALSE;
    }
    if (message == WM_NCDESTROY) {
        ::SetWindowLongPtrA(hWnd, DWLP_USER, 0);
        dialog->m_hWnd = nullptr;
    }
    return handled;
}

INT_PTR CDialog::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) return OnInitDialog();

    LRESULT result = 0;
    if (!OnWndMsg(message, wParam, lParam, result)) {
        if (message != WM_COMMAND || HIWORD(wParam) != BN_CLICKED) return FALSE;
        const UINT id = LOWORD(wParam);
        if ((id == IDOK || id == IDCANCEL) && Busy()) {
            // Sent by another program in the middle of a long step (such as
            // a wait for the writer lock inside OK): it ends nothing.
            ::SetWindowLongPtrA(m_hWnd, DWLP_MSGRESULT, 0);
            return TRUE;
        }
        switch (id) {
            case IDOK:
                OnOK();
                return TRUE;
            case IDCANCEL:
                OnCancel();
                return TRUE;
            default:
                return FALSE;
        }
    }
    if (ReturnsResultDirectly(message)) return static_cast<INT_PTR>(result);
    ::SetWindowLongPtrA(m_hWnd, DWLP_MSGRESULT, result);
    return TRUE;
}
