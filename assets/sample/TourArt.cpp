#include "TourArt.h"

#include <cairo.h>
#include <pango/pangocairo.h>

#include <cmath>
#include <cstring>
#include <functional>

#include "images/PngCodec.h"

namespace lumenreel::tour {

namespace {

constexpr int kBalloonW = 170, kBalloonH = 120, kTail = 24;

// Draws with cairo on a w × h surface and keeps the result as a 24-bit picture.
CImageExt drawPicture(int w, int h, const std::function<void(cairo_t*)>& draw) {
    cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_RGB24, w, h);
    cairo_t* cr = cairo_create(surface);
    draw(cr);
    cairo_destroy(cr);
    cairo_surface_flush(surface);
    CImageExt picture;
    if (picture.create(w, h, 24)) {
        const unsigned char* from = cairo_image_surface_get_data(surface);
        int stride = cairo_image_surface_get_stride(surface);
        PixelView to = picture.view();
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x)
                std::memcpy(to.row(y) + 3 * x,
                            from + static_cast<std::ptrdiff_t>(y) * stride + 4 * x, 3);
    }
    cairo_surface_destroy(surface);
    return picture;
}

void rgb(cairo_t* cr, std::uint32_t c) {
    cairo_set_source_rgb(cr, ((c >> 16) & 0xFF) / 255.0, ((c >> 8) & 0xFF) / 255.0,
                         (c & 0xFF) / 255.0);
}

}  // namespace

BalloonShape balloonShape(Tail tail) {
    bool up = tail == Tail::upLeft || tail == Tail::upRight;
    bool left = tail == Tail::upLeft || tail == Tail::downLeft;
    BalloonShape shape{kBalloonW, kBalloonH, kBalloonW / 2, kBalloonH / 2, 0, 0, kTail};
    shape.tipX = left ? 8 : kBalloonW - 9;
    shape.tipY = up ? 1 : kBalloonH - 2;
    return shape;
}

CImageExt balloonTemplate(Tail tail) {
    BalloonShape shape = balloonShape(tail);
    bool up = tail == Tail::upLeft || tail == Tail::upRight;
    bool left = tail == Tail::upLeft || tail == Tail::downLeft;
    return drawPicture(shape.width, shape.height, [&](cairo_t* cr) {
        cairo_set_source_rgb(cr, 1, 1, 1);
        cairo_paint(cr);
        double x = 2, y = up ? kTail + 1 : 2, w = shape.width - 4, h = shape.height - kTail - 3,
               r = 12;
        double baseY = up ? y + 1 : y + h - 1;
        double baseA = left ? 22 : shape.width - 48, baseB = baseA + 26;
        // One outline for the body and the tail, so the border runs round both.
        cairo_new_path(cr);
        cairo_arc(cr, x + w - r, y + r, r, -M_PI / 2, 0);
        cairo_arc(cr, x + w - r, y + h - r, r, 0, M_PI / 2);
        if (!up) {
            cairo_line_to(cr, baseB, baseY + 1);
            cairo_line_to(cr, shape.tipX + 0.5, shape.tipY + 0.5);
            cairo_line_to(cr, baseA, baseY + 1);
        }
        cairo_arc(cr, x + r, y + h - r, r, M_PI / 2, M_PI);
        cairo_arc(cr, x + r, y + r, r, M_PI, 3 * M_PI / 2);
        if (up) {
            cairo_line_to(cr, baseA, baseY - 1);
            cairo_line_to(cr, shape.tipX + 0.5, shape.tipY + 0.5);
            cairo_line_to(cr, baseB, baseY - 1);
        }
        cairo_close_path(cr);
        rgb(cr, 0xFFF7D6);
        cairo_fill_preserve(cr);
        rgb(cr, 0xB98B1E);
        cairo_set_line_width(cr, 2);
        cairo_stroke(cr);
    });
}

CImageExt logoPicture() {
    return drawPicture(152, 28, [](cairo_t* cr) {
        cairo_pattern_t* p = cairo_pattern_create_linear(0, 0, 0, 28);
        cairo_pattern_add_color_stop_rgb(p, 0, 0.20, 0.25, 0.30);
        cairo_pattern_add_color_stop_rgb(p, 1, 0.11, 0.14, 0.17);
        cairo_set_source(cr, p);
        cairo_paint(cr);
        cairo_pattern_destroy(p);
        // A reel: a ring of five holes round a hub.
        rgb(cr, 0xF2B134);
        cairo_arc(cr, 15, 14, 10, 0, 2 * M_PI);
        cairo_fill(cr);
        rgb(cr, 0x222B33);
        for (int i = 0; i < 5; ++i) {
            double a = i * 2 * M_PI / 5 - M_PI / 2;
            cairo_arc(cr, 15 + 5.5 * std::cos(a), 14 + 5.5 * std::sin(a), 2.2, 0, 2 * M_PI);
            cairo_fill(cr);
        }
        cairo_arc(cr, 15, 14, 1.5, 0, 2 * M_PI);
        cairo_fill(cr);
        PangoLayout* layout = pango_cairo_create_layout(cr);
        pango_layout_set_markup(
            layout,
            "<span font='DejaVu Sans Bold 10' foreground='#FFFFFF'>Lumenreel"
            "</span><span font='DejaVu Sans 8' foreground='#F2B134'> tour</span>",
            -1);
        cairo_move_to(cr, 32, 5);
        pango_cairo_show_layout(cr, layout);
        g_object_unref(layout);
    });
}

void pointerPictures(CImageExt& mask, CImageExt& colour) {
    // Drawn without smoothing: a pointer is black, white or see-through, nothing between.
    auto arrow = [](cairo_t* cr) {
        const double points[][2] = {{0.5, 0.5},   {0.5, 17.5}, {4.5, 13.5}, {7.5, 20},
                                    {10.5, 18.5}, {7.5, 12.5}, {12.5, 12.5}};
        cairo_move_to(cr, points[0][0], points[0][1]);
        for (const auto& pt : points)
            cairo_line_to(cr, pt[0], pt[1]);
        cairo_close_path(cr);
    };
    mask = drawPicture(32, 32, [&](cairo_t* cr) {
        cairo_set_antialias(cr, CAIRO_ANTIALIAS_NONE);
        cairo_set_source_rgb(cr, 1, 1, 1);
        cairo_paint(cr);
        arrow(cr);
        cairo_set_source_rgb(cr, 0, 0, 0);
        cairo_set_line_width(cr, 1);
        cairo_fill_preserve(cr);
        cairo_stroke(cr);
    });
    colour = drawPicture(32, 32, [&](cairo_t* cr) {
        cairo_set_antialias(cr, CAIRO_ANTIALIAS_NONE);
        cairo_set_source_rgb(cr, 0, 0, 0);
        cairo_paint(cr);
        arrow(cr);
        cairo_set_source_rgb(cr, 1, 1, 1);
        cairo_fill_preserve(cr);
        cairo_set_source_rgb(cr, 0, 0, 0);
        cairo_set_line_width(cr, 1);
        cairo_stroke(cr);
    });
}

std::vector<std::uint8_t> pngBytes(const CImageExt& picture) {
    std::vector<std::uint8_t> png;
    encodePng(picture, png);
    return png;
}

}  // namespace lumenreel::tour
