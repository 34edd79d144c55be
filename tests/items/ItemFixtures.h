#pragma once

#include <functional>
#include <map>
#include <vector>

#include "base/MemFile.h"
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

    int frameCount() const override { return static_cast<int>(frames.size()); }
    bool frameVisible(int frame) const override { return frames.at(frame).visible; }
    float frameDuration(int frame) const override { return frames.at(frame).duration; }
    const CDrawItem_link* placementOn(int frame, const CDrawCommonItem& item) const override {
        const auto& placements = frames.at(frame).placements;
        auto found = placements.find(&item);
        return found == placements.end() ? nullptr : &found->second;
    }
    Size frameSize() const override { return size; }
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
