#include "library/ClipDuration.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <sstream>

#include "app/AppSettings.h"
#include "app/BinaryFile.h"
#include "app/IniFile.h"
#include "library/MediaFiles.h"
#include "support/TempFolder.h"

namespace orx {
namespace {

TEST(DurationFromFileNameTest, ReadsSecondsAndMillisecondsAfterTheLastUnderscore) {
    // "name=ms" ("=-" for a name that carries no duration); the "long" ones are the largest values
    // a record holds and the first beyond them.
    std::istringstream cases(
        "news_30.mpg=30000 jingle_1500ms.mpg=1500 jingle_1500MS.MPG=1500 promo_2_45.mpg=45000 "
        "clip_007.mpg=7000 clip_5ms.mpg=5 clip_0.mpg=0 /video/News/clip_30.mpg=30000 "
        "News\\clip_12.mpg=12000 clip_12=12000 clip_12.part.mpg=- spot_12s.mpg=- spot_ms.mpg=- "
        "spot_1.5.mpg=- spot.mpg=- spot_.mpg=- a_7b.mpg=- a_-7.mpg=- News_30\\clip.mpg=- "
        "long_2147483.mpg=2147483000 long_2147484.mpg=- long_2147483647ms.mpg=2147483647 "
        "long_2147483648ms.mpg=-");
    for (std::string c; cases >> c;) {
        const std::string expected = c.substr(c.rfind('=') + 1);
        uint32_t ms = 1;
        EXPECT_EQ(DurationFromFileName(c.substr(0, c.rfind('=')), ms),
                  expected == "-" ? kProbeNotAccepted : kProbeOk)
            << c;
        EXPECT_EQ(std::to_string(ms), expected == "-" ? "0" : expected) << c;
    }
}

TEST(AviHeaderTest, DurationFollowsTheFirstVideoStreamHeader) {
    using test::AviHeader;
    std::vector<uint8_t> notAvi = AviHeader({{}});
    notAvi[8] = 'X';  // not "AVI "
    // Expected milliseconds, or -1 for a header that is not accepted.
    const std::pair<std::vector<uint8_t>, int64_t> cases[] = {
        {AviHeader({{"vids", 1001, 30000, 300}}), 10010},  // 300 frames at 30000/1001 fps
        // The audio stream before it and a later video stream do not count.
        {AviHeader({{"auds", 1, 48000, 480000}, {"vids", 1, 25, 250}, {"vids", 1, 1, 9}}), 10000},
        // 64-bit arithmetic: 4e9 x 4e9 x 1000 does not fit 64 bits; the result clamps.
        {AviHeader({{"vids", 4000000000u, 3, 4000000000u}}), kMaxClipDurationMs},
        {AviHeader({{"vids", 1000, 3000000000u, 4000000000u}}), 1333333},
        {AviHeader({{"vids", 0, 25, 250}}), -1},
        {AviHeader({{"vids", 1, 0, 250}}), -1},
        {AviHeader({{"vids", 1, 25, 0}}), -1},
        {AviHeader({{"auds", 1, 48000, 48000}}), -1},
        {notAvi, -1},
        // A header list with nothing in it holds no stream header.
        {{'R', 'I', 'F', 'F', 16, 0, 0, 0, 'A', 'V', 'I', ' ',
          'L', 'I', 'S', 'T', 4,  0, 0, 0, 'h', 'd', 'r', 'l'},
         -1}};
    for (const auto& [bytes, expected] : cases) {
        uint32_t ms = 7;
        EXPECT_EQ(AviDurationFromBytes(bytes.data(), bytes.size(), ms),
                  expected < 0 ? kProbeNotAccepted : kProbeOk)
            << expected;
        EXPECT_EQ(ms, expected < 0 ? 0 : expected);
    }
}

class ClipDurationTest : public ::testing::Test {
protected:
    void SetUp() override {
        SetIniPath(dir / "brenvik.ini");
        Settings() = AppSettings{};
        Settings().appDir = dir.Path();
        Settings().videoPath = video;
        std::filesystem::create_directories(video);
    }

    // Measures a name relative to the video folder; returns the duration or -1 on failure.
    int64_t Measure(const std::string& name, int32_t absolute = 0) {
        uint32_t ms = 424242;
        if (!MeasureClip(name, absolute, ms)) {
            EXPECT_EQ(ms, 424242u) << "a failure writes no duration";
            return -1;
        }
        return ms;
    }

