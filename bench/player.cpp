// Playback rendering of a 100-frame 1024 × 768 published demo with a caption, a highlight, an
// image and the cursor on every frame: every 40 ms moment in turn, against a plain memcpy of the
// frame image's bytes (the floor for producing a picture per moment), the Fit rescale of a
// moment to 1920 × 1080, and whole timer ticks of the skinned player window, playing and paused.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "ThreadTime.h"
#include "app/PlayerWindow.h"
#include "base/MemFile.h"
#include "images/ImageExt.h"
#include "images/PngCodec.h"
#include "player/DocImp.h"
#include "player/PlayerView.h"
#include "player/SkinEmbedded.h"
#include "published/ExternalFormatReader.h"
#include "published/ZcdWriter.h"
#include "sound/NullOutputDevice.h"
#include "storage/PlayerTranslateInterface.h"
#include "storage/RBFileSystem.h"

namespace {

using NKWXDecodersEncoders::CExternalFormatReader;

constexpr int kWidth = 1024, kHeight = 768, kFrames = 100;
constexpr float kFrameSeconds = 1.0f, kMomentSeconds = 0.040f;

std::vector<std::uint8_t> png(int w, int h, std::uint32_t seed) {
    CImageExt image;
    image.create(w, h, 24);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            image.setPixel(x, y, (x < 4 || y < 4) ? 0xFFFFFF : (x * 7 + y * 13 + seed) & 0xFFFFFF);
    std::vector<std::uint8_t> bytes;
    lumenreel::encodePng(image, bytes);
    return bytes;
}

// Screens that change a little from frame to frame, as captured demos do.
std::vector<CImageExt> screens() {
    std::vector<CImageExt> pictures(kFrames);
    for (int i = 0; i < kFrames; ++i) {
        CImageExt& p = pictures[i];
        p.create(kWidth, kHeight, 24);
        for (int y = 0; y < kHeight; ++y)
            for (int x = 0; x < kWidth; ++x) {
                bool window = x > 40 && x < 980 && y > 40 && y < 720;
                bool text = window && (y / 12) % 2 == 0 && ((x + i * 3) / 5) % 3 != 0;
                p.setPixel(x, y, !window ? 0x3A6EA5 : text ? 0x202020 : 0xF0F0F0);
            }
        for (int y = 0; y < 60; ++y)
            for (int x = 0; x < 60; ++x)
                p.setPixel(100 + i * 8 + x, 300 + y, 0x00A000);
    }
    return pictures;
}

struct Demo {
    std::vector<std::uint8_t> file;

    Demo() {
        std::vector<CImageExt> pictures = screens();
        lumenreel::zcd::ZcdContent content;
        content.poolPictures = {png(200, 150, 1)};
        content.captionsAreImages = true;
        content.captionImages = {png(320, 120, 2)};
        content.cursors.push_back({{0, 0}, png(32, 32, 3), png(32, 32, 4)});
        for (int i = 0; i < kFrames; ++i) {
            int id = i + 1;
            content.frames.push_back({{id, kFrameSeconds, 0.2f, 0.8f}, &pictures[i]});
            content.captions.push_back({});
            content.captions.back().id = id;
            content.captions.back().rect = {300, 100, 620, 220};
            content.captions.back().captionsAreImages = true;
            content.images.push_back({0, id, {600, 400, 800, 550}});
            content.highlights.push_back({id, {80, 500, 400, 600}, 0x0000FF, 0xFFFFFF, 3, true});
            auto placement = [&](int order) {
                lumenreel::zcd::WriterPlacement p;
                p.kind = NKWXDecodersEncoders::kFadeInOut;
                p.frameId = id;
                p.objectId = id;
                p.end = kFrameSeconds;
                p.order = order;
                p.timing = {0.3f, 0.3f, 1.0f, 0.0f, 0.0f, 1.0f};
                return p;
            };
            content.captionPlacements.push_back(placement(0));
            content.imagePlacements.push_back(placement(1));
            content.highlightPlacements.push_back(placement(2));
            content.cursorPlacements.push_back({0, id, i % 2 == 0,
                                                static_cast<std::int16_t>(100 + (i * 37) % 800),
                                                static_cast<std::int16_t>(100 + (i * 53) % 600)});
        }
        std::string error;
        file = lumenreel::zcd::writeZcd(content, error).value_or(std::vector<std::uint8_t>{});
    }
};

const Demo& demo() {
    static const Demo instance;
    return instance;
}

// The demo attached to the player's movie, with a frame to render into.
struct LoadedDemo {
    CExternalFormatReader reader;
    CDocImp source;
    CImageExt frame;
    bool loaded = false;

