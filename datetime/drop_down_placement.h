// Where a date picker's drop-down calendar opens, in screen coordinates.
//
// Below the picker, its top on the picker's last row; above it only when it
// would pass the work area's bottom and there is room above the picker.
// Across: left-aligned, right-aligned or centred by the alignment (the
// button's width kept clear), pulled left to end at the picker's right edge
// when it would reach the screen's right edge, then one pixel right.
// Rectangles are left, top, width, height: a rectangle ends before
// left + width and top + height.
#pragma once

enum TdwDTCalAlignment { dwdtaLeft, dwdtaRight, dwdtaCenter };

struct TScreenRect {
  int Left = 0;
  int Top = 0;
  int Width = 0;
  int Height = 0;
};

struct TScreenPoint {
  int X = 0;
  int Y = 0;
  bool operator==(const TScreenPoint&) const = default;
};

// The drop-down button's width: the scroll bar's, at least 15.
int DropDownButtonWidth(int scrollBarWidth);

// `screenRight` is the x just past the screen's last column.
TScreenPoint PlaceDropDown(const TScreenRect& picker, int calendarWidth, int calendarHeight, int buttonWidth,
                           TdwDTCalAlignment alignment, const TScreenRect& workArea, int screenRight);
