#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "published/ExternalFormatReader.h"

namespace lumenreel::cli {

// What `lumenreel info` tells about a published demo, gathered once and written as text or JSON.
struct InfoSummary {
    struct Frame {
        int index = 0;
        std::int32_t id = 0;
        float start = 0;
        float duration = 0;
        float cursorMoveStart = 0;
        float cursorMoveEnd = 0;
    };
    struct MasterFrame {
        std::int32_t id = 0;
        float duration = 0;
    };
    struct Soundtrack {
        std::string kind;
        std::size_t bytes = 0;
        std::string format;
    };

    std::string format = "ZCD";
    NKWXDecodersEncoders::Size displaySize;
    NKWXDecodersEncoders::Size bitmapSize;
    int frameCount = 0;
    float duration = 0;
    std::vector<Frame> frames;
    std::optional<MasterFrame> masterFrame;
    int poolPictures = 0;
    int cursors = 0;
    int captions = 0;
    int images = 0;
    int highlights = 0;
    std::optional<Soundtrack> soundtrack;
    std::vector<std::string> skipped;
};

InfoSummary summarize(const NKWXDecodersEncoders::CExternalFormatReader& reader);

}  // namespace lumenreel::cli