    LoadedDemo() {
        loaded = reader.Load(demo().file);
        if (loaded)
            source.SetReader(&reader);
        frame.create(kWidth, kHeight, 32);
    }
};

void BM_RenderEveryMoment(benchmark::State& state) {
    LoadedDemo playing;
    if (!playing.loaded) {
        state.SkipWithError("demo did not load");
        return;
    }
    CDocImp& source = playing.source;
    CImageExt& frame = playing.frame;
    const int moments = static_cast<int>(kFrames * kFrameSeconds / kMomentSeconds);
    int moment = 0;
    for (auto _ : state) {
        source.RenderAt(static_cast<float>(moment) * kMomentSeconds, frame);
        benchmark::DoNotOptimize(frame.firstRow());
        moment = (moment + 1) % moments;
    }
    state.SetItemsProcessed(state.iterations());
    state.counters["moments_per_s"] =
        benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);

    // The same number of moments against copies of the frame image's bytes, back to back in
    // this run, in this thread's CPU time.
    CImageExt copy;
    copy.create(kWidth, kHeight, 32);
    const std::size_t bytes = static_cast<std::size_t>(frame.pitch()) * kHeight;
    const double start = threadSeconds();
    for (int i = 0; i < moments; ++i)
        source.RenderAt(static_cast<float>(i) * kMomentSeconds, frame);
    const double rendered = threadSeconds();
    for (int i = 0; i < moments; ++i) {
        std::memcpy(copy.firstRow(), frame.firstRow(), bytes);
        benchmark::DoNotOptimize(copy.firstRow());
        benchmark::ClobberMemory();
    }
    const double copied = threadSeconds();
    state.counters["render_over_memcpy"] = (rendered - start) / (copied - rendered);
}
BENCHMARK(BM_RenderEveryMoment)->Unit(benchmark::kMicrosecond)->MinTime(3.0);

void BM_CopyFrameImageBytes(benchmark::State& state) {
    CImageExt from, to;
    from.create(kWidth, kHeight, 32);
    to.create(kWidth, kHeight, 32);
    const std::size_t bytes = static_cast<std::size_t>(from.pitch()) * kHeight;
    for (auto _ : state) {
        std::memcpy(to.firstRow(), from.firstRow(), bytes);
        benchmark::DoNotOptimize(to.firstRow());
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * bytes));
}
BENCHMARK(BM_CopyFrameImageBytes)->Unit(benchmark::kMicrosecond);

void BM_FitRescaleTo1920x1080(benchmark::State& state) {
    CExternalFormatReader reader;
    if (!reader.Load(demo().file)) {
        state.SkipWithError("demo did not load");
        return;
    }
    lumenreel::SystemTickClock clock;
    CZCPlayerView view(clock);
    view.SetClientSize(1920, 1080);
    view.SetExternalReader(&reader);
    view.SetFitChecked(true);
    view.RenderAt(12.34f);
    for (auto _ : state) {
        view.Rescale();
        benchmark::DoNotOptimize(view.GetScaledImage().firstRow());
    }
}
BENCHMARK(BM_FitRescaleTo1920x1080)->Unit(benchmark::kMillisecond);

