#include "items/DrawItemCursor.h"

#include <array>

#include "base/Geometry.h"
#include "images/Canvas.h"
#include "images/ImageExt.h"
#include "items/ItemSchema.h"
#include "storage/SerializeInterface.h"

namespace lumenreel {

namespace {

constexpr int kBoundsHalf = 8;
constexpr double kMarkerRadius = 8.0;
constexpr int kMarkerAlpha = 190;
// A cursor bitmap file is a few kilobytes; this is room for a 256 × 256 32-bit one and its mask.
constexpr std::int32_t kMaxCursorBitmapBytes = 1 << 20;

// The stored icon header: flag, hot spot, and two handles that only say whether a bitmap follows.
struct IconInfo {
    std::int32_t isIcon = 0;
    std::int32_t hotspotX = 0;
    std::int32_t hotspotY = 0;
    std::uint32_t mask = 0;
    std::uint32_t colour = 0;
};

std::array<std::uint8_t, 20> encode(const IconInfo& info) {
    std::array<std::uint8_t, 20> bytes{};
    const std::uint32_t words[5] = {
        static_cast<std::uint32_t>(info.isIcon), static_cast<std::uint32_t>(info.hotspotX),
        static_cast<std::uint32_t>(info.hotspotY), info.mask, info.colour};
    for (int i = 0; i < 5; ++i)
        for (int b = 0; b < 4; ++b)
            bytes[static_cast<std::size_t>(i * 4 + b)] =
                static_cast<std::uint8_t>(words[i] >> (8 * b));
    return bytes;
}

IconInfo decode(const std::array<std::uint8_t, 20>& bytes) {
    std::uint32_t words[5]{};
    for (int i = 0; i < 5; ++i)
        for (int b = 0; b < 4; ++b)
            words[i] |= std::uint32_t{bytes[static_cast<std::size_t>(i * 4 + b)]} << (8 * b);
    return {static_cast<std::int32_t>(words[0]), static_cast<std::int32_t>(words[1]),
            static_cast<std::int32_t>(words[2]), words[3], words[4]};
}

}  // namespace

void CursorProperties::serialize(CSerializeInterface& archive) {
    ItemPropertiesBase::serialize(archive);
    archive.SetKey("move_type");
    archive.Exchange(moveType);
    archive.SetKey("start_time");
    archive.Exchange(startTime);
    archive.SetKey("end_time");
    archive.Exchange(endTime);
}

CDrawItem_zcCursor::CDrawItem_zcCursor()
    : CDrawCommonItem(kCursorTypeId, std::make_unique<CursorProperties>(), "!Cursor", 0) {}

Point CDrawItem_zcCursor::hotspot() const {
    return m_image ? Point{m_image->hotspotX(), m_image->hotspotY()} : Point{};
}

void CDrawItem_zcCursor::draw(CImageExt& target, const ItemDrawContext&) {
    if (m_image)
        m_image->draw(target.view(), position().x, position().y);
}

Rect CDrawItem_zcCursor::bounds() {
    const std::int64_t tipX = std::int64_t{position().x} + hotspot().x;
    const std::int64_t tipY = std::int64_t{position().y} + hotspot().y;
    return {clampToInt(tipX - kBoundsHalf), clampToInt(tipY - kBoundsHalf),
            clampToInt(tipX + kBoundsHalf), clampToInt(tipY + kBoundsHalf)};
}

std::unique_ptr<CDrawCommonItem> CDrawItem_zcCursor::createBlank() const {
    auto item = std::make_unique<CDrawItem_zcCursor>();
    item->setPosition(position().x, position().y);
    return item;
}

void CDrawItem_zcCursor::visibleSpan(const ItemDrawContext& context, float& start,
                                     float& end) const {
    start = 0.0f;
    end = context.frameDuration;
}

void CDrawItem_zcCursor::drawClickMarker(CImageExt& target) const {
    if (!m_image)
        return;
    Canvas canvas(target.view());
    const Point tip{position().x + hotspot().x, position().y + hotspot().y};
    canvas.fillCircle({tip.x + 0.5, tip.y + 0.5}, kMarkerRadius, m_markerColour, kMarkerAlpha);
}

void CDrawItem_zcCursor::setImage(std::unique_ptr<CursorImage> image) {
    const Point before = hotspot();
    m_image = std::move(image);
    const Point after = hotspot();
    setPosition(position().x + before.x - after.x, position().y + before.y - after.y);
}

void CDrawItem_zcCursor::setImageAt(std::unique_ptr<CursorImage> image, Point point) {
    setPosition(point.x, point.y);
    setImage(std::move(image));
}

bool CDrawItem_zcCursor::serializeContent(CSerializeInterface& archive) {
    std::vector<std::uint8_t> mask, colour;
    IconInfo info;
    if (archive.IsStoring() && m_image) {
        mask = m_image->maskFile();
        colour = m_image->colourFile();
        info = {0, m_image->hotspotX(), m_image->hotspotY(), mask.empty() ? 0u : 1u,
                colour.empty() ? 0u : 1u};
    }
    auto header = encode(info);
    archive.SetKey("icon_info");
    if (archive.IsStoring()) {
        archive.WriteBytes(header.data(), header.size());
        if (info.mask)
            writeBitmap(archive, "BITMAP_DATA0", mask);
        if (info.colour)
            writeBitmap(archive, "BITMAP_DATA1", colour);
    } else if (archive.ReadBytes(header.data(), header.size())) {
        info = decode(header);
        if (info.mask && !readBitmap(archive, "BITMAP_DATA0", mask))
            return false;
        if (info.colour && !readBitmap(archive, "BITMAP_DATA1", colour))
            return false;
        m_image.reset();
        if (!mask.empty()) {
            m_image = CursorImage::fromBitmaps(info.hotspotX, info.hotspotY, mask, colour);
            if (!m_image)
                return fail("cursor bitmaps cannot be used");
        }
    }
    properties().serialize(archive);
    return true;
}

void CDrawItem_zcCursor::writeBitmap(CSerializeInterface& archive, const char* section,
                                     const std::vector<std::uint8_t>& bytes) {
    archive.EnterSection(section);
    archive.SetKey("size");
    archive.WriteInt32B(static_cast<std::int32_t>(bytes.size()));
    archive.SetKey("bitmap_data");
    archive.WriteBytes(bytes.data(), bytes.size());
    archive.LeaveSection();
}

bool CDrawItem_zcCursor::readBitmap(CSerializeInterface& archive, const char* section,
                                    std::vector<std::uint8_t>& bytes) {
    if (!archive.EnterSection(section))
        return fail(std::string("no ") + section);
    std::int32_t size = 0;
    archive.SetKey("size");
    archive.Exchange(size);
    bool ok = size > 0 && size <= kMaxCursorBitmapBytes;
    if (ok) {
        bytes.resize(static_cast<std::size_t>(size));
        archive.SetKey("bitmap_data");
        ok = archive.ReadBytes(bytes.data(), bytes.size());
    }
    archive.LeaveSection();
    return ok || fail(std::string(section) + ": bitmap of " + std::to_string(size) +
                      " bytes cannot be read");
}

}  // namespace lumenreel
