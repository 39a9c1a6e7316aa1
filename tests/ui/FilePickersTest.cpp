#include "ui/FilePickers.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QThread>
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

TEST(FolderBrowserTest, RequiredFileDecidesWhichFoldersCanBeConfirmed) {
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

    // The initially selected folder is checked as well, and the button follows the selection.
    FolderBrowserDialog dialog(nullptr, "Pick", root / "empty/", "tallyx");
    dialog.show();
    QApplication::processEvents();
    EXPECT_EQ(dialog.CandidateFolder().toStdString() + "/", root / "empty/");
    ASSERT_NE(dialog.ConfirmButton(), nullptr);
    EXPECT_FALSE(dialog.ConfirmButton()->isEnabled());
    dialog.accept();
    EXPECT_TRUE(dialog.isVisible()) << "a folder without the file was accepted";
    // The operator types the folder's name; the dialog selects it once it has listed the folder,
    // which it does in the background.
    dialog.findChild<QLineEdit*>("fileNameEdit")->setText("remote");
    for (int i = 0; i < 400 && dialog.CandidateFolder().toStdString() + "/" != root / "remote/";
         ++i) {
        QApplication::processEvents();
        QThread::msleep(5);
    }
    EXPECT_TRUE(dialog.ConfirmButton()->isEnabled());
    dialog.accept();
    EXPECT_EQ(dialog.result(), QDialog::Accepted)
        << dialog.CandidateFolder().toStdString() << " " << dialog.isVisible() << " "
        << dialog.selectedFiles().join(",").toStdString();
}

TEST(FolderBrowserTest, ReturnsTheChosenFolderWithItsSeparatorOrLeavesThePath) {
    test::TempFolder root;
    test::WriteFile(root / "remote/tallyx", "x");
    QtFilePickers pickers;
    std::string path = root / "remote/";
    WhenModal([](QWidget* modal) { static_cast<QDialog*>(modal)->accept(); });
    EXPECT_TRUE(pickers.BrowseForFolder(path, "tallyx", 18001));
    EXPECT_EQ(path, root / "remote/");

    path = root / "remote/";
    WhenModal([](QWidget* modal) {
        EXPECT_EQ(modal->windowTitle().toStdString(), "Select folder containing MPEG2 video files");
        static_cast<QDialog*>(modal)->reject();
    });
    EXPECT_FALSE(pickers.BrowseForFolder(path, "", 18007));
    EXPECT_EQ(path, root / "remote/");

    // The browser refuses the pre-selected folder when it lacks the file; a cancel then keeps
    // the path.
    path = root.Path();
    WhenModal([](QWidget* modal) {
        auto* dialog = static_cast<QDialog*>(modal);
        dialog->accept();
        EXPECT_TRUE(dialog->isVisible());
        dialog->reject();
    });
    EXPECT_FALSE(pickers.BrowseForFolder(path, "tallyx", -1));
    EXPECT_EQ(path, root.Path());
}

TEST(FileDialogTest, SaveAddsTheDefaultExtensionAndInstalledPickersReplaceQt) {
    test::TempFolder root;
    QtFilePickers pickers;
    const FileDialogRequest request{BuildFileFilter(1), ".brl", root.Path(), ""};
    WhenModal([](QWidget* modal) {
        auto* edit = modal->findChild<QLineEdit*>("fileNameEdit");
        ASSERT_NE(edit, nullptr);
        edit->setText("Polski");
        static_cast<QDialog*>(modal)->accept();
    });
    EXPECT_EQ(pickers.SaveFile(request), root / "Polski.brl");

    struct Scripted : FilePickers {
        std::string OpenFile(const FileDialogRequest&) override { return "open"; }
        std::string SaveFile(const FileDialogRequest&) override { return "save"; }
        bool BrowseForFolder(std::string& path, const std::string&, int) override {
            path = "/chosen/";
            return true;
        }
    } scripted;
    SetFilePickers(&scripted);
    std::string path;
    EXPECT_TRUE(BrowseForFolder(path, "tallyx", -1));
    EXPECT_EQ(path, "/chosen/");
    EXPECT_EQ(Pickers().SaveFile(request), "save");
    SetFilePickers(nullptr);
    EXPECT_NE(&Pickers(), &scripted);
}

}  // namespace
}  // namespace orx::ui
