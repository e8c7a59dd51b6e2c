#include "ui/WindowFit.h"

#include <algorithm>

namespace {

// One axis: the window's start and length, the work area's start and length.
void FitAxis(LONG& start, LONG& length, LONG areaStart, LONG areaLength, LONG least) {
    length = std::max(std::min(length, areaLength), std::min(least, length));
    const LONG latest = areaStart + areaLength - length;
    start = std::max(areaStart, std::min(start, latest));
}

}  // namespace

RECT FitWindowIntoWorkArea(const RECT& window, const RECT& workArea, SIZE minimum) {
    LONG left = window.left, top = window.top;
    LONG width = window.right - window.left, height = window.bottom - window.top;
    FitAxis(left, width, workArea.left, workArea.right - workArea.left, minimum.cx);
    FitAxis(top, height, workArea.top, workArea.bottom - workArea.top, minimum.cy);
    return {left, top, left + width, top + height};
}
