#include "datetime/drop_down_placement.h"

#include <algorithm>

int DropDownButtonWidth(int scrollBarWidth) { return std::max(scrollBarWidth, 15); }

TScreenPoint PlaceDropDown(const TScreenRect& picker, int calendarWidth, int calendarHeight, int buttonWidth,
                           TdwDTCalAlignment alignment, const TScreenRect& workArea, int screenRight) {
  TScreenPoint at;
  at.Y = picker.Top + picker.Height - 1;
  if (at.Y + calendarHeight > workArea.Top + workArea.Height && picker.Top - calendarHeight > 0)
    at.Y = picker.Top - calendarHeight;
  switch (alignment) {
    case dwdtaLeft: at.X = picker.Left; break;
    case dwdtaRight: at.X = picker.Left + picker.Width - buttonWidth - calendarWidth - 1; break;
    case dwdtaCenter: at.X = picker.Left + (picker.Width - calendarWidth - buttonWidth - 1) / 2; break;
  }
  if (picker.Left + calendarWidth >= screenRight) at.X = picker.Left + picker.Width - 1 - calendarWidth;
  at.X += 1;
  return at;
}
