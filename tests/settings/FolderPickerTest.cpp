// The folders of the Settings dialog chosen with the real folder browser, by keys only.

#include <gtest/gtest.h>

#include <QLineEdit>
#include <QThread>

#include "SettingsTestSupport.h"
#include "ui/QtFilePickers.h"

namespace orx {
namespace {

using namespace test;

ui::FolderBrowserDialog* Browser() {
    return qobject_cast<ui::FolderBrowserDialog*>(QApplication::activeModalWidget());
}

// The browser lists folders in the background: wait until the folder typed is the one that
// would be chosen (a barrier, not a timing assertion).
void WaitForCandidate(const std::string& folder) {
    for (int i = 0; i < 400 && Browser()->CandidateFolder().toStdString() + "/" != folder; ++i) {
        QApplication::processEvents();
        QThread::msleep(5);
    }
    EXPECT_EQ(Browser()->CandidateFolder().toStdString() + "/", folder);
}

TEST(FolderPickerTest, RemoteFolderMustHoldTheRemoteProgramAndCancelKeepsThePath) {
    test::LanguageEnvironment env;
    test::TempFolder root;
    test::WriteFile(root / "remote/" + kRemoteProgramFile, "x");
    test::WriteFile(root / "other/" + kRemoteProgramFile, "x");
    test::WriteFile(root / "empty/readme", "x");
    AppSettings settings;
    settings.remotePath = root / "remote/";
    test::RecordingSettingsHost host;
    test::ScriptedTranslationEditor editor;
    SettingsDialog dialog(settings, InputLabels{}, host, editor);
    const auto typeFolder = [](const char* name) {
        Key(Qt::Key_A, Qt::ControlModifier);
        test::Type(name);
    };

    test::Script script;
    // The browser opens on the current remote folder.
    script.Press([&] { return dialog.remoteBrowseButton(); })
        .Then([&] {
            ASSERT_NE(Browser(), nullptr);
            EXPECT_EQ(Browser()->windowTitle(), "Select folder containing remote control software");
            WaitForCandidate(root / "remote/");
            EXPECT_TRUE(Browser()->ConfirmButton()->isEnabled());
            typeFolder("empty");
            WaitForCandidate(root / "empty/");
            EXPECT_FALSE(Browser()->ConfirmButton()->isEnabled());
            Key(Qt::Key_Return);  // refused: the folder lacks the program
            EXPECT_NE(Browser(), nullptr);
            Key(Qt::Key_Escape);
        })
        .Then([&] { EXPECT_EQ(dialog.remotePathText()->text().toStdString(), root / "remote/"); })
        .Press([&] { return dialog.remoteBrowseButton(); })
        .Then([&] {
            ASSERT_NE(Browser(), nullptr);
            typeFolder("other");
            WaitForCandidate(root / "other/");
            Key(Qt::Key_Return);
        })
        .Then([&] { EXPECT_EQ(dialog.remotePathText()->text().toStdString(), root / "other/"); })
        .Press([&] { return dialog.okButton(); });
    script.Start();
    ASSERT_EQ(dialog.exec(), QDialog::Accepted);
    EXPECT_TRUE(script.Finished());
    EXPECT_EQ(dialog.Result(settings).remotePath, root / "other/");
}

}  // namespace
}  // namespace orx
