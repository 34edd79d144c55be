#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "base/ByteReader.h"
#include "base/Geometry.h"

// The primitive encodings of published demo files: points, rectangles, length-framed strings and
// blobs. Readers fail the ByteReader instead of reading past the data.
namespace lumenreel::zcd {

using lumenreel::Point;
using lumenreel::Rect;
using lumenreel::Size;

Point ReadPoint(ByteReader& in);
Rect ReadRect(ByteReader& in);
// An int32 length, then that many bytes holding one archived string.
std::optional<std::string> readString(ByteReader& in);
// An int32 length, then that many bytes.
std::optional<std::span<const std::uint8_t>> readBlob(ByteReader& in);
// An int32 count of records that each take at least minRecordBytes: fails the reader when the
// count is negative or more records than the remaining bytes could hold.
std::optional<std::uint32_t> readCount(ByteReader& in, std::size_t minRecordBytes);

// Builds the same encodings.
class ZcdOut {
public:
    void u8(std::uint8_t value) { m_bytes.push_back(value); }
    void u16(std::uint16_t value);
    void i16(std::int16_t value);
    void i32(std::int32_t value);
    void u32(std::uint32_t value);
    void f32(float value);
    void point(const Point& value);
    void rect(const Rect& value);
    void string(std::string_view text);
    void blob(std::span<const std::uint8_t> bytes);
    void bytes(std::span<const std::uint8_t> bytes);

    std::vector<std::uint8_t>& data() { return m_bytes; }
    std::vector<std::uint8_t> take() { return std::move(m_bytes); }

private:
    std::vector<std::uint8_t> m_bytes;
};

}  // namespace lumenreel::zcd
