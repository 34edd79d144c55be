#include <gtest/gtest.h>

#include <string>

#include "ImagePatterns.h"
#include "base/ByteOrder.h"
#include "base/MemFile.h"
#include "images/BmpCodec.h"
#include "images/ImageDecoder.h"
#include "images/ImageExt.h"
#include "support/TestSupport.h"

using namespace lumenreel::test;

namespace {

// Runs a shell command in a subshell, so its own redirections are not overridden.
void run(const std::string& command) {
    const auto result = runCommand("(" + command + ")");
    ASSERT_EQ(result.exitCode, 0) << command << "\n" << result.err;
}

// Largest difference between two equally long byte strings (or 256 when the lengths differ).
int largestDifference(const std::vector<std::uint8_t>& a, const std::vector<std::uint8_t>& b) {
    if (a.size() != b.size())
        return 256;
    int largest = 0;
    for (std::size_t i = 0; i < a.size(); ++i)
        largest = std::max(largest, std::abs(a[i] - b[i]));
    return largest;
}

class CodecTest : public ::testing::Test {
protected:
    TempDir dir;
    std::string path(const std::string& name) const { return (dir / name).string(); }
    std::string quoted(const std::string& name) const { return shellQuote(path(name)); }
};

}  // namespace

// Files written by ImageMagick and netpbm decode to the pixels those tools read from them.
TEST_F(CodecTest, ToolMadeFilesDecodeToTheToolsOwnPixels) {
    writePpm(path("many.ppm"), makePattern(13, 7, 24));
    writePpm(path("two.ppm"), makePattern(13, 7, 24, 2));
    writePpm(path("sixteen.ppm"), makePattern(13, 7, 24, 16));
    writePpm(path("few.ppm"), makePattern(13, 7, 24, 200));
    CImageExt translucent = makePattern(13, 7, 32);
    for (int x = 0; x < 13; ++x)
        translucent.setPixel(x, 3, translucent.pixel(x, 3) & 0x40FFFFFF);
    writePam(path("alpha.pam"), translucent);

    struct Case {
        const char* file;
        const char* command;  // %i and %o stand for the input and output paths
        int depth;
        int tolerance;
    };
    const Case cases[] = {
        {"rgb.png", "convert %i %o", 24, 0},
        {"rgba.png", "convert alpha.pam %o", 32, 0},
        {"palette.png", "convert %i -colors 8 PNG8:%o", 24, 0},
        {"grey16.png", "convert %i -colorspace Gray -depth 16 PNG48:%o", 24, 1},
        {"interlaced.png", "convert %i -interlace PNG %o", 24, 0},
        {"netpbm.png", "pamtopng %i > %o", 24, 0},
        {"q90.jpg", "convert %i -quality 90 %o", 24, 2},
        {"grey.jpg", "convert %i -colorspace Gray %o", 24, 2},
        {"progressive.jpg", "convert %i -interlace JPEG %o", 24, 2},
        {"cmyk.jpg", "convert %i -colorspace CMYK %o", 24, 2},
        {"netpbm.jpg", "pnmtojpeg %i > %o", 24, 2},
        {"bpp1.bmp", "ppmtobmp -bpp 1 two.ppm > %o", 24, 0},
        {"bpp4.bmp", "ppmtobmp -bpp 4 sixteen.ppm > %o", 24, 0},
        {"bpp8.bmp", "ppmtobmp -bpp 8 few.ppm > %o", 24, 0},
        {"bpp24.bmp", "ppmtobmp -bpp 24 %i > %o", 24, 0},
        {"os2.bmp", "ppmtobmp -os2 -bpp 8 few.ppm > %o", 24, 0},
        {"rgb565.bmp", "convert %i -define bmp:subtype=RGB565 %o", 24, 0},
        {"rgb555.bmp", "convert %i -define bmp:subtype=RGB555 %o", 24, 0},
        {"bmp3.bmp", "convert %i BMP3:%o", 24, 0},
        {"argb.bmp", "convert alpha.pam %o", 32, 0},
    };
    for (const Case& c : cases) {
        std::string command = c.command;
        for (std::size_t at; (at = command.find("%i")) != std::string::npos;)
            command.replace(at, 2, quoted("many.ppm"));
        for (std::size_t at; (at = command.find("%o")) != std::string::npos;)
            command.replace(at, 2, quoted(c.file));
        run("cd " + shellQuote(dir.path().string()) + " && " + command);
        const CImageExt image = decodeFile(path(c.file));
        ASSERT_FALSE(image.isNull()) << c.file;
        EXPECT_EQ(image.width(), 13) << c.file;
        EXPECT_EQ(image.height(), 7) << c.file;
        EXPECT_EQ(image.bpp(), c.depth) << c.file;
        EXPECT_LE(largestDifference(rgbaOf(image), rgbaByConvert(path(c.file))), c.tolerance)
            << c.file;
    }
}

