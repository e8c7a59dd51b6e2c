#include "ui/TextFit.h"

#include <algorithm>
#include <string>
#include <vector>

namespace {

constexpr int kGap = 3;     // pixels kept free between neighbours
constexpr int kMargin = 6;  // pixels kept free inside a group box or the dialog

enum class Kind { Other, Label, WrappingLabel, CheckBox, GroupBox, ReadOnlyField };

std::string ClassOf(HWND window) {
    char name[32] = "";
    ::GetClassNameA(window, name, sizeof name);
    return name;
}

Kind KindOf(HWND control) {
    const auto style = static_cast<DWORD>(::GetWindowLongPtrA(control, GWL_STYLE));
    const std::string cls = ClassOf(control);
    if (::lstrcmpiA(cls.c_str(), "Static") == 0) {
        switch (style & SS_TYPEMASK) {
            case SS_LEFT:
                return Kind::WrappingLabel;
            case SS_LEFTNOWORDWRAP:
                return Kind::Label;
            default:
                return Kind::Other;  // centred, icons, bitmaps, frames
        }
    }
    if (::lstrcmpiA(cls.c_str(), "Edit") == 0) {
        return (style & ES_READONLY) != 0 && (style & ES_MULTILINE) == 0 ? Kind::ReadOnlyField
                                                                         : Kind::Other;
    }
    if (::lstrcmpiA(cls.c_str(), "Button") == 0) {
        switch (style & BS_TYPEMASK) {
            case BS_CHECKBOX:
            case BS_AUTOCHECKBOX:
            case BS_3STATE:
            case BS_AUTO3STATE:
            case BS_RADIOBUTTON:
            case BS_AUTORADIOBUTTON:
                return Kind::CheckBox;
            case BS_GROUPBOX:
                return Kind::GroupBox;
            default:
                return Kind::Other;
        }
    }
    return Kind::Other;
}

RECT RectIn(HWND dialog, HWND control) {
    RECT rect{};
    ::GetWindowRect(control, &rect);
    ::MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

bool Contains(const RECT& outer, const RECT& inner) {
    return outer.left <= inner.left && outer.top <= inner.top && outer.right >= inner.right &&
           outer.bottom >= inner.bottom;
}

// The room the text needs in the control's font; `width` > 0 wraps at that
// width. `breakRoom`: with the room a static control needs not to break the
// line early.
SIZE TextExtent(HWND control, int width, bool breakRoom = true) {
    wchar_t text[512] = L"";
    ::GetWindowTextW(control, text, 512);
    HDC dc = ::GetDC(control);
    auto font = reinterpret_cast<HFONT>(::SendMessageA(control, WM_GETFONT, 0, 0));
    HGDIOBJ previous = font != nullptr ? ::SelectObject(dc, font) : nullptr;
    UINT format = DT_CALCRECT | DT_LEFT;
    format |= width > 0 ? DT_WORDBREAK : DT_SINGLELINE;
    if (::GetWindowLongPtrA(control, GWL_STYLE) & SS_NOPREFIX) format |= DT_NOPREFIX;
    RECT rect{0, 0, std::max(width, 0), 0};
    ::DrawTextW(dc, text, -1, &rect, format);
    // A static control breaks a line a little before the measured extent
    // (the last character went missing): one average character of room.
    TEXTMETRICA metrics{};
    ::GetTextMetricsA(dc, &metrics);
    if (width <= 0 && breakRoom) rect.right += metrics.tmAveCharWidth;
    if (previous != nullptr) ::SelectObject(dc, previous);
    ::ReleaseDC(control, dc);
    return {rect.right - rect.left, rect.bottom - rect.top};
}

// The width a single-line field needs to show its whole text: the text, the
// field's margins, its border and a pixel for the caret.
int FieldNeeds(HWND field) {
    wchar_t text[512] = L"";
    const int length = ::GetWindowTextW(field, text, 512);
    if (length <= 0) return 0;
    HDC dc = ::GetDC(field);
    auto font = reinterpret_cast<HFONT>(::SendMessageA(field, WM_GETFONT, 0, 0));
    HGDIOBJ previous = font != nullptr ? ::SelectObject(dc, font) : nullptr;
    SIZE extent{};
    ::GetTextExtentPoint32W(dc, text, length, &extent);
    if (previous != nullptr) ::SelectObject(dc, previous);
    ::ReleaseDC(field, dc);
    const auto margins = static_cast<DWORD>(::SendMessageA(field, EM_GETMARGINS, 0, 0));
    RECT window{}, client{};
    ::GetWindowRect(field, &window);
    ::GetClientRect(field, &client);
    const int border = (window.right - window.left) - (client.right - client.left);
    return extent.cx + LOWORD(margins) + HIWORD(margins) + border + 1;
}

// How far a control may grow: up to its neighbours on its line and below
// it, inside its group box and the dialog's margin.
struct Room {
    int left;
    int right;
    int bottom;
};

Room RoomAround(HWND dialog, HWND control, const RECT& rect, const std::vector<HWND>& siblings) {
    RECT client{};
    ::GetClientRect(dialog, &client);
    Room room{kMargin, static_cast<int>(client.right) - kMargin,
              static_cast<int>(client.bottom) - kMargin};
    for (HWND sibling : siblings) {
        // The dialog itself is not shown yet: look at the control's own style.
        if (sibling == control || !(::GetWindowLongPtrA(sibling, GWL_STYLE) & WS_VISIBLE)) {
            continue;
        }
        const RECT other = RectIn(dialog, sibling);
        if (KindOf(sibling) == Kind::GroupBox && Contains(other, rect)) {
            room.left = std::max(room.left, static_cast<int>(other.left) + kMargin);
            room.right = std::min(room.right, static_cast<int>(other.right) - kMargin);
            room.bottom = std::min(room.bottom, static_cast<int>(other.bottom) - kMargin);
            continue;
        }
        const bool sameLine = other.top < rect.bottom && other.bottom > rect.top;
        if (sameLine && other.left >= rect.right - 1) {
            room.right = std::min(room.right, static_cast<int>(other.left) - kGap);
        }
        if (sameLine && other.right <= rect.left + 1) {
            room.left = std::max(room.left, static_cast<int>(other.right) + kGap);
        }
        const bool sameColumn = other.left < rect.right && other.right > rect.left;
        if (sameColumn && other.top >= rect.bottom - 1) {
            room.bottom = std::min(room.bottom, static_cast<int>(other.top) - kGap);
        }
    }
    return room;
}

void Fit(HWND dialog, HWND control, Kind kind, const std::vector<HWND>& siblings) {
    const RECT rect = RectIn(dialog, control);
    const Room room = RoomAround(dialog, control, rect, siblings);
    const int box = kind == Kind::CheckBox ? ::GetSystemMetrics(SM_CXMENUCHECK) + 6 : 0;
    const int needed =
        kind == Kind::ReadOnlyField ? FieldNeeds(control) : TextExtent(control, 0).cx + box + 2;
    int left = rect.left;
    int width = rect.right - rect.left;
    int height = rect.bottom - rect.top;
    if (needed > width)
        width = std::max(width, std::min(needed, room.right - static_cast<int>(rect.left)));
    // A text still cut because its neighbour on the right stops it (a label
    // before its field): into the free room on its left, as far as the text
    // itself needs.
    const int whole =
        kind == Kind::ReadOnlyField ? needed : TextExtent(control, 0, false).cx + box + 2;
    if (whole > width && (kind == Kind::Label || kind == Kind::ReadOnlyField)) {
        const int more = std::min(whole - width, left - room.left);
        if (more > 0) {
            left -= more;
            width += more;
        }
    }
    if (needed > width && kind == Kind::WrappingLabel) {
        const int lines = TextExtent(control, width).cy;
        height = std::max(height, std::min(lines, room.bottom - static_cast<int>(rect.top)));
    }
    if (left != rect.left) {
        ::SetWindowPos(control, nullptr, left, rect.top, width, height,
                       SWP_NOZORDER | SWP_NOACTIVATE);
    } else if (width != rect.right - rect.left || height != rect.bottom - rect.top) {
        ::SetWindowPos(control, nullptr, 0, 0, width, height,
                       SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
}

}  // namespace

void FitTextsToControls(HWND dialog) {
    std::vector<HWND> children;
    for (HWND child = ::GetWindow(dialog, GW_CHILD); child != nullptr;
         child = ::GetWindow(child, GW_HWNDNEXT)) {
        children.push_back(child);
    }
    for (HWND child : children) {
        const Kind kind = KindOf(child);
        if (kind == Kind::Label || kind == Kind::WrappingLabel || kind == Kind::CheckBox ||
            kind == Kind::ReadOnlyField) {
            Fit(dialog, child, kind, children);
        }
    }
}
