// The controls of a resizable dialog as its size changes. Each control keeps
// its distance to the edges it is anchored to: a control that stretches (the
// result list and its group box) to all four, one that lies centred stays
// centred, any other keeps to the side and to the top or bottom edge it lies
// nearer. The layout is taken from the controls as they stand at one client
// size; every other size places them from that, so nothing drifts.
//
// The smallest client size is where two controls side by side would come
// closer than a gap, or a stretching control would get smaller than its
// least size: the header fields and the rows of buttons never overlap.
#pragma once

#include <windows.h>

#include <vector>

namespace layout {

enum Anchor : unsigned {
    kLeft = 1,
    kRight = 2,  // with kLeft: stretches
    kCentreX = 4,
    kTop = 8,
    kBottom = 16,  // with kTop: stretches
};

// The anchors of a control at `place` in a client of `client`; a
// stretching control anchors to all four edges.
unsigned AnchorsByPlace(const RECT& place, SIZE client, bool stretches);

// Where a control at `base` in a client of `baseClient` lies in a client of
// `client`.
RECT Place(const RECT& base, unsigned anchors, SIZE baseClient, SIZE client);

struct Item {
    RECT base;
    unsigned anchors;
};

// The smallest client size, at most `baseClient`: no two items side by side
// (overlapping on the other axis, neither holding the other) come closer
// than `gap`, or than they are already when closer; no stretching item gets
// narrower or lower than `least`, or than it is already when smaller.
SIZE MinimumClient(const std::vector<Item>& items, SIZE baseClient, SIZE least, int gap);

// The controls of one dialog, taken as they stand.
class CDialogLayout {
public:
    // Takes the place of every child of `dialog`, laid out for a client of
    // `client` (the template's, whatever size the window has now), and
    // anchors it by that place; `stretching` take the free space, `widening`
    // the free width (keeping to the top).
    void Capture(HWND dialog, const std::vector<HWND>& stretching, SIZE client,
                 const std::vector<HWND>& widening = {});
    // Takes the places anew at the client size now, keeping the anchors
    // (after the controls were scaled or fitted to their texts).
    void Rebase();
    // Scales the places taken by `numerator` / `denominator` on each axis
    // (a new font of the dialog, as after a move to a monitor of another
    // scale).
    void Scale(SIZE numerator, SIZE denominator);
    // Places every control for the dialog's client size now.
    void Apply() const;

    bool Captured() const { return m_hDialog != nullptr; }
    SIZE BaseClient() const { return m_baseClient; }
    SIZE MinimumClient(SIZE least, int gap) const;
    // The place a control was taken at; an empty rectangle for no control
    // of the layout.
    RECT BaseOf(HWND control) const;

private:
    struct Control {
        HWND window;
        Item item;
    };
    HWND m_hDialog = nullptr;
    SIZE m_baseClient{0, 0};
    std::vector<Control> m_controls;
};

}  // namespace layout
