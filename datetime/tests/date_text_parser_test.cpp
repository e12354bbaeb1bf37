#include "datetime/date_text_parser.h"

#include "platform/date_format.h"
#include "platform/datetime_value.h"
#include "testing/clock_fixture.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <random>
#include <string>
#include <string_view>

using namespace std::string_view_literals;

namespace {

enum class Settings {
  US,              // M/d/yyyy, "/", ":", AM/PM
  DayMonthYear,    // dd.mm.yyyy, ".", "."
  YearMonthDay,    // yyyy-MM-dd, "-"
  NoOrderLetters,  // a short date format without d, m or y
  LocalMarkers,    // "vorm." / "nachm."
  EmptyMarkers,    // "" / ""
};

void Apply(Settings settings) {
  ResetFormatSettings();
  TFormatSettings& s = FormatSettings;
  switch (settings) {
    case Settings::US:
      break;
    case Settings::DayMonthYear:
      s.ShortDateFormat = "dd.mm.yyyy";
      s.DateSeparator = '.';
      s.TimeSeparator = '.';
      break;
    case Settings::YearMonthDay:
      s.ShortDateFormat = "yyyy-MM-dd";
      s.DateSeparator = '-';
      break;
    case Settings::NoOrderLetters:
      s.ShortDateFormat = "#";
      break;
    case Settings::LocalMarkers:
      s.TimeAMString = "vorm.";
      s.TimePMString = "nachm.";
      break;
    case Settings::EmptyMarkers:
      s.TimeAMString = "";
      s.TimePMString = "";
      break;
  }
}

// Every test runs on 2024-06-15 10:00 with its own settings, and leaves the defaults.
class DateTextParser : public testing::Test {
protected:
  void SetUp() override { ResetFormatSettings(); }
  void TearDown() override { ResetFormatSettings(); }
  ScopedClock clock_{EncodeDate(2024, 6, 15) + EncodeTime(10, 0, 0, 0)};
};

TDateTime D(int y, int m, int d) { return EncodeDate(y, m, d); }
TDateTime T(int h, int n, int s = 0) { return EncodeTime(h, n, s, 0); }
TDateTime DT(int y, int m, int d, int h, int n, int s = 0) { return JoinDateAndTime(D(y, m, d), T(h, n, s)); }
constexpr TDateTime kFails = 0;

enum Routine { DateTime, Date, Time };

TDateTime Parse(Routine routine, std::string_view text) {
  switch (routine) {
    case DateTime:
      return dwStrToDateTimeNoRaise(text);
    case Date:
      return dwStrToDateNoRaise(text);
    case Time:
      return dwStrToTimeNoRaise(text);
  }
  return -1;
}

const char* NameOf(Routine routine) {
  return routine == DateTime ? "DateTime" : routine == Date ? "Date" : "Time";
}

struct Row {
  Settings settings;
  std::string_view text;
  Routine routine;
  TDateTime expected;
};

TEST_F(DateTextParser, Table) {
  using enum Settings;
  const Row rows[] = {
      // Two numbers take the clock's year; a three-number year of 0-99 is widened.
      {US, "3/4", Date, D(2024, 3, 4)},
      {US, "3/4/50", Date, D(2050, 3, 4)},
      {US, "3/4/51", Date, D(1951, 3, 4)},
      {US, "3/4/2001", Date, D(2001, 3, 4)},
      {US, "3/4/", Date, kFails},
      {US, "3/", Date, kFails},
      {US, "3", Date, kFails},
      {US, "", Date, kFails},
      {US, "   ", Date, kFails},
      {US, "/3/4", Date, kFails},
      {US, "3//4", Date, kFails},
      // A number stops once its value has reached 1000.
      {US, "3/4/99999", Date, D(9999, 3, 4)},
      {US, "3/4/99999 1:00", DateTime, kFails},
      {US, "3/4/10000", Date, D(1000, 3, 4)},
      {US, "00003/00004/02001", Date, D(2001, 3, 4)},
      // Years by value, not by digits.
      {US, "1/1/1", Date, D(2001, 1, 1)},
      {US, "1/1/0001", Date, D(2001, 1, 1)},
      {US, "1/1/00", Date, D(2000, 1, 1)},
      {US, "1/1/0000", Date, D(2000, 1, 1)},
      {US, "1/1/0050", Date, D(2050, 1, 1)},
      {US, "1/1/0051", Date, D(1951, 1, 1)},
      {US, "1/1/99", Date, D(1999, 1, 1)},
      {US, "1/1/0099", Date, D(1999, 1, 1)},
      {US, "1/1/100", Date, D(100, 1, 1)},
      {US, "1/1/0100", Date, D(100, 1, 1)},
      {US, "12/31/9999", Date, D(9999, 12, 31)},
      {US, "12/31/9999 11:59:59 PM", DateTime, DT(9999, 12, 31, 23, 59, 59)},
      // Days and months.
      {US, "2/29/2024", Date, D(2024, 2, 29)},
      {US, "2/29", Date, D(2024, 2, 29)},
      {US, "2/29/2023", Date, kFails},
      {US, "2/29/1900", Date, kFails},
      {US, "2/29/2000", Date, D(2000, 2, 29)},
      {US, "2/30/2024", Date, kFails},
      {US, "4/31/2001", Date, kFails},
      {US, "12/31/2001", Date, D(2001, 12, 31)},
      {US, "0/1/2001", Date, kFails},
      {US, "13/1/2001", Date, kFails},
      {US, "1/0/2001", Date, kFails},
      {US, "1/32/2001", Date, kFails},
      // Month names as numbers, in any position and any case; three letters only.
      {US, "mar/4/2001", Date, D(2001, 3, 4)},
      {US, "MAR/4/2001", Date, D(2001, 3, 4)},
      {US, "dEc/25", Date, D(2024, 12, 25)},
      {US, "4/Mar/2001", Date, D(2001, 4, 3)},
      {US, "3/4/mar", Date, D(2003, 3, 4)},
      {US, " Mar / 4 / 2001", Date, D(2001, 3, 4)},
      {US, "march/4/2001", Date, kFails},
      {US, "Mar4/2001", Date, kFails},
      {US, "3/Ju", Date, kFails},
      {US, "3/4/Ma", Date, kFails},
      {US, "3/4/M", Date, kFails},
      {US, "Ma", Date, kFails},
      // Blanks, and only blanks, around every piece.
      {US, " 3 / 4 / 2001 ", Date, D(2001, 3, 4)},
      {US, "3 / 4 / 2001  10 : 15 : 30  pm  ", DateTime, DT(2001, 3, 4, 22, 15, 30)},
      {US, "\t3/4/2001", Date, kFails},
      {US, "3/4/2001 1:00\t", DateTime, kFails},
      {US, " 10 : 15 ", Time, T(10, 15)},
      // What follows the date.
      {US, "3/4/2001 extra", Date, D(2001, 3, 4)},
      {US, "3/4/2001 extra", DateTime, kFails},
      {US, "3/4/2001", DateTime, kFails},
      {US, "3/4/2001 10:15", DateTime, DT(2001, 3, 4, 10, 15)},
      {US, "3/4 10:15", DateTime, DT(2024, 3, 4, 10, 15)},
      {US, "3/4/2001 10:15 x", DateTime, kFails},
      {US, "3/4/2001\0 10:15"sv, Date, D(2001, 3, 4)},
      {US, "3/4/2001\0 10:15"sv, DateTime, kFails},
      {US, "3/4/2001 \xFF", Date, D(2001, 3, 4)},
      {US, "10:15 x", Time, kFails},
      {US, "10:15\0"sv, Time, kFails},
      // Times.
      {US, "12:30 PM", Time, T(12, 30)},
      {US, "12:30 AM", Time, T(0, 30)},
      {US, "13:30 PM", Time, kFails},
      {US, "0:30 AM", Time, kFails},
      {US, "12:00:01 am", Time, T(0, 0, 1)},
      {US, "1:05pm", Time, T(13, 5)},
      {US, "1:05 Pm", Time, T(13, 5)},
      {US, "11:59:59 PM", Time, T(23, 59, 59)},
      {US, "1:05 A", Time, kFails},
      {US, "1:05 AMX", Time, kFails},
      {US, "10:15:", Time, kFails},
      {US, "10:15: PM", Time, kFails},
      {US, "10:", Time, kFails},
      {US, "10", Time, kFails},
      {US, "1:2:3", Time, T(1, 2, 3)},
      {US, "23:59:59", Time, T(23, 59, 59)},
      {US, "24:00", Time, kFails},
      {US, "0:60", Time, kFails},
      {US, "0:00:60", Time, kFails},
      {US, "0:00:01", Time, T(0, 0, 1)},
      {US, "0:00", Time, kFails},  // midnight is 0, the failure value
      {US, "Jan:30", Time, T(1, 30)},
      {US, "10:15", Date, kFails},
      // The three date orders.
      {DayMonthYear, "3.4.2001", Date, D(2001, 4, 3)},
      {DayMonthYear, "3.4", Date, D(2024, 4, 3)},
      {DayMonthYear, "3/4/2001", Date, kFails},
      {DayMonthYear, "3.4.2001 10.15.30", DateTime, DT(2001, 4, 3, 10, 15, 30)},
      {DayMonthYear, "10:15", Time, kFails},
      {YearMonthDay, "2001-3-4", Date, D(2001, 3, 4)},
      {YearMonthDay, "01-3-4", Date, D(2001, 3, 4)},
      {YearMonthDay, "3-4", Date, D(2024, 3, 4)},
      {YearMonthDay, "2001-Mar-4", Date, D(2001, 3, 4)},
      {NoOrderLetters, "3/4/2001", Date, D(2001, 3, 4)},
      // Markers: the settings' own, then the literal AM and PM.
      {LocalMarkers, "1:05 nachm.", Time, T(13, 5)},
      {LocalMarkers, "1:05 VORM.", Time, T(1, 5)},
      {LocalMarkers, "1:05 PM", Time, T(13, 5)},
      {LocalMarkers, "1:05 nachm", Time, kFails},
      // Empty marker settings match nothing; AM and PM still do.
      {EmptyMarkers, "13:30", Time, T(13, 30)},
      {EmptyMarkers, "12:30", Time, T(12, 30)},
      {EmptyMarkers, "12:30 PM", Time, T(12, 30)},
      {EmptyMarkers, "1:30 pm", Time, T(13, 30)},
      {EmptyMarkers, "12:30 am", Time, T(0, 30)},
      {EmptyMarkers, "3/4/2001 13:30", DateTime, DT(2001, 3, 4, 13, 30)},
      // Before 1899-12-30 the time counts away from the day.
      {US, "12/29/1899 6:00", DateTime, -1.25},
      {US, "12/30/1899 6:00", DateTime, 0.25},
      {US, "12/30/1899 0:00", DateTime, kFails},
  };
  for (const Row& row : rows) {
    Apply(row.settings);
    EXPECT_EQ(Parse(row.routine, row.text), row.expected)
        << NameOf(row.routine) << "(\"" << row.text << "\") with settings " << static_cast<int>(row.settings);
  }
}

// Month names and case folding follow the settings and Windows-1252.
TEST_F(DateTextParser, MonthNamesFromTheSettings) {
  FormatSettings.ShortMonthNames[2] = "M\xE4r";
  EXPECT_EQ(dwStrToDateNoRaise("m\xC4r/4/2001"), D(2001, 3, 4));
  EXPECT_EQ(dwStrToDateNoRaise("mar/4/2001"), kFails);
  FormatSettings.ShortMonthNames[4] = "Ma";
  EXPECT_EQ(dwStrToDateNoRaise("3/4/Ma"), kFails);
  EXPECT_EQ(dwStrToDateNoRaise("Ma/4/2001"), kFails);
}

// The parsed day and time come back from the platform's decoding, also
// before 1899-12-30 where the value counts the time away from the day.
TEST_F(DateTextParser, DateAndTimeDecodeBack) {
  struct Case {
    std::string_view text;
    int year, month, day, hour, minute, second;
  };
  const Case cases[] = {
      {"12/29/1899 6:00", 1899, 12, 29, 6, 0, 0},
      {"12/29/1899 11:59:59 PM", 1899, 12, 29, 23, 59, 59},
      {"12/30/1899 6:00", 1899, 12, 30, 6, 0, 0},
      {"12/31/1899 6:00 PM", 1899, 12, 31, 18, 0, 0},
      {"1/1/0100 12:00:01 AM", 100, 1, 1, 0, 0, 1},
      {"6/15/1000 12:00", 1000, 6, 15, 12, 0, 0},
      {"2/28/1700 1:02:03", 1700, 2, 28, 1, 2, 3},
  };
  for (const Case& c : cases) {
    const TDateTime value = dwStrToDateTimeNoRaise(c.text);
    int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0, ms = -1;
    DecodeDate(value, year, month, day);
    DecodeTime(value, hour, minute, second, ms);
    EXPECT_EQ((std::array{year, month, day, hour, minute, second, ms}),
              (std::array{c.year, c.month, c.day, c.hour, c.minute, c.second, 0}))
        << c.text;
  }
}

// DateToStr's text reads back as the same day under each date order.
TEST_F(DateTextParser, DateTextRoundTrip) {
  std::mt19937_64 random(20240615);
  const int64_t first = static_cast<int64_t>(D(100, 1, 1));
  const int64_t last = static_cast<int64_t>(D(9999, 12, 31));
  for (const Settings settings : {Settings::US, Settings::DayMonthYear, Settings::YearMonthDay}) {
    Apply(settings);
    for (int i = 0; i < 3000; ++i) {
      const TDateTime day = static_cast<TDateTime>(first + static_cast<int64_t>(random() % (last - first + 1)));
      const std::string text = DateToStr(day);
      ASSERT_EQ(dwStrToDateNoRaise(text), day) << text;
    }
  }
}

// Times to the second read back from "h:mm:ss AMPM" alone and after a date.
TEST_F(DateTextParser, TimeTextRoundTrip) {
  std::mt19937_64 random(19991231);
  for (int i = 0; i < 3000; ++i) {
    const int seconds = static_cast<int>(random() % 86400);
    const TDateTime time = T(seconds / 3600, seconds / 60 % 60, seconds % 60);
    const std::string text = FormatDateTime("h:mm:ss AMPM", time);
    ASSERT_EQ(dwStrToTimeNoRaise(text), time) << text;

    const TDateTime day = static_cast<TDateTime>(static_cast<int64_t>(random() % 100000) - 50000);
    const std::string both = DateToStr(day) + " " + text;
    const TDateTime value = dwStrToDateTimeNoRaise(both);
    ASSERT_EQ(value, JoinDateAndTime(day, time)) << both;
    ASSERT_EQ(FormatDateTime("M/d/yyyy h:mm:ss AMPM", value), both);
  }
}

}  // namespace
