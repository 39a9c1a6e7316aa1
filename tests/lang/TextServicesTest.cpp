#include "lang/TextServices.h"

#include <gtest/gtest.h>

#include "LangTestSupport.h"
#include "lang/MessageFormatter.h"

namespace orx {
namespace {

// Texts come from the current language, then the master, then the program; boxes carry the
// untranslated title, the text and an icon.
TEST(TextServicesTest, LookupOrderInsertsAndBoxes) {
    test::LanguageEnvironment env;
    env.Write("German.brl", {{StringKey(22162), "Clip"}, {StringKey(3000), "Fehler"}});
    WriteIniString("Language", "Name", "German");
    ASSERT_FALSE(Languages().Startup());  // without the master no language is used at all
    EXPECT_EQ(FormatTranslated(3000, {"/v/a.vid"}), "Error opening file:\n\n/v/a.vid");
    EXPECT_EQ(TooltipText(32957), "Play");
    env.Write("brenvik.lna", {{StringKey(22162), "V"},
                              {StringKey(22163), "L\\tx\\\\ty\\"},
                              {StringKey(18003), "%2 - %1 - 100%% - %3"},
                              {StringKey(32958), "H\nS\nx"},
                              {StringKey(57344), "ORX Abspieler"},
                              {StringKey(22088), "Datei\\tweg?"}});
    ASSERT_TRUE(Languages().Startup());
    EXPECT_EQ(TranslateString(22162), "Clip");
    EXPECT_EQ(TranslateString(22163), "L\tx\\\ty\\");
    EXPECT_EQ(TranslateString(22165), "Comment");
    // An insert the caller did not pass is empty, never read from elsewhere.
    EXPECT_EQ(FormatTranslated(18003, {"a", "b"}), "b - a - 100% - ");
    EXPECT_EQ(TooltipText(32958), "S\nx");
    EXPECT_EQ(TooltipText(57344), "");  // no line break

    auto& boxes = env.ui.boxes;
    ReportFileError(6, "/v/a.vid");  // a warning, not an error
    ReportFileError(0x1FE, "q");     // no message of its own
    EXPECT_EQ(boxes.at(0).text,
              "Warning: Missing video clips while loading playlist file!\n\n/v/a.vid\n");
    EXPECT_EQ(boxes[0].type, mb::Ok | mb::IconWarning);
    EXPECT_EQ(boxes.at(1).text, "Error accessing file:\n\nq");
    env.ui.answer = id::No;
    EXPECT_EQ(TranslatedMessageBox(22088, mb::YesNo | mb::DefaultButton2), id::No);
    EXPECT_EQ(boxes.back().text, "Datei\tweg?");
    EXPECT_EQ(boxes.back().caption, "ORX Video Player");  // the title is never translated
    EXPECT_EQ(boxes.back().type, mb::YesNo | mb::DefaultButton2 | mb::IconWarning);
    // A box offering Retry, or with an icon of its own, gets no warning icon.
    for (const unsigned type : {mb::AbortRetryIgnore, mb::RetryCancel, mb::Ok | mb::IconQuestion}) {
        ShowMessageText("x", type);
        EXPECT_EQ(boxes.back().type, type) << std::hex << type;
    }
}

TEST(MessageFormatter, HandlesTheFormattersEscapes) {
    const std::vector<std::string> args = {"one", "two", "", "", "", "", "", "", "", "ten"};
    const auto format = [&](const char* pattern) { return FormatMessageText(pattern, args); };
    EXPECT_EQ(format("%1%n%2%t%r"), "one\ntwo\t\r");
    EXPECT_EQ(format("%% %. %! %  %x%"), "% . !   x");
    EXPECT_EQ(format("%10|%100|%99|%1 0%0dropped"), "ten|ten0||one 0");
    EXPECT_EQ(format("[%1!5s!][%1!-5s!][%2!.2s!][%1!d!]"), "[  one][one  ][tw][one!d!]");
    // A width from an operator's file cannot make the text grow without bound.
    EXPECT_EQ(format("%1!999999999999s!").size(), kMaxInsertWidth);
}

}  // namespace
}  // namespace orx
