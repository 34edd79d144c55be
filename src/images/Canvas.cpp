#include "images/Canvas.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <initializer_list>

namespace lumenreel {

namespace {

bool drawable(const PixelView& pixels) {
    return !pixels.empty() && (pixels.bytesPerPixel == 3 || pixels.bytesPerPixel == 4) &&
           pixels.stride >= pixels.width * pixels.bytesPerPixel;
}

// Cairo reads ARGB32 rows as whole 32-bit words.
bool cairoCanWrap(const PixelView& pixels) {
    return pixels.bytesPerPixel == 4 && pixels.stride % 4 == 0 &&
           reinterpret_cast<std::uintptr_t>(pixels.data) % alignof(std::uint32_t) == 0;
}

double channel(std::uint32_t colour, int shift) {
    return static_cast<double>((colour >> shift) & 0xFF) / 255.0;
}

double unitAlpha(int alpha) {
    return static_cast<double>(std::clamp(alpha, 0, 255)) / 255.0;
}

void setColour(cairo_t* context, std::uint32_t colour, int alpha) {
    cairo_set_source_rgba(context, channel(colour, 0), channel(colour, 8), channel(colour, 16),
                          unitAlpha(alpha));
}

void addStop(cairo_pattern_t* pattern, double offset, std::uint32_t colour, int alpha) {
    cairo_pattern_add_color_stop_rgba(pattern, offset, channel(colour, 0), channel(colour, 8),
                                      channel(colour, 16), unitAlpha(alpha));
}

// Rectangles are cut to a pixel beyond the picture first: what lies further out is invisible, and
// huge values would overflow the arithmetic here and Cairo's fixed-point coordinates.
void addRectangle(cairo_t* context, const PixelView& pixels, std::int64_t left, std::int64_t top,
                  std::int64_t right, std::int64_t bottom) {
    const auto cutX = [&](std::int64_t x) {
        return std::clamp<std::int64_t>(x, -1, pixels.width + 1);
    };
    const auto cutY = [&](std::int64_t y) {
        return std::clamp<std::int64_t>(y, -1, pixels.height + 1);
    };
    left = cutX(left);
    right = cutX(right);
    top = cutY(top);
    bottom = cutY(bottom);
    if (right > left && bottom > top) {
        cairo_rectangle(context, static_cast<double>(left), static_cast<double>(top),
                        static_cast<double>(right - left), static_cast<double>(bottom - top));
    }
}

bool finite(std::initializer_list<double> values) {
    return std::all_of(values.begin(), values.end(), [](double v) { return std::isfinite(v); });
}

}  // namespace

Canvas::Canvas(const PixelView& pixels) : m_pixels(pixels) {
    if (!drawable(pixels)) {
        // An error surface: the context made on it accepts every call and draws nothing.
        m_surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, -1, -1);
    } else if (cairoCanWrap(pixels)) {
        m_direct = true;
        m_surface = cairo_image_surface_create_for_data(pixels.data, CAIRO_FORMAT_ARGB32,
                                                        pixels.width, pixels.height, pixels.stride);
    } else {
        m_surface = cairo_image_surface_create(
            pixels.bytesPerPixel == 4 ? CAIRO_FORMAT_ARGB32 : CAIRO_FORMAT_RGB24, pixels.width,
            pixels.height);
        copyIntoSurface();
    }
    m_context = cairo_create(m_surface);
}

Canvas::~Canvas() {
    flush();
    cairo_destroy(m_context);
    cairo_surface_destroy(m_surface);
}

bool Canvas::ok() const {
    return cairo_status(m_context) == CAIRO_STATUS_SUCCESS &&
           cairo_surface_status(m_surface) == CAIRO_STATUS_SUCCESS;
}

void Canvas::flush() {
    // A context put in an error state by a bad call still leaves what it drew before on the
    // surface.
    if (cairo_surface_status(m_surface) != CAIRO_STATUS_SUCCESS) {
        return;
    }
    cairo_surface_flush(m_surface);
    if (!m_direct) {
        copyOutOfSurface();
    }
}

void Canvas::copyIntoSurface() {
    if (cairo_surface_status(m_surface) != CAIRO_STATUS_SUCCESS) {
        return;
    }
    cairo_surface_flush(m_surface);
    std::uint8_t* surface = cairo_image_surface_get_data(m_surface);
    const int surfaceStride = cairo_image_surface_get_stride(m_surface);
    for (int y = 0; y < m_pixels.height; ++y) {
        const std::uint8_t* in = m_pixels.row(y);
        std::uint8_t* out = surface + static_cast<std::ptrdiff_t>(y) * surfaceStride;
        if (m_pixels.bytesPerPixel == 4) {
            std::memcpy(out, in, static_cast<size_t>(m_pixels.width) * 4);
            continue;
        }
        for (int x = 0; x < m_pixels.width; ++x) {
            const std::uint32_t word = in[3 * x] | (in[3 * x + 1] << 8) | (in[3 * x + 2] << 16);
            std::memcpy(out + 4 * x, &word, 4);
        }
    }
    cairo_surface_mark_dirty(m_surface);
}

