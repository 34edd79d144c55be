#include "TourScreens.h"

#include <cairo.h>
#include <pango/pangocairo.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#include <memory>

namespace lumenreel::tour {

namespace {

struct Task {
    const char* title;
    const char* due;
    const char* priority;
    const char* tag;
    bool done;
};

constexpr Task kGarden[] = {
    {"Prune the apple tree", "Mon 6 Oct", "Normal", "Orchard", false},
    {"Order seed catalogue", "Tue 7 Oct", "Low", "Shopping", true},
    {"Rake leaves off the lawn", "Wed 8 Oct", "Normal", "Lawn", false},
    {"Repair the greenhouse door", "Thu 9 Oct", "High", "Greenhouse", false},
    {"Compost the bean plants", "Fri 10 Oct", "Low", "Beds", false},
    {"Sharpen the hedge shears", "Sat 11 Oct", "Low", "Tools", true},
    {"Move the rosemary indoors", "Sat 11 Oct", "Normal", "Herbs", false},
    {"Clean the bird feeder", "Sun 12 Oct", "Low", "Wildlife", true},
    {"Mulch the raspberry canes", "Mon 13 Oct", "Normal", "Fruit", false},
    {"Drain the water butt", "Tue 14 Oct", "Normal", "Water", false},
    {"Lift and store the dahlias", "Wed 15 Oct", "High", "Flowers", false},
    {"Sow broad beans", "Thu 16 Oct", "Normal", "Beds", false},
    {"Wrap the fig in fleece", "Fri 17 Oct", "Normal", "Fruit", false},
    {"Check the pond pump", "Sat 18 Oct", "Low", "Water", false},
    {"Plant garlic cloves", "Sun 19 Oct", "Normal", "Beds", false},
    {"Fix the trellis", "Mon 20 Oct", "Low", "Tools", false},
    {"Divide the hostas", "Tue 21 Oct", "Low", "Flowers", false},
    {"Net the winter cabbages", "Wed 22 Oct", "High", "Beds", false},
    {"Store the hosepipe", "Thu 23 Oct", "Low", "Water", false},
    {"Paint the shed", "Sat 25 Oct", "Normal", "Tools", false},
    {"Collect fallen apples", "Sun 26 Oct", "Low", "Orchard", false},
    {"Empty the cold frame", "Mon 27 Oct", "Low", "Greenhouse", false},
    {"Cut back the lavender", "Tue 28 Oct", "Low", "Herbs", false},
    {"Clear the gutters", "Wed 29 Oct", "Normal", "House", false},
    {"Oil the lawnmower", "Thu 30 Oct", "Low", "Tools", false},
    {"Plant a hazel hedge", "Fri 31 Oct", "Normal", "Wildlife", false},
    {"Label the seed tins", "Sat 1 Nov", "Low", "Tools", false},
    {"Turn the compost heap", "Sun 2 Nov", "Normal", "Beds", false},
    {"Prune the climbing rose", "Mon 3 Nov", "Normal", "Flowers", false},
    {"Order bare-root trees", "Tue 4 Nov", "High", "Orchard", false},
};
constexpr Task kNewTask = {"Plant tulip bulbs", "Sat 18 Oct", "High", "Flowers", false};

constexpr Task kKitchen[] = {
    {"Buy strong bread flour", "Mon 6 Oct", "Normal", "Shopping", false},
    {"Descale the kettle", "Tue 7 Oct", "Low", "Cleaning", true},
    {"Bake a rye loaf", "Wed 8 Oct", "Normal", "Baking", false},
    {"Sharpen the knives", "Thu 9 Oct", "Low", "Tools", false},
    {"Make plum jam", "Sat 11 Oct", "High", "Preserves", false},
    {"Refill the flour tins", "Sun 12 Oct", "Low", "Pantry", false},
    {"Defrost the freezer", "Mon 13 Oct", "Normal", "Cleaning", false},
};

struct ListEntry {
    ListId id;
    const char* name;
    int count;
    std::uint32_t colour;
};
constexpr ListEntry kLists[] = {{ListId::inbox, "Inbox", 12, 0x5B7DB1},
                                {ListId::garden, "Garden", 30, 0x4E9A4B},
                                {ListId::kitchen, "Kitchen", 7, 0xD08A2E},
                                {ListId::reading, "Reading", 5, 0x8A5BB1},
                                {ListId::trips, "Trips", 3, 0x2E9AA8}};

// Window geometry.
constexpr int kWinX = 16, kWinY = 10, kWinW = 992, kWinH = 714;
constexpr int kTitleH = 30, kMenuH = 24, kToolH = 44, kStatusH = 24;
constexpr int kBodyY = kWinY + kTitleH + kMenuH + kToolH;
constexpr int kBodyBottom = kWinY + kWinH - kStatusH;
constexpr int kSideW = 200;
constexpr int kListX = kWinX + kSideW + 1;
constexpr int kListRight = kWinX + kWinW - 1;
constexpr int kHeaderH = 28;
constexpr int kRowsY = kBodyY + kHeaderH;
constexpr int kRowH = 30;
constexpr int kScrollW = 14;
constexpr int kTaskbarY = 736;

// Column starts within the list.
constexpr int kColTick = kListX + 10;
constexpr int kColTitle = kListX + 44;
constexpr int kColDue = kListRight - kScrollW - 350;
constexpr int kColPriority = kColDue + 130;
constexpr int kColTag = kColPriority + 100;

struct Rgb {
    double r, g, b;
};
Rgb rgb(std::uint32_t c) {
    return {((c >> 16) & 0xFF) / 255.0, ((c >> 8) & 0xFF) / 255.0, (c & 0xFF) / 255.0};
}

class Painter {
public:
    explicit Painter(cairo_t* cr) : m_cr(cr), m_layout(pango_cairo_create_layout(cr)) {}
    ~Painter() { g_object_unref(m_layout); }
    Painter(const Painter&) = delete;
    Painter& operator=(const Painter&) = delete;

