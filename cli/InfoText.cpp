#include "cli/InfoText.h"

#include "cli/FloatText.h"

namespace lumenreel::cli {
namespace {

std::string sizeText(NKWXDecodersEncoders::Size size) {
    return pixelSizeText(size.width, size.height);
}

std::string line(const std::string& key, const std::string& value) {
    return key + ": " + value + "\n";
}

std::string frameLine(const InfoSummary::Frame& frame) {
    return "  " + std::to_string(frame.index) + ": id " + std::to_string(frame.id) + ", start " +
           secondsText(frame.start) + ", duration " + secondsText(frame.duration) +
           ", cursor moves " + secondsNumber(frame.cursorMoveStart) + "-" +
           secondsText(frame.cursorMoveEnd) + " into it\n";
}

std::string masterText(const std::optional<InfoSummary::MasterFrame>& master) {
    if (!master)
        return "none";
    return "id " + std::to_string(master->id) + ", duration " + secondsText(master->duration);
}

std::string soundText(const std::optional<InfoSummary::Soundtrack>& sound) {
    if (!sound)
        return "none";
    return sound->kind + ", " + std::to_string(sound->bytes) + " bytes, " + sound->format;
}

}  // namespace

std::string infoText(const InfoSummary& summary) {
    std::string out = line("format", summary.format);
    out += line("display_size", sizeText(summary.displaySize));
    out += line("bitmap_size", sizeText(summary.bitmapSize));
    out += line("frame_count", std::to_string(summary.frameCount));
    out += line("duration", secondsText(summary.duration));
    out += line("master_frame", masterText(summary.masterFrame));
    out += "frames:\n";
    for (const InfoSummary::Frame& frame : summary.frames)
        out += frameLine(frame);
    out += line("pool_pictures", std::to_string(summary.poolPictures));
    out += line("cursors", std::to_string(summary.cursors));
    out += line("captions", std::to_string(summary.captions));
    out += line("images", std::to_string(summary.images));
    out += line("highlights", std::to_string(summary.highlights));
    out += line("soundtrack", soundText(summary.soundtrack));
    for (const std::string& note : summary.skipped)
        out += line("skipped", note);
    return out;
}

}  // namespace lumenreel::cli
