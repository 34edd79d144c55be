#pragma once

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavfilter/avfilter.h>
#include <libavformat/avformat.h>
#include <libswresample/swresample.h>
#include <libswscale/swscale.h>
}

#include <memory>
#include <string>

namespace lumenreel {

// Owners of the FFmpeg objects, freed through the library's own functions.
struct FfmpegFree {
    void operator()(AVCodecContext* p) const { avcodec_free_context(&p); }
    void operator()(AVFrame* p) const { av_frame_free(&p); }
    void operator()(AVPacket* p) const { av_packet_free(&p); }
    void operator()(SwsContext* p) const { sws_freeContext(p); }
    void operator()(SwrContext* p) const { swr_free(&p); }
    void operator()(AVFilterGraph* p) const { avfilter_graph_free(&p); }
};

using CodecContextPtr = std::unique_ptr<AVCodecContext, FfmpegFree>;
using FramePtr = std::unique_ptr<AVFrame, FfmpegFree>;
using PacketPtr = std::unique_ptr<AVPacket, FfmpegFree>;
using ScalerPtr = std::unique_ptr<SwsContext, FfmpegFree>;
using ResamplerPtr = std::unique_ptr<SwrContext, FfmpegFree>;
using FilterGraphPtr = std::unique_ptr<AVFilterGraph, FfmpegFree>;

// A frame with its own buffers of that picture format and size; null when memory runs out.
FramePtr makePictureFrame(AVPixelFormat format, int width, int height);

// What an FFmpeg error code means, in the library's words.
std::string ffmpegErrorText(int code);

}  // namespace lumenreel
