#include <gtest/gtest.h>

#include "SoundTestSupport.h"
#include "base/DiskFile.h"
#include "sound/PCMWriter.h"
#include "sound/StreamPlayer.h"
#include "support/TestSupport.h"

namespace lumenreel::test {
namespace {

using namespace std::chrono_literals;

constexpr std::uint64_t kBytesPerSecond = 44100 * 2 * 2;

struct StreamCase {
    const char* name;
    const char* file;
    bool mp3;
};

class StreamPlayerTest : public ::testing::TestWithParam<StreamCase> {
protected:
    void SetUp() override {
        recorder = DeviceRecorder::create();
        if (GetParam().mp3) {
            player = std::make_unique<CMp3Player>(recorder->factory());
        } else {
            player = std::make_unique<COggPlayer>(recorder->factory());
        }
        bytes = readBytes(dataPath(std::string("sound/") + GetParam().file));
    }
    void load() { player->SetData(bytes.data(), bytes.size()); }
    CPCMWriter& writer() { return *static_cast<CStreamPlayer&>(*player).GetDecoder().GetWriter(); }
    bool waitForFullQueue() {
        return eventually([this] { return writer().QueuedCount() == CPCMWriter::kMaxQueued; });
    }

    std::shared_ptr<DeviceRecorder> recorder;
    std::unique_ptr<IPlayer> player;
    std::vector<std::uint8_t> bytes;
};

TEST_P(StreamPlayerTest, OpensDeviceInStreamFormatAndKnowsLength) {
    load();
    EXPECT_TRUE(player->IsLoaded());
    EXPECT_TRUE(recorder->isOpen());
    EXPECT_EQ(recorder->rate(), 44100u);
    EXPECT_EQ(recorder->channels(), 2u);
    EXPECT_EQ(recorder->bits(), 16u);
    EXPECT_NEAR(player->Length(), 3.0, 0.03);
}

TEST_P(StreamPlayerTest, LoadedPlayerRefusesNewDataAndUnloadedRefusesTransport) {
    EXPECT_THROW(player->Play(), IPlayer::IPlayerException);
    EXPECT_THROW(player->Seek(1.0f), IPlayer::IPlayerException);
    EXPECT_THROW(player->Length(), IPlayer::IPlayerException);
    load();
    EXPECT_THROW(player->SetData(bytes.data(), bytes.size()), IPlayer::IPlayerException);
    player->Play();
    EXPECT_THROW(player->Play(), IPlayer::IPlayerException);
}

TEST_P(StreamPlayerTest, FileSourcePlaysLikeMemory) {
    auto file = std::make_unique<CDiskFile>();
    ASSERT_TRUE(file->Open(dataPath(std::string("sound/") + GetParam().file).string(),
                           CDiskFile::Mode::read));
    player->SetFile(std::move(file));
    EXPECT_NEAR(player->Length(), 3.0, 0.03);
    ASSERT_TRUE(player->Seek(2.0f));
    player->Play();
    ASSERT_TRUE(playToEnd(*player, *recorder));
    EXPECT_EQ(recorder->played().size(), kBytesPerSecond);
}

TEST_P(StreamPlayerTest, DataThatIsNoStreamDoesNotLoad) {
    std::vector<std::uint8_t> junk(5000, 0x5A);
    EXPECT_THROW(player->SetData(junk.data(), junk.size()), IPlayer::IPlayerException);
    EXPECT_FALSE(player->IsLoaded());
}

TEST_P(StreamPlayerTest, QueueStaysBoundedAndPauseHoldsTheDevice) {
    load();
    player->Play();
    ASSERT_TRUE(waitForFullQueue());
    EXPECT_LE(recorder->queuedBytes(), CPCMWriter::kMaxQueued * 8192);
    std::uint64_t writtenWhenFull = recorder->written().size();

    player->TogglePause();
    EXPECT_TRUE(player->IsPaused());
    EXPECT_TRUE(recorder->isPaused());
    // A paused device plays nothing, so the decoder has no room and writes nothing more.
    EXPECT_EQ(recorder->advance(kBytesPerSecond), 0u);
    EXPECT_EQ(recorder->written().size(), writtenWhenFull);

    player->TogglePause();
    EXPECT_FALSE(recorder->isPaused());
    EXPECT_GT(recorder->advance(kBytesPerSecond / 2), 0u);
    EXPECT_TRUE(recorder->waitUntil(
        [&](const DeviceRecorder& r) { return r.written().size() > writtenWhenFull; }));
    player->Stop();
    EXPECT_FALSE(player->IsPlaying());
    EXPECT_EQ(recorder->queuedBytes(), 0u) << "stopping drops what was still to play";
}

TEST_P(StreamPlayerTest, PlayAfterPauseAndStopIsHeard) {
    load();
    player->Play();
    player->TogglePause();
    player->Stop();
    player->Play();
    EXPECT_FALSE(player->IsPaused());
    EXPECT_FALSE(recorder->isPaused());
    ASSERT_TRUE(playToEnd(*player, *recorder));
    EXPECT_EQ(recorder->played().size(), 3 * kBytesPerSecond);
}

TEST_P(StreamPlayerTest, SeekWhilePlayingDiscardsTheQueueAndContinuesThere) {
    load();
    std::vector<std::int16_t> whole;
    {
        player->Play();
        ASSERT_TRUE(playToEnd(*player, *recorder));
        whole = samplesOf(recorder->played());
    }
    ASSERT_EQ(whole.size(), 3u * 44100 * 2);

    std::size_t playedBefore = recorder->played().size();
    player->Play();
    ASSERT_TRUE(waitForFullQueue());
    std::size_t resetsBefore = recorder->count(DeviceCall::Kind::reset);
    EXPECT_TRUE(player->Seek(2.0f));
    EXPECT_EQ(recorder->count(DeviceCall::Kind::reset), resetsBefore + 1);
    EXPECT_TRUE(recorder->waitUntil([](const DeviceRecorder& r) { return r.queuedBytes() > 0; }));
    ASSERT_TRUE(playToEnd(*player, *recorder));

    // What played after the seek is the last second of the stream, nothing of the old queue.
    std::vector<std::uint8_t> played = recorder->played();
    std::vector<std::int16_t> after =
        samplesOf(std::vector<std::uint8_t>(played.begin() + playedBefore, played.end()));
    ASSERT_EQ(after.size(), 44100u * 2);
    std::vector<std::int16_t> lastSecond(whole.end() - 44100 * 2, whole.end());
    // Both decoders seek to the exact sample.
    EXPECT_EQ(maxDifference(after, lastSecond), 0);
}

// A seek while paused frees the queue; the decoder must not fill it again until play resumes.
// Correct code never writes here, so the short wait only bounds how long a fault has to show.
TEST_P(StreamPlayerTest, SeekWhilePausedWritesNothingUntilResumed) {
    load();
    player->Play();
    ASSERT_TRUE(waitForFullQueue());
    player->TogglePause();
    ASSERT_TRUE(player->Seek(1.0f));
    const std::size_t writes = recorder->count(DeviceCall::Kind::write);
    auto wroteMore = [&](const DeviceRecorder& r) {
        return r.count(DeviceCall::Kind::write) > writes;
    };
    EXPECT_FALSE(recorder->waitUntil(wroteMore, 200ms)) << "written while paused";
    player->TogglePause();
    EXPECT_TRUE(recorder->waitUntil(wroteMore));
    player->Stop();
}

TEST_P(StreamPlayerTest, EndOfDataThenPlayStartsAgainFromZero) {
    load();
    player->Play();
    ASSERT_TRUE(playToEnd(*player, *recorder));
    std::vector<std::uint8_t> first = recorder->played();
    EXPECT_FALSE(player->IsPlaying());
    player->Play();
    ASSERT_TRUE(playToEnd(*player, *recorder));
    std::vector<std::uint8_t> both = recorder->played();
    ASSERT_EQ(both.size(), 2 * first.size());
    EXPECT_TRUE(std::equal(first.begin(), first.end(), both.begin() + first.size()));
}

TEST_P(StreamPlayerTest, EndedButStillSoundingPlayerReportsNotPlaying) {
    load();
    player->Play();
    decodeLeavingATail([&] { return player->IsPlaying(); }, *recorder);
    EXPECT_GT(recorder->queuedBytes(), 0u);
    EXPECT_FALSE(writer().IsIdle());
    recorder->advanceAll();
    EXPECT_TRUE(eventually([this] { return writer().IsIdle(); }));
}

INSTANTIATE_TEST_SUITE_P(Streams, StreamPlayerTest,
                         ::testing::Values(StreamCase{"Ogg", "tone.ogg", false},
                                           StreamCase{"Mp3", "tone.mp3", true}),
                         [](const auto& info) { return std::string(info.param.name); });

struct ReferenceCase {
    const char* name;
    const char* file;
    bool mp3;
    const char* program;
    const char* command;  // %IN% and %OUT% are replaced
    int tolerance;
};

class ReferenceDecodeTest : public ::testing::TestWithParam<ReferenceCase> {};

TEST_P(ReferenceDecodeTest, PlaysTheSamplesTheReferenceDecoderMakes) {
    const ReferenceCase& c = GetParam();
    if (!haveProgram(c.program))
        GTEST_SKIP() << c.program << " is not installed";
    TempDir dir;
    std::filesystem::path input = dataPath(std::string("sound/") + c.file);
    std::string command = c.command;
    command.replace(command.find("%IN%"), 4, shellQuote(input.string()));
    command.replace(command.find("%OUT%"), 5, shellQuote((dir / "out.wav").string()));
    std::vector<std::int16_t> reference = decodeWith(command, dir / "out.wav");
    ASSERT_FALSE(reference.empty());

    auto recorder = DeviceRecorder::create();
    std::unique_ptr<IPlayer> player;
    if (c.mp3) {
        player = std::make_unique<CMp3Player>(recorder->factory());
    } else {
        player = std::make_unique<COggPlayer>(recorder->factory());
    }
    std::vector<std::uint8_t> bytes = readBytes(input);
    player->SetData(bytes.data(), bytes.size());
    player->Play();
    ASSERT_TRUE(playToEnd(*player, *recorder));
    std::vector<std::int16_t> ours = samplesOf(recorder->played());
    ASSERT_EQ(ours.size(), reference.size());
    EXPECT_LE(maxDifference(ours, reference), c.tolerance);
}

INSTANTIATE_TEST_SUITE_P(
    Decoders, ReferenceDecodeTest,
    ::testing::Values(
        ReferenceCase{"Oggdec", "tone.ogg", false, "oggdec", "oggdec -Q -o %OUT% %IN%", 0},
        ReferenceCase{"Mpg123", "tone.mp3", true, "mpg123", "mpg123 -q -w %OUT% %IN%", 0},
        // A different decoder: it rounds differently, by at most one step.
        ReferenceCase{"LameDecode", "tone.mp3", true, "lame", "lame --quiet --decode %IN% %OUT%",
                      1}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace lumenreel::test
