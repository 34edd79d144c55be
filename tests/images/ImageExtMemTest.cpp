#include "images/ImageExtMem.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>

#include "ImagePatterns.h"
#include "base/MemFile.h"
#include "images/ImageDecoder.h"
#include "images/ImageExt.h"
#include "images/ImageExtMemGzip.h"
#include "storage/GzipCompression.h"
#include "storage/SerializeInterfaceRB.h"
#include "support/TestSupport.h"

using lumenreel::test::makePattern;

namespace {

// Stores through the keyed form, then loads what was stored into `loaded`.
bool keyedRoundTrip(const std::function<bool(CSerializeInterface&)>& store,
                    const std::function<bool(CSerializeInterface&)>& load) {
    CKWXMemFile file;
    {
        CSerializeInterfaceRB archive(file, CSerializeInterface::modeStore);
        if (!store(archive))
            return false;
        archive.Close();
    }
    file.SeekTo(0);
    CSerializeInterfaceRB archive(file, CSerializeInterface::modeLoad);
    return load(archive);
}

// A "MEM_EX_GZIP" record written key by key, as another writer might have made it.
bool loadGzipRecord(CImageExtMemGzip& node, std::uint16_t w, std::uint16_t h, std::uint8_t bits,
                    const std::vector<std::uint8_t>& member) {
    return keyedRoundTrip(
        [&](CSerializeInterface& ar) {
            ar.EnterSection("MEM_EX_GZIP");
            ar.SetKey("width");
            ar.WriteInt16(w);
            ar.SetKey("height");
            ar.WriteInt16(h);
            ar.SetKey("bpp");
            ar.WriteInt8(bits);
            ar.SetKey("size_of_image_data");
            ar.WriteInt32A(static_cast<std::uint32_t>(member.size()));
            ar.SetKey("gzipped_data");
            ar.WriteBytes(member.data(), member.size());
            ar.LeaveSection();
            return ar.GetStatus();
        },
        [&](CSerializeInterface& ar) { return node.serialize(ar); });
}

std::vector<std::uint8_t> gzipOf(std::size_t bytes) {
    std::vector<std::uint8_t> zeros(bytes, 0x5A);
    return GzipMemWriter(std::span<const std::uint8_t>(zeros), 1).Detach();
}

}  // namespace

TEST(ImageExtMemTest, RectanglesCopyInAndOutForBothKinds) {
    const CImageExt picture = makePattern(20, 10, 24);
    std::unique_ptr<CImageExtMem> kinds[] = {std::make_unique<CImageExtMem>(),
                                             std::make_unique<CImageExtMemGzip>()};
    for (auto& node : kinds) {
        ASSERT_TRUE(node->copyRect(picture, 3, 2, 7, 5));
        EXPECT_EQ(node->imageBytes(), 24u * 5);  // rows of 7 pixels take 24 bytes
        CImageExt out;
        ASSERT_TRUE(node->copyTo(out));
        ASSERT_EQ(out.width(), 7);
        EXPECT_EQ(out.bpp(), 24);
        EXPECT_TRUE(out.regionEquals(picture, 0, 0, 7, 5, 3, 2));
        EXPECT_FALSE(node->copyRect(picture, 15, 0, 7, 5));
        EXPECT_FALSE(node->copyRect(CImageExt(), 0, 0, 1, 1));
        EXPECT_EQ(node->width(), 7);  // failed copies leave the content alone

        // Rows of 7 24-bit pixels and of 6 32-bit ones both take 24 bytes: the rows stay.
        ASSERT_TRUE(node->setSize(6, 5, 32));
        ASSERT_TRUE(node->copyTo(out));
        EXPECT_EQ(out.bpp(), 32);
        EXPECT_EQ(out.firstRow()[0], picture.firstRow()[picture.pitch() * 2 + 9]);
        node->clear();
        EXPECT_TRUE(node->isEmpty());
        EXPECT_FALSE(node->copyTo(out));
    }
}

