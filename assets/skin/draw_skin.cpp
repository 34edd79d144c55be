// Draws every picture of the default skin with Cairo into the folder given on the command line,
// at 1 device pixel a skin pixel or at the whole-number scale given after it (for HiDPI screens).
// A dark, flat look: charcoal body, soft light glyphs, one blue accent for what is on.

#include <cairo.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>

namespace {

constexpr double kPi = 3.14159265358979323846;

struct Colour {
    double r, g, b, a = 1.0;
};

constexpr Colour kBodyTop{0.196, 0.212, 0.239};
constexpr Colour kBodyBottom{0.118, 0.129, 0.149};
constexpr Colour kEdgeLight{1, 1, 1, 0.10};
constexpr Colour kEdgeDark{0, 0, 0, 0.55};
constexpr Colour kGlyph{0.80, 0.82, 0.86};
constexpr Colour kGlyphHover{1, 1, 1};
constexpr Colour kAccent{0.18, 0.51, 0.97};
constexpr Colour kAccentHover{0.33, 0.61, 1.0};
constexpr Colour kGroove{0.05, 0.06, 0.07};
constexpr Colour kDisplay{0.07, 0.08, 0.09, 0.75};
constexpr Colour kClose{0.90, 0.28, 0.30};
constexpr Colour kClosePressed{0.70, 0.18, 0.20};

constexpr int kPanelHeight = 45;
constexpr int kBodyStartWidth = 152;
constexpr int kBodyEndWidth = 275;  // with the start cap: the 427-pixel default panel
constexpr int kFrameTop = 30;
constexpr int kFrameSide = 5;

std::string g_folder;
int g_scale = 1;

void set(cairo_t* cr, const Colour& c) {
    cairo_set_source_rgba(cr, c.r, c.g, c.b, c.a);
}

void save(int width, int height, const std::string& name,
          const std::function<void(cairo_t*)>& draw) {
    cairo_surface_t* surface =
        cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width * g_scale, height * g_scale);
    cairo_t* cr = cairo_create(surface);
    // Every picture is drawn in skin pixels; the scale makes its shapes and lettering sharp at
    // the device's size rather than enlarged afterwards.
    cairo_scale(cr, g_scale, g_scale);
    draw(cr);
    cairo_destroy(cr);
    const std::string path = g_folder + "/" + name;
    if (cairo_surface_write_to_png(surface, path.c_str()) != CAIRO_STATUS_SUCCESS)
        std::fprintf(stderr, "draw_skin: cannot write %s\n", path.c_str());
    cairo_surface_destroy(surface);
}

void roundedRect(cairo_t* cr, double x, double y, double w, double h, double r) {
    cairo_new_sub_path(cr);
    cairo_arc(cr, x + w - r, y + r, r, -kPi / 2, 0);
    cairo_arc(cr, x + w - r, y + h - r, r, 0, kPi / 2);
    cairo_arc(cr, x + r, y + h - r, r, kPi / 2, kPi);
    cairo_arc(cr, x + r, y + r, r, kPi, 3 * kPi / 2);
    cairo_close_path(cr);
}

// ---- panel body ---------------------------------------------------------------------------

// The body is the same in every column apart from the caps' own details, so the middle tile
// can stretch it to any width.
// The body's top-to-bottom shade over a rectangle of it.
void fillBodyShade(cairo_t* cr, double x, double y, double w, double h) {
    cairo_pattern_t* gradient = cairo_pattern_create_linear(0, 0, 0, kPanelHeight);
    cairo_pattern_add_color_stop_rgb(gradient, 0, kBodyTop.r, kBodyTop.g, kBodyTop.b);
    cairo_pattern_add_color_stop_rgb(gradient, 1, kBodyBottom.r, kBodyBottom.g, kBodyBottom.b);
    cairo_set_source(cr, gradient);
    cairo_rectangle(cr, x, y, w, h);
    cairo_fill(cr);
    cairo_pattern_destroy(gradient);
}

