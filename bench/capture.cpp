// The capture encoder on 1024 × 768 screen-like pictures, each comparison measured in the same
// run: encoding a picture against a plain memcpy of its pixels ("encode_over_memcpy"),
// rebuilding the pictures of a 33-picture chain in sequence (working image reused) and in a
// random order ("random_over_sequential"), and the stored size of 100 pictures against the
// same pictures as PNG files ("png_over_stored").
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstring>
#include <random>
#include <vector>

#include "ScreenPicture.h"
#include "base/MemFile.h"
#include "capture/CaptureEncoder.h"
#include "images/ImageExt.h"
#include "images/PngCodec.h"
#include "storage/SerializeInterfaceRB.h"

namespace {

constexpr int kWidth = 1024;
constexpr int kHeight = 768;

void fill(CImageExt& image, int x0, int y0, int w, int h, std::uint32_t colour) {
    for (int y = y0; y < std::min(kHeight, y0 + h); ++y)
        for (int x = x0; x < std::min(kWidth, x0 + w); ++x)
            image.setPixel(x, y, colour);
}

// What a recording of someone working shows: the pointer moves, text is typed into a line,
// and now and then a dialog opens or closes.
std::vector<CImageExt> session(int count) {
    std::vector<CImageExt> pictures(static_cast<std::size_t>(count));
    CImageExt screen = screenLikePicture();
    const CImageExt clean = screenLikePicture();
    for (int i = 0; i < count; ++i) {
        fill(screen, 240 + (i % 60) * 9, 700, 7, 11, 0x101010);  // a typed character
        if (i % 25 == 10)
            fill(screen, 300, 200, 420, 260, 0xD4D0C8);  // a dialog opens
        if (i % 25 == 20)
            clean.copyTo(screen);  // and closes
        screen.copyTo(pictures[static_cast<std::size_t>(i)]);
        fill(pictures[static_cast<std::size_t>(i)], 100 + i * 7 % 800, 100 + i * 5 % 600, 12, 19,
             0x000000);  // the pointer
    }
    return pictures;
}

double secondsSince(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// Encodes and memcpys the same pictures, adding up both times.
class EncodeTiming {
public:
    // Returns the encode's seconds.
    double measure(CCaptureEncoderExt& encoder, const CImageExt& picture) {
        const std::size_t bytes = static_cast<std::size_t>(picture.pitch()) * picture.height();
        m_copy.resize(bytes);
        auto start = std::chrono::steady_clock::now();
        benchmark::DoNotOptimize(encoder.addPicture(picture));
        const double encodeSeconds = secondsSince(start);
        start = std::chrono::steady_clock::now();
        std::memcpy(m_copy.data(), picture.firstRow(), bytes);
        benchmark::DoNotOptimize(m_copy.data());
        benchmark::ClobberMemory();
        m_copySeconds += secondsSince(start);
        m_encodeSeconds += encodeSeconds;
        return encodeSeconds;
    }
    double ratio() const { return m_encodeSeconds / m_copySeconds; }

private:
    std::vector<std::uint8_t> m_copy;
    double m_encodeSeconds = 0;
    double m_copySeconds = 0;
};

// Deltas against the picture before: the common case while recording.
void BM_EncodeAgainstMemcpy(benchmark::State& state) {
    const auto pictures = session(34);
    CCaptureEncoderExt encoder;
    EncodeTiming timing;
    std::size_t next = 0;
    for (auto _ : state) {
        if (next % 33 == 0) {  // a new chain, started outside the timing
            encoder.clear();
            encoder.addPicture(pictures[0]);
            next = 1;
        }
        state.SetIterationTime(timing.measure(encoder, pictures[next++]));
    }
    state.counters["encode_over_memcpy"] = timing.ratio();
}

// A whole picture stored as the key of a chain.
void BM_EncodeKeyAgainstMemcpy(benchmark::State& state) {
    const CImageExt picture = screenLikePicture();
    EncodeTiming timing;
    for (auto _ : state) {
        CCaptureEncoderExt encoder;
        state.SetIterationTime(timing.measure(encoder, picture));
    }
    state.counters["encode_over_memcpy"] = timing.ratio();
}

// Each iteration rebuilds all 33 pictures of one chain in sequence, then 33 at random; the
// reported time is that of the 33 in sequence. "random_pictures_replayed" is how many pictures
// a random one drew on average (at most its place in the chain).
void BM_RebuildChain(benchmark::State& state) {
    const auto pictures = session(33);
    CCaptureEncoderExt encoder;
    std::vector<std::uint32_t> ids;
    for (const CImageExt& picture : pictures)
        ids.push_back(*encoder.addPicture(picture));
    std::mt19937 random(3);
    CImageExt target;
    double sequentialTotal = 0, randomTotal = 0;
    long replayed = 0;
    for (auto _ : state) {
        auto start = std::chrono::steady_clock::now();
        for (std::uint32_t id : ids)
            encoder.pictureImage(target, id);
        const double sequentialSeconds = secondsSince(start);
        start = std::chrono::steady_clock::now();
        for (std::size_t n = 0; n < ids.size(); ++n) {
            encoder.pictureImage(target, ids[random() % ids.size()]);
            replayed += encoder.lastReplayLength();
        }
        randomTotal += secondsSince(start);
        sequentialTotal += sequentialSeconds;
        state.SetIterationTime(sequentialSeconds);
    }
    state.counters["random_over_sequential"] = randomTotal / sequentialTotal;
    state.counters["random_pictures_replayed"] =
        static_cast<double>(replayed) / static_cast<double>(state.iterations() * ids.size());
}

// The time is that of writing the stored form.
void BM_StoredSizeAgainstPng(benchmark::State& state) {
    const auto pictures = session(100);
    CCaptureEncoderExt encoder;
    for (const CImageExt& picture : pictures)
        encoder.addPicture(picture);
    std::size_t pngBytes = 0;
    for (const CImageExt& picture : pictures) {
        std::vector<std::uint8_t> png;
        lumenreel::encodePng(picture, png);
        pngBytes += png.size();
    }
    std::size_t storedBytes = 0;
    for (auto _ : state) {
        CKWXMemFile file;
        CSerializeInterfaceRB archive(file, CSerializeInterface::modeStore);
        encoder.write(archive);
        archive.Close();
        storedBytes = file.Bytes().size();
    }
    state.counters["stored_bytes"] = static_cast<double>(storedBytes);
    state.counters["png_bytes"] = static_cast<double>(pngBytes);
    state.counters["png_over_stored"] =
        static_cast<double>(pngBytes) / static_cast<double>(storedBytes);
}

BENCHMARK(BM_EncodeAgainstMemcpy)->UseManualTime()->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_EncodeKeyAgainstMemcpy)->UseManualTime()->Unit(benchmark::kMicrosecond);
// Random rebuilds replay up to a whole chain each, so a few iterations take seconds.
BENCHMARK(BM_RebuildChain)->UseManualTime()->Iterations(10)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_StoredSizeAgainstPng)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
