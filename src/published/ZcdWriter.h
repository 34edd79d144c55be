#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "images/ImageExt.h"
#include "published/PictureStreamEncoder.h"
#include "published/ReaderObjects.h"
#include "published/SoundTrack.h"

namespace lumenreel::zcd {

using NKWXDecodersEncoders::CReaderLink_cursor;
using NKWXDecodersEncoders::CReaderObject_caption;
using NKWXDecodersEncoders::CReaderObject_captionTemplate;
using NKWXDecodersEncoders::CReaderObject_highlight;
using NKWXDecodersEncoders::CReaderObject_image;
using NKWXDecodersEncoders::SFrameRecord;
using NKWXDecodersEncoders::SPlacementTiming;

struct WriterFrame {
    SFrameRecord record;
    const CImageExt* picture = nullptr;  // the captured screen, all of one size
};

struct WriterCursor {
    Point hotSpot;
    std::vector<std::uint8_t> maskFile;    // an image file; empty: none
    std::vector<std::uint8_t> colourFile;  // an image file; empty: none
};

// A placement as stored; the kind is kept as given so that any stored value can be written.
struct WriterPlacement {
    std::int32_t kind = 0;
    std::int32_t frameId = 0;
    std::int32_t objectId = 0;
    float transparency = 0;
    float start = 0;
    float end = 0;
    std::int32_t order = 0;
    SPlacementTiming timing;
};

// Everything a published demo holds. Empty sizes default to the pictures' size.
struct ZcdContent {
    Size displaySize;
    Size bitmapSize;
    std::vector<WriterFrame> frames;
    // Written first, standing for the whole demo; its duration is the sum of the frames'.
    std::optional<std::int32_t> masterFrameId;
    std::vector<std::vector<std::uint8_t>> poolPictures;  // image files
    std::vector<WriterCursor> cursors;
    std::vector<CReaderLink_cursor> cursorPlacements;
    bool captionsAreImages = false;
    std::vector<CReaderObject_captionTemplate> captionTemplates;
    std::vector<std::vector<std::uint8_t>> captionImages;  // image files
    std::vector<CReaderObject_caption> captions;
    std::vector<WriterPlacement> captionPlacements;
    std::vector<CReaderObject_image> images;
    std::vector<WriterPlacement> imagePlacements;
    std::vector<CReaderObject_highlight> highlights;
    std::vector<WriterPlacement> highlightPlacements;
    const CSoundTrack* soundtrack = nullptr;
    bool compressWaveSamples = true;
    PictureStreamOptions pictureStream;
};

// Writes a published demo file; nullopt with a reason when the content cannot be written.
std::optional<std::vector<std::uint8_t>> writeZcd(const ZcdContent& content, std::string& error,
                                                  PictureStreamStats* stats = nullptr);

}  // namespace lumenreel::zcd
