#include "ui/SplitterLayout.h"

#include <algorithm>
#include <cstdint>

namespace orx {

namespace {

// Offset of the bar from the start of the area (extent pixels long) for a position. 64-bit
// arithmetic: a stored position is not range-checked and must not overflow.
int BarOffset(int extent, int thousandths) {
    const int64_t offset = static_cast<int64_t>(extent) * thousandths / 1000;
    const int64_t last = std::max(0, extent - kSplitterBarPx);
    return static_cast<int>(std::clamp<int64_t>(offset, 0, last));
}

}  // namespace

std::optional<SplitterGeometry> ComputeSplitterLayout(SplitterOrientation orientation,
                                                      int clientWidth, int clientHeight,
                                                      int thousandths) {
    if (clientWidth <= 0 || clientHeight <= 0) {
        return std::nullopt;
    }
    SplitterGeometry g;
    if (orientation == SplitterOrientation::Vertical) {
        const int left = std::min(kSplitterBandPx, clientWidth);
        const int extent = clientWidth - left;
        const int x = left + BarOffset(extent, thousandths);
        g.firstPane = {left, 0, x - left, clientHeight};
        g.bar = {x, 0, std::min(kSplitterBarPx, clientWidth - x), clientHeight};
        g.secondPane = {x + kSplitterBarPx, 0, std::max(0, clientWidth - (x + kSplitterBarPx)),
                        clientHeight};
    } else {
        const int top = std::min(kSplitterBandPx, clientHeight);
        const int extent = clientHeight - top;
        const int y = top + BarOffset(extent, thousandths);
        g.firstPane = {0, top, clientWidth, y - top};
        g.bar = {0, y, clientWidth, std::min(kSplitterBarPx, clientHeight - y)};
        g.secondPane = {0, y + kSplitterBarPx, clientWidth,
                        std::max(0, clientHeight - (y + kSplitterBarPx))};
    }
    return g;
}

std::optional<int> SplitterReleasePosition(int extent, int pointer) {
    const int area = extent - kSplitterBandPx;
    if (area <= 0) {
        return std::nullopt;
    }
    int pos = std::max(pointer, kSplitterMinPx);
    pos = std::min(pos, extent - kSplitterEndMarginPx);
    // Measured from the band, like the layout, so the bar settles where it was released; the
    // division rounds up because the layout's rounds down.
    const int64_t offset = std::clamp(pos - kSplitterBandPx, 0, area);
    const int64_t p = (offset * 1000 + area - 1) / area;
    return static_cast<int>(std::min<int64_t>(p, 1000));
}

}  // namespace orx
