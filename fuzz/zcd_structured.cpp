// Published demos built through the writer from fuzzer-chosen structure, then loaded and drawn at
// several moments of every frame. Byte-level fuzzing of the file almost never produces valid
// pictures whose sizes disagree or ids that name an object of another kind; building the file
// reaches those in a few runs.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "images/BmpCodec.h"
#include "images/ImageExt.h"
#include "images/PngCodec.h"
#include "player/DocImp.h"
#include "published/ExternalFormatReader.h"
#include "published/ZcdWriter.h"

extern "C" const char* __lsan_default_suppressions() {
    return "leak:libfontconfig.so";
}

namespace {

using namespace lumenreel;
using zcd::WriterPlacement;

constexpr int kMaxObjects = 4;
constexpr std::int32_t kMaxId = 8;  // small, so ids meet across frames and object kinds

CImageExt patternPicture(FuzzedDataProvider& in, int width, int height) {
    CImageExt picture;
    picture.create(width, height, 24);
    std::uint32_t seed = in.ConsumeIntegral<std::uint32_t>();
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            picture.setPixel(x, y, (seed * static_cast<std::uint32_t>(x * 31 + y * 17 + 1)) >> 8);
    return picture;
}

// An image file of a chosen size and kind, raw bytes that may not decode, or nothing.
std::vector<std::uint8_t> pictureFile(FuzzedDataProvider& in) {
    std::vector<std::uint8_t> file;
    switch (in.ConsumeIntegralInRange(0, 3)) {
        case 0:
            encodePng(patternPicture(in, in.ConsumeIntegralInRange(1, 24),
                                     in.ConsumeIntegralInRange(1, 24)),
                      file);
            break;
        case 1:
            encodeMonochromeBmp(patternPicture(in, in.ConsumeIntegralInRange(1, 16),
                                               in.ConsumeIntegralInRange(1, 32)),
                                file);
            break;
        case 2:
            file = in.ConsumeBytes<std::uint8_t>(in.ConsumeIntegralInRange(0, 48));
            break;
        default:
            break;
    }
    return file;
}

zcd::Rect rectIn(FuzzedDataProvider& in, zcd::Size size) {
    int left = in.ConsumeIntegralInRange(-8, size.width + 8);
    int top = in.ConsumeIntegralInRange(-8, size.height + 8);
    return {left, top, left + in.ConsumeIntegralInRange(-2, 40),
            top + in.ConsumeIntegralInRange(-2, 40)};
}

float someTime(FuzzedDataProvider& in) {
    static constexpr float kTimes[] = {0.0f, 0.25f, 0.5f, 1.0f, 2.0f, -1.0f, 1e9f};
    return in.PickValueInArray(kTimes);
}

std::int32_t frameId(FuzzedDataProvider& in, const zcd::ZcdContent& content) {
    if (content.frames.empty() || in.ConsumeBool())
        return in.ConsumeIntegralInRange<std::int32_t>(-1, kMaxId);
    return content.frames[in.ConsumeIntegralInRange<std::size_t>(0, content.frames.size() - 1)]
        .record.id;
}

void addPlacements(FuzzedDataProvider& in, const zcd::ZcdContent& content,
                   std::vector<WriterPlacement>& placements) {
    int count = in.ConsumeIntegralInRange(0, kMaxObjects);
    for (int i = 0; i < count; ++i) {
        WriterPlacement p;
        p.kind = in.ConsumeIntegralInRange(0, 4);
        p.frameId = in.ConsumeBool() && content.masterFrameId ? *content.masterFrameId
                                                              : frameId(in, content);
        p.objectId = in.ConsumeIntegralInRange<std::int32_t>(0, kMaxId);
        p.transparency = in.PickValueInArray({0.0f, 0.5f, 1.0f, -3.0f});
        p.start = someTime(in);
        p.end = someTime(in);
        p.order = in.ConsumeIntegralInRange(-1, kMaxObjects);
        p.timing = {someTime(in), someTime(in), 0.0f, 1.0f, 1.0f, 0.0f};
        placements.push_back(p);
    }
}

zcd::ZcdContent structure(FuzzedDataProvider& in, std::vector<CImageExt>& frames) {
    zcd::ZcdContent content;
    zcd::Size size{in.ConsumeIntegralInRange(1, 48), in.ConsumeIntegralInRange(1, 48)};
    frames.resize(in.ConsumeIntegralInRange<std::size_t>(1, 4));
    for (std::size_t i = 0; i < frames.size(); ++i) {
        frames[i] = patternPicture(in, size.width, size.height);
        float duration = in.PickValueInArray({0.0f, 0.5f, 1.0f, 2.0f, -1.0f});
        content.frames.push_back({{static_cast<std::int32_t>(i) + in.ConsumeIntegralInRange(0, 2),
                                   duration, someTime(in), someTime(in)},
                                  &frames[i]});
    }
    if (in.ConsumeBool())
        content.masterFrameId = in.ConsumeIntegralInRange<std::int32_t>(0, kMaxId);
    if (in.ConsumeBool())
        content.displaySize = {in.ConsumeIntegralInRange(1, 64), in.ConsumeIntegralInRange(1, 64)};

    for (int i = in.ConsumeIntegralInRange(0, kMaxObjects); i > 0; --i)
        content.poolPictures.push_back(pictureFile(in));
    for (int i = in.ConsumeIntegralInRange(0, kMaxObjects); i > 0; --i) {
        zcd::WriterCursor cursor;
        cursor.hotSpot = {in.ConsumeIntegralInRange(-2, 8), in.ConsumeIntegralInRange(-2, 8)};
        cursor.maskFile = pictureFile(in);
        cursor.colourFile = pictureFile(in);
        content.cursors.push_back(std::move(cursor));
    }
    for (int i = in.ConsumeIntegralInRange(0, kMaxObjects); i > 0; --i)
        content.cursorPlacements.push_back(
            {in.ConsumeIntegralInRange<std::int32_t>(-1, kMaxObjects), frameId(in, content),
             in.ConsumeBool(), in.ConsumeIntegralInRange<std::int16_t>(-16, 80),
             in.ConsumeIntegralInRange<std::int16_t>(-16, 80)});

    content.captionsAreImages = in.ConsumeBool();
    for (int i = in.ConsumeIntegralInRange(0, kMaxObjects); i > 0; --i) {
        if (content.captionsAreImages) {
            content.captionImages.push_back(pictureFile(in));
            continue;
        }
        NKWXDecodersEncoders::CReaderObject_captionTemplate t;
        t.id = in.ConsumeIntegralInRange<std::int32_t>(-1, kMaxObjects);  // a pool index
        t.point = {in.ConsumeIntegralInRange(-2, 30), in.ConsumeIntegralInRange(-2, 30)};
        t.rect = rectIn(in, size);
        content.captionTemplates.push_back(t);
    }
    static const std::string kTexts[] = {"", "plain", "{\\rtf1\\ansi {\\b bold} text\\par}",
                                         "{\\rtf1{\\colortbl;\\red255\\green0\\blue0;}\\cf1 x}"};
    for (int i = in.ConsumeIntegralInRange(0, kMaxObjects); i > 0; --i) {
        NKWXDecodersEncoders::CReaderObject_caption caption;
        caption.id = in.ConsumeIntegralInRange<std::int32_t>(0, kMaxId);
        caption.rect = rectIn(in, size);
        caption.templateIndex = in.ConsumeIntegralInRange<std::uint32_t>(0, kMaxObjects);
        caption.textRect = rectIn(in, size);
        caption.richText = in.PickValueInArray(kTexts);
        content.captions.push_back(caption);
    }
    addPlacements(in, content, content.captionPlacements);
    for (int i = in.ConsumeIntegralInRange(0, kMaxObjects); i > 0; --i)
        content.images.push_back({in.ConsumeIntegralInRange<std::int32_t>(-1, kMaxObjects),
                                  in.ConsumeIntegralInRange<std::int32_t>(0, kMaxId),
                                  rectIn(in, size)});
    addPlacements(in, content, content.imagePlacements);
    for (int i = in.ConsumeIntegralInRange(0, kMaxObjects); i > 0; --i)
        content.highlights.push_back(
            {in.ConsumeIntegralInRange<std::int32_t>(0, kMaxId), rectIn(in, size),
             in.ConsumeIntegral<std::uint32_t>(), in.ConsumeIntegral<std::uint32_t>(),
             in.PickValueInArray({0.0f, 1.0f, 3.0f, 100.0f}), in.ConsumeBool()});
    addPlacements(in, content, content.highlightPlacements);
    return content;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider in(data, size);
    std::vector<CImageExt> frames;
    zcd::ZcdContent content = structure(in, frames);
    std::string error;
    auto file = zcd::writeZcd(content, error);
    if (!file)
        return 0;
    NKWXDecodersEncoders::CExternalFormatReader reader;
    if (!reader.Load(*file))
        return 0;
    CDocImp source;
    source.SetReader(&reader);
    CImageExt target;
    CDocImp::Size bitmap = source.BitmapSize();
    if (!target.create(bitmap.width, bitmap.height, 32))
        return 0;
    for (int i = 0; i < source.FrameCount(); ++i) {
        float start = source.FrameStartTime(i);
        float duration = reader.GetFrameByIndex(i)->GetDuration();
        for (float part : {0.0f, 0.3f, 0.5f, 0.99f})
            source.RenderAt(start + part * duration, target);
    }
    source.RenderAt(source.Duration() + 1.0f, target);
    return 0;
}
