#pragma once

#include "images/ImageExt.h"
#include "published/ReaderObjects.h"

namespace lumenreel {

// The pictures overlay objects are drawn with. Each returns a null image when the object has
// nothing to show or its size is out of bounds.
CImageExt makeImageObjectPicture(const NKWXDecodersEncoders::CReaderObject_image& object,
                                 const CImageExt* poolPicture);
CImageExt makeHighlightPicture(const NKWXDecodersEncoders::CReaderObject_highlight& object);
CImageExt makeCaptionImagePicture(const CImageExt* captionImage);

}  // namespace lumenreel
