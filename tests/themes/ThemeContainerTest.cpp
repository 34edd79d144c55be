#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "base/ArchiveString.h"
#include "base/MemFile.h"
#include "storage/SerializeInterface.h"
#include "storage/SerializeInterfaceRB.h"
#include "support/TestSupport.h"
#include "themes/PlayerThemes.h"
#include "themes/ThemeFixtures.h"
#include "themes/ThemesManager.h"

namespace lumenreel::test {
namespace {

class ThemeContainerTest : public ::testing::Test {
protected:
    ThemeContainerTest() : manager(ThemeFiles::onDisk(dir.path())) {
        manager.registerDefaultPrototypes();
    }

    std::vector<std::uint8_t> stored(CThemeContainer& theme, bool keyed) {
        CKWXOleStreamFile stream;
        if (keyed) {
            CSerializeInterfaceRB archive(stream, CSerializeInterface::modeStore);
            EXPECT_TRUE(theme.serialize(archive));
            archive.Close();
        } else {
            CSerializeInterface archive(stream, CSerializeInterface::modeStore);
            EXPECT_TRUE(theme.serialize(archive));
            archive.Flush();
        }
        return std::vector<std::uint8_t>(stream.Bytes().begin(), stream.Bytes().end());
    }

    bool read(CThemeContainer& theme, const std::vector<std::uint8_t>& bytes, bool keyed) {
        CKWXOleStreamFile stream(bytes);
        if (keyed) {
            CSerializeInterfaceRB archive(stream, CSerializeInterface::modeLoad);
            return theme.serialize(archive);
        }
        CSerializeInterface archive(stream, CSerializeInterface::modeLoad);
        return theme.serialize(archive);
    }

    void writePackage(const std::string& file, const std::vector<std::uint8_t>& bytes) {
        writeBytes(dir / file, bytes);
    }

