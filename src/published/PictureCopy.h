#pragma once

class CImageExt;

namespace lumenreel {

// Makes the image a 24-bit copy of a 24- or 32-bit source (alpha dropped).
void copyAsBgr24(const CImageExt& source, CImageExt& image);
// Copies a w × h block between two 24-bit images; the caller has checked both rectangles.
void copyBlock24(const CImageExt& from, int sx, int sy, CImageExt& to, int dx, int dy, int w,
                 int h);

}  // namespace lumenreel
