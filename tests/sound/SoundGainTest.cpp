#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "sound/RecordingOutputDevice.h"
#include "sound/SoundGain.h"

namespace lumenreel::test {
namespace {

TEST(SoundGainTest, SamplesOfBothWidthsScaleAroundTheirSilence) {
    std::vector<std::uint8_t> wide{0x00, 0x40, 0x00, 0xC0, 0xFF, 0x7F};  // 16384, -16384, 32767
    scaleSamples(wide, 16, 0.5f);
    EXPECT_EQ(wide, (std::vector<std::uint8_t>{0x00, 0x20, 0x00, 0xE0, 0x00, 0x40}));
    std::vector<std::uint8_t> narrow{128, 255, 0};
    scaleSamples(narrow, 8, 0.5f);
    EXPECT_EQ(narrow, (std::vector<std::uint8_t>{128, 192, 64}));
}

TEST(SoundGainTest, DevicesHearTheVolumeAndMuteOfTheMomentTheyAreWritten) {
    auto gain = std::make_shared<SoundGain>();
    auto recorder = DeviceRecorder::create();
    auto device = gainedDevices(recorder->factory(), gain)();
    ASSERT_TRUE(device->open(8000, 1, 16));
    const std::vector<std::uint8_t> loud{0x00, 0x40};
    device->write(loud);
    gain->setLevel(SoundGain::kSteps / 2);
    device->write(loud);
    gain->setMuted(true);
    device->write(loud);
    EXPECT_EQ(recorder->written(), (std::vector<std::uint8_t>{0x00, 0x40, 0x00, 0x08, 0x00, 0x00}))
        << "full, half the steps (an eighth, on the cube), muted";
    gain->setLevel(SoundGain::kSteps + 5);
    EXPECT_EQ(gain->level(), SoundGain::kSteps);
}

}  // namespace
}  // namespace lumenreel::test
