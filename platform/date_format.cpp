#include "platform/date_format.h"

#include "platform/date_clock.h"
#include "platform/datetime_value.h"
#include "platform/format.h"

#include <algorithm>
#include <string>
#include <utility>

TFormatSettings FormatSettings;

void ResetFormatSettings() { FormatSettings = TFormatSettings{}; }

namespace {

// ASCII only: the tokens are ASCII and the machine's locale must not matter.
char AsciiUpper(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }

bool StartsWithNoCase(std::string_view text, std::size_t pos, std::string_view prefix) {
  if (text.size() - pos < prefix.size()) return false;
  for (std::size_t i = 0; i < prefix.size(); ++i) {
    if (AsciiUpper(text[pos + i]) != AsciiUpper(prefix[i])) return false;
  }
  return true;
}

// Length of the AM/PM token at `pos` (am/pm 5, ampm 4, a/p 3), else 0.
std::size_t AmPmTokenLength(std::string_view format, std::size_t pos) {
  if (StartsWithNoCase(format, pos, "am/pm")) return 5;
  if (StartsWithNoCase(format, pos, "ampm")) return 4;
  if (StartsWithNoCase(format, pos, "a/p")) return 3;
  return 0;
}

bool IsQuote(char c) { return c == '\'' || c == '"'; }

// Position of the quote that closes the one at `pos`; the format's end when none does.
std::size_t QuoteClose(std::string_view format, std::size_t pos) {
  return std::min(format.find(format[pos], pos + 1), format.size());
}

bool HasAmPmToken(std::string_view format) {
  for (std::size_t i = 0; i < format.size();) {
    if (IsQuote(format[i])) {
      i = QuoteClose(format, i) + 1;
    } else if (AmPmTokenLength(format, i) > 0) {
      return true;
    } else {
      ++i;
    }
  }
  return false;
}

class DateTimeWriter {
public:
  explicit DateTimeWriter(TDateTime value) {
    DecodeDate(value, year_, month_, day_);
    DecodeTime(value, hour_, minute_, second_, millisecond_);
    dayOfWeek_ = DayOfWeek(value);
  }

  std::string Write(std::string_view format) {
    Append(format, 0);
    return std::move(out_);
  }

private:
  // The caller's format is depth 0; a settings format it names is 1 and may
  // name one more (2). Deeper ones add nothing, so formats that name each
  // other cannot recurse.
  static constexpr int kDeepestSettingsFormat = 2;

  void Append(std::string_view format, int depth) {
    if (depth > kDeepestSettingsFormat) return;
    const bool twelveHour = HasAmPmToken(format);
    bool afterHour = false;  // the last token was h or hh
    std::size_t i = 0;
    while (i < format.size()) {
      const char c = format[i];
      if (IsQuote(c)) {
        const std::size_t close = QuoteClose(format, i);
        out_.append(format.substr(i + 1, close - i - 1));
        i = close + 1;
        continue;
      }
      if (c == '/' || c == ':') {
        out_ += c == '/' ? FormatSettings.DateSeparator : FormatSettings.TimeSeparator;
        ++i;
        continue;
      }
      const char letter = AsciiUpper(c);
      if (letter == 'A') {
        const std::size_t length = AmPmTokenLength(format, i);
        if (length == 0) {
          out_ += c;
          ++i;
          continue;
        }
        AppendAmPm(format.substr(i, length));
        afterHour = false;
        i += length;
        continue;
      }
      std::size_t count = 1;
      while (i + count < format.size() && AsciiUpper(format[i + count]) == letter) ++count;
      const bool hourBefore = afterHour;
      afterHour = false;
      switch (letter) {
        case 'C':
          Append(FormatSettings.ShortDateFormat, depth + 1);
          if (hour_ != 0 || minute_ != 0 || second_ != 0 || millisecond_ != 0) {
            out_ += ' ';
            Append(FormatSettings.LongTimeFormat, depth + 1);
          }
          break;
        case 'D':
          AppendDay(count, depth);
          break;
        case 'M':
          if (hourBefore && count <= 2) {
            AppendNumber(minute_, count);
          } else {
            AppendMonth(count);
          }
          break;
        case 'Y':
          if (count <= 2) {
            AppendNumber(year_ % 100, 2);
          } else {
            AppendNumber(year_, 4);
          }
          break;
        case 'H':
          AppendNumber(twelveHour ? (hour_ + 11) % 12 + 1 : hour_, count >= 2 ? 2 : 1);
          afterHour = true;
          break;
        case 'N':
          AppendNumber(minute_, count >= 2 ? 2 : 1);
          break;
        case 'S':
          AppendNumber(second_, count >= 2 ? 2 : 1);
          break;
        case 'T':
          Append(count == 1 ? FormatSettings.ShortTimeFormat : FormatSettings.LongTimeFormat, depth + 1);
          break;
        default:
          // Text, like separators: an h before it still makes m minutes.
          out_.append(format.substr(i, count));
          afterHour = hourBefore;
          break;
      }
      i += count;
    }
  }

  void AppendDay(std::size_t count, int depth) {
    switch (count) {
      case 1:
      case 2:
        AppendNumber(day_, count);
        break;
      case 3:
        out_ += FormatSettings.ShortDayNames[dayOfWeek_ - 1];
        break;
      case 4:
        out_ += FormatSettings.LongDayNames[dayOfWeek_ - 1];
        break;
      case 5:
        Append(FormatSettings.ShortDateFormat, depth + 1);
        break;
      default:
        Append(FormatSettings.LongDateFormat, depth + 1);
        break;
    }
  }

