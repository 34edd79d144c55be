#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "base/ByteOrder.h"
#include "base/MemFile.h"
#include "storage/RecursiveBinaryFile.h"
#include "support/TestSupport.h"

namespace {

using Bytes = std::vector<std::uint8_t>;
using CRFKey = CRecursiveBinaryFile::CRFKey;

const Bytes kIdentifier{0x5E, 0x15, 0x84, 0xDA, 0x20, 0x5E, 0xB0, 0x42,
                        0xB4, 0x06, 0x9A, 0x24, 0x00, 0xF9, 0x9B, 0x95};

Bytes toBytes(std::span<const std::uint8_t> span) {
    return Bytes(span.begin(), span.end());
}

void append(Bytes& out, const std::string& text) {
    out.insert(out.end(), text.begin(), text.end());
}
void appendU16(Bytes& out, std::uint16_t value) {
    lumenreel::appendLE(out, value);
}
void appendU32(Bytes& out, std::uint32_t value) {
    lumenreel::appendLE(out, value);
}

Bytes header(std::uint32_t indexOffset, std::uint32_t totalLength) {
    Bytes bytes = kIdentifier;
    appendU32(bytes, indexOffset);
    appendU32(bytes, totalLength);
    return bytes;
}

// A hand-made container: header, data area and index records as given.
Bytes container(const Bytes& data, const Bytes& index) {
    std::uint32_t indexOffset = static_cast<std::uint32_t>(24 + data.size());
    Bytes bytes = header(indexOffset, static_cast<std::uint32_t>(indexOffset + index.size()));
    bytes.insert(bytes.end(), data.begin(), data.end());
    bytes.insert(bytes.end(), index.begin(), index.end());
    return bytes;
}

void namedRecord(Bytes& out, const std::string& name, std::uint32_t size, std::uint32_t offset,
                 std::uint32_t children) {
    appendU16(out, static_cast<std::uint16_t>(name.size()));
    if (name.empty())
        appendU32(out, 0);
    append(out, name);
    appendU32(out, size);
    if (size != 0)
        appendU32(out, offset);
    appendU32(out, children);
}

std::string label(const CRFKey& key) {
    if (!key.IsNumeric())
        return key.GetName();
    std::string text = "#";
    return text.append(std::to_string(key.GetId()));
}

std::vector<std::string> childNames(const CRecursiveBinaryFile::CRFKeyStructure& node) {
    std::vector<std::string> names;
    for (const auto& entry : node.GetChildren())
        names.push_back(label(entry.first));
    return names;
}

TEST(ContainerTest, EmptyContainerIsHeaderAndRootRecord) {
    CKWXMemFile file;
    CRecursiveBinaryFile rbf;
    ASSERT_TRUE(rbf.OpenWrite(&file));
    EXPECT_TRUE(rbf.IsWriting());
    ASSERT_TRUE(rbf.Close());
    Bytes expected = header(24, 38);
    namedRecord(expected, "", 0, 0, 0);
    EXPECT_EQ(toBytes(file.Bytes()), expected);

    file.Seek(0, CFile::SeekFrom::begin);
    ASSERT_TRUE(rbf.OpenRead(&file));
    EXPECT_EQ(rbf.GetChildCount(), 0u);
    EXPECT_EQ(rbf.GetDataSize(), 0u);
}

TEST(ContainerTest, DocumentTypeExampleHasItsBlockAtOffset24AndTheIndexAfterIt) {
    const std::string signature = "Lumenreel_28012005_VER 1.0.0.0";
    Bytes value{static_cast<std::uint8_t>(signature.size())};
    append(value, signature);
    ASSERT_EQ(value.size(), 31u);

    CKWXMemFile file;
    CRecursiveBinaryFile rbf;
    ASSERT_TRUE(rbf.OpenWrite(&file));
    ASSERT_TRUE(rbf.AddKey("ZEPHYRCAST_ROOT", true));
    ASSERT_TRUE(rbf.AddKey("document_type", true));
    ASSERT_TRUE(rbf.WriteData(value.data(), value.size()));
    ASSERT_TRUE(rbf.GoUp());
    ASSERT_TRUE(rbf.GoUp());
    ASSERT_TRUE(rbf.Close());

    Bytes index;
    namedRecord(index, "", 0, 0, 1);
    namedRecord(index, "ZEPHYRCAST_ROOT", 0, 0, 1);
    namedRecord(index, "document_type", 31, 24, 0);
    EXPECT_EQ(toBytes(file.Bytes()), container(value, index));

    file.Seek(0, CFile::SeekFrom::begin);
    ASSERT_TRUE(rbf.OpenRead(&file));
    ASSERT_TRUE(rbf.EnterPath("ZEPHYRCAST_ROOT\\document_type"));
    Bytes read(rbf.GetDataSize());
    ASSERT_TRUE(rbf.ReadAllData(read.data()));
    EXPECT_EQ(read, value);
}

TEST(ContainerTest, NumericKeysComeFirstInUnsignedOrder) {
    CKWXMemFile file;
    CRecursiveBinaryFile rbf;
    ASSERT_TRUE(rbf.OpenWrite(&file));
    for (std::uint32_t id : {0x80000000u, 1u})
        ASSERT_TRUE(rbf.AddKey(id, false));
    ASSERT_TRUE(rbf.AddKey("b", false));
    ASSERT_TRUE(rbf.AddKey("B", false));
    ASSERT_TRUE(rbf.AddKey("a", false));
    ASSERT_TRUE(rbf.Close());

    file.Seek(0, CFile::SeekFrom::begin);
    std::vector<std::string> stored;
    rbf.SetIndexVisitor([&](const CRFKey& key, std::uint32_t, std::uint32_t, int depth) {
        if (depth == 1)
            stored.push_back(label(key));
    });
    ASSERT_TRUE(rbf.OpenRead(&file));
    const std::vector<std::string> expected{"#1", "#2147483648", "B", "a", "b"};
    EXPECT_EQ(stored, expected);
    EXPECT_EQ(childNames(*rbf.GetCurrent()), expected);
    EXPECT_TRUE(rbf.EnterKey(CRFKey(0x80000000u)));
    EXPECT_FALSE(rbf.EnterKey(CRFKey(2u)));
}

TEST(ContainerTest, KeysCompareAsTheLeftKeysCaseFlagSays) {
    CRFKey numeric(5u), named("Play_n.png", true), capitals("PLAY_N.PNG", false);
    EXPECT_TRUE(numeric.Less(named));
    EXPECT_FALSE(named.Less(numeric));
    EXPECT_FALSE(numeric.Equals(CRFKey(std::string("5"))));
    EXPECT_FALSE(named.Equals(capitals));
    EXPECT_TRUE(capitals.Equals(named));
    EXPECT_TRUE(CRFKey(std::string("localization.txt"), false)
                    .Less(CRFKey(std::string("Player Skin"), false)));
    EXPECT_FALSE(CRFKey(std::string("localization.txt"), true)
                     .Less(CRFKey(std::string("Player Skin"), true)));
    // The root counts as a named key with an empty name.
    EXPECT_TRUE(CRFKey().Less(named));
}

class PathTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(writer.OpenWrite(&file));
        ASSERT_TRUE(writer.CreatePath("Player Skin\\Play_n.png", true));
        ASSERT_TRUE(writer.WriteData("png", 3));
        ASSERT_TRUE(writer.Close());
        file.Seek(0, CFile::SeekFrom::begin);
    }
    CKWXMemFile file;
    CRecursiveBinaryFile writer;
};