void bodyColumn(cairo_t* cr, double x, double w) {
    fillBodyShade(cr, x, 0, w, kPanelHeight);
    set(cr, kEdgeDark);
    cairo_rectangle(cr, x, 0, w, 1);
    cairo_fill(cr);
    set(cr, kEdgeLight);
    cairo_rectangle(cr, x, 1, w, 1);
    cairo_fill(cr);
    // The slider groove: a 4-pixel rounded channel in the middle of the 10-pixel slider strip.
    set(cr, kGroove);
    cairo_rectangle(cr, x, 6, w, 4);
    cairo_fill(cr);
    set(cr, Colour{1, 1, 1, 0.07});
    cairo_rectangle(cr, x, 10, w, 1);
    cairo_fill(cr);
}

void drawBody() {
    save(kBodyStartWidth, kPanelHeight, "Body_start.png", [](cairo_t* cr) {
        bodyColumn(cr, 0, kBodyStartWidth);
        // Plain body left of where the groove starts.
        fillBodyShade(cr, 0, 5, 9, 7);
        set(cr, kGroove);
        cairo_arc(cr, 9, 8, 2, 0, 2 * kPi);
        cairo_fill(cr);
        set(cr, kEdgeLight);
        cairo_rectangle(cr, 0, 1, 1, kPanelHeight - 1);
        cairo_fill(cr);
    });
    save(1, kPanelHeight, "Body_resize.png", [](cairo_t* cr) { bodyColumn(cr, 0, 1); });
    save(kBodyEndWidth, kPanelHeight, "Body_end.png", [](cairo_t* cr) {
        bodyColumn(cr, 0, kBodyEndWidth);
        // The groove ends under the pointer's last position (the track's right end plus the
        // pointer's width, at 365 on the default panel, which is 213 here).
        const double end = 365 - kBodyStartWidth;
        fillBodyShade(cr, end - 2, 5, kBodyEndWidth - end + 2, 7);
        set(cr, kGroove);
        cairo_arc(cr, end - 2, 8, 2, 0, 2 * kPi);
        cairo_fill(cr);
        // The time display: a recessed rounded box behind the text area (156..282, 22..38).
        const double left = 156 - kBodyStartWidth;
        roundedRect(cr, left + 0.5, 20.5, 125, 19, 5);
        set(cr, kDisplay);
        cairo_fill_preserve(cr);
        set(cr, Colour{1, 1, 1, 0.08});
        cairo_set_line_width(cr, 1);
        cairo_stroke(cr);
        // A resize grip in the corner, since the panel runs along the window's bottom edge.
        for (int row = 0; row < 3; ++row)
            for (int col = 0; col <= row; ++col) {
                const double x = kBodyEndWidth - 6 - 4 * col;
                const double y = kPanelHeight - 6 - 4 * (2 - row);
                set(cr, Colour{0, 0, 0, 0.5});
                cairo_rectangle(cr, x + 1, y + 1, 2, 2);
                cairo_fill(cr);
                set(cr, Colour{1, 1, 1, 0.22});
                cairo_rectangle(cr, x, y, 2, 2);
                cairo_fill(cr);
            }
        set(cr, kEdgeDark);
        cairo_rectangle(cr, kBodyEndWidth - 1, 0, 1, kPanelHeight);
        cairo_fill(cr);
    });
    save(10, 10, "pointer.png", [](cairo_t* cr) {
        set(cr, Colour{0, 0, 0, 0.35});
        cairo_arc(cr, 5, 5.5, 4.5, 0, 2 * kPi);
        cairo_fill(cr);
        set(cr, Colour{0.95, 0.96, 0.98});
        cairo_arc(cr, 5, 5, 4, 0, 2 * kPi);
        cairo_fill(cr);
        set(cr, kAccent);
        cairo_arc(cr, 5, 5, 1.8, 0, 2 * kPi);
        cairo_fill(cr);
    });
}

// ---- panel buttons ------------------------------------------------------------------------

using Glyph = std::function<void(cairo_t*, double cx, double cy)>;

void triangle(cairo_t* cr, double cx, double cy, double size, bool right) {
    const double d = right ? 1 : -1;
    cairo_move_to(cr, cx - d * size * 0.45, cy - size * 0.55);
    cairo_line_to(cr, cx + d * size * 0.6, cy);
    cairo_line_to(cr, cx - d * size * 0.45, cy + size * 0.55);
    cairo_close_path(cr);
    cairo_fill(cr);
}

