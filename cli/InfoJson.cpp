#include "cli/InfoJson.h"

#include <cmath>

#include "cli/FloatText.h"

namespace lumenreel::cli {
namespace {

using nlohmann::ordered_json;

ordered_json sizeJson(NKWXDecodersEncoders::Size size) {
    return ordered_json::array({size.width, size.height});
}

ordered_json frameJson(const InfoSummary::Frame& frame) {
    return {{"index", frame.index},
            {"id", frame.id},
            {"start", frame.start},
            {"duration", frame.duration},
            {"cursor_move", ordered_json::array({frame.cursorMoveStart, frame.cursorMoveEnd})}};
}

ordered_json masterJson(const std::optional<InfoSummary::MasterFrame>& master) {
    if (!master)
        return nullptr;
    return {{"id", master->id}, {"duration", master->duration}};
}

ordered_json soundJson(const std::optional<InfoSummary::Soundtrack>& sound) {
    if (!sound)
        return nullptr;
    return {{"kind", sound->kind}, {"bytes", sound->bytes}, {"format", sound->format}};
}

// Every number held as a float came from a float, so its shortest float text is exact; infinities
// and NaN have no JSON form and are written as null.
std::string numberText(double value) {
    return std::isfinite(value) ? floatText(static_cast<float>(value)) : "null";
}

std::string scalarText(const ordered_json& value) {
    if (value.is_number_float())
        return numberText(value.get<double>());
    return value.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace);
}

std::string inlineText(const ordered_json& value) {
    if (!value.is_structured())
        return scalarText(value);
    std::string out = value.is_object() ? "{" : "[";
    const char* separator = "";
    for (const auto& item : value.items()) {
        out += separator;
        if (value.is_object())
            out += scalarText(item.key()) + ": ";
        out += inlineText(item.value());
        separator = ", ";
    }
    return out + (value.is_object() ? "}" : "]");
}

bool isListOfObjects(const ordered_json& value) {
    return value.is_array() && !value.empty() && value.front().is_object();
}

std::string memberValueText(const ordered_json& value) {
    if (!isListOfObjects(value))
        return inlineText(value);
    std::string out = "[";
    const char* separator = "\n    ";
    for (const ordered_json& element : value) {
        out += separator + inlineText(element);
        separator = ",\n    ";
    }
    return out + "\n  ]";
}

}  // namespace

ordered_json infoJson(const InfoSummary& summary) {
    ordered_json frames = ordered_json::array();
    for (const InfoSummary::Frame& frame : summary.frames)
        frames.push_back(frameJson(frame));
    return {{"format", summary.format},
            {"display_size", sizeJson(summary.displaySize)},
            {"bitmap_size", sizeJson(summary.bitmapSize)},
            {"frame_count", summary.frameCount},
            {"duration", summary.duration},
            {"frames", std::move(frames)},
            {"master_frame", masterJson(summary.masterFrame)},
            {"pool_pictures", summary.poolPictures},
            {"cursors", summary.cursors},
            {"captions", summary.captions},
            {"images", summary.images},
            {"highlights", summary.highlights},
            {"soundtrack", soundJson(summary.soundtrack)},
            {"skipped", summary.skipped}};
}

std::string infoJsonText(const ordered_json& info) {
    std::string out = "{";
    const char* separator = "\n  ";
    for (const auto& member : info.items()) {
        out += separator + scalarText(member.key()) + ": " + memberValueText(member.value());
        separator = ",\n  ";
    }
    return out + "\n}\n";
}

}  // namespace lumenreel::cli
