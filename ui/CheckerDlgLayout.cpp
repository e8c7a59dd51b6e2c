// The main window's size, layout and scale: its smallest size, its place in
// the work area, the layout that follows a resize or a new scale, and the
// group box's text of two lines.
#include <algorithm>

#include "ui/CheckerDlg.h"
#include "ui/CheckerDlgParts.h"
#include "ui/Dpi.h"
#include "ui/TextFit.h"
#include "ui/WideText.h"
#include "ui/WindowFit.h"

namespace {

// The smallest window, in dialog units: a list of some five rows below its
// header, and side by side controls no closer than this.
constexpr int kListLeastHeight = 60;
constexpr int kLeastGap = 4;

}  // namespace

SIZE CCheckerDlg::DialogUnits() const {
    RECT units{0, 0, 4, 8};
    ::MapDialogRect(m_hWnd, &units);
    return {units.right, units.bottom};
}

SIZE CCheckerDlg::MinimumClientSize() const {
    RECT least{0, 0, kLeastGap, kListLeastHeight};
    ::MapDialogRect(m_hWnd, &least);
    SIZE minimum = m_layout.MinimumClient({least.bottom, least.bottom}, least.right);
    // The group box's resting text, each of its lines whole, with the room
    // the box keeps beside it (a longer summary wraps).
    if (m_hResultGroup != nullptr) {
        const std::string& text = m_strResultGroup;
        HDC dc = ::GetDC(m_hResultGroup);
        HGDIOBJ oldFont = ::SelectObject(
            dc, reinterpret_cast<HGDIOBJ>(::SendMessageA(m_hResultGroup, WM_GETFONT, 0, 0)));
        RECT extent{0, 0, 0, 0};
        ::DrawTextW(dc, Wide(text).c_str(), -1, &extent, DT_CALCRECT | DT_NOPREFIX);
        TEXTMETRICA metrics{};
        ::GetTextMetricsA(dc, &metrics);
        ::SelectObject(dc, oldFont);
        ::ReleaseDC(m_hResultGroup, dc);
        const RECT group = m_layout.BaseOf(m_hResultGroup);
        const SIZE client = m_layout.BaseClient();
        const LONG needed =
            group.left + extent.right + 2 * metrics.tmHeight + client.cx - group.right;
        if (needed > minimum.cx) minimum.cx = needed;
    }
    return minimum;
}

SIZE CCheckerDlg::MinimumWindowSize() const {
    return dpi::WindowSizeForClient(m_hWnd, MinimumClientSize());
}

// The dialog manager has placed the window where the template says, moved
// into the work area when it lay outside; a window larger than the work area
// (the template at a large scale, a screen with a taskbar) is shrunk to fit.
void CCheckerDlg::StartInsideWorkArea() {
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    if (!::GetMonitorInfoA(::MonitorFromWindow(m_hWnd, MONITOR_DEFAULTTONEAREST), &monitor)) {
        return;
    }
    RECT window{};
    ::GetWindowRect(m_hWnd, &window);
    const RECT place = FitWindowIntoWorkArea(window, monitor.rcWork, MinimumWindowSize());
    if (::EqualRect(&place, &window)) return;
    ::SetWindowPos(m_hWnd, nullptr, place.left, place.top, place.right - place.left,
                   place.bottom - place.top, SWP_NOZORDER | SWP_NOACTIVATE);
}

bool CCheckerDlg::OnSize(WPARAM kind, LPARAM, LRESULT&) {
    if (kind != SIZE_MINIMIZED && !m_bDpiChanging) m_layout.Apply();
    return false;
}

bool CCheckerDlg::OnGetMinMaxInfo(WPARAM, LPARAM info, LRESULT& result) {
    auto& limits = *reinterpret_cast<MINMAXINFO*>(info);
    result = 0;
    if (m_bDpiChanging) {
        // The window takes the place Windows suggests for the new scale,
        // whatever the limits of the old one.
        limits.ptMinTrackSize = POINT{0, 0};
        limits.ptMaxTrackSize.x = std::max(limits.ptMaxTrackSize.x, m_suggestedSize.cx);
        limits.ptMaxTrackSize.y = std::max(limits.ptMaxTrackSize.y, m_suggestedSize.cy);
        return true;
    }
    // Before the layout is taken, the system's limits hold.
    if (!m_layout.Captured()) return false;
    const SIZE minimum = MinimumWindowSize();
    limits.ptMinTrackSize = POINT{minimum.cx, minimum.cy};
    return true;
}

