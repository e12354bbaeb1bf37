#include "platform/mul_div.h"

#include <gtest/gtest.h>

namespace {

TEST(MulDiv, RoundsHalfAwayFromZeroAndRefusesWhatIntCannotHold) {
  struct Case {
    int Number, Numerator, Denominator, Want;
  };
  const Case cases[] = {
      {1200, 12, 72, 200}, {96, 12, 72, 16},   {120, 12, 72, 20},   {100, 12, 72, 17},  // 16.67
      {3, 1, 2, 2},        {-3, 1, 2, -2},     {3, 1, -2, -2},      {5, 1, 4, 1},       // 1.25
      {7, 0, 3, 0},        {1, 1, 0, -1},      {INT_MAX, 2, 1, -1}, {INT_MAX, 2, 2, INT_MAX},
  };
  for (const Case& c : cases)
    EXPECT_EQ(MulDiv(c.Number, c.Numerator, c.Denominator), c.Want)
        << c.Number << " * " << c.Numerator << " / " << c.Denominator;
}

}  // namespace
