// The stored form, section "CAPTURE_ENCODER_EX". It comes from a file: every count, size, id and
// key id is checked before use, so that each picture read can be rebuilt from its own chain alone.
#include <algorithm>
#include <string>

#include "capture/CaptureEncoder.h"
#include "images/ImageLimits.h"
#include "storage/SerializeInterface.h"

namespace {

constexpr int kMaxDeltaNodes = 4;

std::string sizeText(int width, int height) {
    return std::to_string(width) + " x " + std::to_string(height);
}

bool writeNode(CSerializeInterface& archive, SCaptureEncNodeExt& node, std::size_t index) {
    if (!archive.EnterSection("s_im" + std::to_string(index)))
        return false;
    archive.SetKey("posx");
    bool ok = archive.WriteInt16(static_cast<std::uint16_t>(node.x));
    archive.SetKey("posy");
    ok = archive.WriteInt16(static_cast<std::uint16_t>(node.y)) && ok;
    ok = node.image.serialize(archive) && ok;
    archive.LeaveSection();
    return ok && archive.GetStatus();
}

bool writePicture(CSerializeInterface& archive, SCapturePictureExt& picture, std::size_t index) {
    if (!archive.EnterSection("Image" + std::to_string(index)))
        return false;
    archive.SetKey("unique_id");
    bool ok = archive.WriteInt32A(picture.id);
    archive.SetKey("clone_prev_stat");
    ok = archive.WriteBool(picture.clone) && ok;
    archive.SetKey("keyframe_id");
    ok = archive.WriteInt32A(picture.keyId) && ok;
    archive.SetKey("width");
    ok = archive.WriteInt16(static_cast<std::uint16_t>(picture.width)) && ok;
    archive.SetKey("height");
    ok = archive.WriteInt16(static_cast<std::uint16_t>(picture.height)) && ok;
    archive.SetKey("number_nodes");
    ok = archive.WriteInt32A(static_cast<std::uint32_t>(picture.nodes.size())) && ok;
    for (std::size_t i = 0; i < picture.nodes.size(); ++i)
        ok = writeNode(archive, *picture.nodes[i], i) && ok;
    archive.LeaveSection();
    return ok && archive.GetStatus();
}

// One "s_im%i" section; the node image checks its own member against its size and depth.
bool readNode(CSerializeInterface& archive, SCaptureEncNodeExt& node, int index,
              std::string& error) {
    if (!archive.EnterSection("s_im" + std::to_string(index))) {
        error = "no section s_im" + std::to_string(index);
        return false;
    }
    std::uint16_t x = 0, y = 0;
    archive.SetKey("posx");
    archive.ReadInt16(x);
    archive.SetKey("posy");
    archive.ReadInt16(y);
    node.x = x;
    node.y = y;
    const bool ok = node.image.serialize(archive);
    archive.LeaveSection();
    if (!ok)
        error = "node " + std::to_string(index) + ": its pixels are missing or do not inflate to " +
                sizeText(node.image.width(), node.image.height()) + " rows";
    return ok;
}

// The fields of one "Image%i" section, read as they are stored.
bool readPictureFields(CSerializeInterface& archive, SCapturePictureExt& picture,
                       std::string& error) {
    std::uint16_t width = 0, height = 0;
    std::int32_t nodeCount = 0;
    archive.SetKey("unique_id");
    archive.ReadInt32A(picture.id);
    archive.SetKey("clone_prev_stat");
    archive.ReadBool(picture.clone);
    archive.SetKey("keyframe_id");
    archive.ReadInt32A(picture.keyId);
    archive.SetKey("width");
    archive.ReadInt16(width);
    archive.SetKey("height");
    archive.ReadInt16(height);
    archive.SetKey("number_nodes");
    archive.ReadInt32A(nodeCount);
    picture.width = width;
    picture.height = height;
    if (!lumenreel::imageSizeAllowed(width, height)) {
        error = "size " + sizeText(width, height) + " is outside the image limits";
        return false;
    }
    if (nodeCount < 0 || nodeCount > kMaxDeltaNodes) {
        error =
            std::to_string(nodeCount) + " nodes (at most " + std::to_string(kMaxDeltaNodes) + ")";
        return false;
    }
    for (int i = 0; i < nodeCount; ++i) {
        auto node = std::make_unique<SCaptureEncNodeExt>();
        if (!readNode(archive, *node, i, error))
            return false;
        picture.nodes.push_back(std::move(node));
    }
    return true;
}

bool nodeInside(const SCaptureEncNodeExt& node, const SCapturePictureExt& picture) {
    return std::int64_t{node.x} + node.image.width() <= picture.width &&
           std::int64_t{node.y} + node.image.height() <= picture.height;
}

// A key picture must cover itself with its one node: nothing of an earlier rebuild may show.
bool checkKey(const SCapturePictureExt& picture, std::string& error) {
    if (picture.clone || picture.nodes.size() != 1) {
        error = "a key picture needs exactly one node";
        return false;
    }
    const SCaptureEncNodeExt& node = *picture.nodes.front();
    if (node.x != 0 || node.y != 0 || node.image.width() != picture.width ||
        node.image.height() != picture.height) {
        error = "its key node does not cover the picture";
        return false;
    }
    return true;
}

}  // namespace

