#include <benchmark/benchmark.h>

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>

#include <chrono>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "ScreenPicture.h"
#include "document/ZephyrcastBaseDocument.h"
#include "images/ImageExt.h"
#include "items/DrawItemHighlight.h"
#include "published/ExternalFormatReader.h"
#include "published/ZcdWriter.h"

extern char** environ;

namespace {

using lumenreel::CZephyrcastBaseDocument;

constexpr int kFrames = 100;
constexpr float kFrameSeconds = 2.0f;

// 100 screens of 1024 × 768, each with a band that moved since the one before (so backgrounds
// are key and delta pictures).
const std::vector<CImageExt>& screens() {
    static const std::vector<CImageExt> pictures = [] {
        std::vector<CImageExt> all(kFrames);
        CImageExt screen = screenLikePicture();
        for (int i = 0; i < kFrames; ++i) {
            for (int y = 0; y < 40; ++y)
                for (int x = 0; x < 200; ++x)
                    screen.setPixel((i * 9 + x) % 1024, (i * 7 + y) % 768,
                                    0xFF000000u | (i * 2654435761u));
            screen.copyTo(all[static_cast<std::size_t>(i)]);
        }
        return all;
    }();
    return pictures;
}

// The movie as a document: each screen for 2 s, with a fading highlight on every tenth frame.
const std::vector<std::uint8_t>& documentFile() {
    static const std::vector<std::uint8_t> bytes = [] {
        CZephyrcastBaseDocument document;
        document.setFrameSize({1024, 768});
        for (int i = 0; i < kFrames; ++i) {
            const CImageExt& screen = screens()[static_cast<std::size_t>(i)];
            auto& frame = document.appendFrame();
            frame.frameInfo().duration = kFrameSeconds;
            if (auto id = document.backgroundStream().addPicture(screen))
                frame.backgroundReference().bind(*id, 1024, 768);
            if (i % 10 == 0) {
                auto highlight = std::make_unique<lumenreel::CDrawItem_zcHiglight>();
                highlight->setDocument(&document);
                highlight->setRect({100, 100, 400, 300}, false);
                highlight->rebuildDisplayImage();
                CDrawItem_link link;
                link.visEnd = kFrameSeconds;
                link.fadeType = lumenreel::kFadeBoth;
                frame.itemList().insert(link, std::move(highlight));
            }
        }
        return document.save().value();
    }();
    return bytes;
}

// The same movie published: the same screens and durations, the same highlights.
const std::vector<std::uint8_t>& publishedFile() {
    static const std::vector<std::uint8_t> bytes = [] {
        namespace zcd = lumenreel::zcd;
        zcd::ZcdContent content;
        content.displaySize = content.bitmapSize = {1024, 768};
        for (int i = 0; i < kFrames; ++i) {
            const int id = i + 1;
            content.frames.push_back(
                {{id, kFrameSeconds, 0.0f, 0.0f}, &screens()[static_cast<std::size_t>(i)]});
            if (i % 10 != 0)
                continue;
            content.highlights.push_back({id, {100, 100, 400, 300}, 0x0000FF, 0xFFFF00, 1, true});
            zcd::WriterPlacement placement;
            placement.kind = NKWXDecodersEncoders::kFadeInOut;
            placement.frameId = id;
            placement.objectId = id;
            placement.end = kFrameSeconds;
            placement.timing = {1.0f, 1.0f, 0.0f, 1.0f, 1.0f, kFrameSeconds};
            content.highlightPlacements.push_back(placement);
        }
        std::string error;
        return zcd::writeZcd(content, error).value();
    }();
    return bytes;
}

void BM_LoadDocument(benchmark::State& state) {
    const auto& bytes = documentFile();
    for (auto _ : state) {
        CZephyrcastBaseDocument document;
        benchmark::DoNotOptimize(document.load(bytes));
    }
    state.counters["file_MB"] = static_cast<double>(bytes.size()) / 1e6;
}

void BM_LoadSameMoviePublished(benchmark::State& state) {
    const auto& bytes = publishedFile();
    for (auto _ : state) {
        NKWXDecodersEncoders::CExternalFormatReader reader;
        benchmark::DoNotOptimize(reader.Load(bytes));
    }
    state.counters["file_MB"] = static_cast<double>(bytes.size()) / 1e6;
}

// Peak memory of `lumenreel info` on the movie as a whole process of its own, the document
// (argument 0) against the published demo (argument 1). GNU time reports it: a process started
// straight from this one would count this one's pages as its own until it runs the command.
void BM_PeakMemoryOfInfoInItsOwnProcess(benchmark::State& state) {
    const bool published = state.range(0) == 1;
    const auto folder = std::filesystem::temp_directory_path();
    const auto movie =
        folder / (published ? "bench_document_movie.zcd" : "bench_document_movie.zcs");
    const auto report = folder / "bench_document_peak.txt";
    const auto& bytes = published ? publishedFile() : documentFile();
    std::ofstream(movie, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()),
               static_cast<std::streamsize>(bytes.size()));
    std::string time = "/usr/bin/time", format = "-f%M", output = "-o" + report.string(),
                command = LUMENREEL_COMMAND, info = "info", file = movie.string();
    char* argv[] = {time.data(), format.data(), output.data(), command.data(),
                    info.data(), file.data(),   nullptr};
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    long peakKilobytes = 0;
    for (auto _ : state) {
        pid_t child = 0;
        int status = 0;
        if (posix_spawn(&child, argv[0], &actions, nullptr, argv, environ) != 0 ||
            waitpid(child, &status, 0) != child || !WIFEXITED(status) || WEXITSTATUS(status) != 0) {
            state.SkipWithError("/usr/bin/time lumenreel info failed");
            break;
        }
        long kilobytes = 0;
        std::ifstream(report) >> kilobytes;
        peakKilobytes = std::max(peakKilobytes, kilobytes);
    }
    posix_spawn_file_actions_destroy(&actions);
    std::filesystem::remove(movie);
    std::filesystem::remove(report);
    state.counters["peak_rss_MB"] = static_cast<double>(peakKilobytes) / 1024.0;
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
BENCHMARK(BM_LoadSameMoviePublished)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_PeakMemoryOfInfoInItsOwnProcess)
    ->Arg(0)
    ->Arg(1)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3)
    ->UseRealTime();
BENCHMARK(BM_RenderEveryMomentAgainstMemcpy)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(BM_SeekRandomMoments)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
