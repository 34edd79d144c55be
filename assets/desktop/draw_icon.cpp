// Draws the program's icon with Cairo: a scalable SVG and PNG pictures at the usual theme sizes.
// A reel on a blue tile with a play mark and the gliding cursor of the movies it plays.
//
//     draw_icon OUT.svg OUT-DIR SIZE...     writes OUT.svg and OUT-DIR/SIZE.png for each size

#include <cairo-svg.h>
#include <cairo.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr double kDesignSize = 256.0;  // every coordinate below is on this grid

void roundedSquare(cairo_t* cr, double inset, double radius) {
    const double far = kDesignSize - inset;
    cairo_new_sub_path(cr);
    cairo_arc(cr, far - radius, inset + radius, radius, -kPi / 2, 0);
    cairo_arc(cr, far - radius, far - radius, radius, 0, kPi / 2);
    cairo_arc(cr, inset + radius, far - radius, radius, kPi / 2, kPi);
    cairo_arc(cr, inset + radius, inset + radius, radius, kPi, 3 * kPi / 2);
    cairo_close_path(cr);
}

void drawTile(cairo_t* cr) {
    roundedSquare(cr, 12, 44);
    cairo_pattern_t* body = cairo_pattern_create_linear(0, 12, 0, 244);
    cairo_pattern_add_color_stop_rgb(body, 0, 0.24, 0.56, 0.98);
    cairo_pattern_add_color_stop_rgb(body, 1, 0.09, 0.25, 0.62);
    cairo_set_source(cr, body);
    cairo_fill(cr);
    cairo_pattern_destroy(body);
}

// The reel: a light disc with five windows around its hub, cut out so the tile shows through.
void drawReel(cairo_t* cr) {
    constexpr double cx = 118, cy = 124, outer = 84, hub = 16, ring = 50, window = 20;
    cairo_set_fill_rule(cr, CAIRO_FILL_RULE_EVEN_ODD);
    cairo_arc(cr, cx, cy, outer, 0, 2 * kPi);
    cairo_new_sub_path(cr);
    cairo_arc(cr, cx, cy, hub, 0, 2 * kPi);
    for (int i = 0; i < 5; ++i) {
        const double angle = -kPi / 2 + i * 2 * kPi / 5;
        cairo_new_sub_path(cr);
        cairo_arc(cr, cx + ring * std::cos(angle), cy + ring * std::sin(angle), window, 0, 2 * kPi);
    }
    cairo_set_source_rgb(cr, 0.95, 0.96, 0.98);
    cairo_fill(cr);
    cairo_set_fill_rule(cr, CAIRO_FILL_RULE_WINDING);
}

void drawPlayMark(cairo_t* cr) {
    cairo_move_to(cr, 150, 150);
    cairo_line_to(cr, 150, 226);
    cairo_line_to(cr, 214, 188);
    cairo_close_path(cr);
    cairo_set_source_rgb(cr, 1.0, 0.72, 0.16);
    cairo_fill_preserve(cr);
    cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
    cairo_set_line_width(cr, 8);
    cairo_set_source_rgb(cr, 0.09, 0.25, 0.62);
    cairo_stroke(cr);
}

void drawCursor(cairo_t* cr) {
    cairo_move_to(cr, 42, 30);
    cairo_line_to(cr, 42, 92);
    cairo_line_to(cr, 56, 79);
    cairo_line_to(cr, 66, 100);
    cairo_line_to(cr, 76, 95);
    cairo_line_to(cr, 66, 75);
    cairo_line_to(cr, 84, 74);
    cairo_close_path(cr);
    cairo_set_source_rgb(cr, 1, 1, 1);
    cairo_fill_preserve(cr);
    cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
    cairo_set_line_width(cr, 5);
    cairo_set_source_rgb(cr, 0.05, 0.08, 0.16);
    cairo_stroke(cr);
}

void drawIcon(cairo_t* cr, double size) {
    cairo_scale(cr, size / kDesignSize, size / kDesignSize);
    drawTile(cr);
    drawReel(cr);
    drawPlayMark(cr);
    drawCursor(cr);
}

bool finish(cairo_surface_t* surface, const std::string& what) {
    const bool written = cairo_surface_status(surface) == CAIRO_STATUS_SUCCESS;
    if (!written)
        std::fprintf(stderr, "draw_icon: cannot write %s\n", what.c_str());
    cairo_surface_destroy(surface);
    return written;
}

bool writeSvg(const std::string& path) {
    cairo_surface_t* surface = cairo_svg_surface_create(path.c_str(), kDesignSize, kDesignSize);
    cairo_t* cr = cairo_create(surface);
    drawIcon(cr, kDesignSize);
    cairo_destroy(cr);
    cairo_surface_finish(surface);
    return finish(surface, path);
}

bool writePng(const std::string& path, int size) {
    cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, size, size);
    cairo_t* cr = cairo_create(surface);
    drawIcon(cr, size);
    cairo_destroy(cr);
    if (cairo_surface_write_to_png(surface, path.c_str()) != CAIRO_STATUS_SUCCESS) {
        cairo_surface_destroy(surface);
        std::fprintf(stderr, "draw_icon: cannot write %s\n", path.c_str());
        return false;
    }
    return finish(surface, path);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: draw_icon OUT.svg OUT-DIR SIZE...\n");
        return 1;
    }
    bool written = writeSvg(argv[1]);
    for (int i = 3; i < argc; ++i) {
        const int size = std::atoi(argv[i]);
        if (size < 1 || size > 1024) {
            std::fprintf(stderr, "draw_icon: not a size: %s\n", argv[i]);
            return 1;
        }
        written = writePng(std::string(argv[2]) + "/" + argv[i] + ".png", size) && written;
    }
    return written ? 0 : 1;
}
