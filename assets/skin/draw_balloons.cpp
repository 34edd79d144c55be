// Draws the balloon item sets with Cairo into the folder given on the command line (the kind
// folder, BALLOONS): one folder a set with its name, nine templates and their areas. Two looks:
// "classic" in the skin's colours (light paper, charcoal outline, the blue accent on the callout)
// and "flat" (tinted, no outline, tight corners).
//
// The templates are keyed pictures: pure white outside, never pure white inside. Each grows around
// its split point, so the split column and row cross only straight edges and the flat fill.

#include <cairo.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace {

constexpr double kPi = 3.14159265358979323846;
// Coverage below this (of 255) is left outside: a faint fringe would show as a light halo
// around the balloon on a dark screen.
constexpr int kInsideCoverage = 40;
// Key white around the shape, wider than the outline and its round joins reach.
constexpr int kMargin = 4;

struct Colour {
    double r, g, b;
};

struct Look {
    const char* folder;
    const char* name;
    int bodyWidth, bodyHeight, tail, radius;
    double outline;  // 0: none
    Colour fill, stroke, accent;
};

constexpr Look kLooks[] = {
    {"classic",
     "Lumenreel Classic",
     124,
     60,
     18,
     10,
     2.0,
     {0.984, 0.988, 0.996},
     {0.196, 0.212, 0.239},
     {0.18, 0.51, 0.97}},
    {"flat",
     "Lumenreel Flat",
     120,
     56,
     14,
     3,
     0.0,
     {0.863, 0.922, 1.0},
     {0, 0, 0},
     {0.18, 0.51, 0.97}},
};

enum class Tail { bottomLeft, bottomRight, topLeft, topRight, left, right, bottom, none, callout };
constexpr Tail kTemplates[] = {Tail::bottomLeft, Tail::bottomRight, Tail::topLeft,
                               Tail::topRight,   Tail::left,        Tail::right,
                               Tail::bottom,     Tail::none,        Tail::callout};

struct Point {
    double x, y;
};

// One template's layout: the body, the tail's three corners, the areas.
struct Layout {
    int width, height;
    double bx, by, bw, bh;
    std::vector<Point> tail;
    int splitX, splitY;
    int textLeft, textTop, textRight, textBottom;
};

Layout layoutFor(const Look& look, Tail tail) {
    const bool vertical = tail == Tail::bottomLeft || tail == Tail::bottomRight ||
                          tail == Tail::topLeft || tail == Tail::topRight || tail == Tail::bottom;
    const bool horizontal = tail == Tail::left || tail == Tail::right;
    Layout l{};
    l.width = look.bodyWidth + 2 * kMargin + (horizontal ? look.tail : 0);
    l.height = look.bodyHeight + 2 * kMargin + (vertical ? look.tail : 0);
    l.bx = kMargin + (tail == Tail::left ? look.tail : 0);
    l.by = kMargin + (tail == Tail::topLeft || tail == Tail::topRight ? look.tail : 0);
    l.bw = look.bodyWidth;
    l.bh = look.bodyHeight;
    const double top = l.by, bottom = l.by + l.bh, left = l.bx, right = l.bx + l.bw;
    const double t = look.tail;
    switch (tail) {
        case Tail::bottomLeft:
            l.tail = {{left + 16, bottom}, {left + 34, bottom}, {left + 8, bottom + t}};
            break;
        case Tail::bottomRight:
            l.tail = {{right - 34, bottom}, {right - 16, bottom}, {right - 8, bottom + t}};
            break;
        case Tail::topLeft:
            l.tail = {{left + 16, top}, {left + 34, top}, {left + 8, top - t}};
            break;
        case Tail::topRight:
            l.tail = {{right - 34, top}, {right - 16, top}, {right - 8, top - t}};
            break;
        case Tail::left:
            l.tail = {{left, top + 14}, {left, top + 30}, {left - t, top + 10}};
            break;
        case Tail::right:
            l.tail = {{right, top + 14}, {right, top + 30}, {right + t, top + 10}};
            break;
        case Tail::bottom: {
            const double cx = left + l.bw / 2;
            l.tail = {{cx - 9, bottom}, {cx + 9, bottom}, {cx, bottom + t}};
            break;
        }
        case Tail::none:
        case Tail::callout:
            break;
    }
    // Growing happens at the split column and row: away from corners and the tail.
    l.splitX =
        static_cast<int>(tail == Tail::bottomRight || tail == Tail::topRight ? left + l.bw * 0.35
                                                                             : left + l.bw * 0.65);
    l.splitY = static_cast<int>(horizontal ? bottom - look.radius - 6 : top + l.bh / 2);
    const int pad = static_cast<int>(std::ceil(look.outline)) + 8;
    const int accent = tail == Tail::callout ? 6 : 0;
    l.textLeft = static_cast<int>(left) + pad + accent;
    l.textTop = static_cast<int>(top) + pad;
    l.textRight = static_cast<int>(right) - pad;
    l.textBottom = static_cast<int>(bottom) - pad;
    return l;
}

void set(cairo_t* cr, const Colour& c) {
    cairo_set_source_rgb(cr, c.r, c.g, c.b);
}

