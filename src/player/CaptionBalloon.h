#pragma once

#include "images/ImageExt.h"
#include "published/ReaderObjects.h"

class CAutoRichEditCtrl;

namespace lumenreel {

// A rich-text caption's picture, keyed: the template picture widened around its split point to
// the caption's size (white without a template), with the caption's text drawn into its text
// rectangle. Null when the caption's size is out of bounds.
CImageExt makeRichTextCaptionPicture(const NKWXDecodersEncoders::CReaderObject_caption& caption,
                                     const CImageExt* templatePicture, CAutoRichEditCtrl& control);

}  // namespace lumenreel
