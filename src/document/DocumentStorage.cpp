// The document's stored form: the root section walked in one order for writing and reading, in
// the current keyed form or the older plain one.
#include <array>

#include "base/MemFile.h"
#include "document/FrameSerial.h"
#include "document/ZephyrcastBaseDocument.h"
#include "images/ImageLimits.h"
#include "items/DrawCommonItem.h"
#include "items/DrawItemSmoke.h"
#include "items/ItemCounters.h"
#include "items/ItemSchema.h"
#include "sound/SoundStorage.h"
#include "storage/SerializeInterfaceRB.h"
#include "themes/ThemeContainer.h"
#include "themes/ThemeItemSmoke.h"
#include "themes/ThemesManager.h"

namespace lumenreel {

namespace {

// Far more frames than a movie holds; a damaged count must not make the reader walk billions of
// absent sections.
constexpr std::int32_t kMaxFrames = 1 << 20;
constexpr std::int32_t kMaxOrderEntries = 1 << 22;
constexpr std::size_t kFirstFrameFillerBytes = 21;
constexpr std::size_t kFrameFillerBytes = 2;

std::string numbered(const char* name, std::size_t n) {
    return name + std::to_string(n);
}

// Leaves the sections a failing step entered when its scope ends.
class SectionGuard {
public:
    explicit SectionGuard(CSerializeInterface& archive) : m_archive(archive) {}
    ~SectionGuard() {
        for (int i = 0; i < m_depth; ++i)
            m_archive.LeaveSection();
    }
    SectionGuard(const SectionGuard&) = delete;
    SectionGuard& operator=(const SectionGuard&) = delete;
    bool enter(const std::string& name) {
        if (!m_archive.EnterSection(name))
            return false;
        ++m_depth;
        return true;
    }

private:
    CSerializeInterface& m_archive;
    int m_depth = 0;
};

}  // namespace

bool CZephyrcastBaseDocument::fail(std::string reason) {
    m_error = std::move(reason);
    return false;
}

void CZephyrcastBaseDocument::reset() {
    m_documentItems->clear();
    m_itemOrder.clear();
    m_thumbs.clear();
    m_pool.clear();
    m_order.clear();
    m_master->itemList().clear();
    m_backgrounds.clear();
    m_skipped.clear();
    m_error.clear();
}

bool CZephyrcastBaseDocument::load(std::span<const std::uint8_t> bytes) {
    const std::optional<DocumentForm> form = documentFormOf(bytes);
    if (!form)
        return fail("bad schema: no reader takes the file as a document");
    CKWXOleStreamFile stream(bytes);
    std::unique_ptr<CSerializeInterface> archive;
    if (*form == DocumentForm::current)
        archive = std::make_unique<CSerializeInterfaceRB>(stream, CSerializeInterface::modeLoad);
    else
        archive = std::make_unique<CSerializeInterface>(stream, CSerializeInterface::modeLoad);
    if (!serialize(*archive, *form))
        return false;
    m_loadedForm = form;
    return true;
}

std::optional<std::vector<std::uint8_t>> CZephyrcastBaseDocument::save() {
    CKWXMemFile file;
    {
        CSerializeInterfaceRB archive(file, CSerializeInterface::modeStore);
        if (!serialize(archive, DocumentForm::current))
            return std::nullopt;
        archive.Close();
    }
    return std::vector<std::uint8_t>(file.Bytes().begin(), file.Bytes().end());
}

bool CZephyrcastBaseDocument::serialize(CSerializeInterface& archive, DocumentForm form) {
    const bool storing = archive.IsStoring();
    if (storing) {
        m_error.clear();
        refreshPlacements();
    } else {
        reset();
    }
    SectionGuard root(archive);
    if (!root.enter(kDocumentRootSection))
        return fail("bad schema: no " + std::string(kDocumentRootSection) + " section");
    std::string type = kDocumentType;
    archive.SetKey("document_type");
    archive.ExchangeString(type);
    if (!storing && type != kDocumentType)
        return fail("bad schema: document type \"" + type + "\"");
    archive.SetKey("frame_id_generator");
    archive.Exchange(frameSerialCounter());
    archive.SetKey("frame_id_generator2");
    archive.Exchange(itemCounters().nextSerial);
    if (!serializeEffectsIdsPool(archive, form == DocumentForm::current))
        return fail("bad schema: no Effects_ids_pool section");
    if (!serializeFrames(archive, form))
        return false;
    if (!storing)
        buildPlayingOrder();
    archive.SetKey("animation_size");
    if (!archive.Exchange(m_frameSize) && !storing)
        return fail("no animation_size");
    const bool noPictures = m_frameSize.width == 0 && m_frameSize.height == 0;
    if (!noPictures && !imageSizeAllowed(m_frameSize.width, m_frameSize.height))
        return fail("animation size " + std::to_string(m_frameSize.width) + "x" +
                    std::to_string(m_frameSize.height) + " out of range");
    if (!serializeBackgrounds(archive))
        return false;
    if (!m_documentItems->serialize(archive, this))
        return fail("bad schema: no document ITEMS_MANAGER section");
    for (const std::string& problem : m_documentItems->problems())
        m_skipped.push_back("document items: " + problem);
    if (form == DocumentForm::current)
        serializeSoundtrack(archive);
    serializeTheme(archive);
    if (!serializeMaster(archive, form))
        return false;
    {
        SectionGuard thumbs(archive);
        if (!thumbs.enter("THUMBS_MANAGER_SECTION"))
            return fail("bad schema: no THUMBS_MANAGER_SECTION");
        m_thumbs.serialize(archive, form, m_skipped);
    }
    if (!serializeItemOrder(archive))
        return false;
    if (!storing)
        afterReading();
    return true;
}

bool CZephyrcastBaseDocument::serializeFrames(CSerializeInterface& archive, DocumentForm form) {
    const bool storing = archive.IsStoring();
    auto count = static_cast<std::int32_t>(m_pool.size());
    archive.SetKey("num_all_frames");
    if (!archive.Exchange(count) && !storing)
        return fail("no num_all_frames");
    if (count < 0 || count > kMaxFrames)
        return fail("frame count " + std::to_string(count) + " out of range");
    for (std::int32_t i = 0; i < count; ++i) {
        const std::size_t n = static_cast<std::size_t>(i);
        std::array<std::uint8_t, kFirstFrameFillerBytes> filler{};
        archive.SetKey(numbered("cu", n));
        archive.ExchangeBytes(filler.data(), n == 0 ? kFirstFrameFillerBytes : kFrameFillerBytes);
        SectionGuard section(archive);
        if (!section.enter(numbered("Frame", n)))
            return fail("frame " + std::to_string(i) + ": no Frame" + std::to_string(i) +
                        " section");
        if (storing) {
            if (!m_pool[n]->serialize(archive, form))
                return fail("frame " + std::to_string(i) + ": " + m_pool[n]->lastError());
            continue;
        }
        auto frame = newFrame();
        if (!frame->serialize(archive, form))
            return fail("frame " + std::to_string(i) + ": " + frame->lastError());
        for (const std::string& problem : frame->problems())
            m_skipped.push_back("frame " + std::to_string(i) + ": " + problem);
        m_pool.push_back(std::move(frame));
    }
    return true;
}

bool CZephyrcastBaseDocument::serializeBackgrounds(CSerializeInterface& archive) {
    const bool storing = archive.IsStoring();
    SectionGuard section(archive);
    if (!section.enter("BACKGROUND_IMAGES"))
        return fail("bad schema: no BACKGROUND_IMAGES section");
    if (storing ? !m_backgrounds.write(archive) : !m_backgrounds.read(archive))
        return fail("backgrounds: " +
                    (storing ? std::string("cannot be written") : m_backgrounds.lastError()));
    if (!section.enter("ENCODER_IDS"))
        return fail("bad schema: no ENCODER_IDS section");
    for (std::size_t n = 0; n < m_pool.size(); ++n) {
        CImageEncoderCache& background = m_pool[n]->backgroundReference();
        std::uint32_t id = background.pictureId();
        archive.SetKey(numbered("key", n));
        const bool stored = archive.Exchange(id);
        if (storing)
            continue;
        if (!stored || id == 0) {
            // A frame that carries its own picture keeps it.
            if (background.isEmpty())
                background.bind(0, m_frameSize.width, m_frameSize.height);
            continue;
        }
        if (!m_backgrounds.picture(id))
            return fail("frame " + std::to_string(n) + ": background picture " +
                        std::to_string(id) + " is not in the picture stream");
        background.bind(id, m_frameSize.width, m_frameSize.height);
    }
    return true;
}

void CZephyrcastBaseDocument::serializeSoundtrack(CSerializeInterface& archive) {
    std::uint32_t announced = 0;
    if (!archive.IsStoring() && archive.EnterSection("SOUND_RESOURCE")) {
        archive.SetKey("buffer_size");
        archive.Exchange(announced);
        archive.LeaveSection();
    }
    m_soundtrack->Serialize(archive);
    if (announced != 0 && m_soundtrack->IsEmpty())
        m_skipped.push_back("soundtrack: " + std::to_string(announced) +
                            " bytes announced but unreadable, left empty");
}

void CZephyrcastBaseDocument::serializeTheme(CSerializeInterface& archive) {
    const bool storing = archive.IsStoring();
    SectionGuard section(archive);
    if (!section.enter("THEME_SECTION")) {
        if (!storing)
            m_skipped.push_back("theme: no THEME_SECTION");
        return;
    }
    if (m_themes) {
        if (!m_themes->serializeCurrent(archive) && !storing)
            m_skipped.push_back("theme: unreadable");
        m_theme = m_themes->currentTheme();
        if (!storing && m_theme)
            m_theme->load();
        return;
    }
    // Without a manager the section still holds a theme (an empty one when writing) so that
    // the plain form's values stay in step.
    CThemeContainer standIn(ThemeFiles{}, {});
    if (!standIn.serialize(archive) && !storing)
        m_skipped.push_back("theme: unreadable");
}

bool CZephyrcastBaseDocument::serializeMaster(CSerializeInterface& archive, DocumentForm form) {
    SectionGuard section(archive);
    if (!section.enter("MASTERFRAME_OBJECT"))
        return fail("bad schema: no MASTERFRAME_OBJECT section");
    const std::string label = m_master->frameInfo().label;
    if (!m_master->serialize(archive, form))
        return fail("master frame: " + m_master->lastError());
    for (const std::string& problem : m_master->problems())
        m_skipped.push_back("master frame: " + problem);
    if (!archive.IsStoring()) {
        // The master frame stands for the whole movie whatever the file says of it.
        m_master->setMaster(true);
        m_master->frameInfo().label = label;
    }
    return true;
}

bool CZephyrcastBaseDocument::serializeItemOrder(CSerializeInterface& archive) {
    const bool storing = archive.IsStoring();
    SectionGuard section(archive);
    if (!section.enter("ZORDER_SECTION"))
        return fail("bad schema: no ZORDER_SECTION");
    std::vector<std::int32_t> serials;
    if (storing)
        for (const CDrawCommonItem* item : m_itemOrder)
            serials.push_back(item->serialNumber());
    auto count = static_cast<std::int32_t>(serials.size());
    archive.SetKey("cnt");
    archive.Exchange(count);
    if (count <= 0)
        return true;
    if (!storing) {
        if (count > kMaxOrderEntries ||
            !archiveCanHold(archive, static_cast<std::uint64_t>(count) * 4)) {
            m_skipped.push_back("item order: count " + std::to_string(count) + " out of range");
            return true;
        }
        serials.resize(static_cast<std::size_t>(count));
    }
    std::vector<std::uint8_t> data(serials.size() * 4);
    for (std::size_t i = 0; storing && i < serials.size(); ++i)
        for (int b = 0; b < 4; ++b)
            data[i * 4 + static_cast<std::size_t>(b)] =
                static_cast<std::uint8_t>(static_cast<std::uint32_t>(serials[i]) >> (8 * b));
    archive.SetKey("zorder_data");
    if (!archive.ExchangeBytes(data.data(), data.size())) {
        if (!storing)
            m_skipped.push_back("item order: no zorder_data");
        return true;
    }
    if (storing)
        return true;
    // Looked up once the placements are resolved (afterReading).
    for (std::size_t i = 0; i < serials.size(); ++i) {
        std::uint32_t value = 0;
        for (int b = 0; b < 4; ++b)
            value |= std::uint32_t{data[i * 4 + static_cast<std::size_t>(b)]} << (8 * b);
        serials[i] = static_cast<std::int32_t>(value);
    }
    m_pendingOrder = std::move(serials);
    return true;
}

void CZephyrcastBaseDocument::afterReading() {
    linkCursors();
    resolvePlacements();
    refreshPlacements();
    reportDuplicateSerials();
    for (std::int32_t serial : m_pendingOrder) {
        if (CDrawCommonItem* item = findItemBySerial(serial))
            m_itemOrder.push_back(item);
        else
            m_skipped.push_back("item order: no item " + std::to_string(serial));
    }
    m_pendingOrder.clear();
    buildSpanTables();
    recomputeItemSerialCounter();
    checkCaptions();
    for (std::size_t i = 0; i < m_pool.size(); ++i) {
        const std::int32_t index = m_pool[i]->frameInfo().index;
        if (index < 0 || static_cast<std::size_t>(index) >= m_pool.size())
            m_skipped.push_back("frame " + std::to_string(i) + ": position " +
                                std::to_string(index) + " outside the playing order");
        else if (m_order[static_cast<std::size_t>(index)] != m_pool[i].get())
            m_skipped.push_back("frame " + std::to_string(i) + ": position " +
                                std::to_string(index) + " taken by a later frame");
    }
}

// A caption whose template index the theme's balloons do not have is given their first template
// and their item set, so that it keeps a balloon rather than losing it to text only.
void CZephyrcastBaseDocument::checkCaptions() {
    const auto* balloons =
        m_theme ? dynamic_cast<const CThemeItem_smoke*>(m_theme->itemFor(kBalloonTypeId)) : nullptr;
    // Balloons that did not load (no item set at all) say nothing about what a caption may use.
    if (!balloons || !balloons->isLoaded() || balloons->templateCount() == 0)
        return;
    auto check = [&](CZephyrcastFrameElement& frame) {
        CDrawCommonItemListManager& list = frame.itemList();
        for (int i = 0; i < list.count(); ++i) {
            auto* caption = dynamic_cast<CDrawItem_zcSmoke*>(list.itemAt(i));
            if (!caption || caption->smokeProperties().onlyText ||
                caption->smokeProperties().templateIndex < balloons->templateCount())
                continue;
            caption->smokeProperties().templateIndex = 0;
            caption->smokeProperties().themeItemName = balloons->loadedItemName();
            caption->propertiesChanged();
        }
    };
    check(*m_master);
    for (const auto& frame : m_pool)
        check(*frame);
}

}  // namespace lumenreel
