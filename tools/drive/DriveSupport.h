// What the drive tools share: the texts of the main window that they look
// for, finding a window by its title, and memory in the tool's process for
// the messages whose data must live there (list-view and header reads, the
// notifications a tool sends).
//
// The control ids come from res/resource.h. The texts are the tool's own
// strings, which a drive tool cannot load from its string table; the window
// tests check that they say the same.
#pragma once

#include <windows.h>

#include <cstddef>

#include "res/resource.h"
#include "ui/ChildSearch.h"

namespace drive {

// String IDS_MAIN_TITLE: the main window's title.
constexpr char kMainTitle[] = "Quillmark Release Check";
// The result group box's text before the first comparison (the dialog
// template's); after one it sums that one up.
constexpr char kResultGroupText[] =
    "Check if current files are identical with the installed / updated files ";
// The Compare button's caption while no run goes on (string
// IDS_COMPARE_BUTTON); during a run it reads IDS_STOP_BUTTON.
constexpr char kCompareCaption[] = "&Compare";
// The window property in which the main window keeps the milliseconds from
// the key or click that stopped its last run to showing it stopped, plus one
// (CCheckerDlg::kStopTimeProperty).
constexpr char kStopTimeProperty[] = "qmverify.stop-ms";
// The caption of the tool's own message boxes.
constexpr char kNoticeCaption[] = "qmverify";

// Whether no run goes on in the main window: its Compare button reads
// Compare (not Stop). False when the window does not answer within a second.
inline bool NoRunGoesOn(HWND main) {
    char text[64] = "";
    DWORD_PTR answer = 0;
    if (::SendMessageTimeoutA(::GetDlgItem(main, IDC_COMPARE), WM_GETTEXT, sizeof text,
                              reinterpret_cast<LPARAM>(text), SMTO_NORMAL, 1000, &answer) == 0) {
        return false;
    }
    return ::lstrcmpA(text, kCompareCaption) == 0;
}

// The first top-level window of `className` (nullptr: any class) titled
// `title` that turns up within `milliseconds`; nullptr when none does.
inline HWND WaitForWindow(const char* className, const char* title, DWORD milliseconds) {
    const DWORD start = ::GetTickCount();
    for (;;) {
        HWND found = ::FindWindowA(className, title);
        if (found != nullptr) return found;
        if (::GetTickCount() - start > milliseconds) return nullptr;
        ::Sleep(100);
    }
}

// The main window's result group box: its first child that is a group box.
inline HWND ResultGroupBox(HWND main) { return FirstGroupBox(main); }

// A QueryPerformanceCounter reading, and the seconds since one: the timed
// commands' clock.
inline LARGE_INTEGER Now() {
    LARGE_INTEGER now{};
    ::QueryPerformanceCounter(&now);
    return now;
}

inline double SecondsSince(const LARGE_INTEGER& start) {
    LARGE_INTEGER frequency{};
    ::QueryPerformanceFrequency(&frequency);
    return static_cast<double>(Now().QuadPart - start.QuadPart) /
           static_cast<double>(frequency.QuadPart);
}

// A block of memory in the process that owns a window, for as long as the
// object lives.
class RemoteMemory {
public:
    RemoteMemory(HWND window, size_t size) {
        DWORD processId = 0;
        ::GetWindowThreadProcessId(window, &processId);
        m_process = ::OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE,
                                  processId);
        if (m_process != nullptr) {
            m_address = ::VirtualAllocEx(m_process, nullptr, size, MEM_COMMIT, PAGE_READWRITE);
        }
    }
    ~RemoteMemory() {
        if (m_address != nullptr) ::VirtualFreeEx(m_process, m_address, 0, MEM_RELEASE);
        if (m_process != nullptr) ::CloseHandle(m_process);
    }
    RemoteMemory(const RemoteMemory&) = delete;
    RemoteMemory& operator=(const RemoteMemory&) = delete;

    bool Valid() const { return m_address != nullptr; }
    // The address as the owning process sees it, for a message's parameter.
    LPARAM Address(size_t offset = 0) const {
        return reinterpret_cast<LPARAM>(static_cast<char*>(m_address) + offset);
    }
    bool Write(const void* data, size_t size, size_t offset = 0) const {
        return Valid() && ::WriteProcessMemory(m_process, static_cast<char*>(m_address) + offset,
                                               data, size, nullptr) != FALSE;
    }
    bool Read(void* data, size_t size, size_t offset = 0) const {
        return Valid() && ::ReadProcessMemory(m_process, static_cast<char*>(m_address) + offset,
                                              data, size, nullptr) != FALSE;
    }

private:
    HANDLE m_process = nullptr;
    void* m_address = nullptr;
};

// A rectangle that `message` fills in the window's process (HDM_GETITEMRECT,
// LVM_GETITEMRECT), which `rect` also hands in; in the window's client
// coordinates.
inline bool RemoteRect(HWND window, UINT message, WPARAM index, RECT& rect) {
    RemoteMemory memory(window, sizeof rect);
    if (!memory.Write(&rect, sizeof rect)) return false;
    if (::SendMessageA(window, message, index, memory.Address()) == 0) return false;
    return memory.Read(&rect, sizeof rect);
}

}  // namespace drive
