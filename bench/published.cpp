// A 100-picture 1024 × 768 screen-capture demo written by our writer (scrolling text, a moving
// pointer, a photo window for a while): loading it (time and peak
// heap), composing all its pictures in order and in a random order, and the picture stream's size
// against the same pictures as separate PNG files and as a lossless x264 RGB video made by ffmpeg
// (when ffmpeg is installed).
#include <benchmark/benchmark.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <new>
#include <numeric>
#include <optional>
#include <random>

#include "../tests/published/DemoPictures.h"
#include "images/PngCodec.h"
#include "published/ExternalFormatReader.h"
#include "published/ZcdWriter.h"

// Heap accounting for the peak-memory counter: every allocation of this program goes through here.
namespace {
std::atomic<std::size_t> g_heapNow{0};
std::atomic<std::size_t> g_heapPeak{0};

void* allocate(std::size_t size) {
    auto* block = static_cast<std::size_t*>(std::malloc(size + sizeof(std::max_align_t)));
    if (!block)
        throw std::bad_alloc();
    *block = size;
    std::size_t now = g_heapNow += size;
    std::size_t peak = g_heapPeak.load();
    while (now > peak && !g_heapPeak.compare_exchange_weak(peak, now)) {
    }
    return reinterpret_cast<std::byte*>(block) + sizeof(std::max_align_t);
}

void release(void* pointer) {
    if (!pointer)
        return;
    auto* block =
        reinterpret_cast<std::size_t*>(static_cast<std::byte*>(pointer) - sizeof(std::max_align_t));
    g_heapNow -= *block;
    std::free(block);
}
}  // namespace

void* operator new(std::size_t size) {
    return allocate(size);
}
void* operator new[](std::size_t size) {
    return allocate(size);
}
void operator delete(void* pointer) noexcept {
    release(pointer);
}
void operator delete[](void* pointer) noexcept {
    release(pointer);
}
void operator delete(void* pointer, std::size_t) noexcept {
    release(pointer);
}
void operator delete[](void* pointer, std::size_t) noexcept {
    release(pointer);
}

namespace {

using NKWXDecodersEncoders::CExternalFormatReader;
constexpr int kPictures = 100;

struct Demo {
    std::vector<CImageExt> pictures = lumenreel::test::screenPictures(kPictures, 1024, 768);
    std::vector<std::uint8_t> file;
    std::size_t streamBytes = 0;

    void addPhotoWindow();
    Demo() {
        addPhotoWindow();
        lumenreel::zcd::ZcdContent content;
        for (int i = 0; i < kPictures; ++i)
            content.frames.push_back({{i + 1, 2.0f, 0.0f, 1.0f}, &pictures[i]});
        content.pictureStream.pixelForm = lumenreel::zcd::PictureStreamOptions::PixelForm::bgr24;
        std::string error;
        file = lumenreel::zcd::writeZcd(content, error).value();
        std::vector<const CImageExt*> pointers;
        for (const auto& p : pictures)
            pointers.push_back(&p);
        streamBytes =
            lumenreel::zcd::encodePictureStream(pointers, content.pictureStream, error)->size();
    }
};

// A photo-like window (noise that compresses badly) open from picture 40 to 69, with a progress
// bar inside that grows every picture: the hard part of real captures.
void Demo::addPhotoWindow() {
    std::mt19937 random(5);
    CImageExt photo;
    photo.create(320, 240, 24);
    for (int y = 0; y < 240; ++y)
        for (int x = 0; x < 320; ++x)
            photo.setPixel(x, y, ((x * 3 + y) & 0xFF) << 16 | (random() & 0x3F) << 8 | (y & 0xFF));
    for (int i = 40; i < 70; ++i) {
        for (int y = 0; y < 240; ++y)
            std::copy_n(photo.firstRow() + y * photo.pitch(), 320 * 3,
                        pictures[i].firstRow() + (300 + y) * pictures[i].pitch() + 600 * 3);
        lumenreel::test::fillRect(pictures[i], 610, 520, (i - 39) * 10, 8, 0x00A000);
    }
}

const Demo& demo() {
    static const Demo instance;
    return instance;
}

void BM_LoadDemo(benchmark::State& state) {
    const auto& file = demo().file;
    std::size_t peak = 0;
    for (auto _ : state) {
        std::size_t before = g_heapNow.load();
        g_heapPeak = before;
        CExternalFormatReader reader;
        benchmark::DoNotOptimize(reader.Load(file));
        peak = std::max(peak, g_heapPeak.load() - before);
    }
    state.counters["peak_heap_MB"] = static_cast<double>(peak) / (1 << 20);
    state.counters["file_MB"] = static_cast<double>(file.size()) / (1 << 20);
}
BENCHMARK(BM_LoadDemo)->Unit(benchmark::kMillisecond);

// Composes every picture of a freshly loaded demo, in order or shuffled; also reports the heap
// the loaded demo holds after all its pictures were composed.
void composeAll(benchmark::State& state, bool shuffled) {
    std::vector<int> order(kPictures);
    std::iota(order.begin(), order.end(), 0);
    if (shuffled)
        std::shuffle(order.begin(), order.end(), std::mt19937(42));
    std::size_t held = 0;
    for (auto _ : state) {
        state.PauseTiming();
        auto reader = std::make_unique<CExternalFormatReader>();
        std::size_t before = g_heapNow.load();
        reader->Load(demo().file);
        state.ResumeTiming();
        for (int i : order)
            benchmark::DoNotOptimize(reader->GetFramePicture(reader->GetFrame(i)));
        state.PauseTiming();
        held = g_heapNow.load() - before;
        reader.reset();
        state.ResumeTiming();
    }
    state.counters["pictures_per_s"] = benchmark::Counter(
        static_cast<double>(kPictures), benchmark::Counter::kIsIterationInvariantRate);
    state.counters["held_after_MB"] = static_cast<double>(held) / (1 << 20);
}
void BM_ComposeInOrder(benchmark::State& state) {
    composeAll(state, false);
}
void BM_ComposeRandomOrder(benchmark::State& state) {
    composeAll(state, true);
}
BENCHMARK(BM_ComposeInOrder)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ComposeRandomOrder)->Unit(benchmark::kMillisecond);

