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

// Zero-filled to `digits`, never cut.
void AppendNumber(std::string& out, int number, std::size_t digits) {
  out += Format("%.*d", static_cast<int>(digits), number);
}

TDateTokenKind LetterKind(char letter, bool afterHour, std::size_t count) {
  switch (letter) {
    case 'C': return TDateTokenKind::DateTime;
    case 'D': return TDateTokenKind::Day;
    case 'M': return afterHour && count <= 2 ? TDateTokenKind::Minute : TDateTokenKind::Month;
    case 'N': return TDateTokenKind::Minute;
    case 'Y': return TDateTokenKind::Year;
    case 'H': return TDateTokenKind::Hour;
    case 'S': return TDateTokenKind::Second;
    case 'T': return TDateTokenKind::Time;
    default: return TDateTokenKind::Text;
  }
}

// The caller's format is depth 0; a settings format it names is 1 and may
// name one more (2). Deeper ones add nothing, so formats that name each
// other cannot recurse.
constexpr int kDeepestSettingsFormat = 2;

}  // namespace

TDateFormatReader::TDateFormatReader(std::string_view format) : format_(format), twelveHour_(HasAmPmToken(format)) {}

bool TDateFormatReader::Next(TDateFormatToken& token) {
  if (pos_ >= format_.size()) return false;
  const std::size_t start = pos_;
  Read(token);
  token.Source = format_.substr(start, pos_ - start);
  return true;
}

void TDateFormatReader::Read(TDateFormatToken& token) {
  const std::size_t i = pos_;
  const char c = format_[i];
  if (IsQuote(c)) {
    const std::size_t close = QuoteClose(format_, i);
    token = {TDateTokenKind::Text, close - i - 1, format_.substr(i + 1, close - i - 1), {}};
    pos_ = close + 1;
    return;
  }
  if (c == '/' || c == ':') {
    token = {c == '/' ? TDateTokenKind::DateSeparator : TDateTokenKind::TimeSeparator, 1, format_.substr(i, 1), {}};
    ++pos_;
    return;
  }
  const char letter = AsciiUpper(c);
  if (letter == 'A') {
    const std::size_t length = AmPmTokenLength(format_, i);
    if (length == 0) {
      token = {TDateTokenKind::Text, 1, format_.substr(i, 1), {}};
    } else {
      token = {TDateTokenKind::AmPm, length, format_.substr(i, length), {}};
      afterHour_ = false;
    }
    pos_ += std::max<std::size_t>(length, 1);
    return;
  }
  std::size_t count = 1;
  while (i + count < format_.size() && AsciiUpper(format_[i + count]) == letter) ++count;
  const TDateTokenKind kind = LetterKind(letter, afterHour_, count);
  token = {kind, count, format_.substr(i, count), {}};
  // Text, like separators, keeps an hour before it: "h.m" still has minutes.
  if (kind != TDateTokenKind::Text) afterHour_ = kind == TDateTokenKind::Hour;
  pos_ += count;
}

TDateTokenWriter::TDateTokenWriter(TDateTime value) {
  DecodeDate(value, year_, month_, day_);
  DecodeTime(value, hour_, minute_, second_, millisecond_);
  dayOfWeek_ = DayOfWeek(value);
}

void TDateTokenWriter::Append(const TDateFormatToken& token, bool twelveHour, std::string& out) const {
  Append(token, twelveHour, out, 0);
}

void TDateTokenWriter::AppendFormat(std::string_view format, std::string& out) const { AppendFormat(format, out, 0); }

void TDateTokenWriter::AppendFormat(std::string_view format, std::string& out, int depth) const {
  if (depth > kDeepestSettingsFormat) return;
  TDateFormatReader reader(format);
  TDateFormatToken token;
  while (reader.Next(token)) Append(token, reader.TwelveHour(), out, depth);
}

void TDateTokenWriter::Append(const TDateFormatToken& token, bool twelveHour, std::string& out, int depth) const {
  const std::size_t count = token.Count;
  const std::size_t digits = count >= 2 ? 2 : 1;
  switch (token.Kind) {
    case TDateTokenKind::Text:
      out.append(token.Text);
      break;
    case TDateTokenKind::DateSeparator:
      out += FormatSettings.DateSeparator;
      break;
    case TDateTokenKind::TimeSeparator:
      out += FormatSettings.TimeSeparator;
      break;
    case TDateTokenKind::AmPm: {
      const bool am = hour_ < 12;
      if (count == 4) {
        out += am ? FormatSettings.TimeAMString : FormatSettings.TimePMString;
      } else if (count == 5) {
        out.append(am ? token.Text.substr(0, 2) : token.Text.substr(3, 2));
      } else {
        out += am ? token.Text[0] : token.Text[2];
      }
      break;
    }
    case TDateTokenKind::DateTime:
      AppendFormat(FormatSettings.ShortDateFormat, out, depth + 1);
      if (hour_ != 0 || minute_ != 0 || second_ != 0 || millisecond_ != 0) {
        out += ' ';
        AppendFormat(FormatSettings.LongTimeFormat, out, depth + 1);
      }
      break;
    case TDateTokenKind::Day:
      if (count <= 2) {
        AppendNumber(out, day_, count);
      } else if (count == 3) {
        out += FormatSettings.ShortDayNames[dayOfWeek_ - 1];
      } else if (count == 4) {
        out += FormatSettings.LongDayNames[dayOfWeek_ - 1];
      } else {
        AppendFormat(count == 5 ? FormatSettings.ShortDateFormat : FormatSettings.LongDateFormat, out, depth + 1);
      }
      break;
    case TDateTokenKind::Month:
      if (count <= 2) {
        AppendNumber(out, month_, count);
      } else {
        out += (count == 3 ? FormatSettings.ShortMonthNames : FormatSettings.LongMonthNames)[month_ - 1];
      }
      break;
    case TDateTokenKind::Minute:
      AppendNumber(out, minute_, digits);
      break;
    case TDateTokenKind::Year:
      if (count <= 2) {
        AppendNumber(out, year_ % 100, 2);
      } else {
        AppendNumber(out, year_, 4);
      }
      break;
    case TDateTokenKind::Hour:
      AppendNumber(out, twelveHour ? (hour_ + 11) % 12 + 1 : hour_, digits);
      break;
    case TDateTokenKind::Second:
      AppendNumber(out, second_, digits);
      break;
    case TDateTokenKind::Time:
      AppendFormat(count == 1 ? FormatSettings.ShortTimeFormat : FormatSettings.LongTimeFormat, out, depth + 1);
      break;
  }
}

std::string FormatDateTime(std::string_view format, TDateTime value) {
  std::string out;
  TDateTokenWriter(value).AppendFormat(format, out);
  return out;
}

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
