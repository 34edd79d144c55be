#include <gtest/gtest.h>

#include <algorithm>
#include <array>

#include "DemoPictures.h"
#include "base/ByteReader.h"
#include "published/PackedData.h"
#include "published/ZcdPrimitives.h"
#include "published/ZcdWriter.h"
#include "support/TestSupport.h"

using lumenreel::test::runCommand;
using lumenreel::test::shellQuote;
using lumenreel::test::TempDir;
using lumenreel::test::unexplainedInfoFields;

namespace {

lumenreel::test::CommandResult info(const std::filesystem::path& file, const char* flags = "") {
    return runCommand(shellQuote((lumenreel::test::binaryDir() / "lumenreel").string()) + " info " +
                      flags + " " + shellQuote(file.string()));
}

std::vector<std::uint8_t> demoFile(std::vector<CImageExt>& pictures) {
    pictures = lumenreel::test::screenPictures(3, 40, 30);
    lumenreel::zcd::ZcdContent content;
    for (int i = 0; i < 3; ++i)
        content.frames.push_back({{10 + i, 2.0f, 0.5f, 1.5f}, &pictures[i]});
    content.masterFrameId = 1;
    content.displaySize = {1024, 768};
    content.cursorPlacements.push_back({0, 11, false, 1, 1});
    content.cursors.resize(1);
    CSoundTrack_wavePCM wave;
    wave.channels = 1;
    wave.bitsPerSample = 8;
    wave.samplesPerSecond = 8000;
    wave.data().assign(800, 0x80);
    content.soundtrack = &wave;
    std::string error;
    return lumenreel::zcd::writeZcd(content, error).value();
}

// A demo whose first picture is stored as a PNG file with the checksum of its header broken.
std::vector<std::uint8_t> demoWithDamagedPicture() {
    auto pictures = lumenreel::test::screenPictures(2, 40, 30);
    lumenreel::zcd::ZcdContent content;
    for (int i = 0; i < 2; ++i)
        content.frames.push_back({{10 + i, 1.0f, 0.0f, 1.0f}, &pictures[i]});
    content.pictureStream.pixelForm = lumenreel::zcd::PictureStreamOptions::PixelForm::bgr24;
    std::string error;
    auto file = lumenreel::zcd::writeZcd(content, error).value();
    // Identifier, sizes and the absent soundtrack's flag byte come before the picture stream,
    // whose codec name and six fields come before its packed body.
    const std::size_t streamLengthAt = 16 + 16 + 1, headBytes = 8 + 1 + 4 * 6;
    const std::span<const std::uint8_t> whole(file);
    lumenreel::ByteReader in(whole.subspan(streamLengthAt));
    auto stream = lumenreel::zcd::readBlob(in).value();
    auto body = lumenreel::zcd::inflatePacked(stream.subspan(headBytes), 1 << 24, error).value();
    static constexpr std::array<std::uint8_t, 4> kPngSignature = {0x89, 'P', 'N', 'G'};
    auto png = std::search(body.begin(), body.end(), kPngSignature.begin(), kPngSignature.end());
    EXPECT_NE(png, body.end());
    png[8 + 4 + 4 + 13] ^= 0xFF;  // signature, IHDR length, name and fields, then its CRC

    std::vector<std::uint8_t> damaged(stream.begin(), stream.begin() + headBytes);
    auto packed = lumenreel::zcd::deflatePacked(body);
    damaged.insert(damaged.end(), packed.begin(), packed.end());
    lumenreel::zcd::ZcdOut out;
    out.bytes(whole.first(streamLengthAt));
    out.blob(damaged);
    out.bytes(whole.subspan(streamLengthAt + 4 + stream.size()));
    return out.take();
}

TEST(InfoCommand, DescribesAPublishedDemo) {
    TempDir dir;
    std::vector<CImageExt> pictures;
    lumenreel::test::writeBytes(dir / "demo.zcd", demoFile(pictures));
    auto text = info(dir / "demo.zcd");
    ASSERT_EQ(text.exitCode, 0) << text.err;
    for (const char* line :
         {"format: ZCD\n", "display_size: 1024x768 pixels\n", "bitmap_size: 40x30 pixels\n",
          "frame_count: 3\n", "duration: 6.0 s\n", "master_frame: id 1, duration 6.0 s\n",
          "  0: id 10, start 0.0 s, duration 2.0 s, cursor moves 0.0-1.0 s into it\n",
          "  1: id 11, start 2.0 s, duration 2.0 s, cursor moves 0.5-1.5 s into it\n",
          "cursors: 1\n", "highlights: 0\n",
          "soundtrack: wave, 800 bytes, pcm 8-bit 1 ch 8000 Hz\n"})
        EXPECT_NE(text.out.find(line), std::string::npos) << line << "in\n" << text.out;

    // Every field the text shows is explained in the help.
    EXPECT_EQ(unexplainedInfoFields(text.out), std::vector<std::string>{});

    auto json = info(dir / "demo.zcd", "--json");
    ASSERT_EQ(json.exitCode, 0) << json.err;
    EXPECT_NE(json.out.find("\"frame_count\": 3"), std::string::npos) << json.out;
    EXPECT_NE(json.out.find("\"soundtrack\": {\"kind\": \"wave\", \"bytes\": 800"),
              std::string::npos);
    if (lumenreel::test::haveProgram("python3")) {
        lumenreel::test::writeBytes(dir / "info.json",
                                    std::vector<std::uint8_t>(json.out.begin(), json.out.end()));
        auto parsed = runCommand(
            "python3 -c 'import json,sys; d=json.load(open(sys.argv[1])); "
            "print(d[\"frames\"][2][\"start\"], d[\"master_frame\"][\"id\"], "
            "d[\"bitmap_size\"])' " +
            shellQuote((dir / "info.json").string()));
        EXPECT_EQ(parsed.out, "4 1 [40, 30]\n") << parsed.err;
    }
}

TEST(InfoCommand, BadInputIsExitTwoWithOneLine) {
    TempDir dir;
    std::vector<CImageExt> pictures;
    auto file = demoFile(pictures);
    file.resize(file.size() - 10);
    lumenreel::test::writeBytes(dir / "cut.zcd", file);
    lumenreel::test::writeBytes(dir / "other.bin", {1, 2, 3});
    std::filesystem::create_directory(dir / "folder.zcd");
    struct Case {
        std::string name;
        std::string reason;
    };
    for (const auto& c : {Case{"cut.zcd", "truncated object stream"},
                          Case{"other.bin", "too short for a published demo"},
                          Case{"missing.zcd", "cannot read the file"},
                          Case{"folder.zcd", "a directory, not a file"}}) {
        auto result = info(dir / c.name);
        EXPECT_EQ(result.exitCode, 2) << c.name;
        EXPECT_EQ(result.err, "lumenreel: " + (dir / c.name).string() + ": " + c.reason + "\n");
        EXPECT_EQ(result.out, "");
    }
}

TEST(InfoCommand, ADamagedPictureFailsInTheDecodersWords) {
    TempDir dir;
    lumenreel::test::writeBytes(dir / "damaged.zcd", demoWithDamagedPicture());
    auto result = info(dir / "damaged.zcd");
    EXPECT_EQ(result.exitCode, 2);
    EXPECT_NE(result.err.find(": picture stream: full picture 0: PNG: "), std::string::npos)
        << result.err;
    EXPECT_NE(result.err.find("CRC error"), std::string::npos) << result.err;
}

}  // namespace
