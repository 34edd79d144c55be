#include "export/EncodedPackets.h"

namespace lumenreel {

bool muxEncodedPackets(AVCodecContext& encoder, AVStream& stream, AVFormatContext& muxer,
                       const std::function<void(AVPacket&)>& adjust, std::string& error) {
    PacketPtr packet(av_packet_alloc());
    if (!packet) {
        error = "out of memory";
        return false;
    }
    for (;;) {
        const int received = avcodec_receive_packet(&encoder, packet.get());
        if (received == AVERROR(EAGAIN) || received == AVERROR_EOF)
            return true;
        if (received < 0) {
            error = "encoding failed: " + ffmpegErrorText(received);
            return false;
        }
        if (adjust)
            adjust(*packet);
        packet->stream_index = stream.index;
        av_packet_rescale_ts(packet.get(), encoder.time_base, stream.time_base);
        const int written = av_interleaved_write_frame(&muxer, packet.get());
        if (written < 0) {
            error = "cannot write the file: " + ffmpegErrorText(written);
            return false;
        }
    }
}

bool encodeAndMux(AVCodecContext& encoder, const AVFrame* frame, AVStream& stream,
                  AVFormatContext& muxer, const std::function<void(AVPacket&)>& adjust,
                  std::string& error) {
    const int sent = avcodec_send_frame(&encoder, frame);
    if (sent < 0 && sent != AVERROR_EOF) {
        error = "encoding failed: " + ffmpegErrorText(sent);
        return false;
    }
    return muxEncodedPackets(encoder, stream, muxer, adjust, error);
}

}  // namespace lumenreel
