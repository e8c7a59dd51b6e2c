#include "ui/AppServices.h"

#include <utility>

#include "ui/WideText.h"

const char kAppName[] = "qmverify";

namespace {

MessageBoxHandler& HandlerInForce() {
    static MessageBoxHandler handler;
    return handler;
}

}  // namespace

std::string LoadResString(UINT id) {
    wchar_t buffer[1024] = L"";
    const int length = ::LoadStringW(::GetModuleHandleW(nullptr), id, buffer, 1024);
    return Utf8(std::wstring_view(buffer, length > 0 ? static_cast<size_t>(length) : 0));
}

int AppMessageBox(HWND owner, const std::string& text, const std::string& caption, UINT type) {
    if (HandlerInForce()) return HandlerInForce()(owner, text, caption, type);
    return ::MessageBoxW(owner, Wide(text).c_str(), Wide(caption).c_str(), type);
}

MessageBoxHandler SetMessageBoxHandler(MessageBoxHandler handler) {
    return std::exchange(HandlerInForce(), std::move(handler));
}

void ShowWaitCursor(bool wait) { ::SetCursor(::LoadCursorA(nullptr, wait ? IDC_WAIT : IDC_ARROW)); }
