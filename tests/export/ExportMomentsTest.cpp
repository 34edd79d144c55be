#include <gtest/gtest.h>

#include <vector>

#include "app/CommandLine.h"
#include "export/ExportFormat.h"
#include "export/ExportMoments.h"

namespace lumenreel {
namespace {

TEST(ExportMomentsTest, GridFromTimeZeroPlusTheStartAndEveryFrameBoundary) {
    const std::vector<double> boundaries = {0.5, 1.25, 9.0};
    const std::vector<double> moments = exportMoments(0.1, 1.5, 4, boundaries);
    EXPECT_EQ(moments, (std::vector<double>{0.1, 0.25, 0.5, 0.75, 1.0, 1.25}));
}

TEST(ExportMomentsTest, NothingForAnEmptySpan) {
    EXPECT_TRUE(exportMoments(3, 3, 25, {}).empty());
}

TEST(ExportMomentsTest, GridIndexCountsFromTimeZero) {
    EXPECT_EQ(gridIndex(10.0, 25), 250);
    EXPECT_EQ(gridIndex(10.04, 25), 251);
}

TEST(ExportFormatTest, TheNameTellsTheFormat) {
    EXPECT_EQ(exportFormatOfName("a.mp4"), ExportFormat::mp4);
    EXPECT_EQ(exportFormatOfName("a.WEBM"), ExportFormat::webm);
    EXPECT_EQ(exportFormatOfName("a.gif"), ExportFormat::gif);
    EXPECT_EQ(exportFormatOfName("pictures"), ExportFormat::png);
    EXPECT_EQ(exportFormatOfName("one.png"), std::nullopt);
    EXPECT_EQ(exportFormatOfName("a.avi"), std::nullopt);
}

TEST(MovieTimeTest, SecondsAndMinutesSeconds) {
    struct Case {
        const char* text;
        std::optional<double> seconds;
    };
    const Case cases[] = {{"75.5", 75.5}, {"1:15.5", 75.5}, {"0:05", 5.0},   {"1:02:03", 3723.0},
                          {"1:60", {}},   {"-3", {}},       {"nan", {}},     {"1:", {}},
                          {"a:10", {}},   {"", {}},         {"1:2:3:4", {}}, {"inf", {}}};
    for (const Case& c : cases)
        EXPECT_EQ(parseMovieTime(c.text), c.seconds) << c.text;
}

}  // namespace
}  // namespace lumenreel
