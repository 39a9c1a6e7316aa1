#pragma once

// What the library benchmarks share: a scratch folder that holds the settings file and the clip
// tree, and the 99th percentile of the repetitions (run with --benchmark_repetitions=N).

#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <system_error>
#include <vector>

#include "app/AppSettings.h"
#include "app/IniFile.h"

namespace orx::bench {

// A new folder under the system's temporary folder, removed with everything in it at the end.
// The settings file is "brenvik.ini" in it; the video folder is `videoSubfolder` below it.
class BenchFolder {
public:
    explicit BenchFolder(const std::string& videoSubfolder) {
        std::string pattern =
            (std::filesystem::temp_directory_path() / "orx_bench_XXXXXX").string();
        if (mkdtemp(pattern.data()) == nullptr) {
            std::abort();
        }
        dir_ = pattern + "/";
        SetIniPath(dir_ + "brenvik.ini");
        Settings().appDir = dir_;
        Settings().videoPath = dir_ + videoSubfolder;
        std::filesystem::create_directories(Settings().videoPath);
    }
    ~BenchFolder() {
        std::error_code ignored;
        std::filesystem::remove_all(dir_, ignored);
    }
    BenchFolder(const BenchFolder&) = delete;
    BenchFolder& operator=(const BenchFolder&) = delete;

    // Ends with "/".
    const std::string& Dir() const { return dir_; }

private:
    std::string dir_;
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
