// The sample tour exported whole, in multiples of real time (movie seconds per second), and in
// the same run the way without export: `lumenreel frames` and `lumenreel audio`, then the ffmpeg
// tool encoding the same H.264 and AAC.
#include <benchmark/benchmark.h>

#include <atomic>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "export/MovieExport.h"
#include "player/HeadlessMovie.h"

namespace {

// The sample tour, or the benchmark skipped with the reason.
bool openTour(benchmark::State& state, lumenreel::HeadlessMovie& movie) {
    std::string reason;
    if (movie.open(std::filesystem::path(LUMENREEL_TOUR), reason) ==
        lumenreel::HeadlessMovie::OpenResult::ok)
        return true;
    state.SkipWithError(reason.c_str());
    return false;
}

void exportTour(benchmark::State& state, lumenreel::ExportFormat format, const char* name) {
    lumenreel::HeadlessMovie movie;
    if (!openTour(state, movie))
        return;
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

// A path for a shell command line (the build's paths hold no quote).
std::string quoted(const std::filesystem::path& path) {
    std::string text = path.string();
    text.insert(text.begin(), '\'');
    text.push_back('\'');
    return text;
}

void BM_FramesThenFfmpegTour(benchmark::State& state) {
    if (std::system("command -v ffmpeg >/dev/null") != 0) {
        state.SkipWithError("needs the ffmpeg tool");
        return;
    }
    lumenreel::HeadlessMovie movie;
    if (!openTour(state, movie))
        return;
    const std::filesystem::path dir =
        std::filesystem::temp_directory_path() / "lumenreel-bench-frames";
    const std::filesystem::path wav = dir / "tour.wav";
    const std::string lumenreel = quoted(LUMENREEL_COMMAND);
    const std::string tour = quoted(LUMENREEL_TOUR);
    // The export's own settings: 25 pictures a second, veryfast, still-image tuning, quality 80.
    std::string command = lumenreel + " frames " + tour + " --fps 25 --overwrite -o " + quoted(dir);
    command += " && " + lumenreel + " audio " + tour + " -o " + quoted(wav);
    command += " && ffmpeg -v error -y -framerate 25 -i " + quoted(dir / "frame_%06d.png");
    command += " -i " + quoted(wav);
    command += " -c:v libx264 -preset veryfast -tune stillimage -crf 18 -pix_fmt yuv420p";
    command += " -c:a aac -b:a 64k " + quoted(dir / "tour.mp4");
    double movieSeconds = 0;
    for (auto _ : state) {
        if (std::system(command.c_str()) != 0) {
            state.SkipWithError("frames, audio or ffmpeg failed");
            break;
        }
        movieSeconds += movie.duration();
    }
    std::filesystem::remove_all(dir);
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
BENCHMARK(BM_FramesThenFfmpegTour)->Unit(benchmark::kSecond)->UseRealTime()->Iterations(1);
BENCHMARK_MAIN();
