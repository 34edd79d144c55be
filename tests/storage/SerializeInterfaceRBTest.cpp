#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "base/ByteOrder.h"
#include "base/MemFile.h"
#include "storage/RecursiveBinaryFile.h"
#include "storage/SerializeInterfaceRB.h"
#include "storage/SerializeTestImage.h"
#include "support/StoredKeyPrint.h"
#include "support/TestSupport.h"

namespace {

using lumenreel::appendLE;

constexpr const char* kSignature = "Lumenreel_28012005_VER 1.0.0.0";

std::vector<std::uint8_t> bytesOf(const CKWXMemFile& file) {
    return {file.Bytes().begin(), file.Bytes().end()};
}

void appendNamedRecord(std::vector<std::uint8_t>& out, const std::string& name) {
    appendLE<std::uint16_t>(out, static_cast<std::uint16_t>(name.size()));
    out.insert(out.end(), name.begin(), name.end());
}

TEST(SerializeInterfaceRBTest, DocumentTypeExampleGivesOneBlockAtOffset24AndItsIndex) {
    CKWXMemFile file;
    {
        CSerializeInterfaceRB ar(file, CSerializeInterface::modeStore);
        ASSERT_TRUE(ar.EnterSection("ZEPHYRCAST_ROOT"));
        ar.SetKey("document_type");
        std::string signature = kSignature;
        ASSERT_TRUE(ar.ExchangeString(signature));
        ar.LeaveSection();
        ar.Close();
        EXPECT_TRUE(ar.GetStatus());
    }
    std::vector<std::uint8_t> expected(CRecursiveBinaryFile::kIdentifier.bytes.begin(),
                                       CRecursiveBinaryFile::kIdentifier.bytes.end());
    std::vector<std::uint8_t> index;
    appendLE<std::uint16_t>(index, 0);  // root: no name, id 0, no data, one child
    appendLE<std::uint32_t>(index, 0);
    appendLE<std::uint32_t>(index, 0);
    appendLE<std::uint32_t>(index, 1);
    appendNamedRecord(index, "ZEPHYRCAST_ROOT");
    appendLE<std::uint32_t>(index, 0);
    appendLE<std::uint32_t>(index, 1);
    appendNamedRecord(index, "document_type");
    appendLE<std::uint32_t>(index, 31);
    appendLE<std::uint32_t>(index, 24);
    appendLE<std::uint32_t>(index, 0);
    appendLE<std::uint32_t>(expected, 24 + 31);
    appendLE<std::uint32_t>(expected, static_cast<std::uint32_t>(24 + 31 + index.size()));
    expected.push_back(0x1E);
    expected.insert(expected.end(), kSignature, kSignature + 30);
    expected.insert(expected.end(), index.begin(), index.end());
    EXPECT_EQ(bytesOf(file), expected);

    file.SeekTo(0);
    CSerializeInterfaceRB loader(file, CSerializeInterface::modeLoad);
    EXPECT_EQ(loader.GetFormatId(), Guid::fromString("{FEF83452-6EFE-4D88-A710-0ACD15DB9401}"));
    ASSERT_TRUE(loader.EnterSection("ZEPHYRCAST_ROOT"));
    EXPECT_EQ(loader.CountEntries(), 1);
    loader.SetKey("document_type");
    std::string loaded;
    EXPECT_TRUE(loader.ExchangeString(loaded));
    EXPECT_EQ(loaded, kSignature);
}

TEST(SerializeInterfaceRBTest, ContainerOpensAtTheFilesCurrentPosition) {
    CKWXMemFile file;
    file.Write("prefix", 6);
    {
        CSerializeInterfaceRB ar(file, CSerializeInterface::modeStore);
        ar.SetKey("value");
        ar.WriteInt32A(42);
    }
    file.SeekTo(6);
    CSerializeInterfaceRB ar(file, CSerializeInterface::modeLoad);
    ar.SetKey("value");
    EXPECT_EQ(ar.ReadInt32A(), 42u);
    EXPECT_TRUE(ar.GetStatus());
}

// A stored section to load from: section "outer" with a 16-bit "short", a 32-bit "number",
// an empty byte block "empty", an empty file "nofile" and a subsection "inner" holding "deep".
CKWXMemFile storedFixture() {
    CKWXMemFile file;
    CSerializeInterfaceRB ar(file, CSerializeInterface::modeStore);
    EXPECT_TRUE(ar.EnterSection("outer"));
    ar.SetKey("short");
    EXPECT_TRUE(ar.WriteInt16(7));
    ar.SetKey("number");
    EXPECT_TRUE(ar.WriteInt32A(1234));
    EXPECT_FALSE(ar.WriteInt32A(999)) << "a second store of one key fails";
    ar.SetKey("empty");
    EXPECT_TRUE(ar.WriteBytes(nullptr, 0));
    ar.SetKey("nofile");
    CKWXMemFile emptyFile;
    EXPECT_TRUE(ar.WriteFile(emptyFile));
    EXPECT_TRUE(ar.EnterSection("inner"));
    ar.SetKey("deep");
    EXPECT_TRUE(ar.WriteInt32A(5));
    ar.LeaveSection();
    EXPECT_FALSE(ar.EnterSection("inner")) << "a section cannot be stored twice";
    ar.LeaveSection();
    ar.LeaveSection();
    ar.Close();
    EXPECT_TRUE(ar.GetStatus());
    file.SeekTo(0);
    return file;
}

TEST(SerializeInterfaceRBTest, FailedLoadsLeaveTheVariableAndLaterValuesStillLoad) {
    CKWXMemFile file = storedFixture();
    CSerializeInterfaceRB ar(file, CSerializeInterface::modeLoad);
    ASSERT_TRUE(ar.EnterSection("outer"));

    struct Case {
        const char* key;
        const char* why;
    };
    for (const Case& c :
         {Case{"short", "stored 2 bytes, asked for 4"},
          Case{"empty", "a key without data cannot be read"},
          Case{"inner", "a section is not a value"}, Case{"missing", "no such key"}}) {
        std::int32_t value = -77;
        ar.SetKey(c.key);
        EXPECT_FALSE(ar.ExchangeInt32A(value)) << c.why;
        EXPECT_EQ(value, -77) << c.why;
        EXPECT_FALSE(ar.GetStatus());
        ar.SetKey("number");
        EXPECT_TRUE(ar.ExchangeInt32A(value)) << "after " << c.why;
        EXPECT_EQ(value, 1234) << "the first stored value stays";
    }
    std::uint8_t untouched = 9;
    ar.SetKey("empty");
    EXPECT_FALSE(ar.ReadBytes(&untouched, 0));
    EXPECT_EQ(untouched, 9);

    CKWXMemFile target;
    ar.SetKey("nofile");
    EXPECT_TRUE(ar.ReadFile(target));
    EXPECT_EQ(target.GetLength(), 0u) << "an empty file loads as no bytes";
    lumenreel::test::TestImage image({1});
    EXPECT_FALSE(ar.ReadImage(image)) << "an image cannot load from a key without data";
    EXPECT_EQ(image.pixels, std::vector<std::uint8_t>{1});
}

TEST(SerializeInterfaceRBTest, MissingSectionReadsFromTheEnclosingOneAndLeavesInPlace) {
    CKWXMemFile file = storedFixture();
    CSerializeInterfaceRB ar(file, CSerializeInterface::modeLoad);
    ASSERT_TRUE(ar.EnterSection("outer"));
    EXPECT_FALSE(ar.EnterSection("absent"));
    ar.SetKey("number");
    EXPECT_EQ(ar.ReadInt32A(), 1234u);
    ar.LeaveSection();
    EXPECT_TRUE(ar.GetStatus()) << "leaving a section that was never entered does not move";
    EXPECT_TRUE(ar.EnterSection("inner")) << "still inside outer";
    ar.SetKey("deep");
    EXPECT_EQ(ar.ReadInt32A(), 5u);
    ar.LeaveSection();
    EXPECT_TRUE(ar.GetStatus());
}

TEST(SerializeInterfaceRBTest, LongStringsUseTheSixteenBitLengthPrefix) {
    CKWXMemFile file;
    std::string text(300, 'q');
    {
        CSerializeInterfaceRB ar(file, CSerializeInterface::modeStore);
        ar.SetKey("long");
        ASSERT_TRUE(ar.ExchangeString(text));
    }
    file.SeekTo(0);
    CRecursiveBinaryFile container;
    ASSERT_TRUE(container.OpenRead(&file));
    ASSERT_TRUE(container.EnterPath("long"));
    std::vector<std::uint8_t> data(container.GetDataSize());
    ASSERT_EQ(data.size(), 303u);
    ASSERT_TRUE(container.ReadAllData(data.data()));
    EXPECT_EQ(data[0], 0xFF);
    EXPECT_EQ(lumenreel::loadU16(&data[1]), 300);
    EXPECT_EQ(std::string(data.begin() + 3, data.end()), text);
}

TEST(SerializeInterfaceRBTest, CompressedBlobIsAGzipMemberTheGzipToolReads) {
    lumenreel::test::TempDir dir;
    CKWXMemFile file;
    std::vector<std::uint8_t> payload;
    for (int i = 0; i < 20000; ++i)
        payload.push_back(static_cast<std::uint8_t>(i * 7 / 13));
    {
        CSerializeInterfaceRB ar(file, CSerializeInterface::modeStore);
        ar.SetKey("blob");
        ASSERT_TRUE(ar.WriteCompressed(payload));
    }
    file.SeekTo(0);
    {
        CRecursiveBinaryFile container;
        ASSERT_TRUE(container.OpenRead(&file));
        ASSERT_TRUE(container.EnterPath("blob"));
        std::vector<std::uint8_t> member(container.GetDataSize());
        ASSERT_TRUE(container.ReadAllData(member.data()));
        lumenreel::test::writeBytes(dir / "blob.gz", member);
    }
    auto result = lumenreel::test::runCommand(
        "gzip -dc " + lumenreel::test::shellQuote((dir / "blob.gz").string()));
    ASSERT_EQ(result.exitCode, 0) << result.err;
    EXPECT_EQ(std::vector<std::uint8_t>(result.out.begin(), result.out.end()), payload);

    file.SeekTo(0);
    CSerializeInterfaceRB ar(file, CSerializeInterface::modeLoad);
    ar.SetKey("blob");
    EXPECT_EQ(ar.ReadCompressed(), payload);
    std::vector<std::uint8_t> kept{1, 2};
    ar.SetCompressedLimit(payload.size() - 1);
    EXPECT_FALSE(ar.ReadCompressed(kept)) << "a blob larger than the limit is refused";
    EXPECT_EQ(kept, (std::vector<std::uint8_t>{1, 2}));
}

TEST(SerializeInterfaceRBTest, GzipToolOutputLoadsAsACompressedBlob) {
    lumenreel::test::TempDir dir;
    std::string text(3000, 'z');
    lumenreel::test::writeBytes(dir / "plain", std::vector<std::uint8_t>(text.begin(), text.end()));
    auto result = lumenreel::test::runCommand(
        "gzip -9c " + lumenreel::test::shellQuote((dir / "plain").string()));
    ASSERT_EQ(result.exitCode, 0) << result.err;

    CKWXMemFile file;
    {
        CSerializeInterfaceRB ar(file, CSerializeInterface::modeStore);
        ar.SetKey("blob");
        ASSERT_TRUE(ar.WriteBytes(result.out.data(), result.out.size()));
        ar.SetKey("damaged");
        std::string damaged = result.out;
        damaged[damaged.size() - 6] ^= 0x55;  // inside the stored CRC
        ASSERT_TRUE(ar.WriteBytes(damaged.data(), damaged.size()));
    }
    file.SeekTo(0);
    CSerializeInterfaceRB ar(file, CSerializeInterface::modeLoad);
    ar.SetKey("blob");
    std::vector<std::uint8_t> loaded;
    ASSERT_TRUE(ar.ReadCompressed(loaded));
    EXPECT_EQ(std::string(loaded.begin(), loaded.end()), text);
    ar.SetKey("damaged");
    EXPECT_FALSE(ar.ReadCompressed(loaded));
}

TEST(SerializeInterfaceRBTest, AnUnreadableContainerFailsEverySectionAndValue) {
    CKWXMemFile file(std::vector<std::uint8_t>(40, 0));  // total length 0: never closed
    CSerializeInterfaceRB ar(file, CSerializeInterface::modeLoad);
    EXPECT_FALSE(ar.IsContainerOpen());
    EXPECT_FALSE(ar.EnterSection("ZEPHYRCAST_ROOT"));
    ar.SetKey("document_type");
    std::string kept = "default";
    EXPECT_FALSE(ar.ExchangeString(kept));
    EXPECT_EQ(kept, "default");
}

// Every key under the root of a keyed container, as the interface lists them.
std::vector<StoredKey> keysOf(const std::vector<std::uint8_t>& bytes) {
    CKWXMemFile file(bytes);
    CSerializeInterfaceRB ar(file, CSerializeInterface::modeLoad);
    std::vector<StoredKey> keys;
    EXPECT_TRUE(ar.ExchangeSectionKeys(keys));
    return keys;
}

TEST(SerializeInterfaceRBTest, SectionKeysAreListedWholeAndWrittenBackWhereMissing) {
    // Written straight into the container, so that a numbered key is among them.
    CKWXMemFile original;
    {
        CRecursiveBinaryFile container;
        ASSERT_TRUE(container.OpenWrite(&original));
        const std::uint32_t one = 1;
        ASSERT_TRUE(container.AddKey("a", true));
        ASSERT_TRUE(container.WriteData(&one, sizeof one));
        ASSERT_TRUE(container.GoUp());
        ASSERT_TRUE(container.AddKey("EMPTY", false));
        ASSERT_TRUE(container.AddKey("SUB", true));
        ASSERT_TRUE(container.AddKey(std::uint32_t{7}, true));
        ASSERT_TRUE(container.WriteData("xyz", 3));
        ASSERT_TRUE(container.GoUp());
        ASSERT_TRUE(container.GoUp());
        ASSERT_TRUE(container.Close());
    }
    std::vector<StoredKey> read = keysOf(bytesOf(original));
    ASSERT_EQ(read.size(), 3u);

    CKWXMemFile rewritten;
    {
        CSerializeInterfaceRB ar(rewritten, CSerializeInterface::modeStore);
        ar.SetKey("a");
        ar.WriteInt32B(2);
        ar.EnterSection("SUB");
        ar.SetKey("c");
        ar.WriteInt32B(3);
        ar.LeaveSection();
        EXPECT_TRUE(ar.ExchangeSectionKeys(read));
        ar.Close();
        EXPECT_TRUE(ar.GetStatus());
    }
    const std::vector<std::uint8_t> two{2, 0, 0, 0}, three{3, 0, 0, 0}, xyz{'x', 'y', 'z'};
    const std::vector<StoredKey> expected{
        {"EMPTY", 0, true, {}, {}},
        {"SUB", 0, true, {}, {{"", 7, true, xyz, {}}, {"c", 0, true, three, {}}}},
        {"a", 0, true, two, {}},
    };
    EXPECT_EQ(keysOf(bytesOf(rewritten)), expected);
}

TEST(SerializeInterfaceRBTest, ThePlainFormCannotListKeys) {
    CKWXMemFile file;
    CSerializeInterface ar(file, CSerializeInterface::modeStore);
    std::vector<StoredKey> keys{{"a", 0, true, {1}, {}}};
    EXPECT_FALSE(ar.ExchangeSectionKeys(keys));
    EXPECT_EQ(file.GetLength(), 0u);
}

}  // namespace
