// Date and time as text: the process-wide format settings, FormatDateTime and
// its shortcuts, the reading of date text, and the date controls' range error.
//
// The settings are Windows en-US and are never read from the machine (no
// LANG, LC_TIME or locale call): every machine shows the same texts. Code may
// change them (tests, start-up); ResetFormatSettings restores the defaults.
#pragma once

#include "platform/clock.h"
#include "platform/errors.h"

#include <array>
#include <cstddef>
#include <string>
#include <string_view>

struct TFormatSettings {
  std::string ShortDateFormat = "M/d/yyyy";
  char DateSeparator = '/';
  std::string LongDateFormat = "dddd, MMMM dd, yyyy";
  std::string ShortTimeFormat = "h:mm AMPM";
  std::string LongTimeFormat = "h:mm:ss AMPM";
  char TimeSeparator = ':';
  std::string TimeAMString = "AM";
  std::string TimePMString = "PM";
  // [0] is January.
  std::array<std::string, 12> ShortMonthNames = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                                 "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
  std::array<std::string, 12> LongMonthNames = {"January", "February", "March",     "April",   "May",      "June",
                                                "July",    "August",   "September", "October", "November", "December"};
  // [0] is Sunday, so DayOfWeek(V) - 1 indexes them.
  std::array<std::string, 7> ShortDayNames = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
  std::array<std::string, 7> LongDayNames = {"Sunday", "Monday", "Tuesday", "Wednesday", "Thursday", "Friday", "Saturday"};
  // The locale's first day of the week in the calendar's numbering
  // (0 = Monday ... 6 = Sunday): Sunday.
  int LocaleFirstDayOfWeek = 6;

  bool operator==(const TFormatSettings&) const = default;
};

extern TFormatSettings FormatSettings;
void ResetFormatSettings();

// Tokens, matched without case:
//   c        ShortDateFormat, then " " + LongTimeFormat unless the time is 00:00:00.000
//   d dd     day (dd with a leading zero); ddd dddd short/long day name;
//            ddddd ShortDateFormat; dddddd LongDateFormat
//   m mm     month (minutes right after an h/hh token); mmm mmmm short/long month name
//   yy yyyy  year in two digits / four digits zero-filled
//   h hh  n nn  s ss   hour, minute, second (two letters: leading zero)
//   t tt     ShortTimeFormat / LongTimeFormat
//   am/pm a/p  the format's own letters for before/after noon; ampm TimeAMString/TimePMString
//   /  :     DateSeparator / TimeSeparator
//   '...' "..."  copied without the quotes (an unterminated quote copies the rest)
// Every other character is copied. A run of one letter longer than its
// longest token is that token (ddddddd = dddddd, yyy = yyyy). With any AM/PM
// token in a format its hours run 1-12. A settings format named inside a
// settings format is expanded once more, never further.
// Raises EConvertError for a value outside the valid range.
std::string FormatDateTime(std::string_view format, TDateTime value);

// The format language as FormatDateTime reads it, one token at a time, for
// readers that need to know where each piece of the text comes from.
enum class TDateTokenKind {
  Text,           // copied as it stands (quoted text without its quotes)
  DateSeparator,  // '/'
  TimeSeparator,  // ':'
  AmPm,           // am/pm, a/p or ampm; Count is its length (5, 3, 4)
  DateTime,       // c
  Day,            // d dd ddd dddd ddddd dddddd...
  Month,          // m mm mmm mmmm...
  Minute,         // n nn..., and m mm right after an hour token
  Year,           // yy (1-2 letters), yyyy (3 or more)
  Hour,           // h hh...
  Second,         // s ss...
  Time,           // t (short), tt... (long)
};

struct TDateFormatToken {
  TDateTokenKind Kind = TDateTokenKind::Text;
  std::size_t Count = 0;  // letters of the run (AM/PM: characters of the token)
  std::string_view Text;  // as written; for Text the characters it copies
  std::string_view Source;  // the characters of the format it was read from, quotes included
};

class TDateFormatReader {
public:
  explicit TDateFormatReader(std::string_view format);
  // The next token; false at the end of the format.
  bool Next(TDateFormatToken& token);
  // Whether the format holds an AM/PM token: its hours then run 1-12.
  bool TwelveHour() const { return twelveHour_; }

private:
  std::string_view format_;
  std::size_t pos_ = 0;
  bool afterHour_ = false;  // the last token was an hour: m is minutes
  bool twelveHour_ = false;

  void Read(TDateFormatToken& token);
};

// The text of single tokens for one value, as FormatDateTime writes them.
// Raises EConvertError for a value outside the valid range.
class TDateTokenWriter {
public:
  explicit TDateTokenWriter(TDateTime value);
  // Appends the text of `token`, read from a format whose TwelveHour() is `twelveHour`.
  void Append(const TDateFormatToken& token, bool twelveHour, std::string& out) const;
  // Appends the text of a whole format.
  void AppendFormat(std::string_view format, std::string& out) const;

private:
  void Append(const TDateFormatToken& token, bool twelveHour, std::string& out, int depth) const;
  void AppendFormat(std::string_view format, std::string& out, int depth) const;

  int year_, month_, day_, hour_, minute_, second_, millisecond_, dayOfWeek_;
};

std::string DateToStr(TDateTime value);      // ShortDateFormat
std::string TimeToStr(TDateTime value);      // LongTimeFormat
std::string DateTimeToStr(TDateTime value);  // "c"

// Number, DateSeparator, number, optionally DateSeparator and a third number,
// blanks before each number and after the date, nothing else. The order comes
// from ShortDateFormat (GetDateOrder); two numbers take the clock's current
// year; a year of 0-99 follows ExpandTwoDigitYear; the day must exist.
// StrToDate raises EConvertError "'<text>' is not a valid date".
TDateTime StrToDate(const std::string& text);
bool TryStrToDate(const std::string& text, TDateTime& value);

// The pieces StrToDate reads with, for readers of richer date text.
// A cursor over text; Pos counts from 0.
struct TDateScanner {
  std::string_view Text;
  std::size_t Pos = 0;

  bool AtEnd() const { return Pos >= Text.size(); }
  void SkipBlanks();
  // Blanks, then `c`; on failure the position stays where it was.
  bool ScanChar(char c);
};

// Blanks, then decimal digits; false (position unchanged) when there is none.
// Very long numbers saturate above 9999, so they fail as a year, never overflow.
bool ScanDecimal(TDateScanner& scanner, int& value);

enum class TDateOrder { MonthDayYear, DayMonthYear, YearMonthDay };

// The first of D, M, Y (either case) in `shortDateFormat`; month-day-year without one.
TDateOrder GetDateOrder(std::string_view shortDateFormat);

// 0-50 become 2000-2050, 51-99 become 1951-1999; other years stay.
int ExpandTwoDigitYear(int year);

// Reads a date at the scanner, numbers by `scanNumber`, and the blanks after
// it. On failure the position stays where it was and `value` is untouched.
using TNumberScanner = bool (*)(TDateScanner&, int&);
bool ScanDate(TDateScanner& scanner, TDateTime& value, TNumberScanner scanNumber = ScanDecimal);

// The date controls' range error.
class EDateTimeError : public Exception {
public:
  using Exception::Exception;
};

inline constexpr char SDateExceedsMaximum[] = "Date exceeds maximum of %s";        // 65300
inline constexpr char SDateLessThanMinimum[] = "Date is less than minimum of %s";  // 65301

// The errors with the limit filled in by DateToStr.
EDateTimeError DateExceedsMaximumError(TDateTime maxDate);
EDateTimeError DateLessThanMinimumError(TDateTime minDate);
