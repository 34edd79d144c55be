#pragma once

#include <cstddef>
#include <memory>
#include <unordered_map>

#include "images/ImageExt.h"
#include "published/ExternalFormatReader.h"
#include "richtext/AutoRichEditCtrl.h"

namespace lumenreel {

// Draws one moment of a published demo: the frame's captured picture stretched to the display
// size (the whole moment then stretched to a target of another size), the master frame's overlays
// at movie time, the frame's overlays at its local time by order, and the cursor on its way to the
// next frame's cursor. What depends only on a frame or an object (the frame's background, overlay
// pictures) is kept between moments.
class PublishedMomentComposer {
public:
    explicit PublishedMomentComposer(NKWXDecodersEncoders::CExternalFormatReader& reader);

    // Draws playable frame `index` at `local` seconds into it (`movieTime` on the movie's
    // clock, which the master frame's overlays follow) into a 32-bit target; false when there is
    // no such frame.
    bool render(int index, float local, float movieTime, CImageExt& target);

private:
    bool compose(int index, float local, float movieTime, CImageExt& target);
    void copyBackground(int index, const NKWXDecodersEncoders::CReaderObject_frame& frame,
                        CImageExt& target);
    void drawPlacements(const NKWXDecodersEncoders::CReaderObject_frame& frame, float local,
                        CImageExt& target);
    void drawFrameCursor(int index, const NKWXDecodersEncoders::CReaderObject_frame& frame,
                         float local, CImageExt& target);
    const CImageExt* overlayPicture(const NKWXDecodersEncoders::CReaderLink& link);
    CImageExt makeOverlayPicture(const NKWXDecodersEncoders::CReaderLink& link);

    NKWXDecodersEncoders::CExternalFormatReader& m_reader;
    CImageExt m_background;     // of the target's size
    CImageExt m_displayMoment;  // the moment at the display size, when the target differs
    int m_backgroundFrame = -1;
    // By object; null images stand for objects that draw nothing.
    std::unordered_map<const void*, CImageExt> m_overlays;
    std::size_t m_overlayBytes = 0;
    // Lays out every rich-text caption; made on first use.
    std::unique_ptr<CAutoRichEditCtrl> m_textControl;
};

}  // namespace lumenreel
