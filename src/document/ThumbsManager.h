#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "document/DocumentForm.h"
#include "images/ImageExt.h"

class CSerializeInterface;

namespace lumenreel {

class CZephyrcastBaseDocument;
class CZephyrcastFrameElement;

// The small picture of each frame kept for the frame strip, with a mark that it must be made
// again.
class CThumbsManager {
public:
    struct Record {
        std::unique_ptr<CImageExt> picture;
        bool dirty = true;
    };

    explicit CThumbsManager(CZephyrcastBaseDocument& document) : m_document(document) {}

    void markDirty(const CZephyrcastFrameElement& frame);
    void markAllDirty();
    void ensureEntry(const CZephyrcastFrameElement& frame);
    void setPicture(const CZephyrcastFrameElement& frame, CImageExt picture);
    void remove(const CZephyrcastFrameElement& frame);
    void clear() { m_entries.clear(); }
    const Record* recordOf(const CZephyrcastFrameElement& frame) const;
    std::size_t size() const { return m_entries.size(); }

    int thumbWidth = 0;
    int thumbHeight = 0;

    // The "CThumbsManager" section; reading needs the playing order built. Records that cannot
    // be used are left out and named in problems.
    void serialize(CSerializeInterface& archive, DocumentForm form,
                   std::vector<std::string>& problems);

private:
    CZephyrcastBaseDocument& m_document;
    std::map<const CZephyrcastFrameElement*, Record> m_entries;
};

}  // namespace lumenreel
