#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "TourDocument.h"
#include "TourScreens.h"
#include "TourScript.h"
#include "images/ImageExt.h"
#include "images/PngCodec.h"
#include "items/DrawItemSmoke.h"
#include "player/DocImp.h"
#include "player/SkinEmbedded.h"
#include "player/SkinPackage.h"
#include "published/ExternalFormatReader.h"
#include "support/TestSupport.h"
#include "themes/PlayerThemes.h"
#include "themes/ThemeFiles.h"

namespace lumenreel::test {
namespace {

namespace fs = std::filesystem;
using NKWXDecodersEncoders::CExternalFormatReader;

const fs::path kSampleDir = LUMENREEL_SAMPLE_DIR;
const fs::path kReferenceDir = LUMENREEL_TOUR_REFERENCE_DIR;

tour::TourOptions writtenTour() {
    tour::TourOptions options;
    options.narrationScript = (kSampleDir / "narration.txt").string();
    options.narrationSound = (kSampleDir / "narration.ogg").string();
    return options;
}

// The tour is built and written once for the whole suite, as the build step does.
class TourTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        built = std::make_unique<tour::Tour>();
        std::string error;
        ASSERT_TRUE(tour::buildTour(writtenTour(), *built, error)) << error;
        auto bytes = zcd::writeZcd(built->content, error, &stats);
        ASSERT_TRUE(bytes) << error;
        file = std::move(*bytes);
    }
    static void TearDownTestSuite() { built.reset(); }

    void SetUp() override {
        ASSERT_FALSE(file.empty());
        ASSERT_TRUE(reader.Load(file)) << reader.lastError();
        source.SetReader(&reader);
    }

    static inline std::unique_ptr<tour::Tour> built;
    static inline std::vector<std::uint8_t> file;
    static inline zcd::PictureStreamStats stats;
    CExternalFormatReader reader;
    CDocImp source;
};

TEST_F(TourTest, RunsAtLeastTwelveFramesAndFortyFiveSecondsWithItsNarration) {
    EXPECT_GE(source.FrameCount(), 12);
    EXPECT_GE(source.Duration(), 45.0f);
    EXPECT_EQ(source.DisplaySize(), (zcd::Size{tour::kScreenWidth, tour::kScreenHeight}));
    ASSERT_NE(reader.GetSoundtrack(), nullptr);
    EXPECT_EQ(reader.GetSoundtrack()->kind(), CSoundTrack::kOgg);
    // The narration is padded to the frames' lengths, so it ends with the last frame.
    ASSERT_TRUE(haveProgram("soxi"));
    auto result = runCommand("soxi -D " + shellQuote((kSampleDir / "narration.ogg").string()));
    ASSERT_EQ(result.exitCode, 0) << result.err;
    EXPECT_NEAR(std::stod(result.out), source.Duration(), 0.05);
}

TEST_F(TourTest, PicturesAreStoredAsCopiesScrollsAndTilesLikeARealCapture) {
    EXPECT_GT(stats.listB, 0) << "unchanged areas copied";
    EXPECT_GT(stats.listC, 0) << "scrolled areas moved";
    EXPECT_GT(stats.smallTiles + stats.largeTiles, 0) << "local changes as tiles";
    // Only the first picture and the switch to another list change most of the screen.
    EXPECT_LE(stats.fullPictures, 2);
}

TEST_F(TourTest, EveryCaptionAndPointerStopStaysOnTheScreen) {
    const auto& content = built->content;
    EXPECT_EQ(content.captions.size(), content.frames.size());
    for (const auto& caption : content.captions) {
        EXPECT_GE(caption.rect.left, 0) << caption.id;
        EXPECT_GE(caption.rect.top, 0) << caption.id;
        EXPECT_LE(caption.rect.right, tour::kScreenWidth) << caption.id;
        EXPECT_LE(caption.rect.bottom, tour::kScreenHeight) << caption.id;
        EXPECT_LE(caption.textRect.bottom, caption.rect.height()) << caption.id;
    }
    for (const auto& cursor : content.cursorPlacements) {
        EXPECT_TRUE(cursor.x >= 0 && cursor.x < tour::kScreenWidth) << cursor.frameId;
        EXPECT_TRUE(cursor.y >= 0 && cursor.y < tour::kScreenHeight) << cursor.frameId;
    }
}

