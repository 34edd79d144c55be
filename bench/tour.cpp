// Playback rendering of the sample tour as the player does it, every 25 ms moment through the
// movie source, for the published demo and for the same tour as an authoring document (balloons
// from the compiled-in skin), back to back in one run so machine load falls on both alike.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdint>
#include <fstream>
#include <iterator>
#include <memory>
#include <vector>

#include "document/ZephyrcastBaseDocument.h"
#include "images/ImageExt.h"
#include "player/DocImp.h"
#include "player/SkinEmbedded.h"
#include "player/SkinPackage.h"
#include "published/ExternalFormatReader.h"
#include "themes/PlayerThemes.h"
#include "themes/ThemeFiles.h"

namespace {

using NKWXDecodersEncoders::CExternalFormatReader;

constexpr float kTickSeconds = 0.025f;

std::vector<std::uint8_t> fileBytes(const char* path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// Seconds to render every tick's moment of the source once.
double playThrough(CDocImp& source) {
    CImageExt frame;
    frame.create(source.DisplaySize().width, source.DisplaySize().height, 32);
    const int ticks = static_cast<int>(source.Duration() / kTickSeconds);
    const auto start = std::chrono::steady_clock::now();
    for (int k = 0; k < ticks; ++k) {
        source.RenderAt(static_cast<float>(k) * kTickSeconds, frame);
        benchmark::DoNotOptimize(frame.firstRow());
    }
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

void BM_PlayTheTourPublishedAndAsADocument(benchmark::State& state) {
    CExternalFormatReader reader;
    CSkinPackage skin;
    if (!reader.Load(fileBytes(LUMENREEL_TOUR_DEMO)) ||
        !skin.Open(lumenreel::embeddedSkinPackage())) {
        state.SkipWithError("the published tour or the skin did not load");
        return;
    }
    CThemesManagerZC themes(lumenreel::ThemeFiles::inPackage(*skin.FileSystem()));
    lumenreel::CZephyrcastBaseDocument document(&themes);
    if (!document.load(fileBytes(LUMENREEL_TOUR_DOCUMENT))) {
        state.SkipWithError("the document tour did not load");
        return;
    }
    CDocImp published, authored;
    published.SetReader(&reader);
    authored.SetDocument(&document);
    double publishedSeconds = 0, documentSeconds = 0;
    for (auto _ : state) {
        publishedSeconds += playThrough(published);
        documentSeconds += playThrough(authored);
    }
    const double passes = static_cast<double>(state.iterations());
    const double ticks = published.Duration() / kTickSeconds;
    state.counters["published_us_per_tick"] = 1e6 * publishedSeconds / passes / ticks;
    state.counters["document_us_per_tick"] = 1e6 * documentSeconds / passes / ticks;
    state.counters["document_over_published"] = documentSeconds / publishedSeconds;
}
BENCHMARK(BM_PlayTheTourPublishedAndAsADocument)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace

BENCHMARK_MAIN();
