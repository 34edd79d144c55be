#pragma once

#include <cairo.h>

#include <cstdint>
#include <optional>
#include <vector>

#include "base/Geometry.h"
#include "images/PixelView.h"

namespace lumenreel {

// Canvas coordinates are Cairo's: pixel (x, y) covers the square from (x, y) to (x + 1, y + 1), so
// its centre is (x + 0.5, y + 0.5).
struct CanvasPoint {
    double x = 0.0;
    double y = 0.0;
};

// Colours are 0x00BBGGRR (red in the lowest byte); alpha runs from 0 (invisible) to 255 (opaque).
struct LinearGradient {
    CanvasPoint from;
    std::uint32_t fromColour = 0;
    int fromAlpha = 255;
    CanvasPoint to;
    std::uint32_t toColour = 0;
    int toAlpha = 255;
};

// Flat ends, mitred corners. A gradient, when present, takes the place of the solid colour and
// mirrors itself beyond its two ends.
struct CanvasPen {
    double width = 1.0;
    std::uint32_t colour = 0;
    int alpha = 255;
    std::optional<LinearGradient> gradient;
};

// Draws with Cairo into pixels someone else owns.
//
// 4 bytes per pixel: Cairo draws straight onto the pixels as ARGB32. The colour bytes always come
// out as if the picture were opaque (paint of alpha a gives a·paint + (1 − a)·pixel), whatever the
// fourth byte holds; the fourth byte collects coverage (a + (1 − a)·old), so opaque paint leaves
// 0xFF. Pixels nothing touches keep all four bytes.
// 3 bytes per pixel: the pixels are copied into a 32-bit surface and the colour bytes copied back
// by flush() and on destruction; pixels nothing touches come back unchanged.
//
// Axis-aligned rectangles are drawn without antialiasing so their edges sit on whole pixels;
// circles, lines and curves are antialiased. A view that is empty or not 3 or 4 bytes per pixel
// gives a canvas whose drawing does nothing (ok() is false).
class Canvas {
public:
    explicit Canvas(const PixelView& pixels);
    ~Canvas();
    Canvas(const Canvas&) = delete;
    Canvas& operator=(const Canvas&) = delete;

    bool ok() const;
    // For drawing the operations below do not cover (text). Never null; a canvas that is not ok()
    // hands out a context in Cairo's error state, on which drawing does nothing.
    cairo_t* context() const { return m_context; }
    // Makes everything drawn so far visible in the pixels.
    void flush();

    // An outline of a pen `penWidth` pixels wide centred on the rectangle's edges: penWidth / 2
    // (rounded down) pixels fall outside the rectangle and the rest inside.
    void drawRectangle(const Rect& rect, int penWidth, std::uint32_t colour, int alpha = 255);
    void fillRectangle(const Rect& rect, std::uint32_t colour, int alpha = 255);
    void fillCircle(CanvasPoint centre, double radius, std::uint32_t colour, int alpha = 255);
    void drawLine(CanvasPoint from, CanvasPoint to, const CanvasPen& pen);
    void drawBezier(CanvasPoint from, CanvasPoint control1, CanvasPoint control2, CanvasPoint to,
                    const CanvasPen& pen);

private:
    void copyIntoSurface();
    void copyOutOfSurface();
    void stroke(const CanvasPen& pen);

    PixelView m_pixels;
    bool m_direct = false;
    cairo_surface_t* m_surface = nullptr;
    cairo_t* m_context = nullptr;
};

}  // namespace lumenreel
