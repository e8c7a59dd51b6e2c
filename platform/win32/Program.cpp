// The running program as Windows sees it: its own path, the environment,
// and a directory for what a scheduled run writes, which only administrators
// and the system may change.
#include <windows.h>

#include <sddl.h>

#include <string>

#include "platform/Platform.h"
#include "platform/win32/WideText.h"

namespace qm {

namespace {

// Full control for administrators and the system, read for the users who
// log on; not inherited from the folder above, and passed on to what is
// made inside. A standard user could otherwise put a file of the collector's
// in the place of the one a scheduled run wrote.
constexpr wchar_t kProtectedDirectorySecurity[] =
    L"D:P(A;OICI;FA;;;BA)(A;OICI;FA;;;SY)(A;OICI;FRFX;;;BU)";

}  // namespace

std::string IPlatform::ProgramPath() {
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length = GetModuleFileNameW(nullptr, &path[0], static_cast<DWORD>(path.size()));
        if (length == 0) return std::string();
        if (length < path.size()) {
            path.resize(length);
            return win32::SystemText(path);
        }
        if (path.size() >= 32768) return std::string();
        path.resize(path.size() * 2);
    }
}

std::string IPlatform::ExpandEnvironment(const std::string& text) {
    const std::wstring wide = win32::WideText(text);
    const DWORD size = ExpandEnvironmentStringsW(wide.c_str(), nullptr, 0);
    if (size == 0) return text;
    std::wstring expanded(size, L'\0');
    const DWORD length = ExpandEnvironmentStringsW(wide.c_str(), &expanded[0], size);
    if (length == 0 || length > size) return text;
    expanded.resize(length - 1);  // without its terminator
    return win32::SystemText(expanded);
}

uint32_t IPlatform::CreateProtectedDirectory(const std::string& path) {
    SECURITY_ATTRIBUTES attributes{};
    attributes.nLength = sizeof attributes;
    if (!ConvertStringSecurityDescriptorToSecurityDescriptorW(
            kProtectedDirectorySecurity, SDDL_REVISION_1, &attributes.lpSecurityDescriptor,
            nullptr)) {
        return GetLastError();
    }
    const std::wstring wide = win32::WideText(ShownPath(path));
    const BOOL made = CreateDirectoryW(wide.c_str(), &attributes);
    const DWORD error = made ? ERROR_SUCCESS : GetLastError();
    LocalFree(attributes.lpSecurityDescriptor);
    return error;
}

}  // namespace qm
