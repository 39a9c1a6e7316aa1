#include "ui/FilePickers.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <functional>

#include "../lang/LangTestSupport.h"
#include "lang/TranslationKey.h"
#include "ui/QtFilePickers.h"

namespace orx::ui {
namespace {

// Runs action on the modal dialog as soon as it is shown.
void WhenModal(std::function<void(QWidget*)> action) {
    QTimer::singleShot(0, [action = std::move(action)] {
        QWidget* modal = QApplication::activeModalWidget();
        ASSERT_NE(modal, nullptr);
        action(modal);
    });
}

TEST(FileFilterTest, GroupsPerKindTranslatedAndStoppingAtTheFirstMinusOne) {
    test::LanguageEnvironment env;
    EXPECT_EQ(BuildFileFilter(1, -1, -1), "Translation files (*.brl)|*.brl|");
    EXPECT_EQ(BuildFileFilter(0, 3, -1), "All files (*.*)|*.*|Video playlist files (*.vid)|*.vid|");
    EXPECT_EQ(BuildFileFilter(3, -1, 2), "Video playlist files (*.vid)|*.vid|");
    env.Write("brenvik.lna", {{StringKey(9057), "Wiedergabelisten"}});
    ASSERT_TRUE(Languages().Startup());
    EXPECT_EQ(BuildFileFilter(3), "Wiedergabelisten (*.vid)|*.vid|");
    // Qt's form keeps the description and adds the pattern only where it is not named yet.
    EXPECT_EQ(QtFilterFromFileFilter(BuildFileFilter(0, 3)).toStdString(),
              "All files (*.*);;Wiedergabelisten (*.vid)");
    EXPECT_EQ(QtFilterFromFileFilter("Plain|*.txt|").toStdString(), "Plain (*.txt)");
}

// The browser confirms only a folder that holds the required file, the one it opens on too; the
// chosen folder ends with the separator, and a cancel leaves the path.
TEST(FolderBrowserTest, RequiredFileDecidesWhatCanBeChosenAndACancelKeepsThePath) {
    test::TempFolder root;
    test::WriteFile(root / "remote/tallyx", "x");
    test::WriteFile(root / "empty/other", "x");
    test::WriteFile(root / "trap/tallyx/inside", "x");  // a folder of that name is no file
    EXPECT_TRUE(FolderAcceptable(root / "remote/", "tallyx"));
    EXPECT_TRUE(FolderAcceptable(root / "remote", "tallyx"));
    EXPECT_FALSE(FolderAcceptable(root / "empty/", "tallyx"));
    EXPECT_FALSE(FolderAcceptable(root / "trap/", "tallyx"));
    EXPECT_TRUE(FolderAcceptable(root / "empty/", ""));
    EXPECT_FALSE(FolderAcceptable(root / "missing/", ""));

    QtFilePickers pickers;
    std::string path = root / "empty/";
    WhenModal([](QWidget* modal) {
        auto* dialog = static_cast<FolderBrowserDialog*>(modal);
        EXPECT_EQ(dialog->windowTitle().toStdString(),
                  "Select folder containing MPEG2 video files");
        EXPECT_FALSE(dialog->ConfirmButton()->isEnabled());
        dialog->accept();
        EXPECT_TRUE(dialog->isVisible()) << "a folder without the file was accepted";
        dialog->reject();
    });
    EXPECT_FALSE(pickers.BrowseForFolder(path, "tallyx", 18007));
    EXPECT_EQ(path, root / "empty/");
    path = root / "remote";
    WhenModal([](QWidget* modal) { static_cast<QDialog*>(modal)->accept(); });
    EXPECT_TRUE(pickers.BrowseForFolder(path, "tallyx", -1));
    EXPECT_EQ(path, root / "remote/");
}

TEST(FileDialogTest, SaveAddsTheDefaultExtension) {
    test::TempFolder root;
    WhenModal([](QWidget* modal) {
        auto* edit = modal->findChild<QLineEdit*>("fileNameEdit");
        ASSERT_NE(edit, nullptr);
        edit->setText("Polski");
        static_cast<QDialog*>(modal)->accept();
    });
    EXPECT_EQ(QtFilePickers().SaveFile({BuildFileFilter(1), ".brl", root.Path(), ""}),
              root / "Polski.brl");
}

}  // namespace
}  // namespace orx::ui
