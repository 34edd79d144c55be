#include "export/VideoFileWriter.h"

extern "C" {
#include <libavutil/opt.h>
}

#include <cmath>

#include "export/EncodedPackets.h"

namespace lumenreel {

VideoFileWriter::VideoFileWriter(std::filesystem::path target)
    : m_toStandardOutput(target == kStandardOutputName), m_file(std::move(target)) {}

VideoFileWriter::~VideoFileWriter() {
    closeFile();
}

void VideoFileWriter::closeFile() {
    if (!m_muxer)
        return;
    if (m_muxer->pb)
        avio_closep(&m_muxer->pb);
    avformat_free_context(m_muxer);
    m_muxer = nullptr;
}

bool VideoFileWriter::fail(const std::string& reason) {
    m_error = reason;
    return false;
}

bool VideoFileWriter::openVideo(const ExportSettings& settings, Size size) {
    const AVCodec* codec = avcodec_find_encoder_by_name(m_choice.encoder);
    if (!codec)
        return fail(std::string("this FFmpeg has no ") + m_choice.encoder + " encoder");
    m_encoder.reset(avcodec_alloc_context3(codec));
    m_stream = avformat_new_stream(m_muxer, nullptr);
    if (!m_encoder || !m_stream)
        return fail("out of memory");
    AVCodecContext& encoder = *m_encoder;
    encoder.width = size.width;
    encoder.height = size.height;
    encoder.pix_fmt = m_choice.encoded;
    encoder.time_base = m_choice.timeBase;
    encoder.framerate = av_d2q(settings.fps, 100000);
    encoder.sample_aspect_ratio = AVRational{1, 1};
    // The renderer is sRGB; the matrix is the one the converter uses for these sizes.
    encoder.color_primaries = AVCOL_PRI_BT709;
    encoder.color_trc = AVCOL_TRC_IEC61966_2_1;
    if (m_choice.encoded == AV_PIX_FMT_YUV420P || m_choice.encoded == AV_PIX_FMT_YUV444P) {
        encoder.colorspace = AVCOL_SPC_SMPTE170M;
        encoder.color_range = AVCOL_RANGE_MPEG;
    } else {
        encoder.colorspace = AVCOL_SPC_RGB;
    }
    encoder.thread_count = 2;
    if (m_muxer->oformat->flags & AVFMT_GLOBALHEADER)
        encoder.flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
    AVDictionary* options = nullptr;
    for (const auto& [key, value] : m_choice.options)
        av_dict_set(&options, key.c_str(), value.c_str(), 0);
    const int opened = avcodec_open2(&encoder, codec, &options);
    av_dict_free(&options);
    if (opened < 0)
        return fail("cannot start the " + std::string(m_choice.encoder) +
                    " encoder: " + ffmpegErrorText(opened));
    avcodec_parameters_from_context(m_stream->codecpar, &encoder);
    m_stream->time_base = encoder.time_base;
    m_stream->avg_frame_rate = encoder.framerate;
    return true;
}

bool VideoFileWriter::open(const ExportSettings& settings, Size size, double seconds,
                           const SoundtrackPcm* sound, GifPalette* palette) {
    m_format = settings.format;
    m_choice = chooseVideoCodec(settings);
    m_held.reset(av_packet_alloc());
    if (!m_held)
        return fail("out of memory");
    m_palette = palette;
    if (!m_toStandardOutput && !m_file.open())
        return fail(m_file.error());
    const char* path = m_toStandardOutput ? "pipe:1" : m_file.temporaryPath().c_str();
    if (avformat_alloc_output_context2(&m_muxer, nullptr, exportFormatName(m_format), path) < 0 ||
        !m_muxer)
        return fail("this FFmpeg cannot write " + std::string(exportFormatName(m_format)));
    if (!openVideo(settings, size))
        return false;
    if (sound && carriesSound(m_format)) {
        m_sound = std::make_unique<SoundEncoder>();
        if (!m_sound->open(*m_muxer, m_format, *sound, m_error))
            return false;
    }
    const int opened = avio_open(&m_muxer->pb, path, AVIO_FLAG_WRITE);
    if (opened < 0)
        return fail("cannot write the file: " + ffmpegErrorText(opened));
    // Known in advance, so a pipe's WebM, which cannot go back to write it, states it up front.
    m_muxer->duration = std::llround(seconds * AV_TIME_BASE);
    AVDictionary* options = nullptr;
    // The index goes in front, so players can start before the whole file has arrived; a pipe
    // cannot go back to write it, so there each stretch of pictures carries its own. Its header
    // waits for the first stretch, so it can say where the streams start (the encoders' delays)
    // and both start at 0 as in a file.
    if (m_format == ExportFormat::mp4)
        av_dict_set(&options, "movflags",
                    m_toStandardOutput ? "+frag_keyframe+empty_moov+delay_moov+default_base_moof"
                                       : "+faststart",
                    0);
    const int header = avformat_write_header(m_muxer, &options);
    av_dict_free(&options);
    if (header < 0)
        return fail("cannot write the file: " + ffmpegErrorText(header));
    return true;
}

bool VideoFileWriter::encode(AVFrame* frame) {
    return encodeFrame(
        *m_encoder, frame,
        [this](AVPacket& packet) {
            auto found = m_durations.find(packet.pts);
            if (found != m_durations.end()) {
                packet.duration = found->second;
                m_durations.erase(found);
            }
            if (m_held->data && !muxPacket(*m_held, *m_encoder, *m_stream, *m_muxer, m_error))
                return false;
            av_packet_move_ref(m_held.get(), &packet);
            return true;
        },
        m_error);
}

bool VideoFileWriter::muxLastPacket() {
    if (!m_held->data)
        return true;
    // Containers end a stream with the last packet in decode order, which after reordering
    // (B-frames) is not the last picture shown: it lasts to the end, or the still end is cut.
    m_held->duration = std::max(m_held->duration, m_endPts - m_held->pts);
    return muxPacket(*m_held, *m_encoder, *m_stream, *m_muxer, m_error);
}

bool VideoFileWriter::write(const ExportPicture& picture) {
    const double tick = av_q2d(m_choice.timeBase);
    // Timestamps only grow; two moments closer than the format's clock share its next tick.
    const std::int64_t pts =
        std::max(m_lastPts + 1, static_cast<std::int64_t>(std::llround(picture.start / tick)));
    const std::int64_t end = std::llround((picture.start + picture.duration) / tick);
    m_lastPts = pts;
    m_endPts = std::max(m_endPts, end);
    m_durations[pts] = std::max<std::int64_t>(1, end - pts);
    m_lastDuration = m_durations[pts];
    picture.frame->pts = pts;
    if (m_palette) {
        std::vector<FramePtr> mapped;
        if (!m_palette->map(picture.frame.get(), mapped, m_error))
            return false;
        for (FramePtr& frame : mapped) {
            if (!encode(frame.get()))
                return false;
        }
    } else if (!encode(picture.frame.get())) {
        return false;
    }
    return !m_sound || m_sound->encodeUpTo(picture.start + picture.duration, m_error);
}

bool VideoFileWriter::finish() {
    if (m_palette) {
        std::vector<FramePtr> mapped;
        if (!m_palette->map(nullptr, mapped, m_error))
            return false;
        for (FramePtr& frame : mapped) {
            if (!encode(frame.get()))
                return false;
        }
    }
    if (!encode(nullptr) || !muxLastPacket())
        return false;
    if (m_sound && !m_sound->finish(m_error))
        return false;
    // GIF keeps each delay with the next picture; the last one is the muxer's to write.
    if (m_format == ExportFormat::gif)
        av_opt_set_int(m_muxer->priv_data, "final_delay", m_lastDuration, 0);
    const int trailer = av_write_trailer(m_muxer);
    if (trailer < 0)
        return fail("cannot write the file: " + ffmpegErrorText(trailer));
    m_bytes = static_cast<std::uint64_t>(avio_tell(m_muxer->pb));
    const int closed = avio_closep(&m_muxer->pb);
    if (closed < 0)
        return fail("cannot write the file: " + ffmpegErrorText(closed));
    if (!m_toStandardOutput && !m_file.commit())
        return fail(m_file.error());
    return true;
}

std::uint64_t VideoFileWriter::bytesWritten() const {
    return m_muxer && m_muxer->pb ? static_cast<std::uint64_t>(avio_tell(m_muxer->pb)) : m_bytes;
}

}  // namespace lumenreel
