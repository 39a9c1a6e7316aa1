#include "app/AppSettings.h"

#include <gtest/gtest.h>

#include "support/TempFolder.h"

namespace orx {

using namespace std::string_literals;

class AppSettingsTest : public ::testing::Test {
protected:
    void SetUp() override { InitProgramFolder(folder_ / "brenvik"); }
    AppSettings Loaded() {
        AppSettings s{Settings().appDir, "/x/", "/y/", 9, 9, 9, 9, 9, 9, 9, 9, 9, 9};
        LoadSettings(s);  // every field is overwritten, not only those the file holds
        return s;
    }

    test::TempFolder folder_;
    const std::string ini_ = folder_ / "brenvik.ini";
};

TEST_F(AppSettingsTest, DefaultsAreSavedInOrderEveryFieldSurvivesAndEmptyOrOddValuesLoadSoundly) {
    SaveSettings(Loaded());
    EXPECT_EQ(test::ReadFile(ini_),
              "[Hardware]\r\nMPEG=0\r\nMPEG_Input1=2\r\nMPEG_Input2=3\r\nVolumeSet=0\r\n"
              "AudioVolume=70\r\nEditOnlyMode=0\r\nUseAVI=0\r\nNoFileNameDur=0\r\nAirLog=1\r\n"
              "CuePreview=0\r\n\r\n[Paths]\r\nVideo=" +
                  folder_.Path() + "Video/\r\nRemote=" + folder_.Path() + "\r\n");
    SaveSettings(
        {Settings().appDir, "/media/clips/", "/opt/remote/", 2, 4, 5, 6, 33, 7, 8, 10, 0, 11});
    const std::string saved = test::ReadFile(ini_);
    SaveSettings(Loaded());
    EXPECT_EQ(test::ReadFile(ini_), saved);

    const std::string content = "[Paths]\r\nVideo=\r\nRemote=/opt/remote\r\n";
    test::WriteFile(ini_, content);
    EXPECT_EQ(Loaded().videoPath, folder_ / "Video/");  // empty key: the default
    EXPECT_EQ(Loaded().remotePath, "/opt/remote/");
    EXPECT_EQ(test::ReadFile(ini_), content);  // nothing written back on load

    for (const auto& [stored, expected] : {std::pair{"1", 1}, {"2", 2}, {"5", 2}, {"-1", 2}}) {
        test::WriteFile(ini_, "[Hardware]\r\nMPEG="s + stored);  // but 0 or 1: two boards
        EXPECT_EQ(Loaded().mpeg, expected) << "MPEG=" << stored;
    }
}

}  // namespace orx
