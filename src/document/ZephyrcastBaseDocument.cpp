#include "document/ZephyrcastBaseDocument.h"

#include <algorithm>

#include "items/DrawCommonItem.h"
#include "items/ItemCounters.h"
#include "storage/TranslateInterface.h"
#include "themes/ThemesManager.h"

namespace lumenreel {

CZephyrcastBaseDocument::CZephyrcastBaseDocument(CThemesManager* themes,
                                                 CTranslateInterface* translator)
    : m_themes(themes),
      m_translator(translator),
      m_documentItems(std::make_unique<CDrawCommonItemListManager>()),
      m_soundtrack(std::make_unique<CWaveSoundResource>()),
      m_thumbs(*this),
      m_events(*this) {
    m_theme = themes ? themes->currentTheme() : nullptr;
    m_master = std::make_unique<CZephyrcastFrameElement>();
    m_master->setMaster(true);
    m_master->frameInfo().label =
        translator ? translator->Translate("ID_MASTERFRAME_LABEL") : "ID_MASTERFRAME_LABEL";
    m_master->setDocument(this);
}

CZephyrcastBaseDocument::~CZephyrcastBaseDocument() {
    // Referring placements point into lists that go first; nothing draws from here on.
    m_documentItems->clear();
    m_thumbs.clear();
    m_pool.clear();
    m_order.clear();
    m_backgrounds.clear();
}

std::unique_ptr<CZephyrcastFrameElement> CZephyrcastBaseDocument::newFrame() {
    auto frame = std::make_unique<CZephyrcastFrameElement>();
    frame->setDocument(this);
    frame->frameInfo().label = CZephyrcastFrameElement::defaultLabel(this);
    return frame;
}

CZephyrcastFrameElement& CZephyrcastBaseDocument::appendFrame() {
    auto frame = newFrame();
    frame->frameInfo().index = static_cast<std::int32_t>(m_pool.size());
    CZephyrcastFrameElement& added = *frame;
    m_pool.push_back(std::move(frame));
    buildPlayingOrder();
    m_thumbs.ensureEntry(added);
    m_events.event_frameAdded(static_cast<std::uint32_t>(added.serialNumber()));
    return added;
}

void CZephyrcastBaseDocument::buildPlayingOrder() {
    m_order.assign(m_pool.size(), nullptr);
    for (const auto& frame : m_pool) {
        const std::int32_t index = frame->frameInfo().index;
        // Indexes outside the pool have no position; of two frames claiming one, the later wins.
        if (index >= 0 && static_cast<std::size_t>(index) < m_order.size())
            m_order[static_cast<std::size_t>(index)] = frame.get();
    }
}

CZephyrcastFrameElement* CZephyrcastBaseDocument::frameAt(int position) const {
    if (position == -1)
        return m_master.get();
    return frameAtChecked(position);
}

CZephyrcastFrameElement* CZephyrcastBaseDocument::frameAtChecked(int position) const {
    if (position < 0 || position >= frameCount())
        return nullptr;
    return m_order[static_cast<std::size_t>(position)];
}

bool CZephyrcastBaseDocument::isFrameVisible(const CZephyrcastFrameElement& frame) const {
    return frame.frameInfo().visibility;
}

CZephyrcastFrameElement* CZephyrcastBaseDocument::nextVisibleFrame(
    const CZephyrcastFrameElement& frame) const {
    for (int p = frame.frameInfo().index + 1; p < frameCount(); ++p)
        if (CZephyrcastFrameElement* next = frameAtChecked(p); next && isFrameVisible(*next))
            return next;
    return nullptr;
}

CZephyrcastFrameElement* CZephyrcastBaseDocument::previousVisibleFrame(
    const CZephyrcastFrameElement& frame) const {
    const int from = std::min(frame.frameInfo().index, frameCount());
    for (int p = from - 1; p >= 0; --p)
        if (CZephyrcastFrameElement* previous = frameAtChecked(p);
            previous && isFrameVisible(*previous))
            return previous;
    return from <= 0 ? nullptr : frameAtChecked(0);
}

float CZephyrcastBaseDocument::startTimeOf(int position) const {
    float sum = 0.0f;
    for (int p = 0; p < std::min(position, frameCount()); ++p)
        if (const CZephyrcastFrameElement* frame = frameAtChecked(p);
            frame && frame->frameInfo().visibility)
            sum += frame->frameInfo().duration;
    return sum;
}

CZephyrcastFrameElement* CZephyrcastBaseDocument::frameAtTime(float t) const {
    if (m_order.empty())
        return nullptr;
    float sum = 0.0f;
    for (CZephyrcastFrameElement* frame : m_order) {
        if (!frame)
            return nullptr;
        if (frame->frameInfo().visibility)
            sum += frame->frameInfo().duration;
        if (t < sum)
            return frame;
    }
    return m_order.back();
}

float CZephyrcastBaseDocument::totalDuration() const {
    float sum = 0.0f;
    for (const CZephyrcastFrameElement* frame : m_order)
        if (frame && frame->frameInfo().visibility)
            sum += frame->frameInfo().duration;
    return sum;
}

bool CZephyrcastBaseDocument::drawAtTime(CImageExt& target, float t, FrameDrawOptions options) {
    const float total = totalDuration();
    if (t >= total)
        t = total - 0.001f;
    CZephyrcastFrameElement* frame = frameAtTime(t);
    if (!frame)
        return false;
    if (target.width() != m_frameSize.width || target.height() != m_frameSize.height ||
        target.bpp() != 32)
        if (!target.create(m_frameSize.width, m_frameSize.height, 32))
            return false;
    float local = t - startTimeOf(frame->frameInfo().index);
    local = std::clamp(local, 0.0f, std::max(frame->frameInfo().duration, 0.0f));
    options.masterOverlay = true;
    frame->draw(target, local, options);
    return true;
}

void CZephyrcastBaseDocument::setSoundtrack(const CWaveSoundResource* source) {
    if (source == m_soundtrack.get())
        return;
    const CWaveSoundResource::SDataRecord now = m_soundtrack->GetDataRecord();
    bool change = !m_soundtrack->IsEmpty();
    if (source) {
        const CWaveSoundResource::SDataRecord next = source->GetDataRecord();
        change = !std::ranges::equal(now.data, next.data) ||
                 (!now.data.empty() && !(now.format == next.format));
    }
    if (!change)
        return;
    m_events.event_beforesoundEffectModify();
    if (source)
        m_soundtrack->CopyFrom(*source);
    else
        m_soundtrack->SetData({});
    m_events.event_soundEffectModified();
}

void CZephyrcastBaseDocument::setThemesManager(CThemesManager* themes) {
    m_themes = themes;
    m_theme = themes ? themes->currentTheme() : nullptr;
}

bool CZephyrcastBaseDocument::frameVisible(int frame) const {
    const CZephyrcastFrameElement* at = frameAtChecked(frame);
    return at && at->frameInfo().visibility;
}

float CZephyrcastBaseDocument::frameDuration(int frame) const {
    const CZephyrcastFrameElement* at = frameAt(frame);
    return at ? at->frameDuration() : 0.0f;
}

const CDrawItem_link* CZephyrcastBaseDocument::placementOn(int frame,
                                                           const CDrawCommonItem& item) const {
    const CZephyrcastFrameElement* at = frameAtChecked(frame);
    return at ? at->itemList().placementOf(item) : nullptr;
}

}  // namespace lumenreel
