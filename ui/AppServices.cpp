#include "ui/AppServices.h"

#include <utility>

const char kAppName[] = "qmverify";

namespace {

MessageBoxHandler& HandlerInForce() {
    static MessageBoxHandler handler;
    return handler;
}

}  // namespace

std::string LoadResString(UINT id) {
    char buffer[1024] = "";
    int length = ::LoadStringA(::GetModuleHandleA(nullptr), id, buffer, sizeof buffer);
    return std::string(buffer, length > 0 ? static_cast<size_t>(length) : 0);
}

int AppMessageBox(HWND owner, const std::string& text, const std::string& caption, UINT type) {
    if (HandlerInForce()) return HandlerInForce()(owner, text, caption, type);
    return ::MessageBoxA(owner, text.c_str(), caption.c_str(), type);
}

MessageBoxHandler SetMessageBoxHandler(MessageBoxHandler handler) {
    return std::exchange(HandlerInForce(), std::move(handler));
}

void ShowWaitCursor(bool wait) { ::SetCursor(::LoadCursorA(nullptr, wait ? IDC_WAIT : IDC_ARROW)); }