// Jumps to random moments of the demo, each rendered once, timed apart by direction (thread CPU
// time): a seek backward may recompose at most its key group, like one forward into another
// group. Reports the mean and the slowest seek of each direction.
void BM_RandomSeeks(benchmark::State& state) {
    LoadedDemo playing;
    if (!playing.loaded) {
        state.SkipWithError("demo did not load");
        return;
    }
    CDocImp& source = playing.source;
    CImageExt& frame = playing.frame;
    std::uint32_t random = 7;
    float at = 0.0f;
    double seconds[2] = {0.0, 0.0}, slowest[2] = {0.0, 0.0};
    std::int64_t seeks[2] = {0, 0};
    for (auto _ : state) {
        random = random * 1664525u + 1013904223u;
        const float to = static_cast<float>(random >> 8) / (1 << 24) * kFrames * kFrameSeconds;
        const int backward = to < at ? 1 : 0;
        const double start = threadSeconds();
        source.RenderAt(to, frame);
        const double took = threadSeconds() - start;
        benchmark::DoNotOptimize(frame.firstRow());
        seconds[backward] += took;
        slowest[backward] = std::max(slowest[backward], took);
        ++seeks[backward];
        at = to;
    }
    for (int backward : {0, 1}) {
        const std::string name = backward ? "backward" : "forward";
        state.counters[name + "_mean_ms"] =
            1000.0 * seconds[backward] /
            static_cast<double>(std::max<std::int64_t>(1, seeks[backward]));
        state.counters[name + "_max_ms"] = 1000.0 * slowest[backward];
    }
}
BENCHMARK(BM_RandomSeeks)->Unit(benchmark::kMillisecond)->MinTime(2.0);

class SteppedClock : public lumenreel::TickClock {
public:
    std::uint32_t now() override { return m_now; }
    void advance(std::uint32_t ms) { m_now += ms; }

private:
    std::uint32_t m_now = 1000;
};

// The player window with the default skin, showing a movie.
struct SkinnedWindow {
    CKWXOleStreamFile skinStream{lumenreel::embeddedSkinPackage()};
    CRBFileSystem skinFiles;
    std::unique_ptr<CPlayerTranslateInterface> texts;
    SteppedClock clock;
    lumenreel::PlayerWindow window{clock,
                                   [] { return std::make_unique<lumenreel::NullOutputDevice>(); }};
    bool ready = false;

    explicit SkinnedWindow(CExternalFormatReader& reader) {
        if (!skinFiles.Attach(&skinStream, CRBFileSystem::modeRead))
            return;
        texts = std::make_unique<CPlayerTranslateInterface>(skinFiles);
        window.SetSkin(&skinFiles, texts.get());
        window.View().SetExternalReader(&reader);
        ready = true;
    }
};

// One 25 ms tick of the whole window with the default skin, as the shell runs it: the view and
// the panel follow the clock and the window is composed when it looks different. Argument 1
// plays, 0 pauses. "shown" is the share of ticks whose window had to be shown again.
void BM_WindowTick(benchmark::State& state) {
    CExternalFormatReader reader;
    if (!reader.Load(demo().file)) {
        state.SkipWithError("demo did not load");
        return;
    }
    SkinnedWindow skinned(reader);
    if (!skinned.ready) {
        state.SkipWithError("the skin did not load");
        return;
    }
    lumenreel::PlayerWindow& window = skinned.window;
    const lumenreel::Size size = window.View().PreferredSize();
    window.SetClientSize(size.width, size.height);
    window.Compose();
    window.View().Transport().Play();
    if (state.range(0) == 0)
        window.View().Transport().Pause();
    std::int64_t shown = 0;
    for (auto _ : state) {
        skinned.clock.advance(CZCPlayerView::kTimerPeriodMs);
        window.OnTimer();
        shown += window.Compose();
        benchmark::DoNotOptimize(window.Picture().firstRow());
    }
    state.counters["shown"] = static_cast<double>(shown) /
                              static_cast<double>(std::max<std::int64_t>(1, state.iterations()));
    state.counters["window_px"] = static_cast<double>(size.width) * size.height;
}
BENCHMARK(BM_WindowTick)->Arg(1)->Arg(0)->Unit(benchmark::kMicrosecond);

