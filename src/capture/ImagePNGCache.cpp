#include "capture/ImagePNGCache.h"

#include "base/File.h"
#include "capture/ImagePNGManager.h"
#include "images/ImageExt.h"
#include "images/PixelBlit.h"
#include "images/PngCodec.h"

namespace {

bool readUint32(CFile& file, std::uint32_t& value) {
    std::uint8_t bytes[4];
    if (file.Read(bytes, 4) != 4)
        return false;
    value = bytes[0] | bytes[1] << 8 | bytes[2] << 16 | static_cast<std::uint32_t>(bytes[3]) << 24;
    return true;
}

bool writeUint32(CFile& file, std::uint32_t value) {
    const std::uint8_t bytes[4] = {
        static_cast<std::uint8_t>(value), static_cast<std::uint8_t>(value >> 8),
        static_cast<std::uint8_t>(value >> 16), static_cast<std::uint8_t>(value >> 24)};
    return file.Write(bytes, 4);
}

}  // namespace

CImagePNGCache::CImagePNGCache(CImagePNGManager* manager) : m_manager(manager) {
    if (m_manager)
        m_manager->registerCache(*this);
}

CImagePNGCache::~CImagePNGCache() {
    if (m_manager)
        m_manager->unregisterCache(*this);
}

CImageExt* CImagePNGCache::decoded() {
    if (isEmpty() || !m_manager)
        return nullptr;
    return m_manager->lend(*this);
}

bool CImagePNGCache::archiveWrite(CFile& file) const {
    return writeUint32(file, static_cast<std::uint32_t>(m_png.size())) &&
           writeUint32(file, static_cast<std::uint32_t>(m_width)) &&
           writeUint32(file, static_cast<std::uint32_t>(m_height)) &&
           (m_png.empty() || file.Write(m_png.data(), m_png.size()));
}

bool CImagePNGCache::archiveRead(CFile& file) {
    std::uint32_t length = 0, width = 0, height = 0;
    if (!readUint32(file, length) || !readUint32(file, width) || !readUint32(file, height))
        return false;
    // A stored length can never exceed what is left of the file.
    if (length > file.GetLength() - std::min(file.GetLength(), file.GetPosition()))
        return false;
    std::vector<std::uint8_t> png(length);
    if (length != 0 && file.Read(png.data(), length) != length)
        return false;
    return setPngBytes(png, static_cast<int>(width), static_cast<int>(height));
}

bool CImagePNGCache::archive(CFile& file, bool storing) {
    return storing ? archiveWrite(file) : archiveRead(file);
}

bool CImagePNGCache::setFromPngStream(CFile& stream) {
    CImageExt image;
    return image.load(stream) && setFromImage(image);
}

bool CImagePNGCache::setFromImage(const CImageExt& image) {
    std::vector<std::uint8_t> png;
    if (image.isNull() || !lumenreel::encodePng(image, png))
        return false;
    return setPngBytes(png, image.width(), image.height());
}

bool CImagePNGCache::setPngBytes(std::span<const std::uint8_t> png, int width, int height) {
    m_png.assign(png.begin(), png.end());
    setSize(width, height);
    invalidate();
    return true;
}

void CImagePNGCache::setSize(int width, int height) {
    m_width = width;
    m_height = height;
}

bool CImagePNGCache::copyPngTo(CFile& stream) {
    if (m_png.empty())
        return false;
    const std::uint64_t start = stream.GetPosition();
    return stream.Write(m_png.data(), m_png.size()) && stream.SeekTo(start);
}

void CImagePNGCache::invalidate() {
    if (m_manager)
        m_manager->giveBack(*this);
}

bool CImagePNGCache::decodeInto(CImageExt& image) {
    if (m_png.empty())
        return false;
    if (image.isNull() || image.width() != m_width || image.height() != m_height)
        return lumenreel::decodePng(m_png, image);
    CImageExt decoded;
    if (!lumenreel::decodePng(m_png, decoded))
        return false;
    if (decoded.width() != image.width() || decoded.height() != image.height()) {
        image = std::move(decoded);
        return true;
    }
    lumenreel::copyPixels(decoded.view(), image.view(), 0, 0, image.width(), image.height());
    return true;
}
