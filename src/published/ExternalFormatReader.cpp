#include "published/ExternalFormatReader.h"

#include <algorithm>

#include "base/File.h"
#include "published/DemoParser.h"

namespace NKWXDecodersEncoders {

CExternalFormatReader::CExternalFormatReader() = default;
CExternalFormatReader::~CExternalFormatReader() = default;

void CExternalFormatReader::Destroy() {
    m_error.clear();
    m_content = {};
    m_framePicture.destroy();
}

bool CExternalFormatReader::Load(CFile& stream) {
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(stream.RemainingBytes()));
    if (!stream.ReadExact(bytes.data(), bytes.size())) {
        Destroy();
        m_error = "unreadable stream";
        return false;
    }
    return Load(bytes);
}

bool CExternalFormatReader::Load(std::span<const std::uint8_t> file) {
    Destroy();
    auto content = parseDemo(file, m_limits, m_trace, this, m_error);
    if (!content)
        return false;
    m_content = std::move(*content);
    return true;
}

const CReaderObject_frame* CExternalFormatReader::GetMasterFrame() const {
    return m_content.hasMaster ? m_content.frames.front().get() : nullptr;
}

const CReaderObject_frame* CExternalFormatReader::GetFrameByIndex(int i) const {
    if (i < 0)
        return GetMasterFrame();
    std::size_t at = static_cast<std::size_t>(i) + (m_content.hasMaster ? 1 : 0);
    return at < m_content.frames.size() ? m_content.frames[at].get() : nullptr;
}

int CExternalFormatReader::GetFrameCount() const {
    return static_cast<int>(m_content.frames.size()) - (m_content.hasMaster ? 1 : 0);
}

float CExternalFormatReader::GetTotalDuration() const {
    float total = 0;
    for (int i = 0; i < GetFrameCount(); ++i)
        total += GetFrameByIndex(i)->GetDuration();
    return total;
}

int CExternalFormatReader::GetFrameIndex(const CReaderObject_frame* frame) const {
    for (int i = 0; i < GetFrameCount(); ++i)
        if (GetFrameByIndex(i) == frame)
            return i;
    return -1;
}

const CReaderObject_frame* CExternalFormatReader::GetNextFrame(
    const CReaderObject_frame* frame) const {
    int index = GetFrameIndex(frame);
    return index < 0 ? nullptr : GetFrameByIndex(index + 1);
}

const CReaderObject_frame* CExternalFormatReader::GetFrameById(std::int32_t id) const {
    for (const auto& frame : m_content.frames)
        if (frame->GetId() == id)
            return frame.get();
    return nullptr;
}

CImageExt* CExternalFormatReader::GetFramePicture(const CReaderObject_frame* frame) {
    // The previous picture's pixels are reused when the next one has their size, which saves
    // mapping fresh pages for every frame.
    int index = GetFrameIndex(frame);
    if (index < 0 || !m_content.decoder || index >= m_content.decoder->GetPictureCount() ||
        !m_content.decoder->GetPicture(m_framePicture, index)) {
        m_framePicture.destroy();
        return nullptr;
    }
    return &m_framePicture;
}

const OverlayObject* CExternalFormatReader::FindPlacement(OverlayObject object) const {
    auto found = std::find(m_content.overlays.begin(), m_content.overlays.end(), object);
    return found == m_content.overlays.end() ? nullptr : &*found;
}

namespace {
template <class T>
auto* at(T& items, int i) {
    return i >= 0 && static_cast<std::size_t>(i) < items.size()
               ? &items[static_cast<std::size_t>(i)]
               : nullptr;
}
// The object at i when it was kept.
template <class T>
const T* kept(const std::vector<std::optional<T>>& items, int i) {
    const std::optional<T>* item = at(items, i);
    return item && *item ? &**item : nullptr;
}
}  // namespace

const CReaderObject_cursor* CExternalFormatReader::GetCursor(int i) const {
    return kept(m_content.cursors, i);
}
const CReaderObject_captionTemplate* CExternalFormatReader::GetCaptionTemplate(int i) const {
    const CReaderObject_captionTemplate* found = at(m_content.templates, i);
    // A balloon is stretched from the pool picture the template names.
    return found && GetPoolPicture(found->id) ? found : nullptr;
}
const CImageExt* CExternalFormatReader::GetPoolPicture(int i) const {
    return kept(m_content.pool, i);
}
const CImageExt* CExternalFormatReader::GetCaptionImage(int i) const {
    return kept(m_content.captionImages, i);
}
const CReaderObject_caption* CExternalFormatReader::GetCaption(int i) const {
    return at(m_content.captions, i);
}
const CReaderObject_image* CExternalFormatReader::GetImageObject(int i) const {
    return at(m_content.images, i);
}
const CReaderObject_highlight* CExternalFormatReader::GetHighlight(int i) const {
    return at(m_content.highlights, i);
}

}  // namespace NKWXDecodersEncoders
