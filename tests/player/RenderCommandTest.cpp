#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "images/ImageExt.h"
#include "player/HeadlessMovie.h"
#include "published/ZcdWriter.h"
#include "support/TestSupport.h"

namespace lumenreel::test {
namespace {

// A 3-frame, 3 s demo of 40 × 30 pictures with a highlight on the second frame, written to disk.
class RenderCommandTest : public ::testing::Test {
protected:
    RenderCommandTest() {
        pictures.reserve(3);  // the writer keeps pointers to them
        for (int i = 0; i < 3; ++i) {
            pictures.emplace_back();
            pictures.back().create(40, 30, 24);
            for (int y = 0; y < 30; ++y)
                for (int x = 0; x < 40; ++x)
                    pictures.back().setPixel(x, y,
                                             static_cast<std::uint32_t>(x * 6 + i * 80) |
                                                 static_cast<std::uint32_t>(y * 8) << 8);
            content.frames.push_back({{i + 1, 1.0f, 0.0f, 1.0f}, &pictures.back()});
        }
        content.highlights.push_back({7, {5, 5, 25, 20}, 0x00FF00, 0x2040C0, 1.0f, false});
        zcd::WriterPlacement shown;
        shown.frameId = 2;
        shown.objectId = 7;
        shown.end = 1.0f;
        content.highlightPlacements.push_back(shown);
        std::string error;
        auto file = zcd::writeZcd(content, error);
        EXPECT_TRUE(file) << error;
        writeBytes(demoPath(), *file);
    }

    std::filesystem::path demoPath() const { return dir / "demo.zcd"; }
    std::string lumenreel() const { return shellQuote((binaryDir() / "lumenreel").string()); }

    // The picture as ImageMagick reads it back: 8-bit RGB bytes, row by row.
    static std::string magickRgb(const std::filesystem::path& png) {
        auto result = runCommand("convert " + shellQuote(png.string()) + " -depth 8 rgb:-");
        EXPECT_EQ(result.exitCode, 0) << result.err;
        return result.out;
    }

    static std::string rgbOf(const CImageExt& frame) {
        std::string rgb;
        for (int y = 0; y < frame.height(); ++y)
            for (int x = 0; x < frame.width(); ++x) {
                std::uint32_t p = frame.pixel(x, y);
                rgb += static_cast<char>(p >> 16);
                rgb += static_cast<char>(p >> 8);
                rgb += static_cast<char>(p);
            }
        return rgb;
    }

