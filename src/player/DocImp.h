#pragma once

#include <memory>

#include "base/InPt.h"
#include "published/ExternalFormatReader.h"
#include "sound/OutputDevice.h"
#include "sound/SoundResource.h"

class CImageExt;
// The authoring document; the player cannot read documents yet.
class CZephyrcastBaseDocument;

namespace lumenreel {
class PublishedMomentComposer;
}

// The movie source the player view sees: a published demo reader or an authoring document.
// Neither is owned. A source holding a document reports itself not loaded until documents can
// be read and drawn, so the view treats it like an empty source.
class CDocImp {
public:
    using Size = lumenreel::zcd::Size;

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
    virtual float FrameStartTime(int i) const;

    NKWXDecodersEncoders::CExternalFormatReader* GetReader() const { return reader; }
    bool HasCompressedSound() const { return compressedSound; }

private:
    void attach(CZephyrcastBaseDocument* doc, NKWXDecodersEncoders::CExternalFormatReader* r);
    void makeReaderSound();

    InPt<CSoundResource> sound;
    bool compressedSound = false;
    CZephyrcastBaseDocument* document = nullptr;
    NKWXDecodersEncoders::CExternalFormatReader* reader = nullptr;
    lumenreel::OutputDeviceFactory m_devices;
    // Built for the reader on first render; holds what only depends on a frame.
    std::unique_ptr<lumenreel::PublishedMomentComposer> m_composer;
};
