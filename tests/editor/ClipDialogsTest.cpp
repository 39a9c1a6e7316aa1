// The clip dialogs as the editor runs them, driven with keys.

#include <gtest/gtest.h>

#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>

#include "editor/ConfirmDeleteDialog.h"
#include "editor/DescriptionDialog.h"
#include "editor/EditorTestSupport.h"
#include "editor/TransitionDialog.h"
#include "lang/ProgramTexts.h"
#include "lang/qt/DialogTranslation.h"

namespace orx {
namespace {

using test::Press;
using test::TypeText;

class ClipDialogsTest : public test::EditorFixture {
protected:
    // Runs EditTransitionSettings on values while keys act on the open dialog.
    bool Edit(TransitionValues& values, std::function<void(TransitionDialog&)> keys) {
        test::ModalScript script;
        script.Then("orx::TransitionDialog",
                    [&](QDialog* dialog) { keys(*static_cast<TransitionDialog*>(dialog)); });
        const bool ok = EditTransitionSettings(values);
        EXPECT_TRUE(script.done());
        return ok;
    }
    // Replaces the focused field's text.
    static void Retype(const QString& text) {
        Press(Qt::Key_A, Qt::ControlModifier);
        Press(Qt::Key_Delete);
        TypeText(text);
    }
};

TEST_F(ClipDialogsTest, TimesAreCappedAndAnEmptyFieldLeavesTheValueAlone) {
    SetBoards(1);
    TransitionValues values{
        .transition = 1, .interleaveMs = 800, .spacingMs = 200, .extra = {1, 0, 6}};
    ASSERT_TRUE(Edit(values, [](TransitionDialog& dialog) {
        EXPECT_EQ(TemplateId(&dialog), kDialogEditTransition);
        EXPECT_EQ(dialog.transitionList()->count(), 8);
        EXPECT_EQ(dialog.transitionList()->currentText(), "MIX");
        EXPECT_EQ(dialog.interleaveEdit()->text(), "800");
        EXPECT_TRUE(dialog.spacingEdit()->isEnabled());  // one board
        EXPECT_EQ(dialog.extraList(2)->currentText(), "CLOCK OFF");
        Press(Qt::Key_Down);  // "EFFECT1"
        Press(Qt::Key_Tab);
        Retype("7000");
        Press(Qt::Key_Tab);
        Retype("12a");  // letters are refused
        Press(Qt::Key_Return);
    }));
    EXPECT_EQ(values, (TransitionValues{2, 5000, 12, {1, 0, 6}}));

    ASSERT_TRUE(Edit(values, [](TransitionDialog&) {
        Press(Qt::Key_Tab);
        Retype("0");
        Press(Qt::Key_Tab);
        Retype("");
        Press(Qt::Key_Return);
    }));
    EXPECT_EQ(values, (TransitionValues{2, 0, kMixed, {1, 0, 6}}));

    // Escape cancels and changes nothing.
    const TransitionValues before = values;
    EXPECT_FALSE(Edit(values, [](TransitionDialog&) {
        Press(Qt::Key_Down);
        Press(Qt::Key_Escape);
    }));
    EXPECT_EQ(values, before);

    EXPECT_EQ(TimeFieldValue("99999999999999999999999"), 5000);
    EXPECT_EQ(TimeFieldValue("4999"), 4999);
    EXPECT_EQ(TimeFieldValue(""), kMixed);
}

TEST_F(ClipDialogsTest, MixedValuesShowNothingAndComeBackMixed) {
    SetBoards(2);
    TransitionValues values{
        .transition = kMixed, .interleaveMs = kMixed, .spacingMs = 300, .extra = {kMixed, 3, 0}};
    ASSERT_TRUE(Edit(values, [](TransitionDialog& dialog) {
        EXPECT_EQ(dialog.transitionList()->currentIndex(), -1);
        EXPECT_EQ(dialog.interleaveEdit()->text(), "");
        // Two boards: spacing is not used and stays as it is.
        EXPECT_FALSE(dialog.spacingEdit()->isEnabled());
        EXPECT_EQ(dialog.spacingEdit()->text(), "300");
        // One mixed extra command disables all three lists.
        for (int i = 0; i < 3; ++i) {
            EXPECT_FALSE(dialog.extraList(i)->isEnabled()) << i;
        }
        EXPECT_EQ(dialog.extraList(0)->currentIndex(), -1);
        Press(Qt::Key_Return);
    }));
    EXPECT_EQ(values, (TransitionValues{kMixed, kMixed, 300, {kMixed, 3, 0}}));
}

TEST_F(ClipDialogsTest, DescriptionTakesAtMostItsFieldAndHandsBackTheText) {
    DescriptionDialog dialog("News/clip_30.mpg", "old");
    EXPECT_EQ(TemplateId(&dialog), kDialogEditDescription);
    EXPECT_EQ(dialog.fileEdit()->text(), "News/clip_30.mpg");
    EXPECT_TRUE(dialog.fileEdit()->isReadOnly());
    test::ModalScript script;
    script.Then("orx::DescriptionDialog", [](QDialog*) {
        TypeText(QString(62, 'x'));
        TypeText("yz");  // the 64th character cannot be typed
        Press(Qt::Key_Return);
    });
    ASSERT_EQ(dialog.exec(), QDialog::Accepted);
    EXPECT_EQ(dialog.description(), std::string(62, 'x') + "y");

    // The record keeps bytes: a two-byte character that would not fit whole is refused.
    DescriptionDialog wide("a.mpg", std::string(62, 'x'));
    script.Then("orx::DescriptionDialog", [](QDialog*) {
        Press(Qt::Key_End);
        TypeText(QString::fromUtf8("\xc3\xa9"));
        Press(Qt::Key_Return);
    });
    ASSERT_EQ(wide.exec(), QDialog::Accepted);
    EXPECT_EQ(wide.description(), std::string(62, 'x'));
}

TEST_F(ClipDialogsTest, ConfirmDeleteListsThePlaylistsAndEnterMeansNo) {
    ConfirmDeleteDialog dialog({"News/morning.vid", "b.vid"});
    EXPECT_EQ(TemplateId(&dialog), kDialogConfirmDelete);
    ASSERT_EQ(dialog.playlistList()->count(), 2);
    EXPECT_EQ(dialog.playlistList()->item(0)->text(), "News/morning.vid");
    EXPECT_EQ(dialog.playlistList()->item(1)->text(), "b.vid");
    test::ModalScript script;
    script.Then("orx::ConfirmDeleteDialog", [](QDialog*) { Press(Qt::Key_Return); });
    EXPECT_EQ(dialog.exec(), QDialog::Rejected);
    // Yes is one Shift+Tab away from the focused No.
    script.Then("orx::ConfirmDeleteDialog", [](QDialog*) {
        Press(Qt::Key_Backtab, Qt::ShiftModifier);
        Press(Qt::Key_Space);
    });
    EXPECT_EQ(dialog.exec(), QDialog::Accepted);
    EXPECT_TRUE(script.done());
}

}  // namespace
}  // namespace orx