void bodyPath(cairo_t* cr, const Layout& l, double radius) {
    const double r = radius;
    cairo_new_sub_path(cr);
    cairo_arc(cr, l.bx + l.bw - r, l.by + r, r, -kPi / 2, 0);
    cairo_arc(cr, l.bx + l.bw - r, l.by + l.bh - r, r, 0, kPi / 2);
    cairo_arc(cr, l.bx + r, l.by + l.bh - r, r, kPi / 2, kPi);
    cairo_arc(cr, l.bx + r, l.by + r, r, kPi, 3 * kPi / 2);
    cairo_close_path(cr);
}

void tailPath(cairo_t* cr, const Layout& l) {
    if (l.tail.empty())
        return;
    cairo_move_to(cr, l.tail[0].x, l.tail[0].y);
    cairo_line_to(cr, l.tail[2].x, l.tail[2].y);
    cairo_line_to(cr, l.tail[1].x, l.tail[1].y);
    cairo_close_path(cr);
}

// The shape on a transparent surface: the outline stroked twice its width and the fill over
// its inner half, which also hides the outline where tail and body meet.
void drawShape(cairo_t* cr, const Look& look, const Layout& l, Tail tail) {
    const double radius = tail == Tail::callout ? std::min(look.radius, 4) : look.radius;
    cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
    if (look.outline > 0) {
        set(cr, look.stroke);
        cairo_set_line_width(cr, 2 * look.outline);
        bodyPath(cr, l, radius);
        cairo_stroke(cr);
        tailPath(cr, l);
        cairo_stroke(cr);
    }
    set(cr, look.fill);
    bodyPath(cr, l, radius);
    cairo_fill(cr);
    tailPath(cr, l);
    cairo_fill(cr);
    if (tail == Tail::callout) {
        // The accent bar along the left edge, clipped to the body's rounded shape; the outline's
        // outer half stays around it.
        cairo_save(cr);
        bodyPath(cr, l, radius);
        cairo_clip(cr);
        set(cr, look.accent);
        cairo_rectangle(cr, l.bx, l.by, 5, l.bh);
        cairo_fill(cr);
        cairo_restore(cr);
    }
}

// The shape over white, as an opaque picture: uncovered pixels pure white, covered ones never.
cairo_surface_t* keyedOverWhite(cairo_surface_t* shape) {
    const int w = cairo_image_surface_get_width(shape), h = cairo_image_surface_get_height(shape);
    cairo_surface_t* out = cairo_image_surface_create(CAIRO_FORMAT_RGB24, w, h);
    cairo_surface_flush(shape);
    const unsigned char* from = cairo_image_surface_get_data(shape);
    unsigned char* to = cairo_image_surface_get_data(out);
    const int fromStride = cairo_image_surface_get_stride(shape);
    const int toStride = cairo_image_surface_get_stride(out);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            // Premultiplied ARGB: colour over white is c + (255 - a).
            const auto p = *reinterpret_cast<const std::uint32_t*>(from + y * fromStride + 4 * x);
            const std::uint32_t a = p >> 24;
            std::uint32_t value = 0xFFFFFF;
            if (a >= kInsideCoverage) {
                value = 0;
                for (int shift : {0, 8, 16})
                    value |= (((p >> shift) & 0xFF) + (255 - a)) << shift;
                if (value == 0xFFFFFF)
                    value = 0xFEFEFE;
            }
            *reinterpret_cast<std::uint32_t*>(to + y * toStride + 4 * x) = value;
        }
    cairo_surface_mark_dirty(out);
    return out;
}

bool drawTemplate(const std::string& folder, const Look& look, int index, std::string& areas) {
    const Tail tail = kTemplates[index];
    const Layout l = layoutFor(look, tail);
    cairo_surface_t* shape = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, l.width, l.height);
    cairo_t* cr = cairo_create(shape);
    drawShape(cr, look, l, tail);
    cairo_destroy(cr);
    cairo_surface_t* keyed = keyedOverWhite(shape);
    cairo_surface_destroy(shape);
    const std::string path = folder + "/balloon" + std::to_string(index) + ".png";
    const bool ok = cairo_surface_write_to_png(keyed, path.c_str()) == CAIRO_STATUS_SUCCESS;
    cairo_surface_destroy(keyed);
    if (!ok)
        std::fprintf(stderr, "draw_balloons: cannot write %s\n", path.c_str());
    for (int value : {l.splitX, l.splitY, l.textLeft, l.textTop, l.textRight, l.textBottom, 0})
        areas += std::to_string(value) + "\r\n";
    return ok;
}

bool writeText(const std::string& path, const std::string& text) {
    std::ofstream out(path, std::ios::binary);
    out << text;
    return static_cast<bool>(out);
}

bool drawLook(const std::string& root, const Look& look) {
    const std::string folder = root + "/" + look.folder;
    std::error_code error;
    std::filesystem::create_directories(folder, error);
    std::string areas;
    bool ok = true;
    for (int i = 0; i < static_cast<int>(std::size(kTemplates)); ++i)
        ok = drawTemplate(folder, look, i, areas) && ok;
    return writeText(folder + "/areas.txt", areas) &&
           writeText(folder + "/itemname.txt", std::string(look.name) + "\r\n") && ok;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: draw_balloons FOLDER\n");
        return 1;
    }
    bool ok = true;
    for (const Look& look : kLooks)
        ok = drawLook(argv[1], look) && ok;
    return ok ? 0 : 1;
}
