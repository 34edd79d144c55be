// Decoding speed of the soundtrack codecs in multiples of real time, and the processor time the
// decode and feeder threads take while a soundtrack plays in real time on the silent device.
#include <benchmark/benchmark.h>
#include <sys/resource.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <thread>
#include <vector>

#include "sound/Mp3Codec.h"
#include "sound/NullOutputDevice.h"
#include "sound/StreamPlayer.h"
#include "sound/VorbisCodec.h"

namespace {

std::vector<std::uint8_t> fixture(const char* name) {
    // The build compiles this file by its full path, which leads to the test fixtures.
    std::filesystem::path path =
        std::filesystem::path(__FILE__).parent_path().parent_path() / "tests/data/sound" / name;
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

template <class Codec>
void decodeSpeed(benchmark::State& state, const char* name) {
    std::vector<std::uint8_t> bytes = fixture(name);
    std::vector<std::uint8_t> pcm(8192);
    double audioSeconds = 0;
    for (auto _ : state) {
        lumenreel::MemoryByteSource source(bytes);
        Codec codec;
        if (!codec.open(source)) {
            state.SkipWithError("fixture does not open");
            return;
        }
        std::uint64_t decoded = 0;
        for (long n; (n = codec.read(pcm)) != lumenreel::PcmCodec::kEnd;) {
            if (n > 0)
                decoded += static_cast<std::uint64_t>(n);
        }
        audioSeconds += static_cast<double>(decoded) / (codec.rate() * codec.channels() * 2.0);
    }
    // Audio seconds decoded per second of wall time: the multiple of real time.
    state.counters["x_realtime"] = benchmark::Counter(audioSeconds, benchmark::Counter::kIsRate);
}

void BM_DecodeOgg(benchmark::State& state) {
    decodeSpeed<lumenreel::VorbisCodec>(state, "tone.ogg");
}
void BM_DecodeMp3(benchmark::State& state) {
    decodeSpeed<lumenreel::Mp3Codec>(state, "tone.mp3");
}
BENCHMARK(BM_DecodeOgg)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DecodeMp3)->Unit(benchmark::kMillisecond);

double processCpuSeconds() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    auto seconds = [](const timeval& t) { return t.tv_sec + t.tv_usec / 1e6; };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

// Plays the 3-second fixture back to back for state.range(0) seconds of real time. The
// benchmark thread only waits meanwhile, so the process time is the player threads' time.
template <class Player>
void playbackCpu(benchmark::State& state, const char* name) {
    std::vector<std::uint8_t> bytes = fixture(name);
    const auto length = std::chrono::seconds(state.range(0));
    for (auto _ : state) {
        Player player([] { return std::make_unique<lumenreel::NullOutputDevice>(); });
        player.SetData(bytes.data(), bytes.size());
        double cpuBefore = processCpuSeconds();
        auto start = std::chrono::steady_clock::now();
        while (std::chrono::steady_clock::now() - start < length) {
            if (!player.IsPlaying()) {
                // Waits for the tail to play out before starting over, as a looping movie would.
                if (player.GetDecoder().IsOutputIdle())
                    player.Play();
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(25));
        }
        player.Stop();
        double wall =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        state.SetIterationTime(wall);
        state.counters["cpu_percent_of_core"] = 100.0 * (processCpuSeconds() - cpuBefore) / wall;
    }
}

void BM_PlaybackCpuOgg(benchmark::State& state) {
    playbackCpu<COggPlayer>(state, "tone.ogg");
}
void BM_PlaybackCpuMp3(benchmark::State& state) {
    playbackCpu<CMp3Player>(state, "tone.mp3");
}
BENCHMARK(BM_PlaybackCpuOgg)->Arg(60)->Iterations(1)->UseManualTime()->Unit(benchmark::kSecond);
BENCHMARK(BM_PlaybackCpuMp3)->Arg(60)->Iterations(1)->UseManualTime()->Unit(benchmark::kSecond);

}  // namespace

BENCHMARK_MAIN();