void Canvas::copyOutOfSurface() {
    const std::uint8_t* surface = cairo_image_surface_get_data(m_surface);
    const int surfaceStride = cairo_image_surface_get_stride(m_surface);
    for (int y = 0; y < m_pixels.height; ++y) {
        const std::uint8_t* in = surface + static_cast<std::ptrdiff_t>(y) * surfaceStride;
        std::uint8_t* out = m_pixels.row(y);
        if (m_pixels.bytesPerPixel == 4) {
            std::memcpy(out, in, static_cast<size_t>(m_pixels.width) * 4);
            continue;
        }
        for (int x = 0; x < m_pixels.width; ++x) {
            std::uint32_t word;
            std::memcpy(&word, in + 4 * x, 4);
            out[3 * x] = static_cast<std::uint8_t>(word);
            out[3 * x + 1] = static_cast<std::uint8_t>(word >> 8);
            out[3 * x + 2] = static_cast<std::uint8_t>(word >> 16);
        }
    }
}

void Canvas::drawRectangle(const Rect& rect, int penWidth, std::uint32_t colour, int alpha) {
    if (penWidth <= 0) {
        return;
    }
    const int outside = penWidth / 2;
    const int inside = penWidth - outside;
    cairo_save(m_context);
    cairo_new_path(m_context);
    cairo_set_antialias(m_context, CAIRO_ANTIALIAS_NONE);
    cairo_set_fill_rule(m_context, CAIRO_FILL_RULE_EVEN_ODD);
    const std::int64_t left = rect.left;
    const std::int64_t top = rect.top;
    const std::int64_t right = rect.right;
    const std::int64_t bottom = rect.bottom;
    addRectangle(m_context, m_pixels, left - outside, top - outside, right + outside,
                 bottom + outside);
    addRectangle(m_context, m_pixels, left + inside, top + inside, right - inside, bottom - inside);
    setColour(m_context, colour, alpha);
    cairo_fill(m_context);
    cairo_restore(m_context);
}

void Canvas::fillRectangle(const Rect& rect, std::uint32_t colour, int alpha) {
    cairo_save(m_context);
    cairo_new_path(m_context);
    cairo_set_antialias(m_context, CAIRO_ANTIALIAS_NONE);
    addRectangle(m_context, m_pixels, rect.left, rect.top, rect.right, rect.bottom);
    setColour(m_context, colour, alpha);
    cairo_fill(m_context);
    cairo_restore(m_context);
}

void Canvas::fillCircle(CanvasPoint centre, double radius, std::uint32_t colour, int alpha) {
    if (!finite({centre.x, centre.y, radius}) || radius <= 0.0) {
        return;
    }
    cairo_save(m_context);
    cairo_new_path(m_context);
    cairo_set_antialias(m_context, CAIRO_ANTIALIAS_GRAY);
    cairo_arc(m_context, centre.x, centre.y, radius, 0.0, 2.0 * 3.14159265358979323846);
    setColour(m_context, colour, alpha);
    cairo_fill(m_context);
    cairo_restore(m_context);
}

void Canvas::drawLine(CanvasPoint from, CanvasPoint to, const CanvasPen& pen) {
    if (!finite({from.x, from.y, to.x, to.y})) {
        return;
    }
    cairo_save(m_context);
    cairo_new_path(m_context);
    cairo_move_to(m_context, from.x, from.y);
    cairo_line_to(m_context, to.x, to.y);
    stroke(pen);
    cairo_restore(m_context);
}

void Canvas::drawBezier(CanvasPoint from, CanvasPoint control1, CanvasPoint control2,
                        CanvasPoint to, const CanvasPen& pen) {
    if (!finite({from.x, from.y, control1.x, control1.y, control2.x, control2.y, to.x, to.y})) {
        return;
    }
    cairo_save(m_context);
    cairo_new_path(m_context);
    cairo_move_to(m_context, from.x, from.y);
    cairo_curve_to(m_context, control1.x, control1.y, control2.x, control2.y, to.x, to.y);
    stroke(pen);
    cairo_restore(m_context);
}

void Canvas::stroke(const CanvasPen& pen) {
    const bool gradientFinite = !pen.gradient || finite({pen.gradient->from.x, pen.gradient->from.y,
                                                         pen.gradient->to.x, pen.gradient->to.y});
    if (!finite({pen.width}) || pen.width <= 0.0 || !gradientFinite) {
        cairo_new_path(m_context);
        return;
    }
    cairo_set_antialias(m_context, CAIRO_ANTIALIAS_GRAY);
    cairo_set_line_width(m_context, pen.width);
    cairo_set_line_cap(m_context, CAIRO_LINE_CAP_BUTT);
    cairo_set_line_join(m_context, CAIRO_LINE_JOIN_MITER);
    if (!pen.gradient) {
        setColour(m_context, pen.colour, pen.alpha);
        cairo_stroke(m_context);
        return;
    }
    const LinearGradient& gradient = *pen.gradient;
    cairo_pattern_t* pattern =
        cairo_pattern_create_linear(gradient.from.x, gradient.from.y, gradient.to.x, gradient.to.y);
    addStop(pattern, 0.0, gradient.fromColour, gradient.fromAlpha);
    addStop(pattern, 1.0, gradient.toColour, gradient.toAlpha);
    cairo_pattern_set_extend(pattern, CAIRO_EXTEND_REFLECT);
    cairo_set_source(m_context, pattern);
    cairo_stroke(m_context);
    cairo_pattern_destroy(pattern);
}

}  // namespace lumenreel
