#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <sstream>
#include <string>

#include "images/ImageExt.h"
#include "images/PngCodec.h"
#include "published/DemoPictures.h"
#include "support/TestSupport.h"

namespace lumenreel::test {
namespace {

std::string lumenreel() {
    return shellQuote((binaryDir() / "lumenreel").string());
}

std::string tour() {
    return shellQuote((binaryDir() / "tour.zcd").string());
}

// The closing JSON line of an export.
nlohmann::json exportJson(const std::string& arguments) {
    const CommandResult result =
        runCommand(lumenreel() + " export " + tour() + " --progress json " + arguments);
    EXPECT_EQ(result.exitCode, 0) << result.err;
    std::istringstream lines(result.out);
    std::string line;
    std::string last;
    while (std::getline(lines, line))
        last = line;
    return nlohmann::json::parse(last, nullptr, false);
}

nlohmann::json probe(const std::filesystem::path& file) {
    const CommandResult result =
        runCommand("ffprobe -v error -count_frames -show_format -show_streams -of json " +
                   shellQuote(file.string()));
    EXPECT_EQ(result.exitCode, 0) << result.err;
    return nlohmann::json::parse(result.out, nullptr, false);
}

double number(const nlohmann::json& value) {
    return value.is_string() ? std::atof(value.get<std::string>().c_str()) : value.get<double>();
}

class ExportCommandTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (!haveProgram("ffprobe") || !haveProgram("ffmpeg"))
            GTEST_SKIP() << "needs ffmpeg and ffprobe";
    }
    TempDir dir;
};

// A cut across a frame boundary (15.5 s) and cursor moves keeps CI fast.
TEST_F(ExportCommandTest, VideoFilesHaveTheCutsDurationSizeStreamsAndPictures) {
    struct Case {
        const char* name;
        const char* extra;
        const char* video;
        const char* audio;
        int width;
    };
    const Case cases[] = {{"cut.mp4", "", "h264", "aac", 1024},
                          {"cut.webm", "", "vp9", "opus", 1024},
                          {"cut.gif", "--scale 0.5", "gif", nullptr, 512},
                          {"small.mp4", "--size 640x480 --no-audio", "h264", nullptr, 640}};
    for (const Case& c : cases) {
        const auto output = dir / c.name;
        const nlohmann::json done =
            exportJson("--from 14 --to 0:18.5 -o " + shellQuote(output.string()) + " " + c.extra);
        ASSERT_TRUE(done.is_object()) << c.name;
        const nlohmann::json info = probe(output);
        EXPECT_NEAR(number(info["format"]["duration"]), 4.5, 0.03) << c.name;
        int videos = 0;
        int audios = 0;
        for (const nlohmann::json& stream : info["streams"]) {
            if (stream["codec_type"] == "video") {
                ++videos;
                EXPECT_EQ(stream["codec_name"], c.video) << c.name;
                EXPECT_EQ(stream["width"], c.width) << c.name;
                EXPECT_EQ(number(stream["nb_read_frames"]), done["pictures"].get<double>())
                    << c.name;
            } else if (stream["codec_type"] == "audio") {
                ++audios;
                EXPECT_EQ(stream["codec_name"], c.audio) << c.name;
            }
        }
        EXPECT_EQ(videos, 1) << c.name;
        EXPECT_EQ(audios, c.audio ? 1 : 0) << c.name;
        // Still stretches cost one picture: far fewer than 25 a second.
        EXPECT_LT(done["pictures"].get<int>(), 25 * 4.5) << c.name;
        EXPECT_GT(done["pictures"].get<int>(), 10) << c.name;
    }
}

CImageExt decodedPng(const std::filesystem::path& file) {
    CImageExt image;
    EXPECT_TRUE(decodePng(readBytes(file), image)) << file;
    return image;
}

// The index of the picture on screen at `t` seconds into a video: the last one starting by then.
int pictureShownAt(const std::filesystem::path& video, double t) {
    const CommandResult frames =
        runCommand("ffprobe -v error -select_streams v -show_entries frame=pts_time -of csv=p=0 " +
                   shellQuote(video.string()));
    EXPECT_EQ(frames.exitCode, 0) << frames.err;
    std::istringstream lines(frames.out);
    std::string line;
    int index = -1;
    for (int n = 0; std::getline(lines, line);) {
        // ffprobe puts side data of a picture on lines of their own.
        if (line.empty() || line[0] == ',')
            continue;
        if (std::atof(line.c_str()) <= t + 1e-4)
            index = n;
        ++n;
    }
    return index;
}