// After a move to a monitor of another scale: the places taken follow the
// dialog's new font, the controls take them for the window's size now, the
// texts are fitted anew (a bitmap face does not scale in step), and the
// layout goes on from there.
bool CCheckerDlg::OnRelayout(WPARAM, LPARAM, LRESULT& result) {
    m_bDpiChanging = false;
    const SIZE units = DialogUnits();
    m_layout.Scale(units, m_dialogUnits);
    m_dialogUnits = units;
    m_layout.Apply();
    FitTextsToControls(m_hWnd);
    m_layout.Rebase();
    UseAlarmFont();  // the dialog manager gave every control the new font
    result = 0;
    return true;
}

// The window moved to a monitor of another scale: the images and the column
// widths (as the operator left them, scaled) follow, and the window takes the
// place Windows suggests. The default processing after this lets the dialog
// manager scale the controls and their font.
bool CCheckerDlg::OnScaleChanged(int dpi, const RECT* suggested) {
    const int previous = m_nDpi;
    m_nDpi = dpi;
    for (int column = 0; column < qm::kColumnCount; ++column) {
        const int width = m_listResult.GetColumnWidth(column);
        const int standard = checker::kColumns[column].width;
        // Widths as the window set them are scaled anew, so they never drift.
        m_listResult.SetColumnWidth(column, width == dpi::Scale(standard, previous)
                                                ? dpi::Scale(standard, m_nDpi)
                                                : ::MulDiv(width, m_nDpi, previous));
    }
    SetStatusImages();
    SetButtonImages();
    m_bDpiChanging = true;
    if (suggested != nullptr) {
        m_suggestedSize =
            SIZE{suggested->right - suggested->left, suggested->bottom - suggested->top};
    }
    dpi::MoveToSuggested(m_hWnd, suggested);
    PostMessage(checker::kRelayoutMessage);
    return false;
}

void CCheckerDlg::SetGroupText(const std::string& text) {
    if (m_hResultGroup == nullptr) return;
    CWindow group(m_hResultGroup);
    const std::string before = group.GetWindowText();
    if (before == text) return;
    group.SetWindowText(text);
    // A group box paints only its new text: the strip of the old one is
    // erased through the window. A text may take two lines (BS_MULTILINE):
    // the strip is as high as the higher of the two. It is painted when the
    // thread next waits, after any key or click that came meanwhile, so that
    // a Stop never waits for a repaint.
    RECT strip{};
    ::GetWindowRect(m_hResultGroup, &strip);
    ::MapWindowPoints(nullptr, m_hWnd, reinterpret_cast<POINT*>(&strip), 2);
    strip.bottom = strip.top + std::max(GroupTextHeight(before), GroupTextHeight(text)) + 1;
    ::RedrawWindow(m_hWnd, &strip, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

int CCheckerDlg::GroupTextHeight(const std::string& text) const {
    HDC dc = ::GetDC(m_hResultGroup);
    HGDIOBJ oldFont = ::SelectObject(
        dc, reinterpret_cast<HGDIOBJ>(::SendMessageA(m_hResultGroup, WM_GETFONT, 0, 0)));
    TEXTMETRICA metrics{};
    ::GetTextMetricsA(dc, &metrics);
    RECT group{};
    ::GetClientRect(m_hResultGroup, &group);
    // The box keeps about a character's room on each side of its text.
    RECT extent{0, 0, std::max(1L, group.right - 2 * metrics.tmHeight), 0};
    ::DrawTextW(dc, Wide(text).c_str(), -1, &extent, DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX);
    ::SelectObject(dc, oldFont);
    ::ReleaseDC(m_hResultGroup, dc);
    return std::max(static_cast<int>(extent.bottom), static_cast<int>(metrics.tmHeight));
}
