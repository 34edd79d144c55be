#include "capture/ImageEncoderCache.h"

#include <vector>

#include "base/File.h"
#include "capture/CaptureEncoder.h"
#include "capture/ImagePNGManager.h"
#include "images/ImageExt.h"
#include "images/PngCodec.h"
#include "storage/SerializeInterface.h"

CImageEncoderCache::CImageEncoderCache(CImagePNGManager* manager, CCaptureEncoderExt* encoder)
    : CImagePNGCache(manager), m_encoder(encoder) {}

bool CImageEncoderCache::decodeInto(CImageExt& image) {
    if (m_id == 0)
        return CImagePNGCache::decodeInto(image);
    // The id may come from a file: one the encoder does not hold is no broken precondition.
    return m_encoder && m_encoder->picture(m_id) && m_encoder->pictureImage(image, m_id);
}

bool CImageEncoderCache::copyPngTo(CFile& stream) {
    if (m_id == 0)
        return CImagePNGCache::copyPngTo(stream);
    CImageExt image;
    if (!decodeInto(image))
        return false;
    const std::uint64_t start = stream.GetPosition();
    return image.savePng(stream) && stream.SeekTo(start);
}

bool CImageEncoderCache::isEmpty() const {
    return m_id == 0 && CImagePNGCache::isEmpty();
}

void CImageEncoderCache::bind(std::uint32_t id, int width, int height) {
    m_id = id;
    setSize(width, height);
    invalidate();
}

bool CImageEncoderCache::moveIntoEncoder() {
    CImageExt image;
    if (!m_encoder || m_id != 0 || !CImagePNGCache::decodeInto(image))
        return false;
    const auto id = m_encoder->addPicture(image);
    if (!id)
        return false;
    clearPng();
    bind(*id, image.width(), image.height());
    return true;
}

bool CImageEncoderCache::detachFromEncoder(bool remove) {
    if (m_id == 0 || !m_encoder)
        return false;
    bool ok = true;
    if (CImagePNGCache::isEmpty()) {
        CImageExt image;
        ok = decodeInto(image) && setFromImage(image);
    }
    if (ok && remove)
        m_encoder->removePicture(m_id);
    if (ok)
        m_id = 0;
    return ok;
}

void CImageEncoderCache::forget(bool remove) {
    if (remove && m_encoder && m_id != 0)
        m_encoder->removePicture(m_id);
    if (manager())
        manager()->unregisterCache(*this);
    m_id = 0;
}

bool CImageEncoderCache::serialize(CSerializeInterface& archive, bool storePicture) {
    archive.SetKey("m_image_enc_uid");
    if (archive.IsStoring()) {
        if (m_id != 0 || !storePicture)
            return archive.WriteInt32A(m_id);
        return archive.WriteInt32A(0u) && storePng(archive);
    }
    std::uint32_t id = 0;
    if (!archive.ReadInt32A(id))
        return false;
    if (id == 0)
        return loadPng(archive);
    const SCapturePictureExt* picture = m_encoder ? m_encoder->picture(id) : nullptr;
    bind(id, picture ? picture->width : 0, picture ? picture->height : 0);
    return true;
}

bool CImageEncoderCache::storePng(CSerializeInterface& archive) {
    const auto png = pngBytes();
    archive.SetKey("stream_size");
    bool ok = archive.WriteInt32A(static_cast<std::uint32_t>(png.size()));
    archive.SetKey("image_width");
    ok = archive.WriteInt32A(static_cast<std::uint32_t>(width())) && ok;
    archive.SetKey("image_height");
    ok = archive.WriteInt32A(static_cast<std::uint32_t>(height())) && ok;
    if (!png.empty()) {
        archive.SetKey("image_raw_data");
        ok = archive.WriteBytes(png.data(), png.size()) && ok;
    }
    return ok;
}

bool CImageEncoderCache::loadPng(CSerializeInterface& archive) {
    std::uint32_t length = 0, storedWidth = 0, storedHeight = 0;
    archive.SetKey("stream_size");
    archive.ReadInt32A(length);
    archive.SetKey("image_width");
    archive.ReadInt32A(storedWidth);
    archive.SetKey("image_height");
    archive.ReadInt32A(storedHeight);
    if (length == 0)
        return true;
    // A stored length can never exceed the stream it is stored in.
    if (length > archive.GetLength())
        return false;
    std::vector<std::uint8_t> png(length);
    archive.SetKey("image_raw_data");
    CImageExt image;
    return archive.ReadBytes(png.data(), png.size()) && lumenreel::decodePng(png, image) &&
           setFromImage(image);
}
