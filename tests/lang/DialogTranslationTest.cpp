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

#include "LangTestSupport.h"
#include "lang/ProgramTexts.h"
#include "lang/qt/QtText.h"
#include "lang/qt/QtUiHost.h"

namespace orx {
namespace {

TEST(DialogTranslationTest, TranslatesCaptionAndEveryDescendantWithAnIdAtAnyDepth) {
    test::LanguageEnvironment env;
    env.Write("brenvik.lna", {{DialogKey(304), "Settings (master)"},
                              {DialogKey(304, 1316), "Decoders"},
                              {DialogKey(304, 1220), "Board"},
                              {DialogKey(304, 65535), "<b>V</b>\\t2"}});
    env.Write("German.brl", {{DialogKey(304), "Optionen"},
                             {DialogKey(304, 1220), "Karte"},
                             {DialogKey(1164, 1317), "Wrong dialog"}});
    ASSERT_TRUE(Languages().Startup());
    const auto withId = [](auto* widget, int id) { return SetControlId(widget, id), widget; };
    QDialog dialog;
    auto* group = withId(new QGroupBox("MPEG decoders", &dialog), 1316);
    auto* board = withId(new QCheckBox("MPEG Board 1", new QWidget(group)), 1220);
    auto* version = withId(new QLabel("Version 0.1", board->parentWidget()), kStaticControlId);
    auto* field = withId(new QLineEdit("Board name", &dialog), 1220);  // shares the board's text
    auto* path = new QLineEdit("/data/video/", &dialog);               // data: no control id
    auto* other = withId(new QLabel("Interface", &dialog), 1317);
    const auto texts = [&] {
        return QStringList{dialog.windowTitle(), group->title(), board->text(), version->text(),
                           field->text(),        path->text(),   other->text()}
            .join('|');
    };
    TranslateDialog(kDialogSettings, &dialog);
    EXPECT_EQ(texts(), "Settings (master)|Decoders|Board|<b>V</b>\t2|Board|/data/video/|Interface");
    EXPECT_EQ(version->textFormat(), Qt::PlainText);
    // After a language change the dialog translates itself again by its recorded template id; the
    // master fills what the language lacks, another dialog's text is not this one's.
    ASSERT_TRUE(Languages().SelectLanguage(1));
    TranslateDialog(&dialog);
    EXPECT_EQ(texts(), "Optionen|Decoders|Karte|<b>V</b>\t2|Karte|/data/video/|Interface");
    // The editor's own texts leave line edits alone.
    SetWidgetText(field, "x", LineEditText::Keep);
    SetWidgetText(board, "y", LineEditText::Keep);
    EXPECT_EQ(field->text() + board->text(), "Kartey");
}

TEST(QtText, ReadsUtf8AndFallsBackToWindows1252) {
    EXPECT_EQ(ToQString("\u00fc \u20ac"), QString::fromUtf8("ü €"));
    EXPECT_EQ(ToQString("\xFC \x80 \x93x\x94"), QString::fromUtf8("ü € “x”"));
}

// Answers the next box from inside its event loop with a button (NoButton: closes it), noting
// which button the box offered as its default.
int Answer(unsigned type, QMessageBox::StandardButton button, QMessageBox::StandardButton* shown) {
    QTimer::singleShot(0, [=] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        ASSERT_NE(box, nullptr);
        EXPECT_EQ(box->textFormat(), Qt::PlainText);
        *shown = box->standardButton(box->defaultButton());
        button == QMessageBox::NoButton ? box->reject() : box->button(button)->click();
    });
    return QtUiHost().ShowMessageBox("<b>x</b>", "c", type);
}

TEST(QtUiHost, ReturnsTheClickedButtonOrTheCancelAnswerWhenClosed) {
    QMessageBox::StandardButton shown{};
    EXPECT_EQ(Answer(mb::YesNo | mb::DefaultButton2, QMessageBox::Yes, &shown), id::Yes);
    EXPECT_EQ(shown, QMessageBox::No);
    EXPECT_EQ(Answer(mb::AbortRetryIgnore, QMessageBox::Retry, &shown), id::Retry);
    EXPECT_EQ(Answer(mb::YesNoCancel, QMessageBox::NoButton, &shown), id::Cancel);
    EXPECT_EQ(Answer(mb::Ok | mb::DefaultButton3, QMessageBox::NoButton, &shown), id::Ok);
    EXPECT_EQ(shown, QMessageBox::Ok);
}

}  // namespace
}  // namespace orx
