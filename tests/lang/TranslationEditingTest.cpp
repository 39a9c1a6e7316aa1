// The translation editor's rules and the language-file encoding, apart from the dialog.

#include "lang/TranslationEditing.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "LangTestSupport.h"
#include "lang/LanguageManager.h"
#include "lang/TextEncoding.h"
#include "lang/TranslationKey.h"

namespace orx {
namespace {

std::string Bytes(const TranslationTable& table) {
    const std::vector<uint8_t> bytes = table.Serialize();
    return std::string(bytes.begin(), bytes.end());
}

TEST(TranslationRulesTest, StoreRulesRowLabelsAndRebuildFromTheMasterKeys) {
    EXPECT_EQ(StoredTranslation("Neu\r\nZeile", "New\nline"), "Neu\nZeile");
    EXPECT_EQ(StoredTranslation(" \r\n\t \n", "Play"), "");
    EXPECT_EQ(StoredTranslation("Play", "Play"), "");
    EXPECT_EQ(StoredTranslation("play", "Play"), "play");  // case counts
    EXPECT_EQ(StoredTranslation("  Spiel ", "Play"), "  Spiel ");

    EXPECT_EQ(RowLabel("Remote control cannot execute command!\n\nPlease verify"),
              "Remote control cannot e...");
    EXPECT_EQ(RowLabel("Exactly twenty-five chars"), "Exactly twenty-five chars");
    EXPECT_EQ(RowLabel("Short\nsecond line that is long enough"), "Short");
    // Characters are counted, not bytes: 26 two-byte letters keep 23 whole letters.
    std::string umlauts;
    for (int i = 0; i < 26; ++i)
        umlauts += "\xC3\xBC";
    EXPECT_EQ(RowLabel(umlauts), umlauts.substr(0, 46) + "...");

    TranslationTable master;
    master.Assign({{StringKey(3000), "Open"}, {DialogKey(304), "Settings"}, {StringKey(9), "x"}});
    TranslationTable table;
    table.Assign({{DialogKey(304), "Einstellungen"}, {StringKey(77), "not in the master"}});
    std::vector<std::string> translations = TranslationsFor(master, table);
    EXPECT_EQ(translations, (std::vector<std::string>{"", "Einstellungen", ""}));
    translations[2] = "y";
    RebuildTable(table, master, translations);
    TranslationTable expected;
    expected.Assign({{DialogKey(304), "Einstellungen"}, {StringKey(9), "y"}});
    EXPECT_EQ(Bytes(table), Bytes(expected));
    RebuildTable(table, master, {"", "", ""});
    EXPECT_TRUE(table.Empty());
    EXPECT_EQ(table.Serialize().size(), TranslationTable::kHeaderSize);
}

TEST(TextEncodingTest, CodePagesRoundTripEveryByteAndRefuseWhatTheyCannotHold) {
    EXPECT_EQ(DecodeCodePage("\xB3\xF3\xB9", 1250), "\xC5\x82\xC3\xB3\xC4\x85");  // "łóą"
    EXPECT_EQ(DecodeCodePage("\xB3\x80", 1252), "\xC2\xB3\xE2\x82\xAC");          // "³€"
    for (const int codePage : {874, 1250, 1251, 1252, 1253, 1254, 1255, 1256, 1257, 1258}) {
        std::string all;
        for (int b = 1; b < 256; ++b)
            all.push_back(static_cast<char>(b));
        std::string back;
        ASSERT_TRUE(EncodeCodePage(DecodeCodePage(all, codePage), codePage, back)) << codePage;
        EXPECT_EQ(back, all) << codePage;
    }
    std::string out;
    EXPECT_FALSE(EncodeCodePage("\xC5\x82", 1252, out));  // "ł" is not in Western European
    EXPECT_EQ(FirstUnencodable("ab\xC5\x82\xE2\x82\xAC", 1252), "\xC5\x82");
    EXPECT_EQ(FirstUnencodable("ab\xC5\x82", kCodePageUtf8), "");
    EXPECT_FALSE(EncodeCodePage("\xFF", kCodePageUtf8, out));
    EXPECT_TRUE(IsValidUtf8("Gr\xC3\xBC\xC3\x9F"));
    EXPECT_FALSE(IsValidUtf8("Gr\xFC\xDF"));
    EXPECT_FALSE(IsValidUtf8("\xC0\xAF"));      // overlong
    EXPECT_FALSE(IsValidUtf8("\xED\xA0\x80"));  // surrogate
}

class LanguageEditingTest : public ::testing::Test {
protected:
    // Answers the editor with fixed translations per master key, or cancels.
    struct ScriptedEditor : TranslationEditor {
        bool EditTranslations(TranslationTable& table, int codePage) override {
            ++runs;
            seenCodePage = codePage;
            seen = TranslationsFor(Languages().MasterTable(), table);
            if (!confirm)
                return false;
            RebuildTable(table, Languages().MasterTable(), answer);
            return true;
        }
        std::string ChooseNewLanguageFile() override { return file; }
        bool confirm = true;
        std::vector<std::string> answer, seen;
        std::string file;
        int runs = 0, seenCodePage = 0;
    };

