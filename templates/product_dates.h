// The product family's file dates: six digits "YYMMDD" with YY = year - 1980,
// so 00-99 cover 1980-2079 (the work date on the command line, the batch
// records, the family's files), and the template files' eight digits
// "YYYYMMDD". Conversions to and from TDateTime and the display text of
// the short date format.
//
// A value that cannot be converted gives the default, 1 January 1981
// ("010101", display "01/01/81"), shows why through the dialog seam unless
// Quiet, and sets the conversion-failure flag. The flag stays set until
// ResetDateConversionFailed: the start-up clears it, converts its work date
// three ways and then asks whether any of them failed.
#pragma once

#include "platform/clock.h"

#include <cstdint>
#include <string>

// The last line of every message here.
inline constexpr char CallMsg[] = "\r\rPlease call Ondral, Inc. for assistance.";

// The current year - 1980, set by every FileDateToDate.
extern int16_t ElapsedYear;

bool DateConversionFailed();
void ResetDateConversionFailed();

// Result: "YYMMDD" of D; "010101" for a value that has no date or whose
// year lies outside 1980-2079.
void DateToFileDate(bool Quiet, std::string& Result, TDateTime D);

// The date of a product file date, read by the short date format's order;
// 1 January 1981 when it has not six digits or names no calendar day, or
// when the format starts with none of D, M, Y.
TDateTime FileDateToDate(const std::string& S, bool Quiet = false);

// The display text in the short date format's order and separator, the
// stored digits as they stand, with a four-digit (FileDateToDisplayDate)
// or two-digit year; "01/01/81" when S cannot be converted. The day is not
// checked against the calendar.
void FileDateToDisplayDate(const std::string& S, bool Quiet, std::string& Result);
void FileDateToShortDisplayDate(const std::string& S, bool Quiet, std::string& Result);

// Result: "YYYYMMDD"; raises EConvertError "Unable to decode date." for a
// value that has no date.
void DateToYYYYMMDD(std::string& Result, TDateTime D);
