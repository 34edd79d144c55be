#include <gtest/gtest.h>

#include "app/MoviePositions.h"
#include "app/PlayerSettings.h"

namespace lumenreel::test {
namespace {

using FitMode = CZCPlayerView::FitMode;

TEST(PlayerSettingsTest, TheTextFormReadsBackAsTheSameSettings) {
    const PlayerSettings changed{35, true, true, true, FitMode::Stretch};
    for (const PlayerSettings& settings : {PlayerSettings{}, changed}) {
        std::string problem;
        const std::optional<PlayerSettings> read = parseSettings(settingsText(settings), problem);
        ASSERT_TRUE(read) << problem;
        EXPECT_EQ(*read, settings);
    }
    EXPECT_EQ(settingsText(changed),
              "lumenreel-player settings 1\nvolume = 35\nmuted = yes\nloop = on\nfit = on\n"
              "fit-mode = stretch\n");
}

TEST(PlayerSettingsTest, WrittenByHandKeysLeftOutKeepTheirDefaults) {
    std::string problem;
    const std::optional<PlayerSettings> read = parseSettings(
        "lumenreel-player settings 1\r\n# quieter\r\n\r\n  volume=40  \r\nloop =on\r\n", problem);
    ASSERT_TRUE(read) << problem;
    EXPECT_EQ(read->volumePercent, 40);
    EXPECT_TRUE(read->loop);
    EXPECT_FALSE(read->muted);
    EXPECT_FALSE(read->fit);
    EXPECT_EQ(read->fitMode, FitMode::KeepAspect);
}

TEST(PlayerSettingsTest, AnyLineThatIsNoSettingRefusesTheWholeFileWithTheReason) {
    struct Case {
        std::string text;
        std::string reason;
    };
    const std::string header = "lumenreel-player settings 1\n";
    const Case cases[] = {
        {"", "does not start with \"lumenreel-player settings 1\""},
        {"lumenreel-player settings 2\nvolume = 50\n", "does not start with"},
        {"volume = 50\n", "does not start with"},
        {header + "volume = 52\n", "\"volume = 52\" is no setting"},
        {header + "volume = 105\n", "\"volume = 105\""},
        {header + "volume = -5\n", "\"volume = -5\""},
        {header + "volume = 5 0\n", "\"volume = 5 0\""},
        {header + "loop = yes\n", "\"loop = yes\""},
        {header + "fit-mode = zoom\n", "\"fit-mode = zoom\""},
        {header + "speed = 2\n", "\"speed = 2\""},
        {header + "volume\n", "\"volume\""},
        {header + std::string("volume = 50\0\n", 13), "bytes that are no text"},
    };
    for (const Case& c : cases) {
        std::string problem;
        EXPECT_FALSE(parseSettings(c.text, problem)) << c.text;
        EXPECT_NE(problem.find(c.reason), std::string::npos) << c.text << " -> " << problem;
    }
}

TEST(MoviePositionsTest, PositionsReadBackAndTheNewestReplacesAMoviesOlderOne) {
    MoviePositions positions;
    positions.remember("/movies/a.zcd", 12.5f);
    positions.remember("/movies/b zcs/with spaces.zcs", 3.25f);
    positions.remember("/movies/a.zcd", 40.0f);
    positions.remember("/movies/line\nbreak.zcd", 5.0f);
    positions.remember("/movies/return\r", 5.0f);
    EXPECT_EQ(positions.text(),
              "lumenreel-player positions 1\n3.250 /movies/b zcs/with spaces.zcs\n"
              "40.000 /movies/a.zcd\n");
    std::string problem;
    const std::optional<MoviePositions> read = MoviePositions::parse(positions.text(), problem);
    ASSERT_TRUE(read) << problem;
    EXPECT_EQ(read->find("/movies/a.zcd"), 40.0f);
    EXPECT_EQ(read->find("/movies/b zcs/with spaces.zcs"), 3.25f);
    EXPECT_FALSE(read->find("/movies/line\nbreak.zcd"));
    MoviePositions forgotten = *read;
    forgotten.forget("/movies/a.zcd");
    EXPECT_FALSE(forgotten.find("/movies/a.zcd"));
}

TEST(MoviePositionsTest, OnlyTheMostRecentlyLeftMoviesAreKept) {
    MoviePositions positions;
    for (std::size_t i = 0; i <= MoviePositions::kCapacity; ++i)
        positions.remember("/m/" + std::to_string(i), 2.0f);
    positions.remember("/m/1", 3.0f);  // left again: now the newest
    positions.remember("/m/new", 4.0f);
    EXPECT_FALSE(positions.find("/m/0"));
    EXPECT_FALSE(positions.find("/m/2"));
    EXPECT_EQ(positions.find("/m/1"), 3.0f);
    EXPECT_EQ(positions.find("/m/3"), 2.0f);
    EXPECT_EQ(positions.find("/m/new"), 4.0f);
}

TEST(MoviePositionsTest, ALineThatIsNoTimeAndAbsolutePathRefusesTheFile) {
    const std::string header = "lumenreel-player positions 1\n";
    for (const std::string line :
         {"12.5", "12.5 relative.zcd", "x /a.zcd", "-1 /a.zcd", "nan /a.zcd", "inf /a.zcd",
          "1e40 /a.zcd", "2e7 /a.zcd", "12.5/a.zcd"}) {
        std::string problem;
        EXPECT_FALSE(MoviePositions::parse(header + line + "\n", problem)) << line;
        EXPECT_NE(problem.find(line), std::string::npos) << problem;
    }
    std::string problem;
    EXPECT_FALSE(MoviePositions::parse("lumenreel-player settings 1\n", problem));
}

}  // namespace
}  // namespace lumenreel::test
