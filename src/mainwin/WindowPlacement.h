#pragma once

#include <cstdint>

class QWidget;

namespace orx {

// The main window's stored placement: its normal (restored) rectangle and whether it was
// maximised, section "Layout" of the settings store. left == -1 means no stored rectangle.
struct WindowPlacement {
    int32_t left = -1;
    int32_t top = -1;
    int32_t width = -1;
    int32_t height = -1;
    int32_t maximized = 0;

    static WindowPlacement Load();
    void Save() const;

    // The placement of a window as it is now; a minimised window counts as not maximised.
    static WindowPlacement Capture(const QWidget& window);
    // Moves the window to the stored rectangle (when there is one) and, when maximised, marks
    // it to be shown maximised with that rectangle as its restored one. Values are used without
    // checking that they lie on a screen.
    void Apply(QWidget& window) const;
};

}  // namespace orx
