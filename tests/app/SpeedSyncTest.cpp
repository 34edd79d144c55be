#include <gtest/gtest.h>

#include "AppTestSupport.h"

#include <chrono>
#include <cmath>
#include <cstdlib>
#include <optional>
#include <vector>

#include "app/PlayerWindow.h"
#include "base/ByteOrder.h"
#include "images/ImageExt.h"
#include "player/TickClock.h"
#include "published/ExternalFormatReader.h"
#include "published/ZcdWriter.h"
#include "sound/RecordingOutputDevice.h"
#include "support/TestSupport.h"

namespace lumenreel::test {
namespace {

using Key = CZCPlayerView::Key;

constexpr int kRate = 16000;
constexpr int kFrameBytes = 4;  // 16-bit stereo
constexpr float kMovieSeconds = 12.0f;
constexpr double kToleranceSeconds = 0.050;
constexpr double kBurstSeconds = 0.1;

// Silence with a 1 kHz burst at the start of every second from 1 s on, so the sound heard
// tells which movie moment it belongs to whatever the stretcher does to its samples.
CSoundTrack_wavePCM burstTrack() {
    CSoundTrack_wavePCM track;
    track.channels = 2;
    track.bitsPerSample = 16;
    track.samplesPerSecond = kRate;
    track.averageBytesPerSecond = kRate * kFrameBytes;
    for (int i = 0; i < static_cast<int>(kRate * kMovieSeconds); ++i) {
        const double t = static_cast<double>(i) / kRate;
        const bool burst = t >= 1.0 && t - std::floor(t) < kBurstSeconds;
        const auto sample =
            static_cast<std::int16_t>(burst ? 12000.0 * std::sin(2 * M_PI * 1000.0 * t) : 0.0);
        appendLE<std::int16_t>(track.data(), sample);
        appendLE<std::int16_t>(track.data(), sample);
    }
    return track;
}

// The player window over a one-frame movie with the burst soundtrack, its sound played by a
// recorder exactly as fast as the fake clock goes. Each tick keeps what the clock, the movie
// and the device were at.
class SpeedSyncTest : public ::testing::TestWithParam<CSoundTrack::Kind> {
protected:
    SpeedSyncTest() : wave(burstTrack()), window(clock, recorder->factory()) {}

    void SetUp() override {
        const CSoundTrack* track = &wave;
        if (GetParam() == CSoundTrack::kOgg) {
            for (const char* program : {"sox", "oggenc"})
                if (!haveProgram(program))
                    GTEST_SKIP() << program << " is not installed";
            writeBytes(dir.path() / "burst.raw", wave.data());
            const std::string raw = shellQuote((dir.path() / "burst.raw").string());
            const std::string wav = shellQuote((dir.path() / "burst.wav").string());
            const std::string ogg = shellQuote((dir.path() / "burst.ogg").string());
            for (const std::string& command :
                 {"sox -r 16000 -e signed -b 16 -c 2 -t raw " + raw + " " + wav,
                  "oggenc -Q -q 4 -o " + ogg + " " + wav}) {
                const auto result = runCommand(command);
                ASSERT_EQ(result.exitCode, 0) << command << ": " << result.err;
            }
            vorbis.data() = readBytes(dir.path() / "burst.ogg");
            track = &vorbis;
        }
        picture.create(8, 8, 24);
        zcd::ZcdContent content;
        content.frames.push_back({{1, kMovieSeconds, 0.0f, 0.0f}, &picture});
        content.soundtrack = track;
        content.compressWaveSamples = false;
        std::string error;
        auto file = zcd::writeZcd(content, error);
        ASSERT_TRUE(file) << error;
        ASSERT_TRUE(reader.Load(*file)) << reader.lastError();
        window.SetClientSize(64, 64);
        window.View().SetExternalReader(&reader);
        window.View().Transport().SetLoop(false);
    }

    struct Tick {
        std::uint32_t realMs;
        double movieTime;
        std::uint64_t playedBytes;  // in all, by the end of the tick
    };

    void tick() {
        clock.advance(CZCPlayerView::kTimerPeriodMs);
        // A decoder on its own thread is given time to keep the device fed, as a real one is.
        constexpr std::uint64_t kTickBytes =
            CZCPlayerView::kTimerPeriodMs * kRate / 1000 * kFrameBytes;
        recorder->waitUntil([](const DeviceRecorder& r) { return r.queuedBytes() >= kTickBytes; },
                            std::chrono::seconds(2));
        played += recorder->advance(kTickBytes);
        window.OnTimer();
        ticks.push_back({clock.now(), window.View().Transport().GetTime(), played});
    }

    // When (in real ms) the movie's clock passed t.
    std::optional<double> pictureReached(double t) const {
        for (std::size_t k = 1; k < ticks.size(); ++k)
            if (ticks[k].movieTime >= t && ticks[k - 1].movieTime < t)
                return ticks[k - 1].realMs + (t - ticks[k - 1].movieTime) /
                                                 (ticks[k].movieTime - ticks[k - 1].movieTime) *
                                                 CZCPlayerView::kTimerPeriodMs;
        return std::nullopt;
    }

