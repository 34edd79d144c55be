#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "base/File.h"
#include "base/MemFile.h"
#include "storage/SerializeInterface.h"

// One object's worth of every value kind, exchanged the way stored objects do it; the fuzz
// targets load it from hostile bytes (and the seed corpora were stored with it).
namespace lumenreel::fuzz {

class FuzzImage : public CSerializableImage {
public:
    bool SaveToStream(CFile& stream, int, const std::string&) const override {
        return stream.Write(pixels.data(), pixels.size());
    }
    bool LoadFromStream(CFile& stream) override {
        pixels.resize(static_cast<std::size_t>(stream.RemainingBytes()));
        return stream.ReadExact(pixels.data(), pixels.size());
    }
    std::vector<std::uint8_t> pixels;
};

struct FuzzRecord {
    std::uint8_t int8 = 1;
    bool flag = true;
    std::uint16_t int16 = 2;
    std::int32_t int32 = -3;
    std::uint64_t int64a = 4;
    std::int64_t int64b = -5;
    float single = 6.5f;
    double twice = 7.25;
    lumenreel::Point point{8, 9};
    lumenreel::Size size{10, 11};
    lumenreel::Rect rect{12, 13, 14, 15};
    std::string text = "text ";
    std::string counted = "counted";
    std::array<std::uint8_t, 16> block{1, 2, 3};
    std::vector<std::uint8_t> compressed{'z', 'z', 'z'};
    FuzzImage image;
    CKWXMemFile file;
    std::vector<std::int32_t> items{1, 2, 3};

    void exchange(CSerializeInterface& ar) {
        ar.SetCompressedLimit(1 << 20);
        ar.EnterSection("root");
        ar.SetKey("int8");
        ar.ExchangeInt8(int8);
        ar.SetKey("flag");
        ar.ExchangeBool(flag);
        ar.SetKey("int16");
        ar.ExchangeInt16(int16);
        ar.SetKey("int32");
        ar.ExchangeInt32A(int32);
        ar.SetKey("int64a");
        ar.ExchangeInt64A(int64a);
        ar.SetKey("int64b");
        ar.ExchangeInt64B(int64b);
        ar.SetKey("single");
        ar.ExchangeFloat(single);
        ar.SetKey("twice");
        ar.ExchangeDouble(twice);
        ar.SetKey("point");
        ar.ExchangePoint(point);
        ar.SetKey("size");
        ar.ExchangeSize(size);
        ar.SetKey("rect");
        ar.ExchangeRect(rect);
        ar.SetKey("text");
        ar.ExchangeString(text);
        ar.SetKey("counted");
        ar.ExchangeStringWithLength(counted);
        ar.SetKey("block");
        ar.ExchangeBytes(block.data(), block.size());
        ar.SetKey("compressed");
        ar.ExchangeCompressed(compressed);
        ar.SetKey("image");
        ar.ExchangeImage(image, CSerializableImage::formatOwn, "");
        ar.SetKey("file");
        ar.ExchangeFile(file);
        ar.EnterSection("items");
        exchangeItems(ar);
        ar.LeaveSection();
        ar.LeaveSection();
    }

private:
    void exchangeItems(CSerializeInterface& ar) {
        auto count = static_cast<std::uint32_t>(items.size());
        ar.SetKey("count");
        ar.ExchangeInt32A(count);
        ar.EnterSection("list");
        if (!ar.IsStoring()) {
            int entries = ar.CountEntries();
            items.assign(static_cast<std::size_t>(entries < 64 ? entries : 64), 0);
        }
        for (std::size_t i = 0; i < items.size(); ++i) {
            ar.SetOccurrence(static_cast<int>(i));
            ar.EnterSection("item_" + std::to_string(i));
            ar.SetKey("value");
            ar.ExchangeInt32A(items[i]);
            ar.LeaveSection();
        }
        ar.SetOccurrence(0);
        ar.LeaveSection();
    }
};

}  // namespace lumenreel::fuzz
