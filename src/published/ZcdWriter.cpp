#include "published/ZcdWriter.h"

#include <limits>

#include "base/Guid.h"
#include "images/ImageLimits.h"
#include "published/ExternalFormatReader.h"
#include "published/PackedData.h"

namespace lumenreel::zcd {

namespace {

// The sections' identifiers are written for readers that want them; ours does not compare them.
constexpr Guid kCursorSection = Guid::fromString("{6F1C2A7E-0B3D-4E59-9A41-3C7D5E21B8F0}");
constexpr Guid kCaptionSection = Guid::fromString("{8A24D6C1-55E0-4B7A-8F13-92B0C4E7D516}");
constexpr Guid kImageSection = Guid::fromString("{1D9E7B30-A6C4-4F28-B5E1-07F3A89C2D44}");
constexpr Guid kHighlightSection = Guid::fromString("{C3B58E12-7D49-4A06-9E2F-5B61D0A47C83}");

void writeFrames(ZcdOut& out, const ZcdContent& content) {
    out.i32(static_cast<std::int32_t>(content.frames.size()));
    out.u8(content.masterFrameId ? 1 : 0);
    auto record = [&](const SFrameRecord& r) {
        out.i32(r.id);
        out.f32(r.duration);
        out.f32(r.cursorMoveStart);
        out.f32(r.cursorMoveEnd);
    };
    if (content.masterFrameId) {
        float total = 0;
        for (const auto& frame : content.frames)
            total += frame.record.duration;
        record({*content.masterFrameId, total, 0, 1});
    }
    for (const auto& frame : content.frames)
        record(frame.record);
}

void writePlacementTail(ZcdOut& out, const WriterPlacement& p) {
    out.f32(p.transparency);
    out.f32(p.start);
    out.f32(p.end);
    out.i32(p.order);
    for (float v : {p.timing.fadeInLength, p.timing.fadeOutLength, p.timing.fadeInStart,
                    p.timing.fadeInEnd, p.timing.fadeOutStart, p.timing.fadeOutEnd})
        out.f32(v);
}

void writeObjectPlacements(ZcdOut& out, const std::vector<WriterPlacement>& placements) {
    out.i32(static_cast<std::int32_t>(placements.size()));
    for (const auto& p : placements) {
        out.i32(p.frameId);
        out.i32(p.objectId);
        out.i32(p.kind);
        writePlacementTail(out, p);
    }
}

void writeCursors(ZcdOut& out, const ZcdContent& content) {
    out.bytes(kCursorSection.bytes);
    out.i32(static_cast<std::int32_t>(content.cursors.size()));
    for (const auto& cursor : content.cursors) {
        out.point(cursor.hotSpot);
        out.u8(cursor.maskFile.empty() ? 0 : 1);
        out.u8(cursor.colourFile.empty() ? 0 : 1);
        if (!cursor.maskFile.empty())
            out.blob(cursor.maskFile);
        if (!cursor.colourFile.empty())
            out.blob(cursor.colourFile);
    }
    out.i32(static_cast<std::int32_t>(content.cursorPlacements.size()));
    for (const auto& p : content.cursorPlacements) {
        out.i16(static_cast<std::int16_t>(p.cursorIndex));
        out.i32(p.frameId);
        out.u8(p.curvedPath ? 1 : 0);
        out.i16(p.x);
        out.i16(p.y);
    }
}

void writeCaptions(ZcdOut& out, const ZcdContent& content) {
    out.bytes(kCaptionSection.bytes);
    out.u8(content.captionsAreImages ? 1 : 0);
    if (content.captionsAreImages) {
        out.i32(static_cast<std::int32_t>(content.captionImages.size()));
        for (const auto& file : content.captionImages)
            out.blob(file);
    } else {
        out.i32(static_cast<std::int32_t>(content.captionTemplates.size()));
        for (const auto& t : content.captionTemplates) {
            out.i32(t.id);
            out.point(t.point);
            out.rect(t.rect);
            out.string(t.name);
            out.u32(t.value);
        }
    }
    out.i32(static_cast<std::int32_t>(content.captions.size()));
    for (const auto& c : content.captions) {
        out.i32(c.id);
        out.rect(c.rect);
        out.u32(c.templateIndex);
        out.rect(c.textRect);
        out.string(c.richText);
    }
    out.i32(static_cast<std::int32_t>(content.captionPlacements.size()));
    for (const auto& p : content.captionPlacements) {
        out.i32(p.kind);
        out.i32(p.frameId);
        out.i32(p.objectId);
        writePlacementTail(out, p);
    }
}

void writeImages(ZcdOut& out, const ZcdContent& content) {
    out.bytes(kImageSection.bytes);
    out.i32(static_cast<std::int32_t>(content.images.size()));
    for (const auto& image : content.images) {
        out.i32(image.poolIndex);
        out.i32(image.id);
        out.rect(image.rect);
    }
    writeObjectPlacements(out, content.imagePlacements);
}

void writeHighlights(ZcdOut& out, const ZcdContent& content) {
    out.bytes(kHighlightSection.bytes);
    out.i32(static_cast<std::int32_t>(content.highlights.size()));
    for (const auto& h : content.highlights) {
        out.i32(h.id);
        out.rect(h.rect);
        out.u32(h.frameColour);
        out.u32(h.fillColour);
        out.f32(h.frameWidth);
        out.u8(h.noFill ? 1 : 0);
    }
    writeObjectPlacements(out, content.highlightPlacements);
}

}  // namespace

std::optional<std::vector<std::uint8_t>> writeZcd(const ZcdContent& content, std::string& error,
                                                  PictureStreamStats* stats) {
    std::vector<const CImageExt*> pictures;
    for (const auto& frame : content.frames)
        pictures.push_back(frame.picture);
    auto pictureStream = encodePictureStream(pictures, content.pictureStream, error, stats);
    if (!pictureStream)
        return std::nullopt;

    ZcdOut objects;
    writeFrames(objects, content);
    objects.i32(static_cast<std::int32_t>(content.poolPictures.size()));
    for (const auto& file : content.poolPictures) {
        objects.u8(0);
        objects.blob(file);
    }
    writeCursors(objects, content);
    writeCaptions(objects, content);
    writeImages(objects, content);
    writeHighlights(objects, content);
    auto packedObjects = deflatePacked(objects.data());

    constexpr auto kMaxBlob = static_cast<std::size_t>(std::numeric_limits<std::int32_t>::max());
    if (pictureStream->size() > kMaxBlob || packedObjects.size() > kMaxBlob) {
        error = "demo too large for the file format";
        return std::nullopt;
    }
    Size pictureSize;
    if (!pictures.empty() && pictures[0])
        pictureSize = {pictures[0]->width(), pictures[0]->height()};
    Size display = content.displaySize.width > 0 ? content.displaySize : pictureSize;
    Size bitmap = content.bitmapSize.width > 0 ? content.bitmapSize : pictureSize;
    if (!lumenreel::imageSizeAllowed(display.width, display.height) ||
        !lumenreel::imageSizeAllowed(bitmap.width, bitmap.height)) {
        error = "no usable display and bitmap size";
        return std::nullopt;
    }

    ZcdOut file;
    file.bytes(NKWXDecodersEncoders::CExternalFormatReader::kFileIdentifier.bytes);
    file.i32(display.width);
    file.i32(display.height);
    file.i32(bitmap.width);
    file.i32(bitmap.height);
    writeSoundtrack(file.data(), content.soundtrack, content.compressWaveSamples);
    file.blob(*pictureStream);
    file.blob(packedObjects);
    return file.take();
}

}  // namespace lumenreel::zcd
