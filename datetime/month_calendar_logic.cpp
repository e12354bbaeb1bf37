#include "datetime/month_calendar_logic.h"

#include "datetime/dw_intl.h"
#include "platform/date_format.h"
#include "platform/datetime_value.h"
#include "platform/dialogs.h"
#include "platform/text.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace {

constexpr int kFirstYear = 1;
constexpr int kLastYear = 9999;

int YearOf(TDateTime value) {
  int year, month, day;
  DecodeDate(value, year, month, day);
  return year;
}

std::string LimitsCaption(const TDateLimits& limits) {
  if (limits.HasMin() && limits.HasMax())
    return " (" + IntToStr(YearOf(limits.MinDate)) + "-" + IntToStr(YearOf(limits.MaxDate)) + ")";
  if (limits.HasMax()) return " (<=" + IntToStr(YearOf(limits.MaxDate)) + ")";
  return " (>=" + IntToStr(YearOf(limits.MinDate)) + ")";
}

}  // namespace

int ResolveFirstDayOfWeek(TdwCalDayOfWeek day) {
  if (day != dwdowLocaleDefault) return day;
  const int setting = FormatSettings.LocaleFirstDayOfWeek;
  return setting >= 0 && setting <= 6 ? setting : dwdowSunday;
}

TDateTime WholeDay(TDateTime value) { return std::trunc(value); }

TDateTime DateWithDayLimited(int year, int month, int day) {
  return EncodeDate(year, month, std::clamp(day, 1, DaysInMonth(year, month)));
}

bool TDateLimits::AboveMax(TDateTime value) const { return HasMax() && WholeDay(value) > WholeDay(MaxDate); }
bool TDateLimits::BelowMin(TDateTime value) const { return HasMin() && WholeDay(value) < WholeDay(MinDate); }

TDateTime TDateLimits::Clamped(TDateTime value) const {
  if (AboveMax(value)) return MaxDate;
  if (BelowMin(value)) return MinDate;
  return value;
}

void CheckWithinLimits(TDateTime value, const TDateLimits& limits) {
  if (limits.AboveMax(value)) throw DateExceedsMaximumError(limits.MaxDate);
  if (limits.BelowMin(value)) throw DateLessThanMinimumError(limits.MinDate);
}

void CheckNewMaxDate(TDateTime maxDate, const TDateLimits& limits) {
  if (maxDate != 0 && limits.BelowMin(maxDate)) throw DateLessThanMinimumError(limits.MinDate);
}

void CheckNewMinDate(TDateTime minDate, const TDateLimits& limits) {
  if (minDate != 0 && limits.AboveMax(minDate)) throw DateExceedsMaximumError(limits.MaxDate);
}

TDateTime GridMinimum(const TDateLimits& limits) { return limits.HasMin() ? WholeDay(limits.MinDate) : 0; }

TDateTime GridMaximum(const TDateLimits& limits) {
  return limits.HasMax() ? WholeDay(limits.MaxDate) : WholeDay(kMaxDateTime);
}

TDateTime GridSelection(TDateTime value, const TDateLimits& limits) {
  const TDateTime day = WholeDay(limits.Clamped(value));
  if (!limits.HasMin() && day < 0) return 1;
  return day;
}

TTitleStep TitleButtonStep(int shownYear, int shownMonth, int valueDay, bool next, const TDateLimits& limits) {
  int month = shownMonth + (next ? 1 : -1);
  int year = shownYear;
  if (month > 12) month = 1, ++year;
  if (month < 1) month = 12, --year;
  // The calendar itself ends at both ends of year 1-9999.
  if (year > kLastYear) return {WholeDay(kMaxDateTime), true};
  if (year < kFirstYear) return {WholeDay(kMinDateTime), true};
  const TDateTime target = DateWithDayLimited(year, month, valueDay);
  if (next && limits.AboveMax(target)) return {limits.MaxDate, true};
  if (!next && limits.BelowMin(target)) return {limits.MinDate, true};
  return {target, false};
}

