#include "app/IniFile.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <climits>

#include "TempFolder.h"

namespace orx {
namespace {

using test::ReadFile;
using test::WriteFile;

class IniFileTest : public ::testing::Test {
protected:
    void SetUp() override { SetIniPath(folder_ / "brenvik.ini"); }
    void TearDown() override { SetIniPath({}); }
    void Store(const std::string& content) { WriteFile(IniPath(), content); }
    std::string Stored() const { return ReadFile(IniPath()); }

    test::TempFolder folder_;
};

TEST_F(IniFileTest, ReadsLikeAPrivateProfile) {
    Store(
        "stray=before any section\r\n"
        "[Paths]\r\n"
        "  Video  =   D:\\Clips\\   \r\n"
        "Quoted=\"  spaced value  \"\r\n"
        "LoneQuote=\"abc\r\n"
        "Equals=a=b=c\r\n"
        "this line has no equals sign\r\n"
        "video=second occurrence\r\n"
        "Empty=\r\n"
        "\r\n"
        "[ Hardware ]\n"  // LF only and blanks inside the brackets
        "MPEG=1\n"
        "[paths]\r\n"
        "Late=only in a duplicate section\r\n"
        "[Last]\r\n"
        "NoFinalLineEnd=yes");

    EXPECT_EQ(GetIniString("PATHS", "VIDEO"), "D:\\Clips\\");  // case, trimming, first match
    EXPECT_EQ(GetIniString("Paths", "Quoted"), "  spaced value  ");
    EXPECT_EQ(GetIniString("Paths", "LoneQuote"), "\"abc");
    EXPECT_EQ(GetIniString("Paths", "Equals"), "a=b=c");
    EXPECT_EQ(GetIniString("Paths", "Empty", "default"), "");
    EXPECT_EQ(GetIniString("Paths", "this line has no equals sign", "none"), "none");
    EXPECT_EQ(GetIniString("Paths", "Late", "none"), "none");  // only the first section counts
    EXPECT_EQ(GetIniString("Paths", "stray", "none"), "none");
    EXPECT_EQ(GetIniInt("hardware", "mpeg", 0), 1);
    EXPECT_EQ(GetIniString("Last", "NoFinalLineEnd"), "yes");
    EXPECT_EQ(GetIniString("Missing", "Key", "fallback"), "fallback");
    EXPECT_EQ(GetIniString("Missing", "Key"), "");
}

TEST_F(IniFileTest, IntegersTakeSignAndLeadingDigits) {
    Store(
        "[N]\r\nneg=-1\r\npos=+7\r\ntail=12abc\r\nnone=abc\r\nsign=-\r\nempty=\r\n"
        "quoted=\"42\"\r\nbig=99999999999\r\nsmall=-99999999999\r\n"
        "max=2147483647\r\nmin=-2147483648\r\nlong=" +
        std::string(500, '9') + "\r\n");
    EXPECT_EQ(GetIniInt("N", "neg", 5), -1);
    EXPECT_EQ(GetIniInt("N", "pos", 5), 7);
    EXPECT_EQ(GetIniInt("N", "tail", 5), 12);
    EXPECT_EQ(GetIniInt("N", "none", 5), 0);
    EXPECT_EQ(GetIniInt("N", "sign", 5), 0);
    EXPECT_EQ(GetIniInt("N", "empty", 5), 5);  // an empty value is no value
    EXPECT_EQ(GetIniInt("N", "missing", 5), 5);
    EXPECT_EQ(GetIniInt("N", "quoted", 5), 42);
    EXPECT_EQ(GetIniInt("N", "big", 5), INT32_MAX);
    EXPECT_EQ(GetIniInt("N", "small", 5), INT32_MIN);
    EXPECT_EQ(GetIniInt("N", "max", 5), INT32_MAX);
    EXPECT_EQ(GetIniInt("N", "min", 5), INT32_MIN);
    EXPECT_EQ(GetIniInt("N", "long", 5), INT32_MAX);
}

TEST_F(IniFileTest, WriteRewritesInPlaceAndKeepsEveryOtherLine) {
    Store(
        "; operator notes\n"
        "[Hardware]\r\n"
        "  mpeg = 1  \r\n"
        "junk line\r\n"
        "AirLog=1\r\n"
        "\r\n"
        "[Paths]\r\n"
        "Video=V\\");  // no final line end

    WriteIniInt("HARDWARE", "MPEG", -2);       // replaced in place, the file's spelling kept
    WriteIniInt("Hardware", "CuePreview", 1);  // new key after the section's last line
    WriteIniString("Layout", "Left", "10");    // new section at the end
    WriteIniString("Paths", "Remote", "R/");

    EXPECT_EQ(Stored(),
              "; operator notes\r\n"
              "[Hardware]\r\n"
              "mpeg=-2\r\n"
              "junk line\r\n"
              "AirLog=1\r\n"
              "CuePreview=1\r\n"
              "\r\n"
              "[Paths]\r\n"
              "Video=V\\\r\n"
              "Remote=R/\r\n"
              "\r\n"
              "[Layout]\r\n"
              "Left=10\r\n");
    EXPECT_EQ(GetIniInt("hardware", "mpeg", 0), -2);
    EXPECT_EQ(test::CountEntries(folder_.Path()), 1u);  // no temporary file left behind
}

TEST_F(IniFileTest, WriteCreatesAMissingFile) {
    WriteIniString("Paths", "Video", "  \"quoted\"  ");
    WriteIniInt("Paths", "Count", INT32_MIN);
    EXPECT_EQ(Stored(), "[Paths]\r\nVideo=  \"quoted\"  \r\nCount=-2147483648\r\n");
    EXPECT_EQ(GetIniString("Paths", "Video"), "quoted");
    EXPECT_EQ(GetIniInt("Paths", "Count", 0), INT32_MIN);
}

TEST_F(IniFileTest, WritesThatWouldBreakTheFileStructureAreContained) {
    Store("[A]\r\nk=1\r\n");
    WriteIniString("A", "k", "2\r\n[B]\r\nx=3");  // a value is one line
    WriteIniString("A", "bad=key", "1");
    WriteIniString("bad]section", "k", "1");
    WriteIniString("", "k", "1");
    WriteIniString("A", " ", "1");
    EXPECT_EQ(Stored(), "[A]\r\nk=2\r\n");
    EXPECT_EQ(GetIniString("B", "x", "none"), "none");
}

TEST_F(IniFileTest, GarbageAndHugeLinesAreSurvivedAndKept) {
    std::string garbage = "\xff\xfe[\x01\x02]\r\n";
    garbage += std::string("\0\0=\0\n", 5);
    garbage += "[Big]\r\nhuge=" + std::string(1 << 20, 'x') + "\r\n";
    garbage += "after=1";
    Store(garbage);

    EXPECT_EQ(GetIniString("Big", "huge").size(), size_t{1} << 20);
    EXPECT_EQ(GetIniInt("Big", "after", 0), 1);
    EXPECT_EQ(GetIniInt("Nowhere", "x", 9), 9);

    WriteIniInt("Big", "after", 2);
    std::string expected = garbage;
    expected.replace(expected.find("\0\0=\0\n", 0, 5), 5, std::string("\0\0=\0\r\n", 6));
    expected.replace(expected.size() - 7, 7, "after=2\r\n");
    EXPECT_TRUE(Stored() == expected);  // not printed: a megabyte
}

TEST_F(IniFileTest, AFileThatCannotBeReplacedIsLeftAlone) {
    const std::string original = "[A]\r\nk=1\r\n";
    Store(original);
    chmod(IniPath().c_str(), 0444);  // read-only: refused even where permissions are not checked
    WriteIniInt("A", "k", 2);
    EXPECT_EQ(Stored(), original);
    EXPECT_EQ(test::CountEntries(folder_.Path()), 1u);

    // A folder that does not exist: nothing to read, nothing written, no crash.
    SetIniPath(folder_ / "missing/brenvik.ini");
    WriteIniInt("A", "k", 2);
    EXPECT_EQ(GetIniInt("A", "k", 7), 7);

    // The settings path names a folder: reads give defaults and the folder is not replaced.
    SetIniPath(folder_.Path() + ".");
    WriteIniInt("A", "k", 2);
    EXPECT_EQ(GetIniInt("A", "k", 7), 7);
}

TEST_F(IniFileTest, ALinkedSettingsFileStaysALink) {
    WriteFile(folder_ / "real.ini", "[A]\r\nk=1\r\n");
    ASSERT_EQ(symlink("real.ini", IniPath().c_str()), 0);
    WriteIniInt("A", "k", 2);
    struct stat st {};
    ASSERT_EQ(lstat(IniPath().c_str(), &st), 0);
    EXPECT_TRUE(S_ISLNK(st.st_mode));
    EXPECT_EQ(ReadFile(folder_ / "real.ini"), "[A]\r\nk=2\r\n");
}

}  // namespace
}  // namespace orx
