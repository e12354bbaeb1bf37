#include "templates/product_dates.h"

#include "platform/date_clock.h"
#include "platform/date_format.h"
#include "platform/datetime_value.h"
#include "platform/dialogs.h"
#include "platform/errors.h"
#include "platform/format.h"
#include "platform/text.h"

#include <algorithm>

namespace {

constexpr int FileDateBaseYear = 1980;
constexpr int LastFileDateYear = 2079;
const char* const DefaultFileDate = "010101";
const char* const DefaultDisplayDate = "01/01/81";
const char* const DefaultUsed = "Date 01/01/1981 will be used. ";

bool failed = false;

// Every failure sets the flag; the text is shown unless Quiet.
void Report(bool Quiet, const std::string& text) {
  failed = true;
  if (!Quiet) ShowMessage(text);
}

TDateTime DefaultDate() { return EncodeDate(1981, 1, 1); }

// Value's last Count decimal digits, zeros in front. REQUIRES: Value >= 0.
void PutDigits(char* To, int Value, int Count) {
  for (int i = Count - 1; i >= 0; --i, Value /= 10) To[i] = char('0' + Value % 10);
}

bool SixDigits(const std::string& s) {
  return s.size() == 6 && std::all_of(s.begin(), s.end(), [](char c) { return c >= '0' && c <= '9'; });
}

std::string NotANumberText(const std::string& S) {
  return "Invalid date - must be 6 integers. (" + S + ") " + DefaultUsed + CallMsg;
}

// YYMMDD split into display pieces, the stored digits as they stand.
struct TFileDateParts {
  std::string Year;       // four digits
  std::string ShortYear;  // two digits
  std::string Month;
  std::string Day;
};

// REQUIRES: six digits.
TFileDateParts SplitFileDate(const std::string& digits) {
  const int shifted = (digits[0] - '0') * 10 + (digits[1] - '0') + (FileDateBaseYear - 1900);
  const std::string century = IntToStr(shifted);
  TFileDateParts parts;
  // 80-99 are 1980-1999, 100-179 are 2000-2079.
  parts.Year = century.size() == 3 ? "20" + century.substr(1) : "19" + century;
  parts.ShortYear = Format("%.2d", shifted % 100);
  parts.Month = digits.substr(2, 2);
  parts.Day = digits.substr(4, 2);
  return parts;
}

// The pieces in the order the short date format starts with; False for a
// format that starts with none of D, M, Y.
bool ArrangeDate(const std::string& year, const std::string& month, const std::string& day, std::string& text) {
  const std::string& format = FormatSettings.ShortDateFormat;
  const std::string sep(1, FormatSettings.DateSeparator);
  switch (format.empty() ? '\0' : AnsiUpperChar(format[0])) {
    case 'D':
      text = day + sep + month + sep + year;
      return true;
    case 'M':
      text = month + sep + day + sep + year;
      return true;
    case 'Y':
      text = year + sep + month + sep + day;
      return true;
    default:
      return false;
  }
}

// A date value as a message names it: its date, or the number when it has none.
std::string DateText(TDateTime D) {
  int year, month, day;
  return TryDecodeDate(D, year, month, day) ? DateToStr(D) : FloatToStr(D);
}

void DisplayDate(const std::string& S, bool Quiet, std::string& Result, bool FourDigitYear) {
  Result = DefaultDisplayDate;
  const std::string digits = Trim(S);
  if (digits.size() != 6) {
    Report(Quiet, "Invalid CV file date length - Must be 6 integers. (" + S + ")  Can't convert to CV display date. " +
                      DefaultUsed + CallMsg);
    return;
  }
  if (!SixDigits(digits)) {
    Report(Quiet, NotANumberText(S));
    return;
  }
  const TFileDateParts parts = SplitFileDate(digits);
  std::string text;
  if (!ArrangeDate(FourDigitYear ? parts.Year : parts.ShortYear, parts.Month, parts.Day, text)) {
    Report(Quiet, "Invalid ShortDateFormat. Can't convert CV file date to CV display date. ShortDateFormat = " +
                      FormatSettings.ShortDateFormat + ". CV file date = " + S + ".  " + DefaultUsed + CallMsg);
    return;
  }
  Result = text;
}

}  // namespace

int16_t ElapsedYear = 0;

bool DateConversionFailed() { return failed; }
void ResetDateConversionFailed() { failed = false; }

void DateToFileDate(bool Quiet, std::string& Result, TDateTime D) {
  Result = DefaultFileDate;
  int year, month, day;
  // A year outside the window would not fit the two digits.
  if (!TryDecodeDate(D, year, month, day) || year < FileDateBaseYear || year > LastFileDateYear) {
    Report(Quiet, "Invalid date (" + DateText(D) + ") cannot convert to CV file format. " + DefaultUsed + CallMsg);
    return;
  }
  Result = Format("%.2d%.2d%.2d", year - FileDateBaseYear, month, day);
}

TDateTime FileDateToDate(const std::string& S, bool Quiet) {
  ElapsedYear = int16_t(CurrentYear() - FileDateBaseYear);
  const std::string digits = Trim(S);
  if (digits.size() != 6) {
    Report(Quiet, "Invalid date length - Must be 6 integers. (" + S + ") " + DefaultUsed + CallMsg);
    return DefaultDate();
  }
  if (!SixDigits(digits)) {
    Report(Quiet, NotANumberText(S));
    return DefaultDate();
  }
  const TFileDateParts parts = SplitFileDate(digits);
  std::string text;
  if (!ArrangeDate(parts.Year, parts.Month, parts.Day, text)) {
    Report(Quiet, "Invalid global date format " + FormatSettings.ShortDateFormat + DefaultUsed + CallMsg);
    return DefaultDate();
  }
  // Six digits need not name a calendar day (month 13, February 30).
  TDateTime value;
  try {
    value = StrToDate(text);
  } catch (const EConvertError& e) {
    Report(Quiet, e.Message);
    return DefaultDate();
  }
  return value;
}

void FileDateToDisplayDate(const std::string& S, bool Quiet, std::string& Result) {
  DisplayDate(S, Quiet, Result, true);
}

void FileDateToShortDisplayDate(const std::string& S, bool Quiet, std::string& Result) {
  DisplayDate(S, Quiet, Result, false);
}

void DateToYYYYMMDD(std::string& Result, TDateTime D) {
  int year, month, day;
  if (!TryDecodeDate(D, year, month, day)) {
    failed = true;
    throw EConvertError("Unable to decode date.");
  }
  // Every save stamps its record with this: digits placed directly, as
  // "%.4d%.2d%.2d" gives them for the years 1-9999 a date value holds.
  Result.resize(8);
  PutDigits(Result.data(), year, 4);
  PutDigits(Result.data() + 4, month, 2);
  PutDigits(Result.data() + 6, day, 2);
}
