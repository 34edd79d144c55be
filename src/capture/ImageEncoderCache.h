#pragma once

#include <cstdint>

#include "capture/ImagePNGCache.h"

class CCaptureEncoderExt;
class CSerializeInterface;

// A frame's background: either a picture of the document's capture encoder (a non-zero id) or,
// when detached from it, PNG bytes of its own.
class CImageEncoderCache : public CImagePNGCache {
public:
    explicit CImageEncoderCache(CImagePNGManager* manager = nullptr,
                                CCaptureEncoderExt* encoder = nullptr);

    bool decodeInto(CImageExt& image) override;
    bool copyPngTo(CFile& stream) override;
    bool isEmpty() const override;

    // Now refers to that picture of its encoder.
    void bind(std::uint32_t id, int width, int height);
    void setEncoder(CCaptureEncoderExt* encoder) { m_encoder = encoder; }
    std::uint32_t pictureId() const { return m_id; }

    // Adds its PNG picture to the encoder and refers to it from then on (its PNG bytes go);
    // false when the encoder added no picture.
    bool moveIntoEncoder();
    // Keeps the picture as PNG bytes of its own (if it has none yet) and drops the id; with
    // remove the encoder drops the picture too.
    bool detachFromEncoder(bool remove);
    // Drops the id (and with remove the encoder's picture) and leaves the manager.
    void forget(bool remove);

    // The keyed form: "m_image_enc_uid", and for a cache without an id whose picture is asked
    // for, the PNG bytes with their size.
    bool serialize(CSerializeInterface& archive, bool storePicture);

private:
    bool storePng(CSerializeInterface& archive);
    bool loadPng(CSerializeInterface& archive);

    std::uint32_t m_id = 0;
    CCaptureEncoderExt* m_encoder;
};