TEST_F(PathTest, EmptyComponentsAreDropped) {
    CRecursiveBinaryFile rbf;
    std::vector<CRFKey> keys;
    EXPECT_FALSE(rbf.SplitPath("", keys));
    EXPECT_FALSE(rbf.SplitPath("\\\\", keys));
    ASSERT_TRUE(rbf.SplitPath("\\Player Skin\\\\Play_n.png\\", keys));
    ASSERT_EQ(keys.size(), 2u);
    EXPECT_EQ(keys[0].GetName(), "Player Skin");
    EXPECT_EQ(keys[1].GetName(), "Play_n.png");

    ASSERT_TRUE(rbf.OpenRead(&file));
    for (const char* path : {"Player Skin\\Play_n.png", "\\Player Skin\\\\Play_n.png\\"}) {
        ASSERT_TRUE(rbf.EnterPath(path)) << path;
        EXPECT_EQ(rbf.GetDataSize(), 3u) << path;
    }
    EXPECT_TRUE(rbf.EnterPath(""));
    EXPECT_EQ(rbf.GetCurrentPath().size(), 0u);
    EXPECT_FALSE(rbf.GoUp());
}

TEST_F(PathTest, CaseFlagDecidesWhetherCapitalsFindAKey) {
    for (bool caseSensitive : {true, false}) {
        CRecursiveBinaryFile rbf;
        rbf.SetCaseSensitive(caseSensitive);
        file.Seek(0, CFile::SeekFrom::begin);
        ASSERT_TRUE(rbf.OpenRead(&file));
        EXPECT_EQ(rbf.PathExists("PLAYER SKIN\\PLAY_N.PNG"), !caseSensitive);
        EXPECT_TRUE(rbf.PathExists("Player Skin\\Play_n.png"));
    }
}

