#include "published/ReaderObjects.h"

#include <algorithm>

#include "published/ExternalFormatReader.h"

namespace NKWXDecodersEncoders {

const CReaderObject_captionTemplate* CReaderObject_caption::GetTemplate() const {
    if (!reader || captionsAreImages)
        return nullptr;
    return reader->GetCaptionTemplate(
        static_cast<int>(std::min<std::uint32_t>(templateIndex, 0x7fffffff)));
}

// Transparencies outside 0 … 1 (or not numbers at all) are clamped, so a damaged file can never
// turn into an out-of-range conversion.
int CReaderLink::GetOpacity(float t) const {
    if (!(t >= start && t <= end))
        return 0;
    float v = 1.0f - transparency;
    auto lerp = [](float a, float b, float f) { return 1.0f - (a + f * (b - a)); };
    if ((kind == kFadeIn || kind == kFadeInOut) && timing.fadeInLength > 0 &&
        t <= start + timing.fadeInLength)
        v = lerp(timing.fadeInStart, timing.fadeInEnd, (t - start) / timing.fadeInLength);
    if ((kind == kFadeOut || kind == kFadeInOut) && timing.fadeOutLength > 0 &&
        t >= end - timing.fadeOutLength)
        v = lerp(timing.fadeOutStart, timing.fadeOutEnd,
                 (t - (end - timing.fadeOutLength)) / timing.fadeOutLength);
    if (!(v > 0))
        return 0;
    if (v >= 1)
        return 255;
    return static_cast<int>(v * 255.0f);
}

const CReaderLink_cursor* CReaderObject_frame::GetCursorPlacement() const {
    return m_master || !m_cursor ? nullptr : &*m_cursor;
}

std::pair<float, float> CReaderObject_frame::GetCursorMoveInterval() const {
    if (!GetCursorPlacement())
        return {0.0f, 1.0f};
    return {m_record.cursorMoveStart, m_record.cursorMoveEnd};
}

const CReaderLink* CReaderObject_frame::FindPlacementByObject(std::int32_t id) const {
    auto found = std::find_if(m_merged.begin(), m_merged.end(),
                              [id](const CReaderLink* link) { return link->objectId() == id; });
    return found == m_merged.end() ? nullptr : *found;
}

const CReaderLink* CReaderObject_frame::FindPlacementByOrder(std::int32_t order) const {
    auto found = std::find_if(m_merged.begin(), m_merged.end(),
                              [order](const CReaderLink* link) { return link->order == order; });
    return found == m_merged.end() ? nullptr : *found;
}

void CReaderObject_frame::addCaptionPlacement(std::unique_ptr<CReaderLink_caption> link) {
    m_captions.push_back(std::move(link));
}
void CReaderObject_frame::addImagePlacement(std::unique_ptr<CReaderLink_image> link) {
    m_images.push_back(std::move(link));
}
void CReaderObject_frame::addHighlightPlacement(std::unique_ptr<CReaderLink_highlight> link) {
    m_highlights.push_back(std::move(link));
}

bool CReaderObject_frame::MergePlacements() {
    m_merged.clear();
    for (const auto& link : m_captions)
        m_merged.push_back(link.get());
    for (const auto& link : m_images)
        m_merged.push_back(link.get());
    for (const auto& link : m_highlights)
        m_merged.push_back(link.get());
    std::vector<bool> seen(m_merged.size(), false);
    for (const auto* link : m_merged)
        if (link->order >= 0 && static_cast<std::size_t>(link->order) < seen.size())
            seen[static_cast<std::size_t>(link->order)] = true;
    return std::all_of(seen.begin(), seen.end(), [](bool present) { return present; });
}

}  // namespace NKWXDecodersEncoders