TEST_F(CodecTest, PalettesAndFullColourKeepTheExactPattern) {
    // The tool's own reading is one check; the pattern we wrote is the other.
    for (int colours : {2, 16, 200}) {
        const CImageExt pattern = makePattern(13, 7, 24, colours);
        writePpm(path("in.ppm"), pattern);
        const int bits = colours == 2 ? 1 : colours == 16 ? 4 : 8;
        run("ppmtobmp -bpp " + std::to_string(bits) + " " + quoted("in.ppm") + " > " +
            quoted("out.bmp"));
        EXPECT_TRUE(decodeFile(path("out.bmp")).equals(pattern)) << bits << " bits";
    }
}

TEST_F(CodecTest, TopDownBitmapsReadTheirRowsInOrder) {
    const CImageExt pattern = makePattern(5, 4, 24);
    writePpm(path("in.ppm"), pattern);
    run("ppmtobmp -bpp 24 " + quoted("in.ppm") + " > " + quoted("up.bmp"));
    std::vector<std::uint8_t> bytes = readBytes(path("up.bmp"));
    // Same file with a negative height and the rows reversed.
    const std::uint32_t offset = lumenreel::loadLE<std::uint32_t>(bytes.data() + 10);
    lumenreel::storeLE<std::int32_t>(bytes.data() + 22, -4);
    const int stride = CImageExt::rowBytes(5, 24);
    std::vector<std::uint8_t> rows(bytes.begin() + offset, bytes.end());
    for (int y = 0; y < 4; ++y)
        std::copy_n(rows.begin() + (3 - y) * stride, stride, bytes.begin() + offset + y * stride);
    CImageExt image;
    ASSERT_TRUE(image.loadFromBytes(bytes));
    EXPECT_TRUE(image.equals(pattern));
}

TEST_F(CodecTest, OurFilesOpenInTheToolWithTheSamePixels) {
    for (int bits : {24, 32}) {
        CImageExt image = makePattern(11, 6, bits);
        if (bits == 32)
            image.setPixel(3, 2, 0x00FFFFFF);  // a keyed-out pixel keeps its alpha
        CKWXMemFile png, bmp;
        ASSERT_TRUE(image.savePng(png));
        ASSERT_TRUE(image.saveBmp(bmp));
        writeBytes(path("ours.png"), png.Detach());
        writeBytes(path("ours.bmp"), bmp.Detach());
        EXPECT_EQ(rgbaByConvert(path("ours.png")), rgbaOf(image)) << bits;
        EXPECT_EQ(largestDifference(rgbaByConvert(path("ours.bmp")), rgbaOf(image)), 0) << bits;
        EXPECT_TRUE(decodeFile(path("ours.png")).equals(image)) << bits;
        EXPECT_TRUE(decodeFile(path("ours.bmp")).equals(image)) << bits;
    }
}

