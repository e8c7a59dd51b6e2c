// Labels, check boxes and read-only fields that grow to show their whole
// text. The templates are laid out for the 8-point "MS Sans Serif" of
// Windows; a system that substitutes a wider face, or a scale whose face is
// wider than the scale (the "Installed on" dates), would clip the longer
// texts. A control grows only into free room: to the right up to the next
// control on its line or the edge of its group box; a label or field that
// its right neighbour stops, to the left up to the control before it; a
// label that wraps, downwards by whole lines. Where the text fits already,
// nothing moves. A read-only field fits the text it holds now.
#pragma once

#include <windows.h>

void FitTextsToControls(HWND dialog);
