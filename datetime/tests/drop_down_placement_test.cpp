// Where the drop-down calendar opens: below, above only when it does not fit
// and there is room above, each alignment, the right-edge rule and the final
// pixel, against a work area that ends before its bottom.
#include "datetime/drop_down_placement.h"

#include <gtest/gtest.h>

namespace {

constexpr int kWidth = 200, kHeight = 180, kButton = 17;
const TScreenRect kArea{0, 0, 800, 800};

TScreenPoint Place(TScreenRect picker, TdwDTCalAlignment alignment = dwdtaLeft, TScreenRect area = kArea) {
  return PlaceDropDown(picker, kWidth, kHeight, kButton, alignment, area, 800);
}

TEST(DropDownPlacement, BelowOnThePickersLastRowOnePixelRight) {
  EXPECT_EQ(Place({100, 200, 120, 22}), (TScreenPoint{101, 221}));
}

TEST(DropDownPlacement, AboveOnlyWhenPassingTheBottomWithRoomAbove) {
  // Ending exactly at the area's bottom still fits below.
  EXPECT_EQ(Place({100, 599, 120, 22}), (TScreenPoint{101, 620}));
  EXPECT_EQ(Place({100, 600, 120, 22}), (TScreenPoint{101, 420}));
  // No room above: below all the same.
  EXPECT_EQ(Place({100, 100, 120, 22}, dwdtaLeft, {0, 0, 800, 250}), (TScreenPoint{101, 121}));
  EXPECT_EQ(Place({100, 180, 120, 22}, dwdtaLeft, {0, 0, 800, 250}), (TScreenPoint{101, 201}));
  EXPECT_EQ(Place({100, 181, 120, 22}, dwdtaLeft, {0, 0, 800, 250}), (TScreenPoint{101, 1}));
  // A work area starting lower ends lower.
  EXPECT_EQ(Place({100, 600, 120, 22}, dwdtaLeft, {0, 30, 800, 800}), (TScreenPoint{101, 621}));
}

TEST(DropDownPlacement, AlignmentsKeepTheButtonClear) {
  EXPECT_EQ(Place({300, 200, 120, 22}, dwdtaRight).X, 300 + 120 - kButton - kWidth - 1 + 1);
  EXPECT_EQ(Place({300, 200, 120, 22}, dwdtaCenter).X, 300 + (120 - kWidth - kButton - 1) / 2 + 1);
  EXPECT_EQ(Place({300, 200, 121, 22}, dwdtaCenter).X, 300 - 48 + 1);
}

TEST(DropDownPlacement, ReachingTheScreensRightEdgeEndsAtThePickersRightEdge) {
  EXPECT_EQ(Place({599, 200, 120, 22}).X, 600);
  EXPECT_EQ(Place({600, 200, 120, 22}).X, 600 + 120 - 1 - kWidth + 1);
  EXPECT_EQ(Place({650, 200, 120, 22}, dwdtaCenter).X, 650 + 120 - 1 - kWidth + 1);
}

TEST(DropDownPlacement, ButtonWidthIsAtLeast15) {
  EXPECT_EQ(DropDownButtonWidth(12), 15);
  EXPECT_EQ(DropDownButtonWidth(17), 17);
}

}  // namespace
