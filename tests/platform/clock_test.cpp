#include "platform/clock.h"

#include <gtest/gtest.h>

using namespace platform;

TEST(Clock, ComparisonsSurviveWrapAround) {
    EXPECT_TRUE(clockReached(5, 0xFFFFFFF0u));  // 21 ms after, across the wrap
    EXPECT_FALSE(clockReached(0xFFFFFFF0u, 5)); // before, across the wrap
    EXPECT_TRUE(clockReached(100, 100));
    EXPECT_EQ(std::uint32_t(5) - 0xFFFFFFF0u, 21u); // elapsed time as the frame code reads it
}

TEST(Clock, RealClockWaitsAcrossTheWrap) {
    // Put the real counter 10 ms before its wrap and wait for a deadline 25 ms later, which
    // lies after the wrap in counter terms.
    std::uint32_t raw = timeGetTime();
    offsetSystemClock(0xFFFFFFF6u - raw);
    std::uint32_t start = timeGetTime();
    std::uint32_t deadline = start + 25;
    ASSERT_LT(deadline, start); // the deadline did wrap
    waitUntil(deadline);
    std::uint32_t end = timeGetTime();
    EXPECT_TRUE(clockReached(end, deadline));
    EXPECT_GE(end - start, 25u);
    offsetSystemClock(0);
}

TEST(Clock, FakeClockReplacesTheRealOne) {
    struct Fake : ClockSource {
        std::uint32_t t = 1000;
        std::uint32_t now() override { return t; }
        void waitUntil(std::uint32_t d) override {
            if (!clockReached(t, d)) t = d;
        }
        void sleep(std::uint32_t ms) override { t += ms; }
    } fake;
    ClockSource* old = setClockSource(&fake);
    EXPECT_EQ(timeGetTime(), 1000u);
    waitUntil(1033);
    EXPECT_EQ(timeGetTime(), 1033u);
    sleepMs(7);
    EXPECT_EQ(timeGetTime(), 1040u);
    setClockSource(old);
    EXPECT_NE(timeGetTime(), 1040u);
}
