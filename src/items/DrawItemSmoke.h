#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>

#include "images/ImageExt.h"
#include "items/DrawItemFadeable.h"
#include "items/LogFont.h"

class CThemeItem_smoke;

namespace lumenreel {

// 64 stored bytes the caption keeps unchanged, then a colour.
struct SmokeColourRecord {
    std::array<std::uint8_t, 64> head{};
    std::uint32_t colour = 0;
};

struct SmokeProperties final : PropertiesOf<SmokeProperties, FadeablePropertiesBase> {
    std::array<SmokeColourRecord, 3> colours{{{{}, 0xFF0000}, {{}, 0xC80000}, {{}, 0x800000}}};
    std::uint32_t textColour = 0;
    std::string text;  // RTF
    LogFontBytes font = defaultLogFont();
    bool autosize = true;
    std::int32_t width = 0;
    std::int32_t height = 0;
    std::int32_t templateIndex = 0;
    std::string themeItemName;
    bool verticalCenter = true;
    bool onlyText = false;
    // Why the last read could not be used; empty when it could.
    std::string readProblem;
    void serialize(CSerializeInterface& archive) override;
};

// A caption balloon: rich text inside a balloon grown from a theme's template, or text alone.
// The balloon picture is built once per change and blended with white see-through.
class CDrawItem_zcSmoke : public CDrawItem_zcFadeable {
public:
    using CProperties = SmokeProperties;

    CDrawItem_zcSmoke();
    ~CDrawItem_zcSmoke() override;

    void draw(CImageExt& target, const ItemDrawContext& context) override;
    Rect bounds() override;
    void setRect(const Rect& rect, bool fixed) override;
    std::unique_ptr<CDrawCommonItem> createBlank() const override;
    void visibleSpan(const ItemDrawContext& context, float& start, float& end) const override;
    bool isShownIn(const ItemDrawContext& context) const override;
    int effectiveFadeType(const ItemDrawContext& context) const override;
    float drawTransparencyAt(const ItemDrawContext& context) override;
    void propertiesChanged() override;
    Size minimumSize() const override { return m_minimum; }
    float suggestedDuration() override;
    int nextId(bool advance) override;
    bool resizable() const { return !smokeProperties().autosize; }

    // Builds the balloon from the document's theme; text only without a usable template.
    void rebuild();
    Size measureText() const;
    // Stores plain text as the caption, in the item's font.
    void setPlainText(std::string_view text);
    const CImageExt* balloon() const { return m_balloon.get(); }

    SmokeProperties& smokeProperties() { return static_cast<SmokeProperties&>(properties()); }
    const SmokeProperties& smokeProperties() const {
        return static_cast<const SmokeProperties&>(properties());
    }

protected:
    bool serializeContent(CSerializeInterface& archive) override;

private:
    // The text's size with its lines broken at the width.
    Size measureTextAt(std::int64_t width) const;
    void loadThemeItem();
    void buildBalloon(const CImageExt& balloonTemplate, const Rect& area, Point split);
    void buildTextOnly();
    void placeRect();

    std::unique_ptr<CThemeItem_smoke> m_themeItem;
    std::unique_ptr<CImageExt> m_balloon;
    bool m_fixedRect = false;
    Rect m_rect;
    Size m_minimum;
};

}  // namespace lumenreel