// Palette and 16-bit files of ours: the tool reads the depth we wrote and the pixels we read.
TEST_F(CodecTest, OurPaletteAndSixteenBitFilesOpenInTheTool) {
    struct Case {
        int bits;
        bool rgb565;
        int colours;
        std::uint32_t compression;
        int quantisation;  // largest change from the source picture
    };
    for (const Case& c :
         {Case{1, false, 2, 0, 0}, Case{4, false, 16, 0, 0}, Case{8, false, 256, 0, 0},
          Case{8, false, 3, 0, 0}, Case{16, false, 1000, 0, 7}, Case{16, true, 1000, 3, 7}}) {
        SCOPED_TRACE(std::to_string(c.bits) + (c.rgb565 ? " 565" : "") + " bits, " +
                     std::to_string(c.colours) + " colours");
        const CImageExt image = makePattern(41, 20, 24, c.colours);
        std::vector<std::uint8_t> bytes;
        ASSERT_TRUE(lumenreel::encodeBmp(image, {c.bits, c.rgb565, {}}, bytes));
        EXPECT_EQ(lumenreel::loadLE<std::uint16_t>(bytes.data() + 28), c.bits);
        EXPECT_EQ(lumenreel::loadLE<std::uint32_t>(bytes.data() + 30), c.compression);
        writeBytes(path("ours.bmp"), bytes);
        const CImageExt decoded = decodeFile(path("ours.bmp"));
        EXPECT_EQ(rgbaByConvert(path("ours.bmp")), rgbaOf(decoded));
        EXPECT_LE(largestDifference(rgbaOf(decoded), rgbaOf(image)), c.quantisation);
        if (c.bits <= 8) {
            const auto identify = runCommand("identify -format '%[type] %k' " + quoted("ours.bmp"));
            EXPECT_EQ(identify.out, "Palette " + std::to_string(c.colours));
        }
    }
}

TEST_F(CodecTest, PaletteWritingFailsWhenColoursDoNotFit) {
    std::vector<std::uint8_t> bytes;
    EXPECT_FALSE(lumenreel::encodeBmp(makePattern(9, 9, 24, 17), {4, false, {}}, bytes));
    EXPECT_TRUE(bytes.empty());
    CImageExt many;
    many.create(20, 20, 32);
    for (int i = 0; i < 400; ++i)
        many.setPixel(i % 20, i / 20, 0xFF000000u | i);
    EXPECT_FALSE(lumenreel::encodeBmp(many, {8, false, {}}, bytes));
    many.create(16, 16, 32);  // exactly as many colours as 8 bits hold
    for (int i = 0; i < 256; ++i)
        many.setPixel(i % 16, i / 16, 0xFF000000u | i * 0x010101u);
    EXPECT_TRUE(lumenreel::encodeBmp(many, {8, false, {}}, bytes));
    EXPECT_FALSE(lumenreel::encodeBmp(many, {4, false, {}}, bytes));
    EXPECT_FALSE(lumenreel::encodeBmp(makePattern(3, 3, 24, 2), {1, false, {1, 2, 3}}, bytes));

    // A given palette is kept in its order, and a colour outside it is refused.
    CImageExt image;
    image.create(3, 1, 24);
    image.setPixel(0, 0, 0x0000FF);
    image.setPixel(1, 0, 0xFF0000);
    image.setPixel(2, 0, 0x0000FF);
    const std::vector<std::uint32_t> palette = {0x00FF00, 0x0000FF, 0xFF0000};
    ASSERT_TRUE(lumenreel::encodeBmp(image, {4, false, palette}, bytes));
    EXPECT_EQ(lumenreel::loadLE<std::uint32_t>(bytes.data() + 54 + 4), 0x0000FFu);
    EXPECT_EQ(bytes[54 + 12], 0x12);
    EXPECT_EQ(bytes[54 + 13], 0x10);
    CImageExt decoded;
    ASSERT_TRUE(decoded.loadFromBytes(bytes));
    EXPECT_TRUE(decoded.equals(image));
    image.setPixel(1, 0, 0x123456);
    EXPECT_FALSE(lumenreel::encodeBmp(image, {8, false, palette}, bytes));
    EXPECT_TRUE(bytes.empty());
}

