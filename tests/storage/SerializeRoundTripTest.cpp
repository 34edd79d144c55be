#include <gtest/gtest.h>

#include <array>
#include <functional>
#include <memory>

#include "base/MemFile.h"
#include "storage/SerializeInterface.h"
#include "storage/SerializeInterfaceRB.h"
#include "storage/SerializeInterfaceXML.h"
#include "storage/SerializeTestImage.h"

namespace {

using lumenreel::test::TestImage;

// Every value kind, exchanged by one piece of code in both directions as stored objects do.
struct AllKinds {
    std::uint8_t int8 = 0;
    bool flag = false;
    std::int16_t int16 = 0;
    std::int32_t int32a = 0;
    std::uint32_t int32b = 0;
    std::uint64_t int64a = 0;
    std::int64_t int64b = 0;
    float single = 0;
    double twice = 0;
    lumenreel::Point point;
    lumenreel::Size size;
    lumenreel::Rect rect;
    std::string text;
    std::string spaced;
    std::string counted;
    std::array<std::uint8_t, 5> block{};
    std::vector<std::uint8_t> compressed;
    TestImage image;
    CKWXMemFile file;

    bool exchange(CSerializeInterface& ar) {
        bool ok = ar.EnterSection("all_kinds");
        auto step = [&](const char* key, auto&& call) {
            ar.SetKey(key);
            ok = call() && ok;
        };
        step("int8", [&] { return ar.ExchangeInt8(int8); });
        step("flag", [&] { return ar.ExchangeBool(flag); });
        step("int16", [&] { return ar.ExchangeInt16(int16); });
        step("int32a", [&] { return ar.ExchangeInt32A(int32a); });
        step("int32b", [&] { return ar.ExchangeInt32B(int32b); });
        step("int64a", [&] { return ar.ExchangeInt64A(int64a); });
        step("int64b", [&] { return ar.ExchangeInt64B(int64b); });
        step("single", [&] { return ar.ExchangeFloat(single); });
        step("twice", [&] { return ar.ExchangeDouble(twice); });
        ok = ar.EnterSection("shapes") && ok;
        step("point", [&] { return ar.ExchangePoint(point); });
        step("size", [&] { return ar.ExchangeSize(size); });
        step("rect", [&] { return ar.ExchangeRect(rect); });
        ar.LeaveSection();
        ok = ar.GetStatus() && ok;
        step("text", [&] { return ar.ExchangeString(text); });
        step("spaced", [&] { return ar.ExchangeString(spaced); });
        step("counted", [&] { return ar.ExchangeStringWithLength(counted); });
        step("block", [&] { return ar.ExchangeBytes(block.data(), block.size()); });
        step("compressed", [&] { return ar.ExchangeCompressed(compressed); });
        step("image",
             [&] { return ar.ExchangeImage(image, CSerializableImage::formatNamed, "png"); });
        step("file", [&] { return ar.ExchangeFile(file); });
        ar.LeaveSection();
        return ar.GetStatus() && ok;
    }
};

AllKinds sampleValues() {
    AllKinds values;
    values.int8 = 200;
    values.flag = true;
    values.int16 = -2;
    values.int32a = -123456;
    values.int32b = 4000000000u;
    values.int64a = 18000000000000000000ull;
    values.int64b = -9000000000000000000ll;
    values.single = 1.5f;
    values.twice = -1234.125;
    values.point = {7, -3};
    values.size = {640, 480};
    values.rect = {8, 13, 28, 27};
    values.text = "Lumenreel caf\xE9";  // an accented Windows-1252 letter
    values.spaced = "ends in a space ";
    values.counted = std::string(300, 'x');
    values.block = {0, 1, 0xFE, 0xFF, 0x80};
    values.compressed.assign(5000, 'a');
    values.image.pixels = {1, 2, 3, 4};
    values.file.Write("file body", 9);
    values.file.SeekTo(4);
    return values;
}

using Factory = std::function<std::unique_ptr<CSerializeInterface>(CFile&, int)>;

struct Backend {
    const char* name;
    Factory make;
};

class SerializeRoundTrip : public testing::TestWithParam<Backend> {};

TEST_P(SerializeRoundTrip, EveryValueKindLoadsBackAsStored) {
    AllKinds stored = sampleValues();
    CKWXMemFile medium;
    {
        auto ar = GetParam().make(medium, CSerializeInterface::modeStore);
        ASSERT_TRUE(stored.exchange(*ar));
        ar->Close();
        EXPECT_TRUE(ar->GetStatus());
    }
    EXPECT_EQ(stored.file.GetPosition(), 4u) << "storing a file restores its position";
    EXPECT_EQ(stored.image.savedKind, CSerializableImage::formatNamed);
    EXPECT_EQ(stored.image.savedFormat, "png");

    AllKinds loaded;
    loaded.file.Write(">", 1);  // loaded contents go to the file's current position
    medium.SeekTo(0);
    auto ar = GetParam().make(medium, CSerializeInterface::modeLoad);
    ASSERT_TRUE(loaded.exchange(*ar));

    EXPECT_EQ(loaded.int8, stored.int8);
    EXPECT_EQ(loaded.flag, stored.flag);
    EXPECT_EQ(loaded.int16, stored.int16);
    EXPECT_EQ(loaded.int32a, stored.int32a);
    EXPECT_EQ(loaded.int32b, stored.int32b);
    EXPECT_EQ(loaded.int64a, stored.int64a);
    EXPECT_EQ(loaded.int64b, stored.int64b);
    EXPECT_EQ(loaded.single, stored.single);
    EXPECT_EQ(loaded.twice, stored.twice);
    EXPECT_EQ(loaded.point, stored.point);
    EXPECT_EQ(loaded.size, stored.size);
    EXPECT_EQ(loaded.rect, stored.rect);
    EXPECT_EQ(loaded.text, stored.text);
    EXPECT_EQ(loaded.spaced, stored.spaced);
    EXPECT_EQ(loaded.counted, stored.counted);
    EXPECT_EQ(loaded.block, stored.block);
    EXPECT_EQ(loaded.compressed, stored.compressed);
    EXPECT_EQ(loaded.image.pixels, stored.image.pixels);
    std::string fileText(loaded.file.Bytes().begin(), loaded.file.Bytes().end());
    EXPECT_EQ(fileText, ">file body");
}

INSTANTIATE_TEST_SUITE_P(
    AllForms, SerializeRoundTrip,
    testing::Values(Backend{"plain",
                            [](CFile& file, int mode) {
                                return std::make_unique<CSerializeInterface>(file, mode);
                            }},
                    Backend{"keyed",
                            [](CFile& file, int mode) -> std::unique_ptr<CSerializeInterface> {
                                return std::make_unique<CSerializeInterfaceRB>(file, mode);
                            }},
                    Backend{"xml",
                            [](CFile& file, int mode) -> std::unique_ptr<CSerializeInterface> {
                                return std::make_unique<CSerializeInterfaceXML>(file, mode);
                            }}),
    [](const testing::TestParamInfo<Backend>& info) { return std::string(info.param.name); });

}  // namespace
