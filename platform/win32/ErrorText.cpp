#include "platform/win32/ErrorText.h"

#include <windows.h>

#include "platform/win32/Text.h"

namespace qm {
std::string OwnErrorText(uint32_t error);  // Platform_common.cpp
}  // namespace qm

namespace qm::win32 {

std::string ErrorText(uint32_t error) {
    const std::string own = OwnErrorText(error);
    if (!own.empty()) return own;
    wchar_t* buffer = nullptr;
    const DWORD length = FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, error, 0, reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
    std::string text =
        length > 0 && buffer != nullptr ? FromWide(std::wstring_view(buffer, length)) : "";
    if (buffer != nullptr) LocalFree(buffer);
    while (!text.empty() && (text.back() == '\r' || text.back() == '\n' || text.back() == ' ' ||
                             text.back() == '.')) {
        text.pop_back();
    }
    if (text.empty()) text = "System error " + std::to_string(error);
    return text;
}

}  // namespace qm::win32