// States: 0 normal, 1 normal under the mouse, 2 pressed or on, 3 pressed under the mouse.
void drawButton(const std::string& base, const Glyph& glyph, const Colour& onColour = kAccent,
                const Colour& onHover = kAccentHover) {
    const char* suffixes[] = {"_n.png", "_hn.png", "_p.png", "_hp.png"};
    for (int state = 0; state < 4; ++state) {
        save(28, 27, base + suffixes[state], [&](cairo_t* cr) {
            const double cx = 14;
            const double cy = 13.5;
            const bool on = state >= 2;
            if (on) {
                set(cr, Colour{0, 0, 0, 0.35});
                cairo_arc(cr, cx, cy + 0.8, 11.5, 0, 2 * kPi);
                cairo_fill(cr);
                set(cr, state == 3 ? onHover : onColour);
                cairo_arc(cr, cx, cy, 11.5, 0, 2 * kPi);
                cairo_fill(cr);
                set(cr, Colour{1, 1, 1, 0.18});
                cairo_set_line_width(cr, 1);
                cairo_arc(cr, cx, cy, 11, kPi * 1.1, kPi * 1.9);
                cairo_stroke(cr);
            } else {
                set(cr, Colour{1, 1, 1, state == 1 ? 0.13 : 0.05});
                cairo_arc(cr, cx, cy, 11.5, 0, 2 * kPi);
                cairo_fill(cr);
            }
            set(cr, on || state == 1 ? kGlyphHover : kGlyph);
            glyph(cr, cx, cy);
        });
    }
}

void drawPanelButtons() {
    drawButton("play",
               [](cairo_t* cr, double cx, double cy) { triangle(cr, cx + 1, cy, 11, true); });
    drawButton("pause", [](cairo_t* cr, double cx, double cy) {
        roundedRect(cr, cx - 4.5, cy - 5.5, 3.2, 11, 1);
        roundedRect(cr, cx + 1.3, cy - 5.5, 3.2, 11, 1);
        cairo_fill(cr);
    });
    drawButton("stop", [](cairo_t* cr, double cx, double cy) {
        roundedRect(cr, cx - 4.5, cy - 4.5, 9, 9, 1.5);
        cairo_fill(cr);
    });
    drawButton("rew", [](cairo_t* cr, double cx, double cy) {
        triangle(cr, cx - 3, cy, 8, false);
        triangle(cr, cx + 3.5, cy, 8, false);
    });
    drawButton("ff", [](cairo_t* cr, double cx, double cy) {
        triangle(cr, cx - 3.5, cy, 8, true);
        triangle(cr, cx + 3, cy, 8, true);
    });
    drawButton("loop", [](cairo_t* cr, double cx, double cy) {
        cairo_set_line_width(cr, 1.8);
        cairo_arc(cr, cx, cy, 5.5, kPi * 0.15, kPi * 1.65);
        cairo_stroke(cr);
        const double ax = cx + 5.5 * std::cos(kPi * 1.65);
        const double ay = cy + 5.5 * std::sin(kPi * 1.65);
        cairo_move_to(cr, ax + 3.8, ay - 0.4);
        cairo_line_to(cr, ax - 0.6, ay - 3.2);
        cairo_line_to(cr, ax - 0.2, ay + 2.6);
        cairo_close_path(cr);
        cairo_fill(cr);
    });
    drawButton("fit", [](cairo_t* cr, double cx, double cy) {
        cairo_set_line_width(cr, 1.6);
        const double s = 5.5;
        const double l = 3.2;
        for (int corner = 0; corner < 4; ++corner) {
            const double dx = corner % 2 ? 1 : -1;
            const double dy = corner / 2 ? 1 : -1;
            cairo_move_to(cr, cx + dx * s, cy + dy * (s - l));
            cairo_line_to(cr, cx + dx * s, cy + dy * s);
            cairo_line_to(cr, cx + dx * (s - l), cy + dy * s);
            cairo_stroke(cr);
        }
        roundedRect(cr, cx - 2.5, cy - 2, 5, 4, 0.8);
        cairo_fill(cr);
    });
    drawButton("full", [](cairo_t* cr, double cx, double cy) {
        cairo_set_line_width(cr, 1.6);
        for (int corner = 0; corner < 4; ++corner) {
            const double dx = corner % 2 ? 1 : -1;
            const double dy = corner / 2 ? 1 : -1;
            cairo_move_to(cr, cx + dx * 1.8, cy + dy * 1.8);
            cairo_line_to(cr, cx + dx * 5.6, cy + dy * 5.6);
            cairo_stroke(cr);
            cairo_move_to(cr, cx + dx * 6.2, cy + dy * 6.2);
            cairo_line_to(cr, cx + dx * 2.6, cy + dy * 6.2);
            cairo_line_to(cr, cx + dx * 6.2, cy + dy * 2.6);
            cairo_close_path(cr);
            cairo_fill(cr);
        }
    });
    drawButton(
        "rec",
        [](cairo_t* cr, double cx, double cy) {
            set(cr, kClose);
            cairo_arc(cr, cx, cy, 4.5, 0, 2 * kPi);
            cairo_fill(cr);
        },
        Colour{0.30, 0.32, 0.36}, Colour{0.38, 0.40, 0.45});
}

