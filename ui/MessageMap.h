// Message maps: a static table per dialog class that binds window messages
// and control notifications to its On... handlers. Each kind of entry has its
// own maker, which takes only that kind's handler signature, so that a
// handler of the wrong kind is a compile error rather than an entry that
// never fires:
//
//   const CMessageMapEntry<CMyDlg> CMyDlg::kMessageMap[] = {
//       OnCommand(IDC_GO, BN_CLICKED, &CMyDlg::OnGo, WhileBusy::Ignore),  // void OnGo()
//       OnNotify(IDC_LIST, NM_DBLCLK, &CMyDlg::OnDblclkList, WhileBusy::Ignore),
//                                                     // void (NMHDR*, LRESULT*)
//       OnMessage(WM_PAINT, &CMyDlg::OnPaint, WhileBusy::Handle),
//                                                     // bool (WPARAM, LPARAM, LRESULT&)
//       OnDpiChanged(&CMyDlg::OnScaleChanged),        // bool (int dpi, const RECT*)
//   };
//
// Every command, notification and message entry says what becomes of its
// message while the window is busy (CDialog::Busy: a run of the main window
// goes on, or the thread waits inside KeepAlive): an operator's request that
// would start something is ignored then (WhileBusy::Ignore), so that nothing
// the operator did for a run is acted on inside it; what keeps the window
// alive and drawn, or stops the run, is handled (WhileBusy::Handle). The
// choice is part of each entry, so a new handler has to make it.
//
// Command entries match WM_COMMAND by control id and notification code,
// notify entries WM_NOTIFY by the sender's idFrom and code, message entries
// the message alone. A message whose parameters carry values of their own
// has a maker that hands over those values instead of WPARAM and LPARAM
// (OnDpiChanged). The first matching entry wins.
#pragma once

#include <windows.h>

#include <cstddef>

#include "ui/Dpi.h"

// What becomes of an entry's message while the window is busy.
enum class WhileBusy {
    Handle,  // it keeps the window alive, drawn, movable, or stops the run
    Ignore,  // an operator's request that would start something: dropped, with result 0
};

template <class T>
class CMessageMapEntry {
public:
    // A command from a control (WM_COMMAND).
    using CommandHandler = void (T::*)();
    // A notification (WM_NOTIFY); the handler sets *result.
    using NotifyHandler = void (T::*)(NMHDR* header, LRESULT* result);
    // Any other message; returning false leaves it to the default processing.
    using MessageHandler = bool (T::*)(WPARAM wParam, LPARAM lParam, LRESULT& result);
    // WM_DPICHANGED: the new DPI, and the place Windows suggests for the
    // window at that scale (nullptr when the message names none). Returning
    // false leaves the message to the default processing, which lets the
    // dialog manager scale the controls.
    using DpiChangedHandler = bool (T::*)(int dpi, const RECT* suggested);

    static constexpr CMessageMapEntry Command(UINT id, UINT code, CommandHandler handler,
                                              WhileBusy busy) {
        CMessageMapEntry entry(WM_COMMAND, code, id, busy);
        entry.m_command = handler;
        return entry;
    }
    static constexpr CMessageMapEntry Notify(UINT id, UINT code, NotifyHandler handler,
                                             WhileBusy busy) {
        CMessageMapEntry entry(WM_NOTIFY, code, id, busy);
        entry.m_notify = handler;
        return entry;
    }
    static constexpr CMessageMapEntry Message(UINT message, MessageHandler handler,
                                              WhileBusy busy) {
        CMessageMapEntry entry(message, 0, 0, busy);
        entry.m_other = handler;
        return entry;
    }
    static constexpr CMessageMapEntry DpiChanged(DpiChangedHandler handler) {
        CMessageMapEntry entry(WM_DPICHANGED, 0, 0, WhileBusy::Handle);
        entry.m_dpiChanged = handler;
        return entry;
    }

    enum class Outcome { NoMatch, Handled, Declined };

