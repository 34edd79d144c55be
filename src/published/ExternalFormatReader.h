#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "base/Guid.h"
#include "images/ImageExt.h"
#include "published/DemoContent.h"
#include "published/LoadLimits.h"

class CFile;

namespace NKWXDecodersEncoders {

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
    const std::vector<std::string>& skipped() const { return m_content.skipped; }

    const CReaderObject_frame* GetMasterFrame() const;
    const CReaderObject_frame* GetFrame(int i) const { return GetFrameByIndex(i); }
    // i < 0: the master frame; else the i-th playable frame; nothing past the end.
    const CReaderObject_frame* GetFrameByIndex(int i) const;
    int GetFrameCount() const;
    float GetTotalDuration() const;
    Size GetSize() const { return m_content.displaySize; }
    Size GetSecondSize() const { return m_content.bitmapSize; }
    const CReaderObject_frame* GetNextFrame(const CReaderObject_frame* frame) const;
    // The frame's captured picture, in one image the reader reuses on every call.
    CImageExt* GetFramePicture(const CReaderObject_frame* frame);
    const OverlayObject* FindPlacement(OverlayObject object) const;
    // Null for an index out of range and for a cursor whose bitmaps could not be used.
    const CReaderObject_cursor* GetCursor(int i) const;
    // Null for an index out of range and for a template whose pool picture is missing.
    const CReaderObject_captionTemplate* GetCaptionTemplate(int i) const;
    int GetCaptionTemplateCount() const { return static_cast<int>(m_content.templates.size()); }
    int GetPoolPictureCount() const { return static_cast<int>(m_content.pool.size()); }
    int GetCursorCount() const { return static_cast<int>(m_content.cursors.size()); }
    int GetCaptionCount() const { return static_cast<int>(m_content.captions.size()); }
    int GetImageObjectCount() const { return static_cast<int>(m_content.images.size()); }
    int GetHighlightCount() const { return static_cast<int>(m_content.highlights.size()); }
    // Null for an index out of range and for a picture that could not be decoded.
    const CImageExt* GetPoolPicture(int i) const;
    const CImageExt* GetCaptionImage(int i) const;
    int GetCaptionImageCount() const { return static_cast<int>(m_content.captionImages.size()); }
    bool CaptionsAreImages() const { return m_content.captionsAreImages; }
    const CReaderObject_caption* GetCaption(int i) const;
    const CReaderObject_image* GetImageObject(int i) const;
    const CReaderObject_highlight* GetHighlight(int i) const;
    CImageSequenceDecoder_dataReader* GetPictureAccess() { return m_content.pictureAccess.get(); }
    const CSoundTrack* GetSoundtrack() const { return m_content.soundtrack.get(); }
    const CReaderObject_frame* GetFrameById(std::int32_t id) const;
    // Playable index; -1 for the master or a frame that is not in the list.
    int GetFrameIndex(const CReaderObject_frame* frame) const;

private:
    TraceSink m_trace;
    lumenreel::LoadLimits m_limits;
    std::string m_error;
    DemoContent m_content;
    CImageExt m_framePicture;  // what GetFramePicture hands out, reused on every call
};

}  // namespace NKWXDecodersEncoders
