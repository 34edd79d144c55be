#pragma once

#include <string>
#include <utility>
#include <vector>

#include "export/ExportSettings.h"
#include "export/FfmpegHandles.h"

namespace lumenreel {

// How a format's pictures are encoded: the encoder, the pixel form it takes, the pixel form the
// renderer hands over (different only where a filter sits between), the clock of the
// timestamps and the encoder's options.
struct VideoCodecChoice {
    const char* encoder;
    AVPixelFormat encoded;
    AVPixelFormat handedOver;
    AVRational timeBase;
    std::vector<std::pair<std::string, std::string>> options;
    // Whether the picture size must be even (chroma at half resolution).
    bool evenSize;
};

VideoCodecChoice chooseVideoCodec(const ExportSettings& settings);

}  // namespace lumenreel
