#include "mainwin/HotKeyTable.h"

#include <gtest/gtest.h>

#include "app/IniFile.h"
#include "mainwin/VirtualKey.h"
#include "support/TempFolder.h"

namespace orx {
namespace {

TEST(HotKeyTableTest, StoredValuesWrittenOnWindowsMatchTheSameKeys) {
    test::TempFolder dir;
    SetIniPath(dir / "brenvik.ini");
    // Shift+1, no key, Ctrl+Alt+F5, the Left arrow with the extended flag the Windows hot-key
    // control records for it, keypad +.
    const std::string keys = "Key0=65585\r\nKey1=0\r\nKey2=393332\r\nKey3=524325\r\nKey4=107\r\n";
    test::WriteFile(dir / "brenvik.ini", "[HotKeys]\r\n" + keys);
    HotKeyTable table;
    table.Load();
    const auto match = [&](int key, Qt::KeyboardModifiers modifiers) {
        return table.Match(VirtualKeyFromQt(key, modifiers), HotKeyModifiers(modifiers));
    };
    EXPECT_EQ(match(Qt::Key_Exclam, Qt::ShiftModifier), 0);  // the key, not the character
    EXPECT_EQ(match(Qt::Key_F5, Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier), 2);
    EXPECT_EQ(match(Qt::Key_F5, Qt::ControlModifier), -1);
    EXPECT_EQ(match(Qt::Key_Plus, Qt::KeypadModifier), 4);
    EXPECT_EQ(match(Qt::Key_Plus, Qt::ShiftModifier), -1);  // the '=' key with Shift
    EXPECT_EQ(VirtualKeyFromQt(Qt::Key_7, Qt::KeypadModifier), 0x67u);
    EXPECT_EQ(match(Qt::Key_unknown, Qt::NoModifier), -1);
    // The extended flag is disregarded: the arrow key works, with exactly its own modifiers.
    EXPECT_EQ(match(Qt::Key_Left, Qt::NoModifier), 3);
    EXPECT_EQ(match(Qt::Key_Left, Qt::ShiftModifier), -1);
    EXPECT_EQ(match(Qt::Key_Right, Qt::NoModifier), -1);
    EXPECT_EQ(VirtualKeyFromQt(Qt::Key_F24, {}), 0x87u);  // the end of the function keys
    EXPECT_EQ(VirtualKeyFromQt(Qt::Key_Home, Qt::KeypadModifier), 0x24u);  // NumLock off

    table.keys[3] = 0x20052;  // Ctrl+R
    table.Save();
    HotKeyTable again;
    again.Load();
    EXPECT_EQ(again.keys, table.keys);
}

}  // namespace
}  // namespace orx
