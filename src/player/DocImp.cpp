#include "player/DocImp.h"

#include "images/ImageExt.h"
#include "player/PublishedMomentComposer.h"
#include "sound/CompressedSoundResource.h"
#include "sound/WaveSoundResource.h"

using NKWXDecodersEncoders::CExternalFormatReader;

CDocImp::CDocImp(lumenreel::OutputDeviceFactory devices) : m_devices(std::move(devices)) {}

CDocImp::~CDocImp() = default;

void CDocImp::SetDocument(CZephyrcastBaseDocument* doc) {
    attach(doc, nullptr);
}

void CDocImp::SetReader(CExternalFormatReader* r) {
    attach(nullptr, r);
}

// One source at a time: what was made for the previous one goes with it.
void CDocImp::attach(CZephyrcastBaseDocument* doc, CExternalFormatReader* r) {
    document = doc;
    reader = r;
    m_composer.reset();
    ReleaseSound();
    compressedSound = false;
}

bool CDocImp::IsLoaded() const {
    return reader != nullptr;
}

int CDocImp::FrameAtTime(float t) const {
    int count = FrameCount();
    float sum = 0;
    for (int i = 0; i < count; ++i) {
        sum += reader->GetFrameByIndex(i)->GetDuration();
        if (sum >= t)
            return i;
    }
    // Past the end (rounding of a clamped time, or a caller's time beyond the movie) the last
    // frame stays on screen rather than the first.
    return count > 0 ? count - 1 : 0;
}

int CDocImp::FrameCount() const {
    return reader ? reader->GetFrameCount() : 0;
}

float CDocImp::Duration() const {
    return reader ? reader->GetTotalDuration() : 0.0f;
}

CDocImp::Size CDocImp::DisplaySize() const {
    return reader ? reader->GetSize() : Size{};
}

CDocImp::Size CDocImp::BitmapSize() const {
    return reader ? reader->GetSecondSize() : Size{};
}

float CDocImp::FrameStartTime(int i) const {
    float sum = 0;
    for (int k = 0; k < i && k < FrameCount(); ++k)
        sum += reader->GetFrameByIndex(k)->GetDuration();
    return sum;
}

bool CDocImp::RenderAt(float t, CImageExt& targetBitmap) {
    if (!reader || targetBitmap.isNull())
        return false;
    if (!m_composer)
        m_composer = std::make_unique<lumenreel::PublishedMomentComposer>(*reader);
    return m_composer->render(*this, t, targetBitmap);
}

void CDocImp::makeReaderSound() {
    const CSoundTrack* track = reader->GetSoundtrack();
    if (!track)
        return;
    switch (track->kind()) {
        case CSoundTrack::kWavePCM: {
            if (track->data().empty())
                return;
            const auto& wave = static_cast<const CSoundTrack_wavePCM&>(*track);
            lumenreel::WaveFormat format;
            format.formatTag = wave.formatTag;
            format.channels = wave.channels;
            format.samplesPerSec = static_cast<std::uint32_t>(wave.samplesPerSecond);
            format.avgBytesPerSec = static_cast<std::uint32_t>(wave.averageBytesPerSecond);
            format.blockAlign = wave.blockAlign();
            format.bitsPerSample = wave.bitsPerSample;
            auto resource = std::make_unique<CWaveSoundResource>(m_devices);
            resource->SetData(track->data(), &format);
            sound.reset(std::move(resource));
            return;
        }
        case CSoundTrack::kMP3:
        case CSoundTrack::kOgg: {
            compressedSound = true;
            std::unique_ptr<CSoundResource> resource;
            if (track->kind() == CSoundTrack::kMP3)
                resource = std::make_unique<CMp3SoundResource>(m_devices);
            else
                resource = std::make_unique<COggSoundResource>(m_devices);
            resource->SetData(track->data());
            sound.reset(std::move(resource));
            return;
        }
    }
}

void CDocImp::StartSound(float t, int /*arg*/) {
    // The flag describes the resource held, so it is only recomputed when one is made.
    if (!sound) {
        compressedSound = false;
        if (reader)
            makeReaderSound();
    }
    if (sound)
        sound->Play(t, 0);
}

void CDocImp::PauseSound(bool flag) {
    if (sound)
        sound->Pause(flag);
}

void CDocImp::ReleaseSound() {
    sound.reset();
}
