#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <unordered_map>
#include <vector>

#include "base/Geometry.h"
#include "capture/CapturePicture.h"
#include "images/ImageExt.h"

class CSerializeInterface;

// The captured screens of a document as one stream of pictures: key pictures hold a whole
// screen, deltas the rectangles that changed since the picture before them (one per quadrant),
// clones nothing. A chain is a key picture and the pictures after it that build on it, at most
// 33 in all, so rebuilding any picture replays at most one chain.
class CCaptureEncoderExt {
public:
    static constexpr int kMaxChainLength = 33;
    // Pictures this small are always stored whole.
    static constexpr int kMinDeltaSide = 8;

    CCaptureEncoderExt();
    ~CCaptureEncoderExt();
    CCaptureEncoderExt(const CCaptureEncoderExt&) = delete;
    CCaptureEncoderExt& operator=(const CCaptureEncoderExt&) = delete;

    // No pictures, ids from 1 again, clones kept.
    void clear();

    // Encodes the image as a new last picture and returns its id; none for a null image, and for
    // an image equal to the last one while clones are not kept (its id is used up all the same).
    std::optional<std::uint32_t> addPicture(const CImageExt& image);
    void setKeepClones(bool keep) { m_keepClones = keep; }

    // Rebuilds the picture with this id (or at this 0-based position) into the target; false
    // when there is no such picture.
    bool pictureImage(CImageExt& target, std::uint32_t id);
    bool pictureImageAt(CImageExt& target, int index);

    // Removes a picture; the pictures after it still rebuild to the same images. False when the
    // id is not in the encoder.
    bool removePicture(std::uint32_t id);
    // Removes every picture whose id is not among those in use; returns how many went.
    int removeUnused(const std::set<std::uint32_t>& idsInUse);

    int pictureCount() const { return static_cast<int>(m_sequence.size()); }
    const SCapturePictureExt* picture(std::uint32_t id) const;
    const SCapturePictureExt* pictureAt(int index) const;
    std::uint32_t nextFreeId() const { return m_nextFreeId; }

    // Stored form: section "CAPTURE_ENCODER_EX". Reading replaces the content; a stored stream
    // that breaks its own rules fails with a reason in lastError(), keeping the pictures read
    // before the fault.
    bool write(CSerializeInterface& archive);
    bool read(CSerializeInterface& archive);
    const std::string& lastError() const { return m_error; }

    // How many pictures the last rebuild drew (decoded or replayed), for bounds and benchmarks.
    int lastReplayLength() const { return m_lastReplayLength; }

private:
    struct KeyGroup {
        SCapturePictureExt* key = nullptr;
        std::map<std::uint32_t, SCapturePictureExt*> members;
    };

    SCapturePictureExt& append(std::unique_ptr<SCapturePictureExt> picture);
    bool startsChain(const CImageExt& image) const;
    void encodeKey(SCapturePictureExt& picture, const CImageExt& image);
    // Nodes of the rectangles that changed from the base; false when none did.
    static bool encodeDelta(SCapturePictureExt& picture, const CImageExt& image,
                            const CImageExt& base);
    void takeAsReference(const CImageExt& image, const SCapturePictureExt& picture);
    void relink();
    bool rebuildWorking(const SCapturePictureExt& picture);
    bool drawNodes(const SCapturePictureExt& picture);
    bool reencodeFollower(const SCapturePictureExt& doomed, SCapturePictureExt& follower);
    void eraseFromSequence(const SCapturePictureExt& picture);
    void resetContent();
    bool readPicture(CSerializeInterface& archive, int index, std::string& error);
    // Whether a picture read from a file may follow the ones read before it.
    bool fitsStream(const SCapturePictureExt& picture, std::string& error) const;
    bool rebuildReference();

    std::uint32_t m_nextFreeId = 1;
    std::vector<std::unique_ptr<SCapturePictureExt>> m_sequence;
    std::unordered_map<std::uint32_t, SCapturePictureExt*> m_byId;
    std::map<std::uint32_t, KeyGroup> m_groups;
    // The last image that changed the stream, in the colour bytes deltas compare: a delta copies
    // in only its changed rectangles.
    CImageExt m_reference;
    // A one-picture decode cache: sequential rebuilds draw on the picture before.
    CImageExt m_working;
    std::uint32_t m_workingId = 0;
    CImageExt m_nodeScratch;
    bool m_keepClones = true;
    int m_lastReplayLength = 0;
    std::string m_error;
};
