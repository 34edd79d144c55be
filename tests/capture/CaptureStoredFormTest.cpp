#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "CaptureFixtures.h"
#include "storage/GzipCompression.h"

namespace lumenreel::test {
namespace {

// Stored streams written key by key, as a damaged or hostile file might hold them.
struct StoredNode {
    StoredNode() = default;
    StoredNode(std::uint16_t x, std::uint16_t y, std::uint16_t width, std::uint16_t height)
        : x(x), y(y), width(width), height(height) {}

    std::uint16_t x = 0, y = 0, width = 16, height = 16;
    std::uint8_t bits = 24;
    // Bytes the member inflates to, when that is not the node's own rows.
    std::optional<std::size_t> inflatedBytes;
    bool notGzip = false;
};

struct StoredPicture {
    std::uint32_t id = 1, keyId = 1;
    bool clone = false;
    std::uint16_t width = 16, height = 16;
    std::vector<StoredNode> nodes{StoredNode{}};
    std::optional<std::int32_t> nodeCount;
};

struct StoredStream {
    std::string section = "CAPTURE_ENCODER_EX";
    std::uint32_t nextFreeId = 100;
    std::optional<std::int32_t> count;
    std::vector<StoredPicture> pictures;
};

std::vector<std::uint8_t> memberFor(const StoredNode& node) {
    if (node.notGzip)
        return std::vector<std::uint8_t>(40, 0x1F);
    const std::size_t rows =
        static_cast<std::size_t>(CImageExt::rowBytes(node.width, node.bits)) * node.height;
    std::vector<std::uint8_t> pixels(node.inflatedBytes.value_or(rows), 0x5C);
    return GzipMemWriter(std::span<const std::uint8_t>(pixels), 1).Detach();
}

void writeNode(CSerializeInterface& ar, const StoredNode& node, std::size_t i) {
    ar.EnterSection("s_im" + std::to_string(i));
    ar.SetKey("posx");
    ar.WriteInt16(node.x);
    ar.SetKey("posy");
    ar.WriteInt16(node.y);
    ar.EnterSection("MEM_EX_GZIP");
    const auto member = memberFor(node);
    ar.SetKey("width");
    ar.WriteInt16(node.width);
    ar.SetKey("height");
    ar.WriteInt16(node.height);
    ar.SetKey("bpp");
    ar.WriteInt8(node.bits);
    ar.SetKey("size_of_image_data");
    ar.WriteInt32A(static_cast<std::uint32_t>(member.size()));
    ar.SetKey("gzipped_data");
    ar.WriteBytes(member.data(), member.size());
    ar.LeaveSection();
    ar.LeaveSection();
}

std::vector<std::uint8_t> writeStream(const StoredStream& stream) {
    return storeKeyed([&](CSerializeInterface& ar) {
        ar.EnterSection(stream.section);
        ar.SetKey("next_free_uid");
        ar.WriteInt32A(stream.nextFreeId);
        ar.SetKey("cnt");
        ar.WriteInt32A(stream.count.value_or(static_cast<std::int32_t>(stream.pictures.size())));
        for (std::size_t k = 0; k < stream.pictures.size(); ++k) {
            const StoredPicture& p = stream.pictures[k];
            ar.EnterSection("Image" + std::to_string(k));
            ar.SetKey("unique_id");
            ar.WriteInt32A(p.id);
            ar.SetKey("clone_prev_stat");
            ar.WriteBool(p.clone);
            ar.SetKey("keyframe_id");
            ar.WriteInt32A(p.keyId);
            ar.SetKey("width");
            ar.WriteInt16(p.width);
            ar.SetKey("height");
            ar.WriteInt16(p.height);
            ar.SetKey("number_nodes");
            ar.WriteInt32A(p.nodeCount.value_or(static_cast<std::int32_t>(p.nodes.size())));
            for (std::size_t i = 0; i < p.nodes.size(); ++i)
                writeNode(ar, p.nodes[i], i);
            ar.LeaveSection();
        }
        ar.LeaveSection();
        return ar.GetStatus();
    });
}

StoredPicture delta(std::uint32_t id, std::uint32_t keyId = 1) {
    StoredPicture p;
    p.id = id;
    p.keyId = keyId;
    p.nodes = {StoredNode{2, 3, 4, 5}};
    return p;
}

// A key picture and a delta on it, with one fault put in.
StoredStream validStream(const std::function<void(StoredStream&)>& fault) {
    StoredStream stream;
    stream.pictures = {StoredPicture{}, delta(2)};
    fault(stream);
    return stream;
}

struct FaultCase {
    const char* name;
    std::function<void(StoredStream&)> fault;
    const char* reason;
    int kept;  // pictures before the fault, which stay and rebuild
};

class CaptureHostileStreamTest : public ::testing::TestWithParam<FaultCase> {};

TEST_P(CaptureHostileStreamTest, ReadFailsWithAReasonAndKeepsWhatCameBefore) {
    const FaultCase& c = GetParam();
    CCaptureEncoderExt encoder;
    EXPECT_FALSE(readEncoder(encoder, writeStream(validStream(c.fault))));
    EXPECT_NE(encoder.lastError().find(c.reason), std::string::npos) << encoder.lastError();
    ASSERT_EQ(encoder.pictureCount(), c.kept);
    CImageExt rebuilt;
    for (int i = 0; i < c.kept; ++i)
        EXPECT_TRUE(encoder.pictureImageAt(rebuilt, i));
}

auto& picture(StoredStream& s, std::size_t k) {
    return s.pictures[k];
}

INSTANTIATE_TEST_SUITE_P(
    Cases, CaptureHostileStreamTest,
    ::testing::Values(
        FaultCase{"MissingSection", [](auto& s) { s.section = "OTHER"; },
                  "no section CAPTURE_ENCODER_EX", 0},
        FaultCase{"NegativeCount", [](auto& s) { s.count = -1; }, "cnt is -1", 0},
        FaultCase{"CountBeyondPictures", [](auto& s) { s.count = 3; },
                  "picture 2: no section Image2", 2},
        FaultCase{"ZeroWidth", [](auto& s) { picture(s, 0).width = 0; },
                  "picture 0: size 0 x 16 is outside", 0},
        FaultCase{"BeyondTheImageLimits",
                  [](auto& s) { picture(s, 0).width = picture(s, 0).height = 16385; },
                  "outside the image limits", 0},
        FaultCase{"FiveNodes", [](auto& s) { picture(s, 1).nodeCount = 5; }, "picture 1: 5 nodes",
                  1},
        FaultCase{"NegativeNodeCount", [](auto& s) { picture(s, 1).nodeCount = -1; }, "-1 nodes",
                  1},
        FaultCase{"NodeCountBeyondNodes", [](auto& s) { picture(s, 1).nodeCount = 2; },
                  "picture 1: no section s_im1", 1},
        FaultCase{"KeyNodeShort", [](auto& s) { picture(s, 0).nodes[0].width = 15; },
                  "does not cover", 0},
        FaultCase{"KeyNodeMoved", [](auto& s) { picture(s, 0).nodes[0].x = 1; }, "does not cover",
                  0},
        FaultCase{"KeyOfTwoNodes",
                  [](auto& s) {
                      picture(s, 0).nodes.push_back(StoredNode{0, 0, 2, 2});
                  },
                  "exactly one node", 0},
        FaultCase{"KeyMarkedClone", [](auto& s) { picture(s, 0).clone = true; }, "exactly one node",
                  0},
        FaultCase{"KeyNodeOfAnotherDepth", [](auto& s) { picture(s, 0).nodes[0].bits = 16; },
                  "does not cover", 0},
        FaultCase{"NodeLeavesThePicture",
                  [](auto& s) {
                      picture(s, 1).nodes[0] = StoredNode{14, 12, 4, 4};
                  },
                  "picture 1: a node leaves the picture", 1},
        FaultCase{"FirstPictureIsADelta", [](auto& s) { s.pictures = {delta(1, 7)}; },
                  "key id 7 names no key picture", 0},
        FaultCase{"DeltaOnAnOlderChain",
                  [](auto& s) {
                      StoredPicture second;
                      second.id = second.keyId = 3;
                      s.pictures = {StoredPicture{}, second, delta(4, 1)};
                  },
                  "picture 2: key id 1 names no key picture", 2},
        FaultCase{"IdUsedTwice", [](auto& s) { picture(s, 1).id = 1; }, "id 1 is 0 or used twice",
                  1},
        FaultCase{"IdZero", [](auto& s) { picture(s, 0).id = picture(s, 0).keyId = 0; }, "id 0", 0},
        FaultCase{"ChainOfThirtyFour",
                  [](auto& s) {
                      for (std::uint32_t id = 3; id <= 34; ++id)
                          s.pictures.push_back(delta(id));
                  },
                  "picture 33: its chain holds more than 33 pictures", 33},
        FaultCase{"DeltaOfAnotherSize", [](auto& s) { picture(s, 1).height = 17; },
                  "size 16 x 17 differs from its key's", 1},
        FaultCase{"CloneWithNodes", [](auto& s) { picture(s, 1).clone = true; },
                  "a clone holds nodes", 1},
        FaultCase{"MemberInflatesShort", [](auto& s) { picture(s, 1).nodes[0].inflatedBytes = 59; },
                  "picture 1: node 0: its pixels are missing or do not inflate", 1},
        FaultCase{"MemberInflatesLong",
                  [](auto& s) { picture(s, 0).nodes[0].inflatedBytes = 16 * 48 + 1; },
                  "picture 0: node 0", 0},
        FaultCase{"MemberIsNotGzip", [](auto& s) { picture(s, 1).nodes[0].notGzip = true; },
                  "picture 1: node 0", 1}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(CaptureStoredFormTest, ANodeOfAnotherDepthIsLeftEmpty) {
    StoredStream stream = validStream([](auto& s) { s.pictures[1].nodes[0].bits = 16; });
    CCaptureEncoderExt encoder;
    ASSERT_TRUE(readEncoder(encoder, writeStream(stream))) << encoder.lastError();
    CImageExt key, second;
    ASSERT_TRUE(encoder.pictureImageAt(key, 0));
    ASSERT_TRUE(encoder.pictureImageAt(second, 1));
    EXPECT_TRUE(second.equals(key));
}

TEST(CaptureStoredFormTest, NewIdsNeverMeetStoredOnes) {
    StoredStream stream = validStream([](auto& s) { s.nextFreeId = 2; });
    CCaptureEncoderExt encoder;
    ASSERT_TRUE(readEncoder(encoder, writeStream(stream))) << encoder.lastError();
    EXPECT_EQ(encoder.nextFreeId(), 3u);
    EXPECT_EQ(*encoder.addPicture(flatPicture(16, 16, 24)), 3u);
}

TEST(CaptureStoredFormTest, WrittenKeysFollowTheStoredLayout) {
    CCaptureEncoderExt encoder;
    encoder.addPicture(flatPicture(16, 16, 24));
    CImageExt changed = flatPicture(16, 16, 24);
    changed.setPixel(12, 13, 0xFF);
    encoder.addPicture(changed);
    const auto bytes = writtenEncoder(encoder);
    EXPECT_TRUE(loadKeyed(bytes, [](CSerializeInterface& ar) {
        std::uint32_t cnt = 0, nodes = 0;
        std::uint16_t x = 0, y = 0;
        bool ok = ar.EnterSection("CAPTURE_ENCODER_EX") && (ar.SetKey("cnt"), ar.ReadInt32A(cnt)) &&
                  ar.EnterSection("Image1") && (ar.SetKey("number_nodes"), ar.ReadInt32A(nodes)) &&
                  ar.EnterSection("s_im0") && (ar.SetKey("posx"), ar.ReadInt16(x)) &&
                  (ar.SetKey("posy"), ar.ReadInt16(y)) && ar.EnterSection("MEM_EX_GZIP");
        return ok && cnt == 2 && nodes == 1 && x == 12 && y == 13;
    }));
}

}  // namespace
}  // namespace lumenreel::test
