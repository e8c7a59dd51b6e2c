#include "platform/win32/PathMapping.h"

#include <windows.h>

#include "platform/Platform.h"
#include "platform/win32/Text.h"

namespace qm::win32 {

std::string MapPath(const std::string& path) {
    const PlatformRoots& roots = CurrentPlatformRoots();
    if (roots.driveRoot.empty() || path.empty()) return path;
    bool rooted = path[0] == '\\' || path[0] == '/';
    bool unc = path.size() >= 2 && (path[1] == '\\' || path[1] == '/');
    if (!rooted || unc) return path;
    std::string root = roots.driveRoot;
    while (!root.empty() && (root.back() == '\\' || root.back() == '/')) root.pop_back();
    return root + path;
}

std::wstring WidePath(const std::string& path) {
    std::wstring wide = ToWide(MapPath(path));
    // Short paths keep every rule of the system's path parsing as it was.
    if (wide.size() < MAX_PATH || wide.compare(0, 4, L"\\\\?\\") == 0) return wide;
    std::wstring full(wide.size() + MAX_PATH, L'\0');
    for (;;) {
        const DWORD length =
            GetFullPathNameW(wide.c_str(), static_cast<DWORD>(full.size()), &full[0], nullptr);
        if (length == 0) return wide;
        if (length < full.size()) {
            full.resize(length);
            break;
        }
        full.resize(length + 1);
    }
    if (full.compare(0, 2, L"\\\\") == 0) return L"\\\\?\\UNC\\" + full.substr(2);
    return L"\\\\?\\" + full;
}

std::string WindowsDirectory() {
    const PlatformRoots& roots = CurrentPlatformRoots();
    if (!roots.windowsDirectory.empty()) return roots.windowsDirectory;
    std::wstring buffer(MAX_PATH, L'\0');
    for (;;) {
        const UINT length = GetWindowsDirectoryW(&buffer[0], static_cast<UINT>(buffer.size()));
        if (length == 0) return std::string();
        if (length < buffer.size()) {
            buffer.resize(length);
            return FromWide(buffer);
        }
        buffer.resize(length + 1);  // the size it needs, terminator included
    }
}

}  // namespace qm::win32

namespace qm {

std::string ShownPath(const std::string& path) {
    // "\\qmw.\\tool.exe" and "C:\\WINDOWS.\\qmverify.lst": the path rules drop a
    // dot that ends a directory name and a directory named ".", and so does
    // the text shown.
    std::string shown = win32::MapPath(path);
    const auto isStop = [](char c) { return c == '\\' || c == ':'; };
    size_t dot = shown.find(".\\");
    while (dot != std::string::npos) {
        const char before = dot > 0 ? shown[dot - 1] : '\\';
        const bool parent = before == '.' && (dot < 2 || isStop(shown[dot - 2]));
        if (before == '\\') {
            shown.erase(dot, 2);  // "\\.\\" is the directory itself
        } else if (!isStop(before) && !parent) {
            shown.erase(dot, 1);
        } else {
            dot += 2;
        }
        dot = shown.find(".\\", dot);
    }
    return shown;
}

}  // namespace qm
