// A published demo in stored order: header, soundtrack, picture stream, object stream.
#include "published/DemoParser.h"

#include "base/ByteReader.h"
#include "images/ImageLimits.h"
#include "published/ExternalFormatReader.h"
#include "published/ObjectSectionReader.h"
#include "published/ZcdPrimitives.h"

namespace NKWXDecodersEncoders {

using lumenreel::ByteReader;

namespace {

class DemoParser {
public:
    DemoParser(const lumenreel::LoadLimits& limits, const TraceSink& trace,
               const CExternalFormatReader* owner, std::string& error)
        : m_limits(limits), m_trace(trace), m_owner(owner), m_error(error) {}

    std::optional<DemoContent> parse(std::span<const std::uint8_t> file) {
        ByteReader in(file);
        if (!(readHeader(in) && readSoundtrack(in) && readPictureStream(in) && readObjects(in)))
            return std::nullopt;
        mergeFramePlacements();
        buildOverlayList();
        c.pictureAccess = std::make_unique<CImageSequenceDecoder_dataReader>(*c.decoder);
        return std::move(c);
    }

private:
    bool fail(std::string reason) {
        m_error = std::move(reason);
        return false;
    }

    bool readHeader(ByteReader& in) {
        auto identifier = in.take(16);
        if (!in.ok())
            return fail("too short for a published demo");
        if (Guid::fromBytes(identifier) != CExternalFormatReader::kFileIdentifier)
            return fail("not a published demo");
        c.displaySize = {in.i32(), in.i32()};
        c.bitmapSize = {in.i32(), in.i32()};
        if (!in.ok())
            return fail("truncated header");
        if (!lumenreel::imageSizeAllowed(c.displaySize.width, c.displaySize.height) ||
            !lumenreel::imageSizeAllowed(c.bitmapSize.width, c.bitmapSize.height))
            return fail("bad display or bitmap size");
        return true;
    }

    bool readSoundtrack(ByteReader& in) {
        auto sound = lumenreel::zcd::ReadSoundtrack(in, m_limits);
        if (!in.ok())
            return fail(sound.error.empty() ? "truncated soundtrack" : sound.error);
        if (!sound.error.empty())
            c.skipped.push_back(sound.error + "; playing without sound");
        if (!sound.note.empty())
            c.skipped.push_back(sound.note);
        c.soundtrack = std::move(sound.track);
        return true;
    }

    bool readPictureStream(ByteReader& in) {
        auto pictureStream = lumenreel::zcd::readBlob(in);
        if (!pictureStream)
            return fail("truncated picture stream");
        c.decoder = std::make_unique<CImageSequenceDecoder>();
        c.decoder->SetTraceLog(m_trace);
        c.decoder->setLimits(m_limits);
        if (!c.decoder->Load(*pictureStream))
            return fail(c.decoder->lastError());
        const auto& left = c.decoder->skipped();
        c.skipped.insert(c.skipped.end(), left.begin(), left.end());
        return true;
    }

    bool readObjects(ByteReader& in) {
        auto objectStream = lumenreel::zcd::readBlob(in);
        if (!objectStream)
            return fail("truncated object stream");
        return readObjectStream(*objectStream, m_limits, m_owner, c, m_error);
    }

    void mergeFramePlacements() {
        for (auto& frame : c.frames) {
            if (!frame->MergePlacements()) {
                c.skipped.push_back("placement orders of frame " + std::to_string(frame->GetId()) +
                                    " have gaps; later frames left unmerged");
                return;
            }
        }
    }

    void buildOverlayList() {
        for (const auto& caption : c.captions)
            c.overlays.emplace_back(&caption);
        for (const auto& image : c.images)
            c.overlays.emplace_back(&image);
        for (const auto& highlight : c.highlights)
            c.overlays.emplace_back(&highlight);
    }

    const lumenreel::LoadLimits& m_limits;
    const TraceSink& m_trace;
    const CExternalFormatReader* m_owner;
    std::string& m_error;
    DemoContent c;  // what the load produces, handed over whole when it succeeds
};

}  // namespace

std::optional<DemoContent> parseDemo(std::span<const std::uint8_t> file,
                                     const lumenreel::LoadLimits& limits, const TraceSink& trace,
                                     const CExternalFormatReader* owner, std::string& error) {
    return DemoParser(limits, trace, owner, error).parse(file);
}

}  // namespace NKWXDecodersEncoders