  void AppendMonth(std::size_t count) {
    if (count <= 2) {
      AppendNumber(month_, count);
    } else if (count == 3) {
      out_ += FormatSettings.ShortMonthNames[month_ - 1];
    } else {
      out_ += FormatSettings.LongMonthNames[month_ - 1];
    }
  }

  // `token` is am/pm, a/p or ampm as written in the format.
  void AppendAmPm(std::string_view token) {
    const bool am = hour_ < 12;
    if (token.size() == 4) {
      out_ += am ? FormatSettings.TimeAMString : FormatSettings.TimePMString;
    } else if (token.size() == 5) {
      out_.append(am ? token.substr(0, 2) : token.substr(3, 2));
    } else {
      out_ += am ? token[0] : token[2];
    }
  }

  // Zero-filled to `digits`, never cut.
  void AppendNumber(int number, std::size_t digits) { out_ += Format("%.*d", static_cast<int>(digits), number); }

  int year_, month_, day_, hour_, minute_, second_, millisecond_, dayOfWeek_;
  std::string out_;
};

}  // namespace

std::string FormatDateTime(std::string_view format, TDateTime value) { return DateTimeWriter(value).Write(format); }

std::string DateToStr(TDateTime value) { return FormatDateTime(FormatSettings.ShortDateFormat, value); }
std::string TimeToStr(TDateTime value) { return FormatDateTime(FormatSettings.LongTimeFormat, value); }
std::string DateTimeToStr(TDateTime value) { return FormatDateTime("c", value); }

void TDateScanner::SkipBlanks() {
  while (Pos < Text.size() && Text[Pos] == ' ') ++Pos;
}

bool TDateScanner::ScanChar(char c) {
  const std::size_t start = Pos;
  if (c != ' ') SkipBlanks();  // a blank separator must not be skipped as a blank
  if (Pos < Text.size() && Text[Pos] == c) {
    ++Pos;
    return true;
  }
  Pos = start;
  return false;
}

bool ScanDecimal(TDateScanner& scanner, int& value) {
  const std::size_t start = scanner.Pos;
  scanner.SkipBlanks();
  if (scanner.AtEnd() || !IsDigit(scanner.Text[scanner.Pos])) {
    scanner.Pos = start;
    return false;
  }
  int number = 0;
  for (; !scanner.AtEnd() && IsDigit(scanner.Text[scanner.Pos]); ++scanner.Pos) {
    if (number < 100000) number = number * 10 + (scanner.Text[scanner.Pos] - '0');
  }
  value = number;
  return true;
}

TDateOrder GetDateOrder(std::string_view shortDateFormat) {
  for (const char c : shortDateFormat) {
    switch (AsciiUpper(c)) {
      case 'D':
        return TDateOrder::DayMonthYear;
      case 'Y':
        return TDateOrder::YearMonthDay;
      case 'M':
        return TDateOrder::MonthDayYear;
    }
  }
  return TDateOrder::MonthDayYear;
}

int ExpandTwoDigitYear(int year) {
  if (year < 0 || year > 99) return year;
  return year <= 50 ? 2000 + year : 1900 + year;
}

bool ScanDate(TDateScanner& scanner, TDateTime& value, TNumberScanner scanNumber) {
  const std::size_t start = scanner.Pos;
  const char separator = FormatSettings.DateSeparator;
  const TDateOrder order = GetDateOrder(FormatSettings.ShortDateFormat);
  int first = 0, second = 0, third = 0;
  int year = 0, month = 0, day = 0;
  bool read = scanNumber(scanner, first) && scanner.ScanChar(separator) && scanNumber(scanner, second);
  if (read && scanner.ScanChar(separator)) {
    read = scanNumber(scanner, third);
    switch (order) {
      case TDateOrder::MonthDayYear:
        month = first, day = second, year = third;
        break;
      case TDateOrder::DayMonthYear:
        day = first, month = second, year = third;
        break;
      case TDateOrder::YearMonthDay:
        year = first, month = second, day = third;
        break;
    }
    year = ExpandTwoDigitYear(year);
  } else if (read) {
    year = CurrentYear();
    if (order == TDateOrder::DayMonthYear) {
      day = first, month = second;
    } else {
      month = first, day = second;
    }
  }
  TDateTime date;
  if (!read || !TryEncodeDate(year, month, day, date)) {
    scanner.Pos = start;
    return false;
  }
  scanner.SkipBlanks();
  value = date;
  return true;
}

bool TryStrToDate(const std::string& text, TDateTime& value) {
  TDateScanner scanner{text};
  TDateTime date;
  if (!ScanDate(scanner, date) || !scanner.AtEnd()) return false;
  value = date;
  return true;
}

TDateTime StrToDate(const std::string& text) {
  TDateTime value;
  if (!TryStrToDate(text, value)) throw EConvertError("'" + text + "' is not a valid date");
  return value;
}

EDateTimeError DateExceedsMaximumError(TDateTime maxDate) {
  return EDateTimeError(Format(SDateExceedsMaximum, DateToStr(maxDate)));
}

EDateTimeError DateLessThanMinimumError(TDateTime minDate) {
  return EDateTimeError(Format(SDateLessThanMinimum, DateToStr(minDate)));
}
