#include "items/DrawItemSmoke.h"

#include <algorithm>

#include "images/ImageLimits.h"
#include "items/ItemColour.h"
#include "items/ItemCounters.h"
#include "items/ItemDocument.h"
#include "items/ItemPlacement.h"
#include "items/ItemSchema.h"
#include "items/NameLabel.h"
#include "items/SharedRichEdit.h"
#include "items/SoundEffectItem.h"
#include "richtext/AutoRichEditCtrl.h"
#include "storage/SerializeInterface.h"
#include "themes/BalloonPicture.h"
#include "themes/ThemeContainer.h"
#include "themes/ThemeItemSmoke.h"

namespace lumenreel {

namespace {

constexpr int kMaxTemplateIndex = 8;
constexpr Size kTextOnlyMinimum{15, 8};
constexpr Size kNoTemplateMinimum{5, 5};
constexpr float kSecondsPerCharacter = 0.2f;
constexpr float kShortestDuration = 0.3f;

void exchangeColourRecord(CSerializeInterface& archive, const char* key,
                          SmokeColourRecord& record) {
    std::array<std::uint8_t, 68> bytes{};
    std::copy(record.head.begin(), record.head.end(), bytes.begin());
    for (int i = 0; i < 4; ++i)
        bytes[static_cast<std::size_t>(64 + i)] =
            static_cast<std::uint8_t>(record.colour >> (8 * i));
    archive.SetKey(key);
    if (!archive.ExchangeBytes(bytes.data(), bytes.size()) || archive.IsStoring())
        return;
    std::copy(bytes.begin(), bytes.begin() + 64, record.head.begin());
    record.colour = 0;
    for (int i = 0; i < 4; ++i)
        record.colour |= std::uint32_t{bytes[static_cast<std::size_t>(64 + i)]} << (8 * i);
}

// Sizes past the image limits are brought back inside them.
Size cappedBalloonSize(std::int64_t width, std::int64_t height) {
    width = std::clamp<std::int64_t>(width, 1, kMaxImageDimension);
    height = std::clamp<std::int64_t>(height, 1, kMaxImageDimension);
    height = std::min(height, kMaxImagePixels / width);
    return {static_cast<int>(width), static_cast<int>(height)};
}

std::int32_t clampedEdge(std::int64_t value) {
    return static_cast<std::int32_t>(std::clamp<std::int64_t>(value, INT32_MIN, INT32_MAX));
}

}  // namespace

void SmokeProperties::serialize(CSerializeInterface& archive) {
    FadeablePropertiesBase::serialize(archive);
    readProblem.clear();
    exchangeColourRecord(archive, "color0", colours[0]);
    exchangeColourRecord(archive, "color1", colours[1]);
    exchangeColourRecord(archive, "color2", colours[2]);
    exchangeColour(archive, "text_color", textColour);
    archive.SetKey("text");
    archive.ExchangeString(text);
    archive.SetKey("font_type");
    archive.ExchangeBytes(font.data(), font.size());
    archive.SetKey("autosize");
    archive.Exchange(autosize);
    archive.SetKey("width");
    archive.Exchange(width);
    archive.SetKey("height");
    archive.Exchange(height);
    archive.SetKey("template_ix");
    archive.Exchange(templateIndex);
    archive.SetKey("smoke_internal_name");
    archive.ExchangeString(themeItemName);
    archive.SetKey("vertical_center");
    archive.Exchange(verticalCenter);
    archive.SetKey("only_text");
    archive.Exchange(onlyText);
    if (archive.IsStoring())
        return;
    if (templateIndex < 0 || templateIndex > kMaxTemplateIndex)
        readProblem = "template index " + std::to_string(templateIndex) + " out of range";
    else if (width < 0 || height < 0 || width > kMaxImageDimension || height > kMaxImageDimension)
        readProblem = "caption size " + std::to_string(width) + " x " + std::to_string(height) +
                      " out of range";
}

CDrawItem_zcSmoke::CDrawItem_zcSmoke()
    : CDrawItem_zcFadeable(kSmokeTypeId, std::make_unique<SmokeProperties>(), "!Smoke", kFadeNone) {
}

CDrawItem_zcSmoke::~CDrawItem_zcSmoke() = default;

bool CDrawItem_zcSmoke::serializeContent(CSerializeInterface& archive) {
    properties().serialize(archive);
    if (!smokeProperties().readProblem.empty())
        return fail(smokeProperties().readProblem);
    if (!archive.IsStoring() && !smokeProperties().autosize)
        placeRect();
    return true;
}

void CDrawItem_zcSmoke::placeRect() {
    const SmokeProperties& record = smokeProperties();
    m_rect = {record.x, record.y, clampedEdge(std::int64_t{record.x} + record.width),
              clampedEdge(std::int64_t{record.y} + record.height)};
}

Size CDrawItem_zcSmoke::measureText() const {
    CAutoRichEditCtrl& control = sharedRichEdit();
    control.setRichText(smokeProperties().text);
    return control.measure();
}

Size CDrawItem_zcSmoke::measureTextAt(std::int64_t width) const {
    CAutoRichEditCtrl control(
        static_cast<int>(std::clamp<std::int64_t>(width, 1, kMaxImageDimension)));
    control.setRichText(smokeProperties().text);
    return control.measure();
}

void CDrawItem_zcSmoke::setPlainText(std::string_view text) {
    CAutoRichEditCtrl& control = sharedRichEdit();
    control.setPlainText(text, charFormatFor(decodeLogFont(smokeProperties().font)));
    smokeProperties().text = control.richText();
}

float CDrawItem_zcSmoke::suggestedDuration() {
    CAutoRichEditCtrl& control = sharedRichEdit();
    control.setRichText(smokeProperties().text);
    return std::max(kShortestDuration,
                    static_cast<float>(control.textLength()) * kSecondsPerCharacter);
}

void CDrawItem_zcSmoke::loadThemeItem() {
    m_themeItem.reset();
    CThemeContainer* theme = document() ? document()->theme() : nullptr;
    const auto* shared =
        theme ? dynamic_cast<const CThemeItem_smoke*>(theme->itemFor(kBalloonTypeId)) : nullptr;
    if (!shared)
        return;
    m_themeItem = shared->cloneBalloon();
    m_themeItem->setItemName(smokeProperties().themeItemName);
    m_themeItem->load();
}

void CDrawItem_zcSmoke::rebuild() {
    m_balloon.reset();
    loadThemeItem();
    const int index = smokeProperties().templateIndex;
    const CImageExt* balloonTemplate =
        m_themeItem && !smokeProperties().onlyText ? m_themeItem->balloonTemplate(index) : nullptr;
    if (balloonTemplate) {
        m_minimum = {balloonTemplate->width(), balloonTemplate->height()};
        buildBalloon(*balloonTemplate, m_themeItem->textArea(index),
                     m_themeItem->splitPoint(index));
    } else {
        m_minimum = kNoTemplateMinimum;
        buildTextOnly();
    }
    const Rect box = bounds();
    smokeProperties().width =
        static_cast<std::int32_t>(std::min<std::int64_t>(box.width(), kMaxImageDimension));
    smokeProperties().height =
        static_cast<std::int32_t>(std::min<std::int64_t>(box.height(), kMaxImageDimension));
}

void CDrawItem_zcSmoke::buildBalloon(const CImageExt& balloonTemplate, const Rect& area,
                                     Point split) {
    const SmokeProperties& record = smokeProperties();
    const Size measured = measureText();
    const std::int64_t tw = std::max<std::int64_t>(measured.width, area.width());
    const std::int64_t th = std::max<std::int64_t>(measured.height, area.height());
    const std::int64_t templateWidth = balloonTemplate.width();
    const std::int64_t templateHeight = balloonTemplate.height();
    std::int64_t width = 0, height = 0;
    Rect text{area.left, area.top, 0, 0};
    if (record.autosize) {
        width = templateWidth + std::max<std::int64_t>(0, area.left + tw - area.right);
        height = templateHeight + std::max<std::int64_t>(0, area.top + th - area.bottom);
        text.right = clampedEdge(area.left + tw);
        text.bottom = clampedEdge(area.top + th);
    } else {
        width = std::max<std::int64_t>(record.width, m_minimum.width);
        height = std::max<std::int64_t>(record.height, m_minimum.height);
        text.right = clampedEdge(area.right + width - templateWidth);
        text.bottom = clampedEdge(area.bottom + height - templateHeight);
    }
    if (record.verticalCenter) {
        // A balloon of a set size breaks the lines at its text area, so it centres those lines.
        const std::int64_t textHeight =
            record.autosize ? measured.height : measureTextAt(text.width()).height;
        text.top =
            clampedEdge(text.top + std::max<std::int64_t>(0, (text.height() - textHeight) / 2));
    }
    const Size size = cappedBalloonSize(width, height);
    BalloonShape shape;
    shape.width = size.width;
    shape.height = size.height;
    shape.balloonTemplate = &balloonTemplate;
    shape.split = split;
    shape.textArea = text;
    shape.richText = record.text;
    shape.textColour = record.textColour;
    m_balloon = std::make_unique<CImageExt>(makeBalloonPicture(shape, sharedRichEdit()));
}

void CDrawItem_zcSmoke::buildTextOnly() {
    const Size measured = measureText();
    const Size size = cappedBalloonSize(std::max(measured.width, kTextOnlyMinimum.width),
                                        std::max(measured.height, kTextOnlyMinimum.height));
    BalloonShape shape;
    shape.width = size.width;
    shape.height = size.height;
    shape.textArea = {0, 0, size.width, size.height};
    if (smokeProperties().verticalCenter)
        shape.textArea.top = std::max(0, (size.height - measured.height) / 2);
    shape.richText = smokeProperties().text;
    shape.textColour = smokeProperties().textColour;
    m_balloon = std::make_unique<CImageExt>(makeBalloonPicture(shape, sharedRichEdit()));
}

Rect CDrawItem_zcSmoke::bounds() {
    if (!m_balloon && !smokeProperties().onlyText && document())
        rebuild();
    if (m_fixedRect)
        return m_rect;
    const SmokeProperties& record = smokeProperties();
    if (record.autosize) {
        Size size{record.width, record.height};
        if (m_balloon && !m_balloon->isNull())
            size = {m_balloon->width(), m_balloon->height()};
        else if (record.onlyText)
            size = measureText();
        m_rect = {record.x, record.y, clampedEdge(std::int64_t{record.x} + size.width),
                  clampedEdge(std::int64_t{record.y} + size.height)};
    } else {
        const std::int64_t width = std::max(record.width, m_minimum.width);
        const std::int64_t height = std::max(record.height, m_minimum.height);
        m_rect = {record.x, record.y, clampedEdge(record.x + width),
                  clampedEdge(record.y + height)};
    }
    return m_rect;
}

void CDrawItem_zcSmoke::setRect(const Rect& rect, bool fixed) {
    m_fixedRect = fixed;
    if (fixed) {
        m_rect = rect;
        return;
    }
    storeGrowingRect(smokeProperties(), rect);
}

void CDrawItem_zcSmoke::draw(CImageExt& target, const ItemDrawContext& context) {
    if (context.time >= 0.0f && context.time >= context.frameDuration)
        return;
    if (!m_balloon && document())
        rebuild();
    const float transparency = drawTransparencyAt(context);
    if (transparency != 1.0f && m_balloon && !m_balloon->isNull()) {
        const int alpha =
            static_cast<int>(std::clamp(1.0f - transparency, 0.0f, 1.0f) * 255.0f) % 256;
        // The balloon is keyed: its see-through pixels are all zero.
        m_balloon->blendInto(target, position().x, position().y, alpha, 0, true);
    }
    drawNameLabel(target, properties().name, bounds(), context.labelOpacity);
}

std::unique_ptr<CDrawCommonItem> CDrawItem_zcSmoke::createBlank() const {
    auto item = std::make_unique<CDrawItem_zcSmoke>();
    item->setPosition(position().x, position().y);
    return item;
}

void CDrawItem_zcSmoke::visibleSpan(const ItemDrawContext& context, float& start,
                                    float& end) const {
    placementSpan(context, start, end);
}

bool CDrawItem_zcSmoke::isShownIn(const ItemDrawContext& context) const {
    return shownInSpan(*this, context);
}

int CDrawItem_zcSmoke::effectiveFadeType(const ItemDrawContext& context) const {
    return context.placement ? context.placement->fadeType : kFadeNone;
}

float CDrawItem_zcSmoke::drawTransparencyAt(const ItemDrawContext& context) {
    return document() ? transparencyAt(context) : 0.0f;
}

void CDrawItem_zcSmoke::propertiesChanged() {
    if (!smokeProperties().autosize)
        placeRect();
    if (document())
        rebuild();
}

int CDrawItem_zcSmoke::nextId(bool advance) {
    return advance ? itemCounters().smoke++ : itemCounters().smoke;
}

}  // namespace lumenreel
