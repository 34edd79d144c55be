#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "base/File.h"
#include "storage/SerializableImage.h"

namespace lumenreel::test {

// An image stand-in whose stream form is its pixel bytes; it remembers the form it was asked for.
class TestImage : public CSerializableImage {
public:
    TestImage() = default;
    explicit TestImage(std::vector<std::uint8_t> pixels) : pixels(std::move(pixels)) {}

    bool SaveToStream(CFile& stream, int kind, const std::string& format) const override {
        savedKind = kind;
        savedFormat = format;
        return stream.Write(pixels.data(), pixels.size());
    }
    bool LoadFromStream(CFile& stream) override {
        std::vector<std::uint8_t> read(static_cast<std::size_t>(stream.RemainingBytes()));
        if (!stream.ReadExact(read.data(), read.size()))
            return false;
        pixels = std::move(read);
        return true;
    }

    std::vector<std::uint8_t> pixels;
    mutable int savedKind = 0;
    mutable std::string savedFormat;
};

}  // namespace lumenreel::test
