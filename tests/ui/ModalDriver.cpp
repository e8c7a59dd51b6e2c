#include "ModalDriver.h"

#include <utility>

namespace {

ModalDriver* g_driver = nullptr;

// A modal window shows for at most this long without a step for it.
constexpr DWORD kPatienceMs = 5000;

std::string ClassName(HWND window) {
    char name[64] = "";
    ::GetClassNameA(window, name, sizeof name);
    return name;
}

std::string Caption(HWND window) {
    char text[256] = "";
    ::GetWindowTextA(window, text, sizeof text);
    return text;
}

// The dialogs of this thread that take input now: the innermost modal one,
// or the modeless main window when nothing modal is open.
std::vector<HWND> EnabledDialogs() {
    std::vector<HWND> found;
    ::EnumThreadWindows(
        ::GetCurrentThreadId(),
        [](HWND window, LPARAM param) -> BOOL {
            if (ClassName(window) == "#32770" && ::IsWindowVisible(window) &&
                ::IsWindowEnabled(window)) {
                reinterpret_cast<std::vector<HWND>*>(param)->push_back(window);
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&found));
    return found;
}

}  // namespace

ModalDriver::ModalDriver() {
    g_driver = this;
    m_lastProgress = ::GetTickCount();
    m_timer = ::SetTimer(nullptr, 0, 15, &ModalDriver::OnTimer);
    m_hook = ::SetWindowsHookExA(WH_CBT, &ModalDriver::OnCbt, nullptr, ::GetCurrentThreadId());
}

ModalDriver::~ModalDriver() {
    ::KillTimer(nullptr, m_timer);
    ::UnhookWindowsHookEx(m_hook);
    g_driver = nullptr;
}

ModalDriver& ModalDriver::When(const std::string& caption, Action action) {
    m_steps.push_back({caption, std::move(action)});
    m_lastProgress = ::GetTickCount();
    return *this;
}

void CALLBACK ModalDriver::OnTimer(HWND, UINT, UINT_PTR, DWORD) {
    if (g_driver != nullptr) g_driver->Tick();
}

LRESULT CALLBACK ModalDriver::OnCbt(int code, WPARAM wParam, LPARAM lParam) {
    auto* window = reinterpret_cast<HWND>(wParam);
    if (code == HCBT_CREATEWND && g_driver != nullptr) {
        const auto* create = reinterpret_cast<const CBT_CREATEWNDA*>(lParam);
        const LPCSTR className = create->lpcs->lpszClass;
        // The dialog class may arrive as its atom.
        const bool isDialog = IS_INTRESOURCE(className)
                                  ? reinterpret_cast<ULONG_PTR>(className) == 0x8002
                                  : std::string(className) == "#32770";
        if (isDialog && !(create->lpcs->style & WS_CHILD)) {
            const LPCSTR name = create->lpcs->lpszName;
            g_driver->m_opened.push_back(
                {window, name != nullptr && !IS_INTRESOURCE(name) ? name : ""});
        }
    } else if (code == HCBT_DESTROYWND && g_driver != nullptr) {
        for (Created& created : g_driver->m_opened) {
            if (created.window == window) {
                created.caption = Caption(window);
                created.window = nullptr;
            }
        }
    }
    return ::CallNextHookEx(nullptr, code, wParam, lParam);
}

std::vector<std::string> ModalDriver::Opened() const {
    std::vector<std::string> captions;
    for (const Created& created : m_opened) {
        captions.push_back(created.window != nullptr ? Caption(created.window) : created.caption);
    }
    return captions;
}

void ModalDriver::Tick() {
    const std::vector<HWND> dialogs = EnabledDialogs();
    if (!m_steps.empty()) {
        for (HWND dialog : dialogs) {
            if (Caption(dialog) != m_steps.front().caption) continue;
            // Taken off before it runs: an action may start a nested modal
            // loop in which the following steps run.
            Step step = std::move(m_steps.front());
            m_steps.pop_front();
            m_lastProgress = ::GetTickCount();
            step.action(dialog);
            return;
        }
    }
    if (::GetTickCount() - m_lastProgress < kPatienceMs) return;
    // Nobody is coming for this window: end it, so that the test fails
    // instead of hanging.
    for (HWND dialog : dialogs) {
        if (::GetWindow(dialog, GW_OWNER) == nullptr && ::GetParent(dialog) == nullptr &&
            Caption(dialog) == "Quillmark Release Check") {
            continue;  // a modeless main window of the test
        }
        m_bTimedOut = true;
        ::EndDialog(dialog, IDCANCEL);
    }
    m_lastProgress = ::GetTickCount();
}

void ModalDriver::SetText(HWND dialog, int id, const std::string& text) {
    ::SetDlgItemTextA(dialog, id, text.c_str());
}

std::string ModalDriver::Text(HWND dialog, int id) {
    char text[1024] = "";
    ::GetDlgItemTextA(dialog, id, text, sizeof text);
    return text;
}

int ModalDriver::Checked(HWND dialog, int id) {
    return static_cast<int>(::SendDlgItemMessageA(dialog, id, BM_GETCHECK, 0, 0));
}

void ModalDriver::SetChecked(HWND dialog, int id, bool checked) {
    ::SendDlgItemMessageA(dialog, id, BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
}

void ModalDriver::Press(HWND dialog, int id) {
    ::PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                   reinterpret_cast<LPARAM>(::GetDlgItem(dialog, id)));
}

bool ModalDriver::GetsFocus(HWND control, DWORD ms) {
    const DWORD start = ::GetTickCount();
    while (::GetFocus() != control) {
        if (::GetTickCount() - start > ms) return false;
        MSG msg;
        if (!::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
            continue;
        }
        ::TranslateMessage(&msg);
        ::DispatchMessageA(&msg);
    }
    return true;
}

std::string ModalDriver::MessageText(HWND box) {
    std::string found;
    ::EnumChildWindows(
        box,
        [](HWND child, LPARAM param) -> BOOL {
            auto& text = *reinterpret_cast<std::string*>(param);
            if (ClassName(child) == "Static" && text.empty()) text = Caption(child);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&found));
    return found;
}
