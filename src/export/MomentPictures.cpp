#include "export/MomentPictures.h"

#include <cstring>

#include "player/DocImp.h"

namespace lumenreel {
namespace {

bool samePixels(const CImageExt& a, const CImageExt& b) {
    const std::size_t bytes = static_cast<std::size_t>(a.pitch()) * a.height();
    return std::memcmp(a.firstRow(), b.firstRow(), bytes) == 0;
}

}  // namespace

MomentPictures::MomentPictures(CDocImp& movie, std::vector<double> moments, double from, double to)
    : m_movie(movie), m_moments(std::move(moments)), m_from(from), m_to(to) {}

bool MomentPictures::fail(const std::string& reason, HandOver<ExportPicture>& out) {
    m_error = reason;
    out.close();
    return false;
}

bool MomentPictures::run(AVPixelFormat format, Size size, HandOver<ExportPicture>& out,
                         const std::atomic<bool>& stop) {
    const CDocImp::Size bitmap = m_movie.BitmapSize();
    CImageExt shown;
    CImageExt rendered;
    if (!shown.create(bitmap.width, bitmap.height, 32) ||
        !rendered.create(bitmap.width, bitmap.height, 32))
        return fail("the movie's pictures are too large", out);
    // Screen text stays sharp with bicubic scaling; without scaling only the colours change.
    ScalerPtr scaler(sws_getContext(bitmap.width, bitmap.height, AV_PIX_FMT_BGR0, size.width,
                                    size.height, format, SWS_BICUBIC, nullptr, nullptr, nullptr));
    if (!scaler)
        return fail("cannot convert the pictures to the output's form", out);

    ExportPicture pending;
    for (double moment : m_moments) {
        if (stop)
            return fail("stopped", out);
        if (!m_movie.RenderAt(static_cast<float>(moment), rendered))
            return fail("nothing to draw at " + std::to_string(moment) + " s", out);
        if (pending.frame && samePixels(rendered, shown))
            continue;
        const double start = moment - m_from;
        if (pending.frame) {
            pending.duration = start - pending.start;
            if (!out.give(std::move(pending)))
                return fail("stopped", out);
        }
        std::swap(shown, rendered);
        pending = ExportPicture{makePictureFrame(format, size.width, size.height), start, 0};
        if (!pending.frame)
            return fail("out of memory", out);
        const std::uint8_t* sourceRows[] = {shown.firstRow()};
        const int sourcePitch[] = {shown.pitch()};
        sws_scale(scaler.get(), sourceRows, sourcePitch, 0, bitmap.height, pending.frame->data,
                  pending.frame->linesize);
    }
    if (pending.frame) {
        pending.duration = (m_to - m_from) - pending.start;
        if (!out.give(std::move(pending)))
            return fail("stopped", out);
    }
    out.close();
    return true;
}

}  // namespace lumenreel
