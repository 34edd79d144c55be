#include "base/InPt.h"

#include <gtest/gtest.h>

#include <vector>

#include "base/Assert.h"

namespace {

TEST(AssertTest, ReportCarriesExpressionFileAndLineAndExecutionContinues) {
    std::vector<lumenreel::AssertionReport> reports;
    auto previous = lumenreel::setAssertionHandler(
        [&](const lumenreel::AssertionReport& report) { reports.push_back(report); });
    int length = 0;
    LR_ASSERT(length != 0);
    int lineOfAssert = __LINE__ - 1;
    LR_ASSERT(length == 0);
    lumenreel::setAssertionHandler(previous);

    ASSERT_EQ(reports.size(), 1u);
    EXPECT_EQ(reports[0].expression, "length != 0");
    EXPECT_NE(reports[0].file.find("InPtTest.cpp"), std::string::npos);
    EXPECT_EQ(reports[0].line, lineOfAssert);
}

TEST(InPtTest, OwnsReplacesAndClears) {
    struct Counted {
        explicit Counted(int& alive) : alive(alive) { ++alive; }
        ~Counted() { --alive; }
        int& alive;
    };
    int alive = 0;
    {
        InPt<Counted> pointer(std::make_unique<Counted>(alive));
        EXPECT_EQ(alive, 1);
        pointer.reset(std::make_unique<Counted>(alive));
        EXPECT_EQ(alive, 1);
        pointer.reset();
        EXPECT_EQ(alive, 0);
        EXPECT_FALSE(pointer);
        pointer.reset(std::make_unique<Counted>(alive));
    }
    EXPECT_EQ(alive, 0);

    InPt<int[]> array(4);
    array[3] = 7;
    EXPECT_EQ(array.size(), 4u);
    EXPECT_EQ(array[3], 7);
}

TEST(InPtDeathTest, EmptyDereferenceReportsTheStoredPointer) {
    InPt<int> empty;
    EXPECT_DEATH({ [[maybe_unused]] int value = *empty; }, "this->m_dta__P!=0");
    InPt<int[]> emptyArray;
    EXPECT_DEATH({ [[maybe_unused]] int value = emptyArray[0]; }, "this->m_dta__P!=0");
}

}  // namespace
