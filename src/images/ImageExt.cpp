#include "images/ImageExt.h"

#include <algorithm>
#include <cstring>

#include "base/ByteOrder.h"
#include "base/File.h"
#include "images/Canvas.h"
#include "images/ImageDecoder.h"
#include "images/ImageLimits.h"

CImageExt::CImageExt() = default;
CImageExt::~CImageExt() {
    m_canvas.reset();
}
CImageExt::CImageExt(CImageExt&& other) noexcept = default;
CImageExt& CImageExt::operator=(CImageExt&& other) noexcept = default;

int CImageExt::rowBytes(int width, int bitsPerPixel) {
    return static_cast<int>(((static_cast<std::int64_t>(width) * bitsPerPixel + 31) / 8) & ~3);
}

bool CImageExt::create(int width, int height, int bitsPerPixel) {
    if (!createForOverwrite(width, height, bitsPerPixel))
        return false;
    std::fill(m_pixels.begin(), m_pixels.end(), 0);
    return true;
}

// Padding is part of what equals compares, so it is never left unset.
bool CImageExt::createForOverwrite(int width, int height, int bitsPerPixel) {
    destroy();
    if ((bitsPerPixel != 24 && bitsPerPixel != 32) || !lumenreel::imageSizeAllowed(width, height))
        return false;
    const int stride = rowBytes(width, bitsPerPixel);
    m_pixels.resize(static_cast<std::size_t>(stride) * height);
    m_width = width;
    m_height = height;
    m_bitsPerPixel = bitsPerPixel;
    const int used = width * (bitsPerPixel / 8);
    if (used != stride)
        for (int y = 0; y < height; ++y)
            std::fill_n(m_pixels.data() + static_cast<std::size_t>(y) * stride + used,
                        stride - used, 0);
    return true;
}

bool CImageExt::adopt(int width, int height, int bitsPerPixel, lumenreel::PixelBytes pixels) {
    destroy();
    if ((bitsPerPixel != 24 && bitsPerPixel != 32) || !lumenreel::imageSizeAllowed(width, height) ||
        pixels.size() != static_cast<std::size_t>(rowBytes(width, bitsPerPixel)) * height)
        return false;
    m_pixels = std::move(pixels);
    m_width = width;
    m_height = height;
    m_bitsPerPixel = bitsPerPixel;
    return true;
}

void CImageExt::destroy() {
    m_canvas.reset();
    m_pixels = {};
    m_width = m_height = m_bitsPerPixel = 0;
}

PixelView CImageExt::view() {
    if (isNull())
        return {};
    return PixelView{m_pixels.data(), m_width, m_height, pitch(), m_bitsPerPixel / 8};
}

PixelView CImageExt::view() const {
    // The view type has no read-only form; callers of the const overload only read.
    return const_cast<CImageExt*>(this)->view();
}

std::uint32_t CImageExt::pixel(int x, int y) const {
    if (x < 0 || y < 0 || x >= m_width || y >= m_height)
        return 0;
    const std::uint8_t* p = m_pixels.data() + static_cast<std::size_t>(y) * pitch() +
                            static_cast<std::size_t>(x) * (m_bitsPerPixel / 8);
    if (m_bitsPerPixel == 32)
        return lumenreel::loadLE<std::uint32_t>(p);
    return p[0] | (p[1] << 8) | (p[2] << 16);
}

void CImageExt::setPixel(int x, int y, std::uint32_t value) {
    if (x < 0 || y < 0 || x >= m_width || y >= m_height)
        return;
    std::uint8_t* p = m_pixels.data() + static_cast<std::size_t>(y) * pitch() +
                      static_cast<std::size_t>(x) * (m_bitsPerPixel / 8);
    p[0] = static_cast<std::uint8_t>(value);
    p[1] = static_cast<std::uint8_t>(value >> 8);
    p[2] = static_cast<std::uint8_t>(value >> 16);
    if (m_bitsPerPixel == 32)
        p[3] = static_cast<std::uint8_t>(value >> 24);
}

bool CImageExt::ensureDepth() const {
    return !isNull() && (m_bitsPerPixel == 24 || m_bitsPerPixel == 32);
}

bool CImageExt::copyTo(CImageExt& image) const {
    if (isNull())
        return false;
    if (&image == this)
        return true;
    // A target of the same shape keeps its storage: no allocation per copy of a picture that is
    // copied on every tick.
    if (image.m_width == m_width && image.m_height == m_height &&
        image.m_bitsPerPixel == m_bitsPerPixel) {
        std::copy(m_pixels.begin(), m_pixels.end(), image.m_pixels.begin());
        return true;
    }
    lumenreel::PixelBytes copy(m_pixels);
    return image.adopt(m_width, m_height, m_bitsPerPixel, std::move(copy));
}

bool CImageExt::from24(const CImageExt& image, bool keepAlpha) {
    if (image.isNull())
        return false;
    CImageExt result;
    result.create(image.width(), image.height(), 32);
    const int sourceBytes = image.bpp() / 8;
    const bool copyAlpha = keepAlpha && sourceBytes == 4;
    for (int y = 0; y < image.height(); ++y) {
        const std::uint8_t* in = image.firstRow() + static_cast<std::size_t>(y) * image.pitch();
        std::uint8_t* out = result.firstRow() + static_cast<std::size_t>(y) * result.pitch();
        for (int x = 0; x < image.width(); ++x, in += sourceBytes, out += 4) {
            out[0] = in[0];
            out[1] = in[1];
            out[2] = in[2];
            out[3] = copyAlpha ? in[3] : 0xFF;
        }
    }
    *this = std::move(result);
    return true;
}

bool CImageExt::load(CFile& stream) {
    const std::uint64_t remaining = stream.RemainingBytes();
    // A compressed picture is never larger than the biggest raw one (plus headers).
    if (remaining > static_cast<std::uint64_t>(lumenreel::kMaxImagePixels) * 4 + 65536) {
        destroy();
        return false;
    }
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(remaining));
    if (!stream.ReadExact(bytes.data(), bytes.size())) {
        destroy();
        return false;
    }
    return loadFromBytes(bytes);
}

bool CImageExt::loadFromBytes(std::span<const std::uint8_t> bytes) {
    if (lumenreel::decodeImage(bytes, *this))
        return true;
    destroy();
    return false;
}
