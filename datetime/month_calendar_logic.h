// What the month calendar decides without a window: its limits and the
// checks they make, the first day of the week, the title buttons' step, the
// keys' moves, the states of the month menu, the layout of the year popup and
// the edit-year question. The calendar widget (datetime/qt/) only wires its
// widgets to these.
//
// Dates are TDateTime; a limit of 0 means "no limit". Every comparison with a
// limit is by whole days, so a value with a time of day on the limit's own day
// lies within it.
#pragma once

#include "platform/clock.h"

#include <optional>
#include <string>
#include <vector>

// The first day of the week a calendar starts its rows with.
enum TdwCalDayOfWeek {
  dwdowMonday, dwdowTuesday, dwdowWednesday, dwdowThursday, dwdowFriday, dwdowSaturday, dwdowSunday,
  dwdowLocaleDefault
};

// 0 = Monday ... 6 = Sunday. dwdowLocaleDefault reads
// FormatSettings.LocaleFirstDayOfWeek (never the machine); a setting outside
// 0-6 counts as Sunday.
int ResolveFirstDayOfWeek(TdwCalDayOfWeek day);

// The whole day of a value (the time of day dropped), by the sign rule of
// TDateTime: -1.25 is day -1.
TDateTime WholeDay(TDateTime value);

// The date of year/month with `day` limited to that month's length.
TDateTime DateWithDayLimited(int year, int month, int day);

struct TDateLimits {
  TDateTime MinDate = 0;
  TDateTime MaxDate = 0;

  bool HasMin() const { return MinDate != 0; }
  bool HasMax() const { return MaxDate != 0; }
  bool AboveMax(TDateTime value) const;
  bool BelowMin(TDateTime value) const;
  bool Within(TDateTime value) const { return !AboveMax(value) && !BelowMin(value); }
  // The value moved onto the nearer limit when it lies beyond one.
  TDateTime Clamped(TDateTime value) const;
};

// Raises EDateTimeError "Date exceeds maximum of %s" or "Date is less than
// minimum of %s" when the value lies beyond a set limit.
void CheckWithinLimits(TDateTime value, const TDateLimits& limits);

// The checks of the range setters. 0 clears a limit and is never refused; a
// new limit is refused only when it would cross the other, set one.
void CheckNewMaxDate(TDateTime maxDate, const TDateLimits& limits);
void CheckNewMinDate(TDateTime minDate, const TDateLimits& limits);

// The range the grid shows and lets a person pick from: the set limits, else
// 1899-12-30 below and 9999-12-31 above.
TDateTime GridMinimum(const TDateLimits& limits);
TDateTime GridMaximum(const TDateLimits& limits);
// The day the grid selects for a value: within the limits, and without a
// minimum a day before 1899-12-30 selects 1899-12-31.
TDateTime GridSelection(TDateTime value, const TDateLimits& limits);

// A title button's move from the shown month: next is the shown month + 1,
// previous the shown month - 1 (the year wraps), with the value's day limited
// to that month. Beyond a set limit the date is that limit and the calendar
// beeps; a mouse move never raises.
struct TTitleStep {
  TDateTime Date = 0;
  bool Beep = false;
};
TTitleStep TitleButtonStep(int shownYear, int shownMonth, int valueDay, bool next, const TDateLimits& limits);

// The keys that move the value by themselves (without Ctrl).
enum class TCalendarKey { PageUp, PageDown, Left, Right, Up, Down };
// PageUp/PageDown one month back/on with the day limited; Left/Right one day,
// Up/Down seven days. The limits are SetDate's to check.
TDateTime KeyMoveTarget(TCalendarKey key, TDateTime value);

// One item of the month menu or the year popup.
struct TCalendarMenuItem {
  enum TKind { Month, Year, EditYear, Separator };
  TKind Kind = Year;
  std::string Caption;
  int Number = 0;  // the month (1-12) or the year
  bool Checked = false;
  bool Enabled = true;
  bool Break = false;  // starts a new column
};

// The 12 month items, captioned from FormatSettings.LongMonthNames: checked
// for `currentMonth`, disabled when the title's year, that month and the
// value's day (limited) lie beyond a set limit.
std::vector<TCalendarMenuItem> MonthMenuItems(int titleYear, int currentMonth, int valueDay,
                                              const TDateLimits& limits);

struct TdwPopupYearOptions {
  int YearsPerColumn = 10;
  int NumberColumns = 2;
  int StartYear = 1990;
  bool ShowEditYear = false;

  void Assign(const TdwPopupYearOptions& source) { *this = source; }
};

// The year popup's items: with ShowEditYear first the edit-year label
// (GlobalIntl()->MonthCalendar.PopupYearLabel) and a separator; then the years
// from StartYear, YearsPerColumn x NumberColumns of them, each checked for
// `currentYear` and disabled when that year with the current month and day
// (limited) lies beyond a set limit. A year starts a new column every
// YearsPerColumn years from StartYear, and the first year does too when the
// edit-year label stands above and a column holds more than one year.
// YearsPerColumn below 1 counts as 1; years outside 1-9999 are left out.
std::vector<TCalendarMenuItem> YearMenuItems(const TdwPopupYearOptions& options, int currentYear,
                                             int currentMonth, int currentDay, const TDateLimits& limits);

// How far left the year popup opens so that its years stand below the title:
// with the edit-year column beside them, the label's width plus 45/96 inch.
int YearMenuShift(const TdwPopupYearOptions& options, int editYearTextWidth, int pixelsPerInch);

// The edit-year question: its caption names the set limits as years.
struct TEditYearQuestion {
  std::string Caption;
  std::string Prompt;
};
TEditYearQuestion EditYearQuestion(const TDateLimits& limits);

// The year an answer gives when it is a whole number from 1 to 9999 whose
// date (that year, the current month, the day limited) lies within the limits.
std::optional<int> AcceptedYear(const std::string& answer, int currentMonth, int currentDay,
                                const TDateLimits& limits);

// Asks through the dialog seam until an answer is accepted; nothing when the
// person cancels or closes the box.
std::optional<int> AskEditYear(const TDateLimits& limits, int currentMonth, int currentDay);
