// PNG decoding of a 1024 × 768 screen-like picture, against ImageMagick's convert decoding the
// same file in the same run. Counters: convert's time over ours, with its process start
// ("convert_with_start_over_ours") and without it (the start measured on a 1 × 1 file); a convert
// that fails marks the run as an error instead of reporting a ratio.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>

#include "ScreenPicture.h"
#include "base/MemFile.h"
#include "images/ImageExt.h"
#include "images/PngCodec.h"

namespace {

std::vector<std::uint8_t> pngOf(const CImageExt& image) {
    std::vector<std::uint8_t> bytes;
    lumenreel::encodePng(image, bytes);
    return bytes;
}

void writeFile(const std::filesystem::path& path, const std::vector<std::uint8_t>& bytes) {
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()),
               static_cast<std::streamsize>(bytes.size()));
}

// Seconds per call of convert decoding the file into raw pixels that are thrown away; nothing
// when convert fails.
std::optional<double> convertSeconds(const std::filesystem::path& file, int runs) {
    const std::string program =
        std::filesystem::exists("/usr/bin/convert") ? "/usr/bin/convert" : "convert";
    const std::string command = program + " '" + file.string() + "' rgb:/dev/null";
    const auto start = std::chrono::steady_clock::now();
    for (int i = 0; i < runs; ++i) {
        if (std::system(command.c_str()) != 0)
            return std::nullopt;
    }
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count() / runs;
}

void BM_PngDecode(benchmark::State& state) {
    const std::vector<std::uint8_t> png = pngOf(screenLikePicture());
    for (auto _ : state) {
        CImageExt decoded;
        benchmark::DoNotOptimize(decoded.loadFromBytes(png));
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * png.size()));

    const auto folder = std::filesystem::temp_directory_path() / "lumenreel-png-bench";
    std::filesystem::create_directories(folder);
    writeFile(folder / "screen.png", png);
    CImageExt tiny;
    tiny.create(1, 1, 24);
    writeFile(folder / "tiny.png", pngOf(tiny));

    constexpr int kRuns = 10;
    const auto start = std::chrono::steady_clock::now();
    for (int i = 0; i < kRuns; ++i) {
        CImageExt decoded;
        decoded.loadFromBytes(png);
    }
    const double ours =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count() / kRuns;
    const std::optional<double> convert = convertSeconds(folder / "screen.png", kRuns);
    const std::optional<double> startUp = convertSeconds(folder / "tiny.png", kRuns);
    std::filesystem::remove_all(folder);
    if (!convert || !startUp) {
        state.SkipWithError("convert failed to decode the pictures");
        return;
    }
    state.counters["convert_with_start_over_ours"] = *convert / ours;
    state.counters["convert_decode_only_over_ours"] = (*convert - *startUp) / ours;
    state.counters["png_bytes"] = static_cast<double>(png.size());
}

}  // namespace

BENCHMARK(BM_PngDecode)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
