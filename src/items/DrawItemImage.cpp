#include "items/DrawItemImage.h"

#include <algorithm>
#include <cmath>

#include "base/FileBytes.h"
#include "images/ImageLimits.h"
#include "items/ItemCounters.h"
#include "items/ItemDocument.h"
#include "items/ItemPlacement.h"
#include "items/ItemSchema.h"
#include "items/NameLabel.h"
#include "storage/SerializeInterface.h"

namespace lumenreel {

namespace {

constexpr int kNoDisplaySide = 50;
constexpr int kPlaceholderSide = 32;
constexpr std::uint64_t kNoImageFileLimit = 16 << 20;
// Blending every pixel, whatever its value.
constexpr std::uint32_t kNoKey = 0xFFFFFFFFu;

int scaled(int side, double factor) {
    const double value = std::trunc(side * factor);
    return static_cast<int>(std::clamp(value, 1.0, static_cast<double>(kMaxImageDimension)));
}

}  // namespace

Size keepAspectSize(Size picture, Size previous, Size wanted) {
    const double fx = static_cast<double>(wanted.width) / picture.width;
    const double fy = static_cast<double>(wanted.height) / picture.height;
    const bool bothChanged = wanted.width != previous.width && wanted.height != previous.height;
    const bool shrinks = wanted.width < previous.width || wanted.height < previous.height;
    const double factor = !bothChanged && shrinks ? std::min(fx, fy) : std::max(fx, fy);
    return {scaled(picture.width, factor), scaled(picture.height, factor)};
}

void ImagePropertiesBase::serialize(CSerializeInterface& archive) {
    FadeablePropertiesBase::serialize(archive);
    readProblem.clear();
    bool noImage = !source.holdsPixels();
    archive.SetKey("no_image_data");
    archive.Exchange(noImage);
    if (archive.IsStoring() && !noImage) {
        source.image()->serialize(archive);
    } else if (!archive.IsStoring()) {
        source.release();
        auto picture = std::make_unique<CImageExt>();
        if (!noImage && !picture->serialize(archive))
            readProblem = "picture cannot be read";
        else if (!noImage)
            source.adopt(std::move(picture));
    }
    archive.SetKey("aspect");
    archive.Exchange(aspect);
    archive.SetKey("autosize");
    archive.Exchange(autosize);
    archive.SetKey("width");
    archive.Exchange(width);
    archive.SetKey("height");
    archive.Exchange(height);
    archive.SetKey("compression_level");
    archive.Exchange(compressionLevel);
    if (!archive.IsStoring() && readProblem.empty() &&
        (width < 0 || height < 0 || width > kMaxImageDimension || height > kMaxImageDimension))
        readProblem = "picture size " + std::to_string(width) + " x " + std::to_string(height) +
                      " out of range";
}

CDrawItem_zcImage::CDrawItem_zcImage()
    : CDrawItem_zcImage(kImageTypeId, std::make_unique<ImageProperties>(), "!Image") {}

CDrawItem_zcImage::CDrawItem_zcImage(const Guid& typeId,
                                     std::unique_ptr<ImagePropertiesBase> properties,
                                     std::string nameKey)
    : CDrawItem_zcFadeable(typeId, std::move(properties), std::move(nameKey), kFadeBoth) {}

PoolPicture& CDrawItem_zcImage::poolSource() {
    PoolPicture& source = imageProperties().source;
    if (document())
        source.setPool(document()->imageManager());
    return source;
}

void CDrawItem_zcImage::setSourcePicture(std::unique_ptr<CImageExt> picture) {
    poolSource().adopt(std::move(picture));
}

bool CDrawItem_zcImage::serializeContent(CSerializeInterface& archive) {
    poolSource();
    properties().serialize(archive);
    if (!imageProperties().readProblem.empty())
        return fail(imageProperties().readProblem);
    return true;
}

void CDrawItem_zcImage::setDisplay(CImageExt image) {
    m_display = std::make_unique<CImageExt>(std::move(image));
    ImagePropertiesBase& record = imageProperties();
    record.width = m_display->width();
    record.height = m_display->height();
    m_displayRect = {record.x, record.y, record.x + record.width, record.y + record.height};
}

void CDrawItem_zcImage::fillMissingSource() {
    if (imageProperties().source.holdsPixels())
        return;
    auto picture = std::make_unique<CImageExt>();
    if (!m_resourceFolder.empty()) {
        FileBytes file = readFileBytes(std::filesystem::path(m_resourceFolder) / "NoImage.png",
                                       kNoImageFileLimit);
        if (file.ok())
            picture->loadFromBytes(file.bytes);
    }
    if (picture->isNull() && picture->create(kPlaceholderSide, kPlaceholderSide, 32))
        for (int y = 0; y < kPlaceholderSide; ++y)
            for (int x = 0; x < kPlaceholderSide; ++x)
                picture->setPixel(x, y, 0xFF000000);
    if (!picture->isNull())
        setSourcePicture(std::move(picture));
}

void CDrawItem_zcImage::rebuildDisplayImage() {
    fillMissingSource();
    const ImagePropertiesBase& record = imageProperties();
    if (!record.source.holdsPixels())
        return;
    const CImageExt& source = *record.source.image();
    const Size previous = m_display ? Size{m_display->width(), m_display->height()}
                                    : Size{source.width(), source.height()};
    CImageExt display;
    source.copyTo(display);
    if (record.width != 0 && record.height != 0 && !record.autosize) {
        const Size wanted{record.width, record.height};
        const Size shown = record.aspect
                               ? keepAspectSize({source.width(), source.height()}, previous, wanted)
                               : wanted;
        // A size the limits refuse (a damaged file's) leaves the picture at its own size.
        if (imageSizeAllowed(shown.width, shown.height))
            display.resize(shown.width, shown.height, CImageExt::kHighQualityBicubic);
    }
    setDisplay(std::move(display));
}

void CDrawItem_zcImage::blendDisplay(CImageExt& target, int alpha) const {
    m_display->blendInto(target, position().x, position().y, alpha, kNoKey, true);
}

void CDrawItem_zcImage::draw(CImageExt& target, const ItemDrawContext& context) {
    if (!m_display && document())
        rebuildDisplayImage();
    const float transparency = drawTransparencyAt(context);
    if (!m_display || transparency == 1.0f)
        return;
    const int alpha = static_cast<int>((1.0f - transparency) * 255.0f) % 256;
    blendDisplay(target, alpha);
    drawNameLabel(target, properties().name, bounds(), context.labelOpacity);
}

Rect CDrawItem_zcImage::bounds() {
    const Point at = position();
    if (!m_display)
        return {at.x, at.y, at.x + kNoDisplaySide, at.y + kNoDisplaySide};
    if (m_fixedRect)
        return m_displayRect;
    return {at.x, at.y, static_cast<std::int32_t>(at.x + m_displayRect.width()),
            static_cast<std::int32_t>(at.y + m_displayRect.height())};
}

void CDrawItem_zcImage::setRect(const Rect& rect, bool fixed) {
    m_fixedRect = fixed;
    if (fixed) {
        m_displayRect = rect;
        return;
    }
    storeGrowingRect(imageProperties(), rect);
}

std::unique_ptr<CDrawCommonItem> CDrawItem_zcImage::createBlank() const {
    auto item = std::make_unique<CDrawItem_zcImage>();
    item->setPosition(position().x, position().y);
    item->properties().copyFrom(properties());
    return item;
}

void CDrawItem_zcImage::visibleSpan(const ItemDrawContext& context, float& start,
                                    float& end) const {
    start = 0.0f;
    end = context.frameDuration;
    if (!context.placement)
        return;
    start = std::max(context.placement->visStart, 0.0f);
    end = std::max(std::min(context.placement->visEnd, context.frameDuration), start);
    if (start == 0.0f && end == 0.0f)
        end = context.frameDuration;
}

int CDrawItem_zcImage::effectiveFadeType(const ItemDrawContext& context) const {
    const int type = context.placement ? context.placement->fadeType : kFadeNone;
    const ItemDocument* doc = document();
    const int frame = context.frameIndex;
    const bool next = doc && frame + 1 < doc->frameCount() && doc->placementOn(frame + 1, *this);
    const bool prev =
        doc && frame > 0 && frame - 1 < doc->frameCount() && doc->placementOn(frame - 1, *this);
    switch (type) {
        case kFadeIn:
            return prev ? kFadeNone : kFadeIn;
        case kFadeOut:
            return next ? kFadeNone : kFadeOut;
        case kFadeBoth:
            if (next)
                return prev ? kFadeNone : kFadeIn;
            return prev ? kFadeOut : kFadeBoth;
        default:
            return type;
    }
}

float CDrawItem_zcImage::drawTransparencyAt(const ItemDrawContext& context) {
    return transparencyWithFade(context, effectiveFadeType(context));
}

void CDrawItem_zcImage::propertiesChanged() {
    if (document())
        rebuildDisplayImage();
}

int CDrawItem_zcImage::nextId(bool advance) {
    return advance ? itemCounters().image++ : itemCounters().image;
}

bool CDrawItem_zcImage::resizable() const {
    return !imageProperties().autosize;
}

}  // namespace lumenreel
