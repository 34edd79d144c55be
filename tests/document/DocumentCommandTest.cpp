#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include <cstdio>

#include "DocumentFixtures.h"
#include "base/MemFile.h"
#include "images/PixelBlit.h"
#include "images/PngCodec.h"
#include "items/BalloonThemeFixture.h"
#include "player/SkinEmbedded.h"
#include "player/SkinPackage.h"
#include "support/TestSupport.h"
#include "themes/PlayerThemes.h"

namespace lumenreel::test {
namespace {

std::string lumenreel(const std::string& arguments) {
    return shellQuote((binaryDir() / "lumenreel").string()) + " " + arguments;
}

class DocumentCommand : public ::testing::Test {
protected:
    void SetUp() override {
        buildRichDocument(document);
        auto bytes = document.save();
        ASSERT_TRUE(bytes);
        writeBytes(dir / "movie.zcs", *bytes);
        CKWXMemFile older;
        {
            CSerializeInterface archive(older, CSerializeInterface::modeStore);
            ASSERT_TRUE(document.serialize(archive, DocumentForm::older));
            archive.Close();
        }
        writeBytes(dir / "older.zcs", {older.Bytes().begin(), older.Bytes().end()});
    }
    std::string path(const std::string& name) { return shellQuote((dir / name).string()); }