// ---- window frame -------------------------------------------------------------------------

void frameFill(cairo_t* cr, double w, double h, bool vertical) {
    cairo_pattern_t* gradient = vertical ? cairo_pattern_create_linear(0, 0, 0, kFrameTop)
                                         : cairo_pattern_create_linear(0, 0, w, 0);
    cairo_pattern_add_color_stop_rgb(gradient, 0, kBodyTop.r, kBodyTop.g, kBodyTop.b);
    cairo_pattern_add_color_stop_rgb(gradient, 1, kBodyBottom.r * 1.3, kBodyBottom.g * 1.3,
                                     kBodyBottom.b * 1.3);
    cairo_set_source(cr, gradient);
    cairo_rectangle(cr, 0, 0, w, h);
    cairo_fill(cr);
    cairo_pattern_destroy(gradient);
}

void drawFrame() {
    auto top = [](cairo_t* cr, double w) {
        frameFill(cr, w, kFrameTop, true);
        set(cr, kEdgeLight);
        cairo_rectangle(cr, 0, 0, w, 1);
        cairo_fill(cr);
        set(cr, kEdgeDark);
        cairo_rectangle(cr, 0, kFrameTop - 1, w, 1);
        cairo_fill(cr);
    };
    save(1, kFrameTop, "Fill_top.png", [&](cairo_t* cr) { top(cr, 1); });
    save(120, kFrameTop, "Corner_upper_left.png", [&](cairo_t* cr) {
        top(cr, 120);
        set(cr, kEdgeLight);
        cairo_rectangle(cr, 0, 0, 1, kFrameTop);
        cairo_fill(cr);
        // The mark: a small lens with a play glyph, then the name.
        set(cr, kAccent);
        cairo_arc(cr, 16, 15, 7, 0, 2 * kPi);
        cairo_fill(cr);
        set(cr, kGlyphHover);
        triangle(cr, 16.8, 15, 6, true);
        cairo_select_font_face(cr, "DejaVu Sans", CAIRO_FONT_SLANT_NORMAL, CAIRO_FONT_WEIGHT_BOLD);
        cairo_set_font_size(cr, 12);
        set(cr, kGlyph);
        cairo_move_to(cr, 29, 19.5);
        cairo_show_text(cr, "Lumenreel");
    });
    save(72, kFrameTop, "Corner_upper_right.png", [&](cairo_t* cr) {
        top(cr, 72);
        set(cr, kEdgeDark);
        cairo_rectangle(cr, 71, 0, 1, kFrameTop);
        cairo_fill(cr);
    });
    auto side = [](cairo_t* cr, bool left) {
        frameFill(cr, kFrameSide, 1, false);
        set(cr, left ? kEdgeLight : kEdgeDark);
        cairo_rectangle(cr, left ? 0 : kFrameSide - 1, 0, 1, 1);
        cairo_fill(cr);
        set(cr, Colour{0, 0, 0, 0.4});
        cairo_rectangle(cr, left ? kFrameSide - 1 : 0, 0, 1, 1);
        cairo_fill(cr);
    };
    save(kFrameSide, 1, "Fill_left.png", [&](cairo_t* cr) { side(cr, true); });
    save(kFrameSide, 1, "Fill_right.png", [&](cairo_t* cr) { side(cr, false); });
    auto bottom = [](cairo_t* cr, double w) {
        frameFill(cr, w, kFrameSide, false);
        set(cr, Colour{0, 0, 0, 0.4});
        cairo_rectangle(cr, 0, 0, w, 1);
        cairo_fill(cr);
        set(cr, kEdgeDark);
        cairo_rectangle(cr, 0, kFrameSide - 1, w, 1);
        cairo_fill(cr);
    };
    save(1, kFrameSide, "Fill_bottom.png", [&](cairo_t* cr) { bottom(cr, 1); });
    save(kFrameSide, kFrameSide, "Bottom_left.png", [&](cairo_t* cr) {
        bottom(cr, kFrameSide);
        set(cr, kEdgeLight);
        cairo_rectangle(cr, 0, 0, 1, kFrameSide - 1);
        cairo_fill(cr);
    });
    save(kFrameSide, kFrameSide, "Bottom_right.png", [&](cairo_t* cr) {
        bottom(cr, kFrameSide);
        set(cr, kEdgeDark);
        cairo_rectangle(cr, kFrameSide - 1, 0, 1, kFrameSide);
        cairo_fill(cr);
    });
}

