#include "mainwin/WindowPlacement.h"

#include <gtest/gtest.h>
#include <QWidget>

#include "MainWinTestSupport.h"

namespace orx {
namespace {

using WindowPlacementTest = test::MainWinFixture;

TEST_F(WindowPlacementTest, MissingKeysMeanNoStoredRectangle) {
    const WindowPlacement p = WindowPlacement::Load();
    EXPECT_EQ(p.left, -1);
    EXPECT_EQ(p.width, -1);
    EXPECT_EQ(p.maximized, 0);
    QWidget window;
    window.setGeometry(10, 20, 300, 200);
    p.Apply(window);
    EXPECT_EQ(window.geometry(), QRect(10, 20, 300, 200));
    EXPECT_FALSE(window.windowState() & Qt::WindowMaximized);
}

TEST_F(WindowPlacementTest, MaximisedWindowKeepsItsRestoredRectangle) {
    {
        QWidget window;
        window.setGeometry(40, 50, 420, 310);
        window.showMaximized();
        QApplication::processEvents();
        const WindowPlacement p = WindowPlacement::Capture(window);
        EXPECT_EQ(p.maximized, 1);
        EXPECT_EQ(QRect(p.left, p.top, p.width, p.height), QRect(40, 50, 420, 310));
        p.Save();
    }
    EXPECT_EQ(GetIniInt("Layout", "Maximized", -1), 1);
    EXPECT_EQ(GetIniInt("Layout", "Left", 0), 40);
    EXPECT_EQ(GetIniInt("Layout", "Height", 0), 310);

    QWidget next;  // the next start opens maximised and restores to the stored rectangle
    WindowPlacement::Load().Apply(next);
    EXPECT_TRUE(next.windowState() & Qt::WindowMaximized);
    next.show();
    QApplication::processEvents();
    next.showNormal();
    QApplication::processEvents();
    EXPECT_EQ(next.geometry(), QRect(40, 50, 420, 310));
}

TEST_F(WindowPlacementTest, MinimisedWindowCountsAsNotMaximised) {
    QWidget window;
    window.setGeometry(5, 6, 320, 240);
    window.show();
    window.setWindowState(Qt::WindowMinimized);
    QApplication::processEvents();
    const WindowPlacement p = WindowPlacement::Capture(window);
    EXPECT_EQ(p.maximized, 0);
    EXPECT_EQ(QRect(p.left, p.top, p.width, p.height), QRect(5, 6, 320, 240));
}

}  // namespace
}  // namespace orx

ORX_QT_TEST_MAIN()
