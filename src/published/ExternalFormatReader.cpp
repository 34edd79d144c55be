#include "published/ExternalFormatReader.h"

#include <algorithm>

#include "base/ByteReader.h"
#include "base/File.h"
#include "images/ImageLimits.h"
#include "published/ZcdPrimitives.h"

namespace NKWXDecodersEncoders {

using lumenreel::ByteReader;

CExternalFormatReader::CExternalFormatReader() = default;
CExternalFormatReader::~CExternalFormatReader() = default;

void CExternalFormatReader::Destroy() {
    m_error.clear();
    m_skipped.clear();
    m_displaySize = {};
    m_bitmapSize = {};
    m_hasMaster = false;
    m_frames.clear();
    m_pool.clear();
    m_cursors.clear();
    m_captionsAreImages = false;
    m_templates.clear();
    m_captionImages.clear();
    m_captions.clear();
    m_images.clear();
    m_highlights.clear();
    m_overlays.clear();
    m_pictureAccess.reset();
    m_decoder.reset();
    m_soundtrack.reset();
    m_framePicture.destroy();
}

bool CExternalFormatReader::fail(std::string reason) {
    m_error = std::move(reason);
    return false;
}

bool CExternalFormatReader::Load(CFile& stream) {
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(stream.RemainingBytes()));
    if (!stream.ReadExact(bytes.data(), bytes.size())) {
        Destroy();
        return fail("unreadable stream");
    }
    return Load(bytes);
}

bool CExternalFormatReader::Load(std::span<const std::uint8_t> file) {
    Destroy();
    ByteReader in(file);
    auto identifier = in.take(16);
    if (!in.ok())
        return fail("too short for a published demo");
    if (Guid::fromBytes(identifier) != kFileIdentifier)
        return fail("not a published demo");

    m_displaySize = {in.i32(), in.i32()};
    m_bitmapSize = {in.i32(), in.i32()};
    if (!in.ok())
        return fail("truncated header");
    if (!lumenreel::imageSizeAllowed(m_displaySize.width, m_displaySize.height) ||
        !lumenreel::imageSizeAllowed(m_bitmapSize.width, m_bitmapSize.height))
        return fail("bad display or bitmap size");

    auto sound = lumenreel::zcd::ReadSoundtrack(in, m_limits);
    if (!in.ok())
        return fail(sound.error.empty() ? "truncated soundtrack" : sound.error);
    if (!sound.error.empty())
        m_skipped.push_back(sound.error + "; playing without sound");
    if (!sound.note.empty())
        m_skipped.push_back(sound.note);
    m_soundtrack = std::move(sound.track);

    auto pictureStream = lumenreel::zcd::readBlob(in);
    if (!pictureStream)
        return fail("truncated picture stream");
    m_decoder = std::make_unique<CImageSequenceDecoder>();
    m_decoder->SetTraceLog(m_trace);
    m_decoder->setLimits(m_limits);
    if (!m_decoder->Load(*pictureStream))
        return fail(m_decoder->lastError());

    auto objectStream = lumenreel::zcd::readBlob(in);
    if (!objectStream)
        return fail("truncated object stream");
    if (!readObjectStream(*objectStream))
        return false;

    mergeFramePlacements();
    BuildObjectList();
    m_pictureAccess = std::make_unique<CImageSequenceDecoder_dataReader>(*m_decoder);
    return true;
}

void CExternalFormatReader::mergeFramePlacements() {
    for (auto& frame : m_frames) {
        if (!frame->MergePlacements()) {
            m_skipped.push_back("placement orders of frame " + std::to_string(frame->GetId()) +
                                " have gaps; later frames left unmerged");
            return;
        }
    }
}

void CExternalFormatReader::BuildObjectList() {
    m_overlays.clear();
    for (const auto& caption : m_captions)
        m_overlays.emplace_back(&caption);
    for (const auto& image : m_images)
        m_overlays.emplace_back(&image);
    for (const auto& highlight : m_highlights)
        m_overlays.emplace_back(&highlight);
}

const CReaderObject_frame* CExternalFormatReader::GetMasterFrame() const {
    return m_hasMaster ? m_frames.front().get() : nullptr;
}

const CReaderObject_frame* CExternalFormatReader::GetFrameByIndex(int i) const {
    if (i < 0)
        return GetMasterFrame();
    std::size_t at = static_cast<std::size_t>(i) + (m_hasMaster ? 1 : 0);
    return at < m_frames.size() ? m_frames[at].get() : nullptr;
}

int CExternalFormatReader::GetFrameCount() const {
    return static_cast<int>(m_frames.size()) - (m_hasMaster ? 1 : 0);
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
    for (const auto& frame : m_frames)
        if (frame->GetId() == id)
            return frame.get();
    return nullptr;
}

CImageExt* CExternalFormatReader::GetFramePicture(const CReaderObject_frame* frame) {
    int index = GetFrameIndex(frame);
    m_framePicture.destroy();
    if (index < 0 || !m_decoder || index >= m_decoder->GetPictureCount())
        return nullptr;
    if (!m_decoder->GetPicture(m_framePicture, index))
        return nullptr;
    return &m_framePicture;
}

const OverlayObject* CExternalFormatReader::FindPlacement(OverlayObject object) const {
    auto found = std::find(m_overlays.begin(), m_overlays.end(), object);
    return found == m_overlays.end() ? nullptr : &*found;
}

namespace {
template <class T>
auto* at(T& items, int i) {
    return i >= 0 && static_cast<std::size_t>(i) < items.size()
               ? &items[static_cast<std::size_t>(i)]
               : nullptr;
}
}  // namespace

const CReaderObject_cursor* CExternalFormatReader::GetCursor(int i) const {
    return at(m_cursors, i);
}
const CReaderObject_captionTemplate* CExternalFormatReader::GetCaptionTemplate(int i) const {
    return at(m_templates, i);
}
const CImageExt* CExternalFormatReader::GetPoolPicture(int i) const {
    const CImageExt* picture = at(m_pool, i);
    return picture && !picture->isNull() ? picture : nullptr;
}
const CImageExt* CExternalFormatReader::GetCaptionImage(int i) const {
    const CImageExt* picture = at(m_captionImages, i);
    return picture && !picture->isNull() ? picture : nullptr;
}
const CReaderObject_caption* CExternalFormatReader::GetCaption(int i) const {
    return at(m_captions, i);
}
const CReaderObject_image* CExternalFormatReader::GetImageObject(int i) const {
    return at(m_images, i);
}
const CReaderObject_highlight* CExternalFormatReader::GetHighlight(int i) const {
    return at(m_highlights, i);
}

}  // namespace NKWXDecodersEncoders
