// Drives the real modal dialogs and message boxes of the window code as an
// operator would. A thread timer fires inside whatever modal loop runs; on
// each tick the next scripted step waits for an enabled dialog of its
// caption and then acts on it (types text, ticks boxes, presses buttons).
// A CBT hook records every dialog that is created, so a test can also see
// that nothing opened.
#pragma once

#include <windows.h>

#include <deque>
#include <functional>
#include <string>
#include <vector>

class ModalDriver {
public:
    // A step acts on the dialog that it waited for.
    using Action = std::function<void(HWND dialog)>;

    ModalDriver();
    ~ModalDriver();
    ModalDriver(const ModalDriver&) = delete;
    ModalDriver& operator=(const ModalDriver&) = delete;

    // Waits for an enabled, visible dialog captioned `caption`, then acts.
    ModalDriver& When(const std::string& caption, Action action);

    // Captions of the dialogs and message boxes created so far (as they
    // were when the window closed: a message box gets its caption late).
    std::vector<std::string> Opened() const;
    void ForgetOpened() { m_opened.clear(); }
    // Steps not run yet; a step that timed out stays here.
    size_t Pending() const { return m_steps.size(); }
    // True when a modal window had to be ended because no step came for it.
    bool TimedOut() const { return m_bTimedOut; }

    // Helpers for actions.
    static void SetText(HWND dialog, int id, const std::string& text);
    static std::string Text(HWND dialog, int id);
    static int Checked(HWND dialog, int id);
    static void SetChecked(HWND dialog, int id, bool checked);
    // Presses button `id` as a click would: the command arrives through the
    // modal loop.
    static void Press(HWND dialog, int id);
    // True once `control` has the focus, within `ms` milliseconds of running
    // the thread's messages: a box shown while another program's window is
    // in front gets its activation, and so its focus, through the queue.
    static bool GetsFocus(HWND control, DWORD ms = 2000);
    // The text of a message box (its static text that is not empty).
    static std::string MessageText(HWND box);

private:
    struct Created {
        HWND window;
        std::string caption;
    };
    struct Step {
        std::string caption;
        Action action;
    };

    static void CALLBACK OnTimer(HWND, UINT, UINT_PTR, DWORD);
    static LRESULT CALLBACK OnCbt(int code, WPARAM wParam, LPARAM lParam);
    void Tick();

    std::deque<Step> m_steps;
    std::vector<Created> m_opened;
    UINT_PTR m_timer = 0;
    HHOOK m_hook = nullptr;
    DWORD m_lastProgress = 0;
    bool m_bTimedOut = false;
};
