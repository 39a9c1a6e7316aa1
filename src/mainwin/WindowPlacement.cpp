#include "mainwin/WindowPlacement.h"

#include <QWidget>

#include "app/IniFile.h"

namespace orx {

WindowPlacement WindowPlacement::Load() {
    WindowPlacement p;
    p.left = GetIniInt("Layout", "Left", -1);
    p.top = GetIniInt("Layout", "Top", -1);
    p.width = GetIniInt("Layout", "Width", -1);
    p.height = GetIniInt("Layout", "Height", -1);
    p.maximized = GetIniInt("Layout", "Maximized", 0);
    return p;
}

void WindowPlacement::Save() const {
    IniWriteBatch batch;
    WriteIniInt("Layout", "Left", left);
    WriteIniInt("Layout", "Top", top);
    WriteIniInt("Layout", "Width", width);
    WriteIniInt("Layout", "Height", height);
    WriteIniInt("Layout", "Maximized", maximized);
}

WindowPlacement WindowPlacement::Capture(const QWidget& window) {
    const QRect normal = window.isMaximized() || window.isMinimized() || window.isFullScreen()
                             ? window.normalGeometry()
                             : window.geometry();
    WindowPlacement p;
    p.left = normal.x();
    p.top = normal.y();
    p.width = normal.width();
    p.height = normal.height();
    p.maximized = window.isMaximized() && !window.isMinimized() ? 1 : 0;
    return p;
}

void WindowPlacement::Apply(QWidget& window) const {
    if (left != -1) {
        window.setGeometry(left, top, width, height);
    }
    if (maximized != 0) {
        window.setWindowState(window.windowState() | Qt::WindowMaximized);
    }
}

}  // namespace orx
