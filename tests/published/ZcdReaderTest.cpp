#include <gtest/gtest.h>

#include <limits>

#include "DemoPictures.h"
#include "base/MemFile.h"
#include "images/PngCodec.h"
#include "published/ExternalFormatReader.h"
#include "published/ZcdWriter.h"

using namespace NKWXDecodersEncoders;
using lumenreel::test::samePixels;
using lumenreel::test::screenPictures;
using lumenreel::zcd::WriterPlacement;
using lumenreel::zcd::ZcdContent;

namespace {

std::vector<std::uint8_t> pngOf(int w, int h, std::uint32_t colour) {
    CImageExt image;
    image.create(w, h, 24);
    lumenreel::test::fillRect(image, 0, 0, w, h, colour);
    std::vector<std::uint8_t> png;
    lumenreel::encodePng(image, png);
    return png;
}

// A small demo with one of everything: frames with ids 100, 101, …, a master frame when asked.
struct SmallDemo {
    std::vector<CImageExt> pictures;
    ZcdContent content;
    CSoundTrack_Ogg ogg;

    explicit SmallDemo(int frames, bool master = false) : pictures(screenPictures(frames, 80, 60)) {
        for (int i = 0; i < frames; ++i)
            content.frames.push_back({{100 + i, 1.5f + i, 0.25f, 0.75f}, &pictures[i]});
        if (master)
            content.masterFrameId = 99;
        content.pictureStream.keyInterval = 4;
        content.poolPictures = {pngOf(8, 6, 0x112233), pngOf(3, 3, 0x445566)};
        content.cursors.push_back({{2, 3}, pngOf(4, 4, 0xFFFFFF), pngOf(4, 4, 0)});
        content.cursorPlacements.push_back({0, 101, true, 40, 30});
        content.captionTemplates.push_back({0, {30, 30}, {10, 12, 50, 50}, "Default", 0});
        content.captions.push_back({});
        content.captions[0].id = 7;
        content.captions[0].rect = {5, 5, 60, 40};
        content.captions[0].textRect = {4, 4, 50, 30};
        content.captions[0].richText = "{\\rtf1 hello}";
        content.images.push_back({1, 8, {0, 0, 10, 10}});
        content.highlights.push_back({9, {1, 2, 30, 20}, 0xFFFFFF, 0x00FF00, 2.0f, true});
        for (int i = 0; i < frames; ++i)
            content.captionPlacements.push_back({0, 100 + i, 7, 0, 0, 1.5f + i, 0, {}});
        content.imagePlacements.push_back({7, 100, 8, 0.5f, 0, 1.5f, 1, {}});
        content.highlightPlacements.push_back({3, 100, 9, 0, 0, 10, 2, {2, 2, 1, 0, 0, 1}});
        ogg.data() = {'O', 'g', 'g', 'S', 1, 2, 3};
        content.soundtrack = &ogg;
    }

