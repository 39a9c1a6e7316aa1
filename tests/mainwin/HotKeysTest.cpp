#include <gtest/gtest.h>

#include "MainWinTestSupport.h"
#include "app/IniFile.h"
#include "mainwin/HotKeyTable.h"
#include "mainwin/VirtualKey.h"

namespace orx {
namespace {

TEST(VirtualKey, QtKeysMapToWindowsCodes) {
    EXPECT_EQ(VirtualKeyFromQt(Qt::Key_A, Qt::NoModifier), 0x41u);
    EXPECT_EQ(VirtualKeyFromQt(Qt::Key_R, Qt::ShiftModifier), 0x52u);
    EXPECT_EQ(VirtualKeyFromQt(Qt::Key_Z, Qt::NoModifier), 0x5Au);
    EXPECT_EQ(VirtualKeyFromQt(Qt::Key_0, Qt::NoModifier), 0x30u);
    EXPECT_EQ(VirtualKeyFromQt(Qt::Key_9, Qt::NoModifier), 0x39u);
    EXPECT_EQ(VirtualKeyFromQt(Qt::Key_F1, Qt::NoModifier), 0x70u);
    EXPECT_EQ(VirtualKeyFromQt(Qt::Key_F24, Qt::NoModifier), 0x87u);
    EXPECT_EQ(VirtualKeyFromQt(Qt::Key_Left, Qt::NoModifier), 0x25u);
    EXPECT_EQ(VirtualKeyFromQt(Qt::Key_Down, Qt::NoModifier), 0x28u);
    EXPECT_EQ(VirtualKeyFromQt(Qt::Key_Insert, Qt::NoModifier), 0x2Du);
    EXPECT_EQ(VirtualKeyFromQt(Qt::Key_Delete, Qt::NoModifier), 0x2Eu);
    EXPECT_EQ(VirtualKeyFromQt(Qt::Key_Home, Qt::NoModifier), 0x24u);
    EXPECT_EQ(VirtualKeyFromQt(Qt::Key_PageDown, Qt::NoModifier), 0x22u);
    EXPECT_EQ(VirtualKeyFromQt(Qt::Key_Space, Qt::NoModifier), 0x20u);
    EXPECT_EQ(VirtualKeyFromQt(Qt::Key_Return, Qt::NoModifier), 0x0Du);
    EXPECT_EQ(VirtualKeyFromQt(Qt::Key_Escape, Qt::NoModifier), 0x1Bu);
    EXPECT_EQ(VirtualKeyFromQt(Qt::Key_Backspace, Qt::NoModifier), 0x08u);
    EXPECT_EQ(VirtualKeyFromQt(Qt::Key_Minus, Qt::NoModifier), 0xBDu);
    EXPECT_EQ(VirtualKeyFromQt(Qt::Key_unknown, Qt::NoModifier), 0u);
}

TEST(VirtualKey, KeypadAndShiftedKeysNameTheKeyNotTheCharacter) {
    EXPECT_EQ(VirtualKeyFromQt(Qt::Key_0, Qt::KeypadModifier), 0x60u);
    EXPECT_EQ(VirtualKeyFromQt(Qt::Key_7, Qt::KeypadModifier), 0x67u);
    EXPECT_EQ(VirtualKeyFromQt(Qt::Key_Plus, Qt::KeypadModifier), 0x6Bu);
    EXPECT_EQ(VirtualKeyFromQt(Qt::Key_Minus, Qt::KeypadModifier), 0x6Du);
    EXPECT_EQ(VirtualKeyFromQt(Qt::Key_Enter, Qt::KeypadModifier), 0x0Du);
    // Keypad navigation (NumLock off) is the navigation key itself.
    EXPECT_EQ(VirtualKeyFromQt(Qt::Key_Home, Qt::KeypadModifier), 0x24u);
    // Shift+1 arrives as '!', Shift+'=' as '+': still the keys '1' and '='.
    EXPECT_EQ(VirtualKeyFromQt(Qt::Key_Exclam, Qt::ShiftModifier), 0x31u);
    EXPECT_EQ(VirtualKeyFromQt(Qt::Key_Plus, Qt::ShiftModifier), 0xBBu);
}

TEST(VirtualKey, ModifierSetUsesTheHotKeyBits) {
    EXPECT_EQ(HotKeyModifiers(Qt::NoModifier), 0u);
    EXPECT_EQ(HotKeyModifiers(Qt::ShiftModifier), 1u);
    EXPECT_EQ(HotKeyModifiers(Qt::ControlModifier), 2u);
    EXPECT_EQ(HotKeyModifiers(Qt::AltModifier), 4u);
    EXPECT_EQ(HotKeyModifiers(Qt::ControlModifier | Qt::ShiftModifier | Qt::KeypadModifier), 3u);
    EXPECT_EQ(HotKeyModifiers(Qt::MetaModifier), 0u);
}

TEST(HotKeyTable, MatchesKeyAndExactModifierSet) {
    HotKeyTable table;  // Ctrl+R, F2, F5, F6, F8
    EXPECT_EQ(table.Match(0x52, kHotKeyCtrl), HotKeyTable::kRefresh);
    EXPECT_EQ(table.Match(0x52, 0), -1);
    EXPECT_EQ(table.Match(0x52, kHotKeyCtrl | kHotKeyShift), -1);
    EXPECT_EQ(table.Match(0x74, 0), HotKeyTable::kPlay);
    EXPECT_EQ(table.Match(0x74, kHotKeyAlt), -1);
    EXPECT_EQ(table.Match(0x77, 0), HotKeyTable::kStop);
}

TEST(HotKeyTable, LowerIndexWinsAndNoKeyOrExtendedNeverMatch) {
    HotKeyTable table;
    table.keys[HotKeyTable::kPause] = 0x74;  // F5, like Play
    table.keys[HotKeyTable::kEdit] = 0;
    table.keys[HotKeyTable::kStop] = (kHotKeyExtended << 16) | 0x25;  // an arrow key
    EXPECT_EQ(table.Match(0x74, 0), HotKeyTable::kPlay);
    EXPECT_EQ(table.Match(0, 0), -1);
    EXPECT_EQ(table.Match(0x25, 0), -1);
    EXPECT_EQ(table.Match(0x25, kHotKeyExtended), HotKeyTable::kStop);
}

TEST(HotKeyTable, StoredValuesWrittenOnWindowsKeepTheirMeaning) {
    test::TempFolder dir;
    SetIniPath(dir / "brenvik.ini");
    test::WriteFile(dir / "brenvik.ini", "[HotKeys]\r\nKey0=65618\r\nKey1=113\r\nKey2=393332\r\n");
    HotKeyTable table;
    table.Load();
    EXPECT_EQ(table.keys[0], 0x10052u);  // Shift+R
    EXPECT_EQ(table.keys[2], 0x60074u);  // Ctrl+Alt+F5
    EXPECT_EQ(table.keys[3], 0x75u);     // missing: the default
    EXPECT_EQ(table.Match(VirtualKeyFromQt(Qt::Key_R, Qt::ShiftModifier),
                          HotKeyModifiers(Qt::ShiftModifier)),
              0);
    EXPECT_EQ(table.Match(VirtualKeyFromQt(Qt::Key_F5, Qt::NoModifier),
                          HotKeyModifiers(Qt::ControlModifier | Qt::AltModifier)),
              2);

    table.keys[4] = 0x20052;
    table.Save();
    HotKeyTable again;
    again.Load();
    EXPECT_EQ(again.keys, table.keys);
    EXPECT_EQ(GetIniInt("HotKeys", "Key4", 0), 131154);
}

}  // namespace
}  // namespace orx
