#include "TourScript.h"

#include <algorithm>
#include <fstream>
#include <iterator>
#include <optional>
#include <sstream>

#include "TourArt.h"
#include "TourScreens.h"
#include "richtext/AutoRichEditCtrl.h"

namespace lumenreel::tour {

namespace {

using NKWXDecodersEncoders::kFadeIn;
using NKWXDecodersEncoders::kFadeInOut;
using zcd::Point;
using zcd::Rect;

struct CaptionText {
    Tail tail = Tail::upLeft;
    Point tip;  // where the tail points, on the screen
    int width = 320;
    const char* heading = "";
    const char* body = "";  // *starred* words are drawn bold in the accent colour
};

struct Step {
    ScreenState screen;
    Point cursor;  // where the pointer is as the frame starts
    bool curved = false;
    std::optional<Box> highlight;
    CaptionText caption;
};

Point centre(const Box& b) {
    return {b.centreX(), b.centreY()};
}
Box grown(const Box& b, int by) {
    return {b.x - by, b.y - by, b.w + 2 * by, b.h + 2 * by};
}

constexpr int kGardenRowsWithNew = 31;
constexpr int kFigIndexWithNew = 13;

std::vector<Step> writtenSteps() {
    ScreenState garden;
    ScreenState dialog = garden;
    dialog.newTaskPressed = true;
    dialog.dialogOpen = true;
    ScreenState typing = dialog;
    typing.titleFocused = true;
    typing.typedTitle = "Plant tul";
    ScreenState typed = typing;
    typed.typedTitle = "Plant tulip bulbs";
    typed.titleFocused = false;
    typed.priority = "High";
    ScreenState added = garden;
    added.newTaskAdded = true;
    added.selectedTask = 0;
    ScreenState scrolled = added;
    scrolled.scroll = 150;
    ScreenState scrolledMore = added;
    scrolledMore.scroll = 330;
    ScreenState ticked = scrolledMore;
    ticked.tickedTasks = {"Wrap the fig in fleece"};
    ScreenState kitchen;
    kitchen.list = ListId::kitchen;
    kitchen.newTaskAdded = true;
    ScreenState searched = kitchen;
    searched.search = "flour";
    searched.searchFocused = true;

    const Box window = ScreenLayout::window();
    const Box gardenItem = ScreenLayout::sidebarItem(ListId::garden);
    const Box kitchenItem = ScreenLayout::sidebarItem(ListId::kitchen);
    const Box newTask = ScreenLayout::newTaskButton();
    const Box title = ScreenLayout::titleField();
    const Box ok = ScreenLayout::okButton();
    const Box bar = ScreenLayout::scrollBar();
    const Box thumbTop = ScreenLayout::scrollThumb(kGardenRowsWithNew, 0);
    const Box thumbEnd = ScreenLayout::scrollThumb(kGardenRowsWithNew, 330);
    const Box fig = ScreenLayout::tickBox(kFigIndexWithNew, 330);
    const Box search = ScreenLayout::searchBox();
    const Box firstRow = ScreenLayout::taskRow(0, 0);
    Box lists = ScreenLayout::sidebarItem(ListId::inbox);
    lists.h = ScreenLayout::sidebarItem(ListId::trips).bottom() - lists.y;

    return {
        {garden,
         {620, 430},
         true,
         std::nullopt,
         {Tail::upLeft,
          {window.x + 16, window.y + 26},
          360,
          "Welcome to Pebblenote",
          "This short tour shows you how to *add*, *find* and *finish* tasks. Sit back and "
          "watch."}},
        {garden,
         {gardenItem.x + 70, gardenItem.centreY()},
         true,
         grown(lists, 4),
         {Tail::upLeft,
          {lists.right() + 2, gardenItem.centreY()},
          320,
          "Your lists",
          "Every list lives in the *sidebar*. The *Garden* list is open now."}},
        {garden,
         {430, 260},
         true,
         grown(newTask, 3),
         {Tail::upLeft,
          {newTask.centreX(), newTask.bottom() + 4},
          320,
          "Add a task",
          "Click *New Task* on the toolbar to open the task dialog."}},
        {dialog,
         centre(newTask),
         false,
         grown(title, 4),
         {Tail::upLeft,
          {title.right() - 12, title.bottom() + 5},
          290,
          "The New Task dialog",
          "Click into the *Title* field to start typing."}},
        {typing,
         {title.x + 150, title.centreY()},
         false,
         std::nullopt,
         {Tail::upLeft,
          {title.x + 90, title.bottom() + 5},
          300,
          "Type a title",
          "The words appear as you type: *Plant tulip bulbs*."}},
        {typed,
         centre(ScreenLayout::priorityField()),
         false,
         grown(ok, 3),
         {Tail::upRight,
          {ok.centreX(), ok.bottom() + 16},
          330,
          "Due date and priority",
          "Pick *High* priority, then click *OK* to save the task."}},
        {added,
         centre(ok),
         true,
         grown(firstRow, 1),
         {Tail::upLeft,
          {firstRow.x + 150, firstRow.bottom() + 3},
          320,
          "Added to your list",
          "The new task sits at the *top* of the Garden list, selected."}},
        {scrolled,
         centre(thumbTop),
         false,
         grown(bar, 2),
         {Tail::upRight,
          {bar.x - 6, bar.y + 200},
          330,
          "Scrolling",
          "Drag the *scroll bar*, or turn the mouse wheel, to move through long lists."}},
        {scrolledMore,
         centre(thumbEnd),
         true,
         grown(fig, 4),
         {Tail::upLeft,
          {fig.right() + 3, fig.bottom() + 6},
          320,
          "Tick it off",
          "Click a task's *tick box* when it is done. It is struck through."}},
        {ticked,
         centre(fig),
         true,
         grown(kitchenItem, 3),
         {Tail::upLeft,
          {kitchenItem.right() + 2, kitchenItem.centreY()},
          300,
          "Switch lists",
          "Click *Kitchen* in the sidebar to show that list."}},
        {kitchen,
         {kitchenItem.x + 60, kitchenItem.centreY()},
         true,
         grown(search, 3),
         {Tail::upRight,
          {search.x + 60, search.bottom() + 6},
          320,
          "Find a task",
          "Click the *search box* and type a word, such as *flour*."}},
        {searched,
         {search.x + 120, search.centreY()},
         false,
         std::nullopt,
         {Tail::upLeft,
          {firstRow.x + 180, firstRow.bottom() + 3},
          330,
          "Matching tasks",
          "Only the tasks with *flour* in them remain. Clear the box to see them all."}},
        {searched,
         {search.x + 60, search.bottom() + 140},
         false,
         std::nullopt,
         {Tail::downLeft,
          {60, 740},
          380,
          "That's the tour",
          "Press *Play* to watch it again. Your own demos open from the *File* menu."}},
    };
}

// Extra frames for the longer variant: the Garden list scrolled down and back up again.
Step extraStep(int n) {
    Step step;
    step.screen.newTaskAdded = true;
    const int rows = kGardenRowsWithNew, maxScroll = 364, stepPixels = 60;
    int travel = (n * stepPixels) % (2 * maxScroll);
    step.screen.scroll = travel <= maxScroll ? travel : 2 * maxScroll - travel;
    step.screen.selectedTask = n % rows;
    step.cursor = centre(ScreenLayout::scrollThumb(rows, step.screen.scroll));
    step.curved = n % 2 == 1;
    return step;
}

std::string rtfEscaped(const std::string& text) {
    std::string out;
    for (char c : text) {
        if (c == '\\' || c == '{' || c == '}')
            out += '\\';
        out += c;
    }
    return out;
}

// Heading in bold at 13 points in the accent colour, the body at 10 points, starred words bold.
std::string captionRtf(const CaptionText& caption) {
    std::string rtf =
        "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0\\fswiss DejaVu Sans;}}"
        "{\\colortbl;\\red38\\green48\\blue56;\\red196\\green98\\blue16;}"
        "\\f0\\cf2\\b\\fs26 ";
    rtf += rtfEscaped(caption.heading);
    rtf += "\\b0\\par\\cf1\\fs20 ";
    std::string body = caption.body;
    bool starred = false;
    for (std::size_t start = 0;;) {
        std::size_t star = body.find('*', start);
        rtf += rtfEscaped(body.substr(start, star - start));
        if (star == std::string::npos)
            break;
        starred = !starred;
        rtf += starred ? "\\cf2\\b " : "\\cf1\\b0 ";
        start = star + 1;
    }
    return rtf + "\\par}";
}

constexpr int kTextMarginX = 18, kTextMarginY = 12;

// The caption's rectangle on the screen, its text rectangle inside it, sized to the text.
void placeCaption(const TourCaption& caption, zcd::CReaderObject_caption& object) {
    BalloonShape shape = balloonShape(caption.tail);
    int textWidth = caption.width - 2 * kTextMarginX;
    CAutoRichEditCtrl sized(textWidth);
    sized.setRichText(object.richText);
    int textHeight = sized.measure().height;
    int w = std::max(caption.width, shape.width);
    int h = std::max(textHeight + 2 * kTextMarginY + shape.tailHeight + 2, shape.height);
    bool up = caption.tail == Tail::upLeft || caption.tail == Tail::upRight;
    bool left = caption.tail == Tail::upLeft || caption.tail == Tail::downLeft;
    int tipX = left ? shape.tipX : w - (shape.width - shape.tipX);
    int tipY = up ? shape.tipY : h - (shape.height - shape.tipY);
    int x = caption.tip.x - tipX, y = caption.tip.y - tipY;
    object.rect = {x, y, x + w, y + h};
    int bodyTop = up ? shape.tailHeight + 2 : 2;
    int textTop = bodyTop + kTextMarginY;
    object.textRect = {kTextMarginX, textTop, w - kTextMarginX, textTop + textHeight + 2};
}

zcd::WriterPlacement placement(int kind, int frame, int object, int order, const Appearance& shown,
                               float transparency = 0) {
    zcd::WriterPlacement p;
    p.kind = kind;
    p.frameId = frame;
    p.objectId = object;
    p.order = order;
    p.start = shown.start;
    p.end = shown.end;
    p.transparency = transparency;
    p.timing = {shown.fadeIn, shown.fadeOut, 1.0f, transparency, transparency, 1.0f};
    return p;
}

constexpr int kMasterId = 1000;
constexpr int kLogoId = 3000;
constexpr int kTemplateCount = 4;
constexpr int kLogoPoolIndex = kTemplateCount;

bool readNarration(const std::string& path, std::vector<std::uint8_t>& bytes, std::string& error) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        error = "cannot read " + path;
        return false;
    }
    bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    return true;
}

}  // namespace