TEST_F(PathTest, FailedNavigationLeavesTheCurrentKey) {
    CRecursiveBinaryFile rbf;
    ASSERT_TRUE(rbf.OpenRead(&file));
    ASSERT_TRUE(rbf.EnterPath("Player Skin"));
    EXPECT_FALSE(rbf.EnterPath("Player Skin\\missing"));
    EXPECT_FALSE(rbf.EnterKey(CRFKey(std::string("missing"))));
    EXPECT_EQ(rbf.GetChildCount(), 1u);
    ASSERT_TRUE(rbf.EnterKey(CRFKey(std::string("Play_n.png"))));
    EXPECT_TRUE(rbf.GoUp());
    EXPECT_EQ(rbf.GetCurrent()->GetKey().GetName(), "Player Skin");
}

TEST_F(PathTest, ReadsStayInsideTheKeysData) {
    CRecursiveBinaryFile rbf;
    ASSERT_TRUE(rbf.OpenRead(&file));
    char bytes[4] = {};
    EXPECT_FALSE(rbf.ReadData(bytes, 0, 1));  // the root has no data
    ASSERT_TRUE(rbf.EnterPath("Player Skin\\Play_n.png"));
    EXPECT_TRUE(rbf.ReadData(bytes, 1, 2));
    EXPECT_EQ(std::string(bytes, 2), "ng");
    EXPECT_FALSE(rbf.ReadData(bytes, 1, 3));
    EXPECT_FALSE(rbf.ReadData(bytes, 0xFFFFFFFFu, 2));
    EXPECT_EQ(file.GetPosition(), 0u);  // reads leave the stream where it was
}

TEST(ContainerTest, WritingRules) {
    CKWXMemFile file;
    CRecursiveBinaryFile rbf;
    EXPECT_FALSE(rbf.AddKey("early", false));
    ASSERT_TRUE(rbf.OpenWrite(&file));
    EXPECT_FALSE(rbf.OpenWrite(&file));

    ASSERT_TRUE(rbf.AddKey("twice", true));
    EXPECT_FALSE(rbf.AddKey("sub", false) && rbf.AddKey("sub", true));
    EXPECT_EQ(rbf.GetCurrent()->GetKey().GetName(), "twice");
    ASSERT_TRUE(rbf.WriteData("x", 1));
    EXPECT_FALSE(rbf.WriteData("y", 1));
    ASSERT_TRUE(rbf.GoUp());
    EXPECT_FALSE(rbf.AddKey("twice", true));
    EXPECT_FALSE(rbf.AddKey(std::string(70000, 'n'), false));

    ASSERT_TRUE(rbf.AddKey("empty", true));
    ASSERT_TRUE(rbf.WriteData("", 0));
    ASSERT_TRUE(rbf.Close());

    file.Seek(0, CFile::SeekFrom::begin);
    ASSERT_TRUE(rbf.OpenRead(&file));
    EXPECT_FALSE(rbf.AddKey("reading", false));
    ASSERT_TRUE(rbf.EnterPath("empty"));
    EXPECT_EQ(rbf.GetDataSize(), 0u);
    EXPECT_EQ(rbf.GetCurrent()->GetDataOffset(), 0u);
    ASSERT_TRUE(rbf.EnterPath("twice"));
    char byte = 0;
    ASSERT_TRUE(rbf.ReadAllData(&byte));
    EXPECT_EQ(byte, 'x');
}

TEST(ContainerTest, OffsetsAreRelativeToWhereTheContainerStarts) {
    CKWXMemFile file;
    ASSERT_TRUE(file.Write("prefix", 6));
    CRecursiveBinaryFile rbf;
    ASSERT_TRUE(rbf.OpenWrite(&file));
    ASSERT_TRUE(rbf.CreatePath("a\\b", true));
    ASSERT_TRUE(rbf.WriteData("data", 4));
    ASSERT_TRUE(rbf.Close());
    EXPECT_EQ(rbf.GetCurrent()->GetChildren().size(), 0u);

    EXPECT_EQ(lumenreel::loadU32(file.Bytes().data() + 6 + 16), 28u);
    file.Seek(6, CFile::SeekFrom::begin);
    ASSERT_TRUE(rbf.OpenRead(&file));
    ASSERT_TRUE(rbf.EnterPath("a\\b"));
    EXPECT_EQ(rbf.GetCurrent()->GetDataOffset(), 24u);
    char data[4];
    ASSERT_TRUE(rbf.ReadAllData(data));
    EXPECT_EQ(std::string(data, 4), "data");
}

