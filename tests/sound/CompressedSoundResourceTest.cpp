#include <gtest/gtest.h>

#include "SoundTestSupport.h"
#include "sound/CompressedSoundResource.h"
#include "support/TestSupport.h"

namespace lumenreel::test {
namespace {

constexpr std::size_t kBytesPerSecond = 44100 * 2 * 2;

struct KindCase {
    const char* name;
    const char* file;
};

class CompressedSoundResourceTest : public ::testing::TestWithParam<KindCase> {
protected:
    void SetUp() override {
        if (std::string(GetParam().file).ends_with(".ogg")) {
            sound = std::make_unique<COggSoundResource>(recorder->factory());
        } else {
            sound = std::make_unique<CMp3SoundResource>(recorder->factory());
        }
        sound->SetData(readBytes(dataPath(std::string("sound/") + GetParam().file)));
    }
    IPlayer& player() { return *sound->GetPlayer(); }

    std::shared_ptr<DeviceRecorder> recorder = DeviceRecorder::create();
    std::unique_ptr<CCompressedSoundResource> sound;
};

TEST_P(CompressedSoundResourceTest, PlaysFromTheRequestedTime) {
    EXPECT_NEAR(sound->Duration(), 3.0, 0.03);
    // More is left than the writer queues ahead of the device, so the run cannot have ended
    // before the device plays anything, however fast the decoding thread is.
    sound->Play(0.5f, 0.0f);
    EXPECT_TRUE(sound->IsPlaying());
    ASSERT_TRUE(playToEnd(player(), *recorder));
    EXPECT_EQ(recorder->played().size(), kBytesPerSecond * 5 / 2);
}

TEST_P(CompressedSoundResourceTest, PauseThenPlayElsewhereResumesAtTheNewTime) {
    sound->Play(0.0f, 0.0f);
    ASSERT_TRUE(recorder->waitUntil([](const DeviceRecorder& r) { return r.queuedBytes() > 0; }));
    sound->Pause(true);
    EXPECT_TRUE(player().IsPaused());
    EXPECT_TRUE(recorder->isPaused());
    sound->Pause(true);  // already paused: no toggle back
    EXPECT_TRUE(player().IsPaused());

    std::size_t before = recorder->played().size();
    sound->Play(2.5f, 0.0f);
    EXPECT_FALSE(player().IsPaused());
    EXPECT_FALSE(recorder->isPaused());
    ASSERT_TRUE(playToEnd(player(), *recorder));
    EXPECT_EQ(recorder->played().size() - before, kBytesPerSecond / 2);
}

TEST_P(CompressedSoundResourceTest, PlayWhileTheEndedStreamStillSoundsStartsAtTheNewTime) {
    sound->Play(2.0f, 0.0f);
    decodeLeavingATail([&] { return sound->IsPlaying(); }, *recorder);
    ASSERT_GT(recorder->queuedBytes(), 0u) << "the tail should still be waiting to sound";
    const std::size_t before = recorder->played().size();
    // As in PlaysFromTheRequestedTime: more is left than the writer queues.
    sound->Play(0.5f, 0.0f);
    EXPECT_TRUE(sound->IsPlaying());
    ASSERT_TRUE(playToEnd(player(), *recorder));
    EXPECT_EQ(recorder->played().size() - before, kBytesPerSecond * 5 / 2);
}

TEST_P(CompressedSoundResourceTest, PlayPastTheEndIsSilentAndStopEndsPlaying) {
    sound->Play(0.5f, 0.0f);
    sound->Stop();
    EXPECT_FALSE(sound->IsPlaying());
    EXPECT_EQ(recorder->queuedBytes(), 0u);
    std::size_t written = recorder->written().size();
    sound->Play(3.5f, 0.0f);
    EXPECT_FALSE(sound->IsPlaying());
    EXPECT_EQ(recorder->written().size(), written);
}

TEST_P(CompressedSoundResourceTest, SecondDataIsKeptButThePlayerKeepsTheFirst) {
    std::vector<std::uint8_t> other(100, 1);
    sound->SetData(other);
    EXPECT_EQ(sound->GetData(), other);
    EXPECT_NEAR(sound->Duration(), 3.0, 0.03);
}

INSTANTIATE_TEST_SUITE_P(Kinds, CompressedSoundResourceTest,
                         ::testing::Values(KindCase{"Ogg", "tone.ogg"},
                                           KindCase{"Mp3", "tone.mp3"}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(CompressedSoundResourceFailureTest, DamagedDataPlaysNothingAndThrowsNothing) {
    for (bool ogg : {true, false}) {
        auto recorder = DeviceRecorder::create();
        std::unique_ptr<CCompressedSoundResource> sound;
        if (ogg) {
            sound = std::make_unique<COggSoundResource>(recorder->factory());
        } else {
            sound = std::make_unique<CMp3SoundResource>(recorder->factory());
        }
        sound->SetData(std::vector<std::uint8_t>(3000, 0x00));
        EXPECT_FALSE(sound->IsEmpty());
        sound->Play(0.0f, 0.0f);
        sound->Pause(true);
        sound->Stop();
        EXPECT_FALSE(sound->IsPlaying());
        EXPECT_FLOAT_EQ(sound->Duration(), 0.0f);
        EXPECT_TRUE(recorder->written().empty());
    }
}

}  // namespace
}  // namespace lumenreel::test
