#include "TourDocument.h"

#include <algorithm>
#include <memory>
#include <utility>

#include "items/DrawItemCursor.h"
#include "items/DrawItemHighlight.h"
#include "items/DrawItemImage.h"
#include "items/DrawItemSmoke.h"
#include "items/ItemPlacement.h"
#include "items/SoundEffectItem.h"
#include "richtext/AutoRichEditCtrl.h"
#include "sound/ByteSource.h"
#include "sound/DecodeAll.h"
#include "sound/VorbisCodec.h"
#include "sound/WaveFormat.h"
#include "themes/ThemeContainer.h"
#include "themes/ThemeItemSmoke.h"

namespace lumenreel::tour {

namespace {

// The outtake follows this frame in the pool; it shows the dialog again, as first recorded.
constexpr std::size_t kOuttakeAfter = 4;
constexpr float kOuttakeLength = 3.0f;

CDrawItem_link shownBy(const Appearance& shown, int fadeType) {
    CDrawItem_link link;
    link.visStart = shown.start;
    link.visEnd = shown.end;
    link.fadeIn = shown.fadeIn;
    link.fadeOut = shown.fadeOut;
    link.fadeType = fadeType;
    return link;
}

template <class Item>
Item& place(CZephyrcastBaseDocument& document, CZephyrcastFrameElement& frame,
            std::unique_ptr<Item> item, const CDrawItem_link& link) {
    Item& placed = *item;
    item->setDocument(&document);
    frame.itemList().insert(link, std::move(item));
    return placed;
}

// The skin's templates in the order their index picks them.
int templateIndexFor(Tail tail) {
    switch (tail) {
        case Tail::downLeft:
            return 0;
        case Tail::downRight:
            return 1;
        case Tail::upLeft:
            return 2;
        case Tail::upRight:
            return 3;
    }
    return 2;
}

bool tailIsUp(Tail tail) {
    return tail == Tail::upLeft || tail == Tail::upRight;
}

// The balloon of the document's theme a caption draws from, loaded; none without a theme.
std::unique_ptr<CThemeItem_smoke> balloonItem(const CZephyrcastBaseDocument& document) {
    const CThemeContainer* theme = document.themeContainer();
    const auto* shared =
        theme ? dynamic_cast<const CThemeItem_smoke*>(theme->itemFor(kBalloonTypeId)) : nullptr;
    if (!shared)
        return nullptr;
    std::unique_ptr<CThemeItem_smoke> balloon = shared->cloneBalloon();
    balloon->setItemName(kTourBalloons);
    balloon->load();
    return balloon;
}

// The balloon's size for the caption's width, tall enough for its text broken at that width.
Size balloonSize(const CThemeItem_smoke& balloon, int templateIndex, const TourCaption& caption) {
    const CImageExt* picture = balloon.balloonTemplate(templateIndex);
    if (!picture)
        return {caption.width, 0};
    const Rect area = balloon.textArea(templateIndex);
    const int areaWidth = static_cast<int>(area.width());
    const int areaHeight = static_cast<int>(area.height());
    CAutoRichEditCtrl text(areaWidth + caption.width - picture->width());
    text.setRichText(caption.rtf);
    return {std::max(caption.width, picture->width()),
            std::max(picture->height(), text.measure().height + picture->height() - areaHeight)};
}

// Where the tail ends in a built balloon: the middle of its outermost row of drawn pixels (the
// see-through ones are all zero).
Point tailTipIn(const CImageExt& balloon, bool up) {
    for (int i = 0; i < balloon.height(); ++i) {
        const int y = up ? i : balloon.height() - 1 - i;
        int first = -1, last = -1;
        for (int x = 0; x < balloon.width(); ++x)
            if (balloon.pixel(x, y) != 0) {
                first = first < 0 ? x : first;
                last = x;
            }
        if (first >= 0)
            return {(first + last) / 2, y};
    }
    return {0, 0};
}

void addCaption(CZephyrcastBaseDocument& document, CZephyrcastFrameElement& frame,
                const CThemeItem_smoke* balloon, const TourCaption& caption) {
    auto item = std::make_unique<CDrawItem_zcSmoke>();
    SmokeProperties& properties = item->smokeProperties();
    properties.name = caption.heading;
    properties.transparency = 0.0f;
    properties.themeItemName = kTourBalloons;
    properties.templateIndex = templateIndexFor(caption.tail);
    properties.text = caption.rtf;
    properties.autosize = false;
    const Size size =
        balloon ? balloonSize(*balloon, properties.templateIndex, caption) : Size{caption.width, 0};
    properties.width = size.width;
    properties.height = size.height;
    CDrawItem_zcSmoke& placed =
        place(document, frame, std::move(item), shownBy(caption.shown, kFadeBoth));
    placed.propertiesChanged();
    const Point tip =
        placed.balloon() ? tailTipIn(*placed.balloon(), tailIsUp(caption.tail)) : Point{0, 0};
    placed.setPosition(caption.tip.x - tip.x, caption.tip.y - tip.y);
}

void addHighlight(CZephyrcastBaseDocument& document, CZephyrcastFrameElement& frame, const Box& box,
                  const Appearance& shown) {
    auto item = std::make_unique<CDrawItem_zcHiglight>();
    HighlightProperties& properties = item->highlightProperties();
    properties.transparency = 0.0f;
    properties.frameSize = kHighlightFrameWidth;
    properties.frameColour = kHighlightColour;
    properties.noFill = true;
    item->setRect({box.x, box.y, box.right(), box.bottom()}, false);
    item->rebuildDisplayImage();
    place(document, frame, std::move(item), shownBy(shown, kFadeIn));
}

void giveCursor(CZephyrcastFrameElement& frame, const TourStep& step) {
    CImageExt mask, colour;
    pointerPictures(mask, colour);
    CDrawItem_zcCursor& cursor = frame.cursor();
    cursor.setImage(CursorImage::fromImages(0, 0, std::move(mask), std::move(colour)));
    cursor.setPosition(step.cursor.x, step.cursor.y);
    CursorProperties& properties = cursor.cursorProperties();
    properties.moveType = step.curved ? kCursorCurved : 0;
    properties.startTime = step.cursorMoveStart;
    properties.endTime = step.cursorMoveEnd;
}

bool addFrame(CZephyrcastBaseDocument& document, const CImageExt& picture, const TourStep& step,
              const std::string& label, std::string& error) {
    CZephyrcastFrameElement& frame = document.appendFrame();
    frame.frameInfo().duration = step.length;
    frame.frameInfo().label = label;
    const auto id = document.backgroundStream().addPicture(picture);
    if (!id) {
        error = "cannot store the picture of frame \"" + label + "\"";
        return false;
    }
    frame.backgroundReference().bind(*id, picture.width(), picture.height());
    giveCursor(frame, step);
    return true;
}

void addLogo(CZephyrcastBaseDocument& document, const TourPlan& plan) {
    auto logo = std::make_unique<CDrawItem_zcImage>();
    logo->imageProperties().transparency = plan.logoTransparency;
    logo->setSourcePicture(std::make_unique<CImageExt>(logoPicture()));
    logo->setPosition(plan.logo.x, plan.logo.y);
    logo->rebuildDisplayImage();
    place(document, document.masterFrame(), std::move(logo), shownBy(plan.logoShown, kFadeBoth));
}

bool setNarration(CZephyrcastBaseDocument& document, const std::vector<std::uint8_t>& ogg,
                  std::string& error) {
    MemoryByteSource source(ogg);
    VorbisCodec codec;
    if (!codec.open(source)) {
        error = "the narration is not a readable Ogg Vorbis stream";
        return false;
    }
    std::vector<std::uint8_t> pcm;
    const DecodeOutcome outcome = decodeAll(codec, [&pcm](std::span<const std::uint8_t> piece) {
        pcm.insert(pcm.end(), piece.begin(), piece.end());
        return true;
    });
    if (outcome.damaged()) {
        error = "the narration is damaged";
        return false;
    }
    CWaveSoundResource sound;
    const WaveFormat format = WaveFormat::pcm(codec.rate(), codec.channels(), 16);
    sound.SetData(std::move(pcm), &format);
    document.setSoundtrack(&sound);
    return true;
}

}  // namespace

bool buildTourDocument(const TourPlan& plan, CZephyrcastBaseDocument& document,
                       std::string& error) {
    document.setFrameSize({kScreenWidth, kScreenHeight});
    const std::unique_ptr<CThemeItem_smoke> balloon = balloonItem(document);
    for (std::size_t i = 0; i < plan.steps.size(); ++i) {
        const TourStep& step = plan.steps[i];
        const std::string label =
            step.caption ? step.caption->heading : "Scrolling " + std::to_string(i + 1);
        if (!addFrame(document, plan.pictures[i], step, label, error))
            return false;
        CZephyrcastFrameElement& frame = *document.framePool().back();
        if (step.highlight)
            addHighlight(document, frame, *step.highlight, step.highlightShown);
        if (step.caption)
            addCaption(document, frame, balloon.get(), *step.caption);
        if (i == 0 && !plan.narration.empty())
            place(document, frame, std::make_unique<CSoundEffectItem>(),
                  shownBy({0, step.length, 0, 0}, kFadeNone));
        if (i == kOuttakeAfter && plan.steps.size() > kOuttakeAfter + 1) {
            TourStep outtake = plan.steps[kOuttakeAfter - 1];
            outtake.length = kOuttakeLength;
            if (!addFrame(document, plan.pictures[kOuttakeAfter - 1], outtake,
                          "Outtake: the dialog again", error))
                return false;
            document.framePool().back()->frameInfo().visibility = false;
        }
    }
    addLogo(document, plan);
    if (!plan.narration.empty() && !setNarration(document, plan.narration, error))
        return false;
    document.buildPlayingOrder();
    document.linkCursors();
    document.resolvePlacements();
    document.buildSpanTables();
    return true;
}

}  // namespace lumenreel::tour
