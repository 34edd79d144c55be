#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "images/ImageExtMemGzip.h"

// One changed rectangle of a picture: its corner in the picture and its pixels, kept compressed.
struct SCaptureEncNodeExt {
    int x = 0;
    int y = 0;
    CImageExtMemGzip image;
};

// A picture of the capture stream: a key picture holds one node covering it, a delta up to four
// nodes drawn over the picture before it, a clone none (it repeats the picture before it).
struct SCapturePictureExt {
    std::vector<std::unique_ptr<SCaptureEncNodeExt>> nodes;
    bool clone = false;
    int width = 0;
    int height = 0;
    // Neighbours in the encoder's sequence (not owned); previous is what a delta is drawn over.
    SCapturePictureExt* previous = nullptr;
    SCapturePictureExt* next = nullptr;
    std::uint32_t id = 0;
    std::uint32_t keyId = 0;

    bool isKey() const { return keyId == id; }
};
