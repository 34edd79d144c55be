#pragma once

#include <cstdint>

#include "images/ImageExt.h"
#include "published/ReaderObjects.h"

namespace lumenreel {

// Pure white marks the transparent parts of keyed overlays; stored white that must stay
// visible is drawn just off white.
inline constexpr std::uint32_t kKeyWhite = 0xFFFFFF;
inline constexpr std::uint32_t kVisibleWhite = 0xFEFEFE;

// Makes pure white pixels of a 32-bit picture fully transparent (all four bytes 0) and gives
// every other pixel full alpha.
void keyWhite(CImageExt& picture);

// The pictures overlay objects are drawn with. Each returns a null image when the object has
// nothing to show or its size is out of bounds.
CImageExt makeImageObjectPicture(const NKWXDecodersEncoders::CReaderObject_image& object,
                                 const CImageExt* poolPicture);
CImageExt makeHighlightPicture(const NKWXDecodersEncoders::CReaderObject_highlight& object);
CImageExt makeCaptionImagePicture(const CImageExt* captionImage);

}  // namespace lumenreel
