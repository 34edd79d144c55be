#include "export/PictureConverter.h"

extern "C" {
#include <libavutil/imgutils.h>
#include <libavutil/pixdesc.h>
}

#include <algorithm>
#include <cstring>

namespace lumenreel {
namespace {

// Screen text stays sharp with bicubic scaling; without scaling only the colours change.
constexpr int kScaling = SWS_BICUBIC;
// Rows a converted row may draw on either side (the vertical chroma filter), with room to spare.
constexpr int kFilterReach = 8;
// Bands start on a multiple of the ordered dither's 8 rows in every plane, and convert this
// much beyond the rows they copy.
constexpr int kBandAlign = 16;
// A band over more of the picture than this costs as much as the whole.
constexpr double kLargestBand = 0.5;

}  // namespace

bool PictureConverter::open(Size source, AVPixelFormat format, Size size) {
    m_source = source;
    m_format = format;
    m_size = size;
    m_last.reset();
    m_whole.reset(sws_getContext(source.width, source.height, AV_PIX_FMT_BGR0, size.width,
                                 size.height, format, kScaling, nullptr, nullptr, nullptr));
    return m_whole != nullptr;
}

FramePtr PictureConverter::convertWhole(const std::uint8_t* rows, int pitch) {
    FramePtr frame = makePictureFrame(m_format, m_size.width, m_size.height);
    if (!frame)
        return nullptr;
    const std::uint8_t* sourceRows[] = {rows};
    const int sourcePitch[] = {pitch};
    sws_scale(m_whole.get(), sourceRows, sourcePitch, 0, m_source.height, frame->data,
              frame->linesize);
    return frame;
}

FramePtr PictureConverter::convertBand(const std::uint8_t* rows, int pitch, ChangedRows changed) {
    const int height = m_source.height;
    const int first = std::max(0, (changed.first - kBandAlign) / kBandAlign * kBandAlign);
    const int end = std::min(height, (changed.end + 2 * kBandAlign - 1) / kBandAlign * kBandAlign);
    const int bandHeight = end - first;
    m_band.reset(sws_getCachedContext(m_band.release(), m_source.width, bandHeight, AV_PIX_FMT_BGR0,
                                      m_size.width, bandHeight, m_format, kScaling, nullptr,
                                      nullptr, nullptr));
    FramePtr band = makePictureFrame(m_format, m_size.width, bandHeight);
    FramePtr frame = makePictureFrame(m_format, m_size.width, m_size.height);
    if (!m_band || !band || !frame || av_frame_copy(frame.get(), m_last.get()) < 0)
        return nullptr;
    const std::uint8_t* sourceRows[] = {rows + static_cast<std::ptrdiff_t>(first) * pitch};
    const int sourcePitch[] = {pitch};
    sws_scale(m_band.get(), sourceRows, sourcePitch, 0, bandHeight, band->data, band->linesize);

    // The rows the change can reach, each far enough inside the band to see what a whole
    // conversion sees.
    const int copyFirst = std::max(first, changed.first - kFilterReach);
    const int copyEnd = std::min(end, changed.end + kFilterReach);
    const AVPixFmtDescriptor* form = av_pix_fmt_desc_get(m_format);
    for (int plane = 0; plane < av_pix_fmt_count_planes(m_format); ++plane) {
        const bool chroma = (plane == 1 || plane == 2) && !(form->flags & AV_PIX_FMT_FLAG_RGB);
        const int shift = chroma ? form->log2_chroma_h : 0;
        const int rowFirst = copyFirst >> shift;
        const int rowEnd = (copyEnd + (1 << shift) - 1) >> shift;
        const int bytes = av_image_get_linesize(m_format, m_size.width, plane);
        for (int row = rowFirst; row < rowEnd; ++row)
            std::memcpy(
                frame->data[plane] + static_cast<std::ptrdiff_t>(row) * frame->linesize[plane],
                band->data[plane] +
                    static_cast<std::ptrdiff_t>(row - (first >> shift)) * band->linesize[plane],
                static_cast<std::size_t>(bytes));
    }
    return frame;
}

FramePtr PictureConverter::convert(const std::uint8_t* rows, int pitch, ChangedRows changed) {
    const bool bandWorks = m_last && m_size.width == m_source.width &&
                           m_size.height == m_source.height &&
                           changed.end - changed.first < kLargestBand * m_source.height;
    FramePtr frame = bandWorks ? convertBand(rows, pitch, changed) : convertWhole(rows, pitch);
    if (!frame)
        return nullptr;
    m_last.reset(av_frame_clone(frame.get()));
    if (!m_last)
        return nullptr;
    return frame;
}

}  // namespace lumenreel
