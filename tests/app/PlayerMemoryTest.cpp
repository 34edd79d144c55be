#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdlib>
#include <optional>
#include <string>

#include "AppTestSupport.h"
#include "app/PlayerDialog.h"
#include "app/PlayerMemory.h"
#include "app/XdgFolders.h"
#include "player/RecordingHost.h"
#include "player/TickClock.h"
#include "sound/NullOutputDevice.h"
#include "support/TestSupport.h"

namespace lumenreel::test {
namespace {

TEST(PlayerMemoryTest, TheFilesFollowTheXdgVariablesWithTheirFallbacksUnderHome) {
    struct Case {
        std::optional<std::string> home, config, state;
        std::optional<std::string> settingsFile, positionsFile;
    };
    const Case cases[] = {
        {"/home/ann", std::nullopt, std::nullopt, "/home/ann/.config/lumenreel/player.conf",
         "/home/ann/.local/state/lumenreel/positions"},
        {"/home/ann", "/cfg", "/st", "/cfg/lumenreel/player.conf", "/st/lumenreel/positions"},
        // Empty or relative values are ignored, as the rules say.
        {"/home/ann", "", "rel/state", "/home/ann/.config/lumenreel/player.conf",
         "/home/ann/.local/state/lumenreel/positions"},
        {std::nullopt, "/cfg", std::nullopt, "/cfg/lumenreel/player.conf", std::nullopt},
        {"relative", std::nullopt, std::nullopt, std::nullopt, std::nullopt},
    };
    for (const Case& c : cases) {
        ScopedVariable home("HOME", c.home), config("XDG_CONFIG_HOME", c.config),
            state("XDG_STATE_HOME", c.state);
        const PlayerMemory::Files files = PlayerMemory::xdgFiles();
        EXPECT_EQ(files.settings, c.settingsFile) << c.home.value_or("(no HOME)");
        EXPECT_EQ(files.positions, c.positionsFile) << c.home.value_or("(no HOME)");
    }
}

TEST(PlayerMemoryTest, WhatIsSavedIsLoadedNextTimeInFoldersMadeForIt) {
    TempDir home;
    ScopedVariable homeVariable("HOME", home.path().string());
    ScopedVariable config("XDG_CONFIG_HOME", std::nullopt), state("XDG_STATE_HOME", std::nullopt);
    PlayerMemory first(PlayerMemory::xdgFiles());
    EXPECT_TRUE(first.load().empty()) << "missing files are no problem";
    first.settings().volumePercent = 45;
    first.positions().remember("/m/tour.zcd", 12.0f);
    EXPECT_TRUE(first.save().empty());

    struct stat positions {};
    ASSERT_EQ(stat((home / ".local/state/lumenreel/positions").c_str(), &positions), 0);
    EXPECT_EQ(positions.st_mode & 0777, 0600u);
    PlayerMemory second(PlayerMemory::xdgFiles());
    EXPECT_TRUE(second.load().empty());
    EXPECT_EQ(second.settings().volumePercent, 45);
    EXPECT_EQ(second.positions().find("/m/tour.zcd"), 12.0f);
}

TEST(PlayerMemoryTest, ACorruptFileIsIgnoredWithAMessageAndReplacedAtTheNextSave) {
    TempDir dir;
    writeBytes(dir / "player.conf", {'v', 'o', 'l', 'u', 'm', 'e', '\n'});
    std::filesystem::create_directory(dir / "positions");  // not even a file
    PlayerMemory memory({dir / "player.conf", dir / "positions"});
    const std::vector<std::string> messages = memory.load();
    ASSERT_EQ(messages.size(), 2u);
    EXPECT_EQ(messages[0], "ignoring " + (dir / "player.conf").string() +
                               ": it does not start with \"lumenreel-player settings 1\"");
    EXPECT_EQ(messages[1].rfind("ignoring " + (dir / "positions").string() + ": ", 0), 0u)
        << messages[1];
    EXPECT_EQ(memory.settings(), PlayerSettings{});

    const std::vector<std::string> saved = memory.save();
    ASSERT_EQ(saved.size(), 1u) << "a folder in the file's place is left alone";
    EXPECT_EQ(saved[0].rfind("cannot keep " + (dir / "positions").string(), 0), 0u) << saved[0];
    EXPECT_TRUE(PlayerMemory({dir / "player.conf", std::nullopt}).load().empty());
}

class StillClock : public TickClock {
public:
    std::uint32_t now() override { return 5000; }
};

// A 3 s demo opened from its file by a dialog that remembers.
class PlayerDialogMemoryTest : public ::testing::Test {
protected:
    PlayerDialogMemoryTest() { writeBytes(dir / "demo.zcd", makeTestDemo(300, 200)); }

