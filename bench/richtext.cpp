// A three-line styled caption loaded, measured and drawn into a 400 × 120 picture, as a balloon
// rebuild does it; the target is well under a millisecond per caption.
#include <benchmark/benchmark.h>

#include <string>

#include "images/ImageExt.h"
#include "richtext/AutoRichEditCtrl.h"

namespace {

constexpr const char* kCaption =
    R"({\rtf1\ansi\ansicpg1252\deff0\deflang1033{\fonttbl{\f0\fswiss\fcharset0 Arial;})"
    R"({\f1\froman\fcharset0 Times New Roman;}}{\colortbl ;\red255\green0\blue0;\red0\green0\blue128;})"
    R"(\viewkind4\uc1\pard\qc\f0\fs24 Click \b Save\b0 , then \cf1\i close\cf0\i0  the window.\par)"
    R"(\pard\f1\fs20 The \ul report\ulnone  is written to \cf2 C:\\Reports\cf0 .\par)"
    R"(\f0\fs16\strike Old\strike0  caf\'e9 prices \'80 5\par})";

// Two captions taken in turn, so that every load reads and lays out its text afresh.
void loadMeasureRender(benchmark::State& state) {
    CImageExt image;
    image.create(400, 120, 24);
    CAutoRichEditCtrl control;
    const std::string captions[] = {kCaption, std::string(kCaption) + " "};
    std::size_t turn = 0;
    for (auto _ : state) {
        control.setRichText(captions[turn++ % 2]);
        lumenreel::Size size = control.measure();
        control.renderInto(image, {0, 0, 400, 120});
        benchmark::DoNotOptimize(size);
        benchmark::DoNotOptimize(image.firstRow());
    }
}
BENCHMARK(loadMeasureRender)->Unit(benchmark::kMicrosecond);

// The same caption loaded again, as each frame's picture of it is made: the layouts are kept.
void reloadMeasureRender(benchmark::State& state) {
    CImageExt image;
    image.create(400, 120, 24);
    CAutoRichEditCtrl control;
    for (auto _ : state) {
        control.setRichText(kCaption);
        lumenreel::Size size = control.measure();
        control.renderInto(image, {0, 0, 400, 120});
        benchmark::DoNotOptimize(size);
        benchmark::DoNotOptimize(image.firstRow());
    }
}
BENCHMARK(reloadMeasureRender)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
