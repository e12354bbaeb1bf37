#include "platform/datetime_value.h"

#include "platform/errors.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace {

struct Ymd {
  int year, month, day;
};

Ymd DecodedDate(TDateTime value) {
  Ymd d{};
  DecodeDate(value, d.year, d.month, d.day);
  return d;
}

struct Hnsm {
  int hour, minute, second, ms;
};

Hnsm DecodedTime(TDateTime value) {
  Hnsm t{};
  DecodeTime(value, t.hour, t.minute, t.second, t.ms);
  return t;
}

void ExpectDecodesTo(TDateTime value, Ymd date, Hnsm time) {
  const Ymd d = DecodedDate(value);
  EXPECT_EQ(d.year, date.year);
  EXPECT_EQ(d.month, date.month);
  EXPECT_EQ(d.day, date.day);
  const Hnsm t = DecodedTime(value);
  EXPECT_EQ(t.hour, time.hour);
  EXPECT_EQ(t.minute, time.minute);
  EXPECT_EQ(t.second, time.second);
  EXPECT_EQ(t.ms, time.ms);
}

TEST(DateValue, EncodeAndDecodeRoundTripAcrossTheCalendar) {
  struct Case {
    int year, month, day;
    TDateTime value;
  };
  const Case cases[] = {
      {1, 1, 1, -693593},       {9999, 12, 31, 2958465}, {1899, 12, 29, -1},     {1899, 12, 30, 0},
      {1899, 12, 31, 1},        {1900, 1, 1, 2},         {1900, 2, 28, 60},      {1900, 3, 1, 61},
      {2000, 2, 29, 36585},     {2000, 3, 1, 36586},     {2024, 2, 29, 45351},   {1600, 2, 29, -109512},
      {1752, 9, 14, -53797},    {2023, 3, 15, 45000},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.year << "-" << c.month << "-" << c.day);
    EXPECT_EQ(EncodeDate(c.year, c.month, c.day), c.value);
    const Ymd d = DecodedDate(c.value);
    EXPECT_EQ(d.year, c.year);
    EXPECT_EQ(d.month, c.month);
    EXPECT_EQ(d.day, c.day);
  }
}

TEST(DateValue, EveryDayOfFourHundredYearsRoundTrips) {
  // One full cycle of the leap rule, starting where 1900 (no leap day) sits.
  const int first = static_cast<int>(EncodeDate(1800, 1, 1));
  const int last = static_cast<int>(EncodeDate(2199, 12, 31));
  for (int day = first; day <= last; ++day) {
    const Ymd d = DecodedDate(day);
    ASSERT_EQ(EncodeDate(d.year, d.month, d.day), day) << d.year << "-" << d.month << "-" << d.day;
  }
}

TEST(DateValue, LeapYearsAndMonthLengths) {
  EXPECT_FALSE(IsLeapYear(1900));
  EXPECT_TRUE(IsLeapYear(2000));
  EXPECT_TRUE(IsLeapYear(2024));
  EXPECT_FALSE(IsLeapYear(2023));
  EXPECT_FALSE(IsLeapYear(2100));
  EXPECT_TRUE(IsLeapYear(1600));
  EXPECT_EQ(DaysInMonth(1900, 2), 28);
  EXPECT_EQ(DaysInMonth(2000, 2), 29);
  EXPECT_EQ(DaysInMonth(2024, 4), 30);
  EXPECT_EQ(DaysInMonth(2024, 12), 31);
  EXPECT_EQ(DaysInMonth(2024, 0), 0);
  EXPECT_EQ(DaysInMonth(2024, 13), 0);
}

