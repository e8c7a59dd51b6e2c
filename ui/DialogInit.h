// Dialog initialisation data: the entries that a template's RT_DLGINIT
// resource (type 240, same id as the template) puts into its list and combo
// boxes before the first data exchange.
#pragma once

#include <windows.h>

// Adds the strings of resource `templateId` to the controls of `dialog`;
// nothing when the template has no such data.
void ExecuteDlgInit(HWND dialog, UINT templateId);
