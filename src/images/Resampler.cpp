#include "images/Resampler.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "images/LanePixel.h"
#include "images/ResampleKernels.h"
#include "images/ResampleRows.h"

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

// The target pixels a call writes, inside the target.
struct Region {
    int left, top, right, bottom;
};

void copyRows(const PixelView& source, const PixelView& target, const Region& region) {
    const size_t bytes = static_cast<size_t>(region.right - region.left) * source.bytesPerPixel;
    for (int y = region.top; y < region.bottom; ++y) {
        std::memcpy(target.row(y) + region.left * target.bytesPerPixel,
                    source.row(y) + region.left * source.bytesPerPixel, bytes);
    }
}

template <int Channels>
void resampleNearest(const PixelView& source, const PixelView& target, const Region& region) {
    const std::vector<int> columns = nearestIndices(source.width, target.width);
    const std::vector<int> rows = nearestIndices(source.height, target.height);
    for (int y = region.top; y < region.bottom; ++y) {
        const std::uint8_t* in = source.row(rows[y]);
        std::uint8_t* out = target.row(y);
        for (int x = region.left; x < region.right; ++x) {
            std::memcpy(out + x * Channels, in + columns[x] * Channels, Channels);
        }
    }
}

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
    return lanesFromWord(word);
}

// Separable filtering in two passes, in the order that suits the shape:
// - not shrinking vertically: every source row is filtered horizontally once, into a ring that
//   holds just the (at most four) rows the vertical kernel spans, and each target row is a weighted
//   sum of ring rows;
// - shrinking vertically: the source rows under the vertical kernel are summed into one row of
//   source width, which is then filtered horizontally. A ring here would need as many rows as the
//   shrink factor widens the kernel, which a thin target of a tall picture turns into gigabytes.
// Either way memory stays a few rows. Enlarging goes in strips of target columns narrow enough
// that the ring stays in the first-level cache while the vertical kernel reads it again and again.
// The row operations come from the kernel set.
template <int Channels>
class SeparableScaler {
    static constexpr int kStripWidth = 256;

public:
    SeparableScaler(const PixelView& source, const PixelView& target, const Region& region,
                    const FilterChoice& filter, const ResampleRowKernels& kernels)
        : m_source(source),
          m_target(target),
          m_region(region),
          m_kernels(kernels),
          m_columns(buildAxisWeights(source.width, target.width, *filter.kernel,
                                     filter.widenWhenShrinking)),
          m_rows(buildAxisWeights(source.height, target.height, *filter.kernel,
                                  filter.widenWhenShrinking)),
          m_sourceRow(source.width + kRowPadding),
          m_filtersBytes(kernels.filterFourTapBytes != nullptr && !m_columns.fixedPairs.empty()) {
        if (Channels == 3) {
            m_words.resize(static_cast<size_t>(target.width) * 4);
            if (m_filtersBytes) {
                m_sourceWords.resize(static_cast<size_t>(source.width) * 4);
            }
        }
    }

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
        const int stripWidth = std::min(m_region.right - m_region.left, kStripWidth);
        m_ringRowBytes = static_cast<size_t>(stripWidth) * m_kernels.filteredPixelBytes;
        m_ring.resize((m_ringRowBytes * taps + sizeof(Lanes) - 1) / sizeof(Lanes));
        std::vector<const void*> rows(taps);
        for (int from = m_region.left; from < m_region.right; from += stripWidth) {
            const int to = std::min(m_region.right, from + stripWidth);
            m_ringHolds.assign(taps, -1);
            for (int y = m_region.top; y < m_region.bottom; ++y) {
                for (int k = 0; k < taps; ++k) {
                    rows[k] = filteredRow(m_rows.first[y] + k, from, to);
                }
                storeRow(rows.data(), &m_rows.weights[static_cast<size_t>(y) * taps], taps, from,
                         to, m_target.row(y));
                if (y + 1 < m_region.bottom) {
                    prefetchPixels(m_target.row(y + 1), from, to, true);
                }
            }
        }
    }

    void runVerticalFirst() {
        const int taps = m_rows.taps;
        m_targetRow.resize(m_target.width);
        std::vector<const std::uint8_t*> rows(taps);
        const int from = m_region.left, to = m_region.right;
        // Only the source columns under the region's kernels are summed.
        const int first = m_columns.first[from];
        const int end = std::min(m_source.width, m_columns.first[to - 1] + m_columns.taps);
        for (int y = m_region.top; y < m_region.bottom; ++y) {
            for (int k = 0; k < taps; ++k) {
                rows[k] = m_source.row(m_rows.first[y] + k);
            }
            sumSourceRows(rows.data(), &m_rows.weights[static_cast<size_t>(y) * taps], first, end);
            m_kernels.filterColumns(m_sourceRow.data(), m_columns, from, to, m_targetRow.data());
            // A single row weighted one is the row itself, rounded to bytes.
            const void* row = m_targetRow.data();
            const float one = 1.0f;
            storeRow(&row, &one, 1, from, to, m_target.row(y));
        }
    }

    // Source rows are asked for in rising order and a window never exceeds the ring, so the slot
    // sourceRow % taps is free to take a row once the rows before the window are done with. Only
    // the source pixels under the strip's kernels are read.
    const void* filteredRow(int sourceRow, int from, int to) {
        const int slot = sourceRow % m_rows.taps;
        std::uint8_t* row = reinterpret_cast<std::uint8_t*>(m_ring.data()) + slot * m_ringRowBytes;
        if (m_ringHolds[slot] != sourceRow) {
            const int first = m_columns.first[from];
            const int end = std::min(m_source.width, m_columns.first[to - 1] + m_columns.taps);
            const std::uint8_t* in = m_source.row(sourceRow);
            if (m_filtersBytes) {
                m_kernels.filterFourTapBytes(Channels == 4 ? in : wordsOf(in, first, end),
                                             m_columns, from, to, row);
            } else {
                widenRow(in, first, end);
                m_kernels.filterColumns(m_sourceRow.data(), m_columns, from, to, row);
            }
            m_ringHolds[slot] = sourceRow;
            if (sourceRow + 1 < m_source.height) {
                prefetchPixels(m_source.row(sourceRow + 1), first, end, false);
            }
        }
        return row;
    }

    // Source pixels [first, end) of a 3-byte row as 4-byte words, for the byte filter.
    const std::uint8_t* wordsOf(const std::uint8_t* in, int first, int end) {
        for (int x = first; x < end; ++x) {
            std::memcpy(&m_sourceWords[static_cast<size_t>(x) * 4], in + x * Channels, Channels);
        }
        return m_sourceWords.data();
    }

    void widenRow(const std::uint8_t* in, int first, int end) {
        if (Channels == 4) {
            m_kernels.widen(in + first * 4, end - first, &m_sourceRow[first]);
            return;
        }
        for (int x = first; x < end; ++x) {
            m_sourceRow[x] = loadPixel<Channels>(in, x, m_source.width);
        }
    }

    // A strip's part of a row is a short run of cache lines, too short for the hardware to see
    // coming, so the part of the row after is fetched ahead.
    static void prefetchPixels(const std::uint8_t* row, int from, int to, bool forWriting) {
        for (int x = from * Channels; x < to * Channels; x += 64) {
            if (forWriting) {
                __builtin_prefetch(row + x, 1);
            } else {
                __builtin_prefetch(row + x, 0);
            }
        }
    }

    // The vertical kernel over source rows, into source columns [first, end) of the source-width
    // row.
    void sumSourceRows(const std::uint8_t* const* rows, const float* weights, int first, int end) {
        const int taps = m_rows.taps;
        for (int x = first; x < end; ++x) {
            Lanes sum = {};
            for (int k = 0; k < taps; ++k) {
                sum += weights[k] * loadPixel<Channels>(rows[k], x, m_source.width);
            }
            m_sourceRow[x] = sum;
        }
    }

    // Target pixels [from, to) of a row. The kernels write four bytes a pixel; 3-byte rows take
    // them through a row of words.
    void storeRow(const void* const* rows, const float* weights, int taps, int from, int to,
                  std::uint8_t* out) {
        if (Channels == 4) {
            m_kernels.sumRows(rows, weights, taps, to - from, out + from * 4);
            return;
        }
        m_kernels.sumRows(rows, weights, taps, to - from, m_words.data());
        for (int x = from; x < to; ++x) {
            std::memcpy(out + x * 3, &m_words[static_cast<size_t>(x - from) * 4], 3);
        }
    }

    const PixelView& m_source;
    const PixelView& m_target;
    const Region m_region;
    const ResampleRowKernels& m_kernels;
    ColumnWeights m_columns;
    AxisWeights m_rows;
    std::vector<Lanes> m_sourceRow;  // zeroed past the source width
    // The kernels filter source bytes as they are (3-byte pixels through a row of words), with no
    // widened row between.
    const bool m_filtersBytes;
    std::vector<std::uint8_t> m_sourceWords;
    std::vector<Lanes> m_targetRow;  // room for a filtered row of any kernel set
    std::vector<Lanes> m_ring;
    size_t m_ringRowBytes = 0;
    std::vector<int> m_ringHolds;
    std::vector<std::uint8_t> m_words;
};

