#pragma once

#include <cstdlib>
#include <functional>
#include <map>
#include <vector>

#include <gtest/gtest.h>

#include "base/MemFile.h"
#include "images/ImageExt.h"
#include "images/ImageManager.h"
#include "items/DrawCommonItem.h"
#include "items/ItemDocument.h"
#include "items/ItemPlacement.h"
#include "storage/SerializeInterfaceRB.h"

namespace lumenreel::test {

// A document of frames given by duration and visibility, each holding the placements put on it.
class FakeDocument : public ItemDocument {
public:
    struct Frame {
        float duration = 1.0f;
        bool visible = true;
        std::map<const CDrawCommonItem*, CDrawItem_link> placements;
    };
    std::vector<Frame> frames;
    Size size{640, 480};
    CThemeContainer* themeInUse = nullptr;
    CImageManager pictures;

    int frameCount() const override { return static_cast<int>(frames.size()); }
    bool frameVisible(int frame) const override { return frames.at(frame).visible; }
    float frameDuration(int frame) const override { return frames.at(frame).duration; }
    const CDrawItem_link* placementOn(int frame, const CDrawCommonItem& item) const override {
        const auto& placements = frames.at(frame).placements;
        auto found = placements.find(&item);
        return found == placements.end() ? nullptr : &found->second;
    }
    Size frameSize() const override { return size; }
    CImageManager& imageManager() override { return pictures; }
    CThemeContainer* theme() const override { return themeInUse; }

    CDrawItem_link& place(int frame, CDrawCommonItem& item, float start, float end, int fadeType,
                          float fadeIn = 1.0f, float fadeOut = 1.0f) {
        CDrawItem_link& link = frames.at(frame).placements[&item];
        link.item = &item;
        link.visStart = start;
        link.visEnd = end;
        link.fadeType = fadeType;
        link.fadeIn = fadeIn;
        link.fadeOut = fadeOut;
        return link;
    }

    // The context a frame gives its item at a time.
    ItemDrawContext contextAt(int frame, const CDrawCommonItem& item, float time) const {
        ItemDrawContext context;
        context.time = time;
        context.frameIndex = frame;
        context.frameDuration = frames.at(frame).duration;
        context.placement = placementOn(frame, item);
        return context;
    }
};

// A 32-bit picture of one pixel value.
inline CImageExt filled(int width, int height, std::uint32_t value) {
    CImageExt image;
    image.create(width, height, 32);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            image.setPixel(x, y, value);
    return image;
}

// One colour channel of a pixel blended at alpha over another, as composed by hand.
inline int blendChannel(int over, int under, int alpha) {
    return (over * alpha + under * (255 - alpha)) / 255;
}

inline void expectColour(std::uint32_t actual, std::uint32_t expected, int tolerance = 1) {
    for (int shift : {0, 8, 16}) {
        const int a = static_cast<int>((actual >> shift) & 0xFF);
        const int e = static_cast<int>((expected >> shift) & 0xFF);
        EXPECT_LE(std::abs(a - e), tolerance) << std::hex << actual << " vs " << expected;
    }
}

inline std::uint32_t blended(std::uint32_t over, std::uint32_t under, int alpha) {
    std::uint32_t out = 0;
    for (int shift : {0, 8, 16})
        out |= static_cast<std::uint32_t>(blendChannel(static_cast<int>((over >> shift) & 0xFF),
                                                       static_cast<int>((under >> shift) & 0xFF),
                                                       alpha))
               << shift;
    return out;
}

// Bytes written through the keyed form by the callback.
inline std::vector<std::uint8_t> keyedBytes(
    const std::function<void(CSerializeInterface&)>& write) {
    CKWXOleStreamFile stream;
    CSerializeInterfaceRB archive(stream, CSerializeInterface::modeStore);
    write(archive);
    archive.Close();
    return {stream.Bytes().begin(), stream.Bytes().end()};
}

inline void readKeyed(const std::vector<std::uint8_t>& bytes,
                      const std::function<void(CSerializeInterface&)>& read) {
    CKWXOleStreamFile stream(bytes);
    CSerializeInterfaceRB archive(stream, CSerializeInterface::modeLoad);
    read(archive);
}

}  // namespace lumenreel::test
