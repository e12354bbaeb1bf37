#include "platform/clock.h"
#include "testing/clock_fixture.h"

#include <gtest/gtest.h>

TEST(Clock, FixedClockMovesOnlyWhenToldTo) {
  ScopedClock clock(45000.5);
  const uint64_t tick = GetTickCount64();
  EXPECT_EQ(ClockNow(), 45000.5);
  Sleep(3000);  // a fixed clock advances instead of waiting
  EXPECT_EQ(GetTickCount64(), tick + 3000);
  EXPECT_DOUBLE_EQ(ClockNow(), 45000.5 + 3000 / 86400000.0);
  clock.Advance(500);
  EXPECT_EQ(GetTickCount64(), tick + 3500);
}

TEST(Clock, RealClockIsLocalTimeAfter2020) {
  ResetClock();
  EXPECT_FALSE(ClockIsFixed());
  EXPECT_GT(ClockNow(), 43831.0);  // 2020-01-01
  const uint64_t a = GetTickCount64();
  EXPECT_GE(GetTickCount64(), a);
}
