#include "lnagen/LanguageSource.h"

#include <gtest/gtest.h>

#include "LangTestSupport.h"
#include "lang/ProgramTexts.h"
#include "lang/TextServices.h"

namespace orx {
namespace {

TEST(LanguageSourceTest, RefusesRepeatedKeysAndTranslationsThatDoNotFitTheMaster) {
    const std::vector<TranslationText> master = {
        {StringKey(3000), "Error:\n\n%1"}, {StringKey(32957), "Play\nPlay"}, {DialogKey(304), "S"}};
    std::vector<TranslationText> ordered;
    std::string error;
    EXPECT_FALSE(ParseLanguageSource("string 5 = a\nstring 5 = b", ordered, error));
    EXPECT_EQ(error, "line 2: string 5 appears twice");
    ASSERT_TRUE(MatchMaster(
        master, {{DialogKey(304), "E"}, {StringKey(32957), "A\nA"}, {StringKey(3000), "F %1"}},
        true, ordered, error));
    EXPECT_EQ(ordered.at(0).key, StringKey(3000));  // in the master's order
    EXPECT_EQ(ordered.at(2).key, DialogKey(304));
    EXPECT_FALSE(MatchMaster(master, {{DialogKey(304), "E"}}, true, ordered, error));
    EXPECT_EQ(error, "string 3000 has no translation");
    EXPECT_FALSE(MatchMaster(master, {{StringKey(3000), "F %2"}}, false, ordered, error));
    EXPECT_EQ(error, "string 3000 does not use the inserts of its original");
    EXPECT_FALSE(MatchMaster(master, {{StringKey(32957), "A"}}, false, ordered, error));
    EXPECT_EQ(error, "string 32957 lacks the line break before its tool tip");
}

// The files the build writes into the program folder, used as the program uses them.
TEST(LanguageSourceTest, ShippedMasterHoldsTheProgramTextsAndGermanLoads) {
    test::LanguageEnvironment env;
    test::WriteFile(env.folder / "brenvik.lna", test::ReadFile(ORX_PROGRAM_DIR "/brenvik.lna"));
    test::WriteFile(env.folder / "German.brl", test::ReadFile(ORX_PROGRAM_DIR "/German.brl"));
    WriteIniString("Language", "Name", "German");
    ASSERT_TRUE(Languages().Startup());
    TranslationTable expected;
    expected.Assign(MasterTexts());
    EXPECT_EQ(Languages().MasterTable().Serialize(), expected.Serialize());
    ASSERT_EQ(Languages().CurrentIndex(), 1);
    EXPECT_EQ(FormatTranslated(3000, {"/v/x.vid"}), "Fehler beim Öffnen der Datei:\n\n/v/x.vid");
    EXPECT_EQ(TooltipText(32956), "Schließen");
    // Delivered in code page 1252, which the Windows program reads as well.
    EXPECT_EQ(Languages().CurrentEncoding(), 1252);
}

}  // namespace
}  // namespace orx
