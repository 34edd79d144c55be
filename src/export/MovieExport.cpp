#include "export/MovieExport.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <thread>

#include "export/ExportMoments.h"
#include "export/FfmpegHandles.h"
#include "export/GifPalette.h"
#include "export/HandOver.h"
#include "export/MomentPictures.h"
#include "export/PngSequenceWriter.h"
#include "export/SoundtrackPcm.h"
#include "export/VideoCodecChoice.h"
#include "export/VideoFileWriter.h"
#include "images/ImageLimits.h"
#include "player/DocImp.h"
#include "sound/SoundResource.h"

namespace lumenreel {
namespace {

using Clock = std::chrono::steady_clock;

// Pictures rendered ahead of the encoder: enough to keep both threads busy, few enough to keep
// memory small.
constexpr std::size_t kPicturesAhead = 6;

std::vector<double> frameStarts(const CDocImp& movie) {
    std::vector<double> starts;
    for (int i = 1; i < movie.FrameCount(); ++i)
        starts.push_back(movie.FrameStartTime(i));
    return starts;
}

// Runs the movie's moments through the writer, rendering on a second thread.
class PicturePass {
public:
    PicturePass(CDocImp& movie, const std::vector<double>& moments, double from, double to)
        : m_pictures(movie, moments, from, to) {}

    bool run(AVPixelFormat format, Size size, const std::atomic<bool>& stop,
             const std::function<bool(const ExportPicture&)>& take, std::string& error) {
        HandOver<ExportPicture> handOver(kPicturesAhead);
        bool rendered = false;
        std::thread renderer([&] { rendered = m_pictures.run(format, size, handOver, stop); });
        bool taken = true;
        while (std::optional<ExportPicture> picture = handOver.take()) {
            if (!take(*picture)) {
                taken = false;
                break;
            }
        }
        handOver.close();
        renderer.join();
        if (!taken)
            return false;
        if (!rendered)
            error = m_pictures.error();
        return rendered;
    }

private:
    MomentPictures m_pictures;
};

double secondsSince(Clock::time_point start) {
    return std::chrono::duration<double>(Clock::now() - start).count();
}

}  // namespace

Size exportPictureSize(const ExportSettings& settings, Size bitmap) {
    Size size = settings.size.value_or(
        Size{static_cast<std::int32_t>(std::lround(bitmap.width * settings.scale)),
             static_cast<std::int32_t>(std::lround(bitmap.height * settings.scale))});
    if (chooseVideoCodec(settings).evenSize) {
        size.width = size.width / 2 * 2;
        size.height = size.height / 2 * 2;
    }
    if (size.width < 2 || size.height < 2 || size.width > kMaxImageDimension ||
        size.height > kMaxImageDimension)
        return Size{};
    return size;
}

ExportResult exportMovie(CDocImp& movie, const ExportSettings& settings,
                         const std::filesystem::path& output, bool overwrite,
                         const std::atomic<bool>& stop, const ExportProgressSink& progress) {
    ExportResult result;
    // Failures come back as one line; the libraries' running commentary is not for users.
    av_log_set_level(AV_LOG_ERROR);
    const Clock::time_point started = Clock::now();
    const double to = std::min<double>(settings.to.value_or(movie.Duration()), movie.Duration());
    const double from = settings.from;
    if (!(to > from)) {
        result.error = "nothing to export: --from is at or past the end (" +
                       std::to_string(movie.Duration()) + " s) or --to";
        return result;
    }
    const CDocImp::Size bitmap = movie.BitmapSize();
    result.size = exportPictureSize(settings, Size{bitmap.width, bitmap.height});
    if (result.size.width == 0) {
        result.error = "the picture size is out of range";
        return result;
    }
    result.movieSeconds = to - from;

    SoundtrackPcm sound;
    if (settings.sound && carriesSound(settings.format)) {
        MovieSound made = movie.MakeSound();
        if (made.resource && !made.resource->IsEmpty()) {
            if (!decodeSoundtrack(*made.resource, from, to, sound, result.error))
                return result;
            result.withSound = sound.sampleFrames() > 0;
        }
    }

    const bool timed = hasPictureTimes(settings.format);
    const std::vector<double> starts = timed ? frameStarts(movie) : std::vector<double>{};
    const std::vector<double> moments = exportMoments(from, to, settings.fps, starts);
    const VideoCodecChoice choice = chooseVideoCodec(settings);
    const bool gif = settings.format == ExportFormat::gif;
    const double workTotal = result.movieSeconds * (gif ? 2 : 1);

    auto report = [&](double workDone) {
        if (progress)
            progress({workDone, workTotal, secondsSince(started), result.pictures});
    };
    auto finishWith = [&](bool ok, const std::string& error) {
        result.ok = ok;
        result.stopped = !ok && stop;
        result.error = result.stopped ? "stopped" : error;
        result.elapsedSeconds = secondsSince(started);
        return result;
    };

    std::string error;
    GifPalette palette;
    if (gif) {
        PicturePass first(movie, moments, from, to);
        const bool made = palette.openMaker(result.size, error) &&
                          first.run(
                              choice.handedOver, result.size, stop,
                              [&](const ExportPicture& picture) {
                                  report(picture.start + picture.duration);
                                  return palette.show(*picture.frame, error);
                              },
                              error) &&
                          palette.makePalette(error) && palette.openMapper(result.size, error);
        if (!made)
            return finishWith(false, error);
    }
    const double passStart = gif ? result.movieSeconds : 0;

    PicturePass pass(movie, moments, from, to);
    if (settings.format == ExportFormat::png) {
        PngSequenceWriter writer(output, settings.fps, from, overwrite);
        bool ok = writer.open() && pass.run(
                                       choice.handedOver, result.size, stop,
                                       [&](const ExportPicture& picture) {
                                           ++result.pictures;
                                           report(picture.start + picture.duration);
                                           return writer.write(picture);
                                       },
                                       error);
        ok = ok && writer.finish();
        if (error.empty())
            error = writer.error();
        result.bytes = writer.bytesWritten();
        result.files = writer.filesWritten();
        return finishWith(ok, error);
    }

    VideoFileWriter writer(output);
    bool ok = writer.open(settings, result.size, result.movieSeconds,
                          result.withSound ? &sound : nullptr, gif ? &palette : nullptr) &&
              pass.run(
                  choice.handedOver, result.size, stop,
                  [&](const ExportPicture& picture) {
                      ++result.pictures;
                      report(passStart + picture.start + picture.duration);
                      return writer.write(picture);
                  },
                  error);
    ok = ok && writer.finish();
    if (error.empty())
        error = writer.error();
    // A faststart MP4 is rewritten at its end, so its own size counts.
    result.bytes = ok && output != kStandardOutputName ? std::filesystem::file_size(output)
                                                       : writer.bytesWritten();
    return finishWith(ok, error);
}

}  // namespace lumenreel
