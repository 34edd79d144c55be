// The object stream of a published demo: frames, picture pool and the four object sections.
// Counts are bounded by the bytes that remain before anything is allocated; placements whose
// frame or object does not exist are skipped and listed.
#include "published/ObjectSectionReader.h"

#include <unordered_map>

#include "base/ByteReader.h"
#include "images/ImageDecoder.h"
#include "published/PackedData.h"
#include "published/ZcdPrimitives.h"

namespace NKWXDecodersEncoders {

using lumenreel::ByteReader;
using lumenreel::zcd::readBlob;
using lumenreel::zcd::readCount;
using lumenreel::zcd::ReadPoint;
using lumenreel::zcd::ReadRect;
using lumenreel::zcd::readString;

namespace {

// Smallest stored size of each record, for bounding counts.
constexpr std::size_t kFrameRecordBytes = 16;
constexpr std::size_t kPictureRecordBytes = 5;
constexpr std::size_t kCursorRecordBytes = 10;
constexpr std::size_t kCursorPlacementBytes = 11;
constexpr std::size_t kTemplateRecordBytes = 36;
constexpr std::size_t kCaptionRecordBytes = 44;
constexpr std::size_t kPlacementRecordBytes = 52;
constexpr std::size_t kImageRecordBytes = 24;
constexpr std::size_t kHighlightRecordBytes = 33;

PlacementKind ReadPlacementKind(ByteReader& in) {
    std::int32_t kind = in.i32();
    return kind == kFadeIn || kind == kFadeOut || kind == kFadeInOut ? PlacementKind(kind)
                                                                     : kNoFade;
}

SPlacementTiming ReadPlacementTiming(ByteReader& in) {
    SPlacementTiming t;
    t.fadeInLength = in.f32();
    t.fadeOutLength = in.f32();
    t.fadeInStart = in.f32();
    t.fadeInEnd = in.f32();
    t.fadeOutStart = in.f32();
    t.fadeOutEnd = in.f32();
    return t;
}

// transparency, start, end, order, timing: the tail every overlay placement shares.
void readPlacementTail(ByteReader& in, CReaderLink& link) {
    link.transparency = in.f32();
    link.start = in.f32();
    link.end = in.f32();
    link.order = in.i32();
    link.timing = ReadPlacementTiming(in);
}

template <class Object>
std::unordered_map<std::int32_t, const Object*> indexById(const std::vector<Object>& objects) {
    std::unordered_map<std::int32_t, const Object*> byId;
    for (const auto& object : objects)
        byId.emplace(object.id, &object);
    return byId;
}

class ObjectSectionReader {
public:
    ObjectSectionReader(DemoContent& content, const CExternalFormatReader* owner, ByteReader& in,
                        std::string& error)
        : c(content), m_owner(owner), in(in), m_error(error) {}

    bool read() {
        return readFrames() && readPool() && readCursors() && readCaptions() && readImages() &&
               readHighlights();
    }

private:
    bool truncated(const std::string& what) {
        m_error = "truncated " + what;
        return false;
    }
    void skip(std::string note) { c.skipped.push_back(std::move(note)); }

    CReaderObject_frame* frameWithId(std::int32_t id) {
        auto found = m_frameById.find(id);
        return found == m_frameById.end() ? nullptr : found->second;
    }

    bool readFrames() {
        auto count = readCount(in, kFrameRecordBytes);
        bool master = in.u8() != 0;
        std::uint64_t records = std::uint64_t{count.value_or(0)} + (master ? 1 : 0);
        if (!count || !in.canHold(records, kFrameRecordBytes))
            return truncated("frame list");
        c.hasMaster = master;
        c.frames.reserve(records);
        for (std::uint64_t i = 0; i < records; ++i) {
            SFrameRecord record{in.i32(), in.f32(), in.f32(), in.f32()};
            c.frames.push_back(
                std::make_unique<CReaderObject_frame>(record, master && i == 0, m_owner));
            m_frameById.emplace(record.id, c.frames.back().get());
        }
        return in.ok() || truncated("frame list");
    }

