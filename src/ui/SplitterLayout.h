#pragma once

#include <optional>

namespace orx {

// Pure geometry of a splitter bar dividing its parent's client area, kept apart from the widget
// so that it can be checked without a window system. Rectangles are left/top/width/height in the
// parent's client coordinates.
struct PaneRect {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
    bool operator==(const PaneRect&) const = default;
};

struct SplitterGeometry {
    PaneRect firstPane;  // upper (horizontal bar) or left (vertical bar)
    PaneRect bar;
    PaneRect secondPane;  // lower or right
    bool operator==(const SplitterGeometry&) const = default;
};

enum class SplitterOrientation {
    Horizontal = 0,  // bar between an upper and a lower pane, dragged up and down
    Vertical = 1,    // bar between a left and a right pane, dragged sideways
};

// Fixed sizes in pixels.
inline constexpr int kSplitterBandPx = 32;  // left free for the parent's tool bar
inline constexpr int kSplitterBarPx = 4;
inline constexpr int kSplitterMinPx = 64;  // a release is kept at least this far from the edge
inline constexpr int kSplitterEndMarginPx = 60;  // ... and at least this far from the far edge

// The geometry for a position in thousandths of the client extent below (right of) the band.
// Nothing when the client area is empty. Out-of-range positions (a hand-edited setting) keep the
// bar inside the area, so it can always be dragged back.
std::optional<SplitterGeometry> ComputeSplitterLayout(SplitterOrientation orientation,
                                                      int clientWidth, int clientHeight,
                                                      int thousandths);

// The position a drag released at pointer coordinate `pointer` (y for a horizontal bar, x for a
// vertical one) reports, given the client extent along the drag. The pointer is first kept
// between kSplitterMinPx and extent - kSplitterEndMarginPx; the result is then the position that
// ComputeSplitterLayout places the bar at that pixel (exact for extents up to 1032 pixels, where
// thousandths resolve every pixel). Nothing when the extent is no larger than the band.
std::optional<int> SplitterReleasePosition(int extent, int pointer);

}  // namespace orx
