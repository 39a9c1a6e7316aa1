#include "lang/LanguageManager.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "LangTestSupport.h"
#include "platform/Paths.h"

namespace orx {
namespace {

std::string StoredName() {
    return GetIniString("Language", "Name", "<unset>");
}

class LanguageManagerTest : public ::testing::Test {
protected:
    test::LanguageEnvironment env;
    LanguageManager& languages = Languages();
};

TEST_F(LanguageManagerTest, ListsLanguageFilesInNameOrderAndSelectsOnlyOnARealChange) {
    env.WriteMaster({{StringKey(100), "Hello"}});
    // Each file translates string 100 as its own name, so the test sees which one loaded.
    for (const char* file :
         {"german.BRL", "French.brl", "FRENCH.brl", "Zulu.brl", "a.txt", "b.brl.bak", ".brl"})
        env.WriteLanguage(file, {{StringKey(100), file}});
    std::filesystem::create_directory(env.folder / "Folder.brl");
    // Of names differing only in case the first listed is taken; the stored name keeps its case.
    WriteIniString("Language", "Name", "french");
    ASSERT_TRUE(languages.Startup());
    EXPECT_EQ(languages.LanguageNames(),
              (std::vector<std::string>{"FRENCH", "French", "german", "Zulu"}));
    EXPECT_EQ(languages.CurrentIndex(), 1);
    EXPECT_EQ(StoredName(), "french");
    EXPECT_STREQ(languages.CurrentTable().Find(StringKey(100)), "FRENCH.brl");

    for (int unchanged : {1, 5, -1})
        EXPECT_FALSE(languages.SelectLanguage(unchanged)) << unchanged;
    EXPECT_TRUE(languages.SelectLanguage(3));  // found whatever the case of its extension
    EXPECT_EQ(StoredName(), "german");
    EXPECT_STREQ(languages.CurrentTable().Find(StringKey(100)), "german.BRL");
    EXPECT_TRUE(languages.SelectLanguage(0));
    EXPECT_EQ(StoredName(), "");
    EXPECT_TRUE(languages.CurrentTable().Empty());
}

TEST_F(LanguageManagerTest, MissingMasterOrFileKeepsTheNameUnreadableFileClearsIt) {
    WriteIniString("Language", "Name", "Klingon");
    EXPECT_FALSE(languages.Startup());
    EXPECT_FALSE(languages.SelectLanguage(1));
    env.WriteMaster({});
    ASSERT_TRUE(languages.Startup());
    EXPECT_EQ(languages.CurrentIndex(), 0);
    EXPECT_EQ(StoredName(), "Klingon");

    test::WriteBytes(env.folder / "Broken.brl", {'L', 'A', 'N', 'G', 9, 0, 0, 0, 9, 0, 0, 0});
    WriteIniString("Language", "Name", "Broken");
    ASSERT_TRUE(languages.Startup());
    EXPECT_EQ(languages.LanguageNames(), std::vector<std::string>{"Broken"});
    EXPECT_EQ(languages.CurrentIndex(), 0);
    EXPECT_EQ(StoredName(), "");

    // Without an override the master sits in the program folder, named after the executable.
    ResetLanguagesForTesting();
    EXPECT_EQ(languages.MasterPath(), env.folder / (FileTitleOf(ExecutablePath()) + ".lna"));
}

}  // namespace
}  // namespace orx
