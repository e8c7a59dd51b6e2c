// Where the main window starts: inside the work area of its monitor (the
// screen less the taskbar), shrunk to fit where it is larger, as a pure
// function of the sizes that Windows reports.
#pragma once

#include <windows.h>

// `window` (as the dialog manager created it) moved into `workArea` and, on
// an axis where it is larger, made as large as the work area, though never
// smaller than `minimum`; a window that fits keeps its place and size. A
// window larger than the work area even at its minimum starts at the work
// area's top left corner.
RECT FitWindowIntoWorkArea(const RECT& window, const RECT& workArea, SIZE minimum);
