#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "SoundTestSupport.h"
#include "images/ImageExt.h"
#include "published/ZcdWriter.h"
#include "support/TestSupport.h"

namespace lumenreel::test {
namespace {

// A one-frame demo file carrying the track (none when null).
std::vector<std::uint8_t> demoWith(const CSoundTrack* track) {
    CImageExt picture;
    picture.create(8, 8, 24);
    zcd::ZcdContent content;
    content.frames.push_back({{1, 4.0f, 0.0f, 1.0f}, &picture});
    content.soundtrack = track;
    std::string error;
    auto file = zcd::writeZcd(content, error);
    EXPECT_TRUE(file) << error;
    return file.value_or(std::vector<std::uint8_t>{});
}

CommandResult audio(const std::filesystem::path& demo, const std::filesystem::path& out) {
    return runCommand(shellQuote((binaryDir() / "lumenreel").string()) + " audio " +
                      shellQuote(demo.string()) + " --output " + shellQuote(out.string()));
}

std::string soxInfo(const char* flag, const std::filesystem::path& wav) {
    auto result = runCommand(std::string("sox --i ") + flag + " " + shellQuote(wav.string()));
    return result.out;
}

struct EncodedCase {
    const char* name;
    const char* fixture;
    bool ogg;
    const char* reference;  // %IN% and %OUT% are replaced
};

class AudioCommandEncodedTest : public ::testing::TestWithParam<EncodedCase> {};

TEST_P(AudioCommandEncodedTest, WritesTheSamplesTheReferenceDecoderMakes) {
    const EncodedCase& c = GetParam();
    TempDir dir;
    std::filesystem::path fixture = dataPath(std::string("sound/") + c.fixture);
    std::unique_ptr<CSoundTrack> track;
    if (c.ogg) {
        track = std::make_unique<CSoundTrack_Ogg>();
    } else {
        track = std::make_unique<CSoundTrack_MP3>();
    }
    track->data() = readBytes(fixture);
    writeBytes(dir / "demo.zcd", demoWith(track.get()));

    auto result = audio(dir / "demo.zcd", dir / "ours.wav");
    ASSERT_EQ(result.exitCode, 0) << result.err;
    EXPECT_EQ(soxInfo("-r", dir / "ours.wav"), "44100\n");
    EXPECT_EQ(soxInfo("-c", dir / "ours.wav"), "2\n");
    EXPECT_EQ(soxInfo("-b", dir / "ours.wav"), "16\n");
    EXPECT_EQ(soxInfo("-e", dir / "ours.wav"), "Signed Integer PCM\n");

    std::string command = c.reference;
    command.replace(command.find("%IN%"), 4, shellQuote(fixture.string()));
    command.replace(command.find("%OUT%"), 5, shellQuote((dir / "ref.wav").string()));
    std::vector<std::int16_t> reference = decodeWith(command, dir / "ref.wav");
    ASSERT_FALSE(reference.empty());
    std::vector<std::int16_t> ours = samplesOf(readWav(dir / "ours.wav").data);
    EXPECT_EQ(ours, reference);
}

INSTANTIATE_TEST_SUITE_P(
    Kinds, AudioCommandEncodedTest,
    ::testing::Values(EncodedCase{"Ogg", "tone.ogg", true, "oggdec -Q -o %OUT% %IN%"},
                      EncodedCase{"Mp3", "tone.mp3", false, "mpg123 -q -w %OUT% %IN%"}),
    [](const auto& info) { return std::string(info.param.name); });

// Bytes changed in the middle of a real encoder's stream: the command writes what can be decoded
// and says what was lost, as info does; an intact stream gets no word.
TEST(AudioCommand, ASoundtrackDamagedMidwayIsWrittenWithAWarning) {
    struct Case {
        const char* fixture;
        bool ogg;
        bool damaged;
    };
    for (const Case& c : {Case{"tone.ogg", true, false}, Case{"tone.ogg", true, true},
                          Case{"tone.mp3", false, false}, Case{"tone.mp3", false, true}}) {
        TempDir dir;
        std::unique_ptr<CSoundTrack> track;
        if (c.ogg)
            track = std::make_unique<CSoundTrack_Ogg>();
        else
            track = std::make_unique<CSoundTrack_MP3>();
        track->data() = readBytes(dataPath(std::string("sound/") + c.fixture));
        if (c.damaged) {
            const std::size_t middle = track->data().size() / 2;
            for (std::size_t i = middle; i < middle + 3000; ++i)
                track->data()[i] ^= 0x5A;
        }
        writeBytes(dir / "demo.zcd", demoWith(track.get()));
        const std::string label = std::string(c.fixture) + (c.damaged ? " damaged" : " intact");

        auto result = audio(dir / "demo.zcd", dir / "out.wav");
        EXPECT_EQ(result.exitCode, 0) << label << ": " << result.err;
        EXPECT_EQ(result.err.find("warning: soundtrack damaged: ") != std::string::npos, c.damaged)
            << label << ": " << result.err;
        auto info = runCommand(shellQuote((binaryDir() / "lumenreel").string()) + " info " +
                               shellQuote((dir / "demo.zcd").string()));
        EXPECT_EQ(info.exitCode, 0) << label;
        EXPECT_EQ(info.out.find("skipped: soundtrack damaged: ") != std::string::npos, c.damaged)
            << label << ": " << info.out;
    }
}

TEST(AudioCommand, WaveTrackKeepsItsStoredFormatAndSamples) {
    for (const char* fixture : {"tone16.wav", "tone8.wav"}) {
        SCOPED_TRACE(fixture);
        TempDir dir;
        WavFile source = readWav(dataPath(std::string("sound/") + fixture));
        ASSERT_FALSE(source.data.empty());
        CSoundTrack_wavePCM track;
        track.channels = static_cast<std::uint8_t>(source.format.channels);
        track.bitsPerSample = static_cast<std::uint8_t>(source.format.bitsPerSample);
        track.samplesPerSecond = static_cast<std::int32_t>(source.format.samplesPerSec);
        track.averageBytesPerSecond = static_cast<std::int32_t>(source.format.avgBytesPerSec);
        track.data() = source.data;
        writeBytes(dir / "demo.zcd", demoWith(&track));

        auto result = audio(dir / "demo.zcd", dir / "out.wav");
        ASSERT_EQ(result.exitCode, 0) << result.err;
        WavFile out = readWav(dir / "out.wav");
        EXPECT_EQ(out.format.channels, source.format.channels);
        EXPECT_EQ(out.format.bitsPerSample, source.format.bitsPerSample);
        EXPECT_EQ(out.format.samplesPerSec, source.format.samplesPerSec);
        EXPECT_EQ(out.data, source.data);
        // sox reads it back as the same audio as the fixture it came from.
        auto ours = runCommand("sox " + shellQuote((dir / "out.wav").string()) + " -t raw -");
        auto theirs = runCommand(
            "sox " + shellQuote(dataPath(std::string("sound/") + fixture).string()) + " -t raw -");
        ASSERT_EQ(ours.exitCode, 0) << ours.err;
        EXPECT_EQ(ours.out, theirs.out);
    }
}

TEST(AudioCommand, MissingSoundtrackAndBadInputAreReported) {
    TempDir dir;
    writeBytes(dir / "silent.zcd", demoWith(nullptr));
    auto none = audio(dir / "silent.zcd", dir / "out.wav");
    EXPECT_EQ(none.exitCode, 3);
    EXPECT_EQ(none.err,
              "lumenreel: " + (dir / "silent.zcd").string() + ": the movie has no soundtrack\n");
    EXPECT_FALSE(std::filesystem::exists(dir / "out.wav"));

    writeBytes(dir / "other.bin", {1, 2, 3});
    auto bad = audio(dir / "other.bin", dir / "out.wav");
    EXPECT_EQ(bad.exitCode, 2);
    EXPECT_EQ(bad.err,
              "lumenreel: " + (dir / "other.bin").string() + ": too short for a published demo\n");

    CSoundTrack_Ogg garbage;
    garbage.data().assign(3000, 0x5a);
    writeBytes(dir / "garbage.zcd", demoWith(&garbage));
    auto damaged = audio(dir / "garbage.zcd", dir / "out.wav");
    EXPECT_EQ(damaged.exitCode, 2);
    EXPECT_EQ(damaged.err, "lumenreel: " + (dir / "garbage.zcd").string() +
                               ": soundtrack: not a readable Ogg Vorbis stream\n");
}

}  // namespace
}  // namespace lumenreel::test