// Both lossless forms: RGB H.264 and planar-RGB VP9.
TEST_F(ExportCommandTest, ALosslessExportShowsWhatRenderDrawsAtTheSameTimes) {
    for (const char* name : {"exact.mp4", "exact.webm"}) {
        const auto output = dir / name;
        exportJson("--lossless --no-audio --from 14 --to 17 -o " + shellQuote(output.string()));
        // Mid-fade, mid-glide, right at and after the frame boundary at 15.5 s.
        for (double t : {14.52, 15.0, 15.5, 15.52, 16.6}) {
            const auto rendered = dir / "rendered.png";
            const auto decoded = dir / "decoded.png";
            ASSERT_EQ(runCommand(lumenreel() + " render " + tour() + " --time " +
                                 std::to_string(t) + " --output " + shellQuote(rendered.string()))
                          .exitCode,
                      0);
            const int shown = pictureShownAt(output, t - 14);
            ASSERT_GE(shown, 0);
            const CommandResult extract =
                runCommand("ffmpeg -v error -y -i " + shellQuote(output.string()) + " -vf " +
                           shellQuote("select=eq(n\\," + std::to_string(shown) + ")") +
                           " -frames:v 1 -pix_fmt rgb24 " + shellQuote(decoded.string()));
            ASSERT_EQ(extract.exitCode, 0) << extract.err;
            EXPECT_TRUE(samePixels(decodedPng(rendered), decodedPng(decoded)))
                << name << " at " << t;
        }
    }
}

// Samples of a 16-bit mono or stereo WAV file made by ffmpeg or lumenreel (44-byte header).
std::vector<std::int16_t> wavSamples(const std::filesystem::path& file) {
    const std::vector<std::uint8_t> bytes = readBytes(file);
    std::vector<std::int16_t> samples((bytes.size() - 44) / 2);
    std::memcpy(samples.data(), bytes.data() + 44, samples.size() * 2);
    return samples;
}

TEST_F(ExportCommandTest, TheSoundMatchesTheSoundtrackFromTheCutsStart) {
    const auto track = dir / "track.wav";
    ASSERT_EQ(
        runCommand(lumenreel() + " audio " + tour() + " -o " + shellQuote(track.string())).exitCode,
        0);
    const std::vector<std::int16_t> b = wavSamples(track);
    const std::size_t rate = 22050;
    for (const char* name : {"sound.mp4", "sound.webm"}) {
        const auto video = dir / name;
        exportJson("--from 20 --to 30 -o " + shellQuote(video.string()));
        const auto exported = dir / "exported.wav";
        // ffmpeg drops the encoder's delay as the file says (an edit list, Opus's pre-skip); Opus
        // comes back at its 48 kHz.
        ASSERT_EQ(runCommand("ffmpeg -v error -y -i " + shellQuote(video.string()) +
                             " -map 0:a -c:a pcm_s16le -ar 22050 -fflags +bitexact "
                             "-map_metadata -1 " +
                             shellQuote(exported.string()))
                      .exitCode,
                  0);
        const std::vector<std::int16_t> a = wavSamples(exported);
        ASSERT_GT(a.size(), 9 * rate) << name;
        // The error of a lossy codec against the signal: within 10 % of its energy.
        double signal = 0;
        double noise = 0;
        for (std::size_t i = 0; i < 9 * rate; ++i) {
            const double reference = b[20 * rate + i];
            signal += reference * reference;
            noise += (a[i] - reference) * (a[i] - reference);
        }
        ASSERT_GT(signal, 0);
        EXPECT_LT(noise / signal, 0.1) << name;
    }
}

TEST_F(ExportCommandTest, AFailedWriteLeavesNothingAndTheEarlierFile) {
    const auto output = dir / "full.mp4";
    writeBytes(output, {'o', 'l', 'd'});
    const CommandResult result =
        runCommand("trap '' XFSZ; ulimit -f 64; " + lumenreel() + " export " + tour() + " -q -o " +
                   shellQuote(output.string()));
    EXPECT_EQ(result.exitCode, 2) << result.err;
    EXPECT_EQ(readBytes(output), (std::vector<std::uint8_t>{'o', 'l', 'd'}));
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 1);
}

// Runs a command whose standard output is a pipe (which, unlike a file, cannot seek) into `then`;
// the command's own exit code comes back as the last line of its stderr.
CommandResult throughPipe(const std::string& command, const std::string& then = "cat") {
    CommandResult result =
        runCommand("{ (" + command + "; echo \"exit $?\" >&2) | " + then + "; }");
    const std::size_t at = result.err.rfind("exit ");
    result.exitCode = at == std::string::npos ? -1 : std::atoi(result.err.c_str() + at + 5);
    result.err.resize(std::min(at, result.err.size()));
    return result;
}

// "-o -" gives standard output the same bytes a file gets, where the output is one stream.
TEST_F(ExportCommandTest, OneStreamOutputsGoToStandardOutputAsToAFile) {
    for (const char* command : {"render --time 33", "audio"}) {
        const auto file = dir / "output";
        const std::string start = lumenreel() + " " + command + " " + tour() + " -o ";
        const CommandResult written = runCommand(start + shellQuote(file.string()));
        ASSERT_EQ(written.exitCode, 0) << command << ": " << written.err;
        const CommandResult piped = throughPipe(start + "-");
        ASSERT_EQ(piped.exitCode, 0) << command << ": " << piped.err;
        const std::vector<std::uint8_t> bytes = readBytes(file);
        EXPECT_EQ(std::string(bytes.begin(), bytes.end()), piped.out) << command;
    }
}

