#include "cli/ExportProgressView.h"

#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <nlohmann/json.hpp>

namespace lumenreel::cli {
namespace {

// Updates closer together than this only cost time.
constexpr double kUpdateEvery = 0.1;

std::string clockText(double seconds) {
    const long whole = std::lround(std::max(0.0, seconds));
    char text[32];
    std::snprintf(text, sizeof text, "%ld:%02ld", whole / 60, whole % 60);
    return text;
}

std::string sizeText(std::uint64_t bytes) {
    char text[32];
    if (bytes >= 1024 * 1024)
        std::snprintf(text, sizeof text, "%.1f MB", static_cast<double>(bytes) / (1024 * 1024));
    else
        std::snprintf(text, sizeof text, "%.1f kB", static_cast<double>(bytes) / 1024);
    return text;
}

// Movie seconds per second of work.
double speedOf(double movieSeconds, double elapsed) {
    return elapsed > 0 ? movieSeconds / elapsed : 0;
}

}  // namespace

ExportProgressView::ExportProgressView(Kind kind)
    : m_kind(kind), m_barShown(kind == Kind::bar && isatty(STDERR_FILENO) != 0) {}

void ExportProgressView::update(const ExportProgress& progress) {
    if (m_kind == Kind::none || (m_kind == Kind::bar && !m_barShown))
        return;
    const bool complete = progress.workDone >= progress.workTotal;
    if (!complete && progress.elapsedSeconds - m_lastShown < kUpdateEvery)
        return;
    m_lastShown = progress.elapsedSeconds;
    const double fraction =
        progress.workTotal > 0 ? std::clamp(progress.workDone / progress.workTotal, 0.0, 1.0) : 1;
    const double speed = speedOf(progress.workDone, progress.elapsedSeconds);
    const double eta = speed > 0 ? (progress.workTotal - progress.workDone) / speed : 0;
    if (m_kind == Kind::json) {
        const nlohmann::json line = {{"progress", fraction},
                                     {"movie_seconds_done", progress.workDone},
                                     {"movie_seconds_total", progress.workTotal},
                                     {"elapsed_seconds", progress.elapsedSeconds},
                                     {"speed", speed},
                                     {"eta_seconds", eta},
                                     {"pictures", progress.pictures}};
        std::printf("%s\n", line.dump().c_str());
        std::fflush(stdout);
        return;
    }
    constexpr int kWidth = 30;
    const int filled = static_cast<int>(kWidth * fraction);
    std::fprintf(stderr, "\r[%s%s] %3d%%  %.1f\u00d7 real time  ETA %s ",
                 std::string(filled, '#').c_str(), std::string(kWidth - filled, ' ').c_str(),
                 static_cast<int>(fraction * 100), speed, clockText(eta).c_str());
    std::fflush(stderr);
}

void ExportProgressView::summarize(const ExportResult& result, const std::string& output,
                                   const char* format) {
    if (m_barShown)
        std::fputc('\n', stderr);
    const double speed = speedOf(result.movieSeconds, result.elapsedSeconds);
    if (m_kind == Kind::json) {
        const nlohmann::json line = {{"done", true},
                                     {"output", output},
                                     {"format", format},
                                     {"width", result.size.width},
                                     {"height", result.size.height},
                                     {"pictures", result.pictures},
                                     {"files", result.files},
                                     {"sound", result.withSound},
                                     {"bytes", result.bytes},
                                     {"movie_seconds", result.movieSeconds},
                                     {"elapsed_seconds", result.elapsedSeconds},
                                     {"speed", speed}};
        std::printf("%s\n", line.dump().c_str());
        return;
    }
    if (m_kind == Kind::none)
        return;
    std::string what = std::to_string(result.pictures) + " pictures";
    if (result.files > 0)
        what = std::to_string(result.files) + " files";
    std::fprintf(stderr,
                 "lumenreel: wrote %s (%s, %dx%d, %.1f s, %s%s, %s) in %.1f s, %.1f\u00d7 real "
                 "time\n",
                 output.c_str(), format, result.size.width, result.size.height, result.movieSeconds,
                 what.c_str(), result.withSound ? ", with sound" : "",
                 sizeText(result.bytes).c_str(), result.elapsedSeconds, speed);
}

}  // namespace lumenreel::cli
