#include "lnagen/LanguageSource.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "LangTestSupport.h"
#include "lang/ProgramTexts.h"
#include "lang/TextServices.h"

namespace orx {
namespace {

std::vector<TranslationText> Parse(const std::string& source) {
    std::vector<TranslationText> texts;
    std::string error;
    EXPECT_TRUE(ParseLanguageSource(source, texts, error)) << error;
    return texts;
}

std::string ParseError(const std::string& source) {
    std::vector<TranslationText> texts;
    std::string error;
    EXPECT_FALSE(ParseLanguageSource(source, texts, error));
    return error;
}

TEST(LanguageSource, ReadsKeysAndTexts) {
    const auto texts = Parse(
        "# comment\n"
        "\n"
        "dialog 304 0 = Einstellungen  \r\n"
        "  string 3000=Fehler:\\n\\n%1\n"
        "string 22088 = Spalte\\tzwei = drei");
    ASSERT_EQ(texts.size(), 3u);
    EXPECT_EQ(texts[0].key, DialogKey(304, 0));
    EXPECT_EQ(texts[0].text, "Einstellungen");
    EXPECT_EQ(texts[1].key, StringKey(3000));
    EXPECT_EQ(texts[1].text, "Fehler:\n\n%1");
    EXPECT_EQ(texts[2].text, "Spalte\\tzwei = drei");  // the stored tab form
}

TEST(LanguageSource, RefusesLinesItCannotRead) {
    EXPECT_EQ(ParseError("string 1 = a\nnonsense\n"),
              "line 2: expected 'dialog <template> <control> = text' or 'string <id> = text'");
    EXPECT_NE(ParseError("string 70000 = a").find("line 1"), std::string::npos);
    EXPECT_EQ(ParseError("string 5 = a\nstring 5 = b"), "line 2: string 5 appears twice");
    EXPECT_EQ(ParseError("dialog 1170 1319 =  "), "line 1: dialog 1170 1319 has no text");
}

TEST(LanguageSource, MatchMasterOrdersAndChecksTheTranslations) {
    const std::vector<TranslationText> master = {{StringKey(3000), "Error:\n\n%1"},
                                                 {StringKey(32957), "Play\nPlay"},
                                                 {DialogKey(304), "Settings"}};
    std::vector<TranslationText> ordered;
    std::string error;
    ASSERT_TRUE(MatchMaster(master,
                            {{DialogKey(304), "Einstellungen"},
                             {StringKey(32957), "Abspielen\nAbspielen"},
                             {StringKey(3000), "Fehler:\n\n%1"}},
                            true, ordered, error))
        << error;
    ASSERT_EQ(ordered.size(), 3u);
    EXPECT_EQ(ordered[0].key, StringKey(3000));
    EXPECT_EQ(ordered[2].key, DialogKey(304));

    EXPECT_FALSE(MatchMaster(master, {{DialogKey(304), "E"}}, true, ordered, error));
    EXPECT_EQ(error, "string 3000 has no translation");
    EXPECT_FALSE(MatchMaster(master, {{StringKey(3000), "Fehler"}}, false, ordered, error));
    EXPECT_EQ(error, "string 3000 does not use the inserts of its original");
    EXPECT_FALSE(MatchMaster(master, {{StringKey(32957), "Abspielen"}}, false, ordered, error));
    EXPECT_EQ(error, "string 32957 lacks the line break before its tool tip");
    EXPECT_FALSE(MatchMaster(master, {{StringKey(4), "x"}}, false, ordered, error));
    EXPECT_EQ(error, "string 4 is not a text of the program");
}

std::string ReadText(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
}

// The files the build writes into the program folder, used as the program uses them.
TEST(ShippedLanguageFiles, MasterHoldsTheProgramTextsAndGermanTranslatesThemAll) {
    TranslationTable master;
    ASSERT_EQ(master.Load(ORX_PROGRAM_DIR "/brenvik.lna"), 0);
    const std::vector<TranslationText> texts = MasterTexts();
    ASSERT_EQ(master.Size(), texts.size());
    for (size_t i = 0; i < texts.size(); ++i) {
        EXPECT_EQ(master.Entries()[i].key, texts[i].key);
        EXPECT_EQ(std::string(master.TextAt(i)), texts[i].text);
    }

    std::vector<TranslationText> german;
    std::vector<TranslationText> ordered;
    std::string error;
    ASSERT_TRUE(ParseLanguageSource(ReadText(ORX_GERMAN_SOURCE), german, error)) << error;
    ASSERT_TRUE(MatchMaster(texts, german, true, ordered, error)) << error;

    test::LanguageEnvironment env;
    test::WriteBytes(env.MasterPath(), test::ReadBytes(ORX_PROGRAM_DIR "/brenvik.lna"));
    test::WriteBytes(env.folder / "German.brl", test::ReadBytes(ORX_PROGRAM_DIR "/German.brl"));
    WriteIniString("Language", "Name", "German");
    ASSERT_TRUE(Languages().Startup());
    ASSERT_EQ(Languages().CurrentIndex(), 1);
    EXPECT_EQ(Languages().CurrentTable().Size(), texts.size());
    EXPECT_EQ(FormatTranslated(3000, {"/v/x.vid"}), "Fehler beim Öffnen der Datei:\n\n/v/x.vid");
    EXPECT_EQ(TooltipText(32956), "Schließen");
}

}  // namespace
}  // namespace orx