bool haveFfmpeg() {
    return std::system("command -v ffmpeg >/dev/null 2>&1") == 0;
}

// The size of the pictures as lossless video; nothing when ffmpeg fails.
std::optional<std::size_t> ffmpegBytes(const std::vector<CImageExt>& pictures) {
    auto dir = std::filesystem::temp_directory_path() / "lumenreel-bench-published";
    std::filesystem::create_directories(dir);
    {
        std::ofstream raw(dir / "pictures.bgr", std::ios::binary);
        for (const auto& p : pictures)
            for (int y = 0; y < p.height(); ++y)
                raw.write(reinterpret_cast<const char*>(p.firstRow() + y * p.pitch()),
                          p.width() * 3);
    }
    std::string command = "ffmpeg -loglevel error -y -f rawvideo -pix_fmt bgr24 -s 1024x768 -i '" +
                          (dir / "pictures.bgr").string() + "' -c:v libx264rgb -qp 0 '" +
                          (dir / "video.mkv").string() + "'";
    std::optional<std::size_t> bytes;
    if (std::system(command.c_str()) == 0)
        bytes = static_cast<std::size_t>(std::filesystem::file_size(dir / "video.mkv"));
    std::filesystem::remove_all(dir);
    return bytes;
}

// Sizes only (the loop runs once): ratios above 1 mean the picture stream is smaller. Without
// ffmpeg the video counters are left out; an ffmpeg that fails marks the run as an error.
void BM_StreamSize(benchmark::State& state) {
    std::size_t pngBytes = 0;
    for (const auto& p : demo().pictures) {
        std::vector<std::uint8_t> png;
        lumenreel::encodePng(p, png);
        pngBytes += png.size();
    }
    std::optional<std::size_t> videoBytes;
    if (haveFfmpeg()) {
        videoBytes = ffmpegBytes(demo().pictures);
        if (!videoBytes) {
            state.SkipWithError("ffmpeg failed to encode the pictures");
            return;
        }
    }
    for (auto _ : state)
        benchmark::DoNotOptimize(pngBytes);
    const double stream = static_cast<double>(demo().streamBytes);
    state.counters["stream_KB"] = stream / 1024;
    state.counters["pngs_KB"] = static_cast<double>(pngBytes) / 1024;
    state.counters["pngs_over_stream"] = static_cast<double>(pngBytes) / stream;
    if (videoBytes) {
        state.counters["x264rgb_KB"] = static_cast<double>(*videoBytes) / 1024;
        state.counters["x264rgb_over_stream"] = static_cast<double>(*videoBytes) / stream;
    }
}
BENCHMARK(BM_StreamSize)->Iterations(1);

}  // namespace

BENCHMARK_MAIN();