std::vector<float> readFrameLengths(const std::string& path, std::string& error) {
    std::ifstream in(path);
    if (!in) {
        error = "cannot read " + path;
        return {};
    }
    std::vector<float> lengths;
    std::string line;
    while (std::getline(in, line)) {
        if (line.empty() || line[0] == '#')
            continue;
        std::istringstream fields(line);
        float seconds = 0;
        if (!(fields >> seconds) || !(seconds > 0) || seconds > 600) {
            error = path + ": bad frame length in \"" + line + "\"";
            return {};
        }
        lengths.push_back(seconds);
    }
    return lengths;
}

bool planTour(const TourOptions& options, TourPlan& plan, std::string& error) {
    std::vector<float> lengths = readFrameLengths(options.narrationScript, error);
    if (lengths.empty()) {
        if (error.empty())
            error = options.narrationScript + ": no frames";
        return false;
    }
    std::vector<Step> steps = writtenSteps();
    if (lengths.size() != steps.size()) {
        error = options.narrationScript + ": " + std::to_string(lengths.size()) +
                " frame lengths for " + std::to_string(steps.size()) + " frames";
        return false;
    }
    const int writtenCount = static_cast<int>(steps.size());
    int frameCount = options.frames > 0 ? options.frames : writtenCount;
    steps.resize(static_cast<std::size_t>(std::min(frameCount, writtenCount)));
    for (int n = writtenCount; n < frameCount; ++n) {
        steps.push_back(extraStep(n - writtenCount));
        lengths.push_back(1.0f);
    }

    plan = {};
    plan.pictures.resize(steps.size());
    float total = 0;
    for (std::size_t i = 0; i < steps.size(); ++i) {
        const Step& step = steps[i];
        if (!paintScreen(step.screen, plan.pictures[i])) {
            error = "cannot draw screen " + std::to_string(i);
            return false;
        }
        const float length = lengths[i];
        total += length;
        TourStep& planned = plan.steps.emplace_back();
        planned.length = length;
        planned.cursor = step.cursor;
        planned.curved = step.curved;
        planned.cursorMoveStart = std::min(1.0f, length * 0.25f);
        planned.cursorMoveEnd = std::max(length * 0.5f, length - 1.2f);
        planned.highlight = step.highlight;
        planned.highlightShown = {0.6f, length, 0.4f, 0};
        if (*step.caption.heading) {
            const bool first = i == 0, last = i + 1 == steps.size();
            planned.caption = TourCaption{
                step.caption.tail,
                step.caption.tip,
                step.caption.width,
                step.caption.heading,
                captionRtf(step.caption),
                {first ? 0.5f : 0.3f, length - 0.1f, first ? 1.0f : 0.4f, last ? 1.5f : 0.3f}};
        }
    }
    plan.logo = {kScreenWidth - 152 - 70, kScreenHeight - 30, 152, 28};
    plan.logoShown = {0, total, 1.5f, 1.5f};
    plan.logoTransparency = 0.1f;
    return options.narrationSound.empty() ||
           readNarration(options.narrationSound, plan.narration, error);
}

