// The media library's costs: a rescan of 10,000 name-encoded clips against a plain recursive
// directory walk of the same tree; measuring a real MPEG-2 clip in-process against starting
// ffprobe on it; loading and saving a 50,000-record "video.dat".

#include <benchmark/benchmark.h>
#include <dirent.h>
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "BenchFolder.h"
#include "library/ClipDuration.h"
#include "library/VideoLibrary.h"

extern char** environ;

namespace orx {
namespace {

namespace fs = std::filesystem;

constexpr int kFolders = 100;
constexpr int kClipsPerFolder = 100;
constexpr int kIndexRecords = 50000;

// The video folder holds 100 folders of 100 name-encoded clips; beside it, a real MPEG-2 clip.
class Fixture {
public:
    Fixture() : folder_("Video/") {
        for (int folder = 0; folder < kFolders; ++folder) {
            const std::string path = Settings().videoPath + "Folder" + std::to_string(folder) + "/";
            fs::create_directories(path);
            for (int clip = 0; clip < kClipsPerFolder; ++clip) {
                std::ofstream(path + "clip" + std::to_string(clip) + "_" +
                              std::to_string(1 + clip % 90) + ".mpg");
            }
        }
        // Ten seconds of standard-definition MPEG-2 with sound, as the boards play it.
        mpeg_ = Dir() + "real.mpg";
        const std::string command =
            "ffmpeg -nostdin -v error -y -f lavfi -i testsrc=size=720x576:rate=25:duration=10 "
            "-f lavfi -i sine=sample_rate=48000:duration=10 -c:v mpeg2video -b:v 6M -c:a mp2 "
            "-f mpeg '" +
            mpeg_ + "' </dev/null";
        if (std::system(command.c_str()) != 0) {
            std::abort();
        }
    }
    const std::string& Dir() const { return folder_.Dir(); }
    const std::string& Mpeg() const { return mpeg_; }

private:
    bench::BenchFolder folder_;
    std::string mpeg_;
};

Fixture& Tree() {
    static Fixture fixture;
    return fixture;
}

size_t Walk(const std::string& folder) {
    DIR* dir = opendir(folder.c_str());
    if (dir == nullptr) {
        return 0;
    }
    size_t files = 0;
    std::vector<std::string> subfolders;
    while (const dirent* entry = readdir(dir)) {
        const std::string_view name = entry->d_name;
        if (name == "." || name == "..") {
            continue;
        }
        if (entry->d_type == DT_DIR) {
            subfolders.push_back(folder + entry->d_name + "/");
        } else {
            ++files;
        }
    }
    closedir(dir);
    for (const std::string& subfolder : subfolders) {
        files += Walk(subfolder);
    }
    return files;
}

void BM_PlainWalk(benchmark::State& state) {
    Tree();
    for (auto _ : state) {
        benchmark::DoNotOptimize(Walk(Settings().videoPath));
    }
}
BENCHMARK(BM_PlainWalk)->Apply(bench::InMillisecondsWithP99);

void BM_RescanNameEncoded(benchmark::State& state) {
    Tree();
    VideoLibrary library;
    for (auto _ : state) {
        library.Rescan(false);
    }
    if (library.clips.size() != kFolders * kClipsPerFolder) {
        state.SkipWithError("the rescan missed clips");
    }
}
BENCHMARK(BM_RescanNameEncoded)->Apply(bench::InMillisecondsWithP99);

void BM_MeasureMpegInProcess(benchmark::State& state) {
    const std::string& path = Tree().Mpeg();
    for (auto _ : state) {
        uint32_t ms = 0;
        if (ProbeMpegDuration(path, ms) != kProbeOk || ms / 100 != 100) {
            state.SkipWithError("the clip did not measure 10.0 s");
            break;
        }
    }
}
BENCHMARK(BM_MeasureMpegInProcess)->Apply(bench::InMillisecondsWithP99);

void BM_FfprobeShowFormat(benchmark::State& state) {
    const std::string& path = Tree().Mpeg();
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    std::vector<std::string> args = {"ffprobe", "-show_format", path};
    std::vector<char*> argv;
    for (std::string& arg : args) {
        argv.push_back(arg.data());
    }
    argv.push_back(nullptr);
    for (auto _ : state) {
        pid_t pid = 0;
        if (posix_spawnp(&pid, "ffprobe", &actions, nullptr, argv.data(), environ) != 0) {
            state.SkipWithError("ffprobe cannot be started");
            break;
        }
        int status = 0;
        waitpid(pid, &status, 0);
    }
    posix_spawn_file_actions_destroy(&actions);
}
BENCHMARK(BM_FfprobeShowFormat)->Apply(bench::InMillisecondsWithP99);

VideoLibrary LargeIndex() {
    VideoLibrary library;
    library.clips.resize(kIndexRecords);
    for (int i = 0; i < kIndexRecords; ++i) {
        LibraryClip& clip = library.clips[static_cast<size_t>(i)];
        SetClipFileName(clip, "Folder" + std::to_string(i / 100) + "/clip" + std::to_string(i) +
                                  "_" + std::to_string(1 + i % 90) + ".mpg");
        clip.durationMs = static_cast<uint32_t>(1 + i % 90) * 1000;
        if (i % 3 == 0) {
            SetClipDescription(clip, "Description of clip " + std::to_string(i));
        }
    }
    return library;
}

void BM_SaveIndex50k(benchmark::State& state) {
    const std::string path = Tree().Dir() + "video.dat";
    const VideoLibrary library = LargeIndex();
    for (auto _ : state) {
        if (!library.Save(path)) {
            state.SkipWithError("the save failed");
            break;
        }
    }
    state.counters["bytes"] = static_cast<double>(fs::file_size(path));
}
BENCHMARK(BM_SaveIndex50k)->Apply(bench::InMillisecondsWithP99);

void BM_LoadIndex50k(benchmark::State& state) {
    const std::string path = Tree().Dir() + "video.dat";
    LargeIndex().Save(path);
    VideoLibrary library;
    for (auto _ : state) {
        library.Load(path);
    }
    if (library.clips.size() != kIndexRecords) {
        state.SkipWithError("the load missed records");
    }
}
BENCHMARK(BM_LoadIndex50k)->Apply(bench::InMillisecondsWithP99);

}  // namespace
}  // namespace orx

BENCHMARK_MAIN();
