#include <gtest/gtest.h>
#include <unistd.h>

#include <fstream>

#include "app/FileList.h"
#include "app/FolderListing.h"
#include "app/OverlayBox.h"
#include "images/ImageExt.h"
#include "player/TimeText.h"
#include "support/TestSupport.h"

namespace lumenreel::test {
namespace {

using Entry = FolderListing::Entry;
using Action = FileList::Action;

void touch(const std::filesystem::path& path) {
    std::ofstream(path) << "x";
}

// Folders, movies in both kinds and cases, files of other kinds and hidden ones.
class MovieFolder : public ::testing::Test {
protected:
    MovieFolder() {
        for (const char* folder : {"b-folder", "A-folder", ".hidden-folder"})
            std::filesystem::create_directory(dir / folder);
        for (const char* file : {"zeta.zcd", "Alpha.ZCS", "beta.zcs", "notes.txt", "zcd",
                                 ".dot.zcd", "b-folder/inner.zcd"})
            touch(dir / file);
    }
    TempDir dir;
};

TEST_F(MovieFolder, ListsFoldersThenMoviesByNameWhateverTheirCase) {
    const FolderListing listing = listFolder(dir.path());
    EXPECT_EQ(listing.folder, dir.path());
    EXPECT_TRUE(listing.error.empty());
    EXPECT_EQ(listing.entries, (std::vector<Entry>{{"A-folder", true},
                                                   {"b-folder", true},
                                                   {"Alpha.ZCS", false},
                                                   {"beta.zcs", false},
                                                   {"zeta.zcd", false}}));
}

TEST_F(MovieFolder, AFolderThatCannotBeReadGivesItsReasonAndTheWayUp) {
    EXPECT_EQ(listFolder(dir / "missing").error, "No such file or directory");
    EXPECT_EQ(listFolder(dir / "notes.txt").error, "Not a directory");

    FileList list;
    list.Open(dir / "missing");
    EXPECT_FALSE(list.Listing().error.empty());
    ASSERT_EQ(list.Rows().size(), 1u);
    list.Act(Action::Open);
    EXPECT_EQ(list.Listing().folder, dir.path()) << "its one row leads back up";
}

TEST_F(MovieFolder, AFolderWithoutReadPermissionSaysSo) {
    if (geteuid() == 0)
        GTEST_SKIP() << "permissions do not hold for root";
    const std::filesystem::path locked = dir / "locked";
    std::filesystem::create_directory(locked);
    std::filesystem::permissions(locked, std::filesystem::perms::none);
    const FolderListing listing = listFolder(locked);
    std::filesystem::permissions(locked, std::filesystem::perms::owner_all);
    EXPECT_EQ(listing.error, "Permission denied");
}

TEST_F(MovieFolder, TheKeysWalkTheListAndOpenFoldersAndMovies) {
    FileList list;
    list.Open(dir / "b-folder/..");
    ASSERT_TRUE(list.IsOpen());
    EXPECT_EQ(list.Listing().folder, dir.path()) << "the folder is named without its dots";
    ASSERT_EQ(list.Rows().size(), 6u) << ".., two folders and three movies";
    EXPECT_EQ(list.Rows()[0].kind, FileList::Row::Kind::Parent);

    const std::vector<std::pair<Action, std::size_t>> moves = {
        {Action::Up, 0},   {Action::Down, 1}, {Action::Down, 2},     {Action::End, 5},
        {Action::Down, 5}, {Action::Home, 0}, {Action::PageDown, 5}, {Action::PageUp, 0},
    };
    for (const auto& [action, selected] : moves) {
        EXPECT_EQ(list.Act(action), std::nullopt);
        EXPECT_EQ(list.Selected(), selected) << static_cast<int>(action);
    }

    list.Act(Action::Down);
    list.Act(Action::Down);
    EXPECT_EQ(list.Act(Action::Open), std::nullopt) << "b-folder opens as a folder";
    EXPECT_EQ(list.Listing().folder, dir / "b-folder");
    EXPECT_EQ(list.Listing().entries, (std::vector<Entry>{{"inner.zcd", false}}));

    list.Act(Action::Parent);
    EXPECT_EQ(list.Listing().folder, dir.path());
    EXPECT_EQ(list.Rows()[list.Selected()].name, "b-folder") << "the folder come from is lit";

    list.Act(Action::End);
    EXPECT_EQ(list.Act(Action::Open), dir / "zeta.zcd");
    EXPECT_FALSE(list.IsOpen()) << "a movie chosen closes the list";

    list.Open(dir.path());
    list.Act(Action::Close);
    EXPECT_FALSE(list.IsOpen());
}

TEST_F(MovieFolder, ALongListScrollsAndTakesClicks) {
    for (int i = 0; i < 40; ++i)
        touch(dir / ("movie" + std::to_string(100 + i) + ".zcd"));
    FileList list;
    list.Open(dir.path());
    CImageExt window;
    window.create(400, 300, 32);
    list.Draw(window, {0, 0, 400, 300});
    list.Act(Action::End);
    EXPECT_GT(list.Top(), 0u) << "the last row is scrolled into view";
    list.Act(Action::Home);
    EXPECT_EQ(list.Top(), 0u);

    // The rows start below the title; the third row shown is the first folder's neighbour.
    const Rect bounds = list.Bounds();
    Point third{bounds.left + 40, 0};
    for (int y = bounds.top; y < bounds.bottom && list.Selected() != 2; ++y) {
        third.y = y;
        list.Click(third, false);
    }
    ASSERT_EQ(list.Selected(), 2u);
    EXPECT_EQ(list.Click(third, true), std::nullopt) << "b-folder opens";
    EXPECT_EQ(list.Listing().folder, dir / "b-folder");
}

TEST(ElidedText, CutsLongLinesAtACharacterWithAnEllipsis) {
    const PanelTextStyle style = overlayTextStyle();
    const std::string line = "ééééééééééééééééééééééééééé.zcd";
    const int width = measureText(line, style).width;
    EXPECT_EQ(elidedText(line, width, style), line);
    const std::string cut = elidedText(line, width / 2, style);
    EXPECT_LE(measureText(cut, style).width, width / 2);
    EXPECT_TRUE(cut.ends_with("é…")) << cut;
    EXPECT_EQ(elidedText(line, 0, style), "…");
}

}  // namespace
}  // namespace lumenreel::test