    std::vector<std::uint8_t> write() const {
        std::string error;
        auto file = lumenreel::zcd::writeZcd(content, error);
        EXPECT_TRUE(file) << error;
        return file.value_or(std::vector<std::uint8_t>{});
    }
};

TEST(ExternalFormatReader, ReadsWhatTheWriterWrote) {
    SmallDemo demo(5);
    auto file = demo.write();
    CKWXOleStreamFile stream(file);
    CExternalFormatReader reader;
    ASSERT_TRUE(reader.Load(stream)) << reader.lastError();
    EXPECT_TRUE(reader.skipped().empty());
    EXPECT_EQ(reader.GetSize(), (Size{80, 60}));
    EXPECT_EQ(reader.GetSecondSize(), (Size{80, 60}));
    EXPECT_EQ(reader.GetFrameCount(), 5);
    EXPECT_EQ(reader.GetMasterFrame(), nullptr);
    EXPECT_FLOAT_EQ(reader.GetTotalDuration(), 1.5f + 2.5f + 3.5f + 4.5f + 5.5f);
    EXPECT_EQ(reader.GetPoolPictureCount(), 2);
    EXPECT_EQ(reader.GetPoolPicture(1)->width(), 3);
    EXPECT_EQ(reader.GetCursorCount(), 1);
    ASSERT_NE(reader.GetCursor(0), nullptr);
    EXPECT_EQ(reader.GetCursor(0)->hotSpot, (Point{2, 3}));
    EXPECT_EQ(reader.GetCursor(0)->image.width(), 4);
    EXPECT_TRUE(reader.GetCursor(0)->image.hasColour());
    EXPECT_EQ(reader.GetCursor(1), nullptr);
    EXPECT_EQ(reader.GetCaptionTemplateCount(), 1);
    EXPECT_EQ(reader.GetCaptionTemplate(0)->name, "Default");
    EXPECT_EQ(reader.GetCaption(0)->GetTemplate(), reader.GetCaptionTemplate(0));
    EXPECT_EQ(reader.GetCaption(0)->richText, "{\\rtf1 hello}");
    EXPECT_EQ(reader.GetImageObjectCount(), 1);
    EXPECT_EQ(reader.GetHighlightCount(), 1);
    EXPECT_EQ(reader.GetHighlight(0)->frameColour, 0xFFFFFFu);
    ASSERT_NE(reader.GetSoundtrack(), nullptr);
    EXPECT_EQ(reader.GetSoundtrack()->kind(), CSoundTrack::kOgg);
    EXPECT_EQ(reader.GetSoundtrack()->data(), demo.ogg.data());

    const CReaderObject_frame* first = reader.GetFrameByIndex(0);
    EXPECT_EQ(reader.GetFrameById(103), reader.GetFrameByIndex(3));
    EXPECT_EQ(reader.GetNextFrame(first), reader.GetFrameByIndex(1));
    EXPECT_EQ(reader.GetNextFrame(reader.GetFrameByIndex(4)), nullptr);
    EXPECT_EQ(first->GetCursorPlacement(), nullptr);
    EXPECT_EQ(first->GetCursorMoveInterval(), (std::pair{0.0f, 1.0f}));
    const auto* second = reader.GetFrameByIndex(1);
    ASSERT_NE(second->GetCursorPlacement(), nullptr);
    EXPECT_TRUE(second->GetCursorPlacement()->curvedPath);
    EXPECT_EQ(second->GetCursorMoveInterval(), (std::pair{0.25f, 0.75f}));
    // Frame 0 has a caption, an image and a highlight placement, drawn by their orders.
    ASSERT_EQ(first->GetPlacementCount(), 3);
    EXPECT_EQ(first->FindPlacementByOrder(0)->placementType(), kCaptionPlacement);
    EXPECT_EQ(first->FindPlacementByOrder(1)->placementType(), kImagePlacement);
    EXPECT_EQ(first->FindPlacementByOrder(2)->placementType(), kHighlightPlacement);
    EXPECT_EQ(first->FindPlacementByObject(8), first->FindPlacementByOrder(1));
    EXPECT_NE(reader.FindPlacement(reader.GetImageObject(0)), nullptr);

    for (int i : {3, 0, 4, 1, 2}) {
        CImageExt* picture = reader.GetFramePicture(reader.GetFrameByIndex(i));
        ASSERT_NE(picture, nullptr);
        EXPECT_TRUE(samePixels(*picture, demo.pictures[i])) << i;
    }
}

TEST(ExternalFormatReader, MasterFrameStandsForTheWholeDemo) {
    SmallDemo demo(26, true);
    CExternalFormatReader reader;
    ASSERT_TRUE(reader.Load(demo.write())) << reader.lastError();
    EXPECT_EQ(reader.GetFrameCount(), 26);
    const auto* master = reader.GetFrameByIndex(-1);
    ASSERT_NE(master, nullptr);
    EXPECT_TRUE(master->IsMaster());
    EXPECT_EQ(reader.GetMasterFrame(), master);
    EXPECT_EQ(reader.GetFrameByIndex(26), nullptr);
    EXPECT_EQ(reader.GetFrameByIndex(0)->GetId(), 100);
    EXPECT_FLOAT_EQ(reader.GetTotalDuration(), master->GetDuration());
    EXPECT_EQ(reader.GetFrameIndex(master), -1);
    EXPECT_EQ(reader.GetNextFrame(master), nullptr);
    EXPECT_EQ(reader.GetFramePicture(master), nullptr);
    // The same image object every time, holding the last picture asked for.
    CImageExt* first = reader.GetFramePicture(reader.GetFrameByIndex(25));
    CImageExt* again = reader.GetFramePicture(reader.GetFrameByIndex(7));
    EXPECT_EQ(first, again);
    EXPECT_TRUE(samePixels(*again, demo.pictures[7]));
}

TEST(ExternalFormatReader, IdentifierIsCheckedFirst) {
    auto file = SmallDemo(2).write();
    for (std::size_t at : {0u, 7u, 15u}) {
        auto wrong = file;
        wrong[at] ^= 0x01;
        CExternalFormatReader reader;
        EXPECT_FALSE(reader.Load(wrong));
        EXPECT_EQ(reader.lastError(), "not a published demo");
    }
    // Nothing after the identifier is looked at: even a file that ends there is "not a demo".
    std::vector<std::uint8_t> head(file.begin(), file.begin() + 16);
    head[3] ^= 0x80;
    CExternalFormatReader reader;
    EXPECT_FALSE(reader.Load(head));
    EXPECT_EQ(reader.lastError(), "not a published demo");
}

TEST(ExternalFormatReader, SoundtrackForms) {
    SmallDemo demo(2);
    CSoundTrack_wavePCM wave;
    wave.channels = 2;
    wave.bitsPerSample = 16;
    wave.samplesPerSecond = 22050;
    wave.averageBytesPerSecond = 88200;
    for (int i = 0; i < 4000; ++i)
        wave.data().push_back(static_cast<std::uint8_t>(i * 7));
    CSoundTrack_wavePCM emptyWave;
    CSoundTrack_MP3 mp3;
    mp3.data() = {0xFF, 0xFB, 0x90};
    struct Case {
        const CSoundTrack* track;
        bool compress;
    };
    for (auto c : {Case{&wave, true}, Case{&wave, false}, Case{&emptyWave, true}, Case{&mp3, false},
                   Case{nullptr, false}}) {
        demo.content.soundtrack = c.track;
        demo.content.compressWaveSamples = c.compress;
        CExternalFormatReader reader;
        ASSERT_TRUE(reader.Load(demo.write())) << reader.lastError();
        if (!c.track) {
            EXPECT_EQ(reader.GetSoundtrack(), nullptr);
            continue;
        }
        ASSERT_NE(reader.GetSoundtrack(), nullptr);
        EXPECT_EQ(reader.GetSoundtrack()->kind(), c.track->kind());
        EXPECT_EQ(reader.GetSoundtrack()->data(), c.track->data());
        if (c.track == &wave) {
            const auto* read = dynamic_cast<const CSoundTrack_wavePCM*>(reader.GetSoundtrack());
            EXPECT_EQ(read->blockAlign(), 4);
            EXPECT_EQ(read->samplesPerSecond, 22050);
            EXPECT_EQ(read->storedCompressed, c.compress);
        }
    }
    // No soundtrack is one byte 0, an empty wave track is kind and size only.
    demo.content.soundtrack = nullptr;
    auto silent = demo.write();
    demo.content.soundtrack = &emptyWave;
    EXPECT_EQ(demo.write().size(), silent.size() + 1 + 4);
    EXPECT_EQ(silent[32], 0);
    // An unknown kind loads without sound and reads nothing more for it.
    std::vector<std::uint8_t> unknown(silent.begin(), silent.begin() + 32);
    unknown.push_back(1);
    unknown.push_back(2);
    unknown.insert(unknown.end(), silent.begin() + 33, silent.end());
    CExternalFormatReader reader;
    ASSERT_TRUE(reader.Load(unknown)) << reader.lastError();
    EXPECT_EQ(reader.GetSoundtrack(), nullptr);
    EXPECT_EQ(reader.skipped().size(), 1u);
}

TEST(ReaderLink, OpacityFollowsKindAndFades) {
    CReaderLink_image link;
    link.kind = kFadeInOut;
    link.start = 0;
    link.end = 10;
    link.timing = {2, 2, 1, 0, 0, 1};
    struct Sample {
        float t;
        int opacity;
    };
    for (auto s : {Sample{0, 0}, Sample{1, 127}, Sample{2, 255}, Sample{5, 255}, Sample{8, 255},
                   Sample{9, 127}, Sample{10, 0}, Sample{10.5f, 0}, Sample{-0.1f, 0}})
        EXPECT_EQ(link.GetOpacity(s.t), s.opacity) << "t = " << s.t;
    link.kind = kFadeIn;
    EXPECT_EQ(link.GetOpacity(9), 255);
    link.kind = kFadeOut;
    EXPECT_EQ(link.GetOpacity(1), 255);
    EXPECT_EQ(link.GetOpacity(9), 127);
    // Damaged values never leave 0 … 255.
    link.kind = kNoFade;
    struct Damaged {
        float transparency;
        int opacity;
    };
    for (auto d : {Damaged{-3.0f, 255}, Damaged{2.0f, 0},
                   Damaged{std::numeric_limits<float>::quiet_NaN(), 0}}) {
        link.transparency = d.transparency;
        EXPECT_EQ(link.GetOpacity(5), d.opacity);
    }
}

TEST(ExternalFormatReader, PlacementsKeepKindsAndSkipWhatNamesNothing) {
    SmallDemo demo(3);
    // Kind 7 reads as "no fade": transparency 0.5 between start and end, even in the fade time.
    demo.content.imagePlacements[0] = {7, 100, 8, 0.5f, 0, 1.5f, 1, {1, 1, 1, 0, 0, 1}};
    demo.content.captionPlacements.push_back({0, 555, 7, 0, 0, 1, 1, {}});  // no such frame
    demo.content.imagePlacements.push_back({0, 101, 42, 0, 0, 1, 1, {}});   // no such image
    demo.content.cursorPlacements.push_back({5, 102, false, 0, 0});         // no such cursor
    CExternalFormatReader reader;
    ASSERT_TRUE(reader.Load(demo.write())) << reader.lastError();
    EXPECT_EQ(reader.skipped().size(), 3u);
    const CReaderLink* image = reader.GetFrameByIndex(0)->FindPlacementByObject(8);
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(image->kind, kNoFade);
    EXPECT_EQ(image->GetOpacity(0.2f), 127);
    EXPECT_EQ(reader.GetFrameByIndex(1)->GetPlacementCount(), 1);
    EXPECT_EQ(reader.GetFrameByIndex(2)->GetCursorPlacement(), nullptr);
}

TEST(ExternalFormatReader, UndecodablePicturesAreSkippedNotFatal) {
    SmallDemo demo(2);
    demo.content.poolPictures[0] = {0x89, 'P', 'N', 'G', 1, 2, 3};
    demo.content.cursors[0].colourFile = pngOf(5, 5, 0);  // does not fit its 4 x 4 mask
    CExternalFormatReader reader;
    ASSERT_TRUE(reader.Load(demo.write())) << reader.lastError();
    EXPECT_EQ(reader.skipped().size(), 2u);
    EXPECT_EQ(reader.GetPoolPicture(0), nullptr);
    EXPECT_NE(reader.GetPoolPicture(1), nullptr);
    EXPECT_EQ(reader.GetCursorCount(), 1);
    EXPECT_EQ(reader.GetCursor(0), nullptr);
    // The template names pool picture 0, which is gone: no balloon is stretched from nothing.
    EXPECT_EQ(reader.GetCaptionTemplateCount(), 1);
    EXPECT_EQ(reader.GetCaptionTemplate(0), nullptr);
    EXPECT_EQ(reader.GetCaption(0)->GetTemplate(), nullptr);
}

TEST(ExternalFormatReader, ATemplateNamingNoPoolPictureIsNotHandedOut) {
    const std::pair<std::int32_t, bool> cases[] = {{-1, false}, {0, true}, {1, true}, {2, false}};
    for (auto [id, handedOut] : cases) {  // the pool holds pictures 0 and 1
        SmallDemo demo(1);
        demo.content.captionTemplates[0].id = id;
        CExternalFormatReader reader;
        ASSERT_TRUE(reader.Load(demo.write())) << reader.lastError();
        EXPECT_EQ(reader.GetCaptionTemplate(0) != nullptr, handedOut) << id;
    }
}

TEST(ExternalFormatReader, CursorPlacementsNameOnlyStoredCursors) {
    const std::pair<std::int32_t, bool> cases[] = {{-1, false}, {0, true}, {1, false}};
    for (auto [index, kept] : cases) {  // the demo stores one cursor
        SmallDemo demo(3);
        demo.content.cursorPlacements.push_back({index, 102, false, 0, 0});
        CExternalFormatReader reader;
        ASSERT_TRUE(reader.Load(demo.write())) << reader.lastError();
        EXPECT_EQ(reader.GetFrameByIndex(2)->GetCursorPlacement() != nullptr, kept) << index;
        EXPECT_EQ(reader.skipped().size(), kept ? 0u : 1u) << index;
    }
}

TEST(ExternalFormatReader, OrderGapStopsMergingButLoads) {
    SmallDemo demo(3);
    demo.content.highlightPlacements[0].order = 5;  // frame 0: orders 0, 1, 5
    CExternalFormatReader reader;
    ASSERT_TRUE(reader.Load(demo.write())) << reader.lastError();
    ASSERT_EQ(reader.skipped().size(), 1u);
    EXPECT_EQ(reader.GetFrameByIndex(0)->GetPlacementCount(), 3);
    EXPECT_EQ(reader.GetFrameByIndex(1)->GetPlacementCount(), 0);  // never merged
}

TEST(ExternalFormatReader, CaptionImagesInsteadOfTemplates) {
    SmallDemo demo(2);
    demo.content.captionsAreImages = true;
    demo.content.captionImages = {pngOf(5, 4, 0x123456)};
    CExternalFormatReader reader;
    ASSERT_TRUE(reader.Load(demo.write())) << reader.lastError();
    EXPECT_TRUE(reader.CaptionsAreImages());
    EXPECT_EQ(reader.GetCaptionTemplateCount(), 0);
    ASSERT_NE(reader.GetCaptionImage(0), nullptr);
    EXPECT_EQ(reader.GetCaptionImage(0)->width(), 5);
    EXPECT_EQ(reader.GetCaption(0)->GetTemplate(), nullptr);
}

TEST(ExternalFormatReader, EveryTruncationFailsWithAReason) {
    SmallDemo demo(2);
    auto file = demo.write();
    for (std::size_t cut = 0; cut < file.size(); ++cut) {
        CExternalFormatReader reader;
        ASSERT_FALSE(reader.Load(std::span(file).first(cut))) << "cut at " << cut;
        EXPECT_FALSE(reader.lastError().empty());
        EXPECT_EQ(reader.GetFrameCount(), 0);
    }
}

}  // namespace