// A bitmap of 4 or 8 bits per index, run-length coded, whose index i has colour i × 0x010101.
std::vector<std::uint8_t> runLengthBitmap(int bits, std::int32_t width, std::int32_t height,
                                          const std::vector<std::uint8_t>& data) {
    const std::uint32_t colours = 1u << bits;
    std::vector<std::uint8_t> bytes{'B', 'M'};
    const std::uint32_t dataOffset = 54 + colours * 4;
    for (std::uint32_t v :
         {dataOffset + static_cast<std::uint32_t>(data.size()), 0u, dataOffset, 40u})
        lumenreel::appendLE(bytes, v);
    lumenreel::appendLE(bytes, width);
    lumenreel::appendLE(bytes, height);
    lumenreel::appendLE<std::uint16_t>(bytes, 1);
    lumenreel::appendLE<std::uint16_t>(bytes, static_cast<std::uint16_t>(bits));
    lumenreel::appendLE<std::uint32_t>(bytes, bits == 8 ? 1 : 2);
    for (std::uint32_t v : {static_cast<std::uint32_t>(data.size()), 2835u, 2835u, colours, 0u})
        lumenreel::appendLE(bytes, v);
    for (std::uint32_t i = 0; i < colours; ++i)
        lumenreel::appendLE<std::uint32_t>(bytes, i * 0x010101u);
    bytes.insert(bytes.end(), data.begin(), data.end());
    return bytes;
}

// The palette index behind each pixel of such a bitmap, rows top first, separated by '/'.
std::string indicesOf(const CImageExt& image) {
    std::string rows;
    for (int y = 0; y < image.height(); ++y) {
        if (y > 0)
            rows += '/';
        for (int x = 0; x < image.width(); ++x)
            rows += "0123456789ABCDEF"[(image.pixel(x, y) & 0xFF) % 16];
    }
    return rows;
}

TEST_F(CodecTest, RunLengthBitmapsFromTheToolDecodeToItsPixels) {
    // Runs of one colour beside stretches where every pixel differs, on an odd width.
    for (int colours : {40, 16}) {
        CImageExt image;
        image.create(41, 9, 24);
        for (int y = 0; y < 9; ++y) {
            for (int x = 0; x < 41; ++x)
                image.setPixel(x, y, patternColour(x < 24 ? x / 6 + y : x + y, 0, colours));
        }
        writePpm(path("in.ppm"), image);
        run("convert " + quoted("in.ppm") +
            " -type Palette -compress RLE BMP3:" + quoted("rle.bmp"));
        const auto verbose = runCommand("identify -verbose " + quoted("rle.bmp"));
        EXPECT_NE(verbose.out.find("Compression: RLE"), std::string::npos) << colours;
        const CImageExt decoded = decodeFile(path("rle.bmp"));
        EXPECT_EQ(rgbaOf(decoded), rgbaByConvert(path("rle.bmp"))) << colours;
        EXPECT_TRUE(decoded.equals(image)) << colours;
    }
}

