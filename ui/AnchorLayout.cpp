#include "ui/AnchorLayout.h"

#include <algorithm>

namespace layout {

namespace {

// How far an edge moves as the client grows by two pixels: 0 (it stays), 1
// (a centred control) or 2 (it follows the far edge). Twice, so that a
// centred control's half stays whole.
int LeadingRate(unsigned anchors, unsigned nearSide, unsigned farSide, unsigned centre) {
    if ((anchors & centre) != 0) return 1;
    return (anchors & farSide) != 0 && (anchors & nearSide) == 0 ? 2 : 0;
}
int TrailingRate(unsigned anchors, unsigned farSide, unsigned centre) {
    if ((anchors & centre) != 0) return 1;
    return (anchors & farSide) != 0 ? 2 : 0;
}

bool Holds(const RECT& outer, const RECT& inner) {
    return outer.left <= inner.left && outer.top <= inner.top && outer.right >= inner.right &&
           outer.bottom >= inner.bottom;
}

// One axis of an item: its leading and trailing edge and how they move.
struct Span {
    int lead, trail;
    int leadRate, trailRate;
    bool stretches;
};

Span SpanOf(const Item& item, bool horizontal) {
    const RECT& r = item.base;
    const unsigned a = item.anchors;
    if (horizontal) {
        return {r.left, r.right, LeadingRate(a, kLeft, kRight, kCentreX),
                TrailingRate(a, kRight, kCentreX), (a & (kLeft | kRight)) == (kLeft | kRight)};
    }
    return {r.top, r.bottom, LeadingRate(a, kTop, kBottom, 0), TrailingRate(a, kBottom, 0),
            (a & (kTop | kBottom)) == (kTop | kBottom)};
}

bool OverlapOn(const RECT& a, const RECT& b, bool horizontal) {
    return horizontal ? a.left < b.right && b.left < a.right : a.top < b.bottom && b.top < a.bottom;
}

// How far the client may shrink on one axis.
int MostShrink(const std::vector<Item>& items, int client, int least, int gap, bool horizontal) {
    long long most = client;
    // A distance that closes by `rate` half pixels for each pixel of shrink
    // keeps at least `keep` (or what it is, when less).
    auto limit = [&](int distance, int rate, int keep) {
        if (rate <= 0) return;
        const int allowed = distance - std::min(distance, keep);
        most = std::min(most, 2LL * allowed / rate);
    };
    for (size_t i = 0; i < items.size(); ++i) {
        const Span a = SpanOf(items[i], horizontal);
        limit(a.lead, a.leadRate, gap);                 // the near edge of the client
        limit(client - a.trail, 2 - a.trailRate, gap);  // the far edge
        if (a.stretches) limit(a.trail - a.lead, a.trailRate - a.leadRate, least);
        for (size_t j = 0; j < items.size(); ++j) {
            if (i == j) continue;
            const RECT& ra = items[i].base;
            const RECT& rb = items[j].base;
            if (!OverlapOn(ra, rb, !horizontal) || Holds(ra, rb) || Holds(rb, ra)) continue;
            const Span b = SpanOf(items[j], horizontal);
            if (a.trail > b.lead) continue;  // b is not after a
            limit(b.lead - a.trail, b.leadRate - a.trailRate, gap);
        }
    }
    return static_cast<int>(std::max(0LL, most));
}

}  // namespace

unsigned AnchorsByPlace(const RECT& place, SIZE client, bool stretches) {
    if (stretches) return kLeft | kRight | kTop | kBottom;
    unsigned anchors = 0;
    const int offCentre = place.left + place.right - client.cx;
    if (offCentre >= -2 && offCentre <= 2) {
        anchors |= kCentreX;
    } else {
        anchors |= place.left <= client.cx - place.right ? kLeft : kRight;
    }
    anchors |= place.top <= client.cy - place.bottom ? kTop : kBottom;
    return anchors;
}

RECT Place(const RECT& base, unsigned anchors, SIZE baseClient, SIZE client) {
    const int dx = client.cx - baseClient.cx;
    const int dy = client.cy - baseClient.cy;
    RECT r = base;
    // Half the growth, rounded toward minus infinity whatever its sign.
    const int half = dx >= 0 ? dx / 2 : -((1 - dx) / 2);
    if ((anchors & kCentreX) != 0) {
        r.left += half;
        r.right += half;
    } else if ((anchors & kRight) != 0) {
        if ((anchors & kLeft) == 0) r.left += dx;
        r.right += dx;
    }
    if ((anchors & kBottom) != 0) {
        if ((anchors & kTop) == 0) r.top += dy;
        r.bottom += dy;
    }
    return r;
}

SIZE MinimumClient(const std::vector<Item>& items, SIZE baseClient, SIZE least, int gap) {
    return {baseClient.cx - MostShrink(items, baseClient.cx, least.cx, gap, true),
            baseClient.cy - MostShrink(items, baseClient.cy, least.cy, gap, false)};
}

namespace {

SIZE ClientSize(HWND window) {
    RECT client{};
    ::GetClientRect(window, &client);
    return {client.right, client.bottom};
}

RECT RectIn(HWND dialog, HWND control) {
    RECT rect{};
    ::GetWindowRect(control, &rect);
    ::MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

}  // namespace

void CDialogLayout::Capture(HWND dialog, const std::vector<HWND>& stretching, SIZE client,
                            const std::vector<HWND>& widening) {
    m_hDialog = dialog;
    m_baseClient = client;
    m_controls.clear();
    for (HWND child = ::GetWindow(dialog, GW_CHILD); child != nullptr;
         child = ::GetWindow(child, GW_HWNDNEXT)) {
        const RECT place = RectIn(dialog, child);
        const bool stretches =
            std::find(stretching.begin(), stretching.end(), child) != stretching.end();
        const bool widens = std::find(widening.begin(), widening.end(), child) != widening.end();
        const unsigned anchors =
            widens ? kLeft | kRight | kTop : AnchorsByPlace(place, m_baseClient, stretches);
        m_controls.push_back({child, {place, anchors}});
    }
}

void CDialogLayout::Rebase() {
    if (m_hDialog == nullptr) return;
    m_baseClient = ClientSize(m_hDialog);
    for (Control& control : m_controls) control.item.base = RectIn(m_hDialog, control.window);
}

void CDialogLayout::Scale(SIZE numerator, SIZE denominator) {
    if (denominator.cx <= 0 || denominator.cy <= 0) return;
    auto x = [&](LONG v) { return ::MulDiv(v, numerator.cx, denominator.cx); };
    auto y = [&](LONG v) { return ::MulDiv(v, numerator.cy, denominator.cy); };
    m_baseClient = {x(m_baseClient.cx), y(m_baseClient.cy)};
    for (Control& control : m_controls) {
        RECT& r = control.item.base;
        r = {x(r.left), y(r.top), x(r.right), y(r.bottom)};
    }
}

void CDialogLayout::Apply() const {
    if (m_hDialog == nullptr || m_controls.empty()) return;
    const SIZE client = ClientSize(m_hDialog);
    if (client.cx <= 0 || client.cy <= 0) return;  // minimised
    HDWP moves = ::BeginDeferWindowPos(static_cast<int>(m_controls.size()));
    bool moved = false;
    for (const Control& control : m_controls) {
        const RECT place = Place(control.item.base, control.item.anchors, m_baseClient, client);
        const RECT now = RectIn(m_hDialog, control.window);
        if (::EqualRect(&place, &now)) continue;
        moved = true;
        if (moves != nullptr) {
            moves = ::DeferWindowPos(moves, control.window, nullptr, place.left, place.top,
                                     place.right - place.left, place.bottom - place.top,
                                     SWP_NOZORDER | SWP_NOACTIVATE);
        }
    }
    if (moves != nullptr) ::EndDeferWindowPos(moves);
    // A group box and the dialog's face leave traces of the old places.
    if (moved) {
        ::RedrawWindow(m_hDialog, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
    }
}

SIZE CDialogLayout::MinimumClient(SIZE least, int gap) const {
    std::vector<Item> items;
    for (const Control& control : m_controls) items.push_back(control.item);
    return layout::MinimumClient(items, m_baseClient, least, gap);
}

RECT CDialogLayout::BaseOf(HWND control) const {
    for (const Control& c : m_controls) {
        if (c.window == control) return c.item.base;
    }
    return RECT{0, 0, 0, 0};
}

}  // namespace layout