// The stored pictures were made with `lumenreel render` (assets/sample/update-references.sh);
// each is named by its movie time. Only text may come out a little differently, smoothed by
// another FreeType: inside the captions' rectangles a pixel counts as different when a channel is
// off by more than 40, and up to 0.5 % of those pixels may differ. Everything else (the frame,
// highlights, the logo, the pointer and every fade) must match exactly, so a missing cursor or a
// fade off by one level fails.
TEST_F(TourTest, MomentsLookLikeTheStoredPictures) {
    std::vector<fs::path> references;
    for (const auto& entry : fs::directory_iterator(kReferenceDir))
        if (entry.path().extension() == ".png")
            references.push_back(entry.path());
    ASSERT_GE(references.size(), 4u);
    std::sort(references.begin(), references.end());
    auto inCaption = [](int x, int y) {
        return std::any_of(built->content.captions.begin(), built->content.captions.end(),
                           [&](const auto& caption) {
                               const zcd::Rect& r = caption.rect;
                               return x >= r.left && x < r.right && y >= r.top && y < r.bottom;
                           });
    };
    for (const fs::path& path : references) {
        SCOPED_TRACE(path.filename().string());
        float t = std::stof(path.stem().string().substr(std::string("tour-").size()));
        std::ifstream in(path, std::ios::binary);
        std::vector<std::uint8_t> png((std::istreambuf_iterator<char>(in)), {});
        CImageExt expected, actual;
        ASSERT_TRUE(decodePng(png, expected));
        ASSERT_TRUE(actual.create(expected.width(), expected.height(), 32));
        ASSERT_TRUE(source.RenderAt(t, actual));
        int captionPixels = 0, differentInCaptions = 0, differentElsewhere = 0;
        for (int y = 0; y < expected.height(); ++y)
            for (int x = 0; x < expected.width(); ++x) {
                std::uint32_t a = actual.pixel(x, y) & 0xFFFFFF,
                              e = expected.pixel(x, y) & 0xFFFFFF;
                if (!inCaption(x, y)) {
                    differentElsewhere += a != e;
                    continue;
                }
                ++captionPixels;
                for (int shift : {0, 8, 16})
                    if (std::abs(static_cast<int>((a >> shift) & 0xFF) -
                                 static_cast<int>((e >> shift) & 0xFF)) > 40) {
                        ++differentInCaptions;
                        break;
                    }
            }
        EXPECT_EQ(differentElsewhere, 0);
        EXPECT_LE(differentInCaptions, captionPixels / 200);
    }
}

// The document tour, written from the same plan and read back as the player reads it, with the
// balloons of the compiled-in skin.
class DocumentTourTest : public TourTest {
protected:
    static void SetUpTestSuite() {
        TourTest::SetUpTestSuite();
        ASSERT_TRUE(skin.Open(embeddedSkinPackage()));
        themes = std::make_unique<CThemesManagerZC>(ThemeFiles::inPackage(*skin.FileSystem()));
        CZephyrcastBaseDocument written(themes.get());
        std::string error;
        ASSERT_TRUE(tour::buildTourDocument(built->plan, written, error)) << error;
        auto bytes = written.save();
        ASSERT_TRUE(bytes) << written.lastError();
        documentFile = std::move(*bytes);
    }
    static void TearDownTestSuite() {
        themes.reset();
        TourTest::TearDownTestSuite();
    }

    void SetUp() override {
        TourTest::SetUp();
        document = std::make_unique<CZephyrcastBaseDocument>(themes.get());
        ASSERT_TRUE(document->load(documentFile)) << document->lastError();
        documentSource.SetDocument(document.get());
    }

    // The balloon on the document's playing position, as placed.
    Rect documentCaption(int position) const {
        const CDrawCommonItemListManager& items = document->frameAt(position)->itemList();
        for (int i = 0; i < items.count(); ++i)
            if (auto* caption = dynamic_cast<CDrawItem_zcSmoke*>(items.itemAt(i)))
                return caption->bounds();
        return {};
    }

    static inline CSkinPackage skin;
    static inline std::unique_ptr<CThemesManagerZC> themes;
    static inline std::vector<std::uint8_t> documentFile;
    std::unique_ptr<CZephyrcastBaseDocument> document;
    CDocImp documentSource;
};

