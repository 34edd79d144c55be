#include <gtest/gtest.h>

#include <cstdlib>

#include "SoundTestSupport.h"
#include "sound/NullOutputDevice.h"
#include "sound/RecordingOutputDevice.h"
#include "sound/SdlOutputDevice.h"

namespace lumenreel::test {
namespace {

using namespace std::chrono_literals;

// 16-bit mono at 44.1 kHz: 88.2 bytes per millisecond.
TEST(NullOutputDeviceTest, PlaysWrittenBytesInRealTimeOfItsClock) {
    std::chrono::nanoseconds now{5s};
    NullOutputDevice device([&] { return now; });
    ASSERT_TRUE(device.open(44100, 1, 16));
    std::vector<std::uint8_t> buffer(8820);
    ASSERT_TRUE(device.write(buffer));
    EXPECT_EQ(device.position(), 0u);
    now += 10ms;
    EXPECT_EQ(device.position(), 882u);
    device.pause();
    now += 50ms;
    EXPECT_EQ(device.position(), 882u);
    device.restart();
    now += 1s;
    EXPECT_EQ(device.position(), 8820u);  // never past what was written

    // After running dry, new bytes start playing when they arrive, not at once.
    ASSERT_TRUE(device.write(buffer));
    EXPECT_EQ(device.position(), 8820u);
    now += 1ms;
    EXPECT_EQ(device.position(), 8820u + 88u);
    device.reset();
    EXPECT_EQ(device.position(), 0u);
    now += 1s;
    EXPECT_EQ(device.position(), 0u);
}

TEST(NullOutputDeviceTest, RefusesWhatNoDeviceCouldPlay) {
    NullOutputDevice device;
    EXPECT_FALSE(device.open(44100, 2, 24));
    EXPECT_FALSE(device.open(0, 2, 16));
    EXPECT_FALSE(device.write(std::vector<std::uint8_t>(4)));
}

TEST(RecordingOutputDeviceTest, KeepsCallsAndBytesAndPlaysOnlyWhenAdvanced) {
    auto recorder = DeviceRecorder::create();
    auto device = recorder->factory()();
    ASSERT_TRUE(device->open(8000, 1, 8));
    device->write(std::vector<std::uint8_t>{1, 2, 3, 4});
    EXPECT_EQ(device->position(), 0u);
    EXPECT_EQ(recorder->advance(3), 3u);
    EXPECT_EQ(device->position(), 3u);
    device->pause();
    EXPECT_EQ(recorder->advance(1), 0u);
    device->reset();  // drops the unplayed 4
    device->restart();
    device->write(std::vector<std::uint8_t>{5, 6});
    EXPECT_EQ(recorder->advanceAll(), 2u);
    device->close();

    EXPECT_EQ(recorder->played(), (std::vector<std::uint8_t>{1, 2, 3, 5, 6}));
    EXPECT_EQ(recorder->written(), (std::vector<std::uint8_t>{1, 2, 3, 4, 5, 6}));
    using K = DeviceCall::Kind;
    std::vector<K> kinds;
    for (const DeviceCall& call : recorder->calls())
        kinds.push_back(call.kind);
    EXPECT_EQ(kinds, (std::vector<K>{K::open, K::write, K::pause, K::reset, K::restart, K::write,
                                     K::close}));
    EXPECT_EQ(recorder->calls()[5].playedBefore, 3u);
}

// SDL's dummy driver stands in for a sound card: it consumes the queue in real time.
TEST(SdlOutputDeviceTest, OpensOnTheDummyDriverAndConsumesTheQueue) {
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    SdlOutputDevice device;
    if (!device.open(44100, 2, 16))
        GTEST_SKIP() << "SDL has no dummy audio driver here";
    ASSERT_TRUE(device.write(std::vector<std::uint8_t>(17640)));
    EXPECT_TRUE(eventually([&] { return device.position() > 0; }));
    device.pause();
    device.reset();
    EXPECT_EQ(device.position(), 0u);
    device.close();
    EXPECT_FALSE(device.isOpen());
}

}  // namespace
}  // namespace lumenreel::test
