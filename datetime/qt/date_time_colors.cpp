#include "datetime/qt/date_time_colors.h"

void TdwDateTimeColors::SetColor(TCalendarColorPart part, TColor color) {
  FColors[part] = color;
  if (OnColorChanged) OnColorChanged(part, color);
}

void TdwDateTimeColors::Assign(const TdwDateTimeColors& source) {
  for (TCalendarColorPart part : {mcscText, mcscTitleBk, mcscTitleText, mcscMonthBk, mcscTrailingText})
    SetColor(part, source.Color(part));
}