TEST_F(DocumentTourTest, PlaysAsLongAsThePublishedTourWithItsHiddenFrameLeftOut) {
    EXPECT_EQ(documentSource.FrameCount(), source.FrameCount());
    EXPECT_FLOAT_EQ(documentSource.Duration(), source.Duration());
    EXPECT_EQ(documentSource.DisplaySize(), source.DisplaySize());
    EXPECT_EQ(document->frameCount(), source.FrameCount() + 1);
    int hidden = 0;
    for (int position = 0; position < document->frameCount(); ++position)
        hidden += !document->isFrameVisible(*document->frameAt(position));
    EXPECT_EQ(hidden, 1);
    EXPECT_NEAR(document->soundtrack().Duration(), source.Duration(), 0.05);
    EXPECT_TRUE(themes->substitutions().empty()) << "the captions ask for a balloon the skin has";
    for (int position = 0; position < document->frameCount(); ++position) {
        const Rect r = documentCaption(position);
        SCOPED_TRACE(position);
        EXPECT_GE(r.left, 0);
        EXPECT_GE(r.top, 0);
        EXPECT_LE(r.right, tour::kScreenWidth);
        EXPECT_LE(r.bottom, tour::kScreenHeight);
    }
}

// Backgrounds, pointer, highlights and the logo come out the same from either kind, at each
// frame's start, within its fades and at its end; only the balloons are drawn differently.
TEST_F(DocumentTourTest, ShowsWhatThePublishedTourShowsOutsideTheBalloons) {
    CImageExt published, authored;
    ASSERT_TRUE(published.create(tour::kScreenWidth, tour::kScreenHeight, 32));
    ASSERT_TRUE(authored.create(tour::kScreenWidth, tour::kScreenHeight, 32));
    const auto& captions = built->content.captions;
    float frameStart = 0;
    int visible = 0;
    for (int position = 0; position < document->frameCount(); ++position) {
        if (!document->isFrameVisible(*document->frameAt(position)))
            continue;
        const tour::TourStep& step = built->plan.steps[static_cast<std::size_t>(visible)];
        const Rect mine = documentCaption(position);
        const auto theirs = std::find_if(captions.begin(), captions.end(),
                                         [&](const auto& c) { return c.id == 1000 + visible + 1; });
        auto inBalloon = [&](int x, int y) {
            const bool inMine =
                x >= mine.left && x < mine.right && y >= mine.top && y < mine.bottom;
            const bool inTheirs = theirs != captions.end() && x >= theirs->rect.left &&
                                  x < theirs->rect.right && y >= theirs->rect.top &&
                                  y < theirs->rect.bottom;
            return inMine || inTheirs;
        };
        for (float local : {0.2f, 0.8f, step.length - 0.15f}) {
            const float t = frameStart + local;
            SCOPED_TRACE("frame " + std::to_string(visible + 1) + " at " + std::to_string(t));
            ASSERT_TRUE(source.RenderAt(t, published));
            ASSERT_TRUE(documentSource.RenderAt(t, authored));
            int different = 0;
            for (int y = 0; y < published.height(); ++y)
                for (int x = 0; x < published.width(); ++x)
                    different += !inBalloon(x, y) && (published.pixel(x, y) & 0xFFFFFF) !=
                                                         (authored.pixel(x, y) & 0xFFFFFF);
            EXPECT_EQ(different, 0);
        }
        frameStart += step.length;
        ++visible;
    }
    EXPECT_EQ(visible, source.FrameCount());
}

TEST(TourScriptTest, LongerVariantAddsScrollingFramesAfterTheTour) {
    tour::TourOptions options = writtenTour();
    options.narrationSound.clear();
    options.frames = 15;
    tour::Tour longer;
    std::string error;
    ASSERT_TRUE(tour::buildTour(options, longer, error)) << error;
    ASSERT_EQ(longer.content.frames.size(), 15u);
    EXPECT_EQ(longer.content.soundtrack, nullptr);
    ASSERT_TRUE(zcd::writeZcd(longer.content, error)) << error;
    // The extra frames scroll: neighbouring pictures differ.
    EXPECT_FALSE(longer.plan.pictures[13].equals(longer.plan.pictures[14]));
}

TEST(TourScriptTest, BadNarrationScriptsAreRefused) {
    TempDir dir;
    struct Case {
        const char* name;
        const char* text;
    };
    const Case cases[] = {{"words", "soon\tHello.\n"},
                          {"zero", "0\tHello.\n"},
                          {"negative", "-2\tHello.\n"},
                          {"too-few", "4\tHello.\n5\tGoodbye.\n"}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        fs::path path = dir / c.name;
        std::ofstream(path) << c.text;
        tour::TourOptions options;
        options.narrationScript = path.string();
        tour::Tour result;
        std::string error;
        EXPECT_FALSE(tour::buildTour(options, result, error));
        EXPECT_NE(error.find(path.string()), std::string::npos) << error;
    }
    std::string error;
    EXPECT_TRUE(tour::readFrameLengths((dir / "missing").string(), error).empty());
    EXPECT_FALSE(error.empty());
}

}  // namespace
}  // namespace lumenreel::test
