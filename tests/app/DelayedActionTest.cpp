#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <memory>
#include <thread>

#include "app/DelayedAction.h"

namespace {

using Clock = std::chrono::steady_clock;

struct Calls {
    std::atomic<int> count{0};
    std::atomic<Clock::rep> lastAt{0};
    static void record(void* data) {
        auto* calls = static_cast<Calls*>(data);
        calls->lastAt = Clock::now().time_since_epoch().count();
        ++calls->count;
    }
};

// Waits (generously) for the worker to end on its own.
bool waitUntilIdle(const CDelayedAction& action) {
    const auto deadline = Clock::now() + std::chrono::seconds(10);
    while (action.IsRunning() && Clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    return !action.IsRunning();
}

TEST(DelayedActionTest, OneCallAfterTheWholeDelay) {
    Calls calls;
    CDelayedAction action;
    const auto started = Clock::now();
    action.Start(&Calls::record, &calls, 1, 100);
    ASSERT_TRUE(waitUntilIdle(action));
    EXPECT_EQ(calls.count, 1);
    const auto waited = Clock::duration(calls.lastAt.load()) - started.time_since_epoch();
    EXPECT_GE(std::chrono::duration_cast<std::chrono::milliseconds>(waited).count(), 100);
}

TEST(DelayedActionTest, RepeatsTheGivenNumberOfTimes) {
    Calls calls;
    CDelayedAction action;
    action.Start(&Calls::record, &calls, 3, 5);
    ASSERT_TRUE(waitUntilIdle(action));
    EXPECT_EQ(calls.count, 3);
}

TEST(DelayedActionTest, CountZeroEndsWithoutACall) {
    Calls calls;
    CDelayedAction action;
    action.Start(&Calls::record, &calls, 0, 100);
    ASSERT_TRUE(waitUntilIdle(action));
    EXPECT_EQ(calls.count, 0);
}

TEST(DelayedActionTest, StartingAgainCancelsTheWaitingRun) {
    Calls first, second;
    CDelayedAction action;
    action.Start(&Calls::record, &first, 1, 10'000);
    const auto restarted = Clock::now();
    action.Start(&Calls::record, &second, 1, 10);
    ASSERT_TRUE(waitUntilIdle(action));
    EXPECT_EQ(first.count, 0);
    EXPECT_EQ(second.count, 1);
    EXPECT_LT(Clock::now() - restarted, std::chrono::seconds(5));
}

TEST(DelayedActionTest, DestroyingCutsTheWaitShortWithoutACall) {
    Calls calls;
    auto action = std::make_unique<CDelayedAction>();
    action->Start(&Calls::record, &calls, 1, 10'000);
    const auto destroyed = Clock::now();
    action.reset();
    EXPECT_LT(Clock::now() - destroyed, std::chrono::seconds(5));
    EXPECT_EQ(calls.count, 0);
}

}  // namespace
