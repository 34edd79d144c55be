#pragma once

#include <memory>
#include <optional>
#include <string>
#include <variant>
#include <vector>

#include "images/ImageExt.h"
#include "published/ImageSequenceDecoder.h"
#include "published/ReaderObjects.h"
#include "published/SoundTrack.h"

namespace NKWXDecodersEncoders {

using lumenreel::zcd::Size;

// One entry of the combined overlay list.
using OverlayObject = std::variant<const CReaderObject_caption*, const CReaderObject_image*,
                                   const CReaderObject_highlight*>;

// Everything loading a published demo produces. The objects point at each other (placements at
// their objects, overlays at the objects, the picture access at the decoder) through the heap or
// vector storage, which moving the whole value keeps where it is.
struct DemoContent {
    std::vector<std::string> skipped;  // damage in optional data that was passed over
    Size displaySize;
    Size bitmapSize;
    bool hasMaster = false;
    std::vector<std::unique_ptr<CReaderObject_frame>> frames;  // master first when present
    // Stored objects by index; nothing where the stored pictures could not be used, so that an
    // index keeps naming the same object and no empty picture is ever handed out.
    std::vector<std::optional<CImageExt>> pool;
    std::vector<std::optional<CReaderObject_cursor>> cursors;
    bool captionsAreImages = false;
    std::vector<CReaderObject_captionTemplate> templates;
    std::vector<std::optional<CImageExt>> captionImages;
    std::vector<CReaderObject_caption> captions;
    std::vector<CReaderObject_image> images;
    std::vector<CReaderObject_highlight> highlights;
    std::vector<OverlayObject> overlays;
    std::unique_ptr<CImageSequenceDecoder> decoder;
    std::unique_ptr<CImageSequenceDecoder_dataReader> pictureAccess;
    std::unique_ptr<CSoundTrack> soundtrack;
};

}  // namespace NKWXDecodersEncoders
