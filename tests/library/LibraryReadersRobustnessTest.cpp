// Random and damaged bytes for every reader of files that operators copy in: shortcuts, AVI
// headers, "video.dat" and MPEG elementary streams. The seed is fixed, so a failure repeats; the
// sanitizers of the test build turn any read outside a buffer into a failure.

#include <gtest/gtest.h>

#include <cstring>
#include <random>

#include "library/ClipDuration.h"
#include "library/MediaFiles.h"
#include "library/Shortcut.h"
#include "library/VideoLibrary.h"
#include "support/TempFolder.h"

namespace orx {
namespace {

constexpr int kRounds = 4000;

class Mutator {
public:
    explicit Mutator(uint32_t seed) : random_(seed) {}

    size_t Below(size_t n) {
        return n == 0 ? 0 : std::uniform_int_distribution<size_t>(0, n - 1)(random_);
    }

    // One of: random bytes, a cut of a sample, flipped bytes, a field set to an extreme value,
    // two samples spliced together.
    std::vector<uint8_t> Next(const std::vector<std::vector<uint8_t>>& samples) {
        const std::vector<uint8_t>& sample = samples[Below(samples.size())];
        std::vector<uint8_t> bytes = sample;
        switch (Below(5)) {
            case 0:
                bytes.resize(Below(600));
                for (uint8_t& byte : bytes)
                    byte = static_cast<uint8_t>(Below(256));
                break;
            case 1:
                bytes.resize(Below(sample.size() + 1));
                break;
            case 2:
                for (size_t n = 1 + Below(8); n > 0 && !bytes.empty(); --n)
                    bytes[Below(bytes.size())] ^= static_cast<uint8_t>(1 + Below(255));
                break;
            case 3:
                if (bytes.size() >= 4) {
                    const uint32_t extremes[] = {0,           1,
                                                 0x7FFFFFFF,  0x80000000u,
                                                 0xFFFFFFFFu, static_cast<uint32_t>(bytes.size())};
                    test::PutLe32(bytes, Below(bytes.size() - 3), extremes[Below(6)]);
                }
                break;
            default: {
                const std::vector<uint8_t>& other = samples[Below(samples.size())];
                bytes.resize(Below(bytes.size() + 1));
                bytes.insert(bytes.end(),
                             other.begin() + static_cast<std::ptrdiff_t>(Below(other.size())),
                             other.end());
                break;
            }
        }
        return bytes;
    }

private:
    std::mt19937 random_;
};

TEST(LibraryReadersRobustnessTest, ShortcutReader) {
    const std::vector<std::vector<uint8_t>> samples = {
        test::ShellLink({.localBase = "C:\\Videos\\", .suffix = "news_30.mpg"}),
        test::ShellLink(
            {.localBase = "/srv/a", .suffix = "", .netName = "\\\\srv\\share", .idList = false}),
        test::ShellLink({.suffix = "x.mpg", .netName = "\\\\srv\\s"})};
    Mutator mutator(20261206);
    int accepted = 0;
    for (int round = 0; round < kRounds; ++round) {
        const std::vector<uint8_t> bytes = mutator.Next(samples);
        ShortcutTarget target;
        if (ParseShortcut(bytes.data(), bytes.size(), target)) {
            ++accepted;
            EXPECT_FALSE(target.path.empty());
            EXPECT_LE(target.path.size(), 259u);
            EXPECT_EQ(target.path.find('\0'), std::string::npos);
        }
    }
    // The mutations keep some links intact; a reader that refused everything would pass too.
    EXPECT_GT(accepted, 100);
}

TEST(LibraryReadersRobustnessTest, AviHeaderReader) {
    const std::vector<std::vector<uint8_t>> samples = {
        test::AviHeader({{"vids", 1001, 30000, 300}}),
        test::AviHeader({{"auds", 1, 48000, 1}, {"vids", 1, 25, 250}})};
    Mutator mutator(7);
    test::TempFolder dir;
    int accepted = 0;
    for (int round = 0; round < kRounds; ++round) {
        const std::vector<uint8_t> bytes = mutator.Next(samples);
        uint32_t ms = 0;
        const int code = AviDurationFromBytes(bytes.data(), bytes.size(), ms);
        ASSERT_TRUE(code == kProbeOk || code == kProbeNotAccepted);
        EXPECT_LE(ms, kMaxClipDurationMs);
        accepted += code == kProbeOk;
        if (round % 40 == 0) {
            // The file reader reads the same bytes in its own pieces.
            test::WriteBytes(dir / "x.avi", bytes);
            uint32_t fromFile = 0;
            EXPECT_EQ(ProbeAviDuration(dir / "x.avi", fromFile), code);
            EXPECT_EQ(fromFile, ms);
        }
    }
    EXPECT_GT(accepted, 100);
}

TEST(LibraryReadersRobustnessTest, IndexReader) {
    const std::string sample =
        "News\\clip_30.mpg\r\n30000,0\r\n\r\n/x/a_1.mpg\r\n1000,1\r\nOpener\r\n";
    const std::vector<std::vector<uint8_t>> samples = {{sample.begin(), sample.end()},
                                                       std::vector<uint8_t>(400, '\n'),
                                                       std::vector<uint8_t>(700, 'n')};
    Mutator mutator(99);
    for (int round = 0; round < kRounds; ++round) {
        const std::vector<uint8_t> bytes = mutator.Next(samples);
        const std::string_view text(reinterpret_cast<const char*>(bytes.data()), bytes.size());
        const std::vector<LibraryClip> whole = ParseVideoDat(text);
        for (const LibraryClip& clip : whole) {
            EXPECT_LT(strnlen(clip.fileName, sizeof clip.fileName), sizeof clip.fileName);
            EXPECT_LT(strnlen(clip.description, sizeof clip.description), sizeof clip.description);
        }
        // In random pieces the reader sees the same records.
        VideoDatReader reader;
        for (size_t at = 0; at < text.size();) {
            const size_t piece = std::min(text.size() - at, 1 + mutator.Below(64));
            reader.Feed(text.data() + at, piece);
            at += piece;
        }
        EXPECT_EQ(FormatVideoDat(reader.Finish()), FormatVideoDat(whole));
    }
}

TEST(LibraryReadersRobustnessTest, ElementaryStreamReader) {
    test::TempFolder dir;
    ASSERT_TRUE(test::MakeClip(dir / "es.mpg", "mpeg2video", 1.0, true));
    const std::vector<uint8_t> clip = test::ReadBytes(dir / "es.mpg");
    // The stream headers sit at the start; damage them and cut the end of the stream.
    std::vector<uint8_t> head(clip.begin(), clip.begin() + std::min<size_t>(clip.size(), 2048));
    Mutator mutator(3);
    for (int round = 0; round < 60; ++round) {
        std::vector<uint8_t> bytes = mutator.Next({head});
        bytes.insert(
            bytes.end(),
            clip.begin() + static_cast<std::ptrdiff_t>(std::min(clip.size(), bytes.size())),
            clip.begin() +
                static_cast<std::ptrdiff_t>(clip.size() - mutator.Below(clip.size() / 2)));
        test::WriteBytes(dir / "x.mpg", bytes);
        uint32_t ms = 0;
        const int code = ProbeMpegDuration(dir / "x.mpg", ms);
        EXPECT_TRUE(code == kProbeOk || code == kProbeNoDuration || code == kProbeNotAccepted);
        EXPECT_LE(ms, kMaxClipDurationMs);
    }
}

}  // namespace
}  // namespace orx
