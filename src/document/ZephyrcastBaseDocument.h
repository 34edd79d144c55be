#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "capture/CaptureEncoder.h"
#include "document/DocumentForm.h"
#include "document/FrameDrawOptions.h"
#include "document/ThumbsManager.h"
#include "document/ZCDocEvents.h"
#include "document/ZephyrcastFrameElement.h"
#include "images/ImageExt.h"
#include "images/ImageManager.h"
#include "items/DrawCommonItemListManager.h"
#include "items/ItemDocument.h"
#include "sound/WaveSoundResource.h"

class CThemeContainer;
class CThemesManager;
class CTranslateInterface;

namespace lumenreel {

// Where an item shows in the movie: the first and last playing positions (−1: the master frame)
// and its absolute start and end; set once a visible frame (or the master frame) showed it.
struct SItemSpan {
    CDrawCommonItem* item = nullptr;
    std::optional<int> first;
    std::optional<int> last;
    float start = 0.0f;
    float end = 0.0f;
    bool set = false;
};

// The authoring document: the frame pool, the playing order, the items and their placements, the
// background pictures, the theme, the soundtrack and the thumbnails.
class CZephyrcastBaseDocument : public ItemDocument {
public:
    // The themes manager (not owned) receives the stored theme; without one the document has
    // none and captions draw as text.
    explicit CZephyrcastBaseDocument(CThemesManager* themes = nullptr,
                                     CTranslateInterface* translator = nullptr);
    ~CZephyrcastBaseDocument() override;
    CZephyrcastBaseDocument(const CZephyrcastBaseDocument&) = delete;
    CZephyrcastBaseDocument& operator=(const CZephyrcastBaseDocument&) = delete;

    // Reads either storage form; false with lastError() when neither reader takes the bytes or
    // the frame pool or the backgrounds are damaged.
    bool load(std::span<const std::uint8_t> bytes);
    // The current form; nothing (with lastError()) when it cannot be written.
    std::optional<std::vector<std::uint8_t>> save();
    // Walks the whole document in the archive's direction through the form's layout.
    bool serialize(CSerializeInterface& archive, DocumentForm form);
    const std::string& lastError() const { return m_error; }
    // Damaged optional parts that reading left out, each with its reason.
    const std::vector<std::string>& skipped() const { return m_skipped; }
    std::optional<DocumentForm> loadedForm() const { return m_loadedForm; }

    // A new frame at the end of the pool and the playing order.
    CZephyrcastFrameElement& appendFrame();
    std::unique_ptr<CZephyrcastFrameElement> newFrame();
    const std::vector<std::unique_ptr<CZephyrcastFrameElement>>& framePool() const {
        return m_pool;
    }

    int frameCount() const override { return static_cast<int>(m_order.size()); }
    // Position −1 is the master frame; none for an empty position or one outside the order.
    CZephyrcastFrameElement* frameAt(int position) const;
    CZephyrcastFrameElement* frameAtChecked(int position) const;
    bool isFrameVisible(const CZephyrcastFrameElement& frame) const;
    CZephyrcastFrameElement* nextVisibleFrame(const CZephyrcastFrameElement& frame) const;
    CZephyrcastFrameElement* previousVisibleFrame(const CZephyrcastFrameElement& frame) const;
    float startTimeOf(int position) const;
    CZephyrcastFrameElement* frameAtTime(float t) const;
    float totalDuration() const;
    // Draws the movie at time t into a 32-bit target of the frame size (made so when it is not);
    // false when no frame plays then.
    bool drawAtTime(CImageExt& target, float t, FrameDrawOptions options = {});

