#pragma once

#include <functional>
#include <string>

#include "export/FfmpegHandles.h"

namespace lumenreel {

// Sends a frame to the encoder (null to drain it at the end) and hands every packet it has ready
// to `take`, in the encoder's time base. False with the reason on a failure (`take` may fail too,
// leaving its reason in `error`).
bool encodeFrame(AVCodecContext& encoder, const AVFrame* frame,
                 const std::function<bool(AVPacket&)>& take, std::string& error);

// Hands a packet of the encoder to the muxer, in the stream's time base.
bool muxPacket(AVPacket& packet, const AVCodecContext& encoder, AVStream& stream,
               AVFormatContext& muxer, std::string& error);

// Sends a frame (null to drain the encoder at the end) and muxes what comes out.
bool encodeAndMux(AVCodecContext& encoder, const AVFrame* frame, AVStream& stream,
                  AVFormatContext& muxer, std::string& error);

}  // namespace lumenreel