TEST(ImageExtMemTest, GzipNodesHoldOneMemberThatGzipReads) {
    const CImageExt picture = makePattern(33, 9, 32);
    CImageExtMemGzip node;
    ASSERT_TRUE(node.copyAll(picture));
    const auto member = node.compressed();
    const std::vector<std::uint8_t> header(member.begin(), member.begin() + 10);
    EXPECT_EQ(header, (std::vector<std::uint8_t>{0x1F, 0x8B, 8, 0, 0, 0, 0, 0, 0, 0x0B}));

    lumenreel::test::TempDir dir;
    lumenreel::test::writeBytes(dir / "rows.gz", {member.begin(), member.end()});
    const auto result = lumenreel::test::runCommand(
        "gzip -dc " + lumenreel::test::shellQuote((dir / "rows.gz").string()));
    ASSERT_EQ(result.exitCode, 0) << result.err;
    const std::vector<std::uint8_t> rows(picture.firstRow(),
                                         picture.firstRow() + picture.pitch() * 9);
    EXPECT_EQ(std::vector<std::uint8_t>(result.out.begin(), result.out.end()), rows);
}

TEST(ImageExtMemTest, StoredFormsRoundTrip) {
    const CImageExt picture = makePattern(17, 6, 32);
    CImageExtMem plain, plainLoaded;
    CImageExtMemGzip gzip, gzipLoaded;
    plain.copyAll(picture);
    gzip.copyAll(picture);
    ASSERT_TRUE(keyedRoundTrip([&](CSerializeInterface& ar) { return plain.serialize(ar); },
                               [&](CSerializeInterface& ar) { return plainLoaded.serialize(ar); }));
    ASSERT_TRUE(keyedRoundTrip([&](CSerializeInterface& ar) { return gzip.serialize(ar); },
                               [&](CSerializeInterface& ar) { return gzipLoaded.serialize(ar); }));
    for (const CImageExtMem* node : {static_cast<const CImageExtMem*>(&plainLoaded),
                                     static_cast<const CImageExtMem*>(&gzipLoaded)}) {
        CImageExt out;
        ASSERT_TRUE(node->copyTo(out));
        EXPECT_TRUE(out.equals(picture));
    }

    // An empty node stores no pixels and loads empty.
    CImageExtMemGzip empty, emptyLoaded;
    emptyLoaded.copyAll(picture);
    ASSERT_TRUE(keyedRoundTrip([&](CSerializeInterface& ar) { return empty.serialize(ar); },
                               [&](CSerializeInterface& ar) { return emptyLoaded.serialize(ar); }));
    EXPECT_TRUE(emptyLoaded.isEmpty());
}

TEST(ImageExtMemTest, GzipRecordsOfOtherDepthsOrWrongSizesLoadEmpty) {
    CImageExtMemGzip node;
    // Depth 16: read, accepted as a record, but no pixels are taken.
    node.copyAll(makePattern(2, 2, 24));
    EXPECT_TRUE(loadGzipRecord(node, 4, 4, 16, gzipOf(32)));
    EXPECT_TRUE(node.isEmpty());

    // Depth 24, 4 × 4: rows of 12 bytes, 48 in all. One byte more or less fails.
    EXPECT_TRUE(loadGzipRecord(node, 4, 4, 24, gzipOf(48)));
    EXPECT_EQ(node.width(), 4);
    for (std::size_t wrong : {47u, 49u, 4800u}) {
        EXPECT_FALSE(loadGzipRecord(node, 4, 4, 24, gzipOf(wrong))) << wrong;
        EXPECT_TRUE(node.isEmpty()) << wrong;
    }
    std::vector<std::uint8_t> damaged = gzipOf(48);
    damaged[damaged.size() - 5] ^= 1;  // the CRC
    EXPECT_FALSE(loadGzipRecord(node, 4, 4, 24, damaged));
    EXPECT_TRUE(node.isEmpty());
}

TEST(ImageExtMemTest, ImageDataSectionHoldsAPng) {
    const CImageExt picture = makePattern(12, 5, 24);
    CImageExt loaded;
    lumenreel::ImageFormat stored = lumenreel::ImageFormat::unknown;
    ASSERT_TRUE(keyedRoundTrip(
        [&](CSerializeInterface& ar) { return const_cast<CImageExt&>(picture).serialize(ar); },
        [&](CSerializeInterface& ar) {
            const bool ok = loaded.serialize(ar);
            ar.EnterSection("IMAGEEXT_DATA");
            ar.SetKey("image_data_size");
            std::vector<std::uint8_t> bytes(ar.ReadInt32A());
            ar.SetKey("image_raw_data");
            ar.ReadBytes(bytes.data(), bytes.size());
            stored = lumenreel::detectImageFormat(bytes);
            return ok;
        }));
    EXPECT_TRUE(loaded.equals(picture));
    EXPECT_EQ(stored, lumenreel::ImageFormat::png);
}
