#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "images/ImageExt.h"
#include "player/DocImp.h"
#include "published/ExternalFormatReader.h"
#include "published/ZcdWriter.h"
#include "sound/CompressedSoundResource.h"
#include "sound/RecordingOutputDevice.h"
#include "sound/WaveSoundResource.h"

namespace lumenreel::test {
namespace {

using NKWXDecodersEncoders::CExternalFormatReader;

// A one-frame demo carrying the given soundtrack, loaded into a reader.
class SoundDemo {
public:
    explicit SoundDemo(const CSoundTrack* track) {
        picture.create(8, 8, 24);
        content.frames.push_back({{1, 4.0f, 0.0f, 1.0f}, &picture});
        content.soundtrack = track;
        std::string error;
        auto file = zcd::writeZcd(content, error);
        EXPECT_TRUE(file) << error;
        EXPECT_TRUE(reader.Load(*file)) << reader.lastError();
    }
    CExternalFormatReader reader;

private:
    CImageExt picture;
    zcd::ZcdContent content;
};

std::vector<std::uint8_t> ramp(std::size_t size) {
    std::vector<std::uint8_t> bytes(size);
    for (std::size_t i = 0; i < size; ++i)
        bytes[i] = static_cast<std::uint8_t>(i * 7);
    return bytes;
}

TEST(SourceSound, WaveTrackPlaysFromTheClockPositionAndPauses) {
    CSoundTrack_wavePCM track;
    track.channels = 1;
    track.bitsPerSample = 8;
    track.samplesPerSecond = 8000;
    track.averageBytesPerSecond = 8000;
    track.data() = ramp(16000);
    SoundDemo demo(&track);
    auto recorder = DeviceRecorder::create();
    CDocImp source(recorder->factory());
    source.SetReader(&demo.reader);
    EXPECT_EQ(source.GetSound(), nullptr);  // made on the first start

    source.StartSound(1.5f, 0);
    ASSERT_NE(source.GetSound(), nullptr);
    EXPECT_FALSE(source.HasCompressedSound());
    EXPECT_EQ(recorder->rate(), 8000u);
    EXPECT_EQ(recorder->channels(), 1u);
    std::vector<std::uint8_t> tail(track.data().begin() + 12000, track.data().end());
    EXPECT_EQ(recorder->written(), tail);

    source.PauseSound(true);
    EXPECT_TRUE(recorder->isPaused());
    source.PauseSound(false);
    EXPECT_FALSE(recorder->isPaused());

    // Loading another movie lets go of the sound.
    source.SetReader(&demo.reader);
    EXPECT_EQ(source.GetSound(), nullptr);
}

TEST(SourceSound, CompressedTracksBecomeStreamingResources) {
    CSoundTrack_MP3 mp3;
    mp3.data() = ramp(64);
    CSoundTrack_Ogg ogg;
    ogg.data() = ramp(64);
    const CSoundTrack* tracks[] = {&mp3, &ogg};
    for (const CSoundTrack* track : tracks) {
        SoundDemo demo(track);
        auto recorder = DeviceRecorder::create();
        CDocImp source(recorder->factory());
        source.SetReader(&demo.reader);
        source.StartSound(0.0f, 0);
        ASSERT_NE(source.GetSound(), nullptr);
        EXPECT_TRUE(source.HasCompressedSound());
        Guid expected = track->kind() == CSoundTrack::kMP3 ? CMp3SoundResource::kClassId
                                                           : COggSoundResource::kClassId;
        EXPECT_EQ(source.GetSound()->GetClassId(), expected);
        source.ReleaseSound();
        EXPECT_EQ(source.GetSound(), nullptr);
    }
}

TEST(SourceSound, MovieWithoutSoundtrackRunsSilently) {
    SoundDemo demo(nullptr);
    CDocImp source(DeviceRecorder::create()->factory());
    source.SetReader(&demo.reader);
    source.StartSound(0.0f, 0);
    source.PauseSound(true);
    EXPECT_EQ(source.GetSound(), nullptr);
}

}  // namespace
}  // namespace lumenreel::test