bool buildTour(const TourOptions& options, Tour& tour, std::string& error) {
    if (!planTour(options, tour.plan, error))
        return false;
    const TourPlan& plan = tour.plan;

    zcd::ZcdContent& c = tour.content;
    c = {};
    c.masterFrameId = kMasterId;
    for (Tail tail : {Tail::upLeft, Tail::upRight, Tail::downLeft, Tail::downRight})
        c.poolPictures.push_back(pngBytes(balloonTemplate(tail)));
    c.poolPictures.push_back(pngBytes(logoPicture()));
    for (int t = 0; t < kTemplateCount; ++t) {
        BalloonShape shape = balloonShape(static_cast<Tail>(t));
        c.captionTemplates.push_back(
            {t, {shape.splitX, shape.splitY}, {0, 0, shape.width, shape.height}, "Balloon", 0});
    }
    CImageExt mask, colour;
    pointerPictures(mask, colour);
    c.cursors.push_back({{0, 0}, pngBytes(mask), pngBytes(colour)});

    for (std::size_t i = 0; i < plan.steps.size(); ++i) {
        const TourStep& step = plan.steps[i];
        const int frameId = static_cast<int>(i) + 1;
        c.frames.push_back(
            {{frameId, step.length, step.cursorMoveStart, step.cursorMoveEnd}, &plan.pictures[i]});
        c.cursorPlacements.push_back({0, frameId, step.curved,
                                      static_cast<std::int16_t>(step.cursor.x),
                                      static_cast<std::int16_t>(step.cursor.y)});
        int order = 0;
        if (step.highlight) {
            const Box& b = *step.highlight;
            zcd::CReaderObject_highlight h;
            h.id = 2000 + frameId;
            h.rect = {b.x, b.y, b.right(), b.bottom()};
            h.frameColour = kHighlightColour;
            h.frameWidth = kHighlightFrameWidth;
            h.noFill = true;
            c.highlights.push_back(h);
            c.highlightPlacements.push_back(
                placement(kFadeIn, frameId, h.id, order++, step.highlightShown));
        }
        if (step.caption) {
            zcd::CReaderObject_caption caption;
            caption.id = 1000 + frameId;
            caption.templateIndex = static_cast<std::uint32_t>(step.caption->tail);
            caption.richText = step.caption->rtf;
            placeCaption(*step.caption, caption);
            c.captions.push_back(caption);
            c.captionPlacements.push_back(
                placement(kFadeInOut, frameId, caption.id, order++, step.caption->shown));
        }
    }
    const Box& logo = plan.logo;
    c.images.push_back({kLogoPoolIndex, kLogoId, {logo.x, logo.y, logo.right(), logo.bottom()}});
    c.imagePlacements.push_back(
        placement(kFadeInOut, kMasterId, kLogoId, 0, plan.logoShown, plan.logoTransparency));

    if (!plan.narration.empty()) {
        tour.soundtrack = std::make_unique<CSoundTrack_Ogg>();
        tour.soundtrack->data() = plan.narration;
        c.soundtrack = tour.soundtrack.get();
    }
    return true;
}

}  // namespace lumenreel::tour
