#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/TestSupport.h"
#include "themes/PlayerThemes.h"
#include "themes/ThemeFixtures.h"
#include "themes/ThemeItemSmoke.h"

namespace lumenreel::test {
namespace {

bool mentions(const std::vector<std::string>& problems, const std::string& words) {
    for (const std::string& problem : problems)
        if (problem.find(words) != std::string::npos)
            return true;
    return false;
}

std::vector<std::vector<std::uint8_t>> ninePictures(int width, int height) {
    return std::vector<std::vector<std::uint8_t>>(9, pngBytes(plainTemplate(width, height)));
}

TEST(ItemSetTest, FourteenAreaLinesMakeTwoTemplatesWhateverPicturesThereAre) {
    TempDir dir;
    const std::string areas = areasEntry(10, 8, 4, 4, 36, 20) + areasEntry(5, 6, 2, 2, 30, 12);
    writeItemSet(dir.path(), "set", "Mine", areas.c_str(), ninePictures(40, 24));
    CThemeItem_smoke item(ThemeFiles::onDisk(dir.path()), "Mine");
    item.load();
    EXPECT_EQ(item.templateCount(), 2);
    ASSERT_NE(item.balloonTemplate(1), nullptr);
    EXPECT_EQ(item.splitPoint(1), (Point{5, 6}));
    EXPECT_EQ(item.textArea(1), (Rect{2, 2, 30, 12}));
    EXPECT_EQ(item.balloonTemplate(2), nullptr);
    EXPECT_EQ(item.balloonTemplate(-1), nullptr);
    EXPECT_EQ(item.textArea(9), Rect{});
    EXPECT_TRUE(item.problems().empty());

    // One line short of the second entry: only the first is there.
    TempDir shorter;
    const std::string cut = areas.substr(0, areas.rfind('\n', areas.size() - 2) + 1);
    writeItemSet(shorter.path(), "set", "Mine", cut.c_str(), ninePictures(40, 24));
    CThemeItem_smoke first(ThemeFiles::onDisk(shorter.path()), "Mine");
    first.load();
    EXPECT_EQ(first.templateCount(), 1);
}

TEST(ItemSetTest, TwoSetsOfOneNameGiveTheFirstInListingOrder) {
    TempDir dir;
    const std::string areas = areasEntry(5, 5, 1, 1, 9, 9);
    writeItemSet(dir.path(), "b_second", "Same", areas.c_str(), ninePictures(30, 20));
    writeItemSet(dir.path(), "a_first", "Same", areas.c_str(), ninePictures(20, 20));
    writeBytes(dir / "BALLOONS" / "a_file", {'S', 'a', 'm', 'e'});  // not a folder: no set
    CThemeItem_smoke item(ThemeFiles::onDisk(dir.path()), "Same");
    EXPECT_EQ(item.listItemNames(), (std::vector<std::string>{"Same", "Same"}));
    EXPECT_EQ(item.findFolder(), "BALLOONS\\a_first");
    item.load();
    ASSERT_NE(item.balloonTemplate(0), nullptr);
    EXPECT_EQ(item.balloonTemplate(0)->width(), 20);
}

TEST(ItemSetTest, WithoutAnAreasFileEveryTemplateGrowsFromItsMiddle) {
    TempDir dir;
    writeItemSet(dir.path(), "set", "Bare", nullptr, {pngBytes(plainTemplate(40, 30))});
    CThemeItem_smoke item(ThemeFiles::onDisk(dir.path()), "Bare");
    item.load();
    EXPECT_EQ(item.templateCount(), 9);
    EXPECT_EQ(item.splitPoint(0), (Point{20, 15}));
    EXPECT_EQ(item.textArea(0), Rect{});
    EXPECT_EQ(item.balloonTemplate(1), nullptr);
    EXPECT_TRUE(mentions(item.problems(), "balloon1.png: not found"));
}

TEST(ItemSetTest, AnUnknownNameLoadsNothingInTheBaseKind) {
    TempDir dir;
    writeItemSet(dir.path(), "set", "Mine", nullptr, ninePictures(20, 20));
    CThemeItem_smoke item(ThemeFiles::onDisk(dir.path()), "Elsewhere");
    item.load();
    EXPECT_EQ(item.templateCount(), 0);
    EXPECT_EQ(item.loadedItemName(), "");
    EXPECT_TRUE(mentions(item.problems(), "no item set \"Elsewhere\""));
}

// Item sets come from users: every damaged template is left out with its reason, the others
// load, nothing crashes.
struct HostileTemplate {
    const char* what;
    std::string areas;
    std::vector<std::uint8_t> picture;
    const char* reason;
};

TEST(ItemSetTest, DamagedTemplatesAreLeftOutWithAReason) {
    const std::vector<std::uint8_t> good = pngBytes(plainTemplate(40, 30));
    const std::string fine = areasEntry(20, 15, 2, 2, 38, 28);
    const HostileTemplate cases[] = {
        {"letters", "20\n15\nabc\n2\n38\n28\n0\n", good, "text area left is not a number"},
        {"empty line", "20\n\n2\n2\n38\n28\n0\n", good, "split y is not a number"},
        {"beyond 32 bits", "99999999999\n15\n2\n2\n38\n28\n0\n", good, "split x is not a number"},
        {"negative split", areasEntry(-1, 15, 2, 2, 38, 28), good, "split point (-1, 15) outside"},
        {"split past the picture", areasEntry(40, 15, 2, 2, 38, 28), good, "outside the 40 x 30"},
        {"huge text area", areasEntry(20, 15, 0, 0, 2147483647, 28), good, "text area outside"},
        {"negative text area", areasEntry(20, 15, -5, 2, 38, 28), good, "text area outside"},
        {"inverted text area", areasEntry(20, 15, 38, 2, 2, 28), good, "text area inverted"},
        {"not a picture", fine, {'n', 'o', 'p', 'e'}, "balloon0.png: "},
        {"above the image limits", fine, pngHeaderOnly(20000, 20000), "picture too large"},
        {"zero by zero", fine, pngHeaderOnly(0, 0), "balloon0.png: "},
        {"missing picture", fine, {}, "balloon0.png: not found"},
    };
    for (const HostileTemplate& c : cases) {
        SCOPED_TRACE(c.what);
        TempDir dir;
        const std::string areas = c.areas + fine;
        writeItemSet(dir.path(), "set", "Hostile", areas.c_str(), {c.picture, good});
        CThemeItem_smoke item(ThemeFiles::onDisk(dir.path()), "Hostile");
        item.load();
        EXPECT_EQ(item.templateCount(), 2);
        EXPECT_EQ(item.balloonTemplate(0), nullptr);
        EXPECT_NE(item.balloonTemplate(1), nullptr);
        EXPECT_TRUE(mentions(item.problems(), c.reason))
            << ::testing::PrintToString(item.problems());
    }
}

TEST(ItemSetTest, AnOversizedAreasFileRefusesTheSet) {
    TempDir dir;
    const std::string areas = areasEntry(20, 15, 2, 2, 38, 28) + std::string(70000, '\n');
    writeItemSet(dir.path(), "set", "Big", areas.c_str(), ninePictures(40, 30));
    CThemeItem_smoke item(ThemeFiles::onDisk(dir.path()), "Big");
    item.load();
    EXPECT_EQ(item.templateCount(), 0);
    EXPECT_TRUE(mentions(item.problems(), "areas.txt: larger than"));
}

TEST(ItemSetTest, SeeThroughPixelsOfATemplateBecomeKeyWhite) {
    CImageExt picture;
    ASSERT_TRUE(picture.create(20, 10, 32));
    for (int y = 0; y < 10; ++y)
        for (int x = 0; x < 20; ++x)
            picture.setPixel(x, y, x < 10 ? 0x00000000 : 0xFF202020);
    TempDir dir;
    writeItemSet(dir.path(), "set", "Alpha", areasEntry(15, 5, 11, 1, 19, 9).c_str(),
                 {pngBytes(picture)});
    CThemeItem_smoke item(ThemeFiles::onDisk(dir.path()), "Alpha");
    item.load();
    ASSERT_NE(item.balloonTemplate(0), nullptr);
    EXPECT_EQ(item.balloonTemplate(0)->pixel(2, 2) & 0xFFFFFF, 0xFFFFFFu);
    EXPECT_EQ(item.balloonTemplate(0)->pixel(15, 5) & 0xFFFFFF, 0x202020u);
}

TEST(ItemSetTest, ThePlayerUsesTheFirstSetForANameItDoesNotShip) {
    TempDir dir;
    std::string fiveEntries;
    for (int i = 0; i < 5; ++i)
        fiveEntries += areasEntry(10, 10, 1, 1, 19, 19);
    writeItemSet(dir.path(), "a", "Shipped", fiveEntries.c_str(), ninePictures(20, 20));
    writeItemSet(dir.path(), "b", "Other", areasEntry(10, 10, 1, 1, 29, 19).c_str(),
                 ninePictures(30, 20));
    CThemesManagerZC manager(ThemeFiles::onDisk(dir.path()));
    CThemeContainer& theme = *manager.currentTheme();
    EXPECT_EQ(theme.themeName(), kDefaultThemeName);
    EXPECT_EQ(theme.itemNameFor(kBalloonCategoryKey), "Shipped");

    auto asked = manager.balloonItemFor(theme, "Other");
    ASSERT_NE(asked, nullptr);
    EXPECT_EQ(asked->balloonTemplate(0)->width(), 30);
    EXPECT_TRUE(manager.substitutions().empty());

    for (int twice = 0; twice < 2; ++twice) {
        auto foreign = manager.balloonItemFor(theme, "Made Elsewhere");
        ASSERT_NE(foreign, nullptr);
        EXPECT_EQ(foreign->loadedItemName(), "Shipped");
        ASSERT_NE(foreign->balloonTemplate(4), nullptr);
        EXPECT_EQ(foreign->balloonTemplate(4)->width(), 20);
    }
    EXPECT_EQ(manager.substitutions(),
              (std::vector<SItemSetSubstitution>{{"Made Elsewhere", "Shipped"}}));
    EXPECT_EQ(asked->displayName(), "Smoke");
}

TEST(ItemSetTest, AThemeWithoutABalloonKindGivesTextOnlyBalloons) {
    TempDir dir;
    CThemesManagerZC manager(ThemeFiles::onDisk(dir.path()));
    CThemeContainer noKinds(ThemeFiles::onDisk(dir.path()), {}, "Empty");
    noKinds.load();
    EXPECT_EQ(manager.balloonItemFor(noKinds, "Shipped"), nullptr);
    // A balloon kind without any item set: loaded, but without templates.
    auto none = manager.balloonItemFor(*manager.currentTheme(), "Anything");
    ASSERT_NE(none, nullptr);
    EXPECT_EQ(none->templateCount(), 0);
    EXPECT_EQ(manager.substitutions(), (std::vector<SItemSetSubstitution>{{"Anything", ""}}));
}

}  // namespace
}  // namespace lumenreel::test
