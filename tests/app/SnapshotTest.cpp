#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "AppTestSupport.h"
#include "app/Snapshot.h"
#include "base/DiskFile.h"
#include "images/PngCodec.h"
#include "support/TestSupport.h"

namespace lumenreel::test {
namespace {

// Text is drawn through the system's fonts, so a few pixels of glyph edges may differ between
// machines: a pixel matches when every channel is within kChannelTolerance, and a picture
// matches when no more than kMismatchShare of its pixels do not.
constexpr int kChannelTolerance = 24;
constexpr double kMismatchShare = 0.005;

double mismatchShare(const CImageExt& a, const CImageExt& b) {
    const PixelView pa = a.view(), pb = b.view();
    long mismatches = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x) {
            const std::uint8_t* p = pa.row(y) + x * pa.bytesPerPixel;
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

class SnapshotTest : public ::testing::Test {
protected:
    void SetUp() override { writeBytes(dir.path() / "demo.zcd", makeTestDemo(320, 200)); }

    // Compares with the stored picture; LUMENREEL_UPDATE_SNAPSHOTS=1 stores it instead.
    void expectMatches(const SnapshotOptions& options, const std::string& name) {
        CImageExt picture;
        std::string error;
        ASSERT_TRUE(renderSnapshot(defaultResources(), options, picture, error)) << error;
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
        EXPECT_LE(mismatchShare(picture, expected), kMismatchShare) << name;
    }

    TempDir dir;
};

TEST_F(SnapshotTest, TheWindowAtChosenMomentsMatchesTheStoredPictures) {
    SnapshotOptions options;
    options.movie = dir.path() / "demo.zcd";
    options.at = 0.5f;
    expectMatches(options, "window-first-frame.png");
    options.at = 1.5f;
    expectMatches(options, "window-highlight.png");
    options.size = Size{640, 420};
    expectMatches(options, "window-resized.png");
    options.size.reset();
    options.fullScreen = true;
    options.size = Size{800, 600};
    expectMatches(options, "window-fullscreen.png");
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