    TempDir dir;
    CThemesManager manager;
};

TEST_F(ThemeContainerTest, TheStoredFormKeepsNameAndItemNamesInBothForms) {
    for (bool keyed : {false, true}) {
        SCOPED_TRACE(keyed ? "keyed" : "plain");
        auto theme = manager.newTheme("Evening");
        ASSERT_TRUE(theme->setItemNameFor(kBalloonCategoryKey, "Lumenreel Flat"));
        const auto bytes = stored(*theme, keyed);
        auto back = manager.newTheme("Other");
        ASSERT_TRUE(read(*back, bytes, keyed));
        EXPECT_EQ(back->themeName(), "Evening");
        EXPECT_EQ(back->itemNameFor(kBalloonCategoryKey), "Lumenreel Flat");
        EXPECT_TRUE(back->sameItemNames({"Lumenreel Flat"}));
    }
    // The plain form is the theme name in archive string form, the count and the names.
    auto theme = manager.newTheme("T");
    theme->setItemNameFor(kBalloonCategoryKey, "S");
    EXPECT_EQ(stored(*theme, false), (std::vector<std::uint8_t>{1, 'T', 1, 0, 0, 0, 1, 'S'}));
}

TEST_F(ThemeContainerTest, ACountOfZeroLeavesNoItemNames) {
    auto theme = manager.newTheme("Before");
    theme->setItemNameFor(kBalloonCategoryKey, "Named");
    ASSERT_TRUE(read(*theme, {0, 0, 0, 0, 0}, false));
    EXPECT_EQ(theme->themeName(), "");
    EXPECT_TRUE(theme->itemNames().empty());
    EXPECT_EQ(theme->itemNameFor(kBalloonCategoryKey), "");
    EXPECT_EQ(theme->itemNameFor("ID_NO_SUCH_CATEGORY"), "");
    // Stored again, it stays without names.
    EXPECT_EQ(stored(*theme, false), (std::vector<std::uint8_t>{0, 0, 0, 0, 0}));
}

TEST_F(ThemeContainerTest, EmptyThemeNames) {
    EXPECT_EQ(manager.newTheme({})->themeName(), kDefaultThemeName);
    CThemeContainer built(ThemeFiles::onDisk(dir.path()), {});
    built.build(manager.prototypes(), {});
    EXPECT_EQ(built.themeName(), kDefaultThemeName);
    EXPECT_EQ(built.itemNameFor(kBalloonCategoryKey), "");  // no item set installed

    auto theme = manager.newTheme("Named");
    ASSERT_TRUE(read(*theme, stored(*manager.newTheme({}), false), false));
    EXPECT_EQ(theme->themeName(), kDefaultThemeName);
    ASSERT_TRUE(read(*theme, {0, 1, 0, 0, 0, 0}, false));
    EXPECT_EQ(theme->themeName(), "");
    EXPECT_EQ(theme->itemNameFor(kBalloonCategoryKey), "");
}

// Theme packages and document sections come from users: a damaged stored form is refused with
// its reason and the theme stays as it was.
TEST_F(ThemeContainerTest, DamagedStoredFormsAreRefusedAndChangeNothing) {
    struct Case {
        const char* what;
        std::vector<std::uint8_t> bytes;
        const char* reason;
    } cases[] = {
        {"nothing", {}, "no theme name"},
        {"name cut short", {5, 'a'}, "no theme name"},
        {"no count", {1, 'x'}, "no count of kinds"},
        {"negative count", {1, 'x', 0xFF, 0xFF, 0xFF, 0xFF}, "a count of -1 kinds"},
        {"absurd count", {1, 'x', 0xFF, 0xFF, 0xFF, 0x7F}, "a count of 2147483647 kinds"},
        {"names missing", {1, 'x', 3, 0, 0, 0, 1, 'a'}, "no item name N1 of 3"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        auto theme = manager.newTheme("Kept");
        theme->setItemNameFor(kBalloonCategoryKey, "Kept set");
        EXPECT_FALSE(read(*theme, c.bytes, false));
        EXPECT_EQ(theme->lastError(), c.reason);
        EXPECT_EQ(theme->themeName(), "Kept");
        EXPECT_EQ(theme->itemNameFor(kBalloonCategoryKey), "Kept set");
    }
    auto theme = manager.newTheme("Kept");
    CKWXOleStreamFile empty;
    {
        CSerializeInterfaceRB writer(empty, CSerializeInterface::modeStore);
        writer.EnterSection("SomethingElse");
        writer.LeaveSection();
        writer.Close();
    }
    EXPECT_FALSE(
        read(*theme, std::vector<std::uint8_t>(empty.Bytes().begin(), empty.Bytes().end()), true));
    EXPECT_EQ(theme->lastError(), "no section ThemeContainer");
}

TEST_F(ThemeContainerTest, PackagesAreFoundByTheNameTheyBeginWith) {
    auto evening = manager.newTheme("Evening");
    evening->setItemNameFor(kBalloonCategoryKey, "Lumenreel Flat");
    ASSERT_TRUE(evening->saveToPackage());
    ASSERT_TRUE(std::filesystem::exists(dir / "Evening.thm"));
    // Saved again under the same name, the package found is rewritten in place.
    std::filesystem::rename(dir / "Evening.thm", dir / "renamed.thm");
    evening->setItemNameFor(kBalloonCategoryKey, "Lumenreel Classic");
    ASSERT_TRUE(evening->saveToPackage());
    EXPECT_FALSE(std::filesystem::exists(dir / "Evening.thm"));

    auto loaded = manager.newTheme("Evening");
    ASSERT_TRUE(loaded->loadFromPackage());
    EXPECT_EQ(loaded->itemNameFor(kBalloonCategoryKey), "Lumenreel Classic");
    EXPECT_FALSE(loaded->loadFromPackage("Morning"));
    EXPECT_EQ(loaded->lastError(), "no theme package named \"Morning\"");
    EXPECT_EQ(loaded->themeName(), "Evening");

    auto escaping = manager.newTheme("../outside");
    EXPECT_FALSE(escaping->saveToPackage());
    EXPECT_FALSE(std::filesystem::exists(dir.path().parent_path() / "outside.thm"));
}

TEST_F(ThemeContainerTest, InstalledThemesAreEveryReadablePackageOnce) {
    auto first = manager.newTheme("Shared");
    first->setItemNameFor(kBalloonCategoryKey, "first");
    const auto firstBytes = stored(*first, false);
    first->setItemNameFor(kBalloonCategoryKey, "second");
    writePackage("a.thm", firstBytes);
    writePackage("b.THM", stored(*first, false));
    writePackage("c.thm", {1, 'c', 0xFF, 0xFF, 0xFF, 0x7F});
    writePackage("d.thm", {200, 'x'});
    writePackage("notes.txt", firstBytes);
    std::filesystem::create_directory(dir / "folder.thm");
    manager.findInstalled();
    ASSERT_EQ(manager.installedThemes().size(), 1u);
    EXPECT_EQ(manager.installedThemes()[0]->itemNameFor(kBalloonCategoryKey), "first");
    EXPECT_EQ(manager.refusedPackages(),
              (std::vector<std::string>{"d.thm: does not begin with a theme name",
                                        "c.thm: a count of 2147483647 kinds"}));
}

TEST_F(ThemeContainerTest, AThemeOutlivesThePrototypesItWasMadeFrom) {
    writeItemSet(dir.path(), "set", "Only", areasEntry(10, 10, 1, 1, 19, 19).c_str(),
                 {pngBytes(plainTemplate(20, 20))});
    auto theme = manager.newTheme("Kept");
    theme->build(manager.prototypes(), "Kept");
    manager.registerDefaultPrototypes();
    manager.setCurrentTheme(*theme);
    auto* balloon =
        dynamic_cast<CThemeItem_smoke*>(manager.currentTheme()->itemFor(kBalloonTypeId));
    ASSERT_NE(balloon, nullptr);
    EXPECT_EQ(balloon->templateCount(), 1);
    EXPECT_EQ(manager.currentTheme()->itemForCategory(kBalloonCategoryKey), balloon);
    EXPECT_EQ(theme->itemFor(kBalloonTypeId), nullptr);  // not loaded: no items
}

TEST_F(ThemeContainerTest, TheCurrentThemeIsStoredAndReadThroughTheManager) {
    CKWXOleStreamFile stream;
    CSerializeInterface writer(stream, CSerializeInterface::modeStore);
    EXPECT_FALSE(manager.serializeCurrent(writer));  // no current theme yet
    auto theme = manager.newTheme("Doc");
    theme->setItemNameFor(kBalloonCategoryKey, "Set");
    manager.setCurrentTheme(*theme);
    EXPECT_TRUE(manager.serializeCurrent(writer));
    writer.Flush();

    CThemesManager reader(ThemeFiles::onDisk(dir.path()));
    reader.registerDefaultPrototypes();
    CKWXOleStreamFile input(stream.Bytes());
    CSerializeInterface archive(input, CSerializeInterface::modeLoad);
    ASSERT_TRUE(reader.serializeCurrent(archive));
    ASSERT_NE(reader.currentTheme(), nullptr);
    EXPECT_EQ(reader.currentTheme()->themeName(), "Doc");
    EXPECT_EQ(reader.currentTheme()->itemNameFor(kBalloonCategoryKey), "Set");
    EXPECT_EQ(reader.categoryKeys(), (std::vector<std::string>{kBalloonCategoryKey}));
    EXPECT_NE(reader.prototypeForCategory(kBalloonCategoryKey), nullptr);
    EXPECT_EQ(reader.prototypeForCategory("ID_OTHER"), nullptr);
}

}  // namespace
}  // namespace lumenreel::test
