#pragma once

#include <list>
#include <memory>

#include "images/ImageExt.h"

// A reference-counted pool of bitmaps, shared by the pictures of a document. Bitmaps the pool
// owns are deleted when their last reference goes; others are only forgotten.
class CImageManager {
public:
    struct Node {
        CImageExt* image = nullptr;
        int count = 0;
        std::unique_ptr<CImageExt> ownedImage;  // set when the pool owns the bitmap
        bool owned() const { return ownedImage != nullptr; }
    };

    CImageManager();
    ~CImageManager();
    CImageManager(const CImageManager&) = delete;
    CImageManager& operator=(const CImageManager&) = delete;

    // A new node with count 1 (even for a bitmap already in the pool, as each add is a new owner).
    Node& add(std::unique_ptr<CImageExt> image);
    Node& add(CImageExt& image);
    Node& addNew();
    // The first node holding the bitmap, or none.
    Node* find(const CImageExt* image);
    // Drops one reference; returns the count left, or −1 when the bitmap is not in the pool.
    int release(const CImageExt* image);
    // The same for a known node (which must be in this pool).
    int release(Node& node);

    std::size_t size() const { return m_nodes.size(); }

private:
    std::list<Node> m_nodes;
};
