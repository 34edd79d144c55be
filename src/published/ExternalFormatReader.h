#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <variant>
#include <vector>

#include "base/Guid.h"
#include "images/ImageExt.h"
#include "published/ImageSequenceDecoder.h"
#include "published/LoadLimits.h"
#include "published/ReaderObjects.h"
#include "published/SoundTrack.h"

class CFile;

namespace NKWXDecodersEncoders {

using lumenreel::zcd::Size;

// Hands out the captured pictures of a loaded demo.
class CImageSequenceDecoder_dataReader {
public:
    explicit CImageSequenceDecoder_dataReader(CImageSequenceDecoder& decoder)
        : m_decoder(decoder) {}
    int GetPictureCount() const { return m_decoder.GetPictureCount(); }
    bool GetPicture(CImageExt& image, int i) { return m_decoder.GetPicture(image, i); }

private:
    CImageSequenceDecoder& m_decoder;
};

// One entry of the combined overlay list.
using OverlayObject = std::variant<const CReaderObject_caption*, const CReaderObject_image*,
                                   const CReaderObject_highlight*>;

// Reads a published demo completely into memory and answers questions about its frames,
// pictures and overlay objects.
class CExternalFormatReader {
public:
    static constexpr Guid kFileIdentifier =
        Guid::fromString("{3473C057-F90E-4B6F-B986-D253F84D3295}");

    CExternalFormatReader();
    ~CExternalFormatReader();
    CExternalFormatReader(const CExternalFormatReader&) = delete;
    CExternalFormatReader& operator=(const CExternalFormatReader&) = delete;

    void Destroy();
    void SetTraceLog(TraceSink sink) { m_trace = std::move(sink); }
    void setLimits(const lumenreel::LoadLimits& limits) { m_limits = limits; }

    // Reads a whole file from the stream's position. False on a wrong identifier or on a
    // truncated or inconsistent file (lastError() says why); damage only in optional data is
    // skipped and listed in skipped().
    bool Load(CFile& stream);
    bool Load(std::span<const std::uint8_t> file);
    const std::string& lastError() const { return m_error; }
    const std::vector<std::string>& skipped() const { return m_skipped; }

    const CReaderObject_frame* GetMasterFrame() const;
    const CReaderObject_frame* GetFrame(int i) const { return GetFrameByIndex(i); }
    // i < 0: the master frame; else the i-th playable frame; nothing past the end.
    const CReaderObject_frame* GetFrameByIndex(int i) const;
    int GetFrameCount() const;
    float GetTotalDuration() const;
    Size GetSize() const { return m_displaySize; }
    Size GetSecondSize() const { return m_bitmapSize; }
    const CReaderObject_frame* GetNextFrame(const CReaderObject_frame* frame) const;
    // The frame's captured picture, in one image the reader reuses on every call.
    CImageExt* GetFramePicture(const CReaderObject_frame* frame);
    const OverlayObject* FindPlacement(OverlayObject object) const;
    const CReaderObject_cursor* GetCursor(int i) const;
    const CReaderObject_captionTemplate* GetCaptionTemplate(int i) const;
    int GetCaptionTemplateCount() const { return static_cast<int>(m_templates.size()); }
    int GetPoolPictureCount() const { return static_cast<int>(m_pool.size()); }
    int GetCursorCount() const { return static_cast<int>(m_cursors.size()); }
    int GetCaptionCount() const { return static_cast<int>(m_captions.size()); }
    int GetImageObjectCount() const { return static_cast<int>(m_images.size()); }
    int GetHighlightCount() const { return static_cast<int>(m_highlights.size()); }
    // Null for an index out of range and for a picture that could not be decoded.
    const CImageExt* GetPoolPicture(int i) const;
    const CImageExt* GetCaptionImage(int i) const;
    int GetCaptionImageCount() const { return static_cast<int>(m_captionImages.size()); }
    bool CaptionsAreImages() const { return m_captionsAreImages; }
    const CReaderObject_caption* GetCaption(int i) const;
    const CReaderObject_image* GetImageObject(int i) const;
    const CReaderObject_highlight* GetHighlight(int i) const;
    CImageSequenceDecoder_dataReader* GetPictureAccess() { return m_pictureAccess.get(); }
    const CSoundTrack* GetSoundtrack() const { return m_soundtrack.get(); }
    const CReaderObject_frame* GetFrameById(std::int32_t id) const;
    // Playable index; -1 for the master or a frame that is not in the list.
    int GetFrameIndex(const CReaderObject_frame* frame) const;

private:
    friend class ObjectSectionReader;

    bool fail(std::string reason);
    bool readObjectStream(std::span<const std::uint8_t> packed);
    void mergeFramePlacements();
    void BuildObjectList();

    TraceSink m_trace;
    lumenreel::LoadLimits m_limits;
    std::string m_error;
    std::vector<std::string> m_skipped;
    Size m_displaySize;
    Size m_bitmapSize;
    bool m_hasMaster = false;
    std::vector<std::unique_ptr<CReaderObject_frame>> m_frames;  // master first when present
    std::vector<CImageExt> m_pool;
    std::vector<CReaderObject_cursor> m_cursors;
    bool m_captionsAreImages = false;
    std::vector<CReaderObject_captionTemplate> m_templates;
    std::vector<CImageExt> m_captionImages;
    std::vector<CReaderObject_caption> m_captions;
    std::vector<CReaderObject_image> m_images;
    std::vector<CReaderObject_highlight> m_highlights;
    std::vector<OverlayObject> m_overlays;
    std::unique_ptr<CImageSequenceDecoder> m_decoder;
    std::unique_ptr<CImageSequenceDecoder_dataReader> m_pictureAccess;
    std::unique_ptr<CSoundTrack> m_soundtrack;
    CImageExt m_framePicture;
};

}  // namespace NKWXDecodersEncoders
