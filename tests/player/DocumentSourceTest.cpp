#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "document/DocumentFixtures.h"
#include "player/DocImp.h"
#include "player/PlayerTestSupport.h"
#include "player/PlayerView.h"
#include "sound/RecordingOutputDevice.h"

namespace lumenreel::test {
namespace {

// The rich document: frames of 2, 1 (hidden), 3 and 2 seconds and an 8000-byte soundtrack of
// one second at 8000 Hz, 8 bits, mono.
class DocumentSourceTest : public ::testing::Test {
protected:
    DocumentSourceTest() {
        buildRichDocument(document);
        source.SetDocument(&document);
    }

    CZephyrcastBaseDocument document;
    std::shared_ptr<DeviceRecorder> recorder = DeviceRecorder::create();
    CDocImp source{recorder->factory()};
};

TEST_F(DocumentSourceTest, OnlyVisibleFramesMakeUpTheTimeline) {
    EXPECT_TRUE(source.IsLoaded());
    EXPECT_EQ(source.GetDocument(), &document);
    EXPECT_EQ(source.GetReader(), nullptr);
    EXPECT_EQ(source.FrameCount(), 3);
    EXPECT_FLOAT_EQ(source.Duration(), 7.0f);
    EXPECT_EQ(source.FrameAtTime(1.0f), 0);
    EXPECT_EQ(source.FrameAtTime(2.5f), 1);
    EXPECT_EQ(source.FrameAtTime(6.0f), 2);
    EXPECT_FLOAT_EQ(source.FrameStartTime(1), 2.0f);
    EXPECT_FLOAT_EQ(source.FrameStartTime(2), 5.0f);
    EXPECT_EQ(source.DisplaySize(), kFrameSize);
    EXPECT_EQ(source.BitmapSize(), kFrameSize);
}

TEST_F(DocumentSourceTest, MomentsAreTheDocumentsOwnDrawing) {
    // Across fades, a frame change, the master item's span and past the end.
    for (float t : {0.0f, 0.7f, 1.99f, 2.0f, 2.6f, 4.9f, 5.0f, 6.5f, 7.0f, 30.0f}) {
        CImageExt target;
        ASSERT_TRUE(target.create(kFrameSize.width, kFrameSize.height, 32));
        ASSERT_TRUE(source.RenderAt(t, target)) << t;
        CImageExt expected;
        ASSERT_TRUE(document.drawAtTime(expected, t)) << t;
        EXPECT_TRUE(target.equals(expected)) << t;
    }
}

TEST_F(DocumentSourceTest, SoundPlaysACopyOfTheSoundtrackFromTheClock) {
    source.StartSound(0.5f, 0);
    ASSERT_NE(source.GetSound(), nullptr);
    EXPECT_FALSE(source.HasCompressedSound());
    EXPECT_EQ(recorder->rate(), 8000u);
    const auto data = document.soundtrack().GetDataRecord().data;
    EXPECT_EQ(recorder->written(), std::vector<std::uint8_t>(data.begin() + 4000, data.end()));
    EXPECT_NE(source.MakeSound().resource, nullptr) << "an export gets one of its own";
}

TEST_F(DocumentSourceTest, ChangingTheSoundtrackPausesTheViewAndDropsItsSound) {
    FakeTickClock clock;
    CZCPlayerView view(clock, std::make_unique<CDocImp>(recorder->factory()));
    view.SetDocument(&document);
    view.Transport().Play();
    CDocImp& viewSource = view.Transport().GetSource();
    ASSERT_NE(viewSource.GetSound(), nullptr);

    CWaveSoundResource silence;
    ASSERT_TRUE(silence.MakeSilence(1.0f, WaveFormat::pcm(8000, 1, 8)));
    document.setSoundtrack(&silence);
    EXPECT_TRUE(view.Transport().IsPaused());
    EXPECT_EQ(viewSource.GetSound(), nullptr);

    // Another movie playing: the view no longer listens to the first document.
    CZephyrcastBaseDocument other;
    buildRichDocument(other);
    view.SetDocument(&other);
    view.Transport().Play();
    ASSERT_TRUE(view.Transport().IsPlaying());
    document.setSoundtrack(nullptr);
    EXPECT_FALSE(view.Transport().IsPaused());
    other.setSoundtrack(nullptr);
    EXPECT_TRUE(view.Transport().IsPaused());
}

}  // namespace
}  // namespace lumenreel::test
