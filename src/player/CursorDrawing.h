#pragma once

#include "images/ImageExt.h"
#include "published/ReaderObjects.h"

namespace lumenreel {

// Draws a mask cursor with its top-left at (x, y), clipped to the 32-bit target: the AND mask,
// then the XOR picture (the mask's bottom half for a cursor without colour) or the colour
// picture, each on the colour bytes only.
void drawCursor(const NKWXDecodersEncoders::CReaderObject_cursor& cursor, CImageExt& target, int x,
                int y);

}  // namespace lumenreel
