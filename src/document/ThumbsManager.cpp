#include "document/ThumbsManager.h"

#include "base/MemFile.h"
#include "document/ZephyrcastBaseDocument.h"
#include "sound/SoundStorage.h"
#include "storage/SerializeInterface.h"

namespace lumenreel {

namespace {

// More records than positions cannot belong anywhere; the count is checked against this too.
constexpr std::int32_t kMaxThumbnails = 1 << 20;

}  // namespace

void CThumbsManager::markDirty(const CZephyrcastFrameElement& frame) {
    if (auto found = m_entries.find(&frame); found != m_entries.end())
        found->second.dirty = true;
}

void CThumbsManager::markAllDirty() {
    for (auto& [frame, record] : m_entries)
        record.dirty = true;
}

void CThumbsManager::ensureEntry(const CZephyrcastFrameElement& frame) {
    m_entries.try_emplace(&frame);
}

void CThumbsManager::setPicture(const CZephyrcastFrameElement& frame, CImageExt picture) {
    Record& record = m_entries[&frame];
    record.picture = std::make_unique<CImageExt>(std::move(picture));
    record.dirty = false;
}

void CThumbsManager::remove(const CZephyrcastFrameElement& frame) {
    m_entries.erase(&frame);
}

const CThumbsManager::Record* CThumbsManager::recordOf(const CZephyrcastFrameElement& frame) const {
    auto found = m_entries.find(&frame);
    return found == m_entries.end() ? nullptr : &found->second;
}

void CThumbsManager::serialize(CSerializeInterface& archive, DocumentForm form,
                               std::vector<std::string>& problems) {
    const char* presentKey = form == DocumentForm::current ? "present" : "status";
    const bool storing = archive.IsStoring();
    if (!storing)
        clear();
    archive.EnterSection("CThumbsManager");
    archive.SetKey("thumbWidth");
    archive.Exchange(thumbWidth);
    archive.SetKey("thumbHeight");
    archive.Exchange(thumbHeight);
    // Written in playing order, so the same document always gives the same bytes.
    std::vector<std::pair<int, const Record*>> records;
    for (int p = 0; storing && p < m_document.frameCount(); ++p)
        if (const CZephyrcastFrameElement* frame = m_document.frameAtChecked(p))
            if (const Record* record = recordOf(*frame))
                records.emplace_back(p, record);
    auto count = static_cast<std::int32_t>(records.size());
    archive.SetKey("thumbsMapSize");
    archive.Exchange(count);
    if (!storing && (count < 0 || count > kMaxThumbnails)) {
        problems.push_back("thumbnails: count " + std::to_string(count) + " out of range");
        count = 0;
    }
    for (std::int32_t i = 0; i < count; ++i) {
        const std::string where = "thumbnail " + std::to_string(i) + ": ";
        if (!archive.EnterSection("THUMB" + std::to_string(i)) && !storing) {
            problems.push_back(where + "missing");
            break;
        }
        std::int32_t position = storing ? records[static_cast<std::size_t>(i)].first : -1;
        archive.SetKey("frameIx");
        archive.Exchange(position);
        const Record* stored = storing ? records[static_cast<std::size_t>(i)].second : nullptr;
        std::vector<std::uint8_t> png;
        if (stored && stored->picture) {
            CKWXMemFile encoded;
            if (stored->picture->savePng(encoded))
                png.assign(encoded.Bytes().begin(), encoded.Bytes().end());
        }
        bool present = !png.empty();
        archive.SetKey(presentKey);
        archive.Exchange(present);
        if (present) {
            auto size = static_cast<std::int32_t>(png.size());
            archive.SetKey("size");
            archive.Exchange(size);
            if (storing) {
                archive.SetKey("Image");
                archive.WriteBytes(png.data(), png.size());
            } else if (size > 0) {
                png = loadBlock(archive, "Image", static_cast<std::uint32_t>(size));
            }
        }
        archive.LeaveSection();
        if (storing)
            continue;
        Record record;
        if (present) {
            auto picture = std::make_unique<CImageExt>();
            if (!png.empty() && picture->loadFromBytes(png))
                record.picture = std::move(picture);
            else
                problems.push_back(where + "picture unreadable, to be made again");
        }
        record.dirty = !record.picture;
        const CZephyrcastFrameElement* frame = m_document.frameAtChecked(position);
        if (!frame) {
            problems.push_back(where + "no frame at position " + std::to_string(position));
            continue;
        }
        m_entries.try_emplace(frame, std::move(record));
    }
    archive.LeaveSection();
}

}  // namespace lumenreel
