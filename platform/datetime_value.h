// The date value and its calendar arithmetic.
//
// A TDateTime counts days since 1899-12-30; the fraction is the time of day.
// Before 1899-12-30 the integral part is still the day and the fraction's
// absolute value is the time: -1.25 is 1899-12-29 06:00. Valid values run
// from 0001-01-01 (-693593) to 9999-12-31 (2958465) with any time.
//
// Every routine rounds a value to whole milliseconds once and splits it into
// day and time from that, so 23:59:59.9996 is the next day at 00:00:00.000
// and date and time of one value always agree. Invalid arguments and values
// (out of range, NaN, infinite) raise EConvertError; the Try forms answer false.
#pragma once

#include "platform/clock.h"

constexpr TDateTime kMinDateTime = -693593.0;  // 0001-01-01 00:00
constexpr TDateTime kMaxDateTime = 2958465.0;  // 9999-12-31 00:00 (its times are valid too)
constexpr double kMsPerDay = 86400000.0;

// Divisible by 4 and not by 100, or by 400.
bool IsLeapYear(int year);

// 28 to 31; 0 for a month outside 1-12.
int DaysInMonth(int year, int month);

bool TryEncodeDate(int year, int month, int day, TDateTime& value);
TDateTime EncodeDate(int year, int month, int day);
bool TryDecodeDate(TDateTime value, int& year, int& month, int& day);
void DecodeDate(TDateTime value, int& year, int& month, int& day);

// The time of day as a fraction in [0, 1).
bool TryEncodeTime(int hour, int minute, int second, int millisecond, TDateTime& value);
TDateTime EncodeTime(int hour, int minute, int second, int millisecond);
void DecodeTime(TDateTime value, int& hour, int& minute, int& second, int& millisecond);

// 1 = Sunday ... 7 = Saturday.
int DayOfWeek(TDateTime value);

// Moves by whole months (months < 0 goes back). A day the target month lacks
// becomes its last day (Mar 31 + 1 month is Apr 30); the time of day is kept.
TDateTime IncMonth(TDateTime value, int months = 1);

// One value from the whole days of `date` and the time of day of `time`,
// by the sign rule above: date + time, or date - time before 1899-12-30.
TDateTime JoinDateAndTime(TDateTime date, TDateTime time);
