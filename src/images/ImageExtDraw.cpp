#include "images/Canvas.h"
#include "images/ImageExt.h"

lumenreel::Canvas& CImageExt::beginDraw() {
    m_canvas.reset();
    m_canvas = std::make_unique<lumenreel::Canvas>(view());
    return *m_canvas;
}

void CImageExt::endDraw() {
    m_canvas.reset();
}