    void colour(std::uint32_t c, double alpha = 1.0) {
        Rgb v = rgb(c);
        cairo_set_source_rgba(m_cr, v.r, v.g, v.b, alpha);
    }
    void fill(double x, double y, double w, double h, std::uint32_t c) {
        colour(c);
        cairo_rectangle(m_cr, x, y, w, h);
        cairo_fill(m_cr);
    }
    void verticalGradient(double x, double y, double w, double h, std::uint32_t top,
                          std::uint32_t bottom) {
        cairo_pattern_t* p = cairo_pattern_create_linear(0, y, 0, y + h);
        Rgb a = rgb(top), b = rgb(bottom);
        cairo_pattern_add_color_stop_rgb(p, 0, a.r, a.g, a.b);
        cairo_pattern_add_color_stop_rgb(p, 1, b.r, b.g, b.b);
        cairo_set_source(m_cr, p);
        cairo_rectangle(m_cr, x, y, w, h);
        cairo_fill(m_cr);
        cairo_pattern_destroy(p);
    }
    void line(double x0, double y0, double x1, double y1, std::uint32_t c, double width = 1) {
        colour(c);
        cairo_set_line_width(m_cr, width);
        cairo_move_to(m_cr, x0, y0);
        cairo_line_to(m_cr, x1, y1);
        cairo_stroke(m_cr);
    }
    void roundedPath(double x, double y, double w, double h, double r) {
        cairo_new_sub_path(m_cr);
        cairo_arc(m_cr, x + w - r, y + r, r, -M_PI / 2, 0);
        cairo_arc(m_cr, x + w - r, y + h - r, r, 0, M_PI / 2);
        cairo_arc(m_cr, x + r, y + h - r, r, M_PI / 2, M_PI);
        cairo_arc(m_cr, x + r, y + r, r, M_PI, 3 * M_PI / 2);
        cairo_close_path(m_cr);
    }
    void roundedBox(double x, double y, double w, double h, double r, std::uint32_t fillColour,
                    std::uint32_t border) {
        roundedPath(x + 0.5, y + 0.5, w - 1, h - 1, r);
        colour(fillColour);
        cairo_fill_preserve(m_cr);
        colour(border);
        cairo_set_line_width(m_cr, 1);
        cairo_stroke(m_cr);
    }
    // Text with its top-left at (x, y); returns its width.
    int text(double x, double y, const std::string& s, std::uint32_t c, double size = 9.5,
             bool bold = false, bool strike = false) {
        setText(s, size, bold, strike);
        colour(c);
        cairo_move_to(m_cr, x, y);
        pango_cairo_show_layout(m_cr, m_layout);
        return textWidth();
    }
    // Text centred vertically in a band of height h starting at y.
    int textIn(double x, double y, double h, const std::string& s, std::uint32_t c,
               double size = 9.5, bool bold = false, bool strike = false) {
        setText(s, size, bold, strike);
        int w = 0, th = 0;
        pango_layout_get_pixel_size(m_layout, &w, &th);
        colour(c);
        cairo_move_to(m_cr, x, y + std::floor((h - th) / 2));
        pango_cairo_show_layout(m_cr, m_layout);
        return w;
    }
    int measure(const std::string& s, double size = 9.5, bool bold = false) {
        setText(s, size, bold, false);
        return textWidth();
    }
    cairo_t* cr() { return m_cr; }

private:
    void setText(const std::string& s, double size, bool bold, bool strike) {
        PangoFontDescription* font = pango_font_description_new();
        pango_font_description_set_family(font, "DejaVu Sans");
        pango_font_description_set_size(font, static_cast<int>(size * PANGO_SCALE));
        pango_font_description_set_weight(font, bold ? PANGO_WEIGHT_BOLD : PANGO_WEIGHT_NORMAL);
        pango_layout_set_font_description(m_layout, font);
        pango_font_description_free(font);
        PangoAttrList* attrs = pango_attr_list_new();
        if (strike)
            pango_attr_list_insert(attrs, pango_attr_strikethrough_new(TRUE));
        pango_layout_set_attributes(m_layout, attrs);
        pango_attr_list_unref(attrs);
        pango_layout_set_text(m_layout, s.c_str(), static_cast<int>(s.size()));
    }
    int textWidth() {
        int w = 0, h = 0;
        pango_layout_get_pixel_size(m_layout, &w, &h);
        return w;
    }

