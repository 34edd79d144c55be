#include "published/ZcdPrimitives.h"

#include "base/ArchiveString.h"
#include "base/ByteOrder.h"

namespace lumenreel::zcd {

Point ReadPoint(ByteReader& in) {
    Point p;
    p.x = in.i32();
    p.y = in.i32();
    return p;
}

Rect ReadRect(ByteReader& in) {
    Rect r;
    r.left = in.i32();
    r.top = in.i32();
    r.right = in.i32();
    r.bottom = in.i32();
    return r;
}

std::optional<std::span<const std::uint8_t>> readBlob(ByteReader& in) {
    std::int32_t size = in.i32();
    if (!in.ok() || size < 0 || !in.canRead(static_cast<std::size_t>(size))) {
        in.fail();
        return std::nullopt;
    }
    return in.take(static_cast<std::size_t>(size));
}

std::optional<std::string> readString(ByteReader& in) {
    auto framed = readBlob(in);
    if (!framed)
        return std::nullopt;
    ByteReader inner(*framed);
    auto text = readArchiveString(inner);
    if (!text)
        in.fail();
    return text;
}

std::optional<std::uint32_t> readCount(ByteReader& in, std::size_t minRecordBytes) {
    std::int32_t count = in.i32();
    if (!in.ok() || count < 0 || !in.canHold(static_cast<std::uint64_t>(count), minRecordBytes)) {
        in.fail();
        return std::nullopt;
    }
    return static_cast<std::uint32_t>(count);
}

void ZcdOut::u16(std::uint16_t value) {
    appendLE(m_bytes, value);
}
void ZcdOut::i16(std::int16_t value) {
    appendLE(m_bytes, value);
}
void ZcdOut::i32(std::int32_t value) {
    appendLE(m_bytes, value);
}
void ZcdOut::u32(std::uint32_t value) {
    appendLE(m_bytes, value);
}
void ZcdOut::f32(float value) {
    appendLE(m_bytes, value);
}

void ZcdOut::point(const Point& value) {
    i32(value.x);
    i32(value.y);
}

void ZcdOut::rect(const Rect& value) {
    i32(value.left);
    i32(value.top);
    i32(value.right);
    i32(value.bottom);
}

void ZcdOut::string(std::string_view text) {
    std::vector<std::uint8_t> archived;
    appendArchiveString(archived, text);
    blob(archived);
}

void ZcdOut::blob(std::span<const std::uint8_t> data) {
    i32(static_cast<std::int32_t>(data.size()));
    bytes(data);
}

void ZcdOut::bytes(std::span<const std::uint8_t> data) {
    m_bytes.insert(m_bytes.end(), data.begin(), data.end());
}

}  // namespace lumenreel::zcd
