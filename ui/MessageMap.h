// Message maps: a static table per dialog class that binds window messages
// and control notifications to its On... handlers.
//
//   const CMessageMapEntry<CMyDlg> CMyDlg::kMessageMap[] = {
//       {WM_COMMAND, BN_CLICKED, IDC_GO, &CMyDlg::OnGo},            // void OnGo()
//       {WM_NOTIFY, NM_DBLCLK, IDC_LIST, &CMyDlg::OnDblclkList},    // void (NMHDR*, LRESULT*)
//       {WM_PAINT, 0, 0, &CMyDlg::OnPaint},                         // bool (WPARAM, LPARAM,
//       LRESULT&)
//   };
//
// WM_COMMAND entries match the control id and notification code, WM_NOTIFY
// entries the sender's idFrom and code; other entries match the message
// alone. The first matching entry wins.
#pragma once

#include <windows.h>

#include <cstddef>
#include <variant>

template <class T>
struct CMessageMapEntry {
    // A command from a control (WM_COMMAND).
    using CommandHandler = void (T::*)();
    // A notification (WM_NOTIFY); the handler sets *result.
    using NotifyHandler = void (T::*)(NMHDR* header, LRESULT* result);
    // Any other message; returning false leaves it to the default processing.
    using MessageHandler = bool (T::*)(WPARAM wParam, LPARAM lParam, LRESULT& result);

    UINT message;
    UINT code;  // notification code for WM_COMMAND and WM_NOTIFY, else 0
    UINT id;    // control id for WM_COMMAND and WM_NOTIFY, else 0
    std::variant<CommandHandler, NotifyHandler, MessageHandler> handler;
};

// Runs the first entry of `map` that matches; false when none does or the
// matching message handler left the message to the default processing.
template <class T, size_t N>
bool DispatchMessageMap(T& target, const CMessageMapEntry<T> (&map)[N], UINT message, WPARAM wParam,
                        LPARAM lParam, LRESULT& result) {
    for (const CMessageMapEntry<T>& entry : map) {
        if (entry.message != message) continue;
        if (message == WM_COMMAND) {
            if (entry.id != LOWORD(wParam) || entry.code != HIWORD(wParam)) continue;
            if (auto* command =
                    std::get_if<typename CMessageMapEntry<T>::CommandHandler>(&entry.handler)) {
                (target.*(*command))();
                result = 0;
                return true;
            }
        } else if (message == WM_NOTIFY) {
            auto* header = reinterpret_cast<NMHDR*>(lParam);
            if (entry.id != header->idFrom || entry.code != header->code) continue;
            if (auto* notify =
                    std::get_if<typename CMessageMapEntry<T>::NotifyHandler>(&entry.handler)) {
                result = 0;
                (target.*(*notify))(header, &result);
                return true;
            }
        }
        if (auto* handler =
                std::get_if<typename CMessageMapEntry<T>::MessageHandler>(&entry.handler)) {
            return (target.*(*handler))(wParam, lParam, result);
        }
    }
    return false;
}
