#include "sound/PCMWriter.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <memory>
#include <thread>
#include <vector>

#include "base/ByteOrder.h"
#include "sound/PlaybackSpeed.h"
#include "sound/RecordingOutputDevice.h"

namespace lumenreel::test {
namespace {

// Writes reach the device on the writer's own thread while there is room, so a device that
// plays nothing shows exactly how many buffers the writer lets it hold.
TEST(PCMWriterTest, TheDeviceHoldsAtMostTheQueueLimit) {
    auto recorder = DeviceRecorder::create();
    CPCMWriter writer(recorder->factory());
    ASSERT_TRUE(writer.Open(44100, 2, 16));
    const std::vector<std::uint8_t> buffer(1024, 7);
    for (std::size_t i = 0; i < CPCMWriter::kMaxQueued; ++i)
        writer.Write(buffer.data(), buffer.size());
    EXPECT_EQ(writer.QueuedCount(), CPCMWriter::kMaxQueued);
    EXPECT_EQ(recorder->count(DeviceCall::Kind::write), CPCMWriter::kMaxQueued);
    writer.Write(buffer.data(), buffer.size());  // one past the limit waits in the writer
    EXPECT_EQ(writer.QueuedCount(), CPCMWriter::kMaxQueued);
    EXPECT_EQ(recorder->count(DeviceCall::Kind::write), CPCMWriter::kMaxQueued);
    EXPECT_EQ(recorder->queuedBytes(), CPCMWriter::kMaxQueued * buffer.size());
    EXPECT_FALSE(writer.IsIdle());
    writer.Flush();
    EXPECT_TRUE(writer.IsIdle());
    EXPECT_EQ(recorder->queuedBytes(), 0u);
    writer.Close();
}

// A run's end is heard whole at every speed: the stretcher's look-ahead is played out, not
// dropped, when the writer waits for the run to finish.
TEST(PCMWriterTest, AtEverySpeedARunIsHeardToItsEnd) {
    constexpr int kRate = 16000;
    constexpr int kFrameBytes = 4;  // 16-bit stereo
    constexpr int kFrames = kRate / 2;
    std::vector<std::uint8_t> tone;
    for (int i = 0; i < kFrames; ++i) {
        const auto sample =
            static_cast<std::int16_t>(12000 * std::sin(2 * M_PI * 1000.0 * i / kRate));
        appendLE<std::int16_t>(tone, sample);
        appendLE<std::int16_t>(tone, sample);
    }
    for (float speed : {0.5f, 1.5f, 2.0f}) {
        SCOPED_TRACE(speed);
        auto recorder = DeviceRecorder::create();
        auto playbackSpeed = std::make_shared<PlaybackSpeed>();
        playbackSpeed->set(speed);
        CPCMWriter writer(timeStretchedDevices(recorder->factory(), playbackSpeed));
        ASSERT_TRUE(writer.Open(kRate, 2, 16));
        constexpr std::size_t kBuffer = 4000;
        for (std::size_t at = 0; at < tone.size(); at += kBuffer)
            writer.Write(tone.data() + at, std::min(kBuffer, tone.size() - at));
        std::atomic<bool> idle{false};
        const std::atomic<bool> cancel{false};
        std::thread waiter([&] { idle = writer.WaitUntilIdle(cancel); });
        // The device plays whatever it is given until the writer has seen all of it played.
        while (!idle) {
            recorder->waitUntil([](const DeviceRecorder& r) { return r.queuedBytes() > 0; },
                                std::chrono::milliseconds(20));
            recorder->advanceAll();
        }
        waiter.join();
        EXPECT_EQ(writer.PlayedBytes(), tone.size());
        const std::vector<std::uint8_t> played = recorder->played();
        const double heardSeconds = static_cast<double>(played.size()) / kFrameBytes / kRate;
        EXPECT_NEAR(heardSeconds, 0.5 / speed, 0.001);
        // The tone goes on to the end of what is heard, 10 ms before it still loud.
        const std::size_t nearEnd = played.size() - kRate / 100 * kFrameBytes;
        int loudest = 0;
        for (std::size_t at = nearEnd - kRate / 100 * kFrameBytes; at < nearEnd; at += kFrameBytes)
            loudest = std::max(loudest, std::abs(loadLE<std::int16_t>(played.data() + at)));
        EXPECT_GT(loudest, 6000);
        writer.Close();
    }
}

}  // namespace
}  // namespace lumenreel::test
