#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "AppTestSupport.h"
#include "app/PlayerDialog.h"
#include "app/ResourceTrailer.h"
#include "base/MemFile.h"
#include "player/RecordingHost.h"
#include "player/TickClock.h"
#include "sound/NullOutputDevice.h"
#include "storage/RecursiveBinaryFile.h"
#include "support/TestSupport.h"

namespace lumenreel::test {
namespace {

using MovieKind = CZephyrcastPlayerDlg::MovieKind;

class StillClock : public TickClock {
public:
    std::uint32_t now() override { return 5000; }
};

// A dialog on a 1024 × 738 screen whose host records what the dialog asked of it.
class PlayerDialogTest : public ::testing::Test {
protected:
    std::unique_ptr<CZephyrcastPlayerDlg> makeDialog(bool withChooser = true) {
        auto dialog = std::make_unique<CZephyrcastPlayerDlg>(
            resources, clock, [] { return std::make_unique<NullOutputDevice>(); });
        host.usableArea = Rect{0, 0, 1024, 738};
        host.hasChooser = withChooser;
        dialog->SetHost(host);
        return dialog;
    }

    void embed(std::uint32_t id, std::vector<std::uint8_t> bytes) {
        ResourceTable table;
        table[id] = std::move(bytes);
        resources.addAppended(std::move(table));
    }

    bool waitForPost() {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
        while (!host.loadPosted && std::chrono::steady_clock::now() < deadline)
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        return host.loadPosted;
    }