// Three 1 s frames of one screen, the last in other colours (every pixel changed). In the first the
// cursor glides to where it stays, from 20 % to 80 % of the frame.
std::vector<std::uint8_t> glideDemo() {
    std::vector<CImageExt> pictures(3);
    for (int i = 0; i < 3; ++i) {
        const std::uint32_t tint = i == 2 ? 0x5A5A5A : 0;
        pictures[i].create(kWidth, kHeight, 24);
        for (int y = 0; y < kHeight; ++y)
            for (int x = 0; x < kWidth; ++x) {
                bool window = x > 40 && x < 980 && y > 40 && y < 720;
                bool text = window && (y / 12) % 2 == 0 && (x / 5) % 3 != 0;
                pictures[i].setPixel(x, y,
                                     (!window ? 0x3A6EA5
                                      : text  ? 0x202020
                                              : 0xF0F0F0) ^
                                         tint);
            }
    }
    lumenreel::zcd::ZcdContent content;
    content.cursors.push_back({{0, 0}, png(32, 32, 3), png(32, 32, 4)});
    const std::int16_t stops[3][2] = {{100, 100}, {400, 300}, {400, 300}};
    for (int i = 0; i < 3; ++i) {
        content.frames.push_back({{i + 1, kFrameSeconds, 0.2f, 0.8f}, &pictures[i]});
        content.cursorPlacements.push_back({0, i + 1, false, stops[i][0], stops[i][1]});
    }
    std::string error;
    return lumenreel::zcd::writeZcd(content, error).value_or(std::vector<std::uint8_t>{});
}

// A playback tick of the window at 1920 x 1080 with Fit on, each tick the other of two moments:
// argument 0 a cursor step over a still screen, 1 two moments that look the same, 2 every pixel
// changed. The same ticks of the window 1:1 around the movie run alternately in the same run;
// fit_over_windowed compares the two in thread CPU time.
void BM_FitPlaybackTick(benchmark::State& state) {
    static const std::vector<std::uint8_t> file = glideDemo();
    CExternalFormatReader fitReader, windowedReader;
    if (!fitReader.Load(file) || !windowedReader.Load(file)) {
        state.SkipWithError("demo did not load");
        return;
    }
    SkinnedWindow fit(fitReader), windowed(windowedReader);
    if (!fit.ready || !windowed.ready) {
        state.SkipWithError("the skin did not load");
        return;
    }
    constexpr float kMoments[3][2] = {{0.40f, 0.45f}, {1.40f, 1.45f}, {1.90f, 2.90f}};
    const float* moments = kMoments[state.range(0)];
    fit.window.SetClientSize(1920, 1080);
    fit.window.View().SetFitChecked(true);
    const lumenreel::Size size = windowed.window.View().PreferredSize();
    windowed.window.SetClientSize(size.width, size.height);
    const auto tick = [moments](lumenreel::PlayerWindow& window, int i) {
        window.View().RenderAt(moments[i % 2]);
        window.Compose();
        benchmark::DoNotOptimize(window.Picture().firstRow());
    };
    // The first compose starts the view's timer, which loads the movie again.
    fit.window.Compose();
    windowed.window.Compose();
    CImageExt first;
    tick(fit.window, 0);
    fit.window.View().GetFrameImage().copyTo(first);
    tick(fit.window, 1);
    tick(windowed.window, 0);
    tick(windowed.window, 1);
    if (first.equals(fit.window.View().GetFrameImage()) != (state.range(0) == 1)) {
        state.SkipWithError("the two moments do not differ as this case needs");
        return;
    }
    double fitSeconds = 0.0, windowedSeconds = 0.0;
    int i = 0;
    for (auto _ : state) {
        const double start = threadSeconds();
        tick(fit.window, i);
        const double fitTick = threadSeconds() - start;
        const double windowedStart = threadSeconds();
        tick(windowed.window, i);
        windowedSeconds += threadSeconds() - windowedStart;
        fitSeconds += fitTick;
        state.SetIterationTime(fitTick);
        ++i;
    }
    const double ticks = static_cast<double>(std::max<std::int64_t>(1, state.iterations()));
    state.counters["fit_ms"] = 1000.0 * fitSeconds / ticks;
    state.counters["windowed_ms"] = 1000.0 * windowedSeconds / ticks;
    state.counters["fit_over_windowed"] = fitSeconds / windowedSeconds;
}
BENCHMARK(BM_FitPlaybackTick)
    ->ArgName("change")
    ->Arg(0)
    ->Arg(1)
    ->Arg(2)
    ->UseManualTime()
    ->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
