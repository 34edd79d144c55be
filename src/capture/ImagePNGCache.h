#pragma once

#include <cstdint>
#include <span>
#include <vector>

class CFile;
class CImageExt;
class CImagePNGManager;

// A picture kept as PNG bytes and decoded only when drawn, into a bitmap lent by the manager.
class CImagePNGCache {
public:
    explicit CImagePNGCache(CImagePNGManager* manager = nullptr);
    virtual ~CImagePNGCache();
    CImagePNGCache(const CImagePNGCache&) = delete;
    CImagePNGCache& operator=(const CImagePNGCache&) = delete;

    // The decoded picture, valid until the manager lends its bitmap to another cache; none
    // when the cache holds nothing or has no manager.
    CImageExt* decoded();

    // The plain form: 32-bit PNG length, width and height, then the PNG bytes.
    bool archiveWrite(CFile& file) const;
    bool archiveRead(CFile& file);
    bool archive(CFile& file, bool storing);

    bool setFromPngStream(CFile& stream);
    // The image becomes the content (as PNG); a bitmap decoded before is given back.
    bool setFromImage(const CImageExt& image);
    virtual bool isEmpty() const { return m_png.empty(); }
    // Writes the PNG bytes at the stream's position and moves back there.
    virtual bool copyPngTo(CFile& stream);
    // Gives back the bitmap on loan.
    void invalidate();
    // A target of the picture's size keeps its depth; another becomes the picture.
    virtual bool decodeInto(CImageExt& image);

    int width() const { return m_width; }
    int height() const { return m_height; }
    CImagePNGManager* manager() const { return m_manager; }
    std::span<const std::uint8_t> pngBytes() const { return m_png; }

protected:
    void setSize(int width, int height);
    void clearPng() { m_png.clear(); }
    bool setPngBytes(std::span<const std::uint8_t> png, int width, int height);

private:
    CImagePNGManager* m_manager;
    int m_width = 0;
    int m_height = 0;
    std::vector<std::uint8_t> m_png;
};
