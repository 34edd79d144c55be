#pragma once

#include <atomic>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>

#include "export/ExportSettings.h"

class CDocImp;

namespace lumenreel {

// How far an export has come. Work counts movie seconds (a GIF goes over the movie twice:
// once for its palette, once for its pictures).
struct ExportProgress {
    double workDone = 0;
    double workTotal = 0;
    double elapsedSeconds = 0;
    long pictures = 0;
};

struct ExportResult {
    bool ok = false;
    // Stopped on request rather than failed.
    bool stopped = false;
    std::string error;
    long pictures = 0;
    // PNG sequences: the files written (pictures shown over several steps count once each).
    long files = 0;
    std::uint64_t bytes = 0;
    double movieSeconds = 0;
    double elapsedSeconds = 0;
    Size size;
    bool withSound = false;
};

using ExportProgressSink = std::function<void(const ExportProgress&)>;

// Writes the movie as the settings say, through its one movie source: the pictures are rendered
// on a thread of their own while the calling thread encodes them. Nothing is left at `output`
// unless the export completes; setting `stop` (from a signal handler, another thread) ends it.
// A video file (not a PNG folder) named kStandardOutputName goes to standard output as it comes.
ExportResult exportMovie(CDocImp& movie, const ExportSettings& settings,
                         const std::filesystem::path& output, bool overwrite,
                         const std::atomic<bool>& stop, const ExportProgressSink& progress);

// The picture size an export of a movie with these pictures gets; nothing fitting gives 0 × 0.
Size exportPictureSize(const ExportSettings& settings, Size bitmap);

}  // namespace lumenreel
