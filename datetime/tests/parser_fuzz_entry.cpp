#include "datetime/tests/parser_fuzz_entry.h"

#include "datetime/date_text_parser.h"
#include "platform/date_format.h"
#include "platform/datetime_value.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string_view>

namespace {

bool IsDateResult(TDateTime value) {
  int year = 0, month = 0, day = 0;
  return value == 0 || (std::isfinite(value) && TryDecodeDate(value, year, month, day) && year >= 1 && year <= 9999);
}

bool IsTimeResult(TDateTime value) { return value >= 0 && value < 1; }

[[noreturn]] void Fail(const char* routine, std::string_view text, TDateTime value) {
  std::fprintf(stderr, "%s gave %.17g for the %zu bytes:", routine, value, text.size());
  for (const char c : text) std::fprintf(stderr, " %02X", static_cast<unsigned char>(c));
  const TFormatSettings& s = FormatSettings;
  std::fprintf(stderr, "\nwith ShortDateFormat \"%.*s\", TimeAMString \"%.*s\", TimePMString \"%.*s\"\n",
               static_cast<int>(s.ShortDateFormat.size()), s.ShortDateFormat.data(),
               static_cast<int>(s.TimeAMString.size()), s.TimeAMString.data(), static_cast<int>(s.TimePMString.size()),
               s.TimePMString.data());
  std::abort();
}

void Check(const char* routine, std::string_view text, TDateTime value, bool timeOnly, uint64_t& count) {
  if (!(timeOnly ? IsTimeResult(value) : IsDateResult(value))) Fail(routine, text, value);
  if (value != 0) ++count;
}

}  // namespace

TParserFuzzCounts& ParserFuzzCounts() {
  static TParserFuzzCounts counts;
  return counts;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  // The view ends where the input does: a read past it is a heap overflow.
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  TParserFuzzCounts& counts = ParserFuzzCounts();
  const TFormatSettings saved = FormatSettings;
  for (const char* order : {"M/d/yyyy", "d/M/yyyy", "yyyy/M/d"}) {
    for (const bool emptyMarkers : {false, true}) {
      FormatSettings.ShortDateFormat = order;
      FormatSettings.TimeAMString = emptyMarkers ? "" : saved.TimeAMString;
      FormatSettings.TimePMString = emptyMarkers ? "" : saved.TimePMString;
      Check("dwStrToDateTimeNoRaise", text, dwStrToDateTimeNoRaise(text), false, counts.DateTime);
      Check("dwStrToDateNoRaise", text, dwStrToDateNoRaise(text), false, counts.Date);
      Check("dwStrToTimeNoRaise", text, dwStrToTimeNoRaise(text), true, counts.Time);
    }
  }
  FormatSettings = saved;
  return 0;
}
