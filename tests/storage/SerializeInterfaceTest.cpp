#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "base/ByteOrder.h"
#include "base/MemFile.h"
#include "storage/SerializeInterface.h"

namespace {

std::vector<std::uint8_t> bytesOf(const CKWXMemFile& file) {
    return {file.Bytes().begin(), file.Bytes().end()};
}

TEST(SerializeInterfaceTest, DocumentTypeExampleIsJustTheArchiveString) {
    CKWXMemFile file;
    CSerializeInterface ar(file, CSerializeInterface::modeStore);
    EXPECT_EQ(ar.GetFormatId(), Guid::fromString("{20EBF434-7405-4292-97D8-F04D05D78D4E}"));
    EXPECT_TRUE(ar.EnterSection("ZEPHYRCAST_ROOT"));
    ar.SetKey("document_type");
    std::string signature = "Lumenreel_28012005_VER 1.0.0.0";
    EXPECT_TRUE(ar.ExchangeString(signature));
    ar.LeaveSection();
    ar.Close();
    std::vector<std::uint8_t> expected{0x1E};
    expected.insert(expected.end(), signature.begin(), signature.end());
    EXPECT_EQ(bytesOf(file), expected);
}

TEST(SerializeInterfaceTest, LengthPrefixedFormsCarryTheirLengths) {
    CKWXMemFile file;
    CSerializeInterface ar(file, CSerializeInterface::modeStore);
    ASSERT_TRUE(ar.WriteString(std::string(300, 'a')));
    ASSERT_TRUE(ar.WriteStringWithLength("hi"));
    const std::uint8_t block[] = {9, 8, 7};
    ASSERT_TRUE(ar.WriteBytes(block, 3));
    CKWXMemFile source;
    source.Write("xyz", 3);
    ASSERT_TRUE(ar.WriteFile(source));

    auto bytes = bytesOf(file);
    ASSERT_EQ(bytes.size(), 303u + 7u + 3u + 7u);
    EXPECT_EQ(bytes[0], 0xFF);
    EXPECT_EQ(lumenreel::loadU16(&bytes[1]), 300);
    const std::uint8_t* rest = bytes.data() + 303;
    EXPECT_EQ(lumenreel::loadU32(rest), 3u);  // the archive form of "hi" is 3 bytes
    EXPECT_EQ(rest[4], 2);
    EXPECT_EQ(std::vector<std::uint8_t>(rest + 7, rest + 10), (std::vector<std::uint8_t>{9, 8, 7}));
    EXPECT_EQ(lumenreel::loadU32(rest + 10), 3u);
    EXPECT_EQ(std::string(rest + 14, rest + 17), "xyz");
}

TEST(SerializeInterfaceTest, AnyNonZeroByteLoadsAsTrue) {
    CKWXMemFile file(std::vector<std::uint8_t>{0x00, 0x01, 0x7F});
    CSerializeInterface ar(file, CSerializeInterface::modeLoad);
    EXPECT_FALSE(ar.ReadBool());
    EXPECT_TRUE(ar.ReadBool());
    bool value = false;
    EXPECT_TRUE(ar.ExchangeBool(value));
    EXPECT_TRUE(value);
}

TEST(SerializeInterfaceTest, EndOfStreamFailsWithoutConsumingOrChangingTheVariable) {
    CKWXMemFile file(std::vector<std::uint8_t>{0x34, 0x12});
    CSerializeInterface ar(file, CSerializeInterface::modeLoad);
    std::int32_t value = 5;
    EXPECT_FALSE(ar.ExchangeInt32A(value));
    EXPECT_EQ(value, 5);
    EXPECT_FALSE(ar.GetStatus());
    EXPECT_EQ(ar.ReadInt16(), 0x1234) << "the short read consumed nothing";
    EXPECT_TRUE(ar.GetStatus());
}

TEST(SerializeInterfaceTest, LengthsBeyondTheStreamAreRefusedBeforeAllocating) {
    // Each stream claims 0xFFFFFFF0 bytes and holds four.
    std::vector<std::uint8_t> claim{0xF0, 0xFF, 0xFF, 0xFF, 1, 2, 3, 4};
    struct Case {
        const char* what;
        bool (*load)(CSerializeInterface&);
    };
    const Case cases[] = {
        {"block", [](CSerializeInterface& ar) { return !ar.ReadBlock().empty(); }},
        {"string with length",
         [](CSerializeInterface& ar) {
             std::string s;
             return ar.ReadStringWithLength(s);
         }},
        {"compressed", [](CSerializeInterface& ar) { return !ar.ReadCompressed().empty(); }},
        {"file",
         [](CSerializeInterface& ar) {
             CKWXMemFile out;
             return ar.ReadFile(out);
         }},
    };
    for (const Case& c : cases) {
        CKWXMemFile file(claim);
        CSerializeInterface ar(file, CSerializeInterface::modeLoad);
        EXPECT_FALSE(c.load(ar)) << c.what;
        EXPECT_FALSE(ar.GetStatus()) << c.what;
        EXPECT_EQ(file.GetPosition(), 0u) << c.what;
    }
}

TEST(SerializeInterfaceTest, WholeFileOperationsWorkOnTheUnderlyingFile) {
    CKWXMemFile file;
    CSerializeInterface ar(file, CSerializeInterface::modeStore);
    ASSERT_TRUE(ar.WriteChars("abcd"));
    ASSERT_TRUE(ar.WriteRaw("ef", 2));
    EXPECT_EQ(ar.GetPosition(), 6u);
    EXPECT_EQ(ar.GetLength(), 6u);
    ASSERT_TRUE(ar.SeekTo(1));
    auto all = ar.CopyAll(true);
    EXPECT_EQ(std::string(all.begin(), all.end()), "abcdef");
    EXPECT_EQ(ar.GetPosition(), 1u) << "copying restores the position";
    EXPECT_EQ(ar.CopyAll(false).size(), 6u);
    char two[2];
    ASSERT_TRUE(ar.ReadRaw(two, 2));
    EXPECT_EQ(std::string(two, 2), "bc");
    ar.Close();
    EXPECT_FALSE(ar.WriteInt8(1)) << "a closed interface takes no values";
}

}  // namespace
