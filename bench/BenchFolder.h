#pragma once

// What the library benchmarks share: a scratch folder that holds the settings file and the clip
// tree, and the 99th percentile of the repetitions (run with --benchmark_repetitions=N).

#include <benchmark/benchmark.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "app/AppSettings.h"
#include "app/IniFile.h"
#include "support/TempFolder.h"

namespace orx::bench {

// A fresh folder, removed with everything in it at the end, as the program folder: the settings
// file is "brenvik.ini" in it and the video folder is `videoSubfolder` below it.
class BenchFolder {
public:
    explicit BenchFolder(const std::string& videoSubfolder) {
        SetIniPath(folder_ / "brenvik.ini");
        Settings().appDir = folder_.Path();
        Settings().videoPath = folder_ / videoSubfolder;
        std::filesystem::create_directories(Settings().videoPath);
    }

    // Ends with "/".
    const std::string& Dir() const { return folder_.Path(); }

private:
    test::TempFolder folder_;
};

inline double P99(const std::vector<double>& values) {
    std::vector<double> sorted = values;
    std::sort(sorted.begin(), sorted.end());
    const size_t index = (sorted.size() * 99 + 99) / 100;
    return sorted.empty() ? 0.0 : sorted[std::min(index, sorted.size()) - 1];
}

// Reports in milliseconds, with the 99th percentile beside the mean, median and deviation.
inline void InMillisecondsWithP99(benchmark::internal::Benchmark* benchmark) {
    benchmark->Unit(benchmark::kMillisecond)->ComputeStatistics("p99", P99);
}

}  // namespace orx::bench
