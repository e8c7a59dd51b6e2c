#include "ui/Dpi.h"

#include <commctrl.h>

#include "res/resource.h"

namespace dpi {

int OfWindow(HWND window) {
    using GetDpiForWindowFn = UINT(WINAPI*)(HWND);
    static const auto getDpiForWindow = reinterpret_cast<GetDpiForWindowFn>(reinterpret_cast<void*>(
        ::GetProcAddress(::GetModuleHandleA("user32.dll"), "GetDpiForWindow")));
    if (getDpiForWindow != nullptr && window != nullptr) {
        const UINT value = getDpiForWindow(window);
        if (value != 0) return static_cast<int>(value);
    }
    HDC screen = ::GetDC(nullptr);
    const int value = screen != nullptr ? ::GetDeviceCaps(screen, LOGPIXELSY) : kStandard;
    if (screen != nullptr) ::ReleaseDC(nullptr, screen);
    return value > 0 ? value : kStandard;
}

void MoveToSuggested(HWND window, const RECT* suggested) {
    if (suggested != nullptr) {
        ::SetWindowPos(window, nullptr, suggested->left, suggested->top,
                       suggested->right - suggested->left, suggested->bottom - suggested->top,
                       SWP_NOZORDER | SWP_NOACTIVATE);
    }
}

SIZE WindowSizeForClient(HWND window, SIZE client) {
    using AdjustForDpiFn = BOOL(WINAPI*)(RECT*, DWORD, BOOL, DWORD, UINT);
    static const auto adjustForDpi = reinterpret_cast<AdjustForDpiFn>(reinterpret_cast<void*>(
        ::GetProcAddress(::GetModuleHandleA("user32.dll"), "AdjustWindowRectExForDpi")));
    const auto style = static_cast<DWORD>(::GetWindowLongPtrA(window, GWL_STYLE));
    const auto exStyle = static_cast<DWORD>(::GetWindowLongPtrA(window, GWL_EXSTYLE));
    RECT rect{0, 0, client.cx, client.cy};
    if (adjustForDpi != nullptr) {
        adjustForDpi(&rect, style, FALSE, exStyle, static_cast<UINT>(OfWindow(window)));
    } else {
        ::AdjustWindowRectEx(&rect, style, FALSE, exStyle);
    }
    return {rect.right - rect.left, rect.bottom - rect.top};
}

Bitmap Logo(int dpi, int width, int height) {
    return {dpi <= kStandard ? static_cast<UINT>(IDB_LOGO) : static_cast<UINT>(IDB_LOGO_2X),
            Scale(width, dpi), Scale(height, dpi)};
}

HBITMAP StretchedCopy(HBITMAP bitmap, int width, int height) {
    BITMAP source{};
    if (bitmap == nullptr || ::GetObjectA(bitmap, sizeof source, &source) == 0) return nullptr;
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    HBITMAP copy = ::CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (copy == nullptr) return nullptr;
    HDC from = ::CreateCompatibleDC(nullptr);
    HDC to = ::CreateCompatibleDC(nullptr);
    HGDIOBJ oldFrom = ::SelectObject(from, bitmap);
    HGDIOBJ oldTo = ::SelectObject(to, copy);
    ::SetStretchBltMode(to, HALFTONE);
    ::SetBrushOrgEx(to, 0, 0, nullptr);
    ::StretchBlt(to, 0, 0, width, height, from, 0, 0, source.bmWidth, source.bmHeight, SRCCOPY);
    ::SelectObject(from, oldFrom);
    ::SelectObject(to, oldTo);
    ::DeleteDC(from);
    ::DeleteDC(to);
    return copy;
}

HBITMAP MappedBitmap(UINT bitmapId, COLORREF from, COLORREF to, int width, int height, int dpi) {
    COLORMAP map{from, to};
    HBITMAP mapped = ::CreateMappedBitmap(::GetModuleHandleA(nullptr), bitmapId, 0, &map, 1);
    if (mapped == nullptr) return nullptr;
    if (dpi == kStandard) {
        return static_cast<HBITMAP>(
            ::CopyImage(mapped, IMAGE_BITMAP, width, height, LR_COPYDELETEORG));
    }
    HBITMAP stretched = StretchedCopy(mapped, width, height);
    ::DeleteObject(mapped);
    return stretched;
}

}  // namespace dpi
