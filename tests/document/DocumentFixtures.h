#pragma once

#include <memory>
#include <vector>

#include "document/ZephyrcastBaseDocument.h"
#include "images/CursorImage.h"
#include "images/ImageExt.h"
#include "items/BalloonThemeFixture.h"
#include "items/DrawItemHighlight.h"
#include "items/DrawItemImage.h"
#include "items/DrawItemSmoke.h"
#include "items/ItemFixtures.h"
#include "items/SoundEffectItem.h"
#include "sound/WaveFormat.h"

namespace lumenreel::test {

inline constexpr Size kFrameSize{64, 48};

// A frame picture with a band whose place tells frames apart.
inline CImageExt framePicture(int band) {
    CImageExt picture = filled(kFrameSize.width, kFrameSize.height, 0xFF203040);
    for (int y = 0; y < 8; ++y)
        for (int x = band * 8; x < band * 8 + 8 && x < kFrameSize.width; ++x)
            picture.setPixel(x, y, 0xFFE0C080);
    return picture;
}

inline void setBackground(CZephyrcastBaseDocument& document, CZephyrcastFrameElement& frame,
                          const CImageExt& picture) {
    const auto id = document.backgroundStream().addPicture(picture);
    ASSERT_TRUE(id);
    frame.backgroundReference().bind(*id, picture.width(), picture.height());
}

inline CDrawItem_link placement(float start, float end, int fadeType = kFadeNone) {
    CDrawItem_link link;
    link.visStart = start;
    link.visEnd = end;
    link.fadeType = fadeType;
    return link;
}

// Places an item owned elsewhere on the frame.
inline void refer(CZephyrcastFrameElement& frame, CDrawCommonItem& item, float start, float end) {
    CDrawItem_link link = placement(start, end);
    link.status = 1;
    link.item = &item;
    link.uniqueId = item.serialNumber();
    frame.itemList().insert(link, nullptr);
}

template <class Item>
Item& own(CZephyrcastBaseDocument& document, CZephyrcastFrameElement& frame,
          std::unique_ptr<Item> item, CDrawItem_link link) {
    Item& placed = *item;
    item->setDocument(&document);
    frame.itemList().insert(link, std::move(item));
    return placed;
}

inline std::unique_ptr<CDrawItem_zcHiglight> highlightAt(Rect rect) {
    auto item = std::make_unique<CDrawItem_zcHiglight>();
    item->highlightProperties().transparency = 0.0f;
    item->highlightProperties().frameSize = 2;
    item->highlightProperties().frameColour = 0x00FF00;
    item->highlightProperties().fillColour = 0xFF0000;
    item->setRect(rect, false);
    item->rebuildDisplayImage();
    return item;
}

inline std::unique_ptr<CDrawItem_zcImage> pictureAt(Point at, std::uint32_t colour) {
    auto item = std::make_unique<CDrawItem_zcImage>();
    item->imageProperties().transparency = 0.0f;
    item->setSourcePicture(std::make_unique<CImageExt>(filled(10, 10, colour)));
    item->setPosition(at.x, at.y);
    item->rebuildDisplayImage();
    return item;
}

inline void giveCursor(CZephyrcastFrameElement& frame, Point at, float start, float end) {
    CDrawItem_zcCursor& cursor = frame.cursor();
    cursor.setImage(
        CursorImage::fromImages(0, 0, filled(4, 4, 0xFF000000), filled(4, 4, 0xFFFFFFFF)));
    cursor.setPosition(at.x, at.y);
    cursor.cursorProperties().moveType = 0;
    cursor.cursorProperties().startTime = start;
    cursor.cursorProperties().endTime = end;
}

// The steps a reader runs after reading, for a document built in code.
inline void settle(CZephyrcastBaseDocument& document) {
    document.buildPlayingOrder();
    document.linkCursors();
    document.resolvePlacements();
    document.buildSpanTables();
}

// Four frames of 2, 1 (hidden), 3 and 2 seconds over key, delta and clone pictures, with every
// item kind: a highlight owned by frame 0 and referred to from frames 2 and 3, a picture, a
// caption, a sound effect, a master-frame picture, cursors, a soundtrack and thumbnails.
inline void buildRichDocument(CZephyrcastBaseDocument& document) {
    document.setFrameSize(kFrameSize);
    const float durations[] = {2.0f, 1.0f, 3.0f, 2.0f};
    for (int i = 0; i < 4; ++i) {
        CZephyrcastFrameElement& frame = document.appendFrame();
        frame.frameInfo().duration = durations[i];
        frame.frameInfo().label = "frame " + std::to_string(i);
        giveCursor(frame, {5 + 10 * i, 30}, 0.5f, 1.5f);
    }
    auto& pool = document.framePool();
    pool[1]->frameInfo().visibility = false;
    pool[2]->frameInfo().transparency = 0.5f;
    setBackground(document, *pool[0], framePicture(0));
    setBackground(document, *pool[1], framePicture(1));
    setBackground(document, *pool[2], framePicture(1));
    setBackground(document, *pool[3], framePicture(3));

    auto& highlight =
        own(document, *pool[0], highlightAt({4, 10, 30, 26}), placement(0.0f, 2.0f, kFadeIn));
    refer(*pool[2], highlight, 0.0f, 3.0f);
    refer(*pool[3], highlight, 0.0f, 1.0f);
    own(document, *pool[2], pictureAt({40, 20}, 0xFF0080FF), placement(0.5f, 3.0f, kFadeBoth));
    auto caption = std::make_unique<CDrawItem_zcSmoke>();
    caption->setDocument(&document);
    caption->smokeProperties().themeItemName = "Mine";
    caption->smokeProperties().transparency = 0.0f;
    caption->setPlainText("Hi");
    caption->setPosition(2, 2);
    own(document, *pool[3], std::move(caption), placement(0.0f, 2.0f));
    own(document, *pool[0], std::make_unique<CSoundEffectItem>(), placement(0.0f, 2.0f));
    own(document, document.masterFrame(), pictureAt({50, 36}, 0xFF00FF00), placement(1.0f, 6.0f));

    CWaveSoundResource sound;
    std::vector<std::uint8_t> samples(8000);
    for (std::size_t i = 0; i < samples.size(); ++i)
        samples[i] = static_cast<std::uint8_t>(i * 7);
    const WaveFormat format = WaveFormat::pcm(8000, 1, 8);
    sound.SetData(std::move(samples), &format);
    document.setSoundtrack(&sound);
    document.thumbnails().thumbWidth = 16;
    document.thumbnails().thumbHeight = 12;
    document.thumbnails().setPicture(*pool[0], filled(16, 12, 0xFF112233));
    settle(document);
}

}  // namespace lumenreel::test
