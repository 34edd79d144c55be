#include "cli/DocumentInfo.h"

#include <map>

#include "cli/FloatText.h"
#include "document/ZephyrcastBaseDocument.h"
#include "items/DrawCommonItem.h"
#include "items/ItemFactory.h"
#include "items/ItemSchema.h"
#include "themes/ThemeContainer.h"

namespace lumenreel::cli {
namespace {

using nlohmann::ordered_json;

// Owned items of every list, by kind; the frames' own cursors count as cursors when they have
// a picture.
std::map<std::string, int> itemCounts(const CZephyrcastBaseDocument& document) {
    std::map<std::string, int> counts;
    auto count = [&](const CDrawCommonItemListManager& list) {
        for (int i = 0; i < list.count(); ++i) {
            const CDrawItem_link* link = list.placementAt(i);
            if (link->status != 0 || !link->item)
                continue;
            const ItemKind* kind = itemKindFor(link->item->typeId());
            ++counts[kind ? kind->name : "unknown"];
        }
    };
    count(document.documentItems());
    count(document.masterFrame().itemList());
    for (const auto& frame : document.framePool()) {
        count(frame->itemList());
        if (frame->cursor().image())
            ++counts["cursor"];
    }
    return counts;
}

ordered_json framesJson(const CZephyrcastBaseDocument& document) {
    ordered_json frames = ordered_json::array();
    for (int p = 0; p < document.frameCount(); ++p) {
        const CZephyrcastFrameElement* frame = document.frameAtChecked(p);
        ordered_json entry = {{"index", p}, {"start", document.startTimeOf(p)}};
        if (!frame) {
            entry["duration"] = 0.0f;
            entry["visible"] = false;
            entry["label"] = nullptr;
        } else {
            entry["duration"] = frame->frameInfo().duration;
            entry["visible"] = frame->frameInfo().visibility;
            entry["label"] = frame->frameInfo().label;
        }
        frames.push_back(std::move(entry));
    }
    return frames;
}

ordered_json soundJson(const CZephyrcastBaseDocument& document) {
    const CWaveSoundResource::SDataRecord sound = document.soundtrack().GetDataRecord();
    if (sound.data.empty())
        return nullptr;
    return {{"kind", "wave"},
            {"bytes", sound.data.size()},
            {"format", std::to_string(sound.format.samplesPerSec) + " Hz, " +
                           std::to_string(sound.format.channels) + " channels, " +
                           std::to_string(sound.format.bitsPerSample) + " bits"}};
}

ordered_json themeJson(const CZephyrcastBaseDocument& document) {
    const CThemeContainer* theme = document.themeContainer();
    if (!theme)
        return nullptr;
    return {{"name", theme->themeName()}, {"item_sets", theme->itemNames()}};
}

std::string valueText(const ordered_json& value) {
    if (value.is_number_float())
        return floatText(value.get<float>());
    if (value.is_string())
        return value.get<std::string>();
    if (value.is_null())
        return "none";
    return value.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace);
}

}  // namespace

ordered_json documentInfoJson(const CZephyrcastBaseDocument& document) {
    const Size size = document.frameSize();
    const ordered_json sizeJson = ordered_json::array({size.width, size.height});
    std::map<std::string, int> counts = itemCounts(document);
    const std::optional<DocumentForm> form = document.loadedForm();
    return {{"format", "ZCS"},
            {"storage_form", form == DocumentForm::older ? "1.0.0.0" : "current"},
            {"display_size", sizeJson},
            {"bitmap_size", sizeJson},
            {"frame_count", document.frameCount()},
            {"duration", document.totalDuration()},
            {"frames", framesJson(document)},
            {"cursors", counts["cursor"]},
            {"captions", counts["balloon caption"]},
            {"images", counts["picture"]},
            {"highlights", counts["highlight"]},
            {"sound_effects", counts["sound effect"]},
            {"unknown_items", counts["unknown"]},
            {"soundtrack", soundJson(document)},
            {"theme", themeJson(document)},
            {"skipped", document.skipped()}};
}

std::string documentInfoText(const ordered_json& info) {
    std::string out;
    for (const auto& member : info.items()) {
        if (member.key() == "frames") {
            out += "frames:\n";
            for (const ordered_json& frame : member.value())
                out += "  " + valueText(frame["index"]) + ": start " +
                       secondsText(frame["start"].get<float>()) + ", duration " +
                       secondsText(frame["duration"].get<float>()) +
                       (frame["visible"].get<bool>() ? "" : ", hidden") + ", label " +
                       valueText(frame["label"]) + "\n";
        } else if (member.key() == "display_size" || member.key() == "bitmap_size") {
            out += member.key() + ": " +
                   pixelSizeText(member.value()[0].get<int>(), member.value()[1].get<int>()) + "\n";
        } else if (member.key() == "soundtrack" && member.value().is_object()) {
            const ordered_json& sound = member.value();
            out += "soundtrack: " + valueText(sound["kind"]) + ", " + valueText(sound["bytes"]) +
                   " bytes, " + valueText(sound["format"]) + "\n";
        } else if (member.key() == "duration") {
            out += "duration: " + secondsText(member.value().get<float>()) + "\n";
        } else if (member.key() == "skipped") {
            for (const ordered_json& note : member.value())
                out += "skipped: " + valueText(note) + "\n";
        } else {
            out += member.key() + ": " + valueText(member.value()) + "\n";
        }
    }
    return out;
}

}  // namespace lumenreel::cli
