#pragma once

#include <atomic>
#include <string>
#include <vector>

#include "base/Geometry.h"
#include "export/ExportPicture.h"
#include "export/HandOver.h"
#include "images/ImageExt.h"

class CDocImp;

namespace lumenreel {

// Renders an export's moments through the movie source and hands over each picture that differs
// from the one before, scaled and converted for the writer. A moment that looks like the one
// before only makes the earlier picture last longer.
class MomentPictures {
public:
    MomentPictures(CDocImp& movie, std::vector<double> moments, double from, double to);

    // Renders every moment into the hand-over, then closes it. Stops early, with the hand-over
    // closed, when `stop` is set or the taker closed it; false with the reason on a failure.
    bool run(AVPixelFormat format, Size size, HandOver<ExportPicture>& out,
             const std::atomic<bool>& stop);
    const std::string& error() const { return m_error; }

private:
    bool fail(const std::string& reason, HandOver<ExportPicture>& out);

    CDocImp& m_movie;
    std::vector<double> m_moments;
    double m_from;
    double m_to;
    std::string m_error;
};

}  // namespace lumenreel
