#include <gtest/gtest.h>

#include <fstream>
#include <string>

#include "SkinTestSupport.h"
#include "images/ImageExt.h"
#include "player/SkinFiles.h"
#include "storage/PlayerTranslateInterface.h"
#include "support/TestSupport.h"

namespace lumenreel::test {
namespace {

const std::string kFolder = kSkinFolder;

TEST(SkinTest, DefaultPackageHoldsTheLayoutTextsAndEveryPicture) {
    CRBFileSystem* package = defaultSkinPackage().FileSystem();
    ASSERT_NE(package, nullptr);
    const SkinSource source{package, {}};
    // Any value that differs from the struct's preset fails here, so the XML really was read
    // (the preset equals the default skin's values, which the file must repeat).
    EXPECT_EQ(ReadLayout(source), SkinLayout{});
    EXPECT_TRUE(package->Exists(kFolder + kSkinConfigFile));

    CPlayerTranslateInterface texts(*package);
    EXPECT_EQ(texts.Translate("id_player_button_tooltipname_play"), "Play");
    EXPECT_EQ(texts.Translate("ID_PLAYER_BUTTON_TOOLTIPNAME_RECORD"), "Audio recording");
    EXPECT_FALSE(texts.Translate("ID_ZCD_FILTERS_DESCRIPTION").empty());

    for (const char* name :
         {"Body_start.png", "Body_end.png", "Body_resize.png", "pointer.png",
          "Corner_upper_left.png", "Corner_upper_right.png", "Fill_top.png", "Fill_left.png",
          "Fill_right.png", "Fill_bottom.png", "Bottom_left.png", "Bottom_right.png"}) {
        CImageExt image;
        EXPECT_TRUE(LoadSkinImage(image, kFolder + name, source)) << name;
    }
    for (const char* base : {"play", "stop", "pause", "rew", "ff", "fit", "loop", "rec", "full",
                             "close", "min", "max", "collapse"})
        for (const char* suffix : {"_n.png", "_p.png", "_hn.png", "_hp.png"}) {
            CImageExt image;
            EXPECT_TRUE(LoadSkinImage(image, kFolder + base + suffix, source)) << base << suffix;
        }

    // The two caps make the 427-pixel default panel, so its extra width is 0.
    CImageExt start, end;
    ASSERT_TRUE(LoadSkinImage(start, kFolder + "Body_start.png", source));
    ASSERT_TRUE(LoadSkinImage(end, kFolder + "Body_end.png", source));
    EXPECT_EQ(start.width() + end.width(), 427);
    EXPECT_EQ(start.height(), 45);
}

// The default skin is drawn for HiDPI screens too; a skin without such pictures has its 1x ones
// enlarged by repeating each pixel, so its edges stay as sharp as they were.
TEST(SkinTest, ScaledPicturesComeFromTheScaleFolderElseEachPixelIsRepeated) {
    TempDir dir;
    extractPackage(*defaultSkinPackage().FileSystem(), dir.path());
    std::filesystem::remove_all(dir / "Player Skin/2x");
    std::filesystem::remove_all(dir / "Player Skin/3x");
    const SkinSource package{defaultSkinPackage().FileSystem(), {}};
    for (const int scale : {2, 3})
        for (const char* name : {"play_n.png", "Body_start.png", "Body_resize.png", "pointer.png",
                                 "Corner_upper_left.png", "close_hp.png", "Fill_left.png"}) {
            SCOPED_TRACE(std::string(name) + " at " + std::to_string(scale) + "x");
            CImageExt plain, drawn, stored, enlarged;
            ASSERT_TRUE(LoadSkinImage(plain, kFolder + name, package));
            ASSERT_TRUE(LoadSkinImage(drawn, kFolder + name, {package.package, {}, scale}));
            ASSERT_TRUE(LoadSkinImage(stored, scaledSkinName(kFolder + name, scale), package));
            EXPECT_EQ(drawn.width(), plain.width() * scale);
            EXPECT_EQ(drawn.height(), plain.height() * scale);
            EXPECT_TRUE(drawn.equals(stored));

            ASSERT_TRUE(LoadSkinImage(enlarged, kFolder + name, {nullptr, dir.path(), scale}));
            ASSERT_EQ(enlarged.width(), plain.width() * scale);
            ASSERT_EQ(enlarged.height(), plain.height() * scale);
            long differing = 0;
            for (int y = 0; y < enlarged.height(); ++y)
                for (int x = 0; x < enlarged.width(); ++x)
                    differing += enlarged.pixel(x, y) != plain.pixel(x / scale, y / scale);
            EXPECT_EQ(differing, 0);
        }
    EXPECT_EQ(scaledSkinName(kFolder + "play_n.png", 2), "Player Skin\\2x\\play_n.png");
}

TEST(SkinTest, AScaledLayoutScalesEveryPlaceAndSize) {
    SkinLayout layout;
    layout.record = {1, 2, 3, 4};
    layout.textArea = {2147483000, 0, 1, 1};
    const SkinLayout scaled = scaledLayout(layout, 2);
    EXPECT_EQ(scaled.play, (Box{16, 26, 56, 54}));
    EXPECT_EQ(scaled.fullscreen, (Box{672, 30, 56, 54}));
    EXPECT_EQ(scaled.slider, (Box{14, 6, 716, 20}));
    EXPECT_EQ(scaled.startPointer, (Point{14, 6}));
    EXPECT_EQ(scaled.record, (Box{2, 4, 6, 8}));
    // A damaged file's huge value stops at the end of the range.
    EXPECT_EQ(scaled.textArea.x, 2147483647);
    EXPECT_EQ(scaledLayout(layout, 1), layout);
}

TEST(SkinTest, PackageNamesIgnoreLetterCaseAndMissingPicturesStayEmpty) {
    const SkinSource source{defaultSkinPackage().FileSystem(), {}};
    CImageExt lower, mixed;
    EXPECT_TRUE(LoadSkinImage(lower, kFolder + "play_n.png", source));
    EXPECT_TRUE(LoadSkinImage(mixed, "PLAYER SKIN\\Play_N.PNG", source));
    EXPECT_TRUE(lower.equals(mixed));

    CImageExt missing;
    ASSERT_TRUE(missing.create(4, 4, 32));
    EXPECT_FALSE(LoadSkinImage(missing, kFolder + "nothing_n.png", source));
    EXPECT_TRUE(missing.isNull());
}

TEST(SkinTest, FolderSkinReadsTheLinePerNumberLayoutAndTheSamePictures) {
    TempDir dir;
    extractPackage(*defaultSkinPackage().FileSystem(), dir.path());
    // Comment lines before an entry's first number are skipped; a line with no leading digits
    // reads 0; trailing text after the digits is ignored.
    std::ofstream(dir / "Player Skin/skin_config.txt", std::ios::binary | std::ios::trunc)
        << "\\ play\r\n8\r\n13\r\n28\r\n27\r\n"
           "65\n13\n28\n27\n"
           "\\ pause\n\\ second comment\n36\n13\n28\n27\n"
           "94\n13\n28\n27\n123\n13\n28\n27\n"
           "290 px\n15\n28\n27\n"
           "318\n15\n28\n27\n"
           "7\n3\n"
           "7\n3\n358\n10\n"
           "156\n22\n126\n16\n"
           "x\n0\n0\n0\n"
           "336\n15\n28\n27\n";

    const SkinSource disk{nullptr, dir.path()};
    SkinLayout expected;
    expected.loop = {290, 15, 28, 27};
    expected.fit = {318, 15, 28, 27};
    EXPECT_EQ(ReadLayout(disk), expected);

    const SkinSource package{defaultSkinPackage().FileSystem(), {}};
    for (const char* name : {"play_hp.png", "Body_end.png", "Corner_upper_left.png"}) {
        CImageExt fromDisk, fromPackage;
        ASSERT_TRUE(LoadSkinImage(fromDisk, kFolder + name, disk)) << name;
        ASSERT_TRUE(LoadSkinImage(fromPackage, kFolder + name, package)) << name;
        EXPECT_TRUE(fromDisk.equals(fromPackage)) << name;
    }
}

TEST(SkinTest, ShortOrMissingConfigKeepsTheDefaultsForWhatItLacks) {
    TempDir dir;
    std::filesystem::create_directories(dir / "Player Skin");
    const SkinSource disk{nullptr, dir.path()};
    EXPECT_EQ(ReadLayout(disk), SkinLayout{});

    std::ofstream(dir / "Player Skin/skin_config.txt") << "1\n2\n3\n4\n5\n6\n";
    SkinLayout expected;
    expected.play = {1, 2, 3, 4};
    EXPECT_EQ(ReadLayout(disk), expected);
}

}  // namespace
}  // namespace lumenreel::test
