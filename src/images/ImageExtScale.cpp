#include <algorithm>
#include <cmath>

#include "images/ImageExt.h"
#include "images/Resampler.h"

bool CImageExt::resize(int width, int height, int interpolation) {
    if (isNull())
        return false;
    if (width == m_width && height == m_height)
        return true;
    endDraw();  // what was drawn must be in the pixels before they are scaled
    CImageExt scaled;
    if (!scaled.create(width, height, m_bitsPerPixel))
        return false;
    if (!lumenreel::resample(view(), scaled.view(), interpolation))
        return false;
    *this = std::move(scaled);
    return true;
}

namespace {

int scaledSide(int side, double factor) {
    // Far beyond any allowed size; keeps the conversion defined, create() then refuses it.
    constexpr double kUnreachable = 1e9;
    return static_cast<int>(std::clamp(std::trunc(side * factor), 1.0, kUnreachable));
}

}  // namespace

bool CImageExt::fitInside(int width, int height, int interpolation) {
    if (isNull())
        return false;
    const double factor =
        std::min(static_cast<double>(width) / m_width, static_cast<double>(height) / m_height);
    return resize(scaledSide(m_width, factor), scaledSide(m_height, factor), interpolation);
}

bool CImageExt::cover(int width, int height, int interpolation) {
    if (isNull())
        return false;
    const double factor =
        std::max(static_cast<double>(width) / m_width, static_cast<double>(height) / m_height);
    return resize(scaledSide(m_width, factor), scaledSide(m_height, factor), interpolation);
}
