#include "lang/qt/DialogTranslation.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QDialog>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>
#include <functional>

#include "LangTestSupport.h"
#include "lang/ProgramTexts.h"
#include "lang/qt/QtText.h"
#include "lang/qt/QtUiHost.h"

namespace orx {
namespace {

// A Settings-like dialog: template texts, nested widgets, two statics sharing 65535, and a data
// field that must never be translated.
struct SampleDialog {
    SampleDialog() {
        dialog.setWindowTitle("Settings");
        auto* layout = new QVBoxLayout(&dialog);
        group = new QGroupBox("MPEG decoders");
        SetControlId(group, 1316);
        layout->addWidget(group);
        auto* groupLayout = new QVBoxLayout(group);
        auto* inner = new QWidget;  // one level deeper
        groupLayout->addWidget(inner);
        auto* innerLayout = new QVBoxLayout(inner);
        board = new QCheckBox("MPEG Board 1");
        SetControlId(board, 1220);
        innerLayout->addWidget(board);
        version1 = new QLabel("Version 0.1");
        version2 = new QLabel("Version 0.1");
        SetControlId(version1, kStaticControlId);
        SetControlId(version2, kStaticControlId);
        innerLayout->addWidget(version1);
        layout->addWidget(version2);
        path = new QLineEdit("/data/video/");  // data: no control id
        layout->addWidget(path);
        untranslated = new QLabel("Interface and language");
        SetControlId(untranslated, 1317);
        layout->addWidget(untranslated);
        ok = new QPushButton("OK");
        SetControlId(ok, 1);
        layout->addWidget(ok);
    }

    QDialog dialog;
    QGroupBox* group;
    QCheckBox* board;
    QLabel* version1;
    QLabel* version2;
    QLineEdit* path;
    QLabel* untranslated;
    QPushButton* ok;
};

class DialogTranslationTest : public ::testing::Test {
protected:
    void WriteFiles() {
        env.WriteMaster({{DialogKey(304), "Settings (master)"},
                         {DialogKey(304, 1316), "Decoders"},
                         {DialogKey(304, 1220), "Board 1"},
                         {DialogKey(304, kStaticControlId), "<b>Version</b>\\t2"},
                         {DialogKey(304, 1), "Okay"},
                         {DialogKey(1164, 1317), "Wrong dialog"}});
        env.WriteLanguage("German.brl",
                          {{DialogKey(304), "Einstellungen"}, {DialogKey(304, 1220), "Karte 1"}});
    }

    test::LanguageEnvironment env;
};

TEST_F(DialogTranslationTest, WithoutMasterEveryWidgetKeepsItsTemplateText) {
    WriteFiles();
    std::filesystem::remove(env.MasterPath());
    ASSERT_FALSE(Languages().Startup());
    SampleDialog sample;
    TranslateDialog(kDialogSettings, &sample.dialog);
    EXPECT_EQ(sample.dialog.windowTitle(), "Settings");
    EXPECT_EQ(sample.board->text(), "MPEG Board 1");
    EXPECT_EQ(sample.ok->text(), "OK");
}

TEST_F(DialogTranslationTest, TranslatesCaptionAndEveryDescendantWithAnId) {
    WriteFiles();
    ASSERT_TRUE(Languages().Startup());
    SampleDialog sample;
    TranslateDialog(kDialogSettings, &sample.dialog);
    EXPECT_EQ(sample.dialog.windowTitle(), "Settings (master)");
    EXPECT_EQ(sample.group->title(), "Decoders");
    EXPECT_EQ(sample.board->text(), "Board 1");
    EXPECT_EQ(sample.version1->text(), "<b>Version</b>\t2");
    EXPECT_EQ(sample.version2->text(), "<b>Version</b>\t2");
    EXPECT_EQ(sample.version1->textFormat(), Qt::PlainText);
    EXPECT_EQ(sample.ok->text(), "Okay");
    EXPECT_EQ(sample.path->text(), "/data/video/");
    EXPECT_EQ(sample.untranslated->text(), "Interface and language");
    EXPECT_EQ(TemplateId(&sample.dialog), kDialogSettings);

    // After a language change the dialog translates itself again by its recorded template id.
    ASSERT_TRUE(Languages().SelectLanguage(1));
    TranslateDialog(&sample.dialog);
    EXPECT_EQ(sample.dialog.windowTitle(), "Einstellungen");
    EXPECT_EQ(sample.board->text(), "Karte 1");
    EXPECT_EQ(sample.group->title(), "Decoders");  // master fills what the language lacks
}

TEST(QtText, ReadsUtf8AndFallsBackToWindows1252) {
    EXPECT_EQ(ToQString("Pr\xC3\xBC"
                        "fen"),
              QString::fromUtf8("Prüfen"));
    EXPECT_EQ(ToQString("Pr\xFC"
                        "fen"),
              QString::fromUtf8("Prüfen"));
    EXPECT_EQ(ToQString("\x80 \x93x\x94"), QString::fromUtf8("€ “x”"));
    EXPECT_EQ(FromQString(QString::fromUtf8("Schließen")),
              "Schlie\xC3\x9F"
              "en");
}

// Answers the next modal box from inside its event loop.
void AnswerNextBox(std::function<void(QMessageBox*)> answer) {
    QTimer::singleShot(0, [answer] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        ASSERT_NE(box, nullptr);
        answer(box);
    });
}

TEST(QtUiHost, ShowsTheTypesButtonsAndIconAndReturnsTheButtonId) {
    QtUiHost host;
    QMessageBox::StandardButton defaultButton = QMessageBox::NoButton;
    QString caption;
    QString text;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    AnswerNextBox([&](QMessageBox* box) {
        caption = box->windowTitle();
        text = box->text();
        icon = box->icon();
        defaultButton = box->standardButton(box->defaultButton());
        EXPECT_EQ(box->standardButtons(), QMessageBox::Yes | QMessageBox::No);
        box->button(QMessageBox::Yes)->click();
    });
    EXPECT_EQ(host.ShowMessageBox("Delete <file>?", "ORX Video Player",
                                  mb::YesNo | mb::IconQuestion | mb::DefaultButton2),
              id::Yes);
    EXPECT_EQ(caption, "ORX Video Player");
    EXPECT_EQ(text, "Delete <file>?");
    EXPECT_EQ(icon, QMessageBox::Question);
    EXPECT_EQ(defaultButton, QMessageBox::No);

    AnswerNextBox([](QMessageBox* box) {
        EXPECT_EQ(box->standardButton(box->defaultButton()), QMessageBox::Yes);
        box->reject();  // closed without a button: the box's cancel answer
    });
    EXPECT_EQ(host.ShowMessageBox("x", "c", mb::YesNoCancel | mb::IconWarning), id::Cancel);

    AnswerNextBox([](QMessageBox* box) { box->reject(); });
    EXPECT_EQ(host.ShowMessageBox("x", "c", mb::Ok), id::Ok);
}

}  // namespace
}  // namespace orx

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
