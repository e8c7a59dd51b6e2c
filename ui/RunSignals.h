// What tells of a run outside the window's own controls: the progress on the
// window's taskbar button (ITaskbarList3), and the announcement of a changed
// text to screen readers (a live region: Narrator reads the group box's new
// text when it changes after a run).
#pragma once

#include <windows.h>

#include <shobjidl.h>

#include <cstdint>

class CTaskbarProgress {
public:
    CTaskbarProgress() = default;
    ~CTaskbarProgress();
    CTaskbarProgress(const CTaskbarProgress&) = delete;
    CTaskbarProgress& operator=(const CTaskbarProgress&) = delete;

    // The button of `window` shows `done` of `total`; nothing where the
    // system has no taskbar list.
    void Show(HWND window, uint64_t done, uint64_t total);
    // The button shows no progress any more.
    void Clear(HWND window);

private:
    ITaskbarList3* TaskbarList();

    ITaskbarList3* m_pTaskbar = nullptr;
    bool m_bTried = false;
    bool m_bShown = false;
};

// Marks `control` as a polite live region (where the system offers dynamic
// annotation), so that screen readers read its text when it is announced.
void MarkLiveRegion(HWND control);
// Tells screen readers that the text of the live region `control` changed.
void AnnounceChange(HWND control);
