#include "export/VideoCodecChoice.h"

#include <algorithm>
#include <cmath>

namespace lumenreel {
namespace {

// Quality 1-100 onto a codec's constant-quality scale, where lower is better.
std::string constantQuality(int quality, double worst, double best) {
    const double q = std::clamp(quality, 1, 100) / 100.0;
    return std::to_string(static_cast<int>(std::lround(worst + (best - worst) * q)));
}

VideoCodecChoice h264(const ExportSettings& settings) {
    // Speed over the last percent of size: screen content is mostly still, and the stillimage
    // tuning keeps text edges (weak deblocking, strong detail preservation).
    if (settings.lossless)
        return {"libx264rgb",
                AV_PIX_FMT_BGR0,
                AV_PIX_FMT_BGR0,
                {1, 90000},
                {{"preset", "veryfast"}, {"qp", "0"}},
                false};
    const bool full = settings.fullChroma;
    return {"libx264",
            full ? AV_PIX_FMT_YUV444P : AV_PIX_FMT_YUV420P,
            full ? AV_PIX_FMT_YUV444P : AV_PIX_FMT_YUV420P,
            {1, 90000},
            {{"preset", "veryfast"},
             {"tune", "stillimage"},
             {"crf", constantQuality(settings.quality, 40, 12)}},
            !full};
}

VideoCodecChoice vp9(const ExportSettings& settings) {
    std::vector<std::pair<std::string, std::string>> options = {
        {"deadline", "realtime"}, {"cpu-used", "8"}, {"row-mt", "1"}, {"tune-content", "screen"}};
    if (settings.lossless) {
        options.emplace_back("lossless", "1");
        return {"libvpx-vp9", AV_PIX_FMT_GBRP, AV_PIX_FMT_GBRP, {1, 1000}, options, false};
    }
    options.emplace_back("crf", constantQuality(settings.quality, 56, 16));
    options.emplace_back("b", "0");
    const AVPixelFormat form = settings.fullChroma ? AV_PIX_FMT_YUV444P : AV_PIX_FMT_YUV420P;
    return {"libvpx-vp9", form, form, {1, 1000}, options, !settings.fullChroma};
}

}  // namespace

VideoCodecChoice chooseVideoCodec(const ExportSettings& settings) {
    switch (settings.format) {
        case ExportFormat::webm:
            return vp9(settings);
        case ExportFormat::gif:
            // The palette filter turns the renderer's BGRA into palette pictures.
            return {"gif", AV_PIX_FMT_PAL8, AV_PIX_FMT_BGRA, {1, 100}, {}, false};
        case ExportFormat::png:
            // Our own PNG codec takes 24-bit BGR.
            return {"", AV_PIX_FMT_BGR24, AV_PIX_FMT_BGR24, {1, 1000}, {}, false};
        case ExportFormat::mp4:
            break;
    }
    return h264(settings);
}

}  // namespace lumenreel
