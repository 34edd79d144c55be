// High-quality bicubic scaling of a 1024 × 768 32-bit picture, ours against Cairo's
// CAIRO_FILTER_BEST (pixman), against our own baseline kernels (the portable SSE2 path) and
// against the fastest kernels made to widen each source row to floats before filtering it (as
// they do for shapes their byte filter does not take) on the same picture in the same run. Each
// iteration runs all four, ours, the baseline's and the widening ones taking turns to come first;
// the reported time is ours with the fastest kernels this processor has,
// "pixman_over_ours" is pixman's time over ours, "baseline_over_ours" the baseline's and
// "widened_over_ours" the widening kernels' (above 1: ours are faster).
#include <benchmark/benchmark.h>
#include <cairo.h>

#include <cstdint>
#include <vector>

#include "ThreadTime.h"
#include "images/ResampleRows.h"
#include "images/Resampler.h"

namespace {

constexpr int kWidth = 1024;
constexpr int kHeight = 768;

// A screenshot-like mix of flat areas, text-sized detail and gradients.
std::vector<std::uint8_t> makePicture() {
    std::vector<std::uint8_t> pixels(static_cast<size_t>(kWidth) * kHeight * 4);
    std::uint32_t state = 1;
    for (int y = 0; y < kHeight; ++y) {
        for (int x = 0; x < kWidth; ++x) {
            state = state * 1664525u + 1013904223u;
            std::uint8_t* pixel = &pixels[(static_cast<size_t>(y) * kWidth + x) * 4];
            const bool detail = (y / 16) % 3 == 0;
            pixel[0] =
                detail ? static_cast<std::uint8_t>(state >> 24) : static_cast<std::uint8_t>(x);
            pixel[1] = static_cast<std::uint8_t>(y);
            pixel[2] = detail ? 40 : 200;
            pixel[3] = 0xFF;
        }
    }
    return pixels;
}

double secondsSince(double start) {
    return threadSeconds() - start;
}

void scaleWithPixman(cairo_surface_t* source, cairo_surface_t* target, int width, int height) {
    cairo_t* context = cairo_create(target);
    cairo_scale(context, static_cast<double>(width) / kWidth,
                static_cast<double>(height) / kHeight);
    cairo_set_source_surface(context, source, 0, 0);
    cairo_pattern_set_filter(cairo_get_source(context), CAIRO_FILTER_BEST);
    cairo_pattern_set_extend(cairo_get_source(context), CAIRO_EXTEND_PAD);
    cairo_set_operator(context, CAIRO_OPERATOR_SOURCE);
    cairo_paint(context);
    cairo_destroy(context);
    cairo_surface_flush(target);
}

void BM_BicubicAgainstPixman(benchmark::State& state) {
    const int width = static_cast<int>(state.range(0));
    const int height = static_cast<int>(state.range(1));
    std::vector<std::uint8_t> sourcePixels = makePicture();
    std::vector<std::uint8_t> ourPixels(static_cast<size_t>(width) * height * 4);
    std::vector<std::uint8_t> baselinePixels(ourPixels.size());
    std::vector<std::uint8_t> widenedPixels(ourPixels.size());
    const PixelView source{sourcePixels.data(), kWidth, kHeight, kWidth * 4, 4};
    const PixelView ours{ourPixels.data(), width, height, width * 4, 4};
    const PixelView baseline{baselinePixels.data(), width, height, width * 4, 4};
    const PixelView widened{widenedPixels.data(), width, height, width * 4, 4};
    lumenreel::ResampleRowKernels widening = lumenreel::fastestRowKernels();
    widening.filterFourTapBytes = nullptr;

    cairo_surface_t* cairoSource = cairo_image_surface_create_for_data(
        sourcePixels.data(), CAIRO_FORMAT_ARGB32, kWidth, kHeight, kWidth * 4);
    cairo_surface_t* cairoTarget = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width, height);

    // Ours, the baseline's and the widening kernels' runs, in turn first after pixman's, which
    // leaves the caches cold for whichever comes next.
    struct Run {
        const PixelView* target;
        const lumenreel::ResampleRowKernels* kernels;
        double seconds = 0.0;
    };
    Run kernelRuns[] = {{&ours, &lumenreel::fastestRowKernels()},
                        {&baseline, &lumenreel::baselineRowKernels()},
                        {&widened, &widening}};
    double pixmanSeconds = 0.0;
    int turn = 0;
    if (!lumenreel::resample(source, ours, 7))
        state.SkipWithError("resample refused the picture");
    for (auto _ : state) {
        double ourTime = 0.0;
        for (int i = 0; i < 3; ++i) {
            Run& run = kernelRuns[(turn + i) % 3];
            const auto start = threadSeconds();
            lumenreel::resampleWith(source, *run.target, 7, *run.kernels);
            const double time = secondsSince(start);
            benchmark::DoNotOptimize(run.target->data);
            run.seconds += time;
            if (run.target == &ours)
                ourTime = time;
        }
        ++turn;

        const auto pixmanStart = threadSeconds();
        scaleWithPixman(cairoSource, cairoTarget, width, height);
        pixmanSeconds += secondsSince(pixmanStart);
        state.SetIterationTime(ourTime);
    }
    const double ourSeconds = kernelRuns[0].seconds;
    const double baselineSeconds = kernelRuns[1].seconds;
    const double widenedSeconds = kernelRuns[2].seconds;
    const double runs = static_cast<double>(state.iterations());
    state.counters["ours_ms"] = 1000.0 * ourSeconds / runs;
    state.counters["pixman_ms"] = 1000.0 * pixmanSeconds / runs;
    state.counters["pixman_over_ours"] = pixmanSeconds / ourSeconds;
    state.counters["baseline_ms"] = 1000.0 * baselineSeconds / runs;
    state.counters["baseline_over_ours"] = baselineSeconds / ourSeconds;
    state.counters["widened_ms"] = 1000.0 * widenedSeconds / runs;
    state.counters["widened_over_ours"] = widenedSeconds / ourSeconds;

    cairo_surface_destroy(cairoTarget);
    cairo_surface_destroy(cairoSource);
}

BENCHMARK(BM_BicubicAgainstPixman)
    ->ArgNames({"width", "height"})
    ->Args({1920, 1080})
    ->Args({640, 480})
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
