#include "images/Resampler.h"

#include <algorithm>
#include <bit>
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

// Four floats, one pixel: blue, green, red and alpha (unused with 3-byte pixels), filtered with one
// vector operation per tap.
using Lanes = float __attribute__((vector_size(16)));

template <int Channels>
Lanes loadPixel(const std::uint8_t* in) {
    if constexpr (Channels == 4) {
        return Lanes{static_cast<float>(in[0]), static_cast<float>(in[1]),
                     static_cast<float>(in[2]), static_cast<float>(in[3])};
    } else {
        return Lanes{static_cast<float>(in[0]), static_cast<float>(in[1]),
                     static_cast<float>(in[2]), 0.0f};
    }
}

using Words = std::int32_t __attribute__((vector_size(16)));

// Rounds to bytes and clips what the bicubic lobes overshoot; the bytes of a pixel sit in the low
// bytes of one little-endian word.
template <int Channels>
void storePixel(Lanes value, std::uint8_t* out) {
    static_assert(std::endian::native == std::endian::little);
    const Words rounded = __builtin_convertvector(value + 0.5f, Words);
    std::uint32_t packed = 0;
    for (int c = 0; c < Channels; ++c) {
        packed |= static_cast<std::uint32_t>(std::clamp(rounded[c], 0, 255)) << (8 * c);
    }
    std::memcpy(out, &packed, Channels);
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
          m_sourceRow(source.width),
          m_ring(static_cast<size_t>(target.width) * m_rows.taps),
          m_ringHolds(m_rows.taps, -1) {}

    void run() {
        const int taps = m_rows.taps;
        std::vector<const Lanes*> inputs(taps);
        for (int y = 0; y < m_target.height; ++y) {
            const int first = m_rows.first[y];
            for (int k = 0; k < taps; ++k) {
                inputs[k] = filteredRow(first + k);
            }
            const float* weights = &m_rows.weights[static_cast<size_t>(y) * taps];
            std::uint8_t* out = m_target.row(y);
            for (int x = 0; x < m_target.width; ++x) {
                Lanes sum = {};
                for (int k = 0; k < taps; ++k) {
                    sum += weights[k] * inputs[k][x];
                }
                storePixel<Channels>(sum, out + x * Channels);
            }
        }
    }

private:
    // Source rows are asked for in rising order and a window never exceeds the ring, so the slot
    // sourceRow % taps is free to take a row once the rows before the window are done with.
    const Lanes* filteredRow(int sourceRow) {
        const int slot = sourceRow % m_rows.taps;
        Lanes* row = &m_ring[static_cast<size_t>(slot) * m_target.width];
        if (m_ringHolds[slot] != sourceRow) {
            filterHorizontally(m_source.row(sourceRow), row);
            m_ringHolds[slot] = sourceRow;
        }
        return row;
    }

    void filterHorizontally(const std::uint8_t* in, Lanes* out) {
        for (int x = 0; x < m_source.width; ++x) {
            m_sourceRow[x] = loadPixel<Channels>(in + x * Channels);
        }
        const int taps = m_columns.taps;
        for (int x = 0; x < m_target.width; ++x) {
            const float* weights = &m_columns.weights[static_cast<size_t>(x) * taps];
            const Lanes* pixels = &m_sourceRow[m_columns.first[x]];
            Lanes sum = {};
            for (int k = 0; k < taps; ++k) {
                sum += weights[k] * pixels[k];
            }
            out[x] = sum;
        }
    }

    const PixelView& m_source;
    const PixelView& m_target;
    AxisWeights m_columns;
    AxisWeights m_rows;
    std::vector<Lanes> m_sourceRow;
    std::vector<Lanes> m_ring;
    std::vector<int> m_ringHolds;
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
