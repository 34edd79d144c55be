#include "player/DocImp.h"

#include "images/ImageExt.h"
#include "player/DocumentSource.h"
#include "player/PublishedSource.h"
#include "sound/SoundResource.h"

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
    ReleaseSound();
    compressedSound = false;
    m_movie.reset();
    if (reader)
        m_movie = std::make_unique<lumenreel::PublishedSource>(*reader);
    else if (document)
        m_movie = std::make_unique<lumenreel::DocumentSource>(*document);
    m_timeline =
        m_movie ? lumenreel::FrameTimeline(m_movie->frameDurations()) : lumenreel::FrameTimeline();
}

bool CDocImp::IsLoaded() const {
    return m_movie != nullptr;
}

int CDocImp::FrameAtTime(float t) const {
    return m_timeline.frameAt(t);
}

int CDocImp::FrameCount() const {
    return m_timeline.count();
}

float CDocImp::Duration() const {
    return m_timeline.total();
}

CDocImp::Size CDocImp::DisplaySize() const {
    return m_movie ? m_movie->displaySize() : Size{};
}

CDocImp::Size CDocImp::BitmapSize() const {
    return m_movie ? m_movie->bitmapSize() : Size{};
}

float CDocImp::FrameStartTime(int i) const {
    return m_timeline.startOf(i);
}

bool CDocImp::RenderAt(float t, CImageExt& targetBitmap) {
    if (!m_movie || targetBitmap.isNull())
        return false;
    const int index = m_timeline.frameAt(t);
    return m_movie->render(index, t - m_timeline.startOf(index), t, targetBitmap);
}

lumenreel::MovieSound CDocImp::MakeSound() const {
    return m_movie ? m_movie->makeSound(m_devices) : lumenreel::MovieSound{};
}

void CDocImp::StartSound(float t, int /*arg*/) {
    // The flag describes the resource held, so it is only recomputed when one is made.
    if (!sound) {
        lumenreel::MovieSound made =
            m_movie ? m_movie->makeSound(m_devices) : lumenreel::MovieSound{};
        compressedSound = made.compressed;
        sound.reset(std::move(made.resource));
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
