#include "images/Resampler.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <vector>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

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

// Pixels move as whole 32-bit words: a 3-byte pixel carries the next pixel's first byte along in
// its fourth lane (filtered, never kept), except at the end of a row, where the bytes move singly.
template <int Channels>
Lanes loadPixel(const std::uint8_t* row, int x, int width) {
    const std::uint8_t* in = row + x * Channels;
    std::uint32_t word = 0;
    if (Channels == 4 || x + 1 < width) {
        std::memcpy(&word, in, 4);
    } else {
        word = in[0] | (in[1] << 8) | (in[2] << 16);
    }
#if defined(__SSE2__)
    const __m128i zero = _mm_setzero_si128();
    const __m128i bytes = _mm_cvtsi32_si128(static_cast<int>(word));
    return _mm_cvtepi32_ps(_mm_unpacklo_epi16(_mm_unpacklo_epi8(bytes, zero), zero));
#else
    return Lanes{static_cast<float>(word & 0xFF), static_cast<float>((word >> 8) & 0xFF),
                 static_cast<float>((word >> 16) & 0xFF), static_cast<float>(word >> 24)};
#endif
}

// Rounds to bytes and clips what the bicubic lobes overshoot. A 3-byte pixel's spare byte lands on
// the next pixel, which is stored after it.
template <int Channels>
void storePixel(Lanes value, std::uint8_t* row, int x, int width) {
    static_assert(std::endian::native == std::endian::little);
    value += 0.5f;
#if defined(__SSE2__)
    const __m128i words = _mm_cvttps_epi32(value);
    const __m128i bytes = _mm_packus_epi16(_mm_packs_epi32(words, words), _mm_setzero_si128());
    const auto word = static_cast<std::uint32_t>(_mm_cvtsi128_si32(bytes));
#else
    std::uint32_t word = 0;
    for (int c = 0; c < 4; ++c) {
        word |= static_cast<std::uint32_t>(std::clamp(value[c], 0.0f, 255.0f)) << (8 * c);
    }
#endif
    std::uint8_t* out = row + x * Channels;
    if (Channels == 4 || x + 1 < width) {
        std::memcpy(out, &word, 4);
    } else {
        out[0] = static_cast<std::uint8_t>(word);
        out[1] = static_cast<std::uint8_t>(word >> 8);
        out[2] = static_cast<std::uint8_t>(word >> 16);
    }
}

// Separable filtering in two passes, in the order that suits the shape:
// - not shrinking vertically: every source row is filtered horizontally once, into a ring that
//   holds just the (at most four) rows the vertical kernel spans, and each target row is a weighted
//   sum of ring rows;
// - shrinking vertically: the source rows under the vertical kernel are summed into one row of
//   source width, which is then filtered horizontally. A ring here would need as many rows as the
//   shrink factor widens the kernel, which a thin target of a tall picture turns into gigabytes.
// Either way memory stays a few rows.
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
          m_sourceRow(source.width) {}

    void run() {
        if (m_target.height >= m_source.height) {
            runHorizontalFirst();
        } else {
            runVerticalFirst();
        }
    }

private:
    void runHorizontalFirst() {
        const int taps = m_rows.taps;
        m_ring.resize(static_cast<size_t>(m_target.width) * taps);
        m_ringHolds.assign(taps, -1);
        std::vector<const Lanes*> rows(taps);
        for (int y = 0; y < m_target.height; ++y) {
            for (int k = 0; k < taps; ++k) {
                rows[k] = filteredRow(m_rows.first[y] + k);
            }
            std::uint8_t* out = m_target.row(y);
            sumRows(rows.data(), y, m_target.width, [this, out](int x, Lanes sum) {
                storePixel<Channels>(sum, out, x, m_target.width);
            });
        }
    }

    void runVerticalFirst() {
        const int taps = m_rows.taps;
        m_targetRow.resize(m_target.width);
        std::vector<const std::uint8_t*> rows(taps);
        for (int y = 0; y < m_target.height; ++y) {
            for (int k = 0; k < taps; ++k) {
                rows[k] = m_source.row(m_rows.first[y] + k);
            }
            Lanes* summed = m_sourceRow.data();
            sumRows(rows.data(), y, m_source.width,
                    [summed](int x, Lanes sum) { summed[x] = sum; });
            filterColumns(m_sourceRow.data(), m_targetRow.data());
            storeRow(m_targetRow.data(), m_target.row(y));
        }
    }

    // Source rows are asked for in rising order and a window never exceeds the ring, so the slot
    // sourceRow % taps is free to take a row once the rows before the window are done with.
    const Lanes* filteredRow(int sourceRow) {
        const int slot = sourceRow % m_rows.taps;
        Lanes* row = &m_ring[static_cast<size_t>(slot) * m_target.width];
        if (m_ringHolds[slot] != sourceRow) {
            const std::uint8_t* in = m_source.row(sourceRow);
            for (int x = 0; x < m_source.width; ++x) {
                m_sourceRow[x] = loadPixel<Channels>(in, x, m_source.width);
            }
            filterColumns(m_sourceRow.data(), row);
            m_ringHolds[slot] = sourceRow;
        }
        return row;
    }

    Lanes pixelAt(const Lanes* row, int x) const { return row[x]; }
    Lanes pixelAt(const std::uint8_t* row, int x) const {
        return loadPixel<Channels>(row, x, m_source.width);
    }

    // The vertical kernel of target row y over rows already fetched, handed pixel by pixel to put.
    template <typename Row, typename Put>
    void sumRows(const Row* const* rows, int y, int width, Put put) const {
        const int taps = m_rows.taps;
        const float* weights = &m_rows.weights[static_cast<size_t>(y) * taps];
        for (int x = 0; x < width; ++x) {
            Lanes sum = {};
            for (int k = 0; k < taps; ++k) {
                sum += weights[k] * pixelAt(rows[k], x);
            }
            put(x, sum);
        }
    }

    void filterColumns(const Lanes* in, Lanes* out) const {
        const int taps = m_columns.taps;
        for (int x = 0; x < m_target.width; ++x) {
            const float* weights = &m_columns.weights[static_cast<size_t>(x) * taps];
            const Lanes* pixels = &in[m_columns.first[x]];
            Lanes sum = {};
            for (int k = 0; k < taps; ++k) {
                sum += weights[k] * pixels[k];
            }
            out[x] = sum;
        }
    }

    void storeRow(const Lanes* in, std::uint8_t* out) const {
        for (int x = 0; x < m_target.width; ++x) {
            storePixel<Channels>(in[x], out, x, m_target.width);
        }
    }

    const PixelView& m_source;
    const PixelView& m_target;
    AxisWeights m_columns;
    AxisWeights m_rows;
    std::vector<Lanes> m_sourceRow;
    std::vector<Lanes> m_targetRow;
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