TEST(DateValue, InvalidDatesAndTimesAreRefused) {
  const Ymd badDates[] = {{0, 1, 1},    {10000, 1, 1}, {1900, 2, 29}, {2023, 2, 29}, {2024, 13, 1},
                          {2024, 0, 1}, {2024, 4, 31}, {2024, 1, 0},  {2024, 1, 32}, {-1, 1, 1}};
  for (const Ymd& d : badDates) {
    SCOPED_TRACE(testing::Message() << d.year << "-" << d.month << "-" << d.day);
    TDateTime value = 123;
    EXPECT_FALSE(TryEncodeDate(d.year, d.month, d.day, value));
    EXPECT_EQ(value, 123);
    EXPECT_THROW(EncodeDate(d.year, d.month, d.day), EConvertError);
  }
  const Hnsm badTimes[] = {{24, 0, 0, 0}, {0, 60, 0, 0}, {0, 0, 60, 0}, {0, 0, 0, 1000}, {-1, 0, 0, 0}, {0, 0, 0, -1}};
  for (const Hnsm& t : badTimes) {
    SCOPED_TRACE(testing::Message() << t.hour << ":" << t.minute << ":" << t.second << "." << t.ms);
    TDateTime value = 123;
    EXPECT_FALSE(TryEncodeTime(t.hour, t.minute, t.second, t.ms, value));
    EXPECT_EQ(value, 123);
    EXPECT_THROW(EncodeTime(t.hour, t.minute, t.second, t.ms), EConvertError);
  }
  try {
    EncodeDate(2023, 2, 29);
    FAIL();
  } catch (const EConvertError& e) {
    EXPECT_EQ(e.Message, "Invalid date (year 2023, month 2, day 29)");
  }
  EXPECT_EQ(EncodeTime(23, 59, 59, 999), 86399999 / kMsPerDay);
}

TEST(DateValue, ValuesOutsideTheRangeDoNotDecode) {
  const TDateTime bad[] = {std::numeric_limits<double>::quiet_NaN(),
                           std::numeric_limits<double>::infinity(),
                           -std::numeric_limits<double>::infinity(),
                           2958466.0,
                           2958465.0 + 86399999.6 / kMsPerDay,  // rounds into year 10000
                           -693594.0,
                           -693594.5,
                           1e300,
                           -1e300};
  for (const TDateTime value : bad) {
    SCOPED_TRACE(value);
    int y = 7, m = 7, d = 7;
    EXPECT_FALSE(TryDecodeDate(value, y, m, d));
    EXPECT_EQ(y, 7);
    EXPECT_THROW(DecodeDate(value, y, m, d), EConvertError);
    EXPECT_THROW(DecodeTime(value, y, m, d, d), EConvertError);
    EXPECT_THROW(DayOfWeek(value), EConvertError);
    EXPECT_THROW(IncMonth(value, 1), EConvertError);
  }
  try {
    int y, m, d;
    DecodeDate(std::numeric_limits<double>::quiet_NaN(), y, m, d);
    FAIL();
  } catch (const EConvertError& e) {
    EXPECT_EQ(e.Message, "Invalid date and time value nan");
  }
}

TEST(DateValue, TimesOnBothSidesOfDayZero) {
  struct Case {
    TDateTime value;
    Ymd date;
    Hnsm time;
  };
  const Case cases[] = {
      {-1.25, {1899, 12, 29}, {6, 0, 0, 0}},
      {-1.75, {1899, 12, 29}, {18, 0, 0, 0}},
      {-2.5, {1899, 12, 28}, {12, 0, 0, 0}},
      {0.25, {1899, 12, 30}, {6, 0, 0, 0}},
      {1.75, {1899, 12, 31}, {18, 0, 0, 0}},
      {45000.5 + 1234 / kMsPerDay, {2023, 3, 15}, {12, 0, 1, 234}},
      {-693593.5, {1, 1, 1}, {12, 0, 0, 0}},
      {2958465 + 86399999 / kMsPerDay, {9999, 12, 31}, {23, 59, 59, 999}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.value);
    ExpectDecodesTo(c.value, c.date, c.time);
    // Joining the decoded parts gives the value back.
    const TDateTime joined = JoinDateAndTime(EncodeDate(c.date.year, c.date.month, c.date.day),
                                             EncodeTime(c.time.hour, c.time.minute, c.time.second, c.time.ms));
    EXPECT_NEAR(joined, c.value, 1e-9);
  }
}

TEST(DateValue, RoundingCarriesIntoTheNextDayNeverToHour24) {
  struct Case {
    TDateTime value;
    Ymd date;
    Hnsm time;
  };
  const double almostMidnight = 86399999.6 / kMsPerDay;  // 23:59:59.9996
  const Case cases[] = {
      {45000 + almostMidnight, {2023, 3, 16}, {0, 0, 0, 0}},
      {45000 + 86399999.4 / kMsPerDay, {2023, 3, 15}, {23, 59, 59, 999}},
      {45000 + 59999.6 / kMsPerDay, {2023, 3, 15}, {0, 1, 0, 0}},
      // Before day 0 the time runs the other way in the value, but the day
      // still carries to the next calendar day.
      {-1 - almostMidnight, {1899, 12, 30}, {0, 0, 0, 0}},
      {-2 - almostMidnight, {1899, 12, 29}, {0, 0, 0, 0}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.value);
    ExpectDecodesTo(c.value, c.date, c.time);
  }
  EXPECT_EQ(DayOfWeek(45000 + almostMidnight), 5);  // Thursday, the day it rounds to
}