    // A blob holding an image file; an undecodable one is left out and listed with the
    // decoder's reason.
    bool readPicture(std::vector<std::optional<CImageExt>>& pictures, const std::string& what) {
        auto file = readBlob(in);
        if (!file)
            return truncated(what);
        std::string reason;
        CImageExt image;
        if (lumenreel::decodeImage(*file, image, reason)) {
            pictures.emplace_back(std::move(image));
        } else {
            pictures.emplace_back();
            skip(what + " could not be decoded: " + reason);
        }
        return true;
    }

    bool readFile(std::span<const std::uint8_t>& file) {
        auto blob = readBlob(in);
        if (blob)
            file = *blob;
        return blob.has_value();
    }

    bool readPool() {
        auto count = readCount(in, kPictureRecordBytes);
        if (!count)
            return truncated("picture pool");
        c.pool.reserve(*count);
        for (std::uint32_t i = 0; i < *count; ++i) {
            in.u8();
            if (!readPicture(c.pool, "pool picture " + std::to_string(i)))
                return false;
        }
        return true;
    }

    bool readCursors() {
        in.skip(16);
        auto count = readCount(in, kCursorRecordBytes);
        if (!count)
            return truncated("cursor section");
        c.cursors.reserve(*count);
        for (std::uint32_t i = 0; i < *count; ++i) {
            Point hotSpot = ReadPoint(in);
            bool hasMask = in.u8() != 0;
            bool hasColour = in.u8() != 0;
            if (!in.ok())
                return truncated("cursor");
            std::span<const std::uint8_t> mask, colour;
            if (hasMask && !readFile(mask))
                return truncated("cursor mask");
            if (hasColour && !readFile(colour))
                return truncated("cursor colour");
            auto image = lumenreel::CursorImage::fromBitmaps(hotSpot.x, hotSpot.y, mask, colour);
            if (image) {
                c.cursors.push_back(CReaderObject_cursor{hotSpot, std::move(*image)});
            } else {
                c.cursors.emplace_back();
                skip("cursor " + std::to_string(i) + " has no usable bitmaps");
            }
        }
        auto placements = readCount(in, kCursorPlacementBytes);
        if (!placements)
            return truncated("cursor placements");
        for (std::uint32_t i = 0; i < *placements; ++i) {
            CReaderLink_cursor link;
            link.cursorIndex = static_cast<std::int16_t>(in.u16());
            link.frameId = in.i32();
            link.curvedPath = in.u8() == 1;
            link.x = static_cast<std::int16_t>(in.u16());
            link.y = static_cast<std::int16_t>(in.u16());
            if (!in.ok())
                return truncated("cursor placements");
            auto* frame = frameWithId(link.frameId);
            if (!frame || link.cursorIndex < 0 ||
                link.cursorIndex >= static_cast<int>(c.cursors.size())) {
                skip("cursor placement " + std::to_string(i) + " names no frame or cursor");
                continue;
            }
            frame->setCursorPlacement(link);
        }
        return true;
    }

    bool readCaptions() {
        in.skip(16);
        c.captionsAreImages = in.u8() != 0;
        if (c.captionsAreImages) {
            auto count = readCount(in, 4);
            if (!count)
                return truncated("caption images");
            c.captionImages.reserve(*count);
            for (std::uint32_t i = 0; i < *count; ++i)
                if (!readPicture(c.captionImages, "caption image " + std::to_string(i)))
                    return false;
        } else {
            auto count = readCount(in, kTemplateRecordBytes);
            if (!count)
                return truncated("caption templates");
            c.templates.resize(*count);
            for (auto& t : c.templates) {
                t.id = in.i32();
                t.point = ReadPoint(in);
                t.rect = ReadRect(in);
                auto name = readString(in);
                t.value = in.u32();
                if (!name || !in.ok())
                    return truncated("caption template");
                t.name = std::move(*name);
            }
        }
        auto count = readCount(in, kCaptionRecordBytes);
        if (!count)
            return truncated("captions");
        c.captions.resize(*count);
        for (auto& caption : c.captions) {
            caption.id = in.i32();
            caption.rect = ReadRect(in);
            caption.templateIndex = in.u32();
            caption.textRect = ReadRect(in);
            auto text = readString(in);
            if (!text || !in.ok())
                return truncated("caption");
            caption.richText = std::move(*text);
            caption.captionsAreImages = c.captionsAreImages;
            caption.reader = m_owner;
        }
        auto byId = indexById(c.captions);
        return readPlacements<CReaderLink_caption>("caption", byId, true,
                                                   [](CReaderObject_frame& frame, auto link) {
                                                       frame.addCaptionPlacement(std::move(link));
                                                   });
    }

