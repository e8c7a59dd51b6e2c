// Finding a control of a dialog by its kind when the template gives it no
// id of its own (IDC_STATIC): the first child of a window class whose style
// has a given type, such as the group box of a dialog or its icon picture.
// Header only, so that the drive tools, which run in another process, find
// the controls the same way.
#pragma once

#include <windows.h>

// The first child of `parent` of class `className` whose style masked with
// `typeMask` is `type`; nullptr when there is none.
inline HWND FirstChildOfType(HWND parent, const char* className, DWORD typeMask, DWORD type) {
    for (HWND child = ::GetWindow(parent, GW_CHILD); child != nullptr;
         child = ::GetWindow(child, GW_HWNDNEXT)) {
        char name[16] = "";
        ::GetClassNameA(child, name, sizeof name);
        const auto style = static_cast<DWORD>(::GetWindowLongPtrA(child, GWL_STYLE));
        if (::lstrcmpiA(name, className) == 0 && (style & typeMask) == type) return child;
    }
    return nullptr;
}

// The first group box of a dialog.
inline HWND FirstGroupBox(HWND dialog) {
    return FirstChildOfType(dialog, "Button", BS_TYPEMASK, BS_GROUPBOX);
}
