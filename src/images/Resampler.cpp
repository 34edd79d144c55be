#include "images/Resampler.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "images/ResampleKernels.h"

namespace lumenreel {

namespace {

struct FilterChoice {
    const ResampleKernel* kernel;  // null: nearest neighbour
    bool widenWhenShrinking;
};

bool chooseFilter(int mode, FilterChoice& choice) {
    switch (static_cast<InterpolationMode>(mode)) {
        case InterpolationMode::Default:
        case InterpolationMode::LowQuality:
        case InterpolationMode::Bilinear:
            choice = {&kTriangleKernel, false};
            return true;
        case InterpolationMode::HighQualityBilinear:
            choice = {&kTriangleKernel, true};
            return true;
        case InterpolationMode::Bicubic:
            choice = {&kCatmullRomKernel, false};
            return true;
        case InterpolationMode::HighQuality:
        case InterpolationMode::HighQualityBicubic:
            choice = {&kCatmullRomKernel, true};
            return true;
        case InterpolationMode::NearestNeighbor:
            choice = {nullptr, false};
            return true;
    }
    return false;
}

void copyRows(const PixelView& source, const PixelView& target) {
    const size_t rowBytes = static_cast<size_t>(source.width) * source.bytesPerPixel;
    for (int y = 0; y < source.height; ++y) {
        std::memcpy(target.row(y), source.row(y), rowBytes);
    }
}

template <int Channels>
void resampleNearest(const PixelView& source, const PixelView& target) {
    const std::vector<int> columns = nearestIndices(source.width, target.width);
    const std::vector<int> rows = nearestIndices(source.height, target.height);
    for (int y = 0; y < target.height; ++y) {
        const std::uint8_t* in = source.row(rows[y]);
        std::uint8_t* out = target.row(y);
        for (int x = 0; x < target.width; ++x) {
            std::memcpy(out + x * Channels, in + columns[x] * Channels, Channels);
        }
    }
}

std::uint8_t toByte(float value) {
    return static_cast<std::uint8_t>(std::clamp(value, 0.0f, 255.0f) + 0.5f);
}

// Two passes: each source row is filtered horizontally once, into a ring that holds just the rows
// the vertical kernel spans, then every target row is a weighted sum of ring rows. The ring keeps
// the working set in cache instead of a whole intermediate picture.
template <int Channels>
class SeparableScaler {
public:
    SeparableScaler(const PixelView& source, const PixelView& target, const FilterChoice& filter)
        : m_source(source),
          m_target(target),
          m_columns(buildAxisWeights(source.width, target.width, *filter.kernel,
                                     filter.widenWhenShrinking)),
          m_rows(buildAxisWeights(source.height, target.height, *filter.kernel,
                                  filter.widenWhenShrinking)),
          m_rowLength(static_cast<size_t>(target.width) * Channels),
          m_sourceRow(static_cast<size_t>(source.width) * Channels),
          m_ring(m_rowLength * m_rows.taps),
          m_ringHolds(m_rows.taps, -1),
          m_sum(m_rowLength) {}

    void run() {
        const int taps = m_rows.taps;
        std::vector<const float*> inputs(taps);
        for (int y = 0; y < m_target.height; ++y) {
            const int first = m_rows.first[y];
            for (int k = 0; k < taps; ++k) {
                inputs[k] = filteredRow(first + k);
            }
            const float* weights = &m_rows.weights[static_cast<size_t>(y) * taps];
            std::fill(m_sum.begin(), m_sum.end(), 0.0f);
            for (int k = 0; k < taps; ++k) {
                const float weight = weights[k];
                if (weight == 0.0f) {
                    continue;
                }
                const float* in = inputs[k];
                float* sum = m_sum.data();
                for (size_t i = 0; i < m_rowLength; ++i) {
                    sum[i] += weight * in[i];
                }
            }
            std::uint8_t* out = m_target.row(y);
            for (size_t i = 0; i < m_rowLength; ++i) {
                out[i] = toByte(m_sum[i]);
            }
        }
    }

private:
    // Source rows are asked for in rising order and a window never exceeds the ring, so the slot
    // sourceRow % taps is free to take a row once the rows before the window are done with.
    const float* filteredRow(int sourceRow) {
        const int slot = sourceRow % m_rows.taps;
        float* row = &m_ring[static_cast<size_t>(slot) * m_rowLength];
        if (m_ringHolds[slot] != sourceRow) {
            filterHorizontally(m_source.row(sourceRow), row);
            m_ringHolds[slot] = sourceRow;
        }
        return row;
    }

    void filterHorizontally(const std::uint8_t* in, float* out) {
        const size_t inLength = m_sourceRow.size();
        for (size_t i = 0; i < inLength; ++i) {
            m_sourceRow[i] = in[i];
        }
        const int taps = m_columns.taps;
        for (int x = 0; x < m_target.width; ++x) {
            const float* weights = &m_columns.weights[static_cast<size_t>(x) * taps];
            const float* pixels = &m_sourceRow[static_cast<size_t>(m_columns.first[x]) * Channels];
            float sum[Channels] = {};
            for (int k = 0; k < taps; ++k) {
                for (int c = 0; c < Channels; ++c) {
                    sum[c] += weights[k] * pixels[k * Channels + c];
                }
            }
            for (int c = 0; c < Channels; ++c) {
                out[x * Channels + c] = sum[c];
            }
        }
    }

    const PixelView& m_source;
    const PixelView& m_target;
    AxisWeights m_columns;
    AxisWeights m_rows;
    size_t m_rowLength;
    std::vector<float> m_sourceRow;
    std::vector<float> m_ring;
    std::vector<int> m_ringHolds;
    std::vector<float> m_sum;
};

template <int Channels>
void resampleWith(const PixelView& source, const PixelView& target, const FilterChoice& filter) {
    if (filter.kernel == nullptr) {
        resampleNearest<Channels>(source, target);
    } else {
        SeparableScaler<Channels>(source, target, filter).run();
    }
}

bool validView(const PixelView& view) {
    return !view.empty() && (view.bytesPerPixel == 3 || view.bytesPerPixel == 4) &&
           view.stride >= view.width * view.bytesPerPixel;
}

}  // namespace

bool resample(const PixelView& source, const PixelView& target, int interpolationMode) {
    FilterChoice filter{};
    if (!validView(source) || !validView(target) || source.bytesPerPixel != target.bytesPerPixel ||
        !chooseFilter(interpolationMode, filter)) {
        return false;
    }
    if (source.width == target.width && source.height == target.height) {
        copyRows(source, target);
    } else if (source.bytesPerPixel == 3) {
        resampleWith<3>(source, target, filter);
    } else {
        resampleWith<4>(source, target, filter);
    }
    return true;
}

}  // namespace lumenreel
