#include "themes/ThemeItemSmoke.h"

#include <string_view>

#include "images/PngCodec.h"

namespace {

// Seven short lines per template; a bigger file is not an areas file.
constexpr std::uint64_t kMaxAreasFileBytes = 64 * 1024;
// Templates are small pictures; this leaves room for any the image limits allow at ordinary
// compression.
constexpr std::uint64_t kMaxTemplateFileBytes = 32 * 1024 * 1024;

// Templates are keyed by white: what a picture with an alpha channel leaves see-through becomes
// white, so it is keyed like everything else.
void flattenOntoWhite(CImageExt& picture) {
    if (picture.bpp() != 32)
        return;
    for (int y = 0; y < picture.height(); ++y)
        for (int x = 0; x < picture.width(); ++x) {
            const std::uint32_t p = picture.pixel(x, y);
            const std::uint32_t a = p >> 24;
            std::uint32_t flat = 0;
            for (int shift : {0, 8, 16}) {
                const std::uint32_t c = (p >> shift) & 0xFF;
                flat |= ((c * a + 255 * (255 - a) + 127) / 255) << shift;
            }
            picture.setPixel(x, y, flat | 0xFF000000);
        }
}

}  // namespace

CThemeItem_smoke::CThemeItem_smoke(lumenreel::ThemeFiles files, std::string itemName)
    : CThemeItem(std::move(files), kBalloonTypeId, std::move(itemName), kBalloonCategoryKey,
                 kBalloonKindFolder) {}

CThemeItem_smoke::~CThemeItem_smoke() = default;

std::unique_ptr<CThemeItem_smoke> CThemeItem_smoke::cloneBalloon() const {
    return std::make_unique<CThemeItem_smoke>(files(), itemName());
}

const CThemeItem_smoke::Slot* CThemeItem_smoke::slot(int index) const {
    if (index < 0 || index >= lumenreel::kBalloonTemplateSlots || m_slots[index].picture.isNull())
        return nullptr;
    return &m_slots[index];
}

const CImageExt* CThemeItem_smoke::balloonTemplate(int index) const {
    const Slot* s = slot(index);
    return s ? &s->picture : nullptr;
}

lumenreel::Rect CThemeItem_smoke::textArea(int index) const {
    const Slot* s = slot(index);
    return s ? s->areas.textArea : lumenreel::Rect{};
}

lumenreel::Point CThemeItem_smoke::splitPoint(int index) const {
    const Slot* s = slot(index);
    return s ? s->areas.split : lumenreel::Point{};
}

void CThemeItem_smoke::loadContent(const std::string& folder) {
    std::string why;
    const std::string areasPath = lumenreel::joinThemePath(folder, "areas.txt");
    const auto areasBytes = files().read(areasPath, kMaxAreasFileBytes, why);
    if (!areasBytes && why != "not found") {
        addProblem(areasPath + ": " + why);
        return;
    }
    if (!areasBytes) {
        // Without an areas file every template is there, growing from its middle.
        for (int i = 0; i < lumenreel::kBalloonTemplateSlots; ++i)
            loadTemplate(folder, i, std::nullopt);
        m_count = lumenreel::kBalloonTemplateSlots;
        return;
    }
    const std::string_view text(reinterpret_cast<const char*>(areasBytes->data()),
                                areasBytes->size());
    const std::vector<lumenreel::BalloonAreasEntry> entries = lumenreel::parseBalloonAreas(text);
    for (std::size_t i = 0; i < entries.size(); ++i)
        loadTemplate(folder, static_cast<int>(i), entries[i]);
    m_count = static_cast<int>(entries.size());
}

void CThemeItem_smoke::loadTemplate(const std::string& folder, int index,
                                    const std::optional<lumenreel::BalloonAreasEntry>& entry) {
    const std::string name = "balloon" + std::to_string(index) + ".png";
    const std::string where = lumenreel::joinThemePath(folder, name) + ": ";
    if (entry && !entry->areas) {
        addProblem(where + entry->problem);
        return;
    }
    std::string why;
    const auto bytes =
        files().read(lumenreel::joinThemePath(folder, name), kMaxTemplateFileBytes, why);
    if (!bytes) {
        addProblem(where + why);
        return;
    }
    CImageExt picture;
    if (!lumenreel::decodePng(*bytes, picture, why)) {
        addProblem(where + why);
        return;
    }
    flattenOntoWhite(picture);
    lumenreel::BalloonAreas areas;
    if (entry) {
        areas = *entry->areas;
    } else {
        areas.split = {picture.width() / 2, picture.height() / 2};
    }
    why = lumenreel::balloonAreasProblem(areas, picture.width(), picture.height());
    if (!why.empty()) {
        addProblem(where + why);
        return;
    }
    m_slots[index] = {std::move(picture), areas};
}

void CThemeItem_smoke::unloadContent() {
    for (Slot& s : m_slots)
        s = Slot{};
    m_count = 0;
}
