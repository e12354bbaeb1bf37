#include "datetime/tests/picker_fuzz.h"

#include "testing/clock_fixture.h"
#include "platform/datetime_value.h"

#include <gtest/gtest.h>

namespace {

TEST(PickerFuzz, FixedSeedSessionsKeepTheRules) {
  constexpr int kSessions = 3000;
  constexpr int kSteps = 60;
  ScopedClock clock(EncodeDate(2026, 3, 15) + EncodeTime(10, 20, 30, 0));
  const TPickerFuzzCounts counts = RunPickerFuzz(20261211, kSessions, kSteps);
  EXPECT_EQ(counts.Steps, uint64_t{kSessions} * kSteps);
  // The keys reach past the refusals: values change and digits wait.
  EXPECT_GT(counts.Changes, counts.Steps / 20);
  EXPECT_GT(counts.Pending, counts.Steps / 50);
}

}  // namespace