    bool readImages() {
        in.skip(16);
        auto count = readCount(in, kImageRecordBytes);
        if (!count)
            return truncated("images");
        c.images.resize(*count);
        for (auto& image : c.images) {
            image.poolIndex = in.i32();
            image.id = in.i32();
            image.rect = ReadRect(in);
        }
        if (!in.ok())
            return truncated("images");
        auto byId = indexById(c.images);
        return readPlacements<CReaderLink_image>("image", byId, false,
                                                 [](CReaderObject_frame& frame, auto link) {
                                                     frame.addImagePlacement(std::move(link));
                                                 });
    }

    bool readHighlights() {
        in.skip(16);
        auto count = readCount(in, kHighlightRecordBytes);
        if (!count)
            return truncated("highlights");
        c.highlights.resize(*count);
        for (auto& highlight : c.highlights) {
            highlight.id = in.i32();
            highlight.rect = ReadRect(in);
            highlight.frameColour = in.u32();
            highlight.fillColour = in.u32();
            highlight.frameWidth = in.f32();
            highlight.noFill = in.u8() != 0;
        }
        if (!in.ok())
            return truncated("highlights");
        auto byId = indexById(c.highlights);
        return readPlacements<CReaderLink_highlight>(
            "highlight", byId, false, [](CReaderObject_frame& frame, auto link) {
                frame.addHighlightPlacement(std::move(link));
            });
    }

    // Caption placements store the kind first; the others store it after the two ids.
    template <class Link, class Object, class Attach>
    bool readPlacements(const std::string& what,
                        const std::unordered_map<std::int32_t, const Object*>& byId, bool kindFirst,
                        Attach attach) {
        auto count = readCount(in, kPlacementRecordBytes);
        if (!count)
            return truncated(what + " placements");
        for (std::uint32_t i = 0; i < *count; ++i) {
            auto link = std::make_unique<Link>();
            if (kindFirst)
                link->kind = ReadPlacementKind(in);
            link->frameId = in.i32();
            std::int32_t objectId = in.i32();
            if (!kindFirst)
                link->kind = ReadPlacementKind(in);
            readPlacementTail(in, *link);
            if (!in.ok())
                return truncated(what + " placements");
            link->reader = m_owner;
            auto object = byId.find(objectId);
            auto* frame = frameWithId(link->frameId);
            if (!frame || object == byId.end()) {
                skip(what + " placement " + std::to_string(i) + " names no frame or object");
                continue;
            }
            link->object = object->second;
            attach(*frame, std::move(link));
        }
        return true;
    }

    DemoContent& c;  // the load's result, filled section by section
    const CExternalFormatReader* m_owner;
    ByteReader& in;
    std::string& m_error;
    std::unordered_map<std::int32_t, CReaderObject_frame*> m_frameById;  // first frame of an id
};

}  // namespace

bool readObjectStream(std::span<const std::uint8_t> packed, const lumenreel::LoadLimits& limits,
                      const CExternalFormatReader* owner, DemoContent& content,
                      std::string& error) {
    std::string reason;
    auto inflated = lumenreel::zcd::inflatePacked(packed, limits.maxInflatedBytes, reason);
    if (!inflated) {
        error = "object stream: " + reason;
        return false;
    }
    ByteReader in(*inflated);
    return ObjectSectionReader(content, owner, in, error).read();
}

}  // namespace NKWXDecodersEncoders
