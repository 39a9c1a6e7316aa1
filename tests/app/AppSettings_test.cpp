#include "app/AppSettings.h"

#include <gtest/gtest.h>

#include "TempFolder.h"
#include "app/IniFile.h"

namespace orx {
namespace {

using test::ReadFile;
using test::WriteFile;

class AppSettingsTest : public ::testing::Test {
protected:
    void SetUp() override { InitProgramFolder(folder_ / "brenvik"); }
    void TearDown() override {
        Settings() = AppSettings{};
        SetIniPath({});
    }
    std::string IniFile() const { return folder_ / "brenvik.ini"; }

    test::TempFolder folder_;
};

TEST_F(AppSettingsTest, ProgramFolderAndDefaults) {
    EXPECT_EQ(Settings().appDir, folder_.Path());
    EXPECT_EQ(IniPath(), IniFile());
    EXPECT_EQ(PathInAppDir("airlog.txt"), folder_ / "airlog.txt");
    EXPECT_EQ(PathInAppDir("lang", ".brl"), folder_ / "lang.brl");
    EXPECT_EQ(PathInAppDir(), folder_.Path());

    AppSettings s;
    s.appDir = Settings().appDir;
    s.mpeg = 9;  // every field is overwritten, not just the ones present in the file
    s.airLog = 0;
    LoadSettings(s);
    EXPECT_EQ(s.videoPath, folder_ / "Video/");
    EXPECT_EQ(s.remotePath, folder_.Path());
    EXPECT_EQ(s.mpeg, 0);
    EXPECT_EQ(s.mpegInput1, 2);
    EXPECT_EQ(s.mpegInput2, 3);
    EXPECT_EQ(s.volumeSet, 0);
    EXPECT_EQ(s.audioVolume, 70);
    EXPECT_EQ(s.editOnlyMode, 0);
    EXPECT_EQ(s.useAvi, 0);
    EXPECT_EQ(s.noFileNameDur, 0);
    EXPECT_EQ(s.airLog, 1);
    EXPECT_EQ(s.cuePreview, 0);
    EXPECT_FALSE(test::FileExists(IniFile()));  // loading never writes
}

TEST_F(AppSettingsTest, BoardCountOtherThanZeroOrOneMeansTwo) {
    const std::pair<const char*, int> cases[] = {{"0", 0},  {"1", 1}, {"2", 2}, {"5", 2},
                                                 {"-1", 2}, {"x", 0}, {"1x", 1}};
    for (const auto& [stored, expected] : cases) {
        WriteFile(IniFile(), std::string("[Hardware]\r\nMPEG=") + stored + "\r\n");
        AppSettings s;
        LoadSettings(s);
        EXPECT_EQ(s.mpeg, expected) << "MPEG=" << stored;
    }
}

TEST_F(AppSettingsTest, StoredValuesAreTakenAsTheyAre) {
    const std::string content =
        "[Paths]\r\nVideo=\r\nRemote=/opt/remote\r\n"
        "[Hardware]\r\nMPEG_Input1=99\r\nAudioVolume=-5\r\nAirLog=0\r\nUseAVI=3\r\n";
    WriteFile(IniFile(), content);
    AppSettings s;
    s.appDir = Settings().appDir;
    LoadSettings(s);
    EXPECT_EQ(s.videoPath, folder_ / "Video/");  // empty key: the default
    EXPECT_EQ(s.remotePath, "/opt/remote/");     // used as stored, made to end with a separator
    EXPECT_EQ(s.mpegInput1, 99);
    EXPECT_EQ(s.audioVolume, -5);
    EXPECT_EQ(s.airLog, 0);
    EXPECT_EQ(s.useAvi, 3);
    EXPECT_EQ(ReadFile(IniFile()), content);  // the empty key is not written back on load
}

TEST_F(AppSettingsTest, SaveWritesEveryKeyAndLoadsBack) {
    AppSettings s;
    s.appDir = Settings().appDir;
    s.videoPath = "/media/clips/";
    s.remotePath = "/opt/remote/";
    s.mpeg = 2;
    s.mpegInput1 = 4;
    s.mpegInput2 = 5;
    s.volumeSet = 1;
    s.audioVolume = 33;
    s.editOnlyMode = 1;
    s.useAvi = 1;
    s.noFileNameDur = 1;
    s.airLog = 0;
    s.cuePreview = 1;
    SaveSettings(s);
    EXPECT_EQ(ReadFile(IniFile()),
              "[Hardware]\r\nMPEG=2\r\nMPEG_Input1=4\r\nMPEG_Input2=5\r\nVolumeSet=1\r\n"
              "AudioVolume=33\r\nEditOnlyMode=1\r\nUseAVI=1\r\nNoFileNameDur=1\r\nAirLog=0\r\n"
              "CuePreview=1\r\n\r\n[Paths]\r\nVideo=/media/clips/\r\nRemote=/opt/remote/\r\n");

    AppSettings loaded;
    loaded.appDir = s.appDir;
    LoadSettings(loaded);
    EXPECT_EQ(loaded.videoPath, s.videoPath);
    EXPECT_EQ(loaded.mpeg, 2);
    EXPECT_EQ(loaded.audioVolume, 33);
    EXPECT_EQ(loaded.airLog, 0);
}

TEST(FileKindTest, MatchesTheLastExtensionWithoutRegardToCase) {
    EXPECT_EQ(FileKind("C:\\Video\\NEWS.VID"), kFileKindPlaylist);
    EXPECT_EQ(FileKind("/v/clip.Mpg"), kFileKindMpeg);
    EXPECT_EQ(FileKind("clip.mpeg"), -1);
    EXPECT_EQ(FileKind("/v/noextension"), -1);
    EXPECT_EQ(FileKind("/v.vid/noextension"), -1);  // a dot in a folder name is no extension
    EXPECT_EQ(FileKind("a.vid.avi"), kFileKindAvi);
    EXPECT_EQ(FileKind("*.*"), kFileKindAll);
    EXPECT_EQ(FileKind("trailingdot."), -1);
    EXPECT_EQ(FileKind(""), -1);
}

}  // namespace
}  // namespace orx
