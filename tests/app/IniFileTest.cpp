#include "app/IniFile.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>

#include "support/FolderEvents.h"
#include "support/TempFolder.h"

namespace orx {

using namespace std::string_literals;

class IniFileTest : public ::testing::Test {
protected:
    void SetUp() override { SetIniPath(folder_ / "brenvik.ini"); }
    void Store(const std::string& content) { test::WriteFile(IniPath(), content); }
    std::string Stored() const { return test::ReadFile(IniPath()); }

    test::TempFolder folder_;
};

TEST_F(IniFileTest, ReadsLikeAPrivateProfileWhateverTheFileHolds) {
    const std::string huge(1 << 20, 'x');
    Store("[Big]\r\nhuge=" + huge + "\r\n\xff\xfe[\x01\x02]\r\n" + "\0\0=\0\n"s +
          "[Paths]\r\n  Video  =   D:\\Clips\\   \r\nQuoted=\"  spaced  \"\r\nLoneQuote=\"abc\r\n"
          "Single=' a b '\r\nMixed='x\"\r\nOne='\r\n"
          "Equals=a=b=c\r\nno equals sign\r\nvideo=second\r\nEmpty=\r\n[ Hardware ]\nMPEG=1\n"
          "[paths]\r\nLate=duplicate\r\n[N]\r\na=-1\r\nb=+7\r\nc=12abc\r\nd=abc\r\ne=-\r\nf=\r\n"
          "g=\"42\"\r\nh=-2147483648\r\ni=-99999999999\r\nj=999999999999999999999\r\nlast=yes");
    const char* strings[] = {
        "VIDEO",  "D:\\Clips\\", "Quoted", "  spaced  ", "LoneQuote",      "\"abc",
        "Equals", "a=b=c",       "Empty",  "",           "no equals sign", "-",
        "Late",   "-",           "huge",   "-",          "Single",         " a b ",
        "Mixed",  "'x\"",        "One",    "'"};
    for (size_t i = 0; i < std::size(strings); i += 2) {  // key, value: case, trimming, first match
        EXPECT_EQ(GetIniString("PATHS", strings[i], "-"), strings[i + 1]) << strings[i];
    }
    EXPECT_EQ(GetIniInt("hardware", "mpeg", 0), 1);
    const int32_t ints[] = {-1, 7, 12, 0, 0, 5, 42, INT32_MIN, INT32_MIN, INT32_MAX};  // a..j
    for (char key = 'a'; key <= 'j'; ++key) {  // sign and leading digits; an empty value is none
        EXPECT_EQ(GetIniInt("N", std::string(1, key), 5), ints[key - 'a']) << key;
    }
    EXPECT_TRUE(GetIniString("Big", "huge") == huge);  // not printed: a megabyte
    EXPECT_EQ(GetIniString("N", "last"), "yes");
}

TEST_F(IniFileTest, WritesCreateTheFileAndRewriteInPlaceKeepingEveryOtherLine) {
    WriteIniString("A", "k", "2\r\n[B]\r\nx=3");  // a value is one line
    for (const auto& [section, key] :
         {std::pair{"A", "bad=key"}, {"bad]section", "k"}, {"", "k"}, {"A", " "}}) {
        WriteIniString(section, key, "1");
    }
    EXPECT_EQ(Stored(), "[A]\r\nk=2\r\n");  // names that would break the structure refused

    const std::string garbage = "\xff[\x01]\r\n"s + "\0=\0\r\n"s;
    Store("; notes\n[Hardware]\r\n  mpeg = 1  \r\n" + garbage +
          "AirLog=1\r\n\r\n[Paths]\r\nVideo=V");
    WriteIniInt("HARDWARE", "MPEG", -2);       // in place, the file's spelling kept
    WriteIniInt("Hardware", "CuePreview", 1);  // after the section's last line
    WriteIniString("Layout", "Left", "10");    // new section at the end
    WriteIniString("Paths", "Remote", "R/");
    EXPECT_EQ(Stored(), "; notes\r\n[Hardware]\r\nmpeg=-2\r\n" + garbage +
                            "AirLog=1\r\nCuePreview=1\r\n\r\n[Paths]\r\nVideo=V\r\nRemote=R/\r\n"
                            "\r\n[Layout]\r\nLeft=10\r\n");
}

TEST_F(IniFileTest, AnUnusableFileIsLeftAloneAndNeverWaitedForAndALinkStaysALink) {
    Store("[A]\r\nk=1\r\n");
    chmod(IniPath().c_str(), 0444);  // refused even where permissions are not checked
    WriteIniInt("A", "k", 2);
    EXPECT_EQ(Stored(), "[A]\r\nk=1\r\n");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder_.Path()), {}), 1);
    const std::string fifo = folder_ / "fifo.ini";  // a read would wait for a writer for ever
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    for (const std::string& unusable :
         {folder_ / "missing/brenvik.ini", folder_.Path() + ".", fifo}) {
        SetIniPath(unusable);
        WriteIniInt("A", "k", 2);
        EXPECT_EQ(GetIniInt("A", "k", 7), 7) << unusable;
    }
    EXPECT_TRUE(std::filesystem::is_fifo(fifo));

    test::WriteFile(folder_ / "real.ini", "[A]\r\nk=1\r\n");
    SetIniPath(folder_ / "link.ini");
    ASSERT_EQ(symlink("real.ini", IniPath().c_str()), 0);
    WriteIniInt("A", "k", 2);
    EXPECT_TRUE(std::filesystem::is_symlink(IniPath()));
    EXPECT_EQ(test::ReadFile(folder_ / "real.ini"), "[A]\r\nk=2\r\n");
}

TEST_F(IniFileTest, ABatchRewritesOnceWithTheBytesOfSeparateWritesAndReadsItsOwnWrites) {
    const std::string start = "; notes\r\n[Layout]\r\nLeft=1\r\n\r\n[HotKeys]\r\nPlay=5\r\n";
    auto writeAll = [] {
        WriteIniInt("layout", "LEFT", 10);
        WriteIniString("InputLabels", "Label0", "Cam 1");
        {
            IniWriteBatch inner;  // nested: only the outermost batch writes
            WriteIniInt("HotKeys", "Play", 116);
            WriteIniInt("Layout", "Top", 20);
        }
        WriteIniString("InputLabels", "Label0", "Cam 2");  // the later write wins
    };
    Store(start);
    writeAll();
    const std::string separately = Stored();
    Store(start);
    test::FolderEvents replaced(folder_.Path());
    {
        IniWriteBatch batch;
        writeAll();
        EXPECT_EQ(Stored(), start);
        EXPECT_EQ(replaced.Replaced("brenvik.ini"), 0);
        EXPECT_EQ(GetIniInt("LAYOUT", "top", 0), 20);
        EXPECT_EQ(GetIniString("InputLabels", "Label0"), "Cam 2");
    }
    EXPECT_EQ(replaced.Replaced("brenvik.ini"), 1);
    EXPECT_EQ(Stored(), separately);
}

}  // namespace orx
