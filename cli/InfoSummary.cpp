#include "cli/InfoSummary.h"

#include "cli/SoundtrackDecode.h"

namespace lumenreel::cli {
namespace {

using NKWXDecodersEncoders::CExternalFormatReader;
using NKWXDecodersEncoders::CReaderObject_frame;

InfoSummary::Soundtrack describe(const CSoundTrack& track) {
    InfoSummary::Soundtrack sound{"", track.data().size(), ""};
    switch (track.kind()) {
        case CSoundTrack::kWavePCM: {
            const auto& wave = static_cast<const CSoundTrack_wavePCM&>(track);
            sound.kind = "wave";
            sound.format = "pcm " + std::to_string(wave.bitsPerSample) + "-bit " +
                           std::to_string(wave.channels) + " ch " +
                           std::to_string(wave.samplesPerSecond) + " Hz";
            break;
        }
        case CSoundTrack::kMP3:
            sound.kind = "mp3";
            sound.format = "mpeg audio";
            break;
        case CSoundTrack::kOgg:
            sound.kind = "ogg";
            sound.format = "ogg vorbis";
            break;
    }
    return sound;
}

// Each frame starts where the ones before it end, summed in the order they play.
std::vector<InfoSummary::Frame> framesOf(const CExternalFormatReader& reader) {
    std::vector<InfoSummary::Frame> frames;
    float start = 0;
    for (int i = 0; i < reader.GetFrameCount(); ++i) {
        const CReaderObject_frame* frame = reader.GetFrameByIndex(i);
        auto [moveStart, moveEnd] = frame->GetCursorMoveInterval();
        frames.push_back({i, frame->GetId(), start, frame->GetDuration(), moveStart, moveEnd});
        start += frame->GetDuration();
    }
    return frames;
}

}  // namespace

InfoSummary summarize(const CExternalFormatReader& reader) {
    InfoSummary summary;
    summary.displaySize = reader.GetSize();
    summary.bitmapSize = reader.GetSecondSize();
    summary.frameCount = reader.GetFrameCount();
    summary.duration = reader.GetTotalDuration();
    summary.frames = framesOf(reader);
    if (const auto* master = reader.GetMasterFrame())
        summary.masterFrame = InfoSummary::MasterFrame{master->GetId(), master->GetDuration()};
    summary.poolPictures = reader.GetPoolPictureCount();
    summary.cursors = reader.GetCursorCount();
    summary.captions = reader.GetCaptionCount();
    summary.images = reader.GetImageObjectCount();
    summary.highlights = reader.GetHighlightCount();
    summary.skipped = reader.skipped();
    if (const auto* track = reader.GetSoundtrack()) {
        summary.soundtrack = describe(*track);
        if (const std::optional<std::string> damage = soundtrackDamage(*track))
            summary.skipped.push_back(*damage);
    }
    return summary;
}

}  // namespace lumenreel::cli
