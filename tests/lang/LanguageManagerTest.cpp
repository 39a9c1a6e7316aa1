#include "lang/LanguageManager.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "LangTestSupport.h"
#include "app/IniFile.h"
#include "platform/Paths.h"

namespace orx {
namespace {

constexpr const char* kUnset = "<unset>";

std::string StoredName() {
    return GetIniString("Language", "Name", kUnset);
}

class LanguageManagerTest : public ::testing::Test {
protected:
    void WriteMaster() { env.WriteMaster({{StringKey(100), "Hello"}, {StringKey(101), "Bye"}}); }
    // Each language file translates string 100 as its own name, so a test sees which file loaded.
    void WriteLanguage(const std::string& fileName) {
        env.WriteLanguage(fileName, {{StringKey(100), fileName}});
    }
    const char* CurrentText() { return Languages().CurrentTable().Find(StringKey(100)); }

    test::LanguageEnvironment env;
};

TEST_F(LanguageManagerTest, WithoutMasterNothingIsAvailableAndSettingsAreUntouched) {
    WriteLanguage("French.brl");
    WriteIniString("Language", "Name", "French");
    LanguageManager& languages = Languages();
    EXPECT_FALSE(languages.Startup());
    EXPECT_FALSE(languages.IsAvailable());
    EXPECT_TRUE(languages.LanguageNames().empty());
    EXPECT_EQ(languages.CurrentIndex(), 0);
    EXPECT_EQ(languages.CurrentName(), "");
    EXPECT_EQ(StoredName(), "French");
    EXPECT_FALSE(languages.SelectLanguage(1));
    EXPECT_FALSE(languages.SelectLanguage(0));
    EXPECT_EQ(languages.LanguageName(0), "English");
}

TEST_F(LanguageManagerTest, MasterWithoutEntriesIsAvailable) {
    env.WriteMaster({});
    EXPECT_TRUE(Languages().Startup());
    EXPECT_TRUE(Languages().MasterTable().Empty());
    EXPECT_EQ(StoredName(), "");  // start-up persists the (empty) selection
}

TEST_F(LanguageManagerTest, DefaultMasterFileFollowsTheExecutableName) {
    ResetLanguagesForTesting();
    const std::string expected = env.folder / (FileTitleOf(ExecutablePath()) + ".lna");
    EXPECT_EQ(Languages().MasterPath(), expected);
    test::WriteTable(expected, {{StringKey(5), "x"}});
    EXPECT_TRUE(Languages().Startup());
}

TEST_F(LanguageManagerTest, ScanListsLanguageFilesOnlyInNameOrder) {
    WriteMaster();
    WriteLanguage("german.BRL");
    WriteLanguage("French.brl");
    WriteLanguage("Zulu.brl");
    WriteLanguage("notes.txt");
    WriteLanguage("French.brl.bak");
    std::filesystem::create_directory(env.folder / "Folder.brl");
    ASSERT_TRUE(Languages().Startup());
    EXPECT_EQ(Languages().LanguageNames(), (std::vector<std::string>{"French", "german", "Zulu"}));
    EXPECT_EQ(Languages().LanguageName(2), "german");
    EXPECT_EQ(Languages().LanguageName(3), "Zulu");
    EXPECT_EQ(Languages().LanguageName(4), std::nullopt);
    EXPECT_EQ(Languages().LanguageName(-1), std::nullopt);

    // The file is found by the listed name, whatever the case of its extension.
    EXPECT_TRUE(Languages().SelectLanguage(2));
    ASSERT_NE(CurrentText(), nullptr);
    EXPECT_STREQ(CurrentText(), "german.BRL");
}

// Of two names differing only in case, the first listed is selected; the stored name keeps its
// own case.
TEST_F(LanguageManagerTest, StoredNameMatchesWithoutCaseAndKeepsItsOwnCase) {
    WriteMaster();
    WriteLanguage("French.brl");
    WriteLanguage("FRENCH.brl");
    WriteIniString("Language", "Name", "french");
    ASSERT_TRUE(Languages().Startup());
    ASSERT_EQ(Languages().LanguageNames().size(), 2u);
    EXPECT_EQ(Languages().CurrentIndex(), 1);
    EXPECT_EQ(Languages().CurrentName(), "french");
    EXPECT_EQ(StoredName(), "french");
    const std::string first = Languages().LanguageNames()[0] + ".brl";
    ASSERT_NE(CurrentText(), nullptr);
    EXPECT_STREQ(CurrentText(), first.c_str());
}

TEST_F(LanguageManagerTest, MissingLanguageFileUsesBuiltInButKeepsTheName) {
    WriteMaster();
    WriteIniString("Language", "Name", "Klingon");
    ASSERT_TRUE(Languages().Startup());
    EXPECT_EQ(Languages().CurrentIndex(), 0);
    EXPECT_EQ(Languages().CurrentName(), "Klingon");
    EXPECT_EQ(StoredName(), "Klingon");
    EXPECT_TRUE(Languages().CurrentTable().Empty());
}

TEST_F(LanguageManagerTest, UnreadableLanguageFileClearsTheName) {
    WriteMaster();
    test::WriteBytes(env.folder / "Broken.brl", {'L', 'A', 'N', 'G', 9, 0, 0, 0, 9, 0, 0, 0});
    WriteIniString("Language", "Name", "Broken");
    ASSERT_TRUE(Languages().Startup());
    EXPECT_EQ(Languages().LanguageNames(), std::vector<std::string>{"Broken"});
    EXPECT_EQ(Languages().CurrentIndex(), 0);
    EXPECT_EQ(Languages().CurrentName(), "");
    EXPECT_EQ(StoredName(), "");
}

TEST_F(LanguageManagerTest, SelectLanguageChangesOnlyOnARealChange) {
    WriteMaster();
    WriteLanguage("French.brl");
    WriteLanguage("German.brl");
    ASSERT_TRUE(Languages().Startup());
    LanguageManager& languages = Languages();
    EXPECT_FALSE(languages.SelectLanguage(0));  // already selected
    EXPECT_FALSE(languages.SelectLanguage(3));  // past the end
    EXPECT_FALSE(languages.SelectLanguage(-1));

    EXPECT_TRUE(languages.SelectLanguage(2));
    EXPECT_EQ(languages.CurrentIndex(), 2);
    EXPECT_EQ(StoredName(), "German");
    EXPECT_STREQ(CurrentText(), "German.brl");
    EXPECT_FALSE(languages.SelectLanguage(2));

    EXPECT_TRUE(languages.SelectLanguage(1));
    EXPECT_STREQ(CurrentText(), "French.brl");

    EXPECT_TRUE(languages.SelectLanguage(0));
    EXPECT_EQ(languages.CurrentIndex(), 0);
    EXPECT_EQ(languages.CurrentName(), "");
    EXPECT_EQ(StoredName(), "");
    EXPECT_TRUE(languages.CurrentTable().Empty());
}

}  // namespace
}  // namespace orx
