// The "Hotkeys" and "Input labels" workflows from the Settings dialog, driven by keys only.

#include <gtest/gtest.h>

#include <QLineEdit>
#include <QTreeWidget>

#include "SettingsTestSupport.h"
#include "settings/HotkeysDialog.h"
#include "settings/InputLabelsDialog.h"

namespace orx {
namespace {

using namespace test;

class HotkeysAndLabelsTest : public ::testing::Test {
protected:
    void SetUp() override {
        Settings() = AppSettings{};
        Settings().appDir = env_.folder.Path();
        settings_.mpeg = 1;
    }
    // Runs the script inside the modal Settings dialog; true when it ended with "OK".
    bool RunSettings(test::Script& script, InputLabels labels = {}) {
        SettingsDialog dialog(settings_, labels, host_, editor_);
        dialog_ = &dialog;
        script.Start();
        const bool ok = dialog.exec() == QDialog::Accepted;
        EXPECT_TRUE(script.Finished());
        labels_ = dialog.labels();
        dialog_ = nullptr;
        return ok;
    }

    test::LanguageEnvironment env_;
    test::RecordingSettingsHost host_;
    test::ScriptedTranslationEditor editor_;
    AppSettings settings_;
    SettingsDialog* dialog_ = nullptr;
    InputLabels labels_;
};

TEST_F(HotkeysAndLabelsTest, HotKeysAreRecordedFromKeysAndSurviveACancelledSettingsDialog) {
    test::Script script;
    script
        .Press([&] { return dialog_->hotkeysButton(); })  // the next steps act in "Hotkeys"
        .Then([] {
            ASSERT_NE(qobject_cast<HotKeyEdit*>(QApplication::focusWidget()), nullptr);
            Key(Qt::Key_Tab);  // "Edit"
            Key(Qt::Key_Tab);  // "Play"
            Key(Qt::Key_F5, Qt::ShiftModifier);
            Key(Qt::Key_Tab);  // "Pause"
            Key(Qt::Key_Left);
            Key(Qt::Key_Tab);  // "Stop"
            Key(Qt::Key_Backspace);
        })
        .Press([] { return ModalButton("OK"); })
        .Press([&] { return dialog_->cancelButton(); });
    EXPECT_FALSE(RunSettings(script));
    // Shift+F5: modifier 1 and the key code 0x74; the arrow key carries the extended flag 8;
    // the cleared key is 0.
    EXPECT_EQ(host_.hotKeys.keys, (std::array<uint32_t, 5>{0x20052, 0x71, 0x10074, 0x80025, 0}));
    EXPECT_EQ(host_.hotKeys.Match(0x74, 1), HotKeyTable::kPlay);
    EXPECT_EQ(host_.hotKeys.Match(0x74, 0), -1);
    EXPECT_EQ(host_.hotKeys.Match(0x25, 0), HotKeyTable::kPause);  // the arrow works
    EXPECT_EQ(host_.hotKeys.Match(0x77, 0), -1);                   // F8 no longer stops
    EXPECT_EQ(HotKeyEdit::DisplayText(0x30052), "Ctrl + Shift + R");

    // A cancelled "Hotkeys" dialog changes nothing.
    HotkeysDialog hotkeys(host_.hotKeys.keys);
    hotkeys.edit(0)->setValue(0x41);
    hotkeys.reject();
    EXPECT_EQ(hotkeys.keys()[0], 0x20052u);
}

TEST_F(HotkeysAndLabelsTest, LabelsAreEditedAndResetAndReachTheCallerOnlyWithOk) {
    const auto list = [] { return QApplication::activeModalWidget()->findChild<QTreeWidget*>(); };
    const auto listRow = [&] { return list()->indexOfTopLevelItem(list()->currentItem()); };
    const auto label = [&](int row) { return list()->topLevelItem(row)->text(1).toStdString(); };
    const auto toIN1 = [&] {
        ASSERT_TRUE(TabTo(list()));
        Key(Qt::Key_Home);
        Key(Qt::Key_Down);
        Key(Qt::Key_Down);
    };
    const QString longLabel = QString(300, QLatin1Char('x')) + QStringLiteral("end");
    test::Script script;
    script
        .Press([&] { return dialog_->inputLabelsButton(); })  // "Input labels"
        .Then(toIN1)
        .Then([&] { EXPECT_EQ(listRow(), 2); })
        .Press([] { return ModalButton("Edit"); })  // "Edit input label"
        .Then([&] {
            auto* modal = QApplication::activeModalWidget();
            EXPECT_EQ(modal->windowTitle(), "Edit input label");
            EXPECT_EQ(modal->findChildren<QLineEdit*>().front()->text(), "IN1");
            test::Type(longLabel);
            Key(Qt::Key_Return);  // the default button
        })
        .Then([&] {
            EXPECT_EQ(label(2), longLabel.toStdString());
            EXPECT_EQ(listRow(), 2);  // the row stays selected after the list is filled again
            ASSERT_TRUE(TabTo(list()));
            Key(Qt::Key_Down);  // IN2, labelled before the dialog opened
        })
        .Then([&] { EXPECT_EQ(label(3), "Camera"); })
        .Press([] { return ModalButton("Reset"); })
        .Then([&] { EXPECT_EQ(label(3), ""); })
        .Press([] { return ModalButton("OK"); })
        // Again, but this time a Reset is cancelled.
        .Press([&] { return dialog_->inputLabelsButton(); })
        .Then(toIN1)
        .Press([] { return ModalButton("Reset"); })
        .Then([&] { EXPECT_EQ(label(2), ""); })
        .Press([] { return ModalButton("Cancel"); })
        .Press([&] { return dialog_->okButton(); });
    InputLabels before;
    before.labels[3] = "Camera";
    ASSERT_TRUE(RunSettings(script, before));
    InputLabels expected;
    expected.labels[2] = longLabel.toStdString();
    EXPECT_EQ(labels_.labels, expected.labels);

    // "Edit" with no row both selected and current does nothing.
    InputLabelsDialog dialog(expected);
    bool opened = false;
    QTimer::singleShot(0, [&] {
        if (QWidget* modal = QApplication::activeModalWidget()) {
            opened = true;
            static_cast<QDialog*>(modal)->reject();
        }
    });
    dialog.OnEdit();
    dialog.OnReset();
    QApplication::processEvents();
    EXPECT_FALSE(opened);
    EXPECT_EQ(dialog.labels().labels, expected.labels);
}

}  // namespace
}  // namespace orx
