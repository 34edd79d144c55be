#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "images/ImageExt.h"
#include "published/LoadLimits.h"
#include "published/PictureStreamContent.h"

class CFile;

namespace NKWXDecodersEncoders {

// Receives the decoder's trace lines (each ends with "\r\n").
using TraceSink = std::function<void(std::string_view)>;

// Loads a picture stream once and composes any of its pictures, in any order of request, from
// full pictures, tiles and the three copy lists.
class CImageSequenceDecoder {
public:
    CImageSequenceDecoder();
    ~CImageSequenceDecoder();

    void SetTraceLog(TraceSink sink) { m_trace = std::move(sink); }
    void setLimits(const lumenreel::LoadLimits& limits) { m_limits = limits; }

    // False on a stream that is truncated or inconsistent; lastError() says why.
    bool Load(CFile& stream);
    bool Load(std::span<const std::uint8_t> stream);
    const std::string& lastError() const { return m_error; }

    int GetPictureCount() const { return m_content.header.pictureCount; }
    // Composes picture i when needed and copies it into the image (24-bit, the picture's size).
    bool GetPicture(CImageExt& image, int i);
    const PictureNode* FindNode(int id) const;
    const PictureStreamHeader& header() const { return m_content.header; }
    // Damaged entries the load left out, one line each.
    const std::vector<std::string>& skipped() const { return m_content.skipped; }

private:
    // What composing has done so far; it starts over with every load.
    struct ComposeState {
        std::vector<bool> composed;  // for pictures with a bitmap of their own
        std::vector<std::unique_ptr<CImageExt>> canvases;  // by position within a key group
        int lastGroup = -1;
        int highestComposed = -1;
    };

    bool hasOwnBitmap(int picture) const;
    void ensureOwnComposed(int picture);
    void composePicture(int picture);
    CImageExt& targetOf(int picture);
    const CImageExt* nodePixels(int node) const;
    void drawPlacement(const StreamPlacement& placement, CImageExt& target, bool fromSource);

    TraceSink m_trace;
    lumenreel::LoadLimits m_limits;
    std::string m_error;
    PictureStreamContent m_content;
    ComposeState m_state;
};

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

}  // namespace NKWXDecodersEncoders
