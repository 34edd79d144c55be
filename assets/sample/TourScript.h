#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "TourArt.h"
#include "TourScreens.h"
#include "images/ImageExt.h"
#include "published/SoundTrack.h"
#include "published/ZcdWriter.h"

namespace lumenreel::tour {

struct TourOptions {
    std::string narrationScript;  // narration.txt: each frame's length and words
    std::string narrationSound;   // the Ogg Vorbis soundtrack; empty: none
    int frames = 0;               // 0: the tour as written; more: extra frames after its end
};

// When an overlay shows within its frame, in seconds from the frame's start.
struct Appearance {
    float start = 0, end = 0;
    float fadeIn = 0, fadeOut = 0;
};

struct TourCaption {
    Tail tail = Tail::upLeft;
    zcd::Point tip;  // where the tail points, on the screen
    int width = 320;
    std::string heading;
    std::string rtf;
    Appearance shown;
};

struct TourStep {
    float length = 0;
    zcd::Point cursor;  // where the pointer is as the frame starts; it glides to the next one's
    bool curved = false;
    float cursorMoveStart = 0, cursorMoveEnd = 0;
    std::optional<Box> highlight;
    Appearance highlightShown;
    std::optional<TourCaption> caption;
};

// The tour as the two movie kinds share it: the pictures, what each frame shows over its picture,
// the logo on every frame and the narration.
struct TourPlan {
    std::vector<CImageExt> pictures;  // one per step
    std::vector<TourStep> steps;
    Box logo;
    Appearance logoShown;  // over the whole movie
    float logoTransparency = 0;
    std::vector<std::uint8_t> narration;  // Ogg Vorbis; empty: none
};

inline constexpr std::uint32_t kHighlightColour = 0x001C8CF2;  // orange, as 0x00BBGGRR
inline constexpr int kHighlightFrameWidth = 3;

// The seconds of each written frame, from the narration script; empty with a reason on a bad
// script.
std::vector<float> readFrameLengths(const std::string& path, std::string& error);

// Draws every picture and times the captions, highlights, logo and pointer.
bool planTour(const TourOptions& options, TourPlan& plan, std::string& error);

// Everything the demo writer needs; the content points into the plan's pictures and the
// soundtrack.
struct Tour {
    TourPlan plan;
    std::unique_ptr<CSoundTrack_Ogg> soundtrack;
    zcd::ZcdContent content;
};

// Lays the plan out as a published demo.
bool buildTour(const TourOptions& options, Tour& tour, std::string& error);

}  // namespace lumenreel::tour
