#include "export/MomentPictures.h"

#include <cstring>

#include "export/PictureConverter.h"
#include "player/DocImp.h"

namespace lumenreel {
namespace {

// The rows where two pictures of one size differ; an empty span when they are the same.
ChangedRows changedRows(const CImageExt& a, const CImageExt& b) {
    const auto rowBytes = static_cast<std::size_t>(a.width()) * 4;
    auto differs = [&](int y) {
        return std::memcmp(a.firstRow() + static_cast<std::ptrdiff_t>(y) * a.pitch(),
                           b.firstRow() + static_cast<std::ptrdiff_t>(y) * b.pitch(),
                           rowBytes) != 0;
    };
    int first = 0;
    while (first < a.height() && !differs(first))
        ++first;
    int end = a.height();
    while (end > first && !differs(end - 1))
        --end;
    return {first, end};
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
    PictureConverter converter;
    if (!converter.open(Size{bitmap.width, bitmap.height}, format, size))
        return fail("cannot convert the pictures to the output's form", out);

    ExportPicture pending;
    for (double moment : m_moments) {
        if (stop)
            return fail("stopped", out);
        if (!m_movie.RenderAt(static_cast<float>(moment), rendered))
            return fail("nothing to draw at " + std::to_string(moment) + " s", out);
        const ChangedRows changed =
            pending.frame ? changedRows(rendered, shown) : ChangedRows{0, bitmap.height};
        if (changed.first == changed.end)
            continue;
        const double start = moment - m_from;
        if (pending.frame) {
            pending.duration = start - pending.start;
            if (!out.give(std::move(pending)))
                return fail("stopped", out);
        }
        std::swap(shown, rendered);
        pending =
            ExportPicture{converter.convert(shown.firstRow(), shown.pitch(), changed), start, 0};
        if (!pending.frame)
            return fail("out of memory", out);
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
