// The display scale a window is shown at, as its DPI (96 is 100 %), and the
// sizes of what the window draws at 100 % scaled to it. The dialog templates
// scale with their font; the images, the icon buttons' pixel offsets and the
// result list's column widths scale by these.
#pragma once

#include <windows.h>

namespace dpi {

constexpr int kStandard = 96;

// `pixels` at 100 % at `dpi`, rounded to the nearest pixel (MulDiv), as the
// artwork script sizes the images it draws for each scale.
inline int Scale(int pixels, int dpi) { return ::MulDiv(pixels, dpi, kStandard); }

// The DPI the window is drawn for: that of its monitor where Windows tells
// it (GetDpiForWindow, Windows 10 1607 on), else the screen's.
int OfWindow(HWND window);

// What WM_DPICHANGED says: the new DPI (its WPARAM; 96 when it names none).
// The message map hands it to the handler (OnDpiChanged in MessageMap.h).
inline int OfDpiChanged(WPARAM wParam) { return LOWORD(wParam) > 0 ? LOWORD(wParam) : kStandard; }
// Takes the place Windows suggests for the window at the new scale; nothing
// for nullptr.
void MoveToSuggested(HWND window, const RECT* suggested);

// The size of `window` with a client area of `client`, its frame and caption
// as Windows draws them at the window's DPI.
SIZE WindowSizeForClient(HWND window, SIZE client);

// The logo bitmap for a place of `width` x `height` at 100 %: the 1x bitmap
// up to 100 %, the 2x one above, and the size to draw it at.
struct Bitmap {
    UINT id;
    int width;
    int height;
};
Bitmap Logo(int dpi, int width, int height);

// Bitmap `bitmapId` of the program's resources with its colour `from`
// replaced by `to` (a colour table entry: the logo's white background), then
// scaled to `width` x `height`: at 100 % as it always was (CopyImage), at
// other scales with each pixel the average of what it covers. The caller
// owns it; nullptr when it cannot be made.
HBITMAP MappedBitmap(UINT bitmapId, COLORREF from, COLORREF to, int width, int height, int dpi);

// A copy of `bitmap` at `width` x `height`, each pixel the average of what it
// covers (HALFTONE), as a 32-bit DIB section; nullptr if none can be made.
HBITMAP StretchedCopy(HBITMAP bitmap, int width, int height);

}  // namespace dpi