    void SetUp() override {
        env_.Write("brenvik.lna", {{DialogKey(304), "Settings"},
                                   {StringKey(3000), "Error opening file:\n\n%1"},
                                   {StringKey(33500), "English"}});
    }
    std::string FileBytes(const std::string& name) const {
        return test::ReadFile(env_.folder / name);
    }
    int FileCount() const {
        return static_cast<int>(
            std::distance(std::filesystem::directory_iterator(env_.folder.Path()),
                          std::filesystem::directory_iterator()));
    }

    test::LanguageEnvironment env_;
    ScriptedEditor editor_;
};

TEST_F(LanguageEditingTest, AWindowsFileIsReadInItsCodePageAndRewrittenInIt) {
    // Made on a Polish Windows machine: code page 1250, "Ustawienia" with "ł" in another text.
    env_.Write("polski.brl", {{DialogKey(304), "Ustawienia"},
                              {StringKey(3000),
                               "B\xB3\xB9"
                               "d:\n\n%1"},
                              {StringKey(4711), "a key the master lacks"}});
    WriteIniString("Language", "CodePage", "1250");
    WriteIniString("Language", "Name", "Polski");
    ASSERT_TRUE(Languages().Startup());
    ASSERT_EQ(Languages().CurrentIndex(), 1);
    EXPECT_EQ(Languages().CurrentEncoding(), 1250);
    EXPECT_STREQ(Languages().CurrentTable().Find(StringKey(3000)),
                 "B\xC5\x82\xC4\x85"
                 "d:\n\n%1");

    editor_.answer = {"Ustawienia",
                      "B\xC5\x82\xC4\x85"
                      "d otwarcia:\n\n%1",
                      "Angielski"};
    ASSERT_TRUE(Languages().EditCurrentLanguage(editor_));
    EXPECT_EQ(editor_.seenCodePage, 1250);
    EXPECT_EQ(editor_.seen[1],
              "B\xC5\x82\xC4\x85"
              "d:\n\n%1");
    // The file it was loaded from is rewritten in code page 1250, no second file beside it, and
    // the key the master lacks is gone.
    TranslationTable expected;
    expected.Assign({{DialogKey(304), "Ustawienia"},
                     {StringKey(3000),
                      "B\xB3\xB9"
                      "d otwarcia:\n\n%1"},
                     {StringKey(33500), "Angielski"}});
    EXPECT_EQ(FileBytes("polski.brl"), Bytes(expected));
    EXPECT_FALSE(std::filesystem::exists(env_.folder / "Polski.brl"));
    EXPECT_STREQ(Languages().CurrentTable().Find(StringKey(33500)), "Angielski");

    // A UTF-8 file stays UTF-8, whatever the code page setting.
    env_.Write("Deutsch.brl", {{DialogKey(304), "Einstellungen \xC3\xBC"}});
    Languages().ScanLanguages();
    Languages().SetCurrentName("Deutsch");
    Languages().ApplyLanguage();
    ASSERT_EQ(Languages().CurrentIndex(), 1);
    EXPECT_EQ(Languages().CurrentEncoding(), kCodePageUtf8);
    editor_.answer = {
        "\xC3\x9C"
        "bersicht \xC5\x82",
        "", ""};
    ASSERT_TRUE(Languages().EditCurrentLanguage(editor_));
    expected.Assign({{DialogKey(304),
                      "\xC3\x9C"
                      "bersicht \xC5\x82"}});
    EXPECT_EQ(FileBytes("Deutsch.brl"), Bytes(expected));
}

TEST_F(LanguageEditingTest, EditingNeedsALanguageAndACancelChangesNothing) {
    env_.Write("German.brl", {{DialogKey(304), "Einstellungen"}});
    ASSERT_TRUE(Languages().Startup());
    EXPECT_FALSE(Languages().EditCurrentLanguage(editor_));  // the built-in language
    EXPECT_EQ(editor_.runs, 0);
    ASSERT_TRUE(Languages().SelectLanguage(1));
    const std::string before = FileBytes("German.brl");
    editor_.confirm = false;
    EXPECT_FALSE(Languages().EditCurrentLanguage(editor_));
    EXPECT_EQ(FileBytes("German.brl"), before);
    EXPECT_STREQ(Languages().CurrentTable().Find(DialogKey(304)), "Einstellungen");

    // A failed save is reported; the edit stays in effect.
    editor_.confirm = true;
    editor_.answer = {"Optionen", "", ""};
    std::filesystem::remove(env_.folder / "German.brl");
    std::filesystem::create_directory(env_.folder / "German.brl");
    EXPECT_TRUE(Languages().EditCurrentLanguage(editor_));
    ASSERT_EQ(env_.ui.boxes.size(), 1u);
    EXPECT_EQ(env_.ui.boxes[0].text, "Error opening file:\n\n" + (env_.folder / "German.brl"));
    EXPECT_STREQ(Languages().CurrentTable().Find(DialogKey(304)), "Optionen");
}

TEST_F(LanguageEditingTest, CreatingWritesOnlyWhatWasTranslatedAndAppliesTheNewLanguage) {
    ASSERT_TRUE(Languages().Startup());
    const int files = FileCount();
    editor_.answer = {"", "", ""};
    editor_.file = env_.folder / "Empty.brl";
    EXPECT_FALSE(Languages().CreateLanguage(editor_));
    EXPECT_EQ(FileCount(), files);
    editor_.answer = {"Ajustes", "", ""};
    editor_.file = "";
    EXPECT_FALSE(Languages().CreateLanguage(editor_));  // the file dialog cancelled
    EXPECT_EQ(FileCount(), files);

    // Every character fits code page 1252: the file is readable on Windows as well.
    editor_.answer = {"Configuraci\xC3\xB3n", "", ""};
    editor_.file = env_.folder / "Espa\xC3\xB1ol.brl";
    ASSERT_TRUE(Languages().CreateLanguage(editor_));
    EXPECT_EQ(editor_.seenCodePage, kCodePageUtf8);
    TranslationTable expected;
    expected.Assign({{DialogKey(304), "Configuraci\xF3n"}});
    EXPECT_EQ(FileBytes("Espa\xC3\xB1ol.brl"), Bytes(expected));
    EXPECT_EQ(Languages().CurrentName(), "Espa\xC3\xB1ol");
    EXPECT_EQ(Languages().CurrentIndex(), 1);
    EXPECT_EQ(GetIniString("Language", "Name", ""), "Espa\xC3\xB1ol");
    EXPECT_STREQ(Languages().CurrentTable().Find(DialogKey(304)), "Configuraci\xC3\xB3n");

    // A character outside the code page: the whole file is UTF-8, nothing is lost.
    editor_.answer = {"Ustawienia \xC5\x82", "", ""};
    editor_.file = env_.folder / "Polski.brl";
    ASSERT_TRUE(Languages().CreateLanguage(editor_));
    expected.Assign({{DialogKey(304), "Ustawienia \xC5\x82"}});
    EXPECT_EQ(FileBytes("Polski.brl"), Bytes(expected));
    EXPECT_EQ(Languages().CurrentIndex(), 2);

    // Saved outside the program folder: written, not listed, the name still persisted.
    test::TempFolder elsewhere;
    editor_.file = elsewhere / "Outside.brl";
    ASSERT_TRUE(Languages().CreateLanguage(editor_));
    EXPECT_TRUE(std::filesystem::exists(elsewhere / "Outside.brl"));
    EXPECT_EQ(Languages().CurrentIndex(), 0);
    EXPECT_EQ(GetIniString("Language", "Name", ""), "Outside");
}

}  // namespace
}  // namespace orx
