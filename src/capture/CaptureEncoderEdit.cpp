// Removing pictures. Only the picture right after the removed one in its chain is drawn on the
// removed one, so only that picture is encoded again; the later ones still draw on an unchanged
// image.
#include <vector>

#include "capture/CaptureEncoder.h"

bool CCaptureEncoderExt::removePicture(std::uint32_t id) {
    const auto found = m_byId.find(id);
    if (found == m_byId.end())
        return false;
    SCapturePictureExt& doomed = *found->second;
    SCapturePictureExt* follower = doomed.next;
    if (follower && (follower->isKey() || follower->keyId != doomed.keyId))
        follower = nullptr;
    if (follower && !reencodeFollower(doomed, *follower))
        return false;
    const bool wasLast = doomed.next == nullptr;
    eraseFromSequence(doomed);
    m_workingId = 0;
    return !wasLast || rebuildReference();
}

int CCaptureEncoderExt::removeUnused(const std::set<std::uint32_t>& idsInUse) {
    std::vector<std::uint32_t> unused;
    for (const auto& picture : m_sequence)
        if (!idsInUse.contains(picture->id))
            unused.push_back(picture->id);
    int removed = 0;
    for (std::uint32_t id : unused)
        removed += removePicture(id) ? 1 : 0;
    return removed;
}

bool CCaptureEncoderExt::reencodeFollower(const SCapturePictureExt& doomed,
                                          SCapturePictureExt& follower) {
    CImageExt image;
    if (!pictureImage(image, follower.id))
        return false;
    if (doomed.isKey()) {
        // The follower takes over the chain as its key picture.
        KeyGroup group = std::move(m_groups[doomed.id]);
        m_groups.erase(doomed.id);
        group.members.erase(follower.id);
        for (auto& [memberId, member] : group.members)
            member->keyId = follower.id;
        group.key = &follower;
        follower.keyId = follower.id;
        follower.clone = false;
        follower.nodes.clear();
        encodeKey(follower, image);
        m_groups[follower.id] = std::move(group);
        return true;
    }
    CImageExt base;
    if (!pictureImage(base, doomed.previous->id))
        return false;
    follower.nodes.clear();
    follower.clone = !encodeDelta(follower, image, base);
    return true;
}

void CCaptureEncoderExt::eraseFromSequence(const SCapturePictureExt& picture) {
    const std::uint32_t id = picture.id;
    if (picture.isKey())
        m_groups.erase(id);
    else
        m_groups[picture.keyId].members.erase(id);
    m_byId.erase(id);
    std::erase_if(m_sequence, [&](const auto& candidate) { return candidate->id == id; });
    relink();
}

bool CCaptureEncoderExt::rebuildReference() {
    if (m_sequence.empty()) {
        m_reference.destroy();
        return true;
    }
    return pictureImage(m_reference, m_sequence.back()->id);
}
