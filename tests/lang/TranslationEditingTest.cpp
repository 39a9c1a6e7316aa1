// The translation editor's rules and the language-file encoding, apart from the dialog (its key
// driven tests are in tests/settings).

#include "lang/TranslationEditing.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "LangTestSupport.h"
#include "lang/TextEncoding.h"
#include "lang/TranslationKey.h"

namespace orx {
namespace {

namespace fs = std::filesystem;

using test::LanguageFileBytes;

TEST(TranslationRulesTest, StoredTextsAndRowLabels) {
    EXPECT_EQ(StoredTranslation("Neu\r\nZeile", "New\nline"), "Neu\nZeile");
    EXPECT_EQ(StoredTranslation(" \r\n\t \n", "Play"), "");
    EXPECT_EQ(StoredTranslation("Play", "Play"), "");
    EXPECT_EQ(StoredTranslation("play", "Play"), "play");  // case counts
    EXPECT_EQ(StoredTranslation("  Spiel ", "Play"), "  Spiel ");
    EXPECT_EQ(RowLabel("Exactly twenty-five chars"), "Exactly twenty-five chars");
    EXPECT_EQ(RowLabel("Short\nsecond line that is long enough"), "Short");
    // Characters are counted, not bytes: 26 two-byte letters keep 23 whole letters.
    std::string umlauts;
    for (int i = 0; i < 26; ++i)
        umlauts += "\xC3\xBC";
    EXPECT_EQ(RowLabel(umlauts), umlauts.substr(0, 46) + "...");
}

// That every byte of every code page reads and writes back is fuzzed (LanguageEncodingFuzzer).
TEST(TextEncodingTest, CodePagesMapTheirCharactersAndRefuseWhatTheyCannotHold) {
    EXPECT_EQ(DecodeCodePage("\xB3\xF3\xB9", 1250), "\xC5\x82\xC3\xB3\xC4\x85");  // "łóą"
    EXPECT_EQ(DecodeCodePage("\xB3\x80", 1252), "\xC2\xB3\xE2\x82\xAC");          // "³€"
    EXPECT_EQ(FirstUnencodable("ab\xC5\x82\xE2\x82\xAC", 1252), "\xC5\x82");  // "ł", then "€"
    EXPECT_EQ(FirstUnencodable("ab\xC5\x82", kCodePageUtf8), "");
    EXPECT_TRUE(IsValidUtf8("Gr\xC3\xBC\xC3\x9F"));
    EXPECT_FALSE(IsValidUtf8("Gr\xFC\xDF"));
    EXPECT_FALSE(IsValidUtf8("\xC0\xAF"));      // overlong
    EXPECT_FALSE(IsValidUtf8("\xED\xA0\x80"));  // surrogate
}

class LanguageEditingTest : public ::testing::Test {
protected:
    void SetUp() override {
        env_.Write("brenvik.lna", {{DialogKey(304), "Settings"}, {StringKey(3000), "Bad:%1"}});
    }
    std::string FileBytes(const std::string& name) const {
        return test::ReadFile(env_.folder / name);
    }

