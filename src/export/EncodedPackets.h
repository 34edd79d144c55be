#pragma once

#include <functional>
#include <string>

#include "export/FfmpegHandles.h"

namespace lumenreel {

// Takes every packet the encoder has ready, lets `adjust` fill in what the encoder does not carry
// over (a picture's duration), and hands it to the muxer in the stream's time base. False with
// the reason on a failure.
bool muxEncodedPackets(AVCodecContext& encoder, AVStream& stream, AVFormatContext& muxer,
                       const std::function<void(AVPacket&)>& adjust, std::string& error);

// Sends a frame (null to drain the encoder at the end) and muxes what comes out.
bool encodeAndMux(AVCodecContext& encoder, const AVFrame* frame, AVStream& stream,
                  AVFormatContext& muxer, const std::function<void(AVPacket&)>& adjust,
                  std::string& error);

}  // namespace lumenreel