// Hand-made run-length data: every kind of step, and hostile runs, jumps and cuts. Index 0 shows
// where nothing was drawn; the tool wants a little slack after the end marker.
TEST_F(CodecTest, RunLengthStepsClipToThePictureAndCutDataFails) {
    struct Case {
        const char* what;
        int bits;
        int width, height;
        std::vector<std::uint8_t> data;
        const char* indices;  // empty: the file must be refused
        bool toolAgrees;      // the tool reads it too and sees the same pixels
    };
    const Case cases[] = {
        {"rle8 steps",
         8,
         5,
         3,
         {2, 7, 0, 2, 1, 1, 2, 8, 0, 0, 0, 3, 1, 2, 3, 0, 0, 1, 0, 0},
         "12300/00088/77000",
         true},
        {"rle4 steps",
         4,
         7,
         2,
         {3, 0x12, 0, 3, 0xAB, 0xC0, 0, 0, 5, 0xEF, 0, 1, 0, 0},
         "EFEFE00/121ABC0",
         true},
        {"rle4 literal padding",
         4,
         6,
         1,
         {0, 5, 0x12, 0x34, 0x50, 0, 1, 0xDD, 0, 1, 0, 0},
         "12345D",
         true},
        {"run past the row end", 8, 4, 2, {9, 5, 0, 0, 200, 6, 0, 1}, "6666/5555", false},
        {"literal past the row end", 8, 3, 1, {0, 5, 1, 2, 3, 4, 5, 0, 0, 1}, "123", false},
        {"jump past the row end",
         8,
         3,
         2,
         {0, 2, 250, 0, 3, 4, 0, 0, 2, 5, 0, 1},
         "550/000",
         false},
        {"jump past the picture", 8, 3, 2, {1, 4, 0, 2, 1, 200, 9, 9}, "000/400", false},
        {"no end marker after the last row", 8, 2, 1, {2, 3, 0, 0}, "33", false},
        {"cut in a run", 8, 4, 2, {4, 1, 0, 0, 2}, "", false},
        {"cut in a jump", 8, 4, 2, {0, 2, 1}, "", false},
        {"cut in a literal", 4, 8, 2, {0, 7, 0x12, 0x34}, "", false},
        {"ends before the picture does", 8, 4, 2, {4, 1, 0, 0}, "", false},
        {"top-down", 8, 2, -1, {2, 3, 0, 1}, "", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const auto bytes = runLengthBitmap(c.bits, c.width, c.height, c.data);
        CImageExt image;
        EXPECT_EQ(image.loadFromBytes(bytes), *c.indices != 0);
        EXPECT_EQ(indicesOf(image), c.indices);
        if (c.toolAgrees) {
            writeBytes(path("hand.bmp"), bytes);
            EXPECT_EQ(rgbaOf(image), rgbaByConvert(path("hand.bmp")));
        }
    }
}

TEST_F(CodecTest, MonochromeBitmapsAreBlackAndWhite) {
    CImageExt mask;
    mask.create(19, 3, 32);
    for (int x = 0; x < 19; ++x)
        mask.setPixel(x, 1, x % 3 ? 0xFFFFFFFF : 0xFF000000);
    std::vector<std::uint8_t> bytes;
    ASSERT_TRUE(lumenreel::encodeMonochromeBmp(mask, bytes));
    writeBytes(path("mask.bmp"), bytes);
    const auto identify = runCommand("identify -format '%w %h %z' " + quoted("mask.bmp"));
    EXPECT_EQ(identify.out, "19 3 1");
    const CImageExt decoded = decodeFile(path("mask.bmp"));
    ASSERT_EQ(decoded.width(), 19);
    for (int x = 0; x < 19; ++x) {
        EXPECT_EQ(decoded.pixel(x, 1), x % 3 ? 0xFFFFFFu : 0u) << x;
        EXPECT_EQ(decoded.pixel(x, 0), 0u);
    }
}

TEST_F(CodecTest, JpegQualityIsHonoured) {
    CImageExt image;  // smooth, as photographs and screens mostly are
    image.create(64, 48, 24);
    for (int y = 0; y < 48; ++y)
        for (int x = 0; x < 64; ++x)
            image.setPixel(x, y, (x * 4) << 16 | (y * 5) << 8 | 0x80);
    std::size_t previousSize = 0;
    for (int quality : {20, 60, 95}) {
        CKWXMemFile jpeg;
        ASSERT_TRUE(image.saveJpeg(jpeg, quality));
        const std::size_t size = jpeg.GetLength();
        EXPECT_GT(size, previousSize);
        previousSize = size;
        writeBytes(path("ours.jpg"), jpeg.Detach());
        const auto identify = runCommand("identify -format '%w %h %Q' " + quoted("ours.jpg"));
        EXPECT_EQ(identify.out, "64 48 " + std::to_string(quality));
        const CImageExt decoded = decodeFile(path("ours.jpg"));
        EXPECT_LE(largestDifference(rgbaOf(decoded), rgbaByConvert(path("ours.jpg"))), 2);
    }
    // At high quality the picture survives within a small error.
    CKWXMemFile best;
    ASSERT_TRUE(image.saveJpeg(best, 100));
    CImageExt decoded;
    ASSERT_TRUE(decoded.loadFromBytes(best.Bytes()));
    EXPECT_LE(largestDifference(rgbaOf(decoded), rgbaOf(image)), 6);
}

TEST_F(CodecTest, FormatComesFromTheBytesNotTheName) {
    writePpm(path("in.ppm"), makePattern(4, 4, 24));
    run("convert " + quoted("in.ppm") + " PNG:" + quoted("looks-like.jpg"));
    const auto bytes = readBytes(path("looks-like.jpg"));
    EXPECT_EQ(lumenreel::detectImageFormat(bytes), lumenreel::ImageFormat::png);
    CImageExt image;
    EXPECT_TRUE(image.loadFromBytes(bytes));
    EXPECT_FALSE(image.loadFromBytes(std::vector<std::uint8_t>{'P', '6', '\n'}));
    EXPECT_TRUE(image.isNull());
}

TEST_F(CodecTest, HostileSizesAndCutFilesFailCleanly) {
    // A bitmap header claiming 100000 × 100000 and one claiming more rows than it holds.
    auto bitmapHeader = [](std::int32_t width, std::int32_t height) {
        std::vector<std::uint8_t> bytes{'B', 'M'};
        for (std::uint32_t v : {0u, 0u, 54u, 40u})
            lumenreel::appendLE(bytes, v);
        lumenreel::appendLE(bytes, width);
        lumenreel::appendLE(bytes, height);
        lumenreel::appendLE<std::uint16_t>(bytes, 1);
        lumenreel::appendLE<std::uint16_t>(bytes, 24);
        for (int i = 0; i < 6; ++i)
            lumenreel::appendLE<std::uint32_t>(bytes, 0);
        bytes.resize(bytes.size() + 64, 0x55);
        return bytes;
    };
    CImageExt image;
    EXPECT_FALSE(image.loadFromBytes(bitmapHeader(100000, 100000)));
    EXPECT_FALSE(image.loadFromBytes(bitmapHeader(4000, 3000)));
    EXPECT_FALSE(image.loadFromBytes(bitmapHeader(4, INT32_MIN)));
    EXPECT_TRUE(image.loadFromBytes(bitmapHeader(4, 4)));

    // Real files cut short, and a PNG whose header is changed to claim 15000 × 15000.
    writePpm(path("in.ppm"), makePattern(40, 30, 24));
    run("convert " + quoted("in.ppm") + " " + quoted("a.png") + " && convert " + quoted("in.ppm") +
        " " + quoted("a.jpg"));
    for (const char* name : {"a.png", "a.jpg"}) {
        std::vector<std::uint8_t> bytes = readBytes(path(name));
        bytes.resize(bytes.size() * 2 / 3);
        EXPECT_FALSE(image.loadFromBytes(bytes)) << name;
    }
    std::vector<std::uint8_t> png = readBytes(path("a.png"));
    lumenreel::storeLE<std::uint32_t>(png.data() + 16, 0x983A0000);  // 15000, big-endian
    lumenreel::storeLE<std::uint32_t>(png.data() + 20, 0x983A0000);
    // The header's CRC is recomputed so that libpng reads on.
    std::uint32_t crc = 0xFFFFFFFF;
    for (int i = 12; i < 29; ++i) {
        crc ^= png[i];
        for (int k = 0; k < 8; ++k)
            crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1)));
    }
    crc = ~crc;
    const std::uint8_t crcBytes[4] = {
        static_cast<std::uint8_t>(crc >> 24), static_cast<std::uint8_t>(crc >> 16),
        static_cast<std::uint8_t>(crc >> 8), static_cast<std::uint8_t>(crc)};
    std::copy_n(crcBytes, 4, png.begin() + 29);
    EXPECT_FALSE(image.loadFromBytes(png));
    EXPECT_TRUE(image.isNull());
}
