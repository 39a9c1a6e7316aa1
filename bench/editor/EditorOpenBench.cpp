// Opening the playlist editor on a large library: the dialog is built, "video.dat" with 50,000
// records is read, both lists are filled for a 500-entry playlist and the dialog is shown and
// painted once. Run offscreen; the median of the repetitions is the figure to watch.

#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <QApplication>
#include <fstream>
#include <string>
#include <vector>

#include "BenchFolder.h"
#include "app/AppSettings.h"
#include "editor/PlaylistEditorDialog.h"
#include "library/Playlist.h"
#include "library/VideoLibrary.h"

namespace orx {
namespace {

constexpr int kLibraryRecords = 50'000;
constexpr int kPlaylistEntries = 500;  // including the end entry

class Fixture {
public:
    Fixture() {
        std::vector<LibraryClip> clips(kLibraryRecords);
        for (int i = 0; i < kLibraryRecords; ++i) {
            SetClipFileName(clips[i], "Folder" + std::to_string(i % 50) + "\\clip" +
                                          std::to_string(i) + "_" + std::to_string(i % 600) +
                                          ".mpg");
            clips[i].durationMs = static_cast<uint32_t>((i % 600 + 1) * 1000);
            SetClipDescription(clips[i],
                               i % 3 == 0 ? "" : "Description of clip " + std::to_string(i));
        }
        std::ofstream(VideoLibrary::IndexPath(), std::ios::binary) << FormatVideoDat(clips);

        playlist.Clear();
        for (int i = 0; i + 1 < kPlaylistEntries; ++i) {
            PlaylistEntry entry;
            SetEntryFileName(entry, ClipFileName(clips[static_cast<size_t>(i * 97)]));
            entry.durationMs = static_cast<int32_t>(clips[static_cast<size_t>(i * 97)].durationMs);
            entry.transition = i % 8;
            entry.interleaveMs = 800;
            entry.extraCommands[0] = static_cast<uint8_t>(i % 9);
            playlist.entries.push_back(entry);
        }
        playlist.entries.push_back(PlaylistEntry{});
    }
    Playlist playlist;

private:
    bench::BenchFolder folder_{"Video/"};  // made before the constructor's body runs
};

void BM_OpenEditor(benchmark::State& state) {
    Fixture fixture;
    for (auto _ : state) {
        Playlist copy;
        copy.Assign(fixture.playlist);
        PlaylistEditorDialog editor(copy, {}, false);
        editor.show();
        QApplication::processEvents();  // laid out and painted
        benchmark::DoNotOptimize(editor.library().clips.size());
        if (editor.library().clips.size() != static_cast<size_t>(kLibraryRecords)) {
            state.SkipWithError("library not loaded");
        }
    }
}
BENCHMARK(BM_OpenEditor)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1)
    ->Repetitions(15)
    ->ReportAggregatesOnly(true);

}  // namespace
}  // namespace orx

int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
