#include "platform/date_clock.h"

#include "platform/datetime_value.h"
#include "testing/clock_fixture.h"

#include <gtest/gtest.h>

namespace {

TEST(DateClock, NowDateAndTimeFollowTheFixedClock) {
  ScopedClock clock(EncodeDate(2024, 3, 5) + EncodeTime(14, 7, 9, 45));
  EXPECT_EQ(Now(), EncodeDate(2024, 3, 5) + EncodeTime(14, 7, 9, 45));
  EXPECT_EQ(Date(), EncodeDate(2024, 3, 5));
  EXPECT_EQ(Time(), EncodeTime(14, 7, 9, 45));
  EXPECT_EQ(CurrentYear(), 2024);
  clock.Advance(10 * 3600 * 1000);  // past midnight into the next day
  EXPECT_EQ(Date(), EncodeDate(2024, 3, 6));
  EXPECT_EQ(Time(), EncodeTime(0, 7, 9, 45));
}

TEST(DateClock, TheLastInstantOfAYearRoundsIntoTheNext) {
  ScopedClock clock(EncodeDate(2024, 12, 31) + 86399999.6 / kMsPerDay);
  EXPECT_EQ(Date(), EncodeDate(2025, 1, 1));
  EXPECT_EQ(Time(), 0);
  EXPECT_EQ(CurrentYear(), 2025);
}

}  // namespace
