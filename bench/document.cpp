#include <benchmark/benchmark.h>

#include <sys/resource.h>

#include <chrono>
#include <cstring>
#include <random>
#include <vector>

#include "ScreenPicture.h"
#include "document/ZephyrcastBaseDocument.h"
#include "images/ImageExt.h"
#include "items/DrawItemHighlight.h"

namespace {

using lumenreel::CZephyrcastBaseDocument;

constexpr int kFrames = 100;

// 100 frames of 1024 × 768, each a screen picture with a moving changed band (so backgrounds
// are key and delta pictures), 2 s long, with a fading highlight on every tenth frame.
const std::vector<std::uint8_t>& documentFile() {
    static const std::vector<std::uint8_t> bytes = [] {
        CZephyrcastBaseDocument document;
        document.setFrameSize({1024, 768});
        CImageExt screen = screenLikePicture();
        for (int i = 0; i < kFrames; ++i) {
            for (int y = 0; y < 40; ++y)
                for (int x = 0; x < 200; ++x)
                    screen.setPixel((i * 9 + x) % 1024, (i * 7 + y) % 768,
                                    0xFF000000u | (i * 2654435761u));
            auto& frame = document.appendFrame();
            frame.frameInfo().duration = 2.0f;
            if (auto id = document.backgroundStream().addPicture(screen))
                frame.backgroundReference().bind(*id, 1024, 768);
            if (i % 10 == 0) {
                auto highlight = std::make_unique<lumenreel::CDrawItem_zcHiglight>();
                highlight->setDocument(&document);
                highlight->setRect({100, 100, 400, 300}, false);
                highlight->rebuildDisplayImage();
                CDrawItem_link link;
                link.visEnd = 2.0f;
                link.fadeType = lumenreel::kFadeBoth;
                frame.itemList().insert(link, std::move(highlight));
            }
        }
        return document.save().value();
    }();
    return bytes;
}

long peakKilobytes() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

void BM_LoadDocument(benchmark::State& state) {
    const auto& bytes = documentFile();
    const long before = peakKilobytes();
    for (auto _ : state) {
        CZephyrcastBaseDocument document;
        benchmark::DoNotOptimize(document.load(bytes));
    }
    state.counters["file_MB"] = static_cast<double>(bytes.size()) / 1e6;
    state.counters["peak_rss_growth_MB"] = static_cast<double>(peakKilobytes() - before) / 1024.0;
}

// Every 40 ms moment of the movie in order, against copying the frame's bytes once per moment.
void BM_RenderEveryMomentAgainstMemcpy(benchmark::State& state) {
    CZephyrcastBaseDocument document;
    document.load(documentFile());
    CImageExt target;
    const float total = document.totalDuration();
    const int moments = static_cast<int>(total / 0.04f);
    std::vector<std::uint8_t> from(1024 * 768 * 4, 1), to(from.size());
    double copySeconds = 0.0;
    for (auto _ : state) {
        for (int k = 0; k < moments; ++k)
            document.drawAtTime(target, static_cast<float>(k) * 0.04f);
        const auto start = std::chrono::steady_clock::now();
        for (int k = 0; k < moments; ++k) {
            std::memcpy(to.data(), from.data(), from.size());
            benchmark::DoNotOptimize(to.data());
        }
        copySeconds +=
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    }
    state.counters["moments_per_s"] = benchmark::Counter(
        static_cast<double>(moments) * state.iterations(), benchmark::Counter::kIsRate);
    state.counters["memcpy_s_per_pass"] = copySeconds / static_cast<double>(state.iterations());
}

void BM_SeekRandomMoments(benchmark::State& state) {
    CZephyrcastBaseDocument document;
    document.load(documentFile());
    CImageExt target;
    std::mt19937 random(7);
    std::uniform_real_distribution<float> moment(0.0f, document.totalDuration());
    for (auto _ : state)
        document.drawAtTime(target, moment(random));
    state.SetItemsProcessed(state.iterations());
}

}  // namespace

BENCHMARK(BM_LoadDocument)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_RenderEveryMomentAgainstMemcpy)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(BM_SeekRandomMoments)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
