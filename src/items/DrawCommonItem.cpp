#include "items/DrawCommonItem.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

#include "items/ItemCounters.h"
#include "items/ItemDocument.h"
#include "items/ItemPlacement.h"
#include "items/ItemSchema.h"
#include "storage/SerializeInterface.h"

namespace lumenreel {

namespace {

// Children tie editor items together; a few dozen is a lot. The cap keeps a damaged count from
// asking for millions of look-ups.
constexpr std::int32_t kMaxChildren = 65536;
constexpr int kHitGrow = 4;
constexpr double kHitCornerRadius = 8.0;
constexpr int kKeepInsideMargin = 5;

double distance(int ax, int ay, int bx, int by) {
    return std::hypot(static_cast<double>(ax) - bx, static_cast<double>(ay) - by);
}

std::string childKey(std::int32_t index) {
    std::string key = "C";
    key += std::to_string(index);
    return key;
}

}  // namespace

CDrawCommonItem::CDrawCommonItem(const Guid& typeId, std::unique_ptr<CProperties> properties,
                                 std::string nameKey, std::uint8_t flag)
    : m_typeId(typeId),
      m_properties(std::move(properties)),
      m_serial(takeItemSerial()),
      m_flag(flag),
      m_nameKey(std::move(nameKey)) {
    m_properties->name = defaultName();
}

CDrawCommonItem::~CDrawCommonItem() = default;

std::string CDrawCommonItem::Translate(const std::string& key) {
    CTranslateInterface* translator = m_document ? m_document->translator() : nullptr;
    return translator ? translator->Translate(key) : key;
}

void CDrawCommonItem::setPosition(int x, int y) {
    m_properties->x = x;
    m_properties->y = y;
}

void CDrawCommonItem::setRect(const Rect&, bool) {}

void CDrawCommonItem::keepInside(Rect rect) {
    if (!m_document)
        return;
    if (rect.width() <= 0 || rect.height() <= 0) {
        Size frame = m_document->frameSize();
        rect = {0, 0, frame.width, frame.height};
    }
    Rect box = bounds();
    // 64-bit, so positions from a damaged file cannot overflow on the way.
    std::int64_t dx = 0, dy = 0;
    if (std::int64_t{box.right} - kKeepInsideMargin < rect.left)
        dx = std::int64_t{rect.left} - box.right + kKeepInsideMargin;
    if (rect.right < std::int64_t{box.left} + kKeepInsideMargin)
        dx = std::int64_t{rect.right} - box.left - kKeepInsideMargin;
    if (std::int64_t{box.bottom} - kKeepInsideMargin < rect.top)
        dy = std::int64_t{rect.top} - box.bottom + kKeepInsideMargin;
    if (rect.bottom < std::int64_t{box.top} + kKeepInsideMargin)
        dy = std::int64_t{rect.bottom} - box.top - kKeepInsideMargin;
    setPosition(clampToInt(m_properties->x + dx), clampToInt(m_properties->y + dy));
}

int CDrawCommonItem::hitTest(Point point) {
    Rect box = bounds();
    Rect grown{box.left - kHitGrow, box.top - kHitGrow, box.right + kHitGrow,
               box.bottom + kHitGrow};
    if (point.x < grown.left || point.x >= grown.right || point.y < grown.top ||
        point.y >= grown.bottom)
        return kHitNone;
    const int x = point.x, y = point.y;
    if (distance(x, y, grown.left, grown.top) < kHitCornerRadius)
        return kHitTopLeft;
    if (distance(x, y, grown.right, grown.bottom) < kHitCornerRadius)
        return kHitBottomRight;
    if (distance(x, y, grown.right, grown.top) < kHitCornerRadius)
        return kHitTopRight;
    if (distance(x, y, grown.left, grown.bottom) < kHitCornerRadius)
        return kHitBottomLeft;
    if (y - grown.top < kHitCornerRadius)
        return kHitTop;
    if (grown.bottom - y < kHitCornerRadius)
        return kHitBottom;
    if (x - grown.left < kHitCornerRadius)
        return kHitLeft;
    if (grown.right - x < kHitCornerRadius)
        return kHitRight;
    return kHitInside;
}

void CDrawCommonItem::setProperties(const CProperties& record) {
    if (&record == m_properties.get())
        return;
    m_properties->copyFrom(record);
    propertiesChanged();
}

bool CDrawCommonItem::fail(std::string reason) {
    m_lastError = std::move(reason);
    return false;
}

bool CDrawCommonItem::serialize(CSerializeInterface& archive, bool withTypeId) {
    m_lastError.clear();
    if (withTypeId && archive.IsStoring()) {
        archive.SetKey(kKeyGuid);
        archive.WriteBytes(m_typeId.bytes.data(), m_typeId.bytes.size());
    }
    if (!storedIn(archive))
        return true;
    archive.SetKey(kKeyEffectId);
    archive.Exchange(m_serial);
    if (!serializeChildren(archive))
        return false;
    return serializeContent(archive);
}

bool CDrawCommonItem::serializeChildren(CSerializeInterface& archive) {
    auto count = static_cast<std::int32_t>(m_children.size());
    archive.SetKey(kKeyChildCount);
    archive.Exchange(count);
    if (count < 0 || count > kMaxChildren)
        return fail("child count " + std::to_string(count) + " out of range");
    if (!archive.EnterSection(kSectionBaseObject))
        return fail("no BASE_OBJECT section");
    std::vector<std::int32_t> read;
    for (std::int32_t i = 0; i < count; ++i) {
        std::int32_t serial = archive.IsStoring() ? m_children[static_cast<std::size_t>(i)] : 0;
        archive.SetKey(childKey(i));
        if (archive.Exchange(serial) && !archive.IsStoring() &&
            std::find(read.begin(), read.end(), serial) == read.end())
            read.push_back(serial);
    }
    archive.LeaveSection();
    if (!archive.IsStoring())
        m_children = std::move(read);
    return true;
}

bool CDrawCommonItem::serializeContent(CSerializeInterface& archive) {
    m_properties->serialize(archive);
    return true;
}

void CDrawCommonItem::addChild(std::int32_t serial) {
    if (std::find(m_children.begin(), m_children.end(), serial) == m_children.end())
        m_children.push_back(serial);
}

bool CDrawCommonItem::replaceChild(std::int32_t from, std::int32_t to) {
    auto found = std::find(m_children.begin(), m_children.end(), from);
    if (found == m_children.end())
        return false;
    if (std::find(m_children.begin(), m_children.end(), to) != m_children.end())
        m_children.erase(found);
    else
        *found = to;
    return true;
}

void CDrawCommonItem::removeChild(std::int32_t serial) {
    std::erase(m_children, serial);
}

float CDrawCommonItem::transparencyAt(const ItemDrawContext&) {
    return 1.0f;
}

float CDrawCommonItem::drawTransparencyAt(const ItemDrawContext& context) {
    return transparencyAt(context);
}

bool CDrawCommonItem::isShownIn(const ItemDrawContext&) const {
    return true;
}

int CDrawCommonItem::effectiveFadeType(const ItemDrawContext&) const {
    return kFadeNone;
}

void CDrawCommonItem::initPlacement(float frameDuration, CDrawItem_link& placement) const {
    placement.visStart = 0.0f;
    placement.visEnd = frameDuration;
}

int CDrawCommonItem::nextId(bool) {
    return 1;
}

std::string CDrawCommonItem::defaultName(std::optional<std::int32_t> number) {
    return Translate(m_nameKey) + std::to_string(number.value_or(itemCounters().nextSerial));
}

}  // namespace lumenreel
