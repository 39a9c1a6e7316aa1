#include "lang/TextServices.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <utility>
#include <vector>

#include "LangTestSupport.h"
#include "lang/MessageFormatter.h"
#include "lang/ProgramTexts.h"

namespace orx {
namespace {

class TextServicesTest : public ::testing::Test {
protected:
    test::LanguageEnvironment env;
};

TEST_F(TextServicesTest, WithoutMasterEverythingIsTheProgramsOwnText) {
    env.WriteLanguage("French.brl", {{StringKey(3000), "Erreur %1"}});
    WriteIniString("Language", "Name", "French");
    ASSERT_FALSE(Languages().Startup());
    std::string text;
    EXPECT_FALSE(LookupTranslation(StringKey(3000), text));
    bool found = false;
    EXPECT_EQ(TranslateString(3000, &found), "Error opening file:\n\n%1");
    EXPECT_TRUE(found);
    EXPECT_EQ(TranslateString(12345, &found), "");
    EXPECT_FALSE(found);
}

TEST_F(TextServicesTest, LookupTakesCurrentThenMasterThenOwnText) {
    env.WriteMaster(
        {{StringKey(22162), "Clip"}, {StringKey(22163), "Length"}, {DialogKey(304, 1), "Okay"}});
    env.WriteLanguage("German.brl", {{StringKey(22162), "Video-Clip"}});
    ASSERT_TRUE(Languages().Startup());

    // Built-in language: the master's texts still replace the program's own.
    EXPECT_EQ(TranslateString(22162), "Clip");
    EXPECT_EQ(TranslateString(22165), "Comment");

    ASSERT_TRUE(Languages().SelectLanguage(1));
    EXPECT_EQ(TranslateString(22162), "Video-Clip");
    EXPECT_EQ(TranslateString(22163), "Length");
    EXPECT_EQ(TranslateString(22165), "Comment");
    std::string text;
    EXPECT_TRUE(LookupTranslation(DialogKey(304, 1), text));
    EXPECT_EQ(text, "Okay");
    EXPECT_FALSE(LookupTranslation(DialogKey(304, 2), text));
}

TEST_F(TextServicesTest, StoredTabPairsBecomeTabs) {
    env.WriteMaster({{StringKey(1), "a\\tb\\tc"},
                     {StringKey(2), "x\\\\ty"},
                     {StringKey(3), "end\\"},
                     {StringKey(4), "\\n stays"}});
    ASSERT_TRUE(Languages().Startup());
    EXPECT_EQ(TranslateString(1), "a\tb\tc");
    EXPECT_EQ(TranslateString(2), "x\\\ty");
    EXPECT_EQ(TranslateString(3), "end\\");
    EXPECT_EQ(TranslateString(4), "\\n stays");
}

TEST_F(TextServicesTest, FormatTranslatedFillsInsertsOfTheTranslatedTemplate) {
    EXPECT_EQ(FormatTranslated(3000, {"/v/a.vid"}), "Error opening file:\n\n/v/a.vid");
    EXPECT_EQ(FormatTranslated(18003, {"IN3"}), "Playing sample video clip on the IN3 input...");
    // An insert the caller did not pass is empty, never read from elsewhere.
    EXPECT_EQ(FormatTranslated(3000, {}), "Error opening file:\n\n");

    env.WriteMaster({{StringKey(18003), "%2 - %1 - 100%% - %3"}});
    ASSERT_TRUE(Languages().Startup());
    EXPECT_EQ(FormatTranslated(18003, {"a", "b"}), "b - a - 100% - ");
}

TEST(MessageFormatter, HandlesTheFormattersEscapes) {
    const std::vector<std::string> args = {"one", "two", "", "", "", "", "", "", "", "ten"};
    const auto format = [&](const char* pattern) { return FormatMessageText(pattern, args); };
    EXPECT_EQ(format("%1%n%2"), "one\ntwo");
    EXPECT_EQ(format("a%tb%rc"), "a\tb\rc");
    EXPECT_EQ(format("%% %. %! %  %x"), "% . !   x");
    EXPECT_EQ(format("kept%0dropped %1"), "kept");
    EXPECT_EQ(format("%10|%100|%1 0"), "ten|ten0|one 0");
    EXPECT_EQ(format("line\nbreak%"), "line\nbreak");
    EXPECT_EQ(format("%99|%11"), "|");
    EXPECT_EQ(format("[%1!s!][%1!5s!][%1!-5s!][%2!.2s!][%1!S!]"), "[one][  one][one  ][tw][one]");
    // Not a string conversion: the plain insert, the marks stay text.
    EXPECT_EQ(format("%1!d! %1!s"), "one!d! one!s");
    // A width from an operator's file cannot make the text grow without bound.
    EXPECT_EQ(format("%1!999999999999s!").size(), kMaxInsertWidth);
}

TEST_F(TextServicesTest, TooltipIsTheTextAfterTheFirstLineBreak) {
    EXPECT_EQ(TooltipText(32957), "Play");
    EXPECT_EQ(TooltipText(32956), "Close");
    EXPECT_EQ(TooltipText(57344), "");  // no line break
    EXPECT_EQ(TooltipText(4711), "");   // no text at all

    env.WriteMaster({{StringKey(32958), "Halt\nStop now\nplease"}});
    ASSERT_TRUE(Languages().Startup());
    EXPECT_EQ(TooltipText(32958), "Stop now\nplease");
}

TEST_F(TextServicesTest, FileErrorsShowTheirMessageWithThePathAndIcon) {
    ReportFileError(0x101, "/videos/news.vid");
    ReportFileError(6, "/videos/news.vid");
    ReportFileError(0x104, "p");
    ReportFileError(0x1FE, "q");  // no message of its own
    ASSERT_EQ(env.ui.boxes.size(), 4u);
    EXPECT_EQ(env.ui.boxes[0].text, "Error opening file:\n\n/videos/news.vid");
    EXPECT_EQ(env.ui.boxes[0].caption, "ORX Video Player");
    EXPECT_EQ(env.ui.boxes[0].type, mb::Ok | mb::IconError);
    EXPECT_EQ(env.ui.boxes[1].text,
              "Warning: Missing video clips while loading playlist file!\n\n/videos/news.vid\n");
    EXPECT_EQ(env.ui.boxes[1].type, mb::Ok | mb::IconWarning);
    EXPECT_EQ(env.ui.boxes[2].text, "Read error - unsupported file version:\n\np");
    EXPECT_EQ(env.ui.boxes[3].text, "Error accessing file:\n\nq");
    EXPECT_EQ(env.ui.boxes[3].type, mb::Ok | mb::IconError);
}

TEST_F(TextServicesTest, BoxesGetTheTranslatedTitleAndTheDefaultIconRule) {
    env.WriteMaster({{StringKey(57344), "ORX Abspieler"}, {StringKey(22088), "Datei\\tlöschen?"}});
    ASSERT_TRUE(Languages().Startup());
    env.ui.answer = id::No;
    EXPECT_EQ(TranslatedMessageBox(22088, mb::YesNo), id::No);
    ASSERT_EQ(env.ui.boxes.size(), 1u);
    EXPECT_EQ(env.ui.boxes[0].text, "Datei\tlöschen?");
    EXPECT_EQ(env.ui.boxes[0].caption, "ORX Abspieler");

    const std::vector<std::pair<unsigned, unsigned>> rule = {
        {mb::Ok, mb::Ok | mb::IconWarning},
        {mb::OkCancel, mb::OkCancel | mb::IconWarning},
        {mb::YesNoCancel, mb::YesNoCancel | mb::IconWarning},
        {mb::YesNo | mb::DefaultButton2, mb::YesNo | mb::DefaultButton2 | mb::IconWarning},
        {mb::AbortRetryIgnore, mb::AbortRetryIgnore},
        {mb::RetryCancel, mb::RetryCancel},
        {mb::YesNo | mb::IconQuestion, mb::YesNo | mb::IconQuestion},
        {mb::Ok | mb::IconInformation, mb::Ok | mb::IconInformation},
    };
    for (const auto& [type, shown] : rule) {
        ShowMessageText("x", type);
        EXPECT_EQ(env.ui.boxes.back().type, shown) << std::hex << type;
    }
}

TEST(ProgramTexts, TablesHaveUniqueKeysAndEveryTextIsFoundByItsId) {
    std::set<int> ids;
    for (const ProgramString& item : ProgramStrings()) {
        EXPECT_TRUE(ids.insert(item.id).second) << item.id;
        EXPECT_EQ(ProgramStringText(item.id), item.text) << item.id;
    }
    std::set<TranslationKey> keys;
    for (const DialogText& item : DialogTexts()) {
        EXPECT_TRUE(keys.insert(DialogKey(item.templateId, item.controlId)).second)
            << item.templateId << " " << item.controlId;
        EXPECT_EQ(DialogTemplateText(item.templateId, item.controlId), item.text);
    }
    EXPECT_EQ(MasterTexts().size(), ids.size() + keys.size());
    EXPECT_EQ(ProgramStringText(2998), nullptr);
}

}  // namespace
}  // namespace orx
