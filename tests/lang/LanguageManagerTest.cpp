#include "lang/LanguageManager.h"

#include <gtest/gtest.h>

#include "LangTestSupport.h"
#include "platform/Paths.h"

namespace orx {
namespace {

class LanguageManagerTest : public ::testing::Test {
protected:
    // Current index, stored name and the loaded file's text for string 100.
    std::string State() {
        const char* text = languages.CurrentTable().Find(StringKey(100));
        return std::to_string(languages.CurrentIndex()) + " " +
               GetIniString("Language", "Name", "<unset>") + " " + (text ? text : "-");
    }

    test::LanguageEnvironment env;
    LanguageManager& languages = Languages();
};

// A missing master or language file keeps the stored name, an unreadable file clears it.
TEST_F(LanguageManagerTest, ListsFilesInNameOrderSelectsOnARealChangeAndKeepsOrClearsTheName) {
    WriteIniString("Language", "Name", "Klingon");
    EXPECT_FALSE(languages.Startup());
    EXPECT_FALSE(languages.SelectLanguage(1));
    env.Write("brenvik.lna", {});
    ASSERT_TRUE(languages.Startup());
    EXPECT_EQ(State(), "0 Klingon -");
    test::WriteBytes(env.folder / "Broken.brl", {'L', 'A', 'N', 'G', 9, 0, 0, 0, 9, 0, 0, 0});
    WriteIniString("Language", "Name", "Broken");
    ASSERT_TRUE(languages.Startup());
    EXPECT_EQ(State(), "0  -");
    std::filesystem::remove(env.folder / "Broken.brl");

    // Each file translates string 100 as its own name, so the test sees which one loaded.
    for (const char* file :
         {"german.BRL", "French.brl", "FRENCH.brl", "Zulu.brl", "a.txt", "b.brl.bak", ".brl"})
        env.Write(file, {{StringKey(100), file}});
    std::filesystem::create_directory(env.folder / "Folder.brl");
    // Of names differing only in case the first listed is taken; the stored name keeps its case.
    WriteIniString("Language", "Name", "french");
    ASSERT_TRUE(languages.Startup());
    EXPECT_EQ(languages.LanguageNames(),
              (std::vector<std::string>{"FRENCH", "French", "german", "Zulu"}));
    EXPECT_EQ(State(), "1 french FRENCH.brl");
    for (int unchanged : {1, 5, -1})
        EXPECT_FALSE(languages.SelectLanguage(unchanged)) << unchanged;
    EXPECT_TRUE(languages.SelectLanguage(3));  // found whatever the case of its extension
    EXPECT_EQ(State(), "3 german german.BRL");
    EXPECT_TRUE(languages.SelectLanguage(0));
    EXPECT_EQ(State(), "0  -");

    // Without an override the master sits in the program folder, named after the executable.
    ResetLanguagesForTesting();
    EXPECT_EQ(languages.MasterPath(), env.folder / (FileTitleOf(ExecutablePath()) + ".lna"));
}

}  // namespace
}  // namespace orx