    std::unique_ptr<CZephyrcastPlayerDlg> openDemo() {
        auto dialog = std::make_unique<CZephyrcastPlayerDlg>(
            resources, clock, [] { return std::make_unique<NullOutputDevice>(); });
        host.usableArea = Rect{0, 0, 1024, 738};
        dialog->SetHost(host);
        dialog->SetMemory(memory);
        dialog->OnInitDialog();
        dialog->OpenMovieFile(dir / "demo.zcd");
        return dialog;
    }
    CZCPlayerView_navigateInterface& transport(CZephyrcastPlayerDlg& dialog) {
        return dialog.Window().View().Transport();
    }

    TempDir dir;
    ProgramResources resources = defaultResources();
    StillClock clock;
    RecordingHost host;
    PlayerMemory memory{{}};
};

TEST_F(PlayerDialogMemoryTest, AMovieStartsWhereItWasLeftUnlessThatWasItsStartOrEnd) {
    struct Case {
        float left;
        float resumed;
    };
    for (const Case c : {Case{1.5f, 1.5f}, Case{0.5f, 0.0f}, Case{2.5f, 0.0f}}) {
        {
            auto dialog = openDemo();
            transport(*dialog).Seek(c.left);
            dialog->KeepInMemory();
        }
        auto dialog = openDemo();
        EXPECT_FLOAT_EQ(transport(*dialog).GetTime(), c.resumed) << "left at " << c.left;
    }
    const std::filesystem::path demo = std::filesystem::weakly_canonical(dir / "demo.zcd");
    auto dialog = openDemo();
    transport(*dialog).Seek(1.25f);
    dialog->OpenMovieFile(dir / "missing.zcd");  // a failure keeps the movie playing
    writeBytes(dir / "other.zcd", makeTestDemo(200, 100));
    dialog->OpenMovieFile(dir / "other.zcd");  // another movie: the one before is left
    EXPECT_EQ(memory.positions().find(demo), 1.25f);
}

TEST_F(PlayerDialogMemoryTest, VolumeMuteLoopAndFitComeBackAsTheUserLeftThem) {
    {
        auto dialog = openDemo();
        EXPECT_FALSE(transport(*dialog).IsLoop()) << "an opened movie plays once by default";
        dialog->KeyDown(CZCPlayerView::Key::VolumeDown);
        dialog->KeyDown(CZCPlayerView::Key::Mute);
        dialog->KeyDown(CZCPlayerView::Key::Loop);
        dialog->Window().View().SetFitChecked(true);
        dialog->Window().View().SetFitMode(CZCPlayerView::FitMode::Stretch);
        dialog->KeepInMemory();
    }
    EXPECT_EQ(memory.settings(),
              (PlayerSettings{95, true, true, true, CZCPlayerView::FitMode::Stretch}));
    auto dialog = openDemo();
    EXPECT_EQ(dialog->Window().Gain().level(), 19);
    EXPECT_TRUE(dialog->Window().Gain().muted());
    EXPECT_TRUE(transport(*dialog).IsLoop());
    EXPECT_TRUE(dialog->Window().View().IsFitChecked());
    EXPECT_EQ(dialog->Window().View().GetFitMode(), CZCPlayerView::FitMode::Stretch);
}

TEST_F(PlayerDialogMemoryTest, FitTurnedOnForAMovieTooBigToShowIsNotTakenForTheUsers) {
    writeBytes(dir / "big.zcd", makeTestDemo(1600, 1000));
    auto dialog = openDemo();
    dialog->OpenMovieFile(dir / "big.zcd");
    ASSERT_TRUE(dialog->Window().View().IsFitChecked());
    dialog->KeepInMemory();
    EXPECT_FALSE(memory.settings().fit);
}

TEST_F(PlayerDialogMemoryTest, ABundledDemoLoopsWhateverTheUserChoseForFiles) {
    memory.settings().loop = false;
    ResourceTable table;
    table[CZephyrcastPlayerDlg::kZcdResource] = makeTestDemo(300, 200);
    resources.addAppended(std::move(table));
    CZephyrcastPlayerDlg dialog(resources, clock,
                                [] { return std::make_unique<NullOutputDevice>(); });
    dialog.SetHost(host);
    dialog.SetMemory(memory);
    dialog.OnInitDialog();
    dialog.LoadZCD();
    ASSERT_TRUE(dialog.HasMovie());
    EXPECT_TRUE(dialog.Window().View().Transport().IsLoop());
    memory.settings().loop = true;
    dialog.KeepInMemory();
    EXPECT_TRUE(memory.settings().loop) << "the demo's own looping is not kept as the user's";
    dialog.Window().View().Transport().SetLoop(false);
    dialog.KeepInMemory();
    EXPECT_TRUE(memory.settings().loop);
}

}  // namespace
}  // namespace lumenreel::test