    test::TempFolder dir;
    std::string video = dir / "Video/";
};

// Program and transport streams and an AVI with sound are measured in the demo library's test,
// playlists in the rescan's.
TEST_F(ClipDurationTest, RealClipsMeasureToTheTenthAndOtherFilesFail) {
    ASSERT_TRUE(test::MakeClip(video + "es.mpg", "mpeg2video", 3.0, true));
    ASSERT_TRUE(test::MakeClip(video + "mp1.mpg", "mpeg", 2.0, false, "mpeg1video"));
    ASSERT_TRUE(test::MakeClip(video + "divx.avi", "avi", 4.0, true, "mpeg4"));
    // 60 frames at 29.97 fps whose drop-frame time codes skip two numbers at the minute, and a
    // program stream with sound only.
    const std::string ffmpeg = "ffmpeg -nostdin -v error -y -f lavfi -i ";
    ASSERT_EQ(
        std::system((ffmpeg + "testsrc=size=176x144:rate=30000/1001:duration=2 -c:v mpeg2video " +
                     "-timecode '00:00:59;28' -f mpeg2video '" + video + "ntsc.mpg' && " + ffmpeg +
                     "sine=duration=1 -c:a mp2 -f mpeg '" + video + "audio.mpg' </dev/null")
                        .c_str()),
        0);
    EXPECT_EQ(Measure(video + "mp1.mpg", 1), 2000);
    test::WriteFile(video + "text.mpg", "This is not a video clip at all.\n");
    test::WriteFile(video + "empty.mpg");
    test::WriteFile(video + "colon:name.mpg", "x");
    std::filesystem::create_directories(video + "folder.mpg");
    ASSERT_EQ(mkfifo((video + "pipe.mpg").c_str(), 0600), 0);
    // An AVI is measured only by its header and an MPEG clip only as MPEG; a pipe is never waited
    // on. Each file: the MPEG probe's result/ms, the AVI probe's, the measured ms (-1: failed).
    std::string probed;
    for (const char* name :
         {"es.mpg", "mp1.mpg", "divx.avi", "ntsc.mpg", "audio.mpg", "text.mpg", "empty.mpg",
          "missing.mpg", "colon:name.mpg", "pipe.mpg", "folder.mpg"}) {
        uint32_t mpeg = 5, avi = 5;
        const int mpegResult = ProbeMpegDuration(video + name, mpeg);
        const int aviResult = ProbeAviDuration(video + name, avi);
        probed += std::string(name) + " " + std::to_string(mpegResult) + "/" +
                  std::to_string(mpeg) + " " + std::to_string(aviResult) + "/" +
                  std::to_string(avi) + " " + std::to_string(Measure(name)) + "\n";
    }
    EXPECT_EQ(probed,
              "es.mpg 0/3000 3/0 3000\nmp1.mpg 0/2016 3/0 2000\ndivx.avi 3/0 0/4000 4000\n"
              "ntsc.mpg 0/2002 3/0 2000\naudio.mpg 2/0 3/0 -1\ntext.mpg 3/0 3/0 -1\n"
              "empty.mpg 3/0 3/0 -1\nmissing.mpg 3/0 3/0 -1\ncolon:name.mpg 3/0 3/0 -1\n"
              "pipe.mpg 3/0 3/0 -1\nfolder.mpg 3/0 3/0 -1\n");
}

TEST_F(ClipDurationTest, NameRuleSkipsTheFileAndTruncatesToTenths) {
    // None of these files exists: the name alone decides.
    std::string measured;
    for (const char* name :
         {"clip_1550ms.mpg", "clip_50ms.mpg", "clip_0.mpg", "clip_29999ms.avi", "clip.mpg"})
        measured += std::to_string(Measure(name)) + " ";
    EXPECT_EQ(measured, "1500 0 0 29900 -1 ");
    // A name rule that is switched off: the content decides, and a missing file fails.
    Settings().noFileNameDur = 1;
    EXPECT_EQ(Measure("clip_90.mpg"), -1);
    ASSERT_TRUE(test::MakeClip(video + "clip_30.mpg", "mpeg", 2.0));
    EXPECT_EQ(Measure("clip_30.mpg"), 2000);
    // A file another writer holds is not measured.
    BinaryFile writer;
    ASSERT_TRUE(writer.Open(video + "clip_30.mpg", BinaryFile::Mode::Write));
    EXPECT_EQ(Measure("clip_30.mpg"), -1);
    Settings().noFileNameDur = 0;
    EXPECT_EQ(Measure("clip_30.mpg"), 30000);
}

}  // namespace
}  // namespace orx
