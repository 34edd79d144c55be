#pragma once

#include <memory>

#include "player/MovieSource.h"
#include "published/ExternalFormatReader.h"

namespace lumenreel {

class PublishedMomentComposer;

// A published demo as a movie source: the reader answers for frames, sizes and the soundtrack,
// the composer (made on the first render) draws its moments.
class PublishedSource : public MovieSource {
public:
    explicit PublishedSource(NKWXDecodersEncoders::CExternalFormatReader& reader);
    ~PublishedSource() override;

    std::vector<float> frameDurations() const override;
    zcd::Size displaySize() const override { return m_reader.GetSize(); }
    zcd::Size bitmapSize() const override { return m_reader.GetSecondSize(); }
    bool render(int index, float local, float movieTime, CImageExt& target) override;
    MovieSound makeSound(const OutputDeviceFactory& devices) const override;

private:
    NKWXDecodersEncoders::CExternalFormatReader& m_reader;
    std::unique_ptr<PublishedMomentComposer> m_composer;
};

}  // namespace lumenreel
