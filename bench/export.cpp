// The sample tour exported whole, in multiples of real time (movie seconds per second).
#include <benchmark/benchmark.h>

#include <atomic>
#include <filesystem>
#include <string>

#include "export/MovieExport.h"
#include "player/HeadlessMovie.h"

namespace {

void exportTour(benchmark::State& state, lumenreel::ExportFormat format, const char* name) {
    lumenreel::HeadlessMovie movie;
    std::string reason;
    if (movie.open(std::filesystem::path(LUMENREEL_TOUR), reason) !=
        lumenreel::HeadlessMovie::OpenResult::ok) {
        state.SkipWithError(reason.c_str());
        return;
    }
    const std::filesystem::path output = std::filesystem::temp_directory_path() / name;
    lumenreel::ExportSettings settings;
    settings.format = format;
    const std::atomic<bool> stop{false};
    double movieSeconds = 0;
    for (auto _ : state) {
        const lumenreel::ExportResult result =
            lumenreel::exportMovie(movie.source(), settings, output, true, stop, nullptr);
        if (!result.ok) {
            state.SkipWithError(result.error.c_str());
            break;
        }
        movieSeconds += result.movieSeconds;
    }
    std::filesystem::remove_all(output);
    // Wall time, since the encoder's threads do work the main thread's CPU time misses.
    state.counters["x_real_time"] = benchmark::Counter(movieSeconds, benchmark::Counter::kIsRate);
}

void BM_ExportTourMp4(benchmark::State& state) {
    exportTour(state, lumenreel::ExportFormat::mp4, "lumenreel-bench.mp4");
}
void BM_ExportTourPng(benchmark::State& state) {
    exportTour(state, lumenreel::ExportFormat::png, "lumenreel-bench-png");
}

}  // namespace

BENCHMARK(BM_ExportTourMp4)->Unit(benchmark::kSecond)->UseRealTime()->Iterations(2);
BENCHMARK(BM_ExportTourPng)->Unit(benchmark::kSecond)->UseRealTime()->Iterations(1);
BENCHMARK_MAIN();
