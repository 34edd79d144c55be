#pragma once

#include <array>
#include <memory>
#include <string>

#include "base/Geometry.h"
#include "images/ImageExt.h"
#include "themes/BalloonAreas.h"
#include "themes/ThemeItem.h"

// The balloon kind: type id, category key and kind folder of balloon item sets.
inline constexpr Guid kBalloonTypeId = Guid::fromString("{11EC8F9E-856A-4CA2-B507-0B4111271CD4}");
inline constexpr const char* kBalloonCategoryKey = "ID_CATEGORY_TYPE_ITEM_BALLOON";
inline constexpr const char* kBalloonKindFolder = "BALLOONS";

// A balloon item set: up to nine template pictures, each with its text area and split point.
// A template whose picture or areas cannot be used stays empty (its balloons are text only); the
// reason is among problems().
class CThemeItem_smoke : public CThemeItem {
public:
    explicit CThemeItem_smoke(lumenreel::ThemeFiles files, std::string itemName = {});
    ~CThemeItem_smoke() override;

    std::unique_ptr<CThemeItem> clone() const override { return cloneBalloon(); }
    virtual std::unique_ptr<CThemeItem_smoke> cloneBalloon() const;

    // Index 0 to 8; outside that range, or for an empty template: none, an empty rectangle and
    // (0, 0).
    const CImageExt* balloonTemplate(int index) const;
    lumenreel::Rect textArea(int index) const;
    lumenreel::Point splitPoint(int index) const;
    // How many entries were read (0 to 9), empty templates included.
    int templateCount() const { return m_count; }

protected:
    void loadContent(const std::string& folder) override;
    void unloadContent() override;

private:
    struct Slot {
        CImageExt picture;
        lumenreel::BalloonAreas areas;
    };
    const Slot* slot(int index) const;
    void loadTemplate(const std::string& folder, int index,
                      const std::optional<lumenreel::BalloonAreasEntry>& entry);

    std::array<Slot, lumenreel::kBalloonTemplateSlots> m_slots;
    int m_count = 0;
};
