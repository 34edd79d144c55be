#pragma once

#include <memory>

#include "images/ImageExtCache.h"

namespace lumenreel {

// A picture property kept in a document's picture pool. Copies of a record share the bitmap (the
// pool counts them), as the copies of an item the editor makes do; the last one frees it.
class PoolPicture {
public:
    PoolPicture() = default;
    PoolPicture(const PoolPicture& other) : m_handle(other.m_handle.share()) {}
    PoolPicture& operator=(const PoolPicture& other);
    PoolPicture(PoolPicture&&) noexcept = default;
    PoolPicture& operator=(PoolPicture&&) noexcept = default;

    // The pool the next bitmap goes into, for a picture that holds none; without one, bitmaps go
    // into a pool shared by the items that belong to no document.
    void setPool(CImageManager& pool);
    void adopt(std::unique_ptr<CImageExt> image);
    void release() { m_handle.release(); }

    CImageExt* image() const { return m_handle.image(); }
    bool holdsPixels() const { return image() && !image()->isNull(); }

private:
    CImageExtCache m_handle;
};

}  // namespace lumenreel
