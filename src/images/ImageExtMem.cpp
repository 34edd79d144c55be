#include "images/ImageExtMem.h"

#include <cstring>

#include "images/ImageExt.h"
#include "images/ImageLimits.h"
#include "storage/SerializeInterface.h"

CImageExtMem::CImageExtMem() = default;
CImageExtMem::~CImageExtMem() = default;

std::size_t CImageExtMem::imageBytes() const {
    return static_cast<std::size_t>(CImageExt::rowBytes(m_width, m_bitsPerPixel)) * m_height;
}

bool CImageExtMem::acceptable(int w, int h, int bitsPerPixel) {
    return (bitsPerPixel == 24 || bitsPerPixel == 32) && lumenreel::imageSizeAllowed(w, h);
}

void CImageExtMem::setShape(int w, int h, int bitsPerPixel) {
    m_width = w;
    m_height = h;
    m_bitsPerPixel = bitsPerPixel;
}

bool CImageExtMem::copyRect(const CImageExt& image, int x, int y, int w, int h) {
    if (image.isNull() || w <= 0 || h <= 0 || x < 0 || y < 0 ||
        std::int64_t{x} + w > image.width() || std::int64_t{y} + h > image.height())
        return false;
    const int bits = image.bpp();
    const int bytesPerPixel = bits / 8;
    const std::size_t stride = CImageExt::rowBytes(w, bits);
    std::vector<std::uint8_t> rows(stride * h, 0);
    for (int row = 0; row < h; ++row) {
        const std::uint8_t* from = image.firstRow() +
                                   static_cast<std::size_t>(y + row) * image.pitch() +
                                   static_cast<std::size_t>(x) * bytesPerPixel;
        std::memcpy(rows.data() + row * stride, from, static_cast<std::size_t>(w) * bytesPerPixel);
    }
    setShape(w, h, bits);
    storeRows(std::move(rows));
    return true;
}

bool CImageExtMem::copyAll(const CImageExt& image) {
    return copyRect(image, 0, 0, image.width(), image.height());
}

bool CImageExtMem::setSize(int w, int h, int bitsPerPixel) {
    if (!acceptable(w, h, bitsPerPixel))
        return false;
    const bool sameBytes =
        !isEmpty() &&
        static_cast<std::size_t>(CImageExt::rowBytes(w, bitsPerPixel)) * h == imageBytes();
    setShape(w, h, bitsPerPixel);
    if (!sameBytes)
        storeRows(std::vector<std::uint8_t>(imageBytes(), 0));
    return true;
}

bool CImageExtMem::copyTo(CImageExt& image) const {
    if (isEmpty())
        return false;
    if (image.width() != m_width || image.height() != m_height || image.bpp() != m_bitsPerPixel) {
        if (!image.create(m_width, m_height, m_bitsPerPixel))
            return false;
    }
    return readRows([&](std::span<const std::uint8_t> rows) {
        std::memcpy(image.firstRow(), rows.data(), rows.size());
    });
}

void CImageExtMem::clear() {
    dropRows();
    setShape(0, 0, 0);
}

void CImageExtMem::storeRows(std::vector<std::uint8_t> rows) {
    m_rows = std::move(rows);
}

bool CImageExtMem::readRows(
    const std::function<void(std::span<const std::uint8_t>)>& reader) const {
    if (m_rows.size() != imageBytes())
        return false;
    reader(m_rows);
    return true;
}

void CImageExtMem::dropRows() {
    m_rows = {};
}

bool CImageExtMem::serialize(CSerializeInterface& archive) {
    if (!archive.EnterSection("MEM_IMAGE"))
        return false;
    std::uint16_t w = static_cast<std::uint16_t>(m_width);
    std::uint16_t h = static_cast<std::uint16_t>(m_height);
    std::uint8_t bits = static_cast<std::uint8_t>(m_bitsPerPixel);
    archive.SetKey("width");
    archive.ExchangeInt16(w);
    archive.SetKey("height");
    archive.ExchangeInt16(h);
    archive.SetKey("bpp");
    archive.ExchangeInt8(bits);
    bool ok = archive.GetStatus();
    if (archive.IsStoring()) {
        if (ok && !isEmpty()) {
            archive.SetKey("image_data");
            ok = readRows(
                     [&](std::span<const std::uint8_t> rows) { archive.WriteCompressed(rows); }) &&
                 archive.GetStatus();
        }
    } else if (ok && acceptable(w, h, bits)) {
        std::vector<std::uint8_t> rows;
        archive.SetKey("image_data");
        ok = archive.ReadCompressed(rows) &&
             rows.size() == static_cast<std::size_t>(CImageExt::rowBytes(w, bits)) * h;
        if (ok) {
            setShape(w, h, bits);
            storeRows(std::move(rows));
        } else {
            clear();
        }
    } else {
        clear();
    }
    archive.LeaveSection();
    return ok;
}