    // Runs the entry on `target` when it matches the message; while `busy`,
    // an entry of WhileBusy::Ignore drops it instead. Declined: a message
    // handler left the message to the default processing.
    Outcome Dispatch(T& target, UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result,
                     bool busy) const {
        if (message != m_message) return Outcome::NoMatch;
        if (m_command != nullptr) {
            if (m_id != LOWORD(wParam) || m_code != HIWORD(wParam)) return Outcome::NoMatch;
            result = 0;
            if (busy && m_busy == WhileBusy::Ignore) return Outcome::Handled;
            (target.*m_command)();
            result = 0;
            return Outcome::Handled;
        }
        if (m_notify != nullptr) {
            auto* header = reinterpret_cast<NMHDR*>(lParam);
            if (m_id != header->idFrom || m_code != header->code) return Outcome::NoMatch;
            result = 0;
            if (busy && m_busy == WhileBusy::Ignore) return Outcome::Handled;
            (target.*m_notify)(header, &result);
            return Outcome::Handled;
        }
        if (m_dpiChanged != nullptr) {
            result = 0;
            const bool handled = (target.*m_dpiChanged)(dpi::OfDpiChanged(wParam),
                                                        reinterpret_cast<const RECT*>(lParam));
            return handled ? Outcome::Handled : Outcome::Declined;
        }
        if (busy && m_busy == WhileBusy::Ignore) {
            result = 0;
            return Outcome::Handled;
        }
        return (target.*m_other)(wParam, lParam, result) ? Outcome::Handled : Outcome::Declined;
    }

private:
    constexpr CMessageMapEntry(UINT message, UINT code, UINT id, WhileBusy busy)
        : m_message(message), m_code(code), m_id(id), m_busy(busy) {}

    UINT m_message;
    UINT m_code;  // notification code of a command or notify entry, else 0
    UINT m_id;    // control id of a command or notify entry, else 0
    WhileBusy m_busy;
    // The handler: exactly one of these is set.
    CommandHandler m_command = nullptr;
    NotifyHandler m_notify = nullptr;
    MessageHandler m_other = nullptr;
    DpiChangedHandler m_dpiChanged = nullptr;
};

// The entry makers; the class comes from the handler.
template <class T>
constexpr CMessageMapEntry<T> OnCommand(UINT id, UINT code, void (T::*handler)(), WhileBusy busy) {
    return CMessageMapEntry<T>::Command(id, code, handler, busy);
}
template <class T>
constexpr CMessageMapEntry<T> OnNotify(UINT id, UINT code,
                                       void (T::*handler)(NMHDR* header, LRESULT* result),
                                       WhileBusy busy) {
    return CMessageMapEntry<T>::Notify(id, code, handler, busy);
}
template <class T>
constexpr CMessageMapEntry<T> OnMessage(UINT message,
                                        bool (T::*handler)(WPARAM, LPARAM, LRESULT& result),
                                        WhileBusy busy) {
    return CMessageMapEntry<T>::Message(message, handler, busy);
}
template <class T>
constexpr CMessageMapEntry<T> OnDpiChanged(bool (T::*handler)(int dpi, const RECT* suggested)) {
    return CMessageMapEntry<T>::DpiChanged(handler);
}

// Runs the first entry of `map` that matches (or drops its message, when it
// is one to ignore while `target.Busy()`); false when none matches or the
// matching message handler left the message to the default processing.
template <class T, size_t N>
bool DispatchMessageMap(T& target, const CMessageMapEntry<T> (&map)[N], UINT message, WPARAM wParam,
                        LPARAM lParam, LRESULT& result) {
    const bool busy = target.Busy();
    for (const CMessageMapEntry<T>& entry : map) {
        switch (entry.Dispatch(target, message, wParam, lParam, result, busy)) {
            case CMessageMapEntry<T>::Outcome::Handled:
                return true;
            case CMessageMapEntry<T>::Outcome::Declined:
                return false;
            case CMessageMapEntry<T>::Outcome::NoMatch:
                break;
        }
    }
    return false;
}
