#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <functional>
#include <limits>
#include <memory>
#include <string>
#include <vector>

#include "PlayerTestSupport.h"
#include "base/ByteOrder.h"
#include "images/ImageExt.h"
#include "player/PlayerView.h"
#include "published/ExternalFormatReader.h"
#include "published/ZcdWriter.h"
#include "sound/RecordingOutputDevice.h"
#include "support/TestSupport.h"

namespace lumenreel::test {
namespace {

using NKWXDecodersEncoders::CExternalFormatReader;

constexpr int kRate = 8000;
constexpr int kFrameBytes = 4;  // 16-bit stereo
constexpr float kMovieSeconds = 10.0f;
constexpr float kToleranceSeconds = 0.050f;

// A wave soundtrack whose every sample frame holds its own index (low half left, high half
// right), so any byte the device is handed tells the movie time it belongs to.
CSoundTrack_wavePCM indexedTrack() {
    CSoundTrack_wavePCM track;
    track.channels = 2;
    track.bitsPerSample = 16;
    track.samplesPerSecond = kRate;
    track.averageBytesPerSecond = kRate * kFrameBytes;
    auto frames = static_cast<std::uint32_t>(kRate * kMovieSeconds);
    for (std::uint32_t i = 0; i < frames; ++i)
        appendLE<std::uint32_t>(track.data(), i);
    return track;
}

// A player view over a one-frame 10 s demo with a soundtrack, playing into a recorder.
struct SoundtrackView {
    void open(const CSoundTrack& track) {
        picture.create(8, 8, 24);
        zcd::ZcdContent content;
        content.frames.push_back({{1, kMovieSeconds, 0.0f, 0.0f}, &picture});
        content.soundtrack = &track;
        content.compressWaveSamples = false;
        std::string error;
        auto file = zcd::writeZcd(content, error);
        ASSERT_TRUE(file) << error;
        ASSERT_TRUE(reader.Load(*file)) << reader.lastError();
        view =
            std::make_unique<CZCPlayerView>(clock, std::make_unique<CDocImp>(recorder->factory()));
        view->SetClientSize(64, 64);
        view->SetExternalReader(&reader);
        view->Paint();
        view->Transport().SetLoop(false);
    }

    FakeTickClock clock;
    std::shared_ptr<DeviceRecorder> recorder = DeviceRecorder::create();
    CImageExt picture;
    CExternalFormatReader reader;
    std::unique_ptr<CZCPlayerView> view;
};

// The indexed soundtrack, played by a recorder that plays exactly as much as the fake clock
// moves on.
class AvSyncTest : public ::testing::Test, protected SoundtrackView {
protected:
    AvSyncTest() : track(indexedTrack()) { open(track); }

    // One timer period: the device plays what that much time holds, then the timer fires.
    void tick() {
        clock.advance(CZCPlayerView::kTimerPeriodMs);
        recorder->advance(CZCPlayerView::kTimerPeriodMs * kRate / 1000 * kFrameBytes);
        view->OnTimer();
    }

    // Movie time of the next sample the device will play; negative when it plays nothing.
    double heardTime() const {
        if (!recorder->isOpen() || recorder->isPaused() || recorder->queuedBytes() == 0)
            return -1;
        std::vector<std::uint8_t> written = recorder->written();
        std::size_t next = written.size() - recorder->queuedBytes();
        return loadLE<std::uint32_t>(written.data() + next) / double(kRate);
    }

    // Ticks, checking after each that whatever the device is playing matches the clock; returns
    // how many ticks had sound in step.
    int tickInStep(int count) {
        int audible = 0;
        for (int i = 0; i < count; ++i) {
            tick();
            double heard = heardTime();
            if (heard < 0)
                continue;
            ++audible;
            EXPECT_NEAR(heard, view->Transport().GetTime(), kToleranceSeconds)
                << "tick " << i << ", clock at " << view->Transport().GetTime();
        }
        return audible;
    }

