#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "images/CursorImage.h"
#include "images/ImageExt.h"
#include "published/ZcdPrimitives.h"

namespace NKWXDecodersEncoders {

using lumenreel::zcd::Point;
using lumenreel::zcd::Rect;

class CExternalFormatReader;

// Fade kinds of a placement; stored values other than 1, 2 and 3 read as kNoFade.
enum PlacementKind : std::int32_t { kNoFade = 0, kFadeIn = 1, kFadeOut = 2, kFadeInOut = 3 };

// Placement types, as the frame composition tells overlays apart.
enum PlacementType : int {
    kCursorPlacement = 9,
    kCaptionPlacement = 10,
    kImagePlacement = 12,
    kHighlightPlacement = 13
};

// Fade lengths and transparencies of a placement, in stored order.
struct SPlacementTiming {
    float fadeInLength = 0;
    float fadeOutLength = 0;
    float fadeInStart = 0;
    float fadeInEnd = 0;
    float fadeOutStart = 0;
    float fadeOutEnd = 0;
};

// Only cursors whose stored mask and colour bitmaps fit together are kept as objects, so every
// cursor the reader hands out can be drawn.
class CReaderObject_cursor {
public:
    Point hotSpot;
    lumenreel::CursorImage image;
};

class CReaderObject_captionTemplate {
public:
    std::int32_t id = 0;
    Point point;  // the split point of the balloon
    Rect rect;
    std::string name;
    std::uint32_t value = 0;
};

class CReaderObject_caption {
public:
    std::int32_t id = 0;
    Rect rect;
    std::uint32_t templateIndex = 0;  // caption-image index when the captions are images
    Rect textRect;                    // relative to rect
    std::string richText;
    bool captionsAreImages = false;
    const CExternalFormatReader* reader = nullptr;

    // The template this caption is built from, or nothing.
    const CReaderObject_captionTemplate* GetTemplate() const;
};

class CReaderObject_image {
public:
    std::int32_t poolIndex = 0;
    std::int32_t id = 0;
    Rect rect;
};

class CReaderObject_highlight {
public:
    std::int32_t id = 0;
    Rect rect;
    std::uint32_t frameColour = 0;  // 0x00BBGGRR
    std::uint32_t fillColour = 0;
    float frameWidth = 0;
    bool noFill = false;
};

// Shows one object on one frame between start and end, with fades.
class CReaderLink {
public:
    virtual ~CReaderLink() = default;
    virtual int placementType() const = 0;
    virtual std::int32_t objectId() const = 0;

    // 0 … 255 at t seconds from the frame's start.
    int GetOpacity(float t) const;

    std::int32_t frameId = 0;
    std::int32_t order = 0;
    float transparency = 0;
    float start = 0;
    float end = 0;
    SPlacementTiming timing;
    PlacementKind kind = kNoFade;
    const CExternalFormatReader* reader = nullptr;
};

template <class Object, int Type>
class CReaderLinkTo : public CReaderLink {
public:
    int placementType() const override { return Type; }
    std::int32_t objectId() const override { return object ? object->id : -1; }
    const Object* object = nullptr;
};

using CReaderLink_caption = CReaderLinkTo<CReaderObject_caption, kCaptionPlacement>;
using CReaderLink_image = CReaderLinkTo<CReaderObject_image, kImagePlacement>;
using CReaderLink_highlight = CReaderLinkTo<CReaderObject_highlight, kHighlightPlacement>;

// The cursor shown on a frame and where it ends up.
struct CReaderLink_cursor {
    std::int32_t cursorIndex = 0;
    std::int32_t frameId = 0;
    bool curvedPath = false;
    std::int16_t x = 0;
    std::int16_t y = 0;
};

struct SFrameRecord {
    std::int32_t id = 0;
    float duration = 0;
    float cursorMoveStart = 0;
    float cursorMoveEnd = 0;
};

class CReaderObject_frame {
public:
    CReaderObject_frame(const SFrameRecord& record, bool master,
                        const CExternalFormatReader* reader)
        : m_record(record), m_master(master), m_reader(reader) {}

    const SFrameRecord& record() const { return m_record; }
    std::int32_t GetId() const { return m_record.id; }
    float GetDuration() const { return m_record.duration; }
    bool IsMaster() const { return m_master; }
    const CExternalFormatReader* reader() const { return m_reader; }
    const CReaderLink_cursor* GetCursorPlacement() const;
    // Start and end seconds of the cursor's move; 0 and 1 when the frame shows no cursor.
    std::pair<float, float> GetCursorMoveInterval() const;

    int GetPlacementCount() const { return static_cast<int>(m_merged.size()); }
    const CReaderLink* GetPlacement(int i) const { return m_merged.at(i); }
    const CReaderLink* FindPlacementByObject(std::int32_t id) const;
    const CReaderLink* FindPlacementByOrder(std::int32_t order) const;

    void setCursorPlacement(const CReaderLink_cursor& placement) { m_cursor = placement; }
    void addCaptionPlacement(std::unique_ptr<CReaderLink_caption> link);
    void addImagePlacement(std::unique_ptr<CReaderLink_image> link);
    void addHighlightPlacement(std::unique_ptr<CReaderLink_highlight> link);
    // Merges captions, images and highlights into one list; false when some order from 0 to
    // count - 1 is missing.
    bool MergePlacements();

private:
    SFrameRecord m_record;
    bool m_master = false;
    const CExternalFormatReader* m_reader = nullptr;
    std::optional<CReaderLink_cursor> m_cursor;
    std::vector<std::unique_ptr<CReaderLink_caption>> m_captions;
    std::vector<std::unique_ptr<CReaderLink_image>> m_images;
    std::vector<std::unique_ptr<CReaderLink_highlight>> m_highlights;
    std::vector<const CReaderLink*> m_merged;
};

}  // namespace NKWXDecodersEncoders