TEST(DateValue, DayOfWeekAcrossDayZero) {
  // 1899-12-30 is a Saturday (7); Sunday is 1.
  for (int day = -14; day <= 14; ++day) {
    const int expected = ((day + 6) % 7 + 7) % 7 + 1;
    EXPECT_EQ(DayOfWeek(day), expected) << day;
    EXPECT_EQ(DayOfWeek(day + (day < 0 ? -0.5 : 0.5)), expected) << day << " at noon";
  }
  EXPECT_EQ(DayOfWeek(0), 7);
  EXPECT_EQ(DayOfWeek(-1), 6);
  EXPECT_EQ(DayOfWeek(1), 1);
  EXPECT_EQ(DayOfWeek(-693593), 2);  // 0001-01-01, a Monday
  EXPECT_EQ(DayOfWeek(2958465), 6);  // 9999-12-31, a Friday
  EXPECT_EQ(DayOfWeek(45356), 3);    // 2024-03-05, a Tuesday
}

TEST(DateValue, IncMonthLimitsTheDayAndKeepsTheTime) {
  struct Case {
    Ymd from;
    int months;
    Ymd to;
  };
  const Case cases[] = {
      {{2024, 3, 31}, 1, {2024, 4, 30}},   {{2024, 1, 31}, 1, {2024, 2, 29}},  {{2023, 1, 31}, 1, {2023, 2, 28}},
      {{2024, 12, 15}, 1, {2025, 1, 15}},  {{2024, 1, 15}, -1, {2023, 12, 15}}, {{2024, 3, 31}, -1, {2024, 2, 29}},
      {{2024, 5, 31}, -15, {2023, 2, 28}}, {{2024, 2, 29}, 12, {2025, 2, 28}},  {{2024, 2, 29}, 48, {2028, 2, 29}},
      {{2024, 7, 4}, 0, {2024, 7, 4}},     {{1899, 12, 30}, -1, {1899, 11, 30}}, {{9999, 11, 30}, 1, {9999, 12, 30}},
      {{1, 2, 28}, -1, {1, 1, 28}},        {{2000, 1, 31}, -23977, {1, 12, 31}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.from.year << "-" << c.from.month << "-" << c.from.day << " + " << c.months);
    EXPECT_EQ(IncMonth(EncodeDate(c.from.year, c.from.month, c.from.day), c.months),
              EncodeDate(c.to.year, c.to.month, c.to.day));
  }
  EXPECT_EQ(IncMonth(45000.75), 45031.75);  // 2023-04-15 18:00
  EXPECT_EQ(IncMonth(-1.25), 30.25);        // 1899-12-29 06:00 -> 1900-01-29 06:00
  EXPECT_EQ(IncMonth(30.25, -1), -1.25);
  EXPECT_THROW(IncMonth(EncodeDate(9999, 12, 1), 1), EConvertError);
  EXPECT_THROW(IncMonth(EncodeDate(1, 1, 15), -1), EConvertError);
  EXPECT_THROW(IncMonth(45000, std::numeric_limits<int>::min()), EConvertError);
}

TEST(DateValue, JoinFollowsTheSignRule) {
  EXPECT_EQ(JoinDateAndTime(45000, 0.25), 45000.25);
  EXPECT_EQ(JoinDateAndTime(0, 0.5), 0.5);
  EXPECT_EQ(JoinDateAndTime(-1, 0.25), -1.25);
  EXPECT_EQ(JoinDateAndTime(-693593, 0.5), -693593.5);
  // Only the whole days of the date and the time of day of the time count.
  EXPECT_EQ(JoinDateAndTime(45000.9, 2.25), 45000.25);
  EXPECT_EQ(JoinDateAndTime(-1.9, -0.25), -1.25);
}

}  // namespace