    ProgramResources resources = defaultResources();
    StillClock clock;
    RecordingHost host;
    const Rect& moved = host.placed;
    std::vector<MovieKind>& chosen = host.chosen;
};

PlayerHost::ChooserAnswer chosenFile(const std::filesystem::path& file) {
    return {PlayerHost::ChooserAnswer::Outcome::chosen, file, {}};
}

TEST_F(PlayerDialogTest, TheDefaultSkinIsLoadedFromResource633) {
    auto dialog = makeDialog();
    EXPECT_TRUE(dialog->HasSkin());
    const std::span<const std::uint8_t> skin = resources.find(633);
    ASSERT_GE(skin.size(), 16u);
    EXPECT_TRUE(std::equal(CRecursiveBinaryFile::kIdentifier.bytes.begin(),
                           CRecursiveBinaryFile::kIdentifier.bytes.end(), skin.begin()));
    EXPECT_FALSE(dialog->HasEmbeddedZCD());
    EXPECT_FALSE(dialog->HasEmbeddedZCS());
}

TEST_F(PlayerDialogTest, AnEmbeddedDemoIsLoadedAfterTheStartDelayAndF3DoesNothing) {
    embed(634, makeTestDemo(300, 200));
    auto dialog = makeDialog();
    const auto started = std::chrono::steady_clock::now();
    dialog->OnInitDialog();
    EXPECT_TRUE(dialog->StartPending() || host.loadPosted);
    ASSERT_TRUE(waitForPost());
    EXPECT_EQ(host.postedKind, MovieKind::ZCD);
    EXPECT_GE(std::chrono::steady_clock::now() - started, std::chrono::milliseconds(100));
    dialog->LoadZCD();  // what the posted message runs on the UI thread
    EXPECT_TRUE(dialog->HasMovie());
    EXPECT_TRUE(dialog->Window().View().Transport().IsPlaying());
    EXPECT_TRUE(dialog->Window().Message().empty());

    dialog->LoadZCS();
    EXPECT_TRUE(chosen.empty());
    EXPECT_TRUE(dialog->HasMovie());
}

TEST_F(PlayerDialogTest, WithoutAnEmbeddedMovieF3AndF4AskForTheirKindOfFile) {
    auto dialog = makeDialog();
    dialog->OnInitDialog();
    EXPECT_FALSE(dialog->StartPending()) << "nothing is waiting to be loaded";
    EXPECT_FALSE(host.loadPosted);
    EXPECT_FALSE(dialog->Window().Message().empty());
    dialog->LoadZCS();
    dialog->LoadZCD();
    EXPECT_EQ(chosen, (std::vector<MovieKind>{MovieKind::ZCS, MovieKind::ZCD}));
    EXPECT_FALSE(dialog->HasMovie()) << "nothing answered yet";
    dialog->ChooserAnswered({});
    EXPECT_FALSE(dialog->HasMovie()) << "cancelled";
    EXPECT_FALSE(dialog->Window().Files().IsOpen());

    TempDir dir;
    writeBytes(dir.path() / "demo.zcd", makeTestDemo(64, 48));
    dialog->LoadZCD();
    dialog->ChooserAnswered(chosenFile(dir.path() / "demo.zcd"));
    EXPECT_TRUE(dialog->HasMovie());
}

TEST_F(PlayerDialogTest, ADocumentOpensByEveryRouteAndShowsItsMoments) {
    auto dialog = makeDialog();
    dialog->OnInitDialog();
    TempDir dir;
    writeBytes(dir.path() / "doc.zcs", richDocumentFile());
    writeBytes(dir.path() / "damaged.zcs", documentWithoutContent());
    // Given by name, chosen after F3, and chosen after F4 (which takes either kind).
    const std::vector<std::function<void()>> routes = {
        [&] { dialog->OpenMovieFile(dir.path() / "doc.zcs"); },
        [&] {
            dialog->LoadZCS();
            dialog->ChooserAnswered(chosenFile(dir.path() / "doc.zcs"));
        },
        [&] {
            dialog->LoadZCD();
            dialog->ChooserAnswered(chosenFile(dir.path() / "doc.zcs"));
        },
    };
    for (std::size_t route = 0; route < routes.size(); ++route) {
        // A damaged one says why and leaves the player ready for the next.
        dialog->OpenMovieFile(dir.path() / "damaged.zcs");
        ASSERT_FALSE(dialog->HasMovie());
        ASSERT_NE(dialog->LoadFailure().find("damaged.zcs: "), std::string::npos);
        routes[route]();
        EXPECT_TRUE(dialog->HasMovie()) << route;
        EXPECT_TRUE(dialog->LoadFailure().empty()) << dialog->LoadFailure();
        EXPECT_EQ(host.title, "doc.zcs — Lumenreel Player") << route;
        EXPECT_FLOAT_EQ(dialog->Window().View().Transport().GetSource().Duration(), 7.0f);
    }
    EXPECT_EQ(chosen, (std::vector<MovieKind>{MovieKind::ZCS, MovieKind::ZCD}));

    dialog->PauseAt(2.6f);
    dialog->OnTimer();
    CZephyrcastBaseDocument expected;
    ASSERT_TRUE(expected.load(readBytes(dir.path() / "doc.zcs")));
    CImageExt moment;
    ASSERT_TRUE(expected.drawAtTime(moment, 2.6f));
    EXPECT_TRUE(dialog->Window().View().GetFrameImage().equals(moment));
}

TEST_F(PlayerDialogTest, AnEmbeddedDocumentIsLoadedAfterTheStartDelayAndF4DoesNothing) {
    embed(635, richDocumentFile());
    auto dialog = makeDialog();
    dialog->OnInitDialog();
    ASSERT_TRUE(waitForPost());
    EXPECT_EQ(host.postedKind, MovieKind::ZCS);
    dialog->LoadZCS();
    EXPECT_TRUE(dialog->HasMovie());
    EXPECT_TRUE(dialog->Window().View().Transport().IsPlaying());
    EXPECT_TRUE(dialog->Window().Message().empty());

    dialog->LoadZCD();
    EXPECT_TRUE(chosen.empty());
    EXPECT_TRUE(dialog->HasMovie());
}

TEST_F(PlayerDialogTest, WithoutAFileChooserTheBuiltInListOpensTheMovie) {
    TempDir dir;
    writeBytes(dir.path() / "first.zcd", makeTestDemo(64, 48));
    writeBytes(dir.path() / "second.zcd", makeTestDemo(80, 60));
    auto dialog = makeDialog(false);
    dialog->OnInitDialog();
    dialog->OpenMovieFile(dir.path() / "first.zcd");
    ASSERT_TRUE(dialog->HasMovie());

    dialog->LoadZCD();
    const FileList& list = dialog->Window().Files();
    ASSERT_TRUE(list.IsOpen());
    EXPECT_TRUE(chosen.empty()) << "no chooser program was asked";
    EXPECT_EQ(list.Listing().folder, dir.path()) << "the list starts beside the movie";
    dialog->KeyDown(CZCPlayerView::Key::End);
    dialog->KeyDown(CZCPlayerView::Key::Enter);
    EXPECT_FALSE(list.IsOpen());
    EXPECT_TRUE(dialog->HasMovie());
    EXPECT_TRUE(host.title.starts_with("second.zcd")) << host.title;

    dialog->LoadZCS();
    EXPECT_TRUE(list.IsOpen());
    dialog->KeyDown(CZCPlayerView::Key::Escape);
    EXPECT_FALSE(list.IsOpen());
}

TEST_F(PlayerDialogTest, AChooserThatFailedSaysWhyAndWithNoneLeftTheBuiltInListOpens) {
    auto dialog = makeDialog();
    dialog->OnInitDialog();
    dialog->LoadZCD();
    ASSERT_FALSE(dialog->Window().Files().IsOpen()) << "the chooser is still to answer";
    dialog->ChooserAnswered({PlayerHost::ChooserAnswer::Outcome::noChooser,
                             {},
                             {"the desktop portal's file chooser failed: no"}});
    EXPECT_TRUE(dialog->Window().Files().IsOpen());
    EXPECT_EQ(dialog->Window().Message(),
              (std::vector<std::string>{"The file chooser failed:",
                                        "the desktop portal's file chooser failed: no"}));
}

TEST_F(PlayerDialogTest, TheWindowIsFittedAroundTheMovie) {
    auto dialog = makeDialog();
    dialog->OnInitDialog();
    TempDir dir;
    writeBytes(dir.path() / "small.zcd", makeTestDemo(300, 200));
    dialog->OpenMovieFile(dir.path() / "small.zcd");
    const Size preferred = dialog->Window().View().PreferredSize();
    EXPECT_GT(preferred.width, 300);  // the frame and the panel around the movie
    EXPECT_GT(preferred.height, 200 + CPlayerNavigateDialog::kDefaultHeight);
    EXPECT_EQ(moved.width(), std::max(preferred.width + 4, 410));
    EXPECT_EQ(moved.height(), std::max(preferred.height + 10, 200));
    EXPECT_EQ(moved.left, (1024 - moved.width()) / 2);
    EXPECT_EQ(moved.top, (738 - moved.height()) / 2);
    EXPECT_FALSE(dialog->Window().Panel().IsFitChecked());
    EXPECT_EQ(dialog->Window().View().MinTrackSize(), (Size{410, 200}));

    writeBytes(dir.path() / "big.zcd", makeTestDemo(1600, 900));
    dialog->OpenMovieFile(dir.path() / "big.zcd");
    EXPECT_EQ(moved, (Rect{0, 0, 1024, 738}));
    EXPECT_TRUE(dialog->Window().Panel().IsFitChecked());
    EXPECT_TRUE(dialog->Window().View().IsFitChecked());
}

TEST_F(PlayerDialogTest, AMovieThatFailsToLoadSaysWhyInTheWindow) {
    auto dialog = makeDialog();
    dialog->OnInitDialog();
    TempDir dir;
    std::vector<std::uint8_t> damaged = makeTestDemo(64, 48);
    damaged.resize(damaged.size() / 2);
    writeBytes(dir.path() / "damaged.zcd", damaged);
    writeBytes(dir.path() / "notes.txt", {'h', 'e', 'l', 'l', 'o'});
    CKWXMemFile container;
    {
        CRecursiveBinaryFile writer;
        ASSERT_TRUE(writer.OpenWrite(&container));
        ASSERT_TRUE(writer.Close());
    }
    // A container is a document only when its root says so.
    writeBytes(dir.path() / "empty.pak", {container.Bytes().begin(), container.Bytes().end()});
    writeBytes(dir.path() / "doc.zcs", documentWithoutContent());

    struct Case {
        const char* file;
        const char* reasonPart;
    };
    for (const Case& c : {Case{"damaged.zcd", ""}, Case{"notes.txt", "not a Lumenreel movie"},
                          Case{"missing.zcd", ""}, Case{"doc.zcs", "Effects_ids_pool"},
                          Case{"empty.pak", "not a Lumenreel movie"}}) {
        dialog->OpenMovieFile(dir.path() / c.file);
        EXPECT_FALSE(dialog->HasMovie()) << c.file;
        const std::vector<std::string>& message = dialog->Window().Message();
        ASSERT_EQ(message.size(), 2u) << c.file;
        EXPECT_EQ(message[0], std::string("Cannot play ") + c.file + ":");
        EXPECT_FALSE(message[1].empty()) << c.file;
        EXPECT_NE(message[1].find(c.reasonPart), std::string::npos) << message[1];
    }
    EXPECT_EQ(moved.width(), 410) << "the empty window is still fitted";
}

}  // namespace
}  // namespace lumenreel::test