bool CCaptureEncoderExt::write(CSerializeInterface& archive) {
    if (!archive.EnterSection("CAPTURE_ENCODER_EX"))
        return false;
    archive.SetKey("next_free_uid");
    bool ok = archive.WriteInt32A(m_nextFreeId);
    archive.SetKey("cnt");
    ok = archive.WriteInt32A(static_cast<std::uint32_t>(m_sequence.size())) && ok;
    for (std::size_t k = 0; k < m_sequence.size(); ++k)
        ok = writePicture(archive, *m_sequence[k], k) && ok;
    archive.LeaveSection();
    return ok && archive.GetStatus();
}

bool CCaptureEncoderExt::read(CSerializeInterface& archive) {
    resetContent();
    if (!archive.EnterSection("CAPTURE_ENCODER_EX")) {
        m_error = "no section CAPTURE_ENCODER_EX";
        return false;
    }
    std::uint32_t storedNextId = 1;
    std::int32_t count = 0;
    archive.SetKey("next_free_uid");
    archive.ReadInt32A(storedNextId);
    archive.SetKey("cnt");
    archive.ReadInt32A(count);
    bool ok = count >= 0;
    if (!ok)
        m_error = "cnt is " + std::to_string(count);
    for (std::int32_t k = 0; ok && k < count; ++k) {
        std::string error;
        ok = readPicture(archive, k, error);
        if (!ok)
            m_error = "picture " + std::to_string(k) + ": " + error;
    }
    archive.LeaveSection();
    // Ids handed out later must not meet a stored one.
    m_nextFreeId = storedNextId;
    for (const auto& picture : m_sequence)
        m_nextFreeId = std::max(m_nextFreeId, picture->id + 1);
    if (!rebuildReference() && ok) {
        m_error = "the last picture cannot be rebuilt";
        ok = false;
    }
    return ok;
}

bool CCaptureEncoderExt::readPicture(CSerializeInterface& archive, int index, std::string& error) {
    if (!archive.EnterSection("Image" + std::to_string(index))) {
        error = "no section Image" + std::to_string(index);
        return false;
    }
    auto picture = std::make_unique<SCapturePictureExt>();
    const bool ok = readPictureFields(archive, *picture, error) && fitsStream(*picture, error);
    archive.LeaveSection();
    if (ok)
        append(std::move(picture));
    return ok;
}

bool CCaptureEncoderExt::fitsStream(const SCapturePictureExt& picture, std::string& error) const {
    if (picture.id == 0 || m_byId.contains(picture.id)) {
        error = "id " + std::to_string(picture.id) + " is 0 or used twice";
        return false;
    }
    if (picture.isKey())
        return checkKey(picture, error);
    // Any other picture continues the chain of the picture before it.
    const SCapturePictureExt* previous = m_sequence.empty() ? nullptr : m_sequence.back().get();
    if (!previous || previous->keyId != picture.keyId) {
        error = "key id " + std::to_string(picture.keyId) + " names no key picture before it";
        return false;
    }
    const KeyGroup& group = m_groups.at(picture.keyId);
    if (static_cast<int>(group.members.size()) >= kMaxChainLength - 1) {
        error = "its chain holds more than " + std::to_string(kMaxChainLength) + " pictures";
        return false;
    }
    if (picture.width != group.key->width || picture.height != group.key->height) {
        error = "size " + sizeText(picture.width, picture.height) + " differs from its key's";
        return false;
    }
    if (picture.clone && !picture.nodes.empty()) {
        error = "a clone holds nodes";
        return false;
    }
    for (const auto& node : picture.nodes) {
        if (!nodeInside(*node, picture)) {
            error = "a node leaves the picture";
            return false;
        }
    }
    return true;
}