    TempDir dir;
    CZephyrcastBaseDocument document;
};

TEST_F(DocumentCommand, InfoListsEveryPositionWithItsStart) {
    const CommandResult result = runCommand(lumenreel("info --json " + path("movie.zcs")));
    ASSERT_EQ(result.exitCode, 0) << result.err;
    const auto info = nlohmann::json::parse(result.out);
    EXPECT_EQ(info["format"], "ZCS");
    EXPECT_EQ(info["storage_form"], "current");
    EXPECT_EQ(info["display_size"], nlohmann::json::array({64, 48}));
    EXPECT_EQ(info["frame_count"], 4);
    EXPECT_EQ(info["duration"], 7.0);
    ASSERT_EQ(info["frames"].size(), 4u);
    EXPECT_EQ(info["frames"][1]["visible"], false);
    EXPECT_EQ(info["frames"][2]["start"], 2.0);
    EXPECT_EQ(info["frames"][3]["start"], 5.0);
    EXPECT_EQ(info["frames"][3]["label"], "frame 3");
    EXPECT_EQ(info["soundtrack"]["kind"], "wave");
    EXPECT_EQ(info["soundtrack"]["bytes"], 8000);
    EXPECT_EQ(info["highlights"], 1);
    EXPECT_EQ(info["images"], 2);
    EXPECT_EQ(info["captions"], 1);
    EXPECT_EQ(info["sound_effects"], 1);
    EXPECT_EQ(info["cursors"], 4);

    const CommandResult text = runCommand(lumenreel("info " + path("movie.zcs")));
    ASSERT_EQ(text.exitCode, 0) << text.err;
    for (const char* line :
         {"display_size: 64x48 pixels\n", "duration: 7.0 s\n",
          "  1: start 2.0 s, duration 1.0 s, hidden, label ",
          "  3: start 5.0 s, duration 2.0 s, label frame 3\n", "soundtrack: wave, 8000 bytes, "})
        EXPECT_NE(text.out.find(line), std::string::npos) << line << "in\n" << text.out;
    // Every field the text shows is explained in the help.
    EXPECT_EQ(unexplainedInfoFields(text.out), std::vector<std::string>{});
}

TEST_F(DocumentCommand, RenderWritesTheDocumentsMoment) {
    const CommandResult result = runCommand(
        lumenreel("render " + path("movie.zcs") + " --time 2.7 --output " + path("out.png")));
    ASSERT_EQ(result.exitCode, 0) << result.err;
    CImageExt written;
    ASSERT_TRUE(written.loadFromBytes(readBytes(dir / "out.png")));
    CImageExt moment;
    ASSERT_TRUE(document.drawAtTime(moment, 2.7f));
    for (int y = 0; y < kFrameSize.height; ++y)
        for (int x = 0; x < kFrameSize.width; ++x)
            ASSERT_EQ(written.pixel(x, y) & 0xFFFFFF, moment.pixel(x, y) & 0xFFFFFF)
                << x << "," << y;
}

// The caption's balloon comes from the working folder's item sets when it has some, else from the
// skin the programs carry, as in the player.
TEST_F(DocumentCommand, CaptionsTakeTheirBalloonsFromTheWorkingFolderOrElseTheSkin) {
    CSkinPackage skin;
    ASSERT_TRUE(skin.Open(embeddedSkinPackage()));
    BalloonTheme ownSets({10, 10, 50, 30}, true);
    TempDir empty;
    struct Case {
        const char* name;
        std::filesystem::path folder;
        ThemeFiles themes;
    };
    const Case cases[] = {{"the skin's", empty.path(), ThemeFiles::inPackage(*skin.FileSystem())},
                          {"the folder's", ownSets.folder(), ThemeFiles::onDisk(ownSets.folder())}};
    CImageExt previous;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const CommandResult result = runCommand(
            "cd " + shellQuote(c.folder.string()) + " && " +
            lumenreel("render " + path("movie.zcs") + " --time 5.5 -o " + path("out.png")));
        ASSERT_EQ(result.exitCode, 0) << result.err;
        CImageExt written;
        ASSERT_TRUE(written.loadFromBytes(readBytes(dir / "out.png")));
        CThemesManagerZC themes(c.themes);
        CZephyrcastBaseDocument withThemes(&themes);
        ASSERT_TRUE(withThemes.load(readBytes(dir / "movie.zcs")));
        CImageExt moment;
        ASSERT_TRUE(withThemes.drawAtTime(moment, 5.5f));
        int different = 0;
        for (int y = 0; y < kFrameSize.height; ++y)
            for (int x = 0; x < kFrameSize.width; ++x)
                different += (written.pixel(x, y) & 0xFFFFFF) != (moment.pixel(x, y) & 0xFFFFFF);
        EXPECT_EQ(different, 0);
        EXPECT_FALSE(!previous.isNull() && previous.equals(written)) << "both balloons look alike";
        previous = std::move(written);
    }
}

TEST_F(DocumentCommand, ConvertOfTheOlderFormRendersTheSame) {
    CommandResult result =
        runCommand(lumenreel("convert " + path("older.zcs") + " --output " + path("new.zcs")));
    ASSERT_EQ(result.exitCode, 0) << result.err;
    result = runCommand(lumenreel("info --json " + path("new.zcs")));
    ASSERT_EQ(result.exitCode, 0) << result.err;
    EXPECT_EQ(nlohmann::json::parse(result.out)["storage_form"], "current");
    for (const char* name : {"older.zcs", "new.zcs"}) {
        result = runCommand(lumenreel("render " + path(name) + " --time 4.4 --output " +
                                      path(std::string(name) + ".png")));
        ASSERT_EQ(result.exitCode, 0) << result.err;
    }
    EXPECT_EQ(readBytes(dir / "older.zcs.png"), readBytes(dir / "new.zcs.png"));
}

TEST_F(DocumentCommand, AudioWritesTheSoundtrackAndFailsWithoutOne) {
    CommandResult result =
        runCommand(lumenreel("audio " + path("movie.zcs") + " --output " + path("out.wav")));
    ASSERT_EQ(result.exitCode, 0) << result.err;
    EXPECT_EQ(readBytes(dir / "out.wav").size(), 44u + 8000u);
    // The older form holds no soundtrack.
    result = runCommand(lumenreel("audio " + path("older.zcs") + " --output " + path("no.wav")));
    EXPECT_EQ(result.exitCode, 3);
    EXPECT_NE(result.err.find("no soundtrack"), std::string::npos);
}

TEST_F(DocumentCommand, ADamagedDocumentIsABadInput) {
    std::vector<std::uint8_t> bytes = readBytes(dir / "movie.zcs");
    bytes.resize(bytes.size() / 2);
    writeBytes(dir / "cut.zcs", bytes);
    const CommandResult result = runCommand(lumenreel("info " + path("cut.zcs")));
    EXPECT_EQ(result.exitCode, 2);
    EXPECT_EQ(result.err.rfind("lumenreel: ", 0), 0u) << result.err;
}

// How long a video stream lasts as its container says: MP4 and GIF give the stream's duration,
// WebM a tag "H:MM:SS.fffffffff".
double streamSeconds(const nlohmann::json& stream) {
    if (stream.contains("duration"))
        return std::stod(stream["duration"].get<std::string>());
    int hours = 0;
    int minutes = 0;
    double seconds = 0;
    const std::string tag = stream["tags"].value("DURATION", "");
    if (std::sscanf(tag.c_str(), "%d:%d:%lf", &hours, &minutes, &seconds) != 3)
        return -1;
    return hours * 3600.0 + minutes * 60.0 + seconds;
}

// The last position (2 s of a still picture) ends every format's video stream, not only the file.
TEST_F(DocumentCommand, ExportsAVideoWithTheSoundtrackLastingToTheEnd) {
    if (!haveProgram("ffprobe"))
        GTEST_SKIP() << "needs ffprobe";
    struct Case {
        const char* name;
        const char* video;
        const char* audio;
    };
    for (const Case& c : {Case{"movie.mp4", "h264", "aac"}, Case{"movie.webm", "vp9", "opus"},
                          Case{"movie.gif", "gif", nullptr}}) {
        const CommandResult result =
            runCommand(lumenreel("export " + path("movie.zcs") + " -q -o " + path(c.name)));
        ASSERT_EQ(result.exitCode, 0) << result.err;
        const CommandResult probe =
            runCommand("ffprobe -v error -show_format -show_streams -of json " + path(c.name));
        ASSERT_EQ(probe.exitCode, 0) << probe.err;
        const auto info = nlohmann::json::parse(probe.out);
        EXPECT_NEAR(std::stod(info["format"]["duration"].get<std::string>()), 7.0, 0.03) << c.name;
        ASSERT_EQ(info["streams"].size(), c.audio ? 2u : 1u) << c.name;
        const nlohmann::json& video = info["streams"][0];
        EXPECT_EQ(video["codec_name"], c.video);
        EXPECT_EQ(video["width"], kFrameSize.width);
        EXPECT_NEAR(streamSeconds(video), 7.0, 0.03) << c.name;
        if (!c.audio)
            continue;
        EXPECT_EQ(info["streams"][1]["codec_name"], c.audio);
        EXPECT_NEAR(streamSeconds(info["streams"][1]), 1.0, 0.05) << c.name;
    }
}

}  // namespace
}  // namespace lumenreel::test
