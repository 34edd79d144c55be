#pragma once

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "base/Geometry.h"
#include "images/ImageExt.h"
#include "images/PngCodec.h"
#include "support/TestSupport.h"
#include "themes/PlayerThemes.h"
#include "themes/ThemeContainer.h"
#include "themes/ThemesManager.h"

namespace lumenreel::test {

inline constexpr int kTemplateWidth = 60;
inline constexpr int kTemplateHeight = 40;
inline constexpr Point kSplit{30, 20};
inline constexpr std::uint32_t kBody = 0xE0E0E0;
inline constexpr std::uint32_t kSplitColumn = 0xC08040;

// A 60 × 40 template: a key-white border around a grey body, the split column marked in the top
// band so repeated columns can be told apart.
inline CImageExt balloonTemplate() {
    CImageExt picture;
    picture.create(kTemplateWidth, kTemplateHeight, 24);
    for (int y = 0; y < kTemplateHeight; ++y)
        for (int x = 0; x < kTemplateWidth; ++x) {
            const bool edge =
                x == 0 || y == 0 || x == kTemplateWidth - 1 || y == kTemplateHeight - 1;
            picture.setPixel(x, y,
                             edge ? 0xFFFFFF : (x == kSplit.x && y == 2 ? kSplitColumn : kBody));
        }
    return picture;
}

// A theme on disk with one balloon item set "Mine" whose single template has the text area, with
// the library's kinds or the player's.
class BalloonTheme {
public:
    explicit BalloonTheme(Rect area, bool playersKinds = false) {
        const auto folder = m_dir.path() / "BALLOONS" / "mine";
        std::filesystem::create_directories(folder);
        writeText(folder / "itemname.txt", "Mine");
        std::string areas;
        for (int value : {kSplit.x, kSplit.y, area.left, area.top, area.right, area.bottom, 0})
            areas += std::to_string(value) + "\n";
        writeText(folder / "areas.txt", areas);
        std::vector<std::uint8_t> png;
        encodePng(balloonTemplate(), png);
        writeBytes(folder / "balloon0.png", png);
        const ThemeFiles files = ThemeFiles::onDisk(m_dir.path());
        if (playersKinds) {
            m_manager = std::make_unique<CThemesManagerZC>(files);
        } else {
            m_manager = std::make_unique<CThemesManager>(files);
            m_manager->registerDefaultPrototypes();
        }
        m_theme = m_manager->newTheme("test");
        m_theme->load();
    }
    CThemeContainer* theme() { return m_theme.get(); }
    CThemesManager& manager() { return *m_manager; }
    // The folder holding BALLOONS.
    std::filesystem::path folder() const { return m_dir.path(); }

private:
    static void writeText(const std::filesystem::path& path, const std::string& text) {
        writeBytes(path, std::vector<std::uint8_t>(text.begin(), text.end()));
    }
    TempDir m_dir;
    std::unique_ptr<CThemesManager> m_manager;
    std::unique_ptr<CThemeContainer> m_theme;
};

}  // namespace lumenreel::test
