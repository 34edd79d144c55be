#pragma once

#include <algorithm>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "base/Geometry.h"
#include "base/Guid.h"
#include "images/ImageLimits.h"
#include "items/ItemDrawContext.h"
#include "items/ItemProperties.h"
#include "storage/TranslateInterface.h"

class CImageExt;
class CSerializeInterface;
struct CDrawItem_link;

namespace lumenreel {

class ItemDocument;

// Where a point falls on an item (hitTest).
enum HitArea : int {
    kHitNone = 0,
    kHitInside = 1,
    kHitTop = 2,
    kHitBottom = 3,
    kHitLeft = 4,
    kHitRight = 5,
    kHitTopLeft = 6,
    kHitBottomRight = 7,
    kHitTopRight = 8,
    kHitBottomLeft = 9,
};

// A timed thing drawn over a frame. It exists once in a document and is placed on frames by
// placements; it takes its serial number from the process-wide counter when it is made.
class CDrawCommonItem : public CTranslateInterface {
public:
    using CProperties = ItemPropertiesBase;

    ~CDrawCommonItem() override;
    CDrawCommonItem(const CDrawCommonItem&) = delete;
    CDrawCommonItem& operator=(const CDrawCommonItem&) = delete;

    std::string Translate(const std::string& key) override;

    // Draws onto a 32-bit frame image at the context's moment.
    virtual void draw(CImageExt& target, const ItemDrawContext& context) = 0;
    virtual Rect bounds() = 0;
    // A new item of the same kind with default properties at the same position.
    virtual std::unique_ptr<CDrawCommonItem> createBlank() const = 0;
    // The frame-relative interval in which the item shows.
    virtual void visibleSpan(const ItemDrawContext& context, float& start, float& end) const = 0;

    Point position() const { return {m_properties->x, m_properties->y}; }
    void setPosition(int x, int y);
    virtual void setRect(const Rect& rect, bool fixed);
    // Moves the item so at least 5 pixels of it stay inside the rectangle (the frame when empty).
    void keepInside(Rect rect);
    int hitTest(Point point);

    CProperties& properties() { return *m_properties; }
    const CProperties& properties() const { return *m_properties; }
    // Copies the record in (unless it is the item's own) and reacts to the change.
    void setProperties(const CProperties& record);
    virtual void propertiesChanged() {}

    // The whole item record: the type id (when withTypeId), serial number, child list, then the
    // kind's own data. False with lastError() when a stored value cannot be used; the item then
    // must not be kept.
    bool serialize(CSerializeInterface& archive, bool withTypeId = true);
    const std::string& lastError() const { return m_lastError; }

    ItemDocument* document() const { return m_document; }
    void setDocument(ItemDocument* document) { m_document = document; }

    virtual Size minimumSize() const { return {0, 0}; }
    virtual float suggestedDuration() { return 0.0f; }

    void addChild(std::int32_t serial);
    void removeChild(std::int32_t serial);
    const std::vector<std::int32_t>& children() const { return m_children; }
    // Puts serial `to` where `from` stands (dropping `from` when `to` is already a child, so the
    // list stays free of duplicates); false when `from` is not a child.
    bool replaceChild(std::int32_t from, std::int32_t to);

    // Transparency (0 opaque, 1 invisible) at the context's moment.
    virtual float transparencyAt(const ItemDrawContext& context);
    virtual float drawTransparencyAt(const ItemDrawContext& context);
    virtual bool isShownIn(const ItemDrawContext& context) const;
    virtual int effectiveFadeType(const ItemDrawContext& context) const;
    // Gives a new placement on a frame of that duration its defaults.
    virtual void initPlacement(float frameDuration, CDrawItem_link& placement) const;
    // The kind's running number for default names; moved on when advance is set.
    virtual int nextId(bool advance);

    const Guid& typeId() const { return m_typeId; }
    std::int32_t serialNumber() const { return m_serial; }
    void setSerialNumber(std::int32_t serial) { m_serial = serial; }
    std::uint8_t flag() const { return m_flag; }

    // The localized name key followed by the number (the item counter's value when none).
    std::string defaultName(std::optional<std::int32_t> number = std::nullopt);
    const std::string& defaultNameKey() const { return m_nameKey; }

protected:
    CDrawCommonItem(const Guid& typeId, std::unique_ptr<CProperties> properties,
                    std::string nameKey, std::uint8_t flag = 1);

    // The data after the child list; the base stores the property record.
    virtual bool serializeContent(CSerializeInterface& archive);
    // Whether the form of the archive holds anything of the item beyond its type id.
    virtual bool storedIn(const CSerializeInterface&) const { return true; }
    bool fail(std::string reason);

    // Stores a rectangle an item grows from: its size in the record (0 up to the largest picture)
    // and its top-left corner as the item's position.
    template <class Record>
    void storeGrowingRect(Record& record, const Rect& rect) {
        record.width = static_cast<std::int32_t>(
            std::clamp<std::int64_t>(rect.width(), 0, lumenreel::kMaxImageDimension));
        record.height = static_cast<std::int32_t>(
            std::clamp<std::int64_t>(rect.height(), 0, lumenreel::kMaxImageDimension));
        setPosition(rect.left, rect.top);
    }

private:
    bool serializeChildren(CSerializeInterface& archive);

    std::vector<std::int32_t> m_children;
    Guid m_typeId;
    std::unique_ptr<CProperties> m_properties;
    ItemDocument* m_document = nullptr;
    std::int32_t m_serial = 0;
    std::uint8_t m_flag = 1;
    std::string m_nameKey;
    std::string m_lastError;
};

}  // namespace lumenreel
