#include "export/EncodedPackets.h"

namespace lumenreel {

bool encodeFrame(AVCodecContext& encoder, const AVFrame* frame,
                 const std::function<bool(AVPacket&)>& take, std::string& error) {
    const int sent = avcodec_send_frame(&encoder, frame);
    if (sent < 0 && sent != AVERROR_EOF) {
        error = "encoding failed: " + ffmpegErrorText(sent);
        return false;
    }
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
        const bool taken = take(*packet);
        av_packet_unref(packet.get());
        if (!taken)
            return false;
    }
}

bool muxPacket(AVPacket& packet, const AVCodecContext& encoder, AVStream& stream,
               AVFormatContext& muxer, std::string& error) {
    packet.stream_index = stream.index;
    av_packet_rescale_ts(&packet, encoder.time_base, stream.time_base);
    const int written = av_interleaved_write_frame(&muxer, &packet);
    if (written < 0) {
        error = "cannot write the file: " + ffmpegErrorText(written);
        return false;
    }
    return true;
}

bool encodeAndMux(AVCodecContext& encoder, const AVFrame* frame, AVStream& stream,
                  AVFormatContext& muxer, std::string& error) {
    return encodeFrame(
        encoder, frame,
        [&](AVPacket& packet) { return muxPacket(packet, encoder, stream, muxer, error); }, error);
}

}  // namespace lumenreel
