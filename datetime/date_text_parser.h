// Date and time text to a date value without raising, for pasted text.
//
// Every failure answers 0, which is also 1899-12-30 at midnight: a caller
// cannot tell the two apart and treats 0 as "not parsed" ("0:00" fails too).
//
// The text is bytes (Windows-1252; NUL and bytes >= 0x80 are ordinary bytes)
// and is never read past the view's end. The format settings are read at
// each call: ShortDateFormat (the date order), DateSeparator, TimeSeparator,
// TimeAMString, TimePMString and ShortMonthNames; two-number dates take the
// year from the program clock.
//
// A date is number, separator, number and optionally separator and number,
// in the order of ShortDateFormat. A number is digits, read until its value
// has reached 1000 ("12345" reads 1234 and leaves "5"), or a month's short
// name in any case and in any position ("mar/4/2001"; only three letters are
// read, so "march" fails). A three-number date's year of 0-50 becomes
// 2000-2050 and 51-99 becomes 1951-1999, whatever its digits ("0050" is 2050).
//
// A time is hour, separator, minute and optionally separator and second, then
// optionally a marker: TimeAMString, "AM", TimePMString or "PM", without case.
// With a marker the hour must be 1-12; 12 means 0 and PM adds 12. An empty
// marker setting matches nothing.
//
// Blanks (the blank character only) may stand before every number, separator
// and marker and after the date and the time.
#pragma once

#include "platform/clock.h"

#include <string_view>

// Date and time; the whole text must be read.
TDateTime dwStrToDateTimeNoRaise(std::string_view S) noexcept;
// The date at the start of the text; what follows it is ignored.
TDateTime dwStrToDateNoRaise(std::string_view S) noexcept;
// A time of day; the whole text must be read.
TDateTime dwStrToTimeNoRaise(std::string_view S) noexcept;
