#pragma once

#include <cstddef>
#include <cstdint>

namespace lumenreel {

// A movie file (a published demo or a document) is read into memory whole before it is parsed;
// files larger than this are refused unread. Real movies stay far below it, and a bundled movie
// must fit the 2 GiB a program's resource trailer holds anyway.
inline constexpr std::uint64_t kMaxMovieFileBytes = std::uint64_t{1} << 31;

// Caps on what a published demo may make the reader allocate. Real demos stay far below; the
// caps keep hostile files (and fuzzers) from asking for gigabytes.
struct LoadLimits {
    // Any one inflated gzip member (picture stream, object stream, compressed samples).
    std::size_t maxInflatedBytes = std::size_t{1} << 30;
    // All bitmaps the picture decoder may keep at once (own pictures and shared canvases).
    std::uint64_t maxPictureBytes = std::uint64_t{1} << 30;
};

}  // namespace lumenreel