    // The movie's clock at a real time, in ms.
    double movieTimeAt(double realMs) const {
        for (std::size_t k = 1; k < ticks.size(); ++k)
            if (ticks[k].realMs >= realMs)
                return ticks[k - 1].movieTime + (realMs - ticks[k - 1].realMs) /
                                                    CZCPlayerView::kTimerPeriodMs *
                                                    (ticks[k].movieTime - ticks[k - 1].movieTime);
        return ticks.back().movieTime;
    }

    // When (in real ms) the played byte at offset was heard.
    double heardAt(std::uint64_t offset) const {
        for (std::size_t k = 1; k < ticks.size(); ++k)
            if (ticks[k].playedBytes > offset)
                return ticks[k - 1].realMs +
                       static_cast<double>(offset - ticks[k - 1].playedBytes) /
                           (kRate * kFrameBytes) * 1000.0;
        return -1;
    }

    // Where each burst that started playing after the byte offset begins in the played sound.
    std::vector<std::uint64_t> burstOnsets(std::uint64_t from) const {
        const std::vector<std::uint8_t> heard = recorder->played();
        std::vector<std::uint64_t> onsets;
        std::uint64_t quietSince = from;
        for (std::uint64_t at = from; at + 1 < heard.size(); at += kFrameBytes) {
            const auto sample = static_cast<std::int16_t>(heard[at] | heard[at + 1] << 8);
            if (std::abs(sample) < 3000)
                continue;
            // A burst begins after at least a quarter of a second of quiet sound.
            if (at - quietSince > kRate * kFrameBytes / 4)
                onsets.push_back(at);
            quietSince = at;
        }
        return onsets;
    }

    // The pitch of the played sound over the 20 ms after the offset, from its zero crossings.
    double pitchAt(std::uint64_t offset) const {
        const std::vector<std::uint8_t> heard = recorder->played();
        const std::uint64_t frames = kRate / 50;
        int crossings = 0;
        std::int16_t last = 0;
        for (std::uint64_t i = 0; i < frames && offset + (i + 1) * kFrameBytes <= heard.size();
             ++i) {
            const std::uint64_t at = offset + i * kFrameBytes;
            const auto sample = static_cast<std::int16_t>(heard[at] | heard[at + 1] << 8);
            crossings += i > 0 && (sample < 0) != (last < 0);
            last = sample;
        }
        return crossings / 2.0 * 50.0;
    }

    TempDir dir;
    CSoundTrack_wavePCM wave;
    CSoundTrack_Ogg vorbis;
    SteppedClock clock;
    std::shared_ptr<DeviceRecorder> recorder = DeviceRecorder::create();
    PlayerWindow window;
    CImageExt picture;
    NKWXDecodersEncoders::CExternalFormatReader reader;
    std::uint64_t played = 0;
    std::vector<Tick> ticks;  // of the current run
};

// After a speed key the movie runs at the new speed and every burst is heard at its own pitch
// within 50 ms of the moment the pictures reach its time.
TEST_P(SpeedSyncTest, AtEverySpeedTheSoundKeepsItsPitchAndThePictures) {
    struct Case {
        Key key;
        int presses;
        float speed;
    };
    for (const Case& c : {Case{Key::Faster, 4, 2.0f}, Case{Key::Faster, 2, 1.5f},
                          Case{Key::Slower, 1, 0.75f}, Case{Key::Slower, 2, 0.5f}}) {
        SCOPED_TRACE(c.speed);
        window.KeyDown(Key::NormalSpeed);
        window.View().Transport().Stop();
        window.View().Transport().Play();
        ticks = {{clock.now(), 0.0, played}};
        for (int i = 0; i < 8; ++i)
            tick();
        for (int i = 0; i < c.presses; ++i)
            window.KeyDown(c.key);
        ASSERT_FLOAT_EQ(window.Speed(), c.speed);
        const std::size_t changedAt = ticks.size() - 1;
        const std::uint64_t playedAtChange = played;
        const double movieAtChange = ticks.back().movieTime;
        // Until the movie has passed its sixth second.
        while (ticks.back().movieTime < 6.5 && ticks.size() < changedAt + 1000)
            tick();
        EXPECT_NEAR((ticks.back().movieTime - movieAtChange) /
                        ((ticks.back().realMs - ticks[changedAt].realMs) / 1000.0),
                    c.speed, 0.01);
        // The statistics' audio offset says so too.
        const std::optional<float> offset = window.View().AudioOffset();
        ASSERT_TRUE(offset);
        EXPECT_NEAR(*offset, 0.0f, kToleranceSeconds);
        const std::vector<std::uint64_t> onsets = burstOnsets(playedAtChange);
        ASSERT_GE(onsets.size(), 3u);
        for (const std::uint64_t onset : onsets) {
            const double heard = heardAt(onset);
            // The burst is the whole second nearest to the pictures' time as it is heard.
            const double second = std::round(movieTimeAt(heard));
            const std::optional<double> shown = pictureReached(second);
            ASSERT_TRUE(shown) << second;
            EXPECT_NEAR(pitchAt(onset + kRate / 100 * kFrameBytes), 1000.0, 100.0) << second;
            EXPECT_NEAR(heard, *shown, kToleranceSeconds * 1000.0)
                << "the burst of " << second << " s";
        }
    }
}

INSTANTIATE_TEST_SUITE_P(WaveAndVorbis, SpeedSyncTest,
                         ::testing::Values(CSoundTrack::kWavePCM, CSoundTrack::kOgg));

}  // namespace
}  // namespace lumenreel::test
