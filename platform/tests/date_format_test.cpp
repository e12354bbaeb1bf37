#include "platform/date_format.h"

#include "platform/datetime_value.h"
#include "testing/clock_fixture.h"

#include <gtest/gtest.h>

#include <clocale>
#include <limits>
#include <string>

namespace {

struct Ymd {
  int year, month, day;
};

// Every test starts from and leaves the default settings.
class DateFormat : public testing::Test {
protected:
  void SetUp() override { ResetFormatSettings(); }
  void TearDown() override { ResetFormatSettings(); }
};

// 2024-03-05 (a Tuesday) 14:07:09.045
const TDateTime kAfternoon = EncodeDate(2024, 3, 5) + EncodeTime(14, 7, 9, 45);

TEST_F(DateFormat, SettingsChangeAndReset) {
  EXPECT_EQ(FormatSettings.ShortDateFormat, "M/d/yyyy");
  EXPECT_EQ(FormatSettings.LongDateFormat, "dddd, MMMM dd, yyyy");
  EXPECT_EQ(FormatSettings.ShortTimeFormat, "h:mm AMPM");
  EXPECT_EQ(FormatSettings.LongTimeFormat, "h:mm:ss AMPM");
  EXPECT_EQ(FormatSettings.DateSeparator, '/');
  EXPECT_EQ(FormatSettings.TimeSeparator, ':');
  EXPECT_EQ(FormatSettings.TimeAMString, "AM");
  EXPECT_EQ(FormatSettings.TimePMString, "PM");
  EXPECT_EQ(FormatSettings.ShortMonthNames[8], "Sep");
  EXPECT_EQ(FormatSettings.LongMonthNames[11], "December");
  EXPECT_EQ(FormatSettings.ShortDayNames[0], "Sun");
  EXPECT_EQ(FormatSettings.LongDayNames[6], "Saturday");
  EXPECT_EQ(FormatSettings.LocaleFirstDayOfWeek, 6);

  FormatSettings.ShortDateFormat = "dd.MM.yyyy";
  FormatSettings.DateSeparator = '-';
  FormatSettings.TimeAMString = "vorm.";
  FormatSettings.LongMonthNames[2] = "Maerz";
  EXPECT_EQ(DateToStr(kAfternoon), "05.03.2024");
  EXPECT_EQ(FormatDateTime("d/mmmm", kAfternoon), "5-Maerz");
  EXPECT_EQ(FormatDateTime("h ampm", kAfternoon - 0.5), "2 vorm.");

  ResetFormatSettings();
  EXPECT_EQ(DateToStr(kAfternoon), "3/5/2024");
  EXPECT_EQ(FormatDateTime("d/mmmm", kAfternoon), "5/March");
  EXPECT_EQ(FormatDateTime("h ampm", kAfternoon - 0.5), "2 AM");
}

TEST_F(DateFormat, EachToken) {
  struct Case {
    const char* format;
    const char* text;
  };
  const Case cases[] = {
      {"d", "5"},
      {"dd", "05"},
      {"ddd", "Tue"},
      {"dddd", "Tuesday"},
      {"ddddd", "3/5/2024"},
      {"dddddd", "Tuesday, March 05, 2024"},
      {"ddddddd", "Tuesday, March 05, 2024"},
      {"m", "3"},
      {"mm", "03"},
      {"mmm", "Mar"},
      {"mmmm", "March"},
      {"y", "24"},
      {"yy", "24"},
      {"yyy", "2024"},
      {"yyyy", "2024"},
      {"h", "14"},
      {"hh", "14"},
      {"n", "7"},
      {"nn", "07"},
      {"s", "9"},
      {"ss", "09"},
      {"t", "2:07 PM"},
      {"tt", "2:07:09 PM"},
      {"c", "3/5/2024 2:07:09 PM"},
      {"YYYY-MM-DD HH:NN:SS", "2024-03-05 14:07:09"},
      {"Dddd mMm", "Tuesday Mar"},
      // m after h is minutes, also with literals between; mmm stays a month.
      {"h:m", "14:7"},
      {"hh:mm:ss", "14:07:09"},
      {"hh 'past' mm", "14 past 07"},
      {"h mmm", "14 Mar"},
      {"h:mm mm", "14:07 03"},
      {"yyyy/mm/dd", "2024/03/05"},
      {"mm/dd hh", "03/05 14"},
      // AM/PM in the case written; any of them makes the hours 1-12.
      {"h:nn am/pm", "2:07 pm"},
      {"h:nn AM/PM", "2:07 PM"},
      {"h:nn Am/pM", "2:07 pM"},
      {"h a/p", "2 p"},
      {"h A/P", "2 P"},
      {"hh:nn ampm", "02:07 PM"},
      {"AMPM hh", "PM 02"},
      {"a/ h", "a/ 14"},
      {"amp", "a3p"},
      // Quoted text is literal, separators inside it too.
      {"'d' d", "d 5"},
      {"\"yyyy/\" yyyy", "yyyy/ 2024"},
      {"'a''b'", "ab"},
      {"'am/pm' h", "am/pm 14"},
      {"'unterminated d/m", "unterminated d/m"},
      {"d \"open", "5 open"},
      {"'", ""},
      // Everything else is copied.
      {"x z q.,-#1 ", "x z q.,-#1 "},
      {"", ""},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(FormatDateTime(c.format, kAfternoon), c.text) << "format " << c.format;
  }
}

TEST_F(DateFormat, HoursWithAndWithoutAmPm) {
  struct Case {
    int hour;
    const char* twelve;
    const char* twentyFour;
  };
  const Case cases[] = {
      {0, "12:05 AM", "00:05"}, {1, "1:05 AM", "01:05"},   {11, "11:05 AM", "11:05"},
      {12, "12:05 PM", "12:05"}, {13, "1:05 PM", "13:05"}, {23, "11:05 PM", "23:05"},
  };
  for (const Case& c : cases) {
    const TDateTime value = EncodeDate(2024, 3, 5) + EncodeTime(c.hour, 5, 0, 0);
    EXPECT_EQ(FormatDateTime("t", value), c.twelve) << c.hour;
    EXPECT_EQ(FormatDateTime("hh:nn", value), c.twentyFour) << c.hour;
  }
  EXPECT_EQ(TimeToStr(0), "12:00:00 AM");
  EXPECT_EQ(TimeToStr(0.5), "12:00:00 PM");
}

// The reader FormatDateTime runs on: each token, what it reads, and the
// text each one writes, which joined is the whole text.
TEST_F(DateFormat, TokenReaderGivesThePiecesOfTheText) {
  const std::string format = "h.m 'at' yyyy/mmm a/p";
  TDateFormatReader reader(format);
  const TDateTokenWriter writer(kAfternoon);
  std::string pieces, joined;
  TDateFormatToken token;
  while (reader.Next(token)) {
    std::string piece;
    writer.Append(token, reader.TwelveHour(), piece);
    pieces += std::to_string(static_cast<int>(token.Kind)) + ":" + std::string(token.Source) + "=" + piece + " ";
    joined += piece;
  }
  EXPECT_TRUE(reader.TwelveHour());
  // Text keeps m after h as minutes; quotes are dropped from the text, not the source.
  EXPECT_EQ(pieces, "9:h=2 0:.=. 7:m=7 0: =  0:'at'=at 0: =  8:yyyy=2024 1:/=/ 6:mmm=Mar 0: =  3:a/p=p ");
  EXPECT_EQ(joined, FormatDateTime(format, kAfternoon));
}

TEST_F(DateFormat, MidnightLeavesTheTimeOut) {
  const TDateTime midnight = EncodeDate(2024, 3, 5);
  EXPECT_EQ(FormatDateTime("c", midnight), "3/5/2024");
  EXPECT_EQ(DateTimeToStr(midnight), "3/5/2024");
  EXPECT_EQ(DateTimeToStr(midnight + 1 / kMsPerDay), "3/5/2024 12:00:00 AM");
  EXPECT_EQ(DateTimeToStr(midnight + 0.5), "3/5/2024 12:00:00 PM");
  // The last instant of a day rounds into the next, at midnight.
  EXPECT_EQ(DateTimeToStr(midnight + 86399999.6 / kMsPerDay), "3/6/2024");
  EXPECT_EQ(DateToStr(EncodeDate(2024, 12, 31)), "12/31/2024");
}

TEST_F(DateFormat, DatesAtTheEndsAndBeforeDayZero) {
  EXPECT_EQ(FormatDateTime("yyyy-mm-dd hh:nn", -1.25), "1899-12-29 06:00");
  EXPECT_EQ(FormatDateTime("dddd", -1.25), "Friday");
  EXPECT_EQ(FormatDateTime("yyyy yy dddd", -693593), "0001 01 Monday");
  EXPECT_EQ(FormatDateTime("c", 2958465 + 86399999 / kMsPerDay), "12/31/9999 11:59:59 PM");
  const TDateTime bad[] = {std::numeric_limits<double>::quiet_NaN(), 2958466.0, -693594.0,
                           std::numeric_limits<double>::infinity()};
  for (const TDateTime value : bad) {
    EXPECT_THROW(FormatDateTime("yyyy", value), EConvertError) << value;
    EXPECT_THROW(DateToStr(value), EConvertError) << value;
  }
}

TEST_F(DateFormat, SettingsFormatsAndSeparators) {
  FormatSettings.ShortDateFormat = "dd/mm/yy";
  FormatSettings.DateSeparator = '.';
  FormatSettings.LongTimeFormat = "hh:nn:ss";
  FormatSettings.TimeSeparator = '-';
  EXPECT_EQ(DateTimeToStr(kAfternoon), "05.03.24 14-07-09");
  EXPECT_EQ(FormatDateTime("ddddd '/:' tt", kAfternoon), "05.03.24 /: 14-07-09");
  // A settings format may name another once; one naming itself ends there.
  FormatSettings.LongDateFormat = "dddd ddddd";
  EXPECT_EQ(FormatDateTime("dddddd", kAfternoon), "Tuesday 05.03.24");
  FormatSettings.ShortTimeFormat = "t|";
  EXPECT_EQ(FormatDateTime("t", kAfternoon), "||");
  FormatSettings.ShortDateFormat = "c";
  FormatSettings.LongTimeFormat = "tt";
  EXPECT_EQ(FormatDateTime("c", kAfternoon), "   ");  // only the blanks between the times
}

TEST_F(DateFormat, StrToDateMonthFirst) {
  ScopedClock clock(EncodeDate(2024, 6, 15) + 0.5);
  struct Case {
    const char* text;
    Ymd date;
  };
  const Case cases[] = {
      {"3/4/2001", {2001, 3, 4}},  {" 3/ 4/ 2001  ", {2001, 3, 4}}, {"03/04/2001", {2001, 3, 4}},
      {"3/4", {2024, 3, 4}},       {"2/29", {2024, 2, 29}},         {"3/4/50", {2050, 3, 4}},
      {"3/4/51", {1951, 3, 4}},    {"3/4/0", {2000, 3, 4}},         {"12/31/99", {1999, 12, 31}},
      {"2/29/2000", {2000, 2, 29}}, {"12/31/9999", {9999, 12, 31}}, {"1/1/100", {100, 1, 1}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    TDateTime value = -1;
    EXPECT_TRUE(TryStrToDate(c.text, value));
    EXPECT_EQ(value, EncodeDate(c.date.year, c.date.month, c.date.day));
    EXPECT_EQ(StrToDate(c.text), value);
  }
}

TEST_F(DateFormat, StrToDateRefusesWhatIsNotADate) {
  ScopedClock clock(EncodeDate(2023, 6, 15));
  const std::string bad[] = {
      "3-4-2001",   "3/4/",        "4/31/2001", "3/4/2001x", "3/4/2001 5", "",          "   ",
      "3",          "3/",          "/4/2001",   "2/29",      "2/29/1900",  "13/1/2001", "0/1/2001",
      "3/4/99999",  "3/4/10000",   "-3/4/2001", "3/4/-1",    "3.4.2001",   "3/4/2001/", "3/4//2001",
      "\t3/4/2001", "+3/4/2001",   "3/4/99999999999999999999",
      std::string("3/4/2001\0", 9),
  };
  for (const std::string& text : bad) {
    SCOPED_TRACE(text);
    TDateTime value = 77;
    EXPECT_FALSE(TryStrToDate(text, value));
    EXPECT_EQ(value, 77);
    try {
      StrToDate(text);
      ADD_FAILURE() << "no error";
    } catch (const EConvertError& e) {
      EXPECT_EQ(e.Message, "'" + text + "' is not a valid date");
    }
  }
}

TEST_F(DateFormat, StrToDateDayFirstAndYearFirst) {
  ScopedClock clock(EncodeDate(2024, 6, 15));
  FormatSettings.ShortDateFormat = "dd.MM.yyyy";
  FormatSettings.DateSeparator = '.';
  EXPECT_EQ(StrToDate("31.12.2001"), EncodeDate(2001, 12, 31));
  EXPECT_EQ(StrToDate("5.3"), EncodeDate(2024, 3, 5));
  EXPECT_EQ(StrToDate("5.3.24"), EncodeDate(2024, 3, 5));
  EXPECT_THROW(StrToDate("31.4.2001"), EConvertError);
  EXPECT_THROW(StrToDate("12/31/2001"), EConvertError);
  EXPECT_THROW(StrToDate("12.31.2001"), EConvertError);

  FormatSettings.ShortDateFormat = "yyyy-MM-dd";
  FormatSettings.DateSeparator = '-';
  EXPECT_EQ(StrToDate("2001-03-04"), EncodeDate(2001, 3, 4));
  EXPECT_EQ(StrToDate("3-4"), EncodeDate(2024, 3, 4));
  EXPECT_EQ(StrToDate("99-12-31"), EncodeDate(1999, 12, 31));
  EXPECT_THROW(StrToDate("2001-3"), EConvertError);  // month 2001
}

TEST_F(DateFormat, TwoNumbersTakeTheYearOfTheClock) {
  {
    ScopedClock clock(EncodeDate(2024, 1, 1));
    EXPECT_EQ(StrToDate("2/29"), EncodeDate(2024, 2, 29));
  }
  ScopedClock clock(EncodeDate(2023, 12, 31) + 86399999.6 / kMsPerDay);  // rounds into 2024
  EXPECT_EQ(StrToDate("2/29"), EncodeDate(2024, 2, 29));
}

TEST_F(DateFormat, DateOrderAndTwoDigitYears) {
  EXPECT_EQ(GetDateOrder("M/d/yyyy"), TDateOrder::MonthDayYear);
  EXPECT_EQ(GetDateOrder("dd.MM.yyyy"), TDateOrder::DayMonthYear);
  EXPECT_EQ(GetDateOrder("yyyy-MM-dd"), TDateOrder::YearMonthDay);
  EXPECT_EQ(GetDateOrder("Y"), TDateOrder::YearMonthDay);
  EXPECT_EQ(GetDateOrder("-/-"), TDateOrder::MonthDayYear);
  EXPECT_EQ(GetDateOrder(""), TDateOrder::MonthDayYear);
  const int years[][2] = {{0, 2000}, {50, 2050}, {51, 1951}, {99, 1999}, {100, 100}, {2001, 2001}};
  for (const auto& y : years) EXPECT_EQ(ExpandTwoDigitYear(y[0]), y[1]) << y[0];
}

// A reader of richer text reuses ScanDate with its own numbers and goes on
// where the date ended.
bool ScanNumberOrX(TDateScanner& scanner, int& value) {
  if (scanner.ScanChar('x')) {
    value = 12;
    return true;
  }
  return ScanDecimal(scanner, value);
}

TEST_F(DateFormat, ScanDateLeavesThePositionForTheNextReader) {
  TDateScanner scanner{"3/4/2001   10:30"};
  TDateTime value = 0;
  ASSERT_TRUE(ScanDate(scanner, value));
  EXPECT_EQ(value, EncodeDate(2001, 3, 4));
  EXPECT_EQ(scanner.Pos, 11u);

  TDateScanner failing{" 3/4/ ", 0};
  value = 5;
  EXPECT_FALSE(ScanDate(failing, value));
  EXPECT_EQ(failing.Pos, 0u);
  EXPECT_EQ(value, 5);

  TDateScanner custom{"x/ 25/ 2001"};
  ASSERT_TRUE(ScanDate(custom, value, ScanNumberOrX));
  EXPECT_EQ(value, EncodeDate(2001, 12, 25));
  EXPECT_TRUE(custom.AtEnd());
}

TEST_F(DateFormat, RangeErrorsNameTheLimitAsADate) {
  EXPECT_EQ(DateExceedsMaximumError(EncodeDate(2079, 12, 31)).Message, "Date exceeds maximum of 12/31/2079");
  EXPECT_EQ(DateLessThanMinimumError(EncodeDate(1981, 1, 1)).Message, "Date is less than minimum of 1/1/1981");
  FormatSettings.ShortDateFormat = "yyyy-mm-dd";
  FormatSettings.DateSeparator = '-';
  EXPECT_EQ(DateExceedsMaximumError(EncodeDate(2079, 12, 31)).Message, "Date exceeds maximum of 2079-12-31");
  EXPECT_THROW(throw DateLessThanMinimumError(0), EDateTimeError);
}

// The machine's locale must not reach any text: the same texts under another
// language as under en-US.
TEST_F(DateFormat, AnotherLanguagesLocaleGivesTheSameTexts) {
  const std::string saved = std::setlocale(LC_ALL, nullptr);
  const char* candidates[] = {"de_DE.UTF-8", "de_DE.utf8", "de_DE", "fr_FR.UTF-8", "fr_FR.utf8",
                              "es_ES.UTF-8", "it_IT.UTF-8", "ru_RU.UTF-8", "ja_JP.UTF-8"};
  const char* chosen = nullptr;
  for (const char* name : candidates) {
    if (std::setlocale(LC_ALL, name) != nullptr) {
      chosen = name;
      break;
    }
  }
  if (chosen == nullptr) GTEST_SKIP() << "no non-English locale is installed (locale -a)";
  SCOPED_TRACE(chosen);
  ScopedClock clock(EncodeDate(2024, 6, 15));
  ResetFormatSettings();
  EXPECT_EQ(FormatDateTime("dddddd tt", kAfternoon), "Tuesday, March 05, 2024 2:07:09 PM");
  EXPECT_EQ(FormatDateTime("ddd mmm t", kAfternoon), "Tue Mar 2:07 PM");
  EXPECT_EQ(DateTimeToStr(kAfternoon), "3/5/2024 2:07:09 PM");
  EXPECT_EQ(DateToStr(EncodeDate(2024, 12, 31)), "12/31/2024");
  EXPECT_EQ(StrToDate("12/31/24"), EncodeDate(2024, 12, 31));
  EXPECT_EQ(StrToDate("2/3"), EncodeDate(2024, 2, 3));
  EXPECT_EQ(FormatSettings.LocaleFirstDayOfWeek, 6);
  EXPECT_EQ(DateExceedsMaximumError(EncodeDate(2079, 12, 31)).Message, "Date exceeds maximum of 12/31/2079");
  std::setlocale(LC_ALL, saved.c_str());
}

}  // namespace
