#pragma once

#include "document/ZephyrcastBaseDocument.h"
#include "player/MovieSource.h"

namespace lumenreel {

// An authoring document as a movie source. Only its visible frames play, so they alone make up
// the timeline; the document itself finds the frame of a moment and draws it.
class DocumentSource : public MovieSource {
public:
    explicit DocumentSource(CZephyrcastBaseDocument& document) : m_document(document) {}

    std::vector<float> frameDurations() const override;
    zcd::Size displaySize() const override { return m_document.frameSize(); }
    zcd::Size bitmapSize() const override { return displaySize(); }
    bool render(int index, float local, float movieTime, CImageExt& target) override;
    // A copy of the soundtrack, so that an edit of the document's never pulls data from under
    // a playing device.
    MovieSound makeSound(const OutputDeviceFactory& devices) const override;

private:
    CZephyrcastBaseDocument& m_document;
};

}  // namespace lumenreel
