#pragma once

#include <memory>

#include "images/ImageManager.h"

// A handle on one bitmap of a pool, counted by the pool. Handles are moved, not copied: share()
// makes a second reference explicitly. The pool must outlive its handles.
class CImageExtCache {
public:
    CImageExtCache() = default;
    explicit CImageExtCache(CImageManager& manager) : m_manager(&manager) {}
    ~CImageExtCache();
    CImageExtCache(CImageExtCache&& other) noexcept;
    CImageExtCache& operator=(CImageExtCache&& other) noexcept;
    CImageExtCache(const CImageExtCache&) = delete;
    CImageExtCache& operator=(const CImageExtCache&) = delete;

    // A new handle on the same bitmap (its count goes up by one).
    CImageExtCache share() const;
    // A new handle on a new owned copy of the bitmap (empty when this one holds none).
    CImageExtCache duplicate() const;
    // A new handle on a new empty owned bitmap of the same pool.
    CImageExtCache newEmpty() const;
    // Drops this handle's reference and takes one on the other's bitmap.
    void assign(const CImageExtCache& other);
    // Drops this handle's reference and puts the bitmap in the pool, owned.
    void adopt(std::unique_ptr<CImageExt> image);
    void release();

    CImageExt* image() const { return m_node ? m_node->image : nullptr; }
    CImageManager* manager() const { return m_manager; }

private:
    CImageExtCache(CImageManager* manager, CImageManager::Node* node)
        : m_manager(manager), m_node(node) {}

    CImageManager* m_manager = nullptr;
    CImageManager::Node* m_node = nullptr;
};