// 18 × 16 buttons in the title strip. States as the frame names them: _n, _hn, _p, _hp.
void drawFrameButton(const std::string& base, const Glyph& glyph, bool danger) {
    const char* suffixes[] = {"_n.png", "_hn.png", "_p.png", "_hp.png"};
    for (int state = 0; state < 4; ++state) {
        save(18, 16, base + suffixes[state], [&](cairo_t* cr) {
            if (state != 0) {
                roundedRect(cr, 0, 0, 18, 16, 3.5);
                if (danger)
                    set(cr, state == 1 ? kClose : kClosePressed);
                else
                    set(cr, Colour{1, 1, 1, state == 1 ? 0.14 : 0.24});
                cairo_fill(cr);
            }
            set(cr, state == 0 ? kGlyph : kGlyphHover);
            cairo_set_line_width(cr, 1.4);
            glyph(cr, 9, 8);
        });
    }
}

void drawFrameButtons() {
    drawFrameButton(
        "close",
        [](cairo_t* cr, double cx, double cy) {
            cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
            cairo_move_to(cr, cx - 3.5, cy - 3.5);
            cairo_line_to(cr, cx + 3.5, cy + 3.5);
            cairo_move_to(cr, cx + 3.5, cy - 3.5);
            cairo_line_to(cr, cx - 3.5, cy + 3.5);
            cairo_stroke(cr);
        },
        true);
    drawFrameButton(
        "min",
        [](cairo_t* cr, double cx, double cy) {
            cairo_rectangle(cr, cx - 4, cy + 2, 8, 1.4);
            cairo_fill(cr);
        },
        false);
    drawFrameButton(
        "max",
        [](cairo_t* cr, double cx, double cy) {
            cairo_rectangle(cr, cx - 3.8, cy - 3.8, 7.6, 7.6);
            cairo_stroke(cr);
        },
        false);
    drawFrameButton(
        "collapse",
        [](cairo_t* cr, double cx, double cy) {
            cairo_rectangle(cr, cx - 4.2, cy - 1.8, 6, 6);
            cairo_stroke(cr);
            cairo_move_to(cr, cx - 1.8, cy - 2.2);
            cairo_line_to(cr, cx - 1.8, cy - 4.2);
            cairo_line_to(cr, cx + 4.2, cy - 4.2);
            cairo_line_to(cr, cx + 4.2, cy + 1.8);
            cairo_line_to(cr, cx + 2.2, cy + 1.8);
            cairo_stroke(cr);
        },
        false);
}

}  // namespace

// Fontconfig keeps its font cache for the life of the process (the title's lettering loads it);
// the leak checker of sanitized builds is told those blocks are not ours.
extern "C" __attribute__((visibility("default"))) const char* __lsan_default_suppressions() {
    return "leak:libfontconfig.so\n";
}

int main(int argc, char** argv) {
    if (argc == 3)
        g_scale = std::atoi(argv[2]);
    if (argc < 2 || argc > 3 || g_scale < 1 || g_scale > 4) {
        std::fprintf(stderr, "usage: draw_skin FOLDER [SCALE 1-4]\n");
        return 1;
    }
    g_folder = argv[1];
    drawBody();
    drawPanelButtons();
    drawFrame();
    drawFrameButtons();
    return 0;
}
