#include "player/PublishedSource.h"

#include "player/PublishedMomentComposer.h"
#include "sound/CompressedSoundResource.h"
#include "sound/WaveSoundResource.h"

namespace lumenreel {

namespace {

std::unique_ptr<CSoundResource> makeWaveSound(const CSoundTrack_wavePCM& wave,
                                              const OutputDeviceFactory& devices) {
    WaveFormat format;
    format.formatTag = wave.formatTag;
    format.channels = wave.channels;
    format.samplesPerSec = static_cast<std::uint32_t>(wave.samplesPerSecond);
    format.avgBytesPerSec = static_cast<std::uint32_t>(wave.averageBytesPerSecond);
    format.blockAlign = wave.blockAlign();
    format.bitsPerSample = wave.bitsPerSample;
    auto resource = std::make_unique<CWaveSoundResource>(devices);
    resource->SetData(wave.data(), &format);
    return resource;
}

}  // namespace

PublishedSource::PublishedSource(NKWXDecodersEncoders::CExternalFormatReader& reader)
    : m_reader(reader) {}

PublishedSource::~PublishedSource() = default;

std::vector<float> PublishedSource::frameDurations() const {
    std::vector<float> durations;
    for (int i = 0; i < m_reader.GetFrameCount(); ++i)
        durations.push_back(m_reader.GetFrameByIndex(i)->GetDuration());
    return durations;
}

bool PublishedSource::render(int index, float local, float movieTime, CImageExt& target) {
    if (!m_composer)
        m_composer = std::make_unique<PublishedMomentComposer>(m_reader);
    return m_composer->render(index, local, movieTime, target);
}

MovieSound PublishedSource::makeSound(const OutputDeviceFactory& devices) const {
    const CSoundTrack* track = m_reader.GetSoundtrack();
    if (!track)
        return {};
    switch (track->kind()) {
        case CSoundTrack::kWavePCM:
            if (track->data().empty())
                return {};
            return {makeWaveSound(static_cast<const CSoundTrack_wavePCM&>(*track), devices), false};
        case CSoundTrack::kMP3:
        case CSoundTrack::kOgg: {
            std::unique_ptr<CSoundResource> resource;
            if (track->kind() == CSoundTrack::kMP3)
                resource = std::make_unique<CMp3SoundResource>(devices);
            else
                resource = std::make_unique<COggSoundResource>(devices);
            resource->SetData(track->data());
            return {std::move(resource), true};
        }
    }
    return {};
}

}  // namespace lumenreel
