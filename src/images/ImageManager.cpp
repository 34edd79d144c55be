#include "images/ImageManager.h"

#include <algorithm>

CImageManager::CImageManager() = default;
CImageManager::~CImageManager() = default;

CImageManager::Node& CImageManager::add(std::unique_ptr<CImageExt> image) {
    Node& node = m_nodes.emplace_back();
    node.image = image.get();
    node.count = 1;
    node.ownedImage = std::move(image);
    return node;
}

CImageManager::Node& CImageManager::add(CImageExt& image) {
    Node& node = m_nodes.emplace_back();
    node.image = &image;
    node.count = 1;
    return node;
}

CImageManager::Node& CImageManager::addNew() {
    return add(std::make_unique<CImageExt>());
}

CImageManager::Node* CImageManager::find(const CImageExt* image) {
    auto found = std::find_if(m_nodes.begin(), m_nodes.end(),
                              [&](const Node& node) { return node.image == image; });
    return found == m_nodes.end() ? nullptr : &*found;
}

int CImageManager::release(const CImageExt* image) {
    Node* node = find(image);
    return node ? release(*node) : -1;
}

int CImageManager::release(Node& node) {
    const int left = --node.count;
    if (left <= 0) {
        m_nodes.remove_if([&](const Node& candidate) { return &candidate == &node; });
        return 0;
    }
    return left;
}