    cairo_t* m_cr;
    PangoLayout* m_layout;
};

void paintDesktop(Painter& p) {
    p.verticalGradient(0, 0, kScreenWidth, kTaskbarY, 0x3B7F8F, 0x183E4C);
    // Soft hills, so the desktop is not a flat fill.
    cairo_t* cr = p.cr();
    p.colour(0x2A6170, 0.55);
    cairo_move_to(cr, 0, 560);
    cairo_curve_to(cr, 260, 470, 520, 640, 1024, 520);
    cairo_line_to(cr, 1024, kTaskbarY);
    cairo_line_to(cr, 0, kTaskbarY);
    cairo_fill(cr);
    p.verticalGradient(0, kTaskbarY, kScreenWidth, kScreenHeight - kTaskbarY, 0x26333D, 0x1B242B);
    p.line(0, kTaskbarY + 0.5, kScreenWidth, kTaskbarY + 0.5, 0x3E4E5A);
    // Launcher, one running program, the clock.
    p.colour(0x4E9A4B);
    cairo_arc(cr, 22, kTaskbarY + 16, 10, 0, 2 * M_PI);
    cairo_fill(cr);
    p.fill(18, kTaskbarY + 12, 8, 8, 0xE8F3E6);
    p.roundedBox(44, kTaskbarY + 4, 150, 24, 4, 0x3A4B57, 0x55697A);
    p.fill(52, kTaskbarY + 10, 12, 12, 0x4E9A4B);
    p.textIn(72, kTaskbarY + 4, 24, "Pebblenote", 0xE6ECF0, 9);
    p.textIn(960, kTaskbarY + 4, 24, "09:41", 0xE6ECF0, 9);
}

void paintAppIcon(Painter& p, double x, double y, double size) {
    cairo_t* cr = p.cr();
    p.roundedBox(x, y, size, size, size / 5, 0x4E9A4B, 0x3B7A39);
    p.colour(0xFFFFFF);
    cairo_set_line_width(cr, size / 8);
    cairo_move_to(cr, x + size * 0.25, y + size * 0.52);
    cairo_line_to(cr, x + size * 0.43, y + size * 0.7);
    cairo_line_to(cr, x + size * 0.76, y + size * 0.3);
    cairo_stroke(cr);
}

void paintTitleBar(Painter& p, const std::string& title) {
    p.verticalGradient(kWinX, kWinY, kWinW, kTitleH, 0xF4F6F8, 0xE1E6EA);
    paintAppIcon(p, kWinX + 8, kWinY + 7, 16);
    p.textIn(kWinX + 32, kWinY, kTitleH, title, 0x27323A, 9.5, true);
    // Minimise, maximise, close.
    int bx = kWinX + kWinW - 3 * 40;
    p.line(bx + 14, kWinY + 15.5, bx + 26, kWinY + 15.5, 0x3A454D, 1.2);
    cairo_t* cr = p.cr();
    p.colour(0x3A454D);
    cairo_set_line_width(cr, 1.2);
    cairo_rectangle(cr, bx + 54.5, kWinY + 9.5, 11, 11);
    cairo_stroke(cr);
    p.line(bx + 94, kWinY + 10, bx + 105, kWinY + 21, 0x3A454D, 1.4);
    p.line(bx + 105, kWinY + 10, bx + 94, kWinY + 21, 0x3A454D, 1.4);
}

void paintMenuBar(Painter& p) {
    int y = kWinY + kTitleH;
    p.fill(kWinX, y, kWinW, kMenuH, 0xFAFBFC);
    int x = kWinX + 10;
    for (const char* item : {"File", "Edit", "View", "List", "Task", "Help"})
        x += p.textIn(x, y, kMenuH, item, 0x27323A, 9.5) + 22;
    p.line(kWinX, y + kMenuH - 0.5, kWinX + kWinW, y + kMenuH - 0.5, 0xDDE2E6);
}

enum class Icon { plus, pencil, bin, up, down, sort };

void paintIcon(Painter& p, Icon icon, double x, double y) {
    cairo_t* cr = p.cr();
    cairo_set_line_width(cr, 2);
    switch (icon) {
        case Icon::plus:
            p.colour(0x3E9A3B);
            cairo_arc(cr, x + 8, y + 8, 8, 0, 2 * M_PI);
            cairo_fill(cr);
            p.line(x + 4, y + 8, x + 12, y + 8, 0xFFFFFF, 2);
            p.line(x + 8, y + 4, x + 8, y + 12, 0xFFFFFF, 2);
            break;
        case Icon::pencil:
            p.line(x + 2, y + 14, x + 14, y + 2, 0xC98A1B, 3.5);
            p.line(x + 1, y + 15, x + 3, y + 13, 0x3A454D, 2);
            break;
        case Icon::bin:
            p.fill(x + 3, y + 4, 10, 12, 0x8D99A3);
            p.fill(x + 1, y + 2, 14, 2, 0x5D6A74);
            p.line(x + 6.5, y + 6, x + 6.5, y + 14, 0xEEF1F3, 1);
            p.line(x + 9.5, y + 6, x + 9.5, y + 14, 0xEEF1F3, 1);
            break;
        case Icon::up:
        case Icon::down: {
            double dir = icon == Icon::up ? -1 : 1, mid = y + 8;
            p.colour(0x4A78B0);
            cairo_move_to(cr, x + 2, mid - dir * 3);
            cairo_line_to(cr, x + 8, mid + dir * 4);
            cairo_line_to(cr, x + 14, mid - dir * 3);
            cairo_stroke(cr);
            break;
        }
        case Icon::sort:
            for (int i = 0; i < 3; ++i)
                p.fill(x + 1, y + 3 + i * 5, 14 - i * 4, 2, 0x5D6A74);
            break;
    }
}

struct ToolButton {
    Icon icon;
    const char* label;
    int width;
    bool separatorAfter;
};
constexpr ToolButton kTools[] = {
    {Icon::plus, "New Task", 104, false}, {Icon::pencil, "Edit", 70, false},
    {Icon::bin, "Delete", 82, true},      {Icon::up, "Up", 58, false},
    {Icon::down, "Down", 72, true},       {Icon::sort, "Sort", 66, false}};

void paintToolbar(Painter& p, const ScreenState& s) {
    int y = kWinY + kTitleH + kMenuH;
    p.verticalGradient(kWinX, y, kWinW, kToolH, 0xF7F9FA, 0xECF0F3);
    p.line(kWinX, y + kToolH - 0.5, kWinX + kWinW, y + kToolH - 0.5, 0xD3D9DE);
    int x = kWinX + 8;
    for (const ToolButton& b : kTools) {
        bool pressed = b.icon == Icon::plus && s.newTaskPressed;
        if (pressed)
            p.roundedBox(x, y + 4, b.width, kToolH - 8, 4, 0xD5E3F2, 0x8FB0D6);
        paintIcon(p, b.icon, x + 10, y + 14);
        p.textIn(x + 32, y, kToolH, b.label, 0x27323A, 9.5);
        x += b.width + 4;
        if (b.separatorAfter) {
            p.line(x + 3.5, y + 8, x + 3.5, y + kToolH - 8, 0xC9D0D6);
            x += 10;
        }
    }
    Box search = ScreenLayout::searchBox();
    p.roundedBox(search.x, search.y, search.w, search.h, 13, 0xFFFFFF,
                 s.searchFocused ? 0x4A86C5 : 0xB9C2C9);
    cairo_t* cr = p.cr();
    p.colour(0x7D8A94);
    cairo_set_line_width(cr, 1.6);
    cairo_arc(cr, search.x + 16, search.y + 12, 5, 0, 2 * M_PI);
    cairo_stroke(cr);
    p.line(search.x + 19.5, search.y + 15.5, search.x + 23, search.y + 19, 0x7D8A94, 1.8);
    if (s.search.empty()) {
        p.textIn(search.x + 30, search.y, search.h, "Search tasks", 0x9AA5AD, 9.5);
    } else {
        int w = p.textIn(search.x + 30, search.y, search.h, s.search, 0x1E272D, 9.5);
        if (s.searchFocused)
            p.line(search.x + 31.5 + w, search.y + 6, search.x + 31.5 + w, search.y + 20, 0x1E272D);
    }
}

void paintSidebar(Painter& p, const ScreenState& s) {
    Box side = ScreenLayout::sidebar();
    p.fill(side.x, side.y, side.w, side.h, 0xEEF2F5);
    p.line(side.right() + 0.5, side.y, side.right() + 0.5, side.bottom(), 0xD3D9DE);
    p.text(side.x + 14, side.y + 12, "MY LISTS", 0x6C7A85, 8, true);
    for (const ListEntry& list : kLists) {
        Box item = ScreenLayout::sidebarItem(list.id);
        bool current = list.id == s.list;
        if (current)
            p.roundedBox(item.x, item.y, item.w, item.h, 5, 0x3F78B5, 0x3F78B5);
        cairo_t* cr = p.cr();
        p.colour(current ? 0xFFFFFF : list.colour);
        cairo_arc(cr, item.x + 16, item.centreY(), 5, 0, 2 * M_PI);
        cairo_fill(cr);
        std::uint32_t ink = current ? 0xFFFFFF : 0x27323A;
        p.textIn(item.x + 30, item.y, item.h, list.name, ink, 10, current);
        int count = list.count + (list.id == ListId::garden && s.newTaskAdded ? 1 : 0);
        std::string number = std::to_string(count);
        p.textIn(item.right() - 12 - p.measure(number, 8.5), item.y, item.h, number,
                 current ? 0xDCE8F5 : 0x7D8A94, 8.5);
    }
    p.text(side.x + 14, side.y + 214, "TAGS", 0x6C7A85, 8, true);
    int x = side.x + 14, y = side.y + 236;
    for (const char* tag : {"Beds", "Tools", "Fruit", "Water", "Herbs", "Flowers"}) {
        int w = p.measure(tag, 8) + 16;
        if (x + w > side.right() - 10) {
            x = side.x + 14;
            y += 26;
        }
        p.roundedBox(x, y, w, 20, 10, 0xFFFFFF, 0xC9D0D6);
        p.textIn(x + 8, y, 20, tag, 0x4B5862, 8);
        x += w + 6;
    }
}

std::uint32_t priorityColour(const std::string& priority) {
    if (priority == "High")
        return 0xD9534F;
    if (priority == "Normal")
        return 0x4A78B0;
    return 0x8D99A3;
}

void paintTick(Painter& p, const Box& box, bool done) {
    p.roundedBox(box.x, box.y, box.w, box.h, 3, done ? 0x4E9A4B : 0xFFFFFF,
                 done ? 0x3B7A39 : 0x9AA5AD);
    if (!done)
        return;
    cairo_t* cr = p.cr();
    p.colour(0xFFFFFF);
    cairo_set_line_width(cr, 2);
    cairo_move_to(cr, box.x + 4, box.y + 8.5);
    cairo_line_to(cr, box.x + 7, box.y + 11.5);
    cairo_line_to(cr, box.x + 13, box.y + 5);
    cairo_stroke(cr);
}

void paintTaskList(Painter& p, const ScreenState& s) {
    const int width = kListRight - kListX;
    p.fill(kListX, kBodyY, width, kBodyBottom - kBodyY, 0xFFFFFF);
    // Column heads.
    p.verticalGradient(kListX, kBodyY, width, kHeaderH, 0xF7F9FA, 0xEEF1F3);
    p.line(kListX, kBodyY + kHeaderH - 0.5, kListRight, kBodyY + kHeaderH - 0.5, 0xD3D9DE);
    p.textIn(kColTitle, kBodyY, kHeaderH, "Task", 0x4B5862, 8.5, true);
    p.textIn(kColDue, kBodyY, kHeaderH, "Due \xE2\x96\xB4", 0x4B5862, 8.5, true);
    p.textIn(kColPriority, kBodyY, kHeaderH, "Priority", 0x4B5862, 8.5, true);
    p.textIn(kColTag, kBodyY, kHeaderH, "Tag", 0x4B5862, 8.5, true);

    auto tasks = shownTasks(s);
    cairo_t* cr = p.cr();
    cairo_save(cr);
    cairo_rectangle(cr, kListX, kRowsY, width - kScrollW, kBodyBottom - kRowsY);
    cairo_clip(cr);
    for (int i = 0; i < static_cast<int>(tasks.size()); ++i) {
        Box row = ScreenLayout::taskRow(i, s.scroll);
        if (row.bottom() < kRowsY || row.y > kBodyBottom)
            continue;
        const ShownTask& t = tasks[static_cast<std::size_t>(i)];
        bool selected = i == s.selectedTask;
        // Stripes follow the task, not the screen row, so a scrolled list moves as one block.
        std::uint32_t band = selected ? 0xDCE9F7 : (i % 2 ? 0xF7F9FA : 0xFFFFFF);
        p.fill(row.x, row.y, row.w, row.h, band);
        p.line(row.x, row.bottom() - 0.5, row.right(), row.bottom() - 0.5, 0xECEFF2);
        paintTick(p, ScreenLayout::tickBox(i, s.scroll), t.done);
        std::uint32_t ink = t.done ? 0x9AA5AD : 0x1E272D;
        p.textIn(kColTitle, row.y, row.h, t.title, ink, 10, false, t.done);
        p.textIn(kColDue, row.y, row.h, t.due, t.done ? 0x9AA5AD : 0x4B5862, 9);
        std::uint32_t pc = priorityColour(t.priority);
        p.colour(pc);
        cairo_arc(cr, kColPriority + 5, row.centreY(), 4, 0, 2 * M_PI);
        cairo_fill(cr);
        p.textIn(kColPriority + 14, row.y, row.h, t.priority, t.done ? 0x9AA5AD : pc, 9);
        int tw = p.measure(t.tag, 8) + 16;
        p.roundedBox(kColTag, row.y + 6, tw, row.h - 12, 9, 0xF0F3F5, 0xD3D9DE);
        p.textIn(kColTag + 8, row.y + 6, row.h - 12, t.tag, 0x4B5862, 8);
    }
    cairo_restore(cr);

    Box bar = ScreenLayout::scrollBar();
    p.fill(bar.x, bar.y, bar.w, bar.h, 0xF3F5F7);
    p.line(bar.x + 0.5, bar.y, bar.x + 0.5, bar.bottom(), 0xE1E6EA);
    Box thumb = ScreenLayout::scrollThumb(static_cast<int>(tasks.size()), s.scroll);
    if (thumb.h > 0)
        p.roundedBox(thumb.x, thumb.y, thumb.w, thumb.h, 4, 0xC3CBD2, 0xAEB8C0);
}

void paintStatusBar(Painter& p, const ScreenState& s) {
    int y = kBodyBottom;
    p.fill(kWinX, y, kWinW, kStatusH, 0xF1F4F6);
    p.line(kWinX, y + 0.5, kWinX + kWinW, y + 0.5, 0xD3D9DE);
    auto tasks = shownTasks(s);
    int done = static_cast<int>(
        std::count_if(tasks.begin(), tasks.end(), [](const ShownTask& t) { return t.done; }));
    std::string status =
        std::to_string(tasks.size()) + " tasks  \xC2\xB7  " + std::to_string(done) + " done";
    if (!s.search.empty())
        status += "  \xC2\xB7  matching \xE2\x80\x9C" + s.search + "\xE2\x80\x9D";
    p.textIn(kWinX + 12, y, kStatusH, status, 0x4B5862, 8.5);
    p.textIn(kWinX + kWinW - 120, y, kStatusH, "All changes saved", 0x6C7A85, 8.5);
}

void paintField(Painter& p, const Box& b, const std::string& value, bool focused, bool dropDown) {
    p.roundedBox(b.x, b.y, b.w, b.h, 3, 0xFFFFFF, focused ? 0x4A86C5 : 0xB9C2C9);
    if (focused) {
        cairo_t* cr = p.cr();
        p.colour(0x4A86C5, 0.35);
        cairo_set_line_width(cr, 3);
        p.roundedPath(b.x - 1.5, b.y - 1.5, b.w + 3, b.h + 3, 4);
        cairo_stroke(cr);
    }
    int w = p.textIn(b.x + 8, b.y, b.h, value, 0x1E272D, 9.5);
    if (focused && !dropDown)
        p.line(b.x + 9.5 + w, b.y + 5, b.x + 9.5 + w, b.bottom() - 5, 0x1E272D);
    if (dropDown) {
        cairo_t* cr = p.cr();
        p.colour(0x5D6A74);
        cairo_move_to(cr, b.right() - 18, b.centreY() - 2);
        cairo_line_to(cr, b.right() - 10, b.centreY() - 2);
        cairo_line_to(cr, b.right() - 14, b.centreY() + 3);
        cairo_close_path(cr);
        cairo_fill(cr);
    }
}

void paintDialog(Painter& p, const ScreenState& s) {
    Box d = ScreenLayout::dialog();
    cairo_t* cr = p.cr();
    for (int i = 6; i >= 1; --i) {  // soft shadow
        p.colour(0x000000, 0.05);
        p.roundedPath(d.x - i + 3, d.y - i + 6, d.w + 2 * i, d.h + 2 * i, 8 + i);
        cairo_fill(cr);
    }
    p.roundedBox(d.x, d.y, d.w, d.h, 6, 0xF7F9FA, 0x9AA5AD);
    p.verticalGradient(d.x + 1, d.y + 1, d.w - 2, 29, 0xF4F6F8, 0xE1E6EA);
    p.line(d.x + 1, d.y + 30.5, d.right() - 1, d.y + 30.5, 0xD3D9DE);
    p.textIn(d.x + 14, d.y, 31, "New Task", 0x27323A, 9.5, true);
    p.line(d.right() - 24, d.y + 10, d.right() - 14, d.y + 20, 0x3A454D, 1.4);
    p.line(d.right() - 14, d.y + 10, d.right() - 24, d.y + 20, 0x3A454D, 1.4);

    auto label = [&](const Box& field, const char* text) {
        p.textIn(d.x + 20, field.y, field.h, text, 0x27323A, 9.5);
    };
    Box title = ScreenLayout::titleField();
    label(title, "Title");
    paintField(p, title, s.typedTitle, s.titleFocused, false);
    Box due{title.x, title.y + 42, 180, title.h};
    label(due, "Due date");
    paintField(p, due, "Sat 18 Oct", false, false);
    p.fill(due.right() - 22, due.y + 7, 14, 12, 0x8D99A3);
    p.fill(due.right() - 22, due.y + 7, 14, 3, 0xD9534F);
    Box priority = ScreenLayout::priorityField();
    label(priority, "Priority");
    paintField(p, priority, s.priority, false, true);
    p.colour(priorityColour(s.priority));
    cairo_arc(cr, priority.right() - 32, priority.centreY(), 4, 0, 2 * M_PI);
    cairo_fill(cr);
    Box list{title.x, priority.y + 42, 180, title.h};
    label(list, "List");
    paintField(p, list, "Garden", false, true);
    Box notes{title.x, list.y + 42, title.w, 48};
    p.text(d.x + 20, notes.y + 5, "Notes", 0x27323A, 9.5);
    p.roundedBox(notes.x, notes.y, notes.w, notes.h, 3, 0xFFFFFF, 0xB9C2C9);

    Box ok = ScreenLayout::okButton();
    p.roundedBox(ok.x, ok.y, ok.w, ok.h, 4, 0x3F78B5, 0x2F5F94);
    p.textIn(ok.centreX() - p.measure("OK", 9.5, true) / 2, ok.y, ok.h, "OK", 0xFFFFFF, 9.5, true);
    Box cancel{ok.right() + 10, ok.y, ok.w, ok.h};
    p.roundedBox(cancel.x, cancel.y, cancel.w, cancel.h, 4, 0xFFFFFF, 0xB9C2C9);
    p.textIn(cancel.centreX() - p.measure("Cancel") / 2, cancel.y, cancel.h, "Cancel", 0x27323A,
             9.5);
}

const char* listName(ListId id) {
    for (const ListEntry& list : kLists)
        if (list.id == id)
            return list.name;
    return "";
}

bool contains(const std::string& text, const std::string& word) {
    auto lower = [](std::string s) {
        std::transform(s.begin(), s.end(), s.begin(),
                       [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
        return s;
    };
    return lower(text).find(lower(word)) != std::string::npos;
}

}  // namespace

Box ScreenLayout::window() {
    return {kWinX, kWinY, kWinW, kWinH};
}

Box ScreenLayout::newTaskButton() {
    return {kWinX + 8, kWinY + kTitleH + kMenuH + 4, kTools[0].width, kToolH - 8};
}

Box ScreenLayout::searchBox() {
    return {kWinX + kWinW - 250, kWinY + kTitleH + kMenuH + 9, 236, 26};
}

Box ScreenLayout::sidebar() {
    return {kWinX, kBodyY, kSideW, kBodyBottom - kBodyY};
}

Box ScreenLayout::sidebarItem(ListId list) {
    return {kWinX + 8, kBodyY + 34 + static_cast<int>(list) * 32, kSideW - 16, 28};
}

Box ScreenLayout::scrollBar() {
    return {kListRight - kScrollW, kRowsY, kScrollW, kBodyBottom - kRowsY};
}

Box ScreenLayout::scrollThumb(int rows, int scroll) {
    Box bar = scrollBar();
    int content = rows * kRowH;
    if (content <= bar.h)
        return {bar.x + 3, bar.y + 2, 0, 0};
    int h = std::max(30, bar.h * bar.h / content);
    int y = bar.y + 2 + (bar.h - 4 - h) * scroll / (content - bar.h);
    return {bar.x + 3, y, bar.w - 5, h};
}

Box ScreenLayout::taskRow(int index, int scroll) {
    return {kListX, kRowsY + index * kRowH - scroll, kListRight - kScrollW - kListX, kRowH};
}

Box ScreenLayout::tickBox(int index, int scroll) {
    Box row = taskRow(index, scroll);
    return {kColTick + 2, row.y + 6, 17, 17};
}

Box ScreenLayout::dialog() {
    return {292, 196, 440, 330};
}
Box ScreenLayout::titleField() {
    return {292 + 110, 196 + 50, 310, 28};
}
Box ScreenLayout::priorityField() {
    return {292 + 110, 196 + 134, 180, 28};
}
Box ScreenLayout::okButton() {
    return {292 + 440 - 212, 196 + 330 - 46, 94, 30};
}

std::vector<ShownTask> shownTasks(const ScreenState& s) {
    std::vector<ShownTask> tasks;
    auto add = [&](const Task& t) {
        bool ticked =
            std::find(s.tickedTasks.begin(), s.tickedTasks.end(), t.title) != s.tickedTasks.end();
        if (s.search.empty() || contains(t.title, s.search))
            tasks.push_back({t.title, t.due, t.priority, t.tag, t.done || ticked});
    };
    if (s.list == ListId::garden) {
        if (s.newTaskAdded)
            add(kNewTask);
        for (const Task& t : kGarden)
            add(t);
    } else if (s.list == ListId::kitchen) {
        for (const Task& t : kKitchen)
            add(t);
    }
    return tasks;
}

bool paintScreen(const ScreenState& state, CImageExt& picture) {
    cairo_surface_t* surface =
        cairo_image_surface_create(CAIRO_FORMAT_RGB24, kScreenWidth, kScreenHeight);
    cairo_t* cr = cairo_create(surface);
    {
        Painter p(cr);
        paintDesktop(p);
        Box w = ScreenLayout::window();
        for (int i = 8; i >= 1; --i) {  // window shadow
            p.colour(0x000000, 0.04);
            p.roundedPath(w.x - i, w.y - i + 4, w.w + 2 * i, w.h + 2 * i, 6 + i);
            cairo_fill(cr);
        }
        paintTitleBar(p, std::string(listName(state.list)) + " \xE2\x80\x94 Pebblenote");
        paintMenuBar(p);
        paintToolbar(p, state);
        paintSidebar(p, state);
        paintTaskList(p, state);
        paintStatusBar(p, state);
        if (state.dialogOpen)
            paintDialog(p, state);
    }
    cairo_destroy(cr);
    cairo_surface_flush(surface);

    bool ok = picture.create(kScreenWidth, kScreenHeight, 24);
    if (ok) {
        const unsigned char* from = cairo_image_surface_get_data(surface);
        int stride = cairo_image_surface_get_stride(surface);
        PixelView to = picture.view();
        for (int y = 0; y < kScreenHeight; ++y) {
            const unsigned char* in = from + static_cast<std::ptrdiff_t>(y) * stride;
            std::uint8_t* out = to.row(y);
            for (int x = 0; x < kScreenWidth; ++x) {  // cairo keeps B, G, R, unused
                std::memcpy(out + 3 * x, in + 4 * x, 3);
            }
        }
    }
    cairo_surface_destroy(surface);
    return ok;
}

}  // namespace lumenreel::tour
