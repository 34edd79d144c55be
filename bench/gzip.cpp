// Deflating (levels 1 and 9) and inflating a 16 MiB screen-like picture in memory, against the gzip
// command-line tool on the same data in the same run. Each iteration runs both; the reported time
// is ours, and "tool_with_start_over_ours" is the tool's time over ours (above 1: we are faster).
// The tool reads a temporary file and writes to /dev/null, so its time includes starting the
// process, as the name says.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "storage/GzipCompression.h"

namespace {

constexpr int kWidth = 2048;
constexpr int kHeight = 2048;

// 32-bit pixels of a desktop: flat window areas, rows of text-like strokes, a gradient title bar
// and a noisy photo in one corner.
std::vector<std::uint8_t> makeScreen() {
    std::vector<std::uint8_t> pixels(static_cast<std::size_t>(kWidth) * kHeight * 4);
    std::uint32_t state = 7;
    for (int y = 0; y < kHeight; ++y) {
        for (int x = 0; x < kWidth; ++x) {
            state = state * 1664525u + 1013904223u;
            std::uint8_t* pixel = &pixels[(static_cast<std::size_t>(y) * kWidth + x) * 4];
            std::uint8_t b = 0xF0, g = 0xF0, r = 0xF0;
            if (y % 512 < 24) {
                b = static_cast<std::uint8_t>(128 + x / 16);
                g = 0x60;
                r = 0x20;
            } else if (x > 1400 && y > 1300) {
                b = static_cast<std::uint8_t>((x + y) / 8 + (state >> 29));
                g = static_cast<std::uint8_t>(x / 6 + (state >> 28));
                r = static_cast<std::uint8_t>(y / 5 + (state >> 30));
            } else if ((y / 14) % 2 == 0 && (state >> 27) < 5 && (x / 7) % 9 != 0) {
                b = g = r = 0x10;  // glyph strokes
            }
            pixel[0] = b;
            pixel[1] = g;
            pixel[2] = r;
            pixel[3] = 0xFF;
        }
    }
    return pixels;
}

const std::vector<std::uint8_t>& screen() {
    static const std::vector<std::uint8_t> pixels = makeScreen();
    return pixels;
}

double secondsSince(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

std::filesystem::path writeTemp(const std::string& name, const std::vector<std::uint8_t>& bytes) {
    std::filesystem::path path = std::filesystem::temp_directory_path() / name;
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()),
               static_cast<std::streamsize>(bytes.size()));
    return path;
}

double runTool(const std::string& commandLine) {
    auto start = std::chrono::steady_clock::now();
    if (std::system(commandLine.c_str()) != 0)
        return -1;
    return secondsSince(start);
}

// Times ours against the tool; the iteration time is ours.
template <class Ours>
void compareWithTool(benchmark::State& state, Ours ours, const std::string& toolCommand,
                     std::size_t bytesPerRun) {
    double oursTotal = 0, toolTotal = 0;
    for (auto _ : state) {
        auto start = std::chrono::steady_clock::now();
        ours();
        double seconds = secondsSince(start);
        double toolSeconds = runTool(toolCommand);
        if (toolSeconds < 0) {
            state.SkipWithError("the gzip tool failed");
            return;
        }
        oursTotal += seconds;
        toolTotal += toolSeconds;
        state.SetIterationTime(seconds);
    }
    state.counters["tool_with_start_over_ours"] = toolTotal / oursTotal;
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * bytesPerRun));
}

void BM_Deflate(benchmark::State& state) {
    const int level = static_cast<int>(state.range(0));
    const auto& pixels = screen();
    std::filesystem::path input = writeTemp("lumenreel_bench_screen", pixels);
    std::size_t packed = 0;
    compareWithTool(
        state,
        [&] {
            GzipMemWriter writer(pixels.data(), pixels.size(), level);
            packed = writer.GetSize();
            benchmark::DoNotOptimize(writer.GetBuffer());
        },
        "gzip -" + std::to_string(level) + " -c " + input.string() + " > /dev/null", pixels.size());
    state.counters["ratio"] = static_cast<double>(pixels.size()) / static_cast<double>(packed);
    std::filesystem::remove(input);
}

void BM_Inflate(benchmark::State& state) {
    const auto& pixels = screen();
    GzipMemWriter writer(pixels.data(), pixels.size(), static_cast<int>(state.range(0)));
    std::vector<std::uint8_t> member(writer.Bytes().begin(), writer.Bytes().end());
    std::filesystem::path input = writeTemp("lumenreel_bench_screen.gz", member);
    compareWithTool(
        state,
        [&] {
            GzipMemReader reader(member);
            if (reader.GetSize() != pixels.size())
                std::abort();
            benchmark::DoNotOptimize(reader.GetBuffer());
        },
        "gzip -d -c " + input.string() + " > /dev/null", pixels.size());
    std::filesystem::remove(input);
}

BENCHMARK(BM_Deflate)->Arg(1)->Arg(9)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Inflate)->Arg(1)->Arg(9)->UseManualTime()->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