    Size frameSize() const override { return m_frameSize; }
    void setFrameSize(Size size) { m_frameSize = size; }
    CWaveSoundResource& soundtrack() { return *m_soundtrack; }
    const CWaveSoundResource& soundtrack() const { return *m_soundtrack; }
    // Replaces the soundtrack by a copy of the source, or empties it; listeners are told before
    // and after, and only when something changes.
    void setSoundtrack(const CWaveSoundResource* source);
    CThemeContainer* themeContainer() const { return m_theme; }
    void setThemesManager(CThemesManager* themes);
    CImageManager& imageManager() override { return m_imageManager; }
    CCaptureEncoderExt& backgroundStream() { return m_backgrounds; }
    CZephyrcastFrameElement& masterFrame() { return *m_master; }
    const CZephyrcastFrameElement& masterFrame() const { return *m_master; }
    CDrawCommonItemListManager& documentItems() { return *m_documentItems; }
    const CDrawCommonItemListManager& documentItems() const { return *m_documentItems; }
    const std::vector<CDrawCommonItem*>& itemOrder() const { return m_itemOrder; }
    void setItemOrder(std::vector<CDrawCommonItem*> order) { m_itemOrder = std::move(order); }
    CThumbsManager& thumbnails() { return m_thumbs; }
    CZCDocEventsDispatch& events() { return m_events; }

    CDrawCommonItem* findItemBySerial(std::int32_t serial) const;

    // The steps that follow reading, also for documents built in code.
    void buildPlayingOrder();
    void linkCursors();
    // Resolves referring placements of one frame (none: the master frame and every frame)
    // by serial number, removing those whose item is missing.
    void resolvePlacements(CZephyrcastFrameElement* frame = nullptr);
    void refreshPlacements();
    void buildSpanTables();
    void recomputeItemSerialCounter();
    const std::map<std::int32_t, SItemSpan>& itemSpans() const { return m_itemSpans; }
    float visibleLength() const { return m_visibleLength; }

    // The span walk used by item fading.
    CZephyrcastFrameElement* spanEndFrame(const CZephyrcastFrameElement& frame,
                                          const CDrawItem_link& placement, bool forward) const;

    bool frameVisible(int frame) const override;
    float frameDuration(int frame) const override;
    const CDrawItem_link* placementOn(int frame, const CDrawCommonItem& item) const override;
    CThemeContainer* theme() const override { return m_theme; }
    CTranslateInterface* translator() const override { return m_translator; }

private:
    bool fail(std::string reason);
    void resolveList(CDrawCommonItemListManager& list, const std::string& where);
    void reportDuplicateSerials();
    bool serializeFrames(CSerializeInterface& archive, DocumentForm form);
    bool serializeBackgrounds(CSerializeInterface& archive);
    bool serializeItemOrder(CSerializeInterface& archive);
    void serializeSoundtrack(CSerializeInterface& archive);
    void serializeTheme(CSerializeInterface& archive);
    bool serializeMaster(CSerializeInterface& archive, DocumentForm form);
    void afterReading();
    void checkCaptions();
    void reset();

    CThemesManager* m_themes;
    CTranslateInterface* m_translator;
    CThemeContainer* m_theme = nullptr;
    // Declared first so that every picture of the items below goes before the pool does.
    CImageManager m_imageManager;
    CCaptureEncoderExt m_backgrounds;
    std::vector<std::unique_ptr<CZephyrcastFrameElement>> m_pool;
    std::vector<CZephyrcastFrameElement*> m_order;
    std::unique_ptr<CZephyrcastFrameElement> m_master;
    std::unique_ptr<CDrawCommonItemListManager> m_documentItems;
    std::vector<CDrawCommonItem*> m_itemOrder;
    // Serial numbers of the stored item order, looked up once every placement is resolved.
    std::vector<std::int32_t> m_pendingOrder;
    std::unique_ptr<CWaveSoundResource> m_soundtrack;
    CThumbsManager m_thumbs;
    CZCDocEventsDispatch m_events;
    std::map<std::int32_t, SItemSpan> m_itemSpans;
    std::map<std::int32_t, std::pair<CZephyrcastFrameElement*, float>> m_frameTimes;
    float m_visibleLength = 0.0f;
    Size m_frameSize{0, 0};
    CImageExt m_backgroundScratch;
    std::optional<DocumentForm> m_loadedForm;
    std::string m_error;
    std::vector<std::string> m_skipped;

    friend class CZephyrcastFrameElement;
};

}  // namespace lumenreel
