#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <optional>
#include <set>
#include <string>

#include "AppTestSupport.h"
#include "app/FileList.h"
#include "app/Snapshot.h"
#include "base/DiskFile.h"
#include "images/PixelBlit.h"
#include "images/PngCodec.h"
#include "player/DocImp.h"
#include "player/PanelNavigateDialog.h"
#include "published/ExternalFormatReader.h"
#include "support/TestSupport.h"

namespace lumenreel::test {
namespace {

using NKWXDecodersEncoders::CExternalFormatReader;

// Text is drawn through the system's fonts, so a few pixels of glyph edges may differ between
// machines: a pixel matches when every channel is within kChannelTolerance, and a picture
// matches when no more than kMismatchShare of its pixels do not.
constexpr int kChannelTolerance = 24;
constexpr double kMismatchShare = 0.005;

// The share of mismatching pixels outside `exact`; inside it (the movie, drawn by our own code
// alone) every pixel must be equal, counted in `exactMismatches`.
double mismatchShare(const CImageExt& a, const CImageExt& b, const Rect& exact = {},
                     long* exactMismatches = nullptr) {
    const PixelView pa = a.view(), pb = b.view();
    long mismatches = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x) {
            const std::uint8_t* p = pa.row(y) + x * pa.bytesPerPixel;
            if (x >= exact.left && x < exact.right && y >= exact.top && y < exact.bottom) {
                if (std::memcmp(p, pb.row(y) + x * pb.bytesPerPixel, 3) != 0 && exactMismatches)
                    ++*exactMismatches;
                continue;
            }
            const std::uint8_t* q = pb.row(y) + x * pb.bytesPerPixel;
            for (int channel = 0; channel < 3; ++channel) {
                if (std::abs(p[channel] - q[channel]) > kChannelTolerance) {
                    ++mismatches;
                    break;
                }
            }
        }
    return static_cast<double>(mismatches) / (static_cast<double>(a.width()) * a.height());
}

// Where the moment appears unscaled in the window, found by its pixels.
std::optional<Rect> placeOf(const CImageExt& moment, const CImageExt& window) {
    const PixelView m = moment.view(), w = window.view();
    auto matchesAt = [&](int left, int top) {
        for (int y = 0; y < moment.height(); ++y)
            for (int x = 0; x < moment.width(); ++x)
                if (std::memcmp(m.row(y) + x * m.bytesPerPixel,
                                w.row(top + y) + (left + x) * w.bytesPerPixel, 3) != 0)
                    return false;
        return true;
    };
    for (int top = 0; top + moment.height() <= window.height(); ++top)
        for (int left = 0; left + moment.width() <= window.width(); ++left)
            if (matchesAt(left, top))
                return Rect{left, top, left + moment.width(), top + moment.height()};
    return std::nullopt;
}

class SnapshotTest : public ::testing::Test {
protected:
    void SetUp() override { writeBytes(dir.path() / "demo.zcd", makeTestDemo(320, 200)); }

    // Compares with the stored picture; LUMENREEL_UPDATE_SNAPSHOTS=1 stores it instead. Where the
    // movie shows unscaled, its moment is found in the window and must match exactly there.
    void expectMatches(const SnapshotOptions& options, const std::string& name,
                       bool movieUnscaled = false) {
        CImageExt picture;
        std::string error;
        ASSERT_TRUE(renderSnapshot(defaultResources(), options, picture, error)) << error;
        Rect movie;
        if (movieUnscaled) {
            std::optional<Rect> found = placeOf(momentAt(options.at), picture);
            ASSERT_TRUE(found) << name << ": the window does not show the moment unchanged";
            movie = *found;
        }
        expectPictureMatches(picture, name, movie);
    }

    // The movie's rectangle must match exactly, the rest within the tolerance.
    void expectPictureMatches(const CImageExt& picture, const std::string& name,
                              const Rect& movie = {}) {
        const auto stored = dataPath("app/" + name);
        if (std::getenv("LUMENREEL_UPDATE_SNAPSHOTS")) {
            CImageExt opaque;
            std::vector<std::uint8_t> png;
            ASSERT_TRUE(opaque.from24(picture, false) && encodePng(opaque, png));
            writeBytes(stored, png);
            return;
        }
        CImageExt expected;
        ASSERT_TRUE(expected.loadFromBytes(readBytes(stored))) << stored;
        ASSERT_EQ(picture.width(), expected.width()) << name;
        ASSERT_EQ(picture.height(), expected.height()) << name;
        long movieMismatches = 0;
        EXPECT_LE(mismatchShare(picture, expected, movie, &movieMismatches), kMismatchShare)
            << name;
        EXPECT_EQ(movieMismatches, 0) << name << ": the movie differs from the stored one";
    }