template <int Channels>
void scaleWith(const PixelView& source, const PixelView& target, const Region& region,
               const FilterChoice& filter, const ResampleRowKernels& kernels) {
    if (filter.kernel == nullptr) {
        resampleNearest<Channels>(source, target, region);
    } else {
        SeparableScaler<Channels>(source, target, region, filter, kernels).run();
    }
}

bool validView(const PixelView& view) {
    return !view.empty() && (view.bytesPerPixel == 3 || view.bytesPerPixel == 4) &&
           view.stride >= view.width * view.bytesPerPixel;
}

bool resampleRegion(const PixelView& source, const PixelView& target, int interpolationMode,
                    const Region& region, const ResampleRowKernels& kernels) {
    FilterChoice filter{};
    if (!validView(source) || !validView(target) || source.bytesPerPixel != target.bytesPerPixel ||
        !chooseFilter(interpolationMode, filter)) {
        return false;
    }
    if (region.left >= region.right || region.top >= region.bottom) {
        return true;
    }
    if (source.width == target.width && source.height == target.height) {
        copyRows(source, target, region);
    } else if (source.bytesPerPixel == 3) {
        scaleWith<3>(source, target, region, filter, kernels);
    } else {
        scaleWith<4>(source, target, region, filter, kernels);
    }
    return true;
}

}  // namespace

