#include "images/ImageExtCache.h"

#include <utility>

CImageExtCache::~CImageExtCache() {
    release();
}

CImageExtCache::CImageExtCache(CImageExtCache&& other) noexcept
    : m_manager(other.m_manager), m_node(std::exchange(other.m_node, nullptr)) {}

CImageExtCache& CImageExtCache::operator=(CImageExtCache&& other) noexcept {
    if (this != &other) {
        release();
        m_manager = other.m_manager;
        m_node = std::exchange(other.m_node, nullptr);
    }
    return *this;
}

CImageExtCache CImageExtCache::share() const {
    if (m_node)
        ++m_node->count;
    return CImageExtCache(m_manager, m_node);
}

CImageExtCache CImageExtCache::duplicate() const {
    CImageExtCache copy(m_manager, nullptr);
    if (!m_manager || !m_node)
        return copy;
    auto image = std::make_unique<CImageExt>();
    m_node->image->copyTo(*image);
    copy.m_node = &m_manager->add(std::move(image));
    return copy;
}

CImageExtCache CImageExtCache::newEmpty() const {
    if (!m_manager)
        return CImageExtCache();
    return CImageExtCache(m_manager, &m_manager->addNew());
}

void CImageExtCache::assign(const CImageExtCache& other) {
    if (&other == this || other.m_node == m_node)
        return;
    release();
    m_manager = other.m_manager;
    m_node = other.m_node;
    if (m_node)
        ++m_node->count;
}

void CImageExtCache::adopt(std::unique_ptr<CImageExt> image) {
    release();
    if (m_manager)
        m_node = &m_manager->add(std::move(image));
}

void CImageExtCache::release() {
    if (m_manager && m_node)
        m_manager->release(*m_node);
    m_node = nullptr;
}