    // The demo's moment t as the player draws it, without the window.
    CImageExt momentAt(float t) {
        CExternalFormatReader reader;
        EXPECT_TRUE(reader.Load(readBytes(dir.path() / "demo.zcd"))) << reader.lastError();
        CDocImp source;
        source.SetReader(&reader);
        CImageExt moment;
        moment.create(source.DisplaySize().width, source.DisplaySize().height, 32);
        EXPECT_TRUE(source.RenderAt(t, moment));
        return moment;
    }

    TempDir dir;
};

TEST_F(SnapshotTest, TheWindowAtChosenMomentsMatchesTheStoredPictures) {
    SnapshotOptions options;
    options.movie = dir.path() / "demo.zcd";
    options.at = 0.5f;
    expectMatches(options, "window-first-frame.png", true);
    options.at = 1.5f;
    expectMatches(options, "window-highlight.png", true);
    options.size = Size{640, 420};
    expectMatches(options, "window-resized.png");
    options.size.reset();
    options.fullScreen = true;
    options.size = Size{800, 600};
    expectMatches(options, "window-fullscreen.png");
}

// A document's moment with a balloon from the skin's item set and a highlight that other frames
// refer to, and the moment after its hidden frame.
TEST_F(SnapshotTest, ADocumentInTheWindowMatchesTheStoredPictures) {
    writeBytes(dir.path() / "rich.zcs", richDocumentFile());
    SnapshotOptions options;
    options.movie = dir.path() / "rich.zcs";
    options.at = 5.5f;
    expectMatches(options, "window-document-caption.png");
    options.at = 2.5f;
    expectMatches(options, "window-document-after-hidden.png");
}

TEST_F(SnapshotTest, NoMovieAndADamagedMovieShowTheirMessage) {
    SnapshotOptions options;
    expectMatches(options, "window-empty.png");
    std::vector<std::uint8_t> damaged = readBytes(dir.path() / "demo.zcd");
    damaged.resize(200);
    writeBytes(dir.path() / "damaged.zcd", damaged);
    options.movie = dir.path() / "damaged.zcd";
    expectMatches(options, "window-damaged.png");
}

TEST_F(SnapshotTest, AMovieThatCannotBePlayedWritesNoPictureAndSaysWhy) {
    std::vector<std::uint8_t> damaged = readBytes(dir.path() / "demo.zcd");
    damaged.resize(200);
    writeBytes(dir.path() / "damaged.zcd", damaged);
    struct Case {
        std::string movie;
        std::string reason;
    };
    for (const Case& c : {Case{"damaged.zcd", "damaged.zcd: "}, {"missing.zcd", "no such file"}}) {
        SnapshotOptions options;
        options.movie = dir.path() / c.movie;
        std::string error;
        EXPECT_FALSE(writeSnapshot(defaultResources(), options, dir.path() / "out.png", error));
        EXPECT_NE(error.find(c.reason), std::string::npos) << error;
        EXPECT_FALSE(std::filesystem::exists(dir.path() / "out.png")) << c.movie;
    }
}

// The built-in file list over a picture, longer than it shows, its selection on a long name. Its
// title names the temporary folder, which differs every run, so that row is blanked.
TEST_F(SnapshotTest, TheFileListMatchesTheStoredPicture) {
    for (const char* folder : {"Talks", "archive"})
        std::filesystem::create_directory(dir / folder);
    for (int i = 1; i <= 12; ++i)
        writeBytes(dir / ("lesson " + std::to_string(i) + ".zcs"), {});
    writeBytes(dir / "a tour of every window, menu and button of the program, in order.zcd", {});
    FileList list;
    list.Open(dir.path());
    list.Act(FileList::Action::Down);
    list.Act(FileList::Action::Down);
    list.Act(FileList::Action::Down);
    CImageExt picture;
    picture.create(420, 300, 32);
    fillPixels(picture.view(), 0, 0, 420, 300, 0xFF3C6E8C);
    list.Draw(picture, {0, 0, 420, 300});
    const Rect bounds = list.Bounds();
    fillPixels(picture.view(), bounds.left, bounds.top, static_cast<int>(bounds.width()), 36,
               0xFF000000);
    expectPictureMatches(picture, "file-list.png");
}

// Colours that the rows from top to bottom (exclusive) hold between the columns left and right.
std::set<std::uint32_t> coloursIn(const CImageExt& picture, int left, int right, int top,
                                  int bottom) {
    std::set<std::uint32_t> colours;
    for (int y = top; y < bottom; ++y)
        for (int x = left; x < right; ++x)
            colours.insert(picture.pixel(x, y) & 0xFFFFFF);
    return colours;
}

// The 2 × 2 blocks of the box, from its even corner, whose four pixels are not all alike: none
// where a picture was enlarged by repeating its pixels.
int mixedBlocks(const CImageExt& picture, const Rect& box) {
    int mixed = 0;
    for (int y = box.top; y + 1 < box.bottom; y += 2)
        for (int x = box.left; x + 1 < box.right; x += 2) {
            const std::uint32_t corner = picture.pixel(x, y);
            mixed += picture.pixel(x + 1, y) != corner || picture.pixel(x, y + 1) != corner ||
                     picture.pixel(x + 1, y + 1) != corner;
        }
    return mixed;
}

// At scale 2 the window is twice as large throughout and its skin is drawn at that size: the
// panel's hard top edge keeps two colours in whole rows (no blending enlargement), and the Play
// button's round edge is finer than two pixels (no enlargement by repeating pixels). The movie
// shows at twice its size in twice the place.
TEST_F(SnapshotTest, AtScaleTwoTheWindowIsTwiceAsLargeAndItsSkinIsDrawnAtThatSize) {
    SnapshotOptions options;
    options.movie = dir.path() / "demo.zcd";
    options.at = 0.5f;
    CImageExt single, twice;
    std::string error;
    ASSERT_TRUE(renderSnapshot(defaultResources(), options, single, error)) << error;
    options.scale = 2;
    ASSERT_TRUE(renderSnapshot(defaultResources(), options, twice, error)) << error;
    ASSERT_EQ(twice.width(), 2 * single.width());
    ASSERT_EQ(twice.height(), 2 * single.height());

    const int panelTop = twice.height() - 2 * CPlayerNavigateDialog::kDefaultHeight;
    // The body's dark top line and the light one below it, each one skin pixel high.
    const std::set<std::uint32_t> dark = coloursIn(twice, 20, 280, panelTop, panelTop + 2);
    const std::set<std::uint32_t> light = coloursIn(twice, 20, 280, panelTop + 2, panelTop + 4);
    EXPECT_EQ(dark.size(), 1u);
    EXPECT_EQ(light.size(), 1u);
    EXPECT_NE(dark, light);
    EXPECT_EQ(coloursIn(single, 10, 140, single.height() - 45, single.height() - 44), dark);
    const Rect play{16, panelTop + 26, 16 + 56, panelTop + 26 + 54};
    EXPECT_GT(mixedBlocks(twice, play), 40);

    const std::optional<Rect> movie = placeOf(momentAt(options.at), single);
    ASSERT_TRUE(movie);
    CImageExt enlarged;
    ASSERT_TRUE(momentAt(options.at).copyTo(enlarged));
    ASSERT_TRUE(
        enlarged.resize(2 * enlarged.width(), 2 * enlarged.height(), CImageExt::kNearestNeighbor));
    CImageExt shown;
    ASSERT_TRUE(shown.create(enlarged.width(), enlarged.height(), 32));
    copyPixels(
        subView(twice.view(), 2 * movie->left, 2 * movie->top, enlarged.width(), enlarged.height()),
        shown.view(), 0, 0, enlarged.width(), enlarged.height());
    long differing = 0;
    mismatchShare(shown, enlarged, Rect{0, 0, shown.width(), shown.height()}, &differing);
    EXPECT_EQ(differing, 0) << "each movie pixel shows as a 2 x 2 block";
    expectPictureMatches(twice, "window-first-frame-scale2.png");
}

TEST_F(SnapshotTest, MomentsDifferWhereTheMovieDoes) {
    SnapshotOptions options;
    options.movie = dir.path() / "demo.zcd";
    CImageExt first, second;
    std::string error;
    options.at = 0.5f;
    ASSERT_TRUE(renderSnapshot(defaultResources(), options, first, error)) << error;
    options.at = 2.5f;
    ASSERT_TRUE(renderSnapshot(defaultResources(), options, second, error)) << error;
    EXPECT_GT(mismatchShare(first, second), 0.3);
}

}  // namespace
}  // namespace lumenreel::test