bool resample(const PixelView& source, const PixelView& target, int interpolationMode) {
    return resampleWith(source, target, interpolationMode, fastestRowKernels());
}

bool resampleWith(const PixelView& source, const PixelView& target, int interpolationMode,
                  const ResampleRowKernels& kernels) {
    return resampleRegion(source, target, interpolationMode, {0, 0, target.width, target.height},
                          kernels);
}

bool resamplePart(const PixelView& source, const PixelView& target, int interpolationMode,
                  const Rect& part) {
    const Region region{std::max(0, part.left), std::max(0, part.top),
                        std::min(target.width, part.right), std::min(target.height, part.bottom)};
    return resampleRegion(source, target, interpolationMode, region, fastestRowKernels());
}

ResampleReach::ResampleReach(Size source, Size target, int interpolationMode)
    : m_source(source),
      m_target(target),
      m_mode(interpolationMode),
      m_columns(axisOf(source.width, target.width, source == target, interpolationMode)),
      m_rows(axisOf(source.height, target.height, source == target, interpolationMode)) {}

// The same choice of filter and weights resample() makes, reduced to where each sample reads.
ResampleReach::Axis ResampleReach::axisOf(int sourceSize, int targetSize, bool copied,
                                          int interpolationMode) {
    Axis axis;
    FilterChoice filter{};
    if (sourceSize <= 0 || targetSize <= 0 || !chooseFilter(interpolationMode, filter)) {
        return axis;
    }
    if (copied) {
        axis.first.resize(targetSize);
        for (int i = 0; i < targetSize; ++i) {
            axis.first[i] = i;
        }
    } else if (filter.kernel == nullptr) {
        axis.first = nearestIndices(sourceSize, targetSize);
    } else {
        AxisWeights weights =
            buildAxisWeights(sourceSize, targetSize, *filter.kernel, filter.widenWhenShrinking);
        axis.first = std::move(weights.first);
        axis.taps = weights.taps;
    }
    return axis;
}

// The target samples [from, to) of those whose taps meet the source samples [from, to); the
// windows only move forward as the target sample does.
std::pair<int, int> ResampleReach::reachOf(const Axis& axis, int from, int to) {
    const std::vector<int>& first = axis.first;
    if (from >= to) {
        return {0, 0};
    }
    const auto begin = std::partition_point(first.begin(), first.end(),
                                            [&](int f) { return f + axis.taps <= from; });
    const auto end = std::partition_point(begin, first.end(), [&](int f) { return f < to; });
    return {static_cast<int>(begin - first.begin()), static_cast<int>(end - first.begin())};
}

Rect ResampleReach::targetOf(const Rect& sourcePart) const {
    const auto [left, right] = reachOf(m_columns, sourcePart.left, sourcePart.right);
    const auto [top, bottom] = reachOf(m_rows, sourcePart.top, sourcePart.bottom);
    if (left >= right || top >= bottom) {
        return {};
    }
    return {left, top, right, bottom};
}

}  // namespace lumenreel
