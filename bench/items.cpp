// One 1024 × 768 frame with a cursor, two highlights, a picture and a balloon caption drawn over
// its background, against a memcpy of the frame in the same run; the balloon's rebuild (layout,
// stretching, text) is timed on its own.
#include <benchmark/benchmark.h>

#include <cstring>
#include <memory>

#include "ScreenPicture.h"
#include "base/MemFile.h"
#include "images/CursorImage.h"
#include "images/ImageExt.h"
#include "images/ImageManager.h"
#include "items/DrawItemCursor.h"
#include "items/DrawItemHighlight.h"
#include "items/DrawItemImage.h"
#include "items/DrawItemSmoke.h"
#include "items/ItemDocument.h"
#include "items/ItemPlacement.h"
#include "player/SkinEmbedded.h"
#include "storage/RBFileSystem.h"
#include "themes/ThemeContainer.h"
#include "themes/ThemesManager.h"

namespace {

using namespace lumenreel;

CImageExt filled(int width, int height, std::uint32_t value) {
    CImageExt image;
    image.create(width, height, 32);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            image.setPixel(x, y, value);
    return image;
}

// One visible 5-second frame holding every item over its whole length, with the default theme.
class BenchDocument : public ItemDocument {
public:
    BenchDocument() : m_stream(embeddedSkinPackage()) {
        m_package.Attach(&m_stream, CRBFileSystem::modeRead);
        m_manager = std::make_unique<CThemesManager>(ThemeFiles::inPackage(m_package));
        m_manager->registerDefaultPrototypes();
        m_theme = m_manager->newTheme("bench");
        m_theme->load();
        m_placement.visEnd = 5.0f;
        m_placement.fadeType = kFadeBoth;
    }
    int frameCount() const override { return 1; }
    bool frameVisible(int) const override { return true; }
    float frameDuration(int) const override { return 5.0f; }
    const CDrawItem_link* placementOn(int, const CDrawCommonItem&) const override {
        return &m_placement;
    }
    Size frameSize() const override { return {1024, 768}; }
    CImageManager& imageManager() override { return m_pictures; }
    CThemeContainer* theme() const override { return m_theme.get(); }
    const CDrawItem_link& placement() const { return m_placement; }

private:
    CKWXOleStreamFile m_stream;
    CRBFileSystem m_package;
    std::unique_ptr<CThemesManager> m_manager;
    std::unique_ptr<CThemeContainer> m_theme;
    CDrawItem_link m_placement;
    CImageManager m_pictures;
};

struct Scene {
    BenchDocument document;
    CImageExt background;
    CDrawItem_zcCursor cursor;
    CDrawItem_zcHiglight filledHighlight;
    CDrawItem_zcHiglight outlineHighlight;
    CDrawItem_zcImage picture;
    CDrawItem_zcSmoke balloon;

    Scene() {
        background.from24(screenLikePicture(), false);
        cursor.setImageAt(
            CursorImage::fromImages(0, 0, filled(32, 32, 0xFF000000), filled(32, 32, 0xFFFFFFFF)),
            {500, 400});
        for (CDrawItem_zcImage* item :
             {static_cast<CDrawItem_zcImage*>(&filledHighlight),
              static_cast<CDrawItem_zcImage*>(&outlineHighlight), &picture})
            item->setDocument(&document);
        filledHighlight.setRect({100, 100, 400, 250}, false);
        filledHighlight.rebuildDisplayImage();
        outlineHighlight.highlightProperties().noFill = true;
        outlineHighlight.setRect({600, 80, 900, 200}, false);
        outlineHighlight.rebuildDisplayImage();
        picture.setSourcePicture(std::make_unique<CImageExt>(filled(320, 240, 0xFF3366AA)));
        picture.setPosition(650, 450);
        picture.rebuildDisplayImage();
        balloon.setDocument(&document);
        balloon.smokeProperties().text =
            "{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}\\f0\\fs24 Click \\b Save\\b0  to keep the "
            "changes\\par and close the window.}";
        balloon.smokeProperties().themeItemName = "Lumenreel Classic";
        balloon.setPosition(300, 500);
        balloon.rebuild();
    }

    ItemDrawContext contextFor(const CDrawCommonItem&) const {
        ItemDrawContext context;
        context.time = 2.0f;
        context.frameDuration = 5.0f;
        context.placement = &document.placement();
        return context;
    }

    void draw(CImageExt& frame) {
        std::memcpy(frame.firstRow(), background.firstRow(),
                    static_cast<std::size_t>(background.pitch()) * background.height());
        for (CDrawCommonItem* item :
             {static_cast<CDrawCommonItem*>(&filledHighlight),
              static_cast<CDrawCommonItem*>(&outlineHighlight),
              static_cast<CDrawCommonItem*>(&picture), static_cast<CDrawCommonItem*>(&balloon),
              static_cast<CDrawCommonItem*>(&cursor)})
            item->draw(frame, contextFor(*item));
    }
};

// A balloon without its template would be a text-only one and time something else.
bool hasTemplate(Scene& scene, benchmark::State& state) {
    if (scene.balloon.minimumSize().width > 5)
        return true;
    state.SkipWithError("the default item set was not found");
    return false;
}

void BM_FrameMemcpy(benchmark::State& state) {
    Scene scene;
    CImageExt frame = filled(1024, 768, 0);
    const std::size_t bytes = static_cast<std::size_t>(frame.pitch()) * frame.height();
    for (auto _ : state) {
        std::memcpy(frame.firstRow(), scene.background.firstRow(), bytes);
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * bytes));
}

void BM_FrameWithItems(benchmark::State& state) {
    Scene scene;
    if (!hasTemplate(scene, state))
        return;
    CImageExt frame = filled(1024, 768, 0);
    for (auto _ : state) {
        scene.draw(frame);
        benchmark::ClobberMemory();
    }
}

void BM_BalloonRebuild(benchmark::State& state) {
    Scene scene;
    if (!hasTemplate(scene, state))
        return;
    for (auto _ : state) {
        scene.balloon.rebuild();
        benchmark::DoNotOptimize(scene.balloon.balloon());
    }
}

BENCHMARK(BM_FrameMemcpy)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_FrameWithItems)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_BalloonRebuild)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