// Through a pipe, which cannot go back: a fragmented MP4, a WebM and a GIF hold the cut's
// pictures; the pictures start at 0 as in a file, and the WebM still states how long it runs.
TEST_F(ExportCommandTest, VideoFilesGoThroughAPipe) {
    for (const char* format : {"mp4", "webm", "gif"}) {
        const auto output = dir / (std::string("piped.") + format);
        const CommandResult result =
            throughPipe(lumenreel() + " export " + tour() + " -q --from 14 --to 16 --format " +
                            format + " -o -",
                        "cat > " + shellQuote(output.string()));
        ASSERT_EQ(result.exitCode, 0) << result.err;
        const nlohmann::json info = probe(output);
        ASSERT_FALSE(info["streams"].empty()) << format;
        EXPECT_EQ(info["streams"][0]["codec_type"], "video") << format;
        EXPECT_GT(number(info["streams"][0]["nb_read_frames"]), 10) << format;
        EXPECT_EQ(info["streams"].size(), std::string(format) == "gif" ? 1u : 2u) << format;
        if (std::string(format) == "gif")
            continue;
        EXPECT_NEAR(number(info["streams"][0]["start_time"]), 0, 0.01) << format;
        ASSERT_TRUE(info["format"].contains("duration")) << format;
        EXPECT_NEAR(number(info["format"]["duration"]), 2, 0.1) << format;
    }
    for (const char* arguments : {"", "--format png", "--format gif --progress json"}) {
        const CommandResult refused =
            runCommand(lumenreel() + " export " + tour() + " -o - " + arguments);
        EXPECT_EQ(refused.exitCode, 1) << arguments;
        EXPECT_EQ(refused.out, "") << arguments;
        EXPECT_NE(refused.err.find("lumenreel: -: "), std::string::npos) << refused.err;
    }
}

// Exit 2 and one line naming the file, whichever command meets it; 3 is only for what a movie
// lacks.
TEST_F(ExportCommandTest, EveryCommandRefusesAMissingInputWithExitTwo) {
    const std::string missing = shellQuote((dir / "missing.zcd").string());
    const std::string out = shellQuote((dir / "out").string());
    for (const std::string& command :
         {"info " + missing, "audio " + missing + " -o " + out,
          "render " + missing + " --time 1 -o " + out, "frames " + missing + " --fps 1 -o " + out,
          "export " + missing + " -o " + out + ".mp4", "container list " + missing,
          "container cat " + missing + " key", "bundle " + missing + " -o " + out,
          "convert " + missing + " -o " + out}) {
        const CommandResult result = runCommand(lumenreel() + " " + command);
        EXPECT_EQ(result.exitCode, 2) << command;
        EXPECT_EQ(result.err.rfind("lumenreel: " + (dir / "missing.zcd").string() + ": ", 0), 0u)
            << command << ": " << result.err;
        EXPECT_EQ(std::count(result.err.begin(), result.err.end(), '\n'), 1) << result.err;
    }
}

TEST_F(ExportCommandTest, ANameThatDoesNotFitTheFormatIsRefused) {
    for (const char* arguments : {"-o x.webm --format mp4", "-o x.avi", "-o one.png"}) {
        const CommandResult result =
            runCommand("cd " + shellQuote(dir.path().string()) + " && " + lumenreel() + " export " +
                       tour() + " " + arguments);
        EXPECT_EQ(result.exitCode, 1) << arguments;
        EXPECT_NE(result.err.find("lumenreel: "), std::string::npos) << result.err;
    }
    EXPECT_TRUE(std::filesystem::is_empty(dir.path()));
}

TEST_F(ExportCommandTest, PngPicturesAreNumberedByTheirTimeAndStillOnesAreLinked) {
    const auto folder = dir / "pictures";
    const nlohmann::json done =
        exportJson("--from 10 --to 11 --fps 10 -o " + shellQuote(folder.string()));
    for (int step = 100; step < 110; ++step) {
        char name[32];
        std::snprintf(name, sizeof name, "frame_%06d.png", step);
        EXPECT_TRUE(std::filesystem::exists(folder / name)) << name;
    }
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder), {}), 10);
    // Mid-glide, a picture of the grid as render draws it.
    const auto rendered = dir / "rendered.png";
    ASSERT_EQ(runCommand(lumenreel() + " render " + tour() + " --time 10.5 -o " +
                         shellQuote(rendered.string()))
                  .exitCode,
              0);
    EXPECT_TRUE(samePixels(decodedPng(rendered), decodedPng(folder / "frame_000105.png")));
    const auto again = runCommand(lumenreel() + " export " + tour() + " -q --from 10 --to 11 -o " +
                                  shellQuote(folder.string()));
    EXPECT_EQ(again.exitCode, 2) << "a folder with pictures needs --overwrite";
}

}  // namespace
}  // namespace lumenreel::test
