#include "platform/datetime_value.h"

#include "platform/errors.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <string>

namespace {

constexpr int64_t kMsPerDayInt = 86400000;
constexpr int64_t kFirstDay = -693593;  // 0001-01-01
constexpr int64_t kLastDay = 2958465;   // 9999-12-31
constexpr int kDaysPer400Years = 146097;
constexpr int kDaysPer100Years = 36524;
constexpr int kDaysPer4Years = 1461;

// A value rounded to whole milliseconds once, then split; the time may carry
// into the next day, which is why the day is checked only afterwards.
struct DayAndTime {
  int64_t day = 0;
  int64_t ms = 0;
};

bool TrySplit(TDateTime value, DayAndTime& parts) {
  // The wide bounds keep the integer conversions defined; the day check is exact.
  if (!std::isfinite(value) || value <= kFirstDay - 2 || value >= kLastDay + 2) return false;
  const double whole = std::trunc(value);
  int64_t day = static_cast<int64_t>(whole);
  int64_t ms = static_cast<int64_t>(std::round(std::fabs(value - whole) * kMsPerDay));
  if (ms >= kMsPerDayInt) {
    ++day;
    ms -= kMsPerDayInt;
  }
  if (day < kFirstDay || day > kLastDay) return false;
  parts.day = day;
  parts.ms = ms;
  return true;
}

std::string ValueText(TDateTime value) {
  char buffer[32];
  const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
  return std::string(buffer, result.ptr);
}

DayAndTime Split(TDateTime value) {
  DayAndTime parts;
  if (!TrySplit(value, parts)) throw EConvertError("Invalid date and time value " + ValueText(value));
  return parts;
}

int64_t FloorDiv(int64_t a, int64_t b) { return a / b - ((a % b != 0) && ((a < 0) != (b < 0))); }
int64_t FloorMod(int64_t a, int64_t b) { return a - FloorDiv(a, b) * b; }

void CivilFromDay(int64_t day, int& year, int& month, int& dayOfMonth) {
  int64_t rest = day - kFirstDay;  // days since 0001-01-01
  const int64_t cycles400 = rest / kDaysPer400Years;
  rest %= kDaysPer400Years;
  int64_t centuries = rest / kDaysPer100Years;
  if (centuries == 4) centuries = 3;  // the last day of a 400-year cycle
  rest -= centuries * kDaysPer100Years;
  const int64_t cycles4 = rest / kDaysPer4Years;
  rest %= kDaysPer4Years;
  int64_t years = rest / 365;
  if (years == 4) years = 3;  // the last day of a leap year
  rest -= years * 365;
  year = static_cast<int>(cycles400 * 400 + centuries * 100 + cycles4 * 4 + years + 1);
  month = 1;
  while (rest >= DaysInMonth(year, month)) rest -= DaysInMonth(year, month++);
  dayOfMonth = static_cast<int>(rest) + 1;
}

}  // namespace

bool IsLeapYear(int year) { return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0; }

int DaysInMonth(int year, int month) {
  static constexpr int kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  if (month < 1 || month > 12) return 0;
  return month == 2 && IsLeapYear(year) ? 29 : kDays[month - 1];
}

bool TryEncodeDate(int year, int month, int day, TDateTime& value) {
  if (year < 1 || year > 9999 || day < 1 || day > DaysInMonth(year, month)) return false;
  int64_t dayOfYear = day;
  for (int m = 1; m < month; ++m) dayOfYear += DaysInMonth(year, m);
  const int64_t before = year - 1;
  value = static_cast<TDateTime>(before * 365 + before / 4 - before / 100 + before / 400 + dayOfYear - 693594);
  return true;
}

TDateTime EncodeDate(int year, int month, int day) {
  TDateTime value;
  if (!TryEncodeDate(year, month, day, value)) {
    throw EConvertError("Invalid date (year " + std::to_string(year) + ", month " + std::to_string(month) +
                        ", day " + std::to_string(day) + ")");
  }
  return value;
}

bool TryDecodeDate(TDateTime value, int& year, int& month, int& day) {
  DayAndTime parts;
  if (!TrySplit(value, parts)) return false;
  CivilFromDay(parts.day, year, month, day);
  return true;
}

void DecodeDate(TDateTime value, int& year, int& month, int& day) {
  CivilFromDay(Split(value).day, year, month, day);
}

bool TryEncodeTime(int hour, int minute, int second, int millisecond, TDateTime& value) {
  if (hour < 0 || hour >= 24 || minute < 0 || minute >= 60 || second < 0 || second >= 60 || millisecond < 0 ||
      millisecond >= 1000) {
    return false;
  }
  value = (((hour * 60 + minute) * 60 + second) * 1000 + millisecond) / kMsPerDay;
  return true;
}

TDateTime EncodeTime(int hour, int minute, int second, int millisecond) {
  TDateTime value;
  if (!TryEncodeTime(hour, minute, second, millisecond, value)) {
    throw EConvertError("Invalid time (hour " + std::to_string(hour) + ", minute " + std::to_string(minute) +
                        ", second " + std::to_string(second) + ", millisecond " + std::to_string(millisecond) + ")");
  }
  return value;
}

void DecodeTime(TDateTime value, int& hour, int& minute, int& second, int& millisecond) {
  const int64_t ms = Split(value).ms;
  hour = static_cast<int>(ms / 3600000);
  minute = static_cast<int>(ms / 60000 % 60);
  second = static_cast<int>(ms / 1000 % 60);
  millisecond = static_cast<int>(ms % 1000);
}

int DayOfWeek(TDateTime value) {
  // Day 0 (1899-12-30) is a Saturday; the floor keeps days before it right.
  return static_cast<int>(FloorMod(Split(value).day - 1, 7)) + 1;
}

TDateTime IncMonth(TDateTime value, int months) {
  const DayAndTime parts = Split(value);
  int year, month, day;
  CivilFromDay(parts.day, year, month, day);
  const int64_t monthIndex = int64_t{year} * 12 + (month - 1) + months;
  const int64_t targetYear = FloorDiv(monthIndex, 12);
  const int targetMonth = static_cast<int>(FloorMod(monthIndex, 12)) + 1;
  if (targetYear < 1 || targetYear > 9999) {
    throw EConvertError("Invalid date (year " + std::to_string(targetYear) + ", month " + std::to_string(targetMonth) +
                        ")");
  }
  const int year2 = static_cast<int>(targetYear);
  const int day2 = std::min(day, DaysInMonth(year2, targetMonth));
  return JoinDateAndTime(EncodeDate(year2, targetMonth, day2), parts.ms / kMsPerDay);
}

TDateTime JoinDateAndTime(TDateTime date, TDateTime time) {
  const double whole = std::trunc(date);
  const double fraction = std::fabs(time - std::trunc(time));
  return whole < 0 ? whole - fraction : whole + fraction;
}
