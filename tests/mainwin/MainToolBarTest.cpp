#include "mainwin/MainToolBar.h"

#include <gtest/gtest.h>
#include <QComboBox>
#include <QLabel>

#include "MainWinTestSupport.h"
#include "lang/LanguageManager.h"
#include "lang/TranslationKey.h"
#include "lang/TranslationTable.h"
#include "mainwin/InputLabels.h"

namespace orx {
namespace {

using MainToolBarTest = test::MainWinFixture;

TEST_F(MainToolBarTest, TimesShowMinutesBeyondAnHourAndTwoTrailingBlanks) {
    EXPECT_EQ(MainToolBar::FormatTimes(61500, 62 * 60000 + 3400), "1:01.5 / 62:03.4  ");
    EXPECT_EQ(MainToolBar::FormatTimes(0, 0), "0:00.0 / 0:00.0  ");
    MainToolBar bar;
    bar.ShowTimes(999, 60000);
    EXPECT_EQ(bar.timeDisplay()->text(), "0:00.9 / 1:00.0  ");
}

TEST_F(MainToolBarTest, FileNameShownWithoutFolderAndExtension) {
    MainToolBar bar;
    bar.ShowFileName(Video("Sport/2006/x.vid"));
    EXPECT_EQ(bar.fileDisplay()->text(), "x");
    bar.ShowFileName({});
    EXPECT_EQ(bar.fileDisplay()->text(), "");
}

TEST_F(MainToolBarTest, RestoreListShowsLabelsOrNamesAndKeepsTheSelection) {
    MainToolBar bar;
    InputLabels labels;
    labels.labels[2] = "Studio A";  // IN1
    bar.FillRestoreInputCombo(labels);
    QComboBox* combo = bar.restoreCombo();
    ASSERT_EQ(combo->count(), 2 + kSourceCount);
    EXPECT_EQ(combo->itemText(0), "On preview");
    EXPECT_EQ(combo->itemText(1), "Previous");
    EXPECT_EQ(combo->itemText(2), "BLACK");
    EXPECT_EQ(combo->itemText(4), "Studio A");
    EXPECT_EQ(combo->itemText(5), "IN2");
    EXPECT_EQ(combo->itemText(2 + kSourceCount - 1), "CLIP12");

    bar.SetRestoreComboIndex(8);
    labels.labels[6] = "Camera 5";  // IN5
    bar.FillRestoreInputCombo(labels);
    EXPECT_EQ(bar.RestoreComboIndex(), 8);
    EXPECT_EQ(combo->itemText(8), "Camera 5");
}

TEST_F(MainToolBarTest, EveryButtonStartsDisabledAndFollowsTheState) {
    MainToolBar bar;
    EXPECT_EQ(bar.State(), ToolbarState{});
    const ToolbarState playing = ComputeToolbarState(true, true, true, true);
    bar.ApplyState(playing);
    EXPECT_EQ(bar.State(), playing);
    EXPECT_TRUE(playing.pause && playing.stop && playing.edit);
    EXPECT_FALSE(playing.play || playing.settings || playing.close);
    // Without hardware a run cannot be controlled, but the playlist can still be edited.
    const ToolbarState editOnly = ComputeToolbarState(true, false, true, false);
    EXPECT_FALSE(editOnly.play || editOnly.pause || editOnly.stop);
    EXPECT_TRUE(editOnly.edit && editOnly.settings && editOnly.close);
}

TEST_F(MainToolBarTest, ToolTipIsTheTranslatedSecondLineCutTo79Characters) {
    EXPECT_EQ(MainToolBar::ToolTipFor(MainToolBar::kCloseId), "Close");
    EXPECT_EQ(MainToolBar::ToolTipFor(0), "");

    ResetLanguagesForTesting();
    TranslationTable master;
    master.Assign({{StringKey(MainToolBar::kPlayId), "Abspielen\n" + std::string(120, 'x')}});
    ASSERT_EQ(master.Save(dir_ / "brenvik.lna"), 0);
    Languages().SetMasterPath(dir_ / "brenvik.lna");
    ASSERT_TRUE(Languages().Startup());
    EXPECT_EQ(MainToolBar::ToolTipFor(MainToolBar::kPlayId), QString(79, 'x'));
    ResetLanguagesForTesting();
}

}  // namespace
}  // namespace orx

ORX_QT_TEST_MAIN()
