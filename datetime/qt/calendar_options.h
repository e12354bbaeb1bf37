// The settings a date picker hands to its drop-down calendar at every drop-down.
#pragma once

#include "datetime/drop_down_placement.h"
#include "datetime/month_calendar_logic.h"
#include "datetime/qt/date_time_colors.h"
#include "datetime/qt/month_calendar.h"

#include <QFont>

struct TdwCalendarOptions {
  TdwDTCalAlignment Alignment = dwdtaLeft;
  TdwDateTimeColors Colors;
  // Unset: the application's font.
  QFont Font;
  bool FontSet = false;
  // 0, or below the calendar's least: the least.
  int Width = 0;
  int Height = 0;
  TdwMonthOptions Options = MonthOptions(mdoDayState);
  TdwPopupYearOptions PopupYearOptions;
  TdwCalDayOfWeek FirstDayOfWeek = dwdowLocaleDefault;

  void SetColors(const TdwDateTimeColors& colors) { Colors.Assign(colors); }
  void SetFont(const QFont& font) { Font = font, FontSet = true; }
  void SetPopupYearOptions(const TdwPopupYearOptions& options) { PopupYearOptions.Assign(options); }
};
