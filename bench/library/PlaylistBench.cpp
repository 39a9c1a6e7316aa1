// Loading a large playlist checks every clip on disk; this measures the load and the play
// sequence build against the bare cost of the same number of stat() calls.

#include <benchmark/benchmark.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "BenchFolder.h"
#include "library/Playlist.h"

namespace orx {
namespace {

namespace fs = std::filesystem;

constexpr int kTopEntries = 1000;  // including the end entry
constexpr int kNestedPerLevel = 10;
constexpr int kClipsPerNested = 20;

PlaylistEntry Entry(const std::string& name, int32_t durationMs) {
    PlaylistEntry entry;
    SetEntryFileName(entry, name);
    entry.durationMs = durationMs;
    entry.transition = 1;
    entry.interleaveMs = 500;
    return entry;
}

// A video folder with 1,000 clips and a playlist of 1,000 entries: 990 clips and ten
// playlists, each of which holds 20 clips and a playlist of 20 clips (two levels of nesting).
class Fixture {
public:
    Fixture() : folder_("") {
        const std::string& dir = folder_.Dir();
        fs::create_directories(dir + "clips");
        std::ofstream(dir + "brenvik.ini") << "[Hardware]\r\nMPEG=2\r\n";

        for (int i = 0; i < kTopEntries; ++i) {
            clipPaths.push_back(dir + "clips/clip" + std::to_string(i) + ".mpg");
            std::ofstream(clipPaths.back()).put('x');
        }
        Playlist leaf;
        leaf.boardCount = 2;
        for (int i = 0; i < kClipsPerNested; ++i) {
            leaf.entries.push_back(Entry("clips\\clip" + std::to_string(i) + ".mpg", 30000));
        }
        leaf.entries.push_back(Entry("", 0));
        leaf.Save(dir + "leaf.vid");

        Playlist middle = leaf;
        middle.entries.insert(middle.entries.begin() + 5, Entry("leaf.vid", 1));
        middle.Save(dir + "middle.vid");

        Playlist top;
        top.boardCount = 2;
        for (int i = 0; i < kTopEntries - 1; ++i) {
            const bool nested = i % (kTopEntries / kNestedPerLevel) == 50;
            top.entries.push_back(nested
                                      ? Entry("middle.vid", 1)
                                      : Entry("clips\\clip" + std::to_string(i) + ".mpg", 30000));
        }
        top.entries.push_back(Entry("", 0));
        topPath = dir + "top.vid";
        top.Save(topPath);
        // Playlists are made well before they are played; files changed in the last two seconds
        // are read at every load.
        std::this_thread::sleep_for(std::chrono::milliseconds(2100));
    }

    std::string topPath;
    std::vector<std::string> clipPaths;

private:
    bench::BenchFolder folder_;
};

Fixture& SharedFixture() {
    static Fixture fixture;
    return fixture;
}

void BM_LoadAndBuildPlaySequence(benchmark::State& state) {
    Fixture& fixture = SharedFixture();
    size_t sequenceLength = 0;
    for (auto _ : state) {
        Playlist playlist;
        if (playlist.Load(fixture.topPath, false, 0) != kPlaylistOk) {
            state.SkipWithError("load failed");
            break;
        }
        Playlist::BuildPlaySequence(playlist.playSequence, playlist.entries, 0);
        sequenceLength = playlist.playSequence.size();
        benchmark::DoNotOptimize(playlist.totalMs);
    }
    state.counters["sequence"] = static_cast<double>(sequenceLength);
}
BENCHMARK(BM_LoadAndBuildPlaySequence)->Apply(bench::InMillisecondsWithP99);

void BM_StatSameNumberOfClips(benchmark::State& state) {
    Fixture& fixture = SharedFixture();
    for (auto _ : state) {
        int found = 0;
        for (const std::string& path : fixture.clipPaths) {
            struct stat info;
            found += stat(path.c_str(), &info) == 0;
        }
        benchmark::DoNotOptimize(found);
    }
}
BENCHMARK(BM_StatSameNumberOfClips)->Apply(bench::InMillisecondsWithP99);

}  // namespace
}  // namespace orx

BENCHMARK_MAIN();
