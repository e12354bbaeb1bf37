#include "datetime/date_text_parser.h"

#include "platform/date_format.h"
#include "platform/datetime_value.h"
#include "platform/text.h"

#include <cstddef>

namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// The next three bytes as a month's short name, without case. Fewer than
// three bytes left never match, so the end of the text is never passed.
bool ScanMonthName(TDateScanner& scanner, int& month) {
  constexpr std::size_t kNameLength = 3;
  if (scanner.Text.size() - scanner.Pos < kNameLength) return false;
  const std::string_view candidate = scanner.Text.substr(scanner.Pos, kNameLength);
  const auto& names = FormatSettings.ShortMonthNames;
  for (std::size_t i = 0; i < names.size(); ++i) {
    if (AnsiSameText(candidate, names[i])) {
      month = static_cast<int>(i) + 1;
      scanner.Pos += kNameLength;
      return true;
    }
  }
  return false;
}

// Blanks, then digits until the value reaches 1000, or else a month's short
// name. The cap keeps a value within four digits and leaves the rest unread.
bool ScanNumber(TDateScanner& scanner, int& value) {
  const std::size_t start = scanner.Pos;
  scanner.SkipBlanks();
  const std::size_t digits = scanner.Pos;
  int number = 0;
  while (number < 1000 && !scanner.AtEnd() && IsDigit(scanner.Text[scanner.Pos])) {
    number = number * 10 + (scanner.Text[scanner.Pos] - '0');
    ++scanner.Pos;
  }
  if (scanner.Pos > digits) {
    value = number;
    return true;
  }
  if (ScanMonthName(scanner, value)) return true;
  scanner.Pos = start;
  return false;
}

// Blanks, then `text` without case on exactly its length. An empty text
// matches nothing: matching it everywhere would read every time as AM.
bool ScanText(TDateScanner& scanner, std::string_view text) {
  const std::size_t start = scanner.Pos;
  scanner.SkipBlanks();
  if (!text.empty() && scanner.Text.size() - scanner.Pos >= text.size() &&
      AnsiSameText(scanner.Text.substr(scanner.Pos, text.size()), text)) {
    scanner.Pos += text.size();
    return true;
  }
  scanner.Pos = start;
  return false;
}

enum class TMarker { None, AM, PM };

TMarker ScanMarker(TDateScanner& scanner) {
  if (ScanText(scanner, FormatSettings.TimeAMString) || ScanText(scanner, "AM")) return TMarker::AM;
  if (ScanText(scanner, FormatSettings.TimePMString) || ScanText(scanner, "PM")) return TMarker::PM;
  return TMarker::None;
}

// A time at the scanner and the blanks after it.
bool ScanTime(TDateScanner& scanner, TDateTime& value) {
  const char separator = FormatSettings.TimeSeparator;
  int hour = 0, minute = 0, second = 0;
  if (!ScanNumber(scanner, hour) || !scanner.ScanChar(separator) || !ScanNumber(scanner, minute)) return false;
  if (scanner.ScanChar(separator) && !ScanNumber(scanner, second)) return false;
  const TMarker marker = ScanMarker(scanner);
  if (marker != TMarker::None) {
    if (hour < 1 || hour > 12) return false;
    if (hour == 12) hour = 0;
    if (marker == TMarker::PM) hour += 12;
  }
  scanner.SkipBlanks();
  return TryEncodeTime(hour, minute, second, 0, value);
}

// Runs a parse that answers 0 on failure; nothing it throws gets out.
template <class Parse>
TDateTime NoRaise(std::string_view text, Parse parse) noexcept {
  try {
    TDateScanner scanner{text};
    return parse(scanner);
  } catch (...) {
    return 0;
  }
}

}  // namespace

TDateTime dwStrToDateTimeNoRaise(std::string_view S) noexcept {
  return NoRaise(S, [](TDateScanner& scanner) -> TDateTime {
    TDateTime date = 0, time = 0;
    if (!ScanDate(scanner, date, ScanNumber) || !ScanTime(scanner, time) || !scanner.AtEnd()) return 0;
    // Before 1899-12-30 the time counts away from the day.
    return JoinDateAndTime(date, time);
  });
}

TDateTime dwStrToDateNoRaise(std::string_view S) noexcept {
  return NoRaise(S, [](TDateScanner& scanner) -> TDateTime {
    TDateTime date = 0;
    return ScanDate(scanner, date, ScanNumber) ? date : 0;
  });
}

TDateTime dwStrToTimeNoRaise(std::string_view S) noexcept {
  return NoRaise(S, [](TDateScanner& scanner) -> TDateTime {
    TDateTime time = 0;
    return ScanTime(scanner, time) && scanner.AtEnd() ? time : 0;
  });
}
