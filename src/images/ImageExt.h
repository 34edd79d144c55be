#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <vector>

#include "images/PixelBytes.h"
#include "images/PixelView.h"
#include "images/Resampler.h"

class CFile;
class CSerializeInterface;
namespace lumenreel {
class Canvas;
}

// The one bitmap holder of the program: a top-down BGR (24-bit) or BGRA (32-bit) picture whose rows
// are padded to a multiple of 4 bytes. An image with no pixels is "null"; operations on it fail or
// do nothing.
class CImageExt {
public:
    // Interpolation modes callers pass to resize, fitInside and cover.
    static constexpr int kLowQuality = static_cast<int>(lumenreel::InterpolationMode::LowQuality);
    static constexpr int kNearestNeighbor =
        static_cast<int>(lumenreel::InterpolationMode::NearestNeighbor);
    static constexpr int kHighQualityBicubic =
        static_cast<int>(lumenreel::InterpolationMode::HighQualityBicubic);

    CImageExt();
    ~CImageExt();
    CImageExt(CImageExt&& other) noexcept;
    CImageExt& operator=(CImageExt&& other) noexcept;
    CImageExt(const CImageExt&) = delete;
    CImageExt& operator=(const CImageExt&) = delete;

    // A zero-filled picture of 24 or 32 bits per pixel; false (and null) for other depths, for
    // sizes below 1 and for sizes beyond the program's limits.
    bool create(int width, int height, int bitsPerPixel);
    // The same for a caller about to write every pixel: only the rows' padding is cleared.
    bool createForOverwrite(int width, int height, int bitsPerPixel);
    void destroy();
    bool isNull() const { return m_pixels.empty(); }

    int width() const { return m_width; }
    int height() const { return m_height; }
    int bpp() const { return m_bitsPerPixel; }
    int pitch() const { return rowBytes(m_width, m_bitsPerPixel); }
    // Bytes in a row of a picture of that width and depth, padded to a multiple of 4.
    static int rowBytes(int width, int bitsPerPixel);

    std::uint8_t* firstRow() { return m_pixels.data(); }
    const std::uint8_t* firstRow() const { return m_pixels.data(); }
    // The pixels as the scaler, the canvas and the blenders see them (empty for a null image).
    PixelView view();
    PixelView view() const;  // for reading only

    // 32-bit pixel values: B | G << 8 | R << 16 | A << 24 (a 24-bit image reads A as 0 and ignores
    // it on writing). Positions outside the picture read 0 and write nothing.
    std::uint32_t pixel(int x, int y) const;
    void setPixel(int x, int y, std::uint32_t value);

    // Every picture here has 24 or 32 bits per pixel (decoders widen the rest), so this only tells
    // whether the image holds pixels of a depth the drawing code accepts.
    bool ensureDepth() const;

    // Scaling through the program's resampler; the depth is kept. resize does nothing when the size
    // is already w × h. fitInside keeps the proportions and fits within w × h; cover fills it.
    bool resize(int width, int height, int interpolation);
    bool fitInside(int width, int height, int interpolation);
    bool cover(int width, int height, int interpolation);

    // Blends this picture into a 32-bit image at (x, y) with alpha 0..255, clipped to it. Source
    // pixels equal to the key are skipped: with use32BitKey the whole pixel value is compared;
    // otherwise the colour bytes (0xRRGGBB) are, and a key above 0xFFFFFF skips nothing.
    void blendInto(CImageExt& destination, int x, int y, int alpha, std::uint32_t key,
                   bool use32BitKey) const;
    void drawBlendedInto(CImageExt& destination, int x, int y, int alpha) const;
    // The same onto pixels of any depth (24 or 32), through a 32-bit copy of the covered area.
    void blendOnto(const PixelView& target, int x, int y, int alpha, std::uint32_t key,
                   bool use32BitKey) const;
    void drawBlended(const PixelView& target, int x, int y, int alpha) const;

    // The other image becomes an exact copy; false when this one has no pixels.
    bool copyTo(CImageExt& image) const;
    // Becomes a 32-bit copy of the image; a 24-bit source gets alpha 0xFF everywhere, a 32-bit one
    // keeps its alpha when keepAlpha is set.
    bool from24(const CImageExt& image, bool keepAlpha);

    bool equals(const CImageExt& image) const;
    bool regionEquals(const CImageExt& image, int x, int y, int w, int h, int ox, int oy) const;
    // Pixels of the w × h region at (x, y) whose colour bytes differ from the region at (ox, oy) of
    // the other image; parts outside either picture count as different.
    int countDifferences(const CImageExt& image, int x, int y, int w, int h, int ox, int oy) const;
    double similarity(const CImageExt& image, int x, int y, int w, int h, int ox, int oy) const;

    // Decoding by content (PNG, JPEG or BMP); on failure the image is left null.
    bool load(CFile& stream);
    bool loadFromBytes(std::span<const std::uint8_t> bytes);
    // Encoders append to the stream at its position; false (stream untouched) for a null image.
    bool savePng(CFile& stream) const;
    bool saveJpeg(CFile& stream, int quality) const;
    bool saveBmp(CFile& stream) const;

    // The stored forms: keyed (a PNG in "IMAGEEXT_DATA") and plain (32-bit length, PNG bytes).
    bool serialize(CSerializeInterface& archive);
    bool archive(CFile& file, bool storing);

    // A canvas drawing into these pixels, valid until endDraw (or the next beginDraw, or anything
    // that replaces the pixels). What it draws into a 24-bit picture shows only after endDraw.
    lumenreel::Canvas& beginDraw();
    void endDraw();

    // Takes over a ready pixel buffer of the right size (used by the decoders).
    bool adopt(int width, int height, int bitsPerPixel, lumenreel::PixelBytes pixels);

private:
    // First, so that moving another image in ends the canvas while its pixels still exist.
    std::unique_ptr<lumenreel::Canvas> m_canvas;
    lumenreel::PixelBytes m_pixels;
    int m_width = 0;
    int m_height = 0;
    int m_bitsPerPixel = 0;
};