    CSoundTrack_wavePCM track;
};

// Ticks after the deferred restart is due: 300 ms in 25 ms periods, and one more.
constexpr int kRestartTicks = 300 / CZCPlayerView::kTimerPeriodMs + 2;

TEST_F(AvSyncTest, PlayStartsTheSoundAtTheClockAndKeepsIt) {
    view->Transport().Play();
    EXPECT_NEAR(heardTime(), view->Transport().GetTime(), kToleranceSeconds);
    EXPECT_EQ(tickInStep(40), 40);
    // The first tick only lifts the clock off its resting point.
    EXPECT_NEAR(view->Transport().GetTime(), 39 * 0.025, 0.001);
}

TEST_F(AvSyncTest, SeekIsSilentUntilTheRestartThenInStep) {
    view->Transport().Play();
    tickInStep(10);
    for (float target : {6.0f, 2.5f}) {
        SCOPED_TRACE(target);
        view->Transport().Seek(target);
        EXPECT_LT(heardTime(), 0);  // the old position is not heard meanwhile
        tickInStep(kRestartTicks);
        EXPECT_GE(heardTime(), target);
        EXPECT_GT(tickInStep(10), 0);
    }
}

TEST_F(AvSyncTest, StepsRestartAtTheSteppedPosition) {
    view->Transport().Play();
    tickInStep(4);
    view->Transport().StepForward();
    view->Transport().StepForward();
    EXPECT_GT(tickInStep(kRestartTicks + 4), 0);
    view->Transport().StepBack();
    EXPECT_GT(tickInStep(kRestartTicks + 4), 0);
    EXPECT_NEAR(view->Transport().GetTime(), 3 * 0.025 + 3.0 + 2 * (kRestartTicks + 4) * 0.025,
                0.001);
}

TEST_F(AvSyncTest, ScrubbingResumesInStepWithTheDraggedPosition) {
    view->Transport().Play();
    tickInStep(20);
    view->Transport().SetScrubbing(true);
    for (float t : {2.0f, 4.0f, 7.5f}) {
        view->Transport().Seek(t);
        tickInStep(3);
    }
    view->Transport().SetScrubbing(false);
    EXPECT_GT(tickInStep(kRestartTicks + 8), 0);
    EXPECT_GT(view->Transport().GetTime(), 7.5f);
}

TEST_F(AvSyncTest, PauseHoldsTheSoundAndPlayResumesAtTheClock) {
    view->Transport().Play();
    tickInStep(20);
    view->Transport().Pause();
    EXPECT_TRUE(recorder->isPaused());
    EXPECT_EQ(tickInStep(20), 0);
    float held = view->Transport().GetTime();
    view->Transport().Play();
    EXPECT_NEAR(heardTime(), held, kToleranceSeconds);
    EXPECT_EQ(tickInStep(20), 20);
}

TEST_F(AvSyncTest, LoopWrapRestartsTheSoundAtTheWrappedTime) {
    view->Transport().SetLoop(true);
    view->Transport().SetTime(9.5f);
    view->Transport().Play();
    EXPECT_GT(tickInStep(40), 30);
    EXPECT_LT(view->Transport().GetTime(), 1.0f);
    EXPECT_NEAR(heardTime(), view->Transport().GetTime(), kToleranceSeconds);
}

TEST_F(AvSyncTest, HiddenWindowRestartsInStepWhenShownAgain) {
    view->Transport().Play();
    tickInStep(20);
    view->SetVisible(false);
    EXPECT_EQ(tickInStep(40), 0);
    view->SetVisible(true);
    EXPECT_GT(tickInStep(kRestartTicks + 8), 0);
    EXPECT_NEAR(heardTime(), view->Transport().GetTime(), kToleranceSeconds);
}

// The same transport over an Ogg soundtrack, decoded on its own thread: each new device run
// (the first write after a reset) must begin at the clock's time. The soundtrack is a sweep, so
// a stretch of it shows where in the stream it comes from.
class OggAvSyncTest : public ::testing::Test, protected SoundtrackView {
protected:
    static constexpr int kOggRate = 8000;
    static constexpr std::size_t kMatchSamples = 400;

    void SetUp() override {
        for (const char* program : {"sox", "oggenc", "oggdec"}) {
            if (!haveProgram(program))
                GTEST_SKIP() << program << " is not installed";
        }
        std::string wav = shellQuote((dir / "sweep.wav").string());
        std::string ogg = shellQuote((dir / "sweep.ogg").string());
        std::string raw = shellQuote((dir / "sweep.raw").string());
        for (const std::string& command :
             {"sox -n -r 8000 -c 1 -b 16 " + wav + " synth 10 sine 100-3500",
              "oggenc -Q -q 4 -o " + ogg + " " + wav, "oggdec -Q -R -o " + raw + " " + ogg}) {
            auto result = runCommand(command);
            ASSERT_EQ(result.exitCode, 0) << command << ": " << result.err;
        }
        reference = samples(readBytes(dir / "sweep.raw"));
        ASSERT_GT(reference.size(), std::size_t{kOggRate * 9});

        track.data() = readBytes(dir / "sweep.ogg");
        open(track);
    }

    void TearDown() override { view.reset(); }