TEST(ContainerTest, DiskContainersRoundTrip) {
    lumenreel::test::TempDir dir;
    std::string path = (dir / "c.bin").string();
    CRecursiveBinaryFile rbf;
    ASSERT_TRUE(rbf.OpenWrite(path));
    ASSERT_TRUE(rbf.CreatePath("k", true));
    ASSERT_TRUE(rbf.WriteData("v", 1));
    ASSERT_TRUE(rbf.Close());
    ASSERT_TRUE(rbf.OpenRead(path));
    EXPECT_TRUE(rbf.PathExists("k"));
    EXPECT_FALSE(rbf.OpenRead(path));
    rbf.Close();
    EXPECT_FALSE(rbf.OpenRead((dir / "missing").string()));
    EXPECT_FALSE(rbf.IsOpen());
}

// Other identifiers are accepted as long as the structure holds.
TEST(ContainerTest, IdentifierIsNotCompared) {
    Bytes index;
    namedRecord(index, "", 0, 0, 0);
    Bytes bytes = container({}, index);
    bytes[0] ^= 0xFF;
    CKWXMemFile file(bytes);
    CRecursiveBinaryFile rbf;
    EXPECT_TRUE(rbf.OpenRead(&file));
}

Bytes deepIndex(int depth) {
    Bytes index;
    namedRecord(index, "", 0, 0, 1);
    for (int i = 0; i < depth; ++i)
        namedRecord(index, "d", 0, 0, i + 1 < depth ? 1 : 0);
    return index;
}

TEST(ContainerTest, MalformedContainersFailToOpen) {
    Bytes data{'x', 'y'};
    auto withChild = [&](std::uint32_t size, std::uint32_t offset, std::uint32_t count,
                         std::uint16_t nameLength) {
        Bytes index;
        namedRecord(index, "", 0, 0, count);
        appendU16(index, nameLength);
        append(index, "k");
        appendU32(index, size);
        appendU32(index, offset);
        appendU32(index, 0);
        return container(data, index);
    };
    Bytes unfinished = withChild(2, 24, 1, 1);
    std::fill(unfinished.begin() + 16, unfinished.begin() + 24, 0);
    Bytes truncatedIndex = withChild(2, 24, 1, 1);
    truncatedIndex.resize(truncatedIndex.size() - 3);
    Bytes lengthBeyondFile = withChild(2, 24, 1, 1);
    lumenreel::storeLE<std::uint32_t>(lengthBeyondFile.data() + 20, 1000);
    Bytes indexInHeader = withChild(2, 24, 1, 1);
    lumenreel::storeLE<std::uint32_t>(indexInHeader.data() + 16, 8);

    struct Case {
        const char* what;
        Bytes bytes;
    };
    const Case cases[] = {
        {"too short for a header", Bytes(kIdentifier)},
        {"never closed", unfinished},
        {"index cut short", truncatedIndex},
        {"total length beyond the file", lengthBeyondFile},
        {"index inside the header", indexInHeader},
        {"child count larger than the index", withChild(2, 24, 0x40000000, 1)},
        {"name longer than the index", withChild(2, 24, 1, 500)},
        {"data before the data area", withChild(2, 10, 1, 1)},
        {"data past the end", withChild(0xFFFFFFF0, 25, 1, 1)},
        {"nesting deeper than 256", container({}, deepIndex(257))},
    };
    for (const Case& c : cases) {
        CKWXMemFile file(c.bytes);
        CRecursiveBinaryFile rbf;
        EXPECT_FALSE(rbf.OpenRead(&file)) << c.what;
        EXPECT_FALSE(rbf.IsOpen()) << c.what;
    }
    CKWXMemFile deepest(container({}, deepIndex(256)));
    CRecursiveBinaryFile rbf;
    EXPECT_TRUE(rbf.OpenRead(&deepest));
    CKWXMemFile good(withChild(2, 24, 1, 1));
    EXPECT_TRUE(CRecursiveBinaryFile().OpenRead(&good));
}

}  // namespace