    TempDir dir;
    std::vector<CImageExt> pictures;
    zcd::ZcdContent content;
};

TEST_F(RenderCommandTest, RenderWritesTheMomentAsAPngOfTheBitmapSize) {
    if (!haveProgram("convert"))
        GTEST_SKIP() << "ImageMagick is not installed";
    auto out = dir / "moment.png";
    auto result = runCommand(lumenreel() + " render " + shellQuote(demoPath().string()) +
                             " --time 1.5 --output " + shellQuote(out.string()));
    ASSERT_EQ(result.exitCode, 0) << result.err;

    HeadlessMovie movie;
    std::string reason;
    ASSERT_EQ(movie.open(demoPath(), reason), HeadlessMovie::OpenResult::ok) << reason;
    const CImageExt* frame = movie.renderAt(1.5f);
    ASSERT_NE(frame, nullptr);
    EXPECT_EQ(frame->width(), 40);
    // The highlight shows on the second frame: the moment differs from the bare picture.
    EXPECT_NE(frame->pixel(10, 10) & 0xFFFFFF, pictures[1].pixel(10, 10) & 0xFFFFFF);
    EXPECT_EQ(magickRgb(out), rgbOf(*frame));
}

TEST_F(RenderCommandTest, FramesWritesOnePicturePerStepIncludingTheLast) {
    auto all = dir / "all";
    auto result = runCommand(lumenreel() + " frames " + shellQuote(demoPath().string()) +
                             " --fps 2 --output-dir " + shellQuote(all.string()));
    ASSERT_EQ(result.exitCode, 0) << result.err;
    EXPECT_EQ(result.err, "");  // no progress bar without a terminal
    int count = 0;
    for (const auto& entry : std::filesystem::directory_iterator(all))
        count += entry.is_regular_file();
    EXPECT_EQ(count, 7);  // 0, 0.5, … 3.0
    EXPECT_TRUE(std::filesystem::exists(all / "frame_000006.png"));

    auto part = dir / "part";
    result = runCommand(lumenreel() + " frames " + shellQuote(demoPath().string()) +
                        " --fps 4 --from 1 --to 2 --output-dir " + shellQuote(part.string()));
    ASSERT_EQ(result.exitCode, 0) << result.err;
    // Named by the moment's step on the movie's clock: 1 s at 4 per second is step 4.
    EXPECT_FALSE(std::filesystem::exists(part / "frame_000003.png"));
    EXPECT_TRUE(std::filesystem::exists(part / "frame_000004.png"));
    EXPECT_TRUE(std::filesystem::exists(part / "frame_000008.png"));
    EXPECT_FALSE(std::filesystem::exists(part / "frame_000009.png"));
    if (!haveProgram("convert"))
        return;
    HeadlessMovie movie;
    std::string reason;
    ASSERT_EQ(movie.open(demoPath(), reason), HeadlessMovie::OpenResult::ok) << reason;
    EXPECT_EQ(magickRgb(part / "frame_000006.png"), rgbOf(*movie.renderAt(1.5f)));
}

TEST_F(RenderCommandTest, FramesPastTheEndStopAtTheEnd) {
    auto tail = dir / "tail";
    auto result =
        runCommand(lumenreel() + " frames " + shellQuote(demoPath().string()) +
                   " --fps 4 --from 2 --to 1e9 --output-dir " + shellQuote(tail.string()));
    ASSERT_EQ(result.exitCode, 0) << result.err;
    EXPECT_TRUE(std::filesystem::exists(tail / "frame_000012.png"));  // 2, 2.25, … 3
    EXPECT_FALSE(std::filesystem::exists(tail / "frame_000013.png"));
}

TEST_F(RenderCommandTest, FramesGoIntoAFolderOfEarlierFramesOnlyWithOverwrite) {
    const auto out = dir / "seq";
    const std::string frames = lumenreel() + " frames " + shellQuote(demoPath().string()) +
                               " --fps 2 --output-dir " + shellQuote(out.string());
    ASSERT_EQ(runCommand(frames + " --to 1").exitCode, 0);
    const std::vector<std::uint8_t> stale(8, 0x5A);
    writeBytes(out / "frame_000002.png", stale);

    CommandResult result = runCommand(frames + " --from 1");
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_EQ(result.err, "lumenreel: " + out.string() +
                              ": the folder holds earlier frames (--overwrite replaces them)\n");
    EXPECT_FALSE(std::filesystem::exists(out / "frame_000003.png"));

    result = runCommand(frames + " --from 1 --overwrite");
    ASSERT_EQ(result.exitCode, 0) << result.err;
    // The second run continues the first one's numbering: 0 … 3 s at 2 per second, once each.
    int count = 0;
    for (const auto& entry : std::filesystem::directory_iterator(out))
        count += entry.path().extension() == ".png";
    EXPECT_EQ(count, 7);
    EXPECT_NE(readBytes(out / "frame_000002.png"), stale);  // the 1 s moment written again

    result = runCommand(frames + " --from 1.1 --to 1.2 --overwrite");
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_NE(result.err.find("no moment k / fps lies between --from and --to"), std::string::npos)
        << result.err;
}

TEST_F(RenderCommandTest, OutputThatCannotBeWrittenIsNoSuccess) {
    auto result = runCommand("{ " + lumenreel() + " info " + shellQuote(demoPath().string()) +
                             " >/dev/full; }");
    EXPECT_EQ(result.exitCode, 2);
    EXPECT_EQ(result.err, "lumenreel: standard output: No space left on device\n");
}

TEST_F(RenderCommandTest, BadInputsGiveTheirExitCodesAndOneLine) {
    auto garbage = dir / "garbage.zcd";
    writeBytes(garbage, std::vector<std::uint8_t>(100, 0x5A));
    struct Case {
        std::string arguments;
        int exitCode;
    };
    const Case cases[] = {
        // A missing movie is unreadable input like any other (3 is for what the movie lacks).
        {"render " + shellQuote((dir / "missing.zcd").string()) + " --time 0 --output x.png", 2},
        {"render " + shellQuote(garbage.string()) + " --time 0 --output x.png", 2},
        {"frames " + shellQuote(garbage.string()) + " --fps 5 --output-dir d", 2},
        {"render " + shellQuote(demoPath().string()) + " --output x.png", 1},
        // Numbers that are no times or rates would render nothing or never end.
        {"render " + shellQuote(demoPath().string()) + " --time nan --output x.png", 1},
        {"render " + shellQuote(demoPath().string()) + " --time inf --output x.png", 1},
        {"frames " + shellQuote(demoPath().string()) + " --fps nan --output-dir d", 1},
        {"frames " + shellQuote(demoPath().string()) + " --fps 5 --to -inf --output-dir d", 1},
        {"frames " + shellQuote(demoPath().string()) + " --fps 5 --from nan --output-dir d", 1},
    };
    for (const Case& c : cases) {
        auto result = runCommand("cd " + shellQuote(dir.path().string()) + " && " + lumenreel() +
                                 " " + c.arguments);
        EXPECT_EQ(result.exitCode, c.exitCode) << c.arguments << "\n" << result.err;
        if (c.exitCode >= 2) {
            EXPECT_EQ(result.err.rfind("lumenreel: ", 0), 0u) << result.err;
            EXPECT_EQ(std::count(result.err.begin(), result.err.end(), '\n'), 1) << result.err;
        }
    }
}

}  // namespace
}  // namespace lumenreel::test
