#include "items/PoolPicture.h"

namespace lumenreel {

namespace {

CImageManager& poolOutsideDocuments() {
    static CImageManager pool;
    return pool;
}

}  // namespace

PoolPicture& PoolPicture::operator=(const PoolPicture& other) {
    m_handle.assign(other.m_handle);
    return *this;
}

void PoolPicture::setPool(CImageManager& pool) {
    if (!image())
        m_handle = CImageExtCache(pool);
}

void PoolPicture::adopt(std::unique_ptr<CImageExt> image) {
    if (!m_handle.manager())
        m_handle = CImageExtCache(poolOutsideDocuments());
    m_handle.adopt(std::move(image));
}

}  // namespace lumenreel
