#include "images/CursorExt.h"

#include <algorithm>
#include <cmath>

#include "images/CursorImage.h"
#include "images/MaskRaster.h"

struct CCursorExt::_CImp {
    CImageExt xorImage;
    CImageExt maskImage;
    CImageExt colourImage;
    const lumenreel::CursorImage* cursor = nullptr;
    int width = 0;
    int height = 0;
};

namespace {

// An opaque 32-bit copy of some rows of a picture.
CImageExt rowsAs32Bit(const CImageExt& image, int first, int count) {
    CImageExt part;
    if (!part.create(image.width(), count, 32))
        return part;
    for (int y = 0; y < count; ++y) {
        for (int x = 0; x < image.width(); ++x)
            part.setPixel(x, y, 0xFF000000u | image.pixel(x, first + y));
    }
    return part;
}

void setLastRowAndColumn(CImageExt& image, std::uint32_t value) {
    if (image.isNull())
        return;
    for (int x = 0; x < image.width(); ++x)
        image.setPixel(x, image.height() - 1, value);
    for (int y = 0; y < image.height(); ++y)
        image.setPixel(image.width() - 1, y, value);
}

}  // namespace

CCursorExt::CCursorExt() : m_imp(std::make_unique<_CImp>()) {}
CCursorExt::~CCursorExt() = default;

void CCursorExt::setCursor(const lumenreel::CursorImage* cursor) {
    if (!cursor || cursor == m_imp->cursor)
        return;
    _CImp& imp = *m_imp;
    imp = _CImp{};
    imp.cursor = cursor;
    const CImageExt& mask = cursor->mask();
    if (mask.isNull())
        return;
    if (cursor->hasColour()) {
        imp.colourImage = rowsAs32Bit(cursor->colour(), 0, cursor->colour().height());
        imp.maskImage = rowsAs32Bit(mask, 0, mask.height());
    } else {
        const int half = mask.height() / 2;
        imp.maskImage = rowsAs32Bit(mask, 0, half);
        imp.xorImage = rowsAs32Bit(mask, half, half);
    }
    imp.width = imp.maskImage.width();
    imp.height = imp.maskImage.height();
}

void CCursorExt::draw(const PixelView& target, int x, int y) const {
    lumenreel::andPixels(m_imp->maskImage.view(), target, x, y);
    lumenreel::xorPixels(m_imp->xorImage.view(), target, x, y);
    lumenreel::xorPixels(m_imp->colourImage.view(), target, x, y);
}

void CCursorExt::scale(double fx, double fy) {
    if (fx == 1.0 && fy == 1.0)
        return;
    _CImp& imp = *m_imp;
    if (imp.maskImage.isNull())
        return;
    // Far beyond any cursor; keeps the conversion defined, create() then refuses the size.
    constexpr double kUnreachable = 1e9;
    imp.width = static_cast<int>(std::clamp(std::trunc(fx * imp.width), 1.0, kUnreachable));
    imp.height = static_cast<int>(std::clamp(std::trunc(fy * imp.height), 1.0, kUnreachable));
    for (CImageExt* image : {&imp.xorImage, &imp.maskImage, &imp.colourImage}) {
        if (!image->isNull())
            image->resize(imp.width, imp.height, CImageExt::kLowQuality);
    }
    setLastRowAndColumn(imp.maskImage, 0xFFFFFFFFu);
    setLastRowAndColumn(imp.xorImage, 0);
    setLastRowAndColumn(imp.colourImage, 0);
}

int CCursorExt::width() const {
    return m_imp->width;
}
int CCursorExt::height() const {
    return m_imp->height;
}
const CImageExt& CCursorExt::xorImage() const {
    return m_imp->xorImage;
}
const CImageExt& CCursorExt::maskImage() const {
    return m_imp->maskImage;
}
const CImageExt& CCursorExt::colourImage() const {
    return m_imp->colourImage;
}
