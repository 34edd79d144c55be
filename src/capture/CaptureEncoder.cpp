#include "capture/CaptureEncoder.h"

#include "base/Assert.h"
#include "capture/ChangedRect.h"
#include "images/PixelBlit.h"

CCaptureEncoderExt::CCaptureEncoderExt() = default;
CCaptureEncoderExt::~CCaptureEncoderExt() = default;

void CCaptureEncoderExt::clear() {
    resetContent();
    m_keepClones = true;
}

void CCaptureEncoderExt::resetContent() {
    m_nextFreeId = 1;
    m_sequence.clear();
    m_byId.clear();
    m_groups.clear();
    m_reference.destroy();
    m_working.destroy();
    m_workingId = 0;
    m_nodeScratch.destroy();
    m_lastReplayLength = 0;
    m_error.clear();
}

std::optional<std::uint32_t> CCaptureEncoderExt::addPicture(const CImageExt& image) {
    if (image.isNull() || m_nextFreeId == 0)
        return std::nullopt;
    auto picture = std::make_unique<SCapturePictureExt>();
    picture->width = image.width();
    picture->height = image.height();
    picture->id = m_nextFreeId++;
    const bool key = startsChain(image);
    if (key) {
        encodeKey(*picture, image);
    } else if (!encodeDelta(*picture, image, m_reference)) {
        if (!m_keepClones)
            return std::nullopt;
        picture->clone = true;
    }
    picture->keyId = key ? picture->id : m_sequence.back()->keyId;
    if (!picture->clone)
        takeAsReference(image, *picture);
    return append(std::move(picture)).id;
}

bool CCaptureEncoderExt::startsChain(const CImageExt& image) const {
    if (m_sequence.empty() || m_reference.isNull() || image.width() != m_reference.width() ||
        image.height() != m_reference.height() || image.width() < kMinDeltaSide ||
        image.height() < kMinDeltaSide)
        return true;
    const auto group = m_groups.find(m_sequence.back()->keyId);
    return group == m_groups.end() ||
           static_cast<int>(group->second.members.size()) >= kMaxChainLength - 1;
}

void CCaptureEncoderExt::encodeKey(SCapturePictureExt& picture, const CImageExt& image) {
    auto node = std::make_unique<SCaptureEncNodeExt>();
    node->image.copyAll(image);
    picture.nodes.push_back(std::move(node));
}

bool CCaptureEncoderExt::encodeDelta(SCapturePictureExt& picture, const CImageExt& image,
                                     const CImageExt& base) {
    for (const lumenreel::Rect& quadrant : lumenreel::quadrantsOf(image.width(), image.height())) {
        const auto changed = lumenreel::changedRect(image, base, quadrant);
        if (!changed)
            continue;
        auto node = std::make_unique<SCaptureEncNodeExt>();
        node->x = changed->left;
        node->y = changed->top;
        node->image.copyRect(image, changed->left, changed->top, static_cast<int>(changed->width()),
                             static_cast<int>(changed->height()));
        picture.nodes.push_back(std::move(node));
    }
    return !picture.nodes.empty();
}

void CCaptureEncoderExt::takeAsReference(const CImageExt& image,
                                         const SCapturePictureExt& picture) {
    if (picture.isKey() || image.bpp() != m_reference.bpp()) {
        image.copyTo(m_reference);
        return;
    }
    // Outside its nodes a delta's image equals the reference in every compared byte.
    for (const auto& node : picture.nodes) {
        const int w = node->image.width(), h = node->image.height();
        lumenreel::copyPixels(lumenreel::subView(image.view(), node->x, node->y, w, h),
                              m_reference.view(), node->x, node->y, w, h);
    }
}

SCapturePictureExt& CCaptureEncoderExt::append(std::unique_ptr<SCapturePictureExt> picture) {
    SCapturePictureExt& added = *picture;
    if (!m_sequence.empty()) {
        added.previous = m_sequence.back().get();
        added.previous->next = &added;
    }
    m_sequence.push_back(std::move(picture));
    m_byId[added.id] = &added;
    if (added.isKey())
        m_groups[added.id].key = &added;
    else
        m_groups[added.keyId].members[added.id] = &added;
    return added;
}

void CCaptureEncoderExt::relink() {
    SCapturePictureExt* previous = nullptr;
    for (auto& picture : m_sequence) {
        picture->previous = previous;
        picture->next = nullptr;
        if (previous)
            previous->next = picture.get();
        previous = picture.get();
    }
}

const SCapturePictureExt* CCaptureEncoderExt::picture(std::uint32_t id) const {
    const auto found = m_byId.find(id);
    return found == m_byId.end() ? nullptr : found->second;
}

const SCapturePictureExt* CCaptureEncoderExt::pictureAt(int index) const {
    if (index < 0 || index >= pictureCount())
        return nullptr;
    return m_sequence[static_cast<std::size_t>(index)].get();
}

bool CCaptureEncoderExt::pictureImageAt(CImageExt& target, int index) {
    const SCapturePictureExt* found = pictureAt(index);
    return found && pictureImage(target, found->id);
}

bool CCaptureEncoderExt::pictureImage(CImageExt& target, std::uint32_t id) {
    const SCapturePictureExt* found = picture(id);
    LR_ASSERT(found != nullptr);
    if (!found || !rebuildWorking(*found))
        return false;
    if (&target == &m_working)
        return true;
    // A target of the picture's size keeps its depth.
    if (!target.isNull() && target.width() == m_working.width() &&
        target.height() == m_working.height() && target.bpp() != m_working.bpp()) {
        lumenreel::copyPixels(m_working.view(), target.view(), 0, 0, target.width(),
                              target.height());
        return true;
    }
    return m_working.copyTo(target);
}

bool CCaptureEncoderExt::rebuildWorking(const SCapturePictureExt& picture) {
    // Back to the key picture, or to the picture the working image holds if that comes first.
    std::vector<const SCapturePictureExt*> replay;
    const SCapturePictureExt* start = &picture;
    while (start->id != m_workingId && !start->isKey()) {
        replay.push_back(start);
        start = start->previous;
        LR_ASSERT(start != nullptr);
        if (!start)
            return false;
    }
    const bool fromKey = start->id != m_workingId;
    if (fromKey) {
        m_workingId = 0;
        if (start->nodes.size() != 1 || !start->nodes.front()->image.copyTo(m_working))
            return false;
    }
    for (auto it = replay.rbegin(); it != replay.rend(); ++it) {
        if (!drawNodes(**it)) {
            m_workingId = 0;
            return false;
        }
    }
    m_workingId = picture.id;
    m_lastReplayLength = static_cast<int>(replay.size()) + (fromKey ? 1 : 0);
    return true;
}

bool CCaptureEncoderExt::drawNodes(const SCapturePictureExt& picture) {
    for (const auto& node : picture.nodes) {
        if (node->image.isEmpty())
            continue;
        if (!node->image.copyTo(m_nodeScratch))
            return false;
        lumenreel::copyPixels(m_nodeScratch.view(), m_working.view(), node->x, node->y,
                              m_nodeScratch.width(), m_nodeScratch.height());
    }
    return true;
}