    test::LanguageEnvironment env_;
    test::ScriptedEditor editor_;
};

TEST_F(LanguageEditingTest, AFileIsRewrittenInPlaceInTheEncodingItWasReadIn) {
    // Made on a Polish Windows machine: code page 1250 ("ł" is 0xB3 there).
    env_.Write("polski.brl", {{DialogKey(304), "Ustawienia"}, {StringKey(3000), "Z\xB3y:%1"}});
    env_.Write("Svenska.brl", {{DialogKey(304), "Inst\xC3\xA4llningar"}});  // UTF-8
    WriteIniString("Language", "CodePage", "1250");
    WriteIniString("Language", "Name", "Polski");
    ASSERT_TRUE(Languages().Startup());
    EXPECT_EQ(Languages().CurrentEncoding(), 1250);

    const std::string before = FileBytes("polski.brl");
    EXPECT_FALSE(Languages().EditCurrentLanguage(editor_));  // cancelled: nothing changes
    EXPECT_EQ(FileBytes("polski.brl"), before);
    editor_.answer = {"", "Z\xC5\x82y plik:%1"};
    ASSERT_TRUE(Languages().EditCurrentLanguage(editor_));
    EXPECT_EQ(editor_.seenCodePage, 1250);
    EXPECT_EQ(editor_.seen[1], "Z\xC5\x82y:%1");  // read as code page 1250
    // The file found without regard to case, rewritten in code page 1250, in effect at once.
    EXPECT_EQ(FileBytes("polski.brl"), LanguageFileBytes({{StringKey(3000), "Z\xB3y plik:%1"}}));
    EXPECT_FALSE(fs::exists(env_.folder / "Polski.brl"));
    EXPECT_STREQ(Languages().CurrentTable().Find(StringKey(3000)), "Z\xC5\x82y plik:%1");

    // A UTF-8 file stays UTF-8, whatever the code page setting.
    ASSERT_TRUE(Languages().SelectLanguage(2));
    EXPECT_EQ(Languages().CurrentEncoding(), kCodePageUtf8);
    editor_.answer = {"\xC5\x81\xC3\xA4"};
    ASSERT_TRUE(Languages().EditCurrentLanguage(editor_));
    EXPECT_EQ(FileBytes("Svenska.brl"), LanguageFileBytes({{DialogKey(304), "\xC5\x81\xC3\xA4"}}));

    // A failed save is reported; the edit stays in effect.
    fs::remove(env_.folder / "Svenska.brl");
    fs::create_directory(env_.folder / "Svenska.brl");
    editor_.answer = {"Optionen"};
    EXPECT_TRUE(Languages().EditCurrentLanguage(editor_));
    ASSERT_EQ(env_.ui.boxes.size(), 1u);
    EXPECT_EQ(env_.ui.boxes[0].text, "Bad:" + (env_.folder / "Svenska.brl"));
    EXPECT_STREQ(Languages().CurrentTable().Find(DialogKey(304)), "Optionen");
}

TEST_F(LanguageEditingTest, ANewLanguageIsWrittenInTheCodePageWhereEveryTextFitsElseInUtf8) {
    ASSERT_TRUE(Languages().Startup());
    editor_.answer = {"Ajustes"};
    EXPECT_FALSE(Languages().CreateLanguage(editor_));  // the file dialog cancelled
    EXPECT_TRUE(env_.ui.boxes.empty());

    editor_.answer = {"Configuraci\xC3\xB3n"};
    editor_.file = env_.folder / "Espa\xC3\xB1ol.brl";
    ASSERT_TRUE(Languages().CreateLanguage(editor_));
    EXPECT_EQ(editor_.seenCodePage, kCodePageUtf8);
    EXPECT_EQ(FileBytes("Espa\xC3\xB1ol.brl"),
              LanguageFileBytes({{DialogKey(304), "Configuraci\xF3n"}}));
    EXPECT_EQ(Languages().CurrentIndex(), 1);
    EXPECT_EQ(GetIniString("Language", "Name", ""), "Espa\xC3\xB1ol");
    EXPECT_STREQ(Languages().CurrentTable().Find(DialogKey(304)), "Configuraci\xC3\xB3n");

    editor_.answer = {"Ustawienia \xC5\x82"};
    editor_.file = env_.folder / "Polski.brl";
    ASSERT_TRUE(Languages().CreateLanguage(editor_));
    EXPECT_EQ(FileBytes("Polski.brl"),
              LanguageFileBytes({{DialogKey(304), "Ustawienia \xC5\x82"}}));
    EXPECT_EQ(Languages().CurrentIndex(), 2);

    // Saved outside the program folder: written, not listed, the name still persisted.
    test::TempFolder elsewhere;
    editor_.file = elsewhere / "Outside.brl";
    ASSERT_TRUE(Languages().CreateLanguage(editor_));
    EXPECT_TRUE(fs::exists(elsewhere / "Outside.brl"));
    EXPECT_EQ(Languages().CurrentIndex(), 0);
    EXPECT_EQ(GetIniString("Language", "Name", ""), "Outside");
}

}  // namespace
}  // namespace orx
