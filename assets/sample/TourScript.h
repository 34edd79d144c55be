#pragma once

#include <memory>
#include <string>
#include <vector>

#include "images/ImageExt.h"
#include "published/SoundTrack.h"
#include "published/ZcdWriter.h"

namespace lumenreel::tour {

struct TourOptions {
    std::string narrationScript;  // narration.txt: each frame's length and words
    std::string narrationSound;   // the Ogg Vorbis soundtrack; empty: none
    int frames = 0;               // 0: the tour as written; more: extra frames after its end
};

// Everything the writer needs; the content points into the pictures and the soundtrack.
struct Tour {
    std::vector<CImageExt> pictures;
    std::unique_ptr<CSoundTrack_Ogg> soundtrack;
    zcd::ZcdContent content;
};

// The seconds of each written frame, from the narration script; empty with a reason on a bad
// script.
std::vector<float> readFrameLengths(const std::string& path, std::string& error);

// Draws every picture and lays out the captions, highlights, logo and pointer.
bool buildTour(const TourOptions& options, Tour& tour, std::string& error);

}  // namespace lumenreel::tour
