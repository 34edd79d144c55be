#pragma once

#include "base/InPt.h"
#include "images/ImageExt.h"

namespace lumenreel {
class CursorImage;
}

// A cursor turned into 32-bit pictures that can be scaled with the movie and drawn with the mask
// operations (AND with the mask, then XOR with the XOR or colour picture).
class CCursorExt {
public:
    CCursorExt();
    virtual ~CCursorExt();
    CCursorExt(const CCursorExt&) = delete;
    CCursorExt& operator=(const CCursorExt&) = delete;

    // Rebuilds the pictures from the cursor; nothing happens for none or for the cursor already
    // held (which must outlive this object while held).
    virtual void setCursor(const lumenreel::CursorImage* cursor);
    virtual void draw(const PixelView& target, int x, int y) const;
    // Scales every picture to trunc(factor × size) with low-quality interpolation; the last row
    // and column are then made transparent so the scaled edge leaves no border.
    virtual void scale(double fx, double fy);

    int width() const;
    int height() const;
    const CImageExt& xorImage() const;
    const CImageExt& maskImage() const;
    const CImageExt& colourImage() const;

private:
    struct _CImp;
    InPt<_CImp> m_imp;
};
