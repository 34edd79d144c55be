#include "player/DocumentSource.h"

#include "sound/WaveSoundResource.h"

namespace lumenreel {

std::vector<float> DocumentSource::frameDurations() const {
    std::vector<float> durations;
    // The same sum the document finds its moments by.
    for (int position = 0; position < m_document.frameCount(); ++position)
        if (const CZephyrcastFrameElement* frame = m_document.frameAtChecked(position);
            frame && m_document.isFrameVisible(*frame))
            durations.push_back(frame->frameInfo().duration);
    return durations;
}

bool DocumentSource::render(int /*index*/, float /*local*/, float movieTime, CImageExt& target) {
    return m_document.drawAtTime(target, movieTime);
}

MovieSound DocumentSource::makeSound(const OutputDeviceFactory& devices) const {
    if (m_document.soundtrack().GetDataRecord().data.empty())
        return {};
    auto copy = std::make_unique<CWaveSoundResource>(devices);
    copy->CopyFrom(m_document.soundtrack());
    return {std::move(copy), false};
}

}  // namespace lumenreel
