#include <gtest/gtest.h>

#include <string>

#include "SoundTestSupport.h"
#include "sound/PlaybackSpeed.h"
#include "sound/WaveSoundResource.h"
#include "support/TestSupport.h"

namespace lumenreel::test {
namespace {

using Kind = DeviceCall::Kind;

std::vector<std::uint8_t> bytesOf(const std::string& text) {
    return {text.begin(), text.end()};
}

// 16-bit stereo 44.1 kHz: 176 400 bytes per second.
WaveFormat cdFormat() {
    return WaveFormat::pcm(44100, 2, 16);
}

// 8-bit mono at 10 Hz: one byte is a tenth of a second, so edits read as text.
WaveFormat tenthFormat() {
    return WaveFormat::pcm(10, 1, 8);
}

std::vector<std::uint8_t> ramp(std::size_t size) {
    std::vector<std::uint8_t> bytes(size);
    for (std::size_t i = 0; i < size; ++i)
        bytes[i] = static_cast<std::uint8_t>(i * 7 + i / 251);
    return bytes;
}

class WaveSoundResourceTest : public ::testing::Test {
protected:
    std::shared_ptr<DeviceRecorder> recorder = DeviceRecorder::create();
    CWaveSoundResource sound{recorder->factory()};

    void loadCd(float seconds) {
        WaveFormat format = cdFormat();
        sound.SetData(ramp(static_cast<std::size_t>(seconds * format.avgBytesPerSec)), &format);
    }
};

TEST_F(WaveSoundResourceTest, OffsetsAreAlignedToSampleFramesAndClampedToTheData) {
    loadCd(2.0f);
    EXPECT_EQ(sound.ByteOffset(1.0f), 176400u);
    EXPECT_EQ(sound.AlignedOffset(0.1f), 17640u);
    EXPECT_EQ(sound.AlignedOffset(0.00001f), 0u);  // 1.764 bytes: less than a frame
    EXPECT_EQ(sound.AlignedOffset(1.0e-4f), 16u);  // 17.64 bytes: four whole frames
    EXPECT_EQ(sound.ByteOffset(5.0f), sound.DataSize());
    EXPECT_EQ(sound.AlignedOffset(5.0f), 882000u);
    EXPECT_EQ(sound.AlignedOffset(-1.0f), 0u);
    EXPECT_EQ(sound.AlignedOffset(1.0e30f), 0xFFFFFFFFu - 0xFFFFFFFFu % 4);
    EXPECT_FLOAT_EQ(sound.Duration(), 2.0f);
    EXPECT_FLOAT_EQ(sound.OffsetToTime(176400), 1.0f);
    EXPECT_EQ(sound.SampleFrames(), 88200u);
    EXPECT_EQ(sound.GetBlockAlign(), 4u);
}

TEST_F(WaveSoundResourceTest, PlayHandsTheRestOfTheDataToTheDeviceAndTracksPosition) {
    loadCd(2.0f);
    sound.Play(0.5f, 0.0f);
    ASSERT_TRUE(recorder->isOpen());
    std::vector<std::uint8_t> expected(sound.GetData().begin() + 88200, sound.GetData().end());
    EXPECT_EQ(recorder->written(), expected);
    EXPECT_TRUE(sound.IsPlaying());
    float from = 0, to = 0;
    ASSERT_TRUE(sound.GetPlayingSpan(from, to));
    EXPECT_FLOAT_EQ(from, 0.5f);
    EXPECT_FLOAT_EQ(to, 2.0f);

    recorder->advance(176400);
    EXPECT_NEAR(sound.Position(), 1.5f, 1e-5);
    sound.Pause(true);
    EXPECT_TRUE(recorder->isPaused());
    EXPECT_EQ(recorder->advance(1000), 0u);
    sound.Pause(false);
    EXPECT_FALSE(recorder->isPaused());
    recorder->advanceAll();
    EXPECT_FALSE(sound.IsPlaying());
    EXPECT_FLOAT_EQ(sound.Position(), 0.0f);
}

// Stretched, the sound is heard to its very end, and then it is over.
TEST_F(WaveSoundResourceTest, AtAnotherSpeedAllOfItPlaysAndThenItEnds) {
    auto speed = std::make_shared<PlaybackSpeed>();
    speed->set(2.0f);
    CWaveSoundResource stretched{timeStretchedDevices(recorder->factory(), speed)};
    WaveFormat format = cdFormat();
    stretched.SetData(ramp(176400), &format);
    stretched.Play(0.0f, 0.0f);
    EXPECT_TRUE(stretched.IsPlaying());
    recorder->advanceAll();
    EXPECT_FALSE(stretched.IsPlaying());
    EXPECT_NEAR(static_cast<double>(recorder->played().size()), 176400 / 2, 176400 / 1000);
}

TEST_F(WaveSoundResourceTest, PlayPastTheEndPlaysNothing) {
    loadCd(2.0f);
    sound.Play(2.5f, 0.0f);
    EXPECT_EQ(recorder->count(Kind::write), 0u);
    EXPECT_FALSE(sound.IsPlaying());
}

TEST_F(WaveSoundResourceTest, ReplayResetsTheDeviceAndResumesAfterPauseAndStop) {
    loadCd(1.0f);
    sound.Play(0.0f, 0.0f);
    sound.Pause(true);
    sound.Stop();
    EXPECT_FALSE(sound.IsPlaying());
    std::size_t resets = recorder->count(Kind::reset);
    sound.Play(0.25f, 0.0f);
    EXPECT_GT(recorder->count(Kind::reset), resets);
    // The pause before the stop must not leave the new start silent.
    EXPECT_FALSE(recorder->isPaused());
    EXPECT_EQ(recorder->advanceAll(), 176400u - 44100u);
}

TEST_F(WaveSoundResourceTest, ChangingTheDataClosesTheDevice) {
    loadCd(1.0f);
    sound.Play(0.0f, 0.0f);
    loadCd(0.5f);
    EXPECT_FALSE(recorder->isOpen());
    EXPECT_EQ(recorder->count(Kind::close), 1u);
    EXPECT_FALSE(sound.IsPlaying());
}

TEST_F(WaveSoundResourceTest, EmptyResourceDoesNothing) {
    sound.Play(0.0f, 0.0f);
    sound.Pause(true);
    EXPECT_FALSE(sound.IsPlaying());
    EXPECT_TRUE(sound.IsEmpty());
    EXPECT_EQ(sound.DataSize(), 0u);
    EXPECT_FLOAT_EQ(sound.Duration(), 0.0f);
    EXPECT_TRUE(recorder->calls().empty());
}

TEST_F(WaveSoundResourceTest, SoxWavePlaysTheSamplesSoxDecodes) {
    if (!haveProgram("sox"))
        GTEST_SKIP() << "sox is not installed";
    for (const char* name : {"tone16.wav", "tone8.wav"}) {
        SCOPED_TRACE(name);
        auto path = dataPath(std::string("sound/") + name);
        WavFile wav = readWav(path);
        ASSERT_FALSE(wav.data.empty());
        CommandResult raw = runCommand("sox " + shellQuote(path.string()) + " -t raw -");
        ASSERT_EQ(raw.exitCode, 0);

        auto recorder = DeviceRecorder::create();
        CWaveSoundResource wave(recorder->factory());
        wave.SetData(wav.data, &wav.format);
        EXPECT_NEAR(wave.Duration(), 0.5, 1e-4);
        wave.Play(0.0f, 0.0f);
        EXPECT_EQ(recorder->rate(), wav.format.samplesPerSec);
        EXPECT_EQ(recorder->bits(), wav.format.bitsPerSample);
        recorder->advanceAll();
        EXPECT_EQ(recorder->played(), std::vector<std::uint8_t>(raw.out.begin(), raw.out.end()));
        EXPECT_FALSE(wave.IsSilent());
    }
}

struct EditCase {
    const char* name;
    std::function<bool(CWaveSoundResource&)> edit;
    std::string expected;  // '_' stands for 8-bit silence (128)
};

std::vector<std::uint8_t> expand(const std::string& text) {
    std::vector<std::uint8_t> bytes = bytesOf(text);
    for (auto& b : bytes) {
        if (b == '_')
            b = 128;
    }
    return bytes;
}

class WaveEditTest : public ::testing::TestWithParam<EditCase> {};

TEST_P(WaveEditTest, EditsGiveTheBytesExpected) {
    WaveFormat format = tenthFormat();
    CWaveSoundResource sound(nullptr);
    sound.SetData(bytesOf("ABCDEFGHIJ"), &format);
    ASSERT_TRUE(GetParam().edit(sound));
    EXPECT_EQ(sound.GetData(), expand(GetParam().expected));
    EXPECT_EQ(sound.GetFormat(), format);
}

CWaveSoundResource* piece(const std::string& text, WaveFormat format = tenthFormat()) {
    static std::vector<std::unique_ptr<CWaveSoundResource>> keep;
    keep.push_back(std::make_unique<CWaveSoundResource>(nullptr));
    keep.back()->SetData(bytesOf(text), &format);
    return keep.back().get();
}

INSTANTIATE_TEST_SUITE_P(
    Edits, WaveEditTest,
    ::testing::Values(
        EditCase{"InsertAt", [](auto& s) { return s.InsertAt(*piece("xy"), 0.3f); },
                 "ABCxyDEFGHIJ"},
        EditCase{"InsertAtPastEnd", [](auto& s) { return s.InsertAt(*piece("xy"), 3.0f); },
                 "ABCDEFGHIJxy"},
        EditCase{"InsertSilence", [](auto& s) { return s.InsertSilence(0.2f, 0.3f); },
                 "AB___CDEFGHIJ"},
        EditCase{"InsertSilencePastEnd", [](auto& s) { return s.InsertSilence(1.5f, 0.2f); },
                 "ABCDEFGHIJ_______"},
        EditCase{"OverwriteAt", [](auto& s) { return s.OverwriteAt(*piece("xy"), 0.2f); },
                 "ABxyEFGHIJ"},
        EditCase{"OverwriteAtExtends", [](auto& s) { return s.OverwriteAt(*piece("xyz"), 1.2f); },
                 "ABCDEFGHIJ__xyz"},
        EditCase{"DeleteRange",
                 [](auto& s) {
                     s.DeleteRange(0.2f, 0.5f);
                     return true;
                 },
                 "ABFGHIJ"},
        EditCase{"SilenceRange",
                 [](auto& s) {
                     s.SilenceRange(0.2f, 0.5f);
                     return true;
                 },
                 "AB___FGHIJ"},
        EditCase{"ReversedRangeChangesNothing",
                 [](auto& s) {
                     s.DeleteRange(0.5f, 0.2f);
                     return true;
                 },
                 "ABCDEFGHIJ"},
        EditCase{"ExtractRange",
                 [](auto& s) {
                     s.ExtractRange(s, 0.2f, 0.5f);
                     return true;
                 },
                 "CDE"},
        EditCase{"MakeSilence", [](auto& s) { return s.MakeSilence(0.4f, tenthFormat()); }, "____"},
        EditCase{"ConcatenateSkipsOtherLayouts",
                 [](auto& s) {
                     const CWaveSoundResource* list[] = {
                         &s, piece("kl"), piece("zz", WaveFormat::pcm(20, 1, 8)), piece("m")};
                     s.Concatenate(list);
                     return true;
                 },
                 "ABCDEFGHIJklm"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(WaveEditRefusalTest, IncompatibleInsertIsRefusedAndEmptyTargetsTakeTheOther) {
    WaveFormat format = tenthFormat();
    CWaveSoundResource sound(nullptr);
    sound.SetData(bytesOf("ABCD"), &format);
    EXPECT_FALSE(sound.InsertAt(*piece("xy", WaveFormat::pcm(10, 2, 8)), 0.1f));
    EXPECT_FALSE(sound.OverwriteAt(*piece("xy", WaveFormat::pcm(11, 1, 8)), 0.1f));
    EXPECT_EQ(sound.GetData(), bytesOf("ABCD"));

    CWaveSoundResource empty(nullptr);
    EXPECT_TRUE(empty.OverwriteAt(*piece("xy"), 0.3f));
    EXPECT_EQ(empty.GetData(), expand("___xy"));
    EXPECT_EQ(empty.GetFormat(), format);

    CWaveSoundResource other(nullptr);
    EXPECT_TRUE(other.InsertAt(*piece("xy"), 5.0f));
    EXPECT_EQ(other.GetData(), bytesOf("xy"));
}

TEST(WaveEditRefusalTest, SixteenBitSilenceIsZero) {
    WaveFormat format = WaveFormat::pcm(10, 1, 16);
    CWaveSoundResource sound(nullptr);
    sound.SetData({1, 1, 2, 2}, &format);
    EXPECT_TRUE(sound.InsertSilence(0.1f, 0.1f));
    EXPECT_EQ(sound.GetData(), (std::vector<std::uint8_t>{1, 1, 0, 0, 2, 2}));
}

struct LevelCase {
    const char* name;
    WaveFormat format;
    std::vector<std::uint8_t> data;
    std::uint32_t minLevel;
    std::uint32_t maxLevel;
    bool silent;
};

std::vector<std::uint8_t> bytesWithLoud(std::size_t size, std::uint8_t quiet, std::size_t loud,
                                        std::uint8_t loudValue) {
    std::vector<std::uint8_t> bytes(size, quiet);
    for (std::size_t i = 0; i < loud; ++i)
        bytes[i * 7] = loudValue;
    return bytes;
}

std::vector<std::uint8_t> words(std::initializer_list<std::int16_t> samples, std::size_t repeat) {
    std::vector<std::uint8_t> bytes;
    for (std::size_t r = 0; r < repeat; ++r) {
        for (std::int16_t s : samples) {
            bytes.push_back(static_cast<std::uint8_t>(s & 0xFF));
            bytes.push_back(static_cast<std::uint8_t>((s >> 8) & 0xFF));
        }
    }
    return bytes;
}

class LevelTest : public ::testing::TestWithParam<LevelCase> {};

TEST_P(LevelTest, LevelsAndSilence) {
    const LevelCase& c = GetParam();
    CWaveSoundResource sound(nullptr);
    sound.SetData(c.data, &c.format);
    EXPECT_EQ(sound.GetMinLevel(), c.minLevel);
    EXPECT_EQ(sound.GetMaxLevel(), c.maxLevel);
    EXPECT_EQ(sound.IsSilent(), c.silent);
}

INSTANTIATE_TEST_SUITE_P(
    Levels, LevelTest,
    ::testing::Values(LevelCase{"EightBitFlat", WaveFormat::pcm(8000, 1, 8),
                                std::vector<std::uint8_t>(5000, 128), 128, 128, true},
                      LevelCase{"EightBitHundredLoud", WaveFormat::pcm(8000, 1, 8),
                                bytesWithLoud(5000, 128, 100, 200), 128, 200, true},
                      LevelCase{"EightBitHundredAndOneLoud", WaveFormat::pcm(8000, 1, 8),
                                bytesWithLoud(5000, 128, 101, 200), 128, 200, false},
                      LevelCase{"EightBitWithinThreeOfMean", WaveFormat::pcm(8000, 1, 8),
                                bytesWithLoud(5000, 100, 700, 103), 100, 103, true},
                      // Samples compared as unsigned: -1 is the largest, +1 the smallest.
                      LevelCase{"SixteenBitHissAroundZero", WaveFormat::pcm(8000, 1, 16),
                                words({-1, 1, 6, -5}, 500), 1, 0xFFFF, true},
                      LevelCase{"SixteenBitTone", WaveFormat::pcm(8000, 1, 16),
                                words({0, 3000, 0, -3000}, 500), 0, 0xF448, false}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(WaveCompatibilityTest, FormatsMustAgreeUnlessOneIsEmpty) {
    CWaveSoundResource a(nullptr), b(nullptr), empty(nullptr);
    WaveFormat stereo = cdFormat();
    WaveFormat mono = WaveFormat::pcm(44100, 1, 16);
    a.SetData({0, 0, 0, 0}, &stereo);
    b.SetData({0, 0}, &mono);
    EXPECT_FALSE(a.IsCompatible(b));
    EXPECT_TRUE(a.IsCompatible(empty));
    b.SetData({0, 0, 0, 0}, &stereo);
    EXPECT_TRUE(a.IsCompatible(b));
}

}  // namespace
}  // namespace lumenreel::test
