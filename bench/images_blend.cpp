// Keyed blend of a 1024 × 768 32-bit picture against a plain memcpy of the same bytes; the
// "ratio_to_memcpy" counter of the blend is its time over the memcpy time of the same run.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstring>
#include <functional>
#include <vector>

#include "images/ImageExt.h"

namespace {

constexpr int kWidth = 1024;
constexpr int kHeight = 768;

CImageExt makePicture(std::uint32_t seed) {
    CImageExt image;
    image.create(kWidth, kHeight, 32);
    std::uint32_t state = seed;
    for (int y = 0; y < kHeight; ++y) {
        for (int x = 0; x < kWidth; ++x) {
            state = state * 1664525u + 1013904223u;
            // About one pixel in eight is the key colour, as in a balloon or highlight picture.
            image.setPixel(x, y, (state >> 29) == 0 ? 0x00FFFFFFu : (state | 0xFF000000u));
        }
    }
    return image;
}

double secondsPerRun(const std::function<void()>& run, int repetitions) {
    const auto start = std::chrono::steady_clock::now();
    for (int i = 0; i < repetitions; ++i)
        run();
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count() /
           repetitions;
}

void BM_Memcpy(benchmark::State& state) {
    const CImageExt source = makePicture(1);
    CImageExt target = makePicture(2);
    const std::size_t bytes = static_cast<std::size_t>(source.pitch()) * kHeight;
    for (auto _ : state) {
        std::memcpy(target.firstRow(), source.firstRow(), bytes);
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * bytes));
}

void BM_KeyedBlend(benchmark::State& state) {
    const CImageExt source = makePicture(1);
    CImageExt target = makePicture(2);
    const std::size_t bytes = static_cast<std::size_t>(source.pitch()) * kHeight;
    for (auto _ : state) {
        source.blendInto(target, 0, 0, 160, 0xFFFFFF, false);
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * bytes));
    // Both timed here, interleaved, so the ratio compares like with like.
    std::vector<std::uint8_t> copy(bytes);
    const double memcpyTime = secondsPerRun(
        [&] {
            std::memcpy(copy.data(), source.firstRow(), bytes);
            benchmark::ClobberMemory();
        },
        200);
    const double blendTime =
        secondsPerRun([&] { source.blendInto(target, 0, 0, 160, 0xFFFFFF, false); }, 200);
    state.counters["ratio_to_memcpy"] = blendTime / memcpyTime;
}

}  // namespace

BENCHMARK(BM_Memcpy)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_KeyedBlend)->Unit(benchmark::kMicrosecond);

BENCHMARK_MAIN();