TDateTime KeyMoveTarget(TCalendarKey key, TDateTime value) {
  switch (key) {
    case TCalendarKey::PageUp: return IncMonth(value, -1);
    case TCalendarKey::PageDown: return IncMonth(value, 1);
    case TCalendarKey::Left: return value - 1;
    case TCalendarKey::Right: return value + 1;
    case TCalendarKey::Up: return value - 7;
    case TCalendarKey::Down: return value + 7;
  }
  return value;
}

std::vector<TCalendarMenuItem> MonthMenuItems(int titleYear, int currentMonth, int valueDay,
                                              const TDateLimits& limits) {
  std::vector<TCalendarMenuItem> items;
  for (int month = 1; month <= 12; ++month) {
    TCalendarMenuItem item;
    item.Kind = TCalendarMenuItem::Month;
    item.Caption = FormatSettings.LongMonthNames[month - 1];
    item.Number = month;
    item.Checked = month == currentMonth;
    item.Enabled = limits.Within(DateWithDayLimited(titleYear, month, valueDay));
    items.push_back(item);
  }
  return items;
}

std::vector<TCalendarMenuItem> YearMenuItems(const TdwPopupYearOptions& options, int currentYear,
                                             int currentMonth, int currentDay, const TDateLimits& limits) {
  std::vector<TCalendarMenuItem> items;
  const int64_t perColumn = std::max(options.YearsPerColumn, 1);
  if (options.ShowEditYear) {
    TCalendarMenuItem label;
    label.Kind = TCalendarMenuItem::EditYear;
    label.Caption = GlobalIntl() ? GlobalIntl()->MonthCalendar.PopupYearLabel : "Edit Year";
    items.push_back(label);
    TCalendarMenuItem separator;
    separator.Kind = TCalendarMenuItem::Separator;
    separator.Caption = "-";
    items.push_back(separator);
  }
  // 64 bits throughout: odd options (huge counts, a start far outside the
  // calendar) only shorten the list.
  const int64_t start = options.StartYear;
  const int64_t count = perColumn * std::max(options.NumberColumns, 0);
  const int64_t first = std::max<int64_t>(start, kFirstYear);
  const int64_t last = std::min<int64_t>(start + count - 1, kLastYear);
  for (int64_t year = first; year <= last; ++year) {
    TCalendarMenuItem item;
    item.Caption = IntToStr(year);
    item.Number = int(year);
    item.Checked = year == currentYear;
    item.Enabled = limits.Within(DateWithDayLimited(int(year), currentMonth, currentDay));
    const bool columnStart = (year - start) % perColumn == 0;
    item.Break = year == start ? options.ShowEditYear && perColumn > 1 : columnStart;
    items.push_back(item);
  }
  return items;
}

int YearMenuShift(const TdwPopupYearOptions& options, int editYearTextWidth, int pixelsPerInch) {
  if (!options.ShowEditYear || options.YearsPerColumn <= 1) return 0;
  return editYearTextWidth + pixelsPerInch * 45 / 96;
}

TEditYearQuestion EditYearQuestion(const TDateLimits& limits) {
  const std::string prompt = GlobalIntl() ? GlobalIntl()->MonthCalendar.EnterYearPrompt : "Enter Valid Year";
  if (!limits.HasMin() && !limits.HasMax()) return {prompt, " "};
  return {prompt + LimitsCaption(limits), "Enter New Year:"};
}

std::optional<int> AcceptedYear(const std::string& answer, int currentMonth, int currentDay,
                                const TDateLimits& limits) {
  int year = 0;
  if (!TryStrToInt(Trim(answer), year) || year < kFirstYear || year > kLastYear) return std::nullopt;
  if (!limits.Within(DateWithDayLimited(year, currentMonth, currentDay))) return std::nullopt;
  return year;
}

std::optional<int> AskEditYear(const TDateLimits& limits, int currentMonth, int currentDay) {
  const TEditYearQuestion question = EditYearQuestion(limits);
  std::string answer;
  for (;;) {
    if (!InputQuery(question.Caption, question.Prompt, answer)) return std::nullopt;
    if (auto year = AcceptedYear(answer, currentMonth, currentDay, limits)) return year;
  }
}