    static std::vector<std::int16_t> samples(const std::vector<std::uint8_t>& bytes) {
        std::vector<std::int16_t> out(bytes.size() / 2);
        for (std::size_t i = 0; i < out.size(); ++i)
            out[i] = static_cast<std::int16_t>(loadLE<std::uint16_t>(bytes.data() + 2 * i));
        return out;
    }

    // Where in the stream the samples fit best, in seconds.
    double located(const std::vector<std::int16_t>& run) const {
        std::size_t n = std::min(run.size(), kMatchSamples);
        double best = std::numeric_limits<double>::max();
        std::size_t at = 0;
        for (std::size_t offset = 0; offset + n <= reference.size(); ++offset) {
            double error = 0;
            for (std::size_t i = 0; i < n && error < best; ++i)
                error += std::abs(run[i] - reference[offset + i]);
            if (error < best) {
                best = error;
                at = offset;
            }
        }
        return double(at) / kOggRate;
    }

    // Where in the written bytes the last reset falls, and how many were written since.
    struct RunSpan {
        std::size_t begin = 0;
        std::size_t size = 0;
    };
    static RunSpan lastRun(const std::vector<DeviceCall>& calls) {
        RunSpan run;
        for (const DeviceCall& call : calls) {
            if (call.kind == DeviceCall::Kind::reset) {
                run.begin += run.size;
                run.size = 0;
            } else if (call.kind == DeviceCall::Kind::write) {
                run.size += call.size;
            }
        }
        return run;
    }

    // The samples of the run begun by the last reset, once the decoder has handed enough over.
    std::vector<std::int16_t> newestRun(std::size_t resetsBefore) {
        auto started = [resetsBefore](const DeviceRecorder& r) {
            return r.count(DeviceCall::Kind::reset) > resetsBefore &&
                   lastRun(r.calls()).size >= 2 * kMatchSamples;
        };
        EXPECT_TRUE(recorder->waitUntil(started));
        RunSpan run = lastRun(recorder->calls());
        std::vector<std::uint8_t> written = recorder->written();
        auto begin = written.begin() + static_cast<std::ptrdiff_t>(run.begin);
        return samples(
            std::vector<std::uint8_t>(begin, begin + static_cast<std::ptrdiff_t>(run.size)));
    }

    // Ticks until the transport starts the sound anew, then checks where that run begins.
    void expectRunAtClock(int maxTicks) {
        std::size_t resets = recorder->count(DeviceCall::Kind::reset);
        for (int i = 0; i < maxTicks && recorder->count(DeviceCall::Kind::reset) == resets; ++i) {
            clock.advance(CZCPlayerView::kTimerPeriodMs);
            view->OnTimer();
        }
        float clockTime = view->Transport().GetTime();
        EXPECT_NEAR(located(newestRun(resets)), clockTime, kToleranceSeconds);
    }

    void startAndExpectRunAtClock(const std::function<void()>& action) {
        std::size_t resets = recorder->count(DeviceCall::Kind::reset);
        action();
        float clockTime = view->Transport().GetTime();
        EXPECT_NEAR(located(newestRun(resets)), clockTime, kToleranceSeconds);
    }

    TempDir dir;
    std::vector<std::int16_t> reference;
    CSoundTrack_Ogg track;
};

TEST_F(OggAvSyncTest, EveryNewRunStartsAtTheClock) {
    {
        SCOPED_TRACE("play");
        view->Transport().SetTime(1.0f);
        startAndExpectRunAtClock([this] { view->Transport().Play(); });
    }
    {
        SCOPED_TRACE("seek");
        view->Transport().Seek(6.0f);
        expectRunAtClock(kRestartTicks);
    }
    {
        SCOPED_TRACE("pause, then play");
        view->Transport().Pause();
        clock.advance(500);
        startAndExpectRunAtClock([this] { view->Transport().Play(); });
    }
    {
        SCOPED_TRACE("hidden window");
        view->SetVisible(false);
        for (int i = 0; i < 10; ++i) {
            clock.advance(CZCPlayerView::kTimerPeriodMs);
            view->OnTimer();
        }
        view->SetVisible(true);
        expectRunAtClock(kRestartTicks);
    }
    {
        SCOPED_TRACE("loop wrap");
        view->Transport().SetLoop(true);
        view->Transport().Seek(9.8f);
        expectRunAtClock(kRestartTicks);
        expectRunAtClock(kRestartTicks);
        EXPECT_LT(view->Transport().GetTime(), 1.0f);
    }
}

}  // namespace
}  // namespace lumenreel::test
