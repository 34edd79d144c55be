#include "export/SoundEncoder.h"

extern "C" {
#include <libavutil/audio_fifo.h>
#include <libavutil/opt.h>
}

#include <algorithm>
#include <cmath>

#include "export/EncodedPackets.h"

namespace lumenreel {
namespace {

// Samples converted at one time, bounding the buffers.
constexpr std::size_t kConvertStep = 16384;

// The codec's sample rate closest above the sound's (Opus takes 48 kHz only).
int chooseRate(const AVCodec& codec, int wanted) {
    if (!codec.supported_samplerates)
        return wanted;
    int best = 0;
    for (const int* rate = codec.supported_samplerates; *rate != 0; ++rate) {
        if (*rate == wanted)
            return wanted;
        if (*rate > wanted && (best == 0 || *rate < best))
            best = *rate;
    }
    return best != 0 ? best : codec.supported_samplerates[0];
}

// Samples of one channel per format, freed together.
struct SampleBuffer {
    std::uint8_t** planes = nullptr;
    ~SampleBuffer() {
        if (planes)
            av_freep(&planes[0]);
        av_freep(&planes);
    }
};

}  // namespace

SoundEncoder::~SoundEncoder() {
    if (m_fifo)
        av_audio_fifo_free(m_fifo);
}

bool SoundEncoder::open(AVFormatContext& muxer, ExportFormat format, const SoundtrackPcm& sound,
                        std::string& error) {
    m_muxer = &muxer;
    m_sound = &sound;
    const AVCodec* codec =
        avcodec_find_encoder_by_name(format == ExportFormat::webm ? "libopus" : "aac");
    if (!codec) {
        error = "this FFmpeg has no encoder for the sound";
        return false;
    }
    m_encoder.reset(avcodec_alloc_context3(codec));
    m_stream = avformat_new_stream(&muxer, nullptr);
    if (!m_encoder || !m_stream) {
        error = "out of memory";
        return false;
    }
    AVCodecContext& encoder = *m_encoder;
    // Mono stays mono; more than two channels are mixed down to stereo.
    av_channel_layout_default(&encoder.ch_layout, std::min<int>(sound.channels, 2));
    encoder.sample_rate = chooseRate(*codec, static_cast<int>(sound.rate));
    encoder.sample_fmt = codec->sample_fmts ? codec->sample_fmts[0] : AV_SAMPLE_FMT_FLTP;
    encoder.bit_rate =
        (format == ExportFormat::webm ? 48000 : 64000) * encoder.ch_layout.nb_channels;
    encoder.time_base = AVRational{1, encoder.sample_rate};
    if (muxer.oformat->flags & AVFMT_GLOBALHEADER)
        encoder.flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
    // The fast AAC coder takes a third of the default one's time, and on the sample tour's
    // soundtrack its error was smaller too.
    AVDictionary* options = nullptr;
    if (format != ExportFormat::webm)
        av_dict_set(&options, "aac_coder", "fast", 0);
    int result = avcodec_open2(&encoder, codec, &options);
    av_dict_free(&options);
    if (result < 0) {
        error = "cannot start the sound encoder: " + ffmpegErrorText(result);
        return false;
    }
    avcodec_parameters_from_context(m_stream->codecpar, &encoder);
    m_stream->time_base = encoder.time_base;

    AVChannelLayout input{};
    av_channel_layout_default(&input, sound.channels);
    SwrContext* resampler = nullptr;
    result =
        swr_alloc_set_opts2(&resampler, &encoder.ch_layout, encoder.sample_fmt, encoder.sample_rate,
                            &input, AV_SAMPLE_FMT_S16, static_cast<int>(sound.rate), 0, nullptr);
    m_resampler.reset(resampler);
    av_channel_layout_uninit(&input);
    if (result < 0 || swr_init(m_resampler.get()) < 0) {
        error = "cannot resample the sound";
        return false;
    }
    m_fifo = av_audio_fifo_alloc(encoder.sample_fmt, encoder.ch_layout.nb_channels, 1);
    if (!m_fifo) {
        error = "out of memory";
        return false;
    }
    return true;
}

bool SoundEncoder::convert(std::size_t frames, std::string& error) {
    const int channels = m_encoder->ch_layout.nb_channels;
    const int room = swr_get_out_samples(m_resampler.get(), static_cast<int>(frames));
    SampleBuffer out;
    if (room > 0 && av_samples_alloc_array_and_samples(&out.planes, nullptr, channels, room,
                                                       m_encoder->sample_fmt, 0) < 0) {
        error = "out of memory";
        return false;
    }
    if (room <= 0)
        return true;
    const auto* input = reinterpret_cast<const std::uint8_t*>(m_sound->samples.data() +
                                                              m_consumed * m_sound->channels);
    const std::uint8_t* inputs[] = {input};
    const int made = swr_convert(m_resampler.get(), out.planes, room, frames > 0 ? inputs : nullptr,
                                 static_cast<int>(frames));
    m_consumed += frames;
    if (made < 0 ||
        av_audio_fifo_write(m_fifo, reinterpret_cast<void**>(out.planes), made) < made) {
        error = "cannot resample the sound";
        return false;
    }
    return true;
}

bool SoundEncoder::sendFrames(int minimum, std::string& error) {
    const int frameSize = m_encoder->frame_size > 0 ? m_encoder->frame_size : 1024;
    while (av_audio_fifo_size(m_fifo) >= std::max(minimum, 1)) {
        const int count = std::min(frameSize, av_audio_fifo_size(m_fifo));
        FramePtr frame(av_frame_alloc());
        if (!frame) {
            error = "out of memory";
            return false;
        }
        frame->nb_samples = count;
        frame->format = m_encoder->sample_fmt;
        frame->sample_rate = m_encoder->sample_rate;
        av_channel_layout_copy(&frame->ch_layout, &m_encoder->ch_layout);
        if (av_frame_get_buffer(frame.get(), 0) < 0 ||
            av_audio_fifo_read(m_fifo, reinterpret_cast<void**>(frame->data), count) < count) {
            error = "out of memory";
            return false;
        }
        frame->pts = m_sent;
        m_sent += count;
        if (!encodeAndMux(*m_encoder, frame.get(), *m_stream, *m_muxer, error))
            return false;
    }
    return true;
}

bool SoundEncoder::encodeUpTo(double seconds, std::string& error) {
    const auto wanted = static_cast<std::size_t>(std::max(0.0, std::ceil(seconds * m_sound->rate)));
    const std::size_t end = std::min(wanted, m_sound->sampleFrames());
    while (m_consumed < end) {
        if (!convert(std::min(kConvertStep, end - m_consumed), error))
            return false;
    }
    const int frameSize = m_encoder->frame_size > 0 ? m_encoder->frame_size : 1024;
    return sendFrames(frameSize, error);
}

bool SoundEncoder::finish(std::string& error) {
    if (!encodeUpTo(static_cast<double>(m_sound->sampleFrames()) / m_sound->rate + 1, error))
        return false;
    // What the resampler holds back, then the short last frame.
    if (!convert(0, error) || !sendFrames(1, error))
        return false;
    return encodeAndMux(*m_encoder, nullptr, *m_stream, *m_muxer, error);
}

}  // namespace lumenreel
