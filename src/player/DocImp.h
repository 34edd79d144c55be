#pragma once

#include <memory>

#include "base/InPt.h"
#include "player/FrameTimeline.h"
#include "player/MovieSource.h"
#include "published/ExternalFormatReader.h"
#include "sound/OutputDevice.h"
#include "sound/SoundResource.h"

class CImageExt;
namespace lumenreel {
class CZephyrcastBaseDocument;
}

// The movie source the player view sees, and the one place where the player meets either kind
// of movie: a published demo reader or an authoring document, neither owned. The frame timeline
// is summed once when a movie is attached.
class CDocImp {
public:
    using Size = lumenreel::zcd::Size;
    using CZephyrcastBaseDocument = lumenreel::CZephyrcastBaseDocument;

    explicit CDocImp(lumenreel::OutputDeviceFactory devices = lumenreel::systemOutputDevices());
    virtual ~CDocImp();
    CDocImp(const CDocImp&) = delete;
    CDocImp& operator=(const CDocImp&) = delete;

    virtual void SetDocument(CZephyrcastBaseDocument* doc);
    virtual void SetReader(NKWXDecodersEncoders::CExternalFormatReader* r);
    virtual bool IsLoaded() const;
    // The playable frame shown at t; the last one past the end, 0 without frames.
    virtual int FrameAtTime(float t) const;
    virtual int FrameCount() const;
    virtual bool IsEmpty() const { return FrameCount() == 0; }
    virtual float Duration() const;
    virtual Size DisplaySize() const;
    virtual Size BitmapSize() const;
    virtual CZephyrcastBaseDocument* GetDocument() const { return document; }
    // Draws the moment t into the target (32 bits per pixel); false when nothing was drawn.
    virtual bool RenderAt(float t, CImageExt& targetBitmap);
    virtual void StartSound(float t, int arg);
    virtual void PauseSound(bool flag);
    virtual void ReleaseSound();
    virtual CSoundResource* GetSound() const { return sound.get(); }
    // A soundtrack of its own for the caller (an export decodes it); nothing without one.
    lumenreel::MovieSound MakeSound() const;
    virtual float FrameStartTime(int i) const;

    NKWXDecodersEncoders::CExternalFormatReader* GetReader() const { return reader; }
    bool HasCompressedSound() const { return compressedSound; }

private:
    void attach(CZephyrcastBaseDocument* doc, NKWXDecodersEncoders::CExternalFormatReader* r);

    InPt<CSoundResource> sound;
    bool compressedSound = false;
    CZephyrcastBaseDocument* document = nullptr;
    NKWXDecodersEncoders::CExternalFormatReader* reader = nullptr;
    lumenreel::OutputDeviceFactory m_devices;
    // The attached movie's kind; null when nothing playable is attached.
    std::unique_ptr<lumenreel::MovieSource> m_movie;
    lumenreel::FrameTimeline m_timeline;
};
