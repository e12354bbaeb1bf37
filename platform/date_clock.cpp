#include "platform/date_clock.h"

#include "platform/datetime_value.h"

// Date and Time round the clock to whole milliseconds as the decoders do:
// at 23:59:59.9996 Date is already tomorrow and Time is 0, never 24:00.

TDateTime Now() { return ClockNow(); }

TDateTime Date() {
  int year, month, day;
  DecodeDate(ClockNow(), year, month, day);
  return EncodeDate(year, month, day);
}

TDateTime Time() {
  int hour, minute, second, millisecond;
  DecodeTime(ClockNow(), hour, minute, second, millisecond);
  return EncodeTime(hour, minute, second, millisecond);
}

int CurrentYear() {
  int year, month, day;
  DecodeDate(ClockNow(), year, month, day);
  return year;
}
