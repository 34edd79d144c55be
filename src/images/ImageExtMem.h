#pragma once

#include <cstdint>
#include <functional>
#include <span>
#include <vector>

class CImageExt;
class CSerializeInterface;

// Raw pixel rows of a 24- or 32-bit picture kept in memory (top row first, rows padded to 4
// bytes): a node of the capture stream.
class CImageExtMem {
public:
    CImageExtMem();
    virtual ~CImageExtMem();
    CImageExtMem(const CImageExtMem&) = delete;
    CImageExtMem& operator=(const CImageExtMem&) = delete;

    // The picture this one was taken from, when someone keeps track of it (not owned).
    const CImageExt* source() const { return m_source; }
    void setSource(const CImageExt* image) { m_source = image; }

    int width() const { return m_width; }
    int height() const { return m_height; }
    int bpp() const { return m_bitsPerPixel; }
    bool isEmpty() const { return m_width == 0 || m_height == 0; }
    // Bytes the rows take uncompressed.
    std::size_t imageBytes() const;

    // The pixels of the w × h rectangle at (x, y) of a 24- or 32-bit image become the content;
    // false (content unchanged) when the image has no pixels or the rectangle leaves it.
    bool copyRect(const CImageExt& image, int x, int y, int w, int h);
    bool copyAll(const CImageExt& image);
    // A zeroed content of that size, except that the rows are kept when their byte size is the
    // same; false for other depths and sizes beyond the program's limits.
    bool setSize(int w, int h, int bitsPerPixel);
    // The image is re-created with this size and depth when they differ, then receives the rows.
    bool copyTo(CImageExt& image) const;
    void clear();

    // Stored form: section "MEM_IMAGE" with the size, the depth and the rows as a compressed blob.
    virtual bool serialize(CSerializeInterface& archive);

protected:
    // Where the rows live: here they are kept as they are; a subclass may keep them another way.
    virtual void storeRows(std::vector<std::uint8_t> rows);
    // Calls reader with the rows (imageBytes() of them); false when they cannot be had.
    virtual bool readRows(const std::function<void(std::span<const std::uint8_t>)>& reader) const;
    virtual void dropRows();
    // Sets size and depth (checked by the caller) without touching the rows.
    void setShape(int w, int h, int bitsPerPixel);
    // True when a stored record's size and depth may carry pixels.
    static bool acceptable(int w, int h, int bitsPerPixel);

private:
    const CImageExt* m_source = nullptr;
    std::vector<std::uint8_t> m_rows;
    int m_width = 0;
    int m_height = 0;
    int m_bitsPerPixel = 0;
};
