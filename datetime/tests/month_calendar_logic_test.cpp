// The month calendar's decisions without a window: limits and their
// messages, the title step, the key moves, the month and year menus, the
// edit-year question and the first day of the week.
#include "datetime/month_calendar_logic.h"

#include "datetime/dw_intl.h"
#include "platform/date_format.h"
#include "platform/datetime_value.h"
#include "testing/dialog_responder.h"
#include "testing/expect_message.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

TDateTime D(int y, int m, int d) { return EncodeDate(y, m, d); }

std::string Text(TDateTime value) { return FormatDateTime("yyyy-mm-dd", value); }

const TDateLimits kNone{};
const TDateLimits k1981To2079{D(1981, 1, 1), D(2079, 12, 31)};

// ---- limits

TEST(CalendarLimits, WholeDaysCountSoTheLimitsOwnDayWithATimeIsWithin) {
  const TDateLimits limits{D(2000, 1, 10), D(2000, 1, 20)};
  EXPECT_TRUE(limits.Within(D(2000, 1, 20) + 0.75));
  EXPECT_TRUE(limits.Within(D(2000, 1, 10) + 0.01));
  EXPECT_FALSE(limits.Within(D(2000, 1, 21)));
  EXPECT_FALSE(limits.Within(D(2000, 1, 9) + 0.99));
  EXPECT_NO_THROW(CheckWithinLimits(D(2000, 1, 20) + 0.999, limits));
  ExpectMessage<EDateTimeError>([&] { CheckWithinLimits(D(2000, 1, 21), limits); },
                                "Date exceeds maximum of 1/20/2000");
  ExpectMessage<EDateTimeError>([&] { CheckWithinLimits(D(2000, 1, 9), limits); },
                                "Date is less than minimum of 1/10/2000");
  // Unset limits never refuse.
  EXPECT_TRUE(kNone.Within(D(9999, 12, 31)));
  EXPECT_TRUE(kNone.Within(D(1, 1, 1)));
}

TEST(CalendarLimits, RangeSettersClearFreelyAndRefuseOnlyACrossing) {
  const TDateLimits both{D(1981, 1, 1), D(2079, 12, 31)};
  // Clearing either limit is always allowed.
  EXPECT_NO_THROW(CheckNewMaxDate(0, both));
  EXPECT_NO_THROW(CheckNewMinDate(0, both));
  ExpectMessage<EDateTimeError>([&] { CheckNewMinDate(D(2080, 1, 1), both); },
                                "Date exceeds maximum of 12/31/2079");
  ExpectMessage<EDateTimeError>([&] { CheckNewMaxDate(D(1980, 12, 31), both); },
                                "Date is less than minimum of 1/1/1981");
  // Only a set other limit can be crossed.
  EXPECT_NO_THROW(CheckNewMinDate(D(2080, 1, 1), TDateLimits{0, 0}));
  EXPECT_NO_THROW(CheckNewMaxDate(D(1900, 1, 1), TDateLimits{0, 0}));
  EXPECT_NO_THROW(CheckNewMaxDate(D(1981, 1, 1), both));
}

TEST(CalendarLimits, GridRangeAndSelection) {
  EXPECT_EQ(Text(GridMinimum(kNone)), "1899-12-30");
  EXPECT_EQ(Text(GridMaximum(kNone)), "9999-12-31");
  EXPECT_EQ(Text(GridMinimum(k1981To2079)), "1981-01-01");
  EXPECT_EQ(Text(GridMaximum(k1981To2079)), "2079-12-31");
  EXPECT_EQ(Text(GridSelection(D(1850, 6, 1), kNone)), "1899-12-31");
  EXPECT_EQ(Text(GridSelection(D(2090, 6, 1) + 0.5, k1981To2079)), "2079-12-31");
  EXPECT_EQ(Text(GridSelection(D(1970, 6, 1), k1981To2079)), "1981-01-01");
  EXPECT_EQ(Text(GridSelection(D(2000, 2, 29) + 0.5, k1981To2079)), "2000-02-29");
}

// ---- title buttons

TEST(CalendarTitleStep, StepsFromTheShownMonthAndStopsAtTheLimits) {
  struct Case {
    int year, month, day;
    bool next;
    TDateLimits limits;
    const char* date;
    bool beep;
  } cases[] = {
      {2079, 12, 15, true, k1981To2079, "2079-12-31", true},   // next beyond MaxDate: the limit itself
      {2079, 11, 15, true, k1981To2079, "2079-12-15", false},
      {1981, 1, 15, false, k1981To2079, "1981-01-01", true},   // previous beyond MinDate
      {1981, 2, 28, false, k1981To2079, "1981-01-28", false},
      {2000, 12, 31, true, kNone, "2001-01-31", false},        // across the year
      {2001, 1, 31, false, kNone, "2000-12-31", false},
      {2000, 1, 31, true, kNone, "2000-02-29", false},         // day limited, leap year
      {2001, 3, 30, false, kNone, "2001-02-28", false},
      {9999, 12, 5, true, kNone, "9999-12-31", true},          // the calendar's own end
      {2079, 11, 31, true, TDateLimits{0, D(2079, 12, 10)}, "2079-12-10", true},
  };
  for (const Case& c : cases) {
    const TTitleStep step = TitleButtonStep(c.year, c.month, c.day, c.next, c.limits);
    EXPECT_EQ(Text(step.Date), c.date) << c.year << "-" << c.month << " next=" << c.next;
    EXPECT_EQ(step.Beep, c.beep) << c.date;
  }
}

// ---- keys

TEST(CalendarKeys, MovesAcrossMonthEndsAndLeapYears) {
  struct Case {
    TCalendarKey key;
    TDateTime from;
    const char* to;
  } cases[] = {
      {TCalendarKey::PageUp, D(2000, 1, 15), "1999-12-15"},
      {TCalendarKey::PageDown, D(1999, 12, 15), "2000-01-15"},
      {TCalendarKey::PageDown, D(2000, 1, 31), "2000-02-29"},
      {TCalendarKey::PageDown, D(2001, 1, 31), "2001-02-28"},
      {TCalendarKey::PageUp, D(2000, 3, 31), "2000-02-29"},
      {TCalendarKey::Left, D(2000, 3, 1), "2000-02-29"},
      {TCalendarKey::Right, D(2000, 12, 31), "2001-01-01"},
      {TCalendarKey::Up, D(2000, 3, 3), "2000-02-25"},
      {TCalendarKey::Down, D(2000, 2, 25), "2000-03-03"},
  };
  for (const Case& c : cases) EXPECT_EQ(Text(KeyMoveTarget(c.key, c.from)), c.to) << Text(c.from);
  // The time of day stays.
  EXPECT_DOUBLE_EQ(KeyMoveTarget(TCalendarKey::Right, D(2000, 1, 1) + 0.25), D(2000, 1, 2) + 0.25);
}

// ---- month menu

std::string States(const std::vector<TCalendarMenuItem>& items) {
  std::string s;
  for (const auto& item : items) {
    if (!s.empty()) s += ' ';
    s += item.Caption;
    if (item.Checked) s += '*';
    if (!item.Enabled) s += '-';
    if (item.Break) s += '|';
  }
  return s;
}

TEST(CalendarMonthMenu, ChecksTheValuesMonthAndDisablesBeyondEachLimit) {
  EXPECT_EQ(States(MonthMenuItems(2079, 12, 31, k1981To2079)),
            "January February March April May June July August September October November December*");
  // In 2079 with MaxDate 2079-06-15: the day 20 of June already lies beyond it.
  EXPECT_EQ(States(MonthMenuItems(2079, 3, 20, TDateLimits{0, D(2079, 6, 15)})),
            "January February March* April May June- July- August- September- October- November- December-");
  // The day limited: 31 in April is April 30, on MinDate itself; the 29th lies before it.
  EXPECT_EQ(States(MonthMenuItems(1981, 5, 31, TDateLimits{D(1981, 4, 30), 0})),
            "January- February- March- April May* June July August September October November December");
  EXPECT_EQ(States(MonthMenuItems(1981, 5, 29, TDateLimits{D(1981, 4, 30), 0})),
            "January- February- March- April- May* June July August September October November December");
}

// ---- year popup

TEST(CalendarYearMenu, LayoutTable) {
  struct Case {
    const char* name;
    TdwPopupYearOptions options;
    int year, month, day;
    TDateLimits limits;
    const char* states;
  } cases[] = {
      {"three columns from 2000", {10, 3, 2000, false}, 2010, 5, 1, kNone,
       "2000 2001 2002 2003 2004 2005 2006 2007 2008 2009 2010*| 2011 2012 2013 2014 2015 2016 2017 2018 2019 "
       "2020| 2021 2022 2023 2024 2025 2026 2027 2028 2029"},
      {"starts at StartYear, not at the shown year", {2, 2, 1990, false}, 2026, 12, 11, kNone,
       "1990 1991 1992| 1993"},
      {"edit year with columns: the first year breaks", {2, 2, 1990, true}, 1991, 1, 1, kNone,
       "Edit Year - 1990| 1991* 1992| 1993"},
      {"edit year with one year per column", {1, 3, 1990, true}, 1990, 1, 1, kNone,
       "Edit Year - 1990* 1991| 1992|"},
      {"1980 disabled, 1981 enabled from the 1st", {2, 1, 1980, false}, 1981, 1, 15, TDateLimits{D(1981, 1, 1), 0},
       "1980- 1981*"},
      {"1981 disabled while the day lies before MinDate", {2, 1, 1980, false}, 1980, 1, 10,
       TDateLimits{D(1981, 1, 15), 0}, "1980*- 1981-"},
      {"MaxDate disables later years", {3, 1, 2078, false}, 2079, 12, 31, k1981To2079, "2078 2079* 2080-"},
      {"YearsPerColumn 0 counts as 1", {0, 3, 2000, false}, 2000, 1, 1, kNone, "2000* 2001| 2002|"},
      {"years beyond 9999 left out", {5, 1, 9997, false}, 9999, 2, 29, kNone, "9997 9998 9999*"},
      {"years before 1 left out", {3, 1, -1, false}, 1, 1, 1, kNone, "1*"},
      {"no columns, no years", {10, 0, 1990, false}, 1990, 1, 1, kNone, ""},
  };
  for (const Case& c : cases)
    EXPECT_EQ(States(YearMenuItems(c.options, c.year, c.month, c.day, c.limits)), c.states) << c.name;
}

TEST(CalendarYearMenu, HugeOptionsStayBounded) {
  const auto items = YearMenuItems({2147483647, 2147483647, -2147483647 - 1, true}, 2000, 1, 1, kNone);
  ASSERT_EQ(items.size(), 2u + 9999u);
  EXPECT_EQ(items[2].Caption, "1");
  EXPECT_EQ(items.back().Caption, "9999");
}

TEST(CalendarYearMenu, LabelComesFromTheGlobalSettings) {
  GlobalIntl()->MonthCalendar.PopupYearLabel = "Jahr";
  const auto items = YearMenuItems({10, 1, 2000, true}, 2000, 1, 1, kNone);
  GlobalIntl()->MonthCalendar.PopupYearLabel = "Edit Year";
  EXPECT_EQ(items.front().Caption, "Jahr");
  EXPECT_EQ(items.front().Kind, TCalendarMenuItem::EditYear);
}

TEST(CalendarYearMenu, ShiftOnlyWithTheEditColumnBeside) {
  EXPECT_EQ(YearMenuShift({10, 2, 1990, true}, 50, 96), 95);
  EXPECT_EQ(YearMenuShift({10, 2, 1990, true}, 50, 192), 140);
  EXPECT_EQ(YearMenuShift({1, 2, 1990, true}, 50, 96), 0);
  EXPECT_EQ(YearMenuShift({10, 2, 1990, false}, 50, 96), 0);
}

// ---- edit year

TEST(CalendarEditYear, CaptionNamesTheSetLimitsAsYears) {
  struct Case {
    TDateLimits limits;
    const char* caption;
    const char* prompt;
  } cases[] = {
      {kNone, "Enter Valid Year", " "},
      {TDateLimits{D(1981, 1, 1), 0}, "Enter Valid Year (>=1981)", "Enter New Year:"},
      {TDateLimits{0, D(2079, 12, 31)}, "Enter Valid Year (<=2079)", "Enter New Year:"},
      {k1981To2079, "Enter Valid Year (1981-2079)", "Enter New Year:"},
      {TDateLimits{D(1899, 12, 31), D(9999, 12, 31)}, "Enter Valid Year (1899-9999)", "Enter New Year:"},
  };
  for (const Case& c : cases) {
    const TEditYearQuestion q = EditYearQuestion(c.limits);
    EXPECT_EQ(q.Caption, c.caption);
    EXPECT_EQ(q.Prompt, c.prompt);
  }
}

TEST(CalendarEditYear, AnswersTable) {
  struct Case {
    const char* answer;
    TDateLimits limits;
    int year;  // 0: refused
  } cases[] = {
      {"2000", k1981To2079, 2000},  {" 1981 ", k1981To2079, 1981}, {"1980", k1981To2079, 0},
      {"2080", k1981To2079, 0},     {"abc", kNone, 0},             {"", kNone, 0},
      {"20x0", kNone, 0},           {"0", kNone, 0},               {"10000", kNone, 0},
      {"-5", kNone, 0},             {"99999999999", kNone, 0},     {"9999", kNone, 9999},
      {"1", kNone, 1},
  };
  for (const Case& c : cases) {
    const auto year = AcceptedYear(c.answer, 6, 15, c.limits);
    EXPECT_EQ(year.value_or(0), c.year) << '"' << c.answer << '"';
  }
  // The day limited: February 29 of a common year is the 28th, within a
  // MaxDate of 2001-02-28.
  EXPECT_EQ(AcceptedYear("2001", 2, 29, TDateLimits{0, D(2001, 2, 28)}).value_or(0), 2001);
}

TEST(CalendarEditYear, AsksUntilAcceptedAndCancelEndsTheQuestion) {
  {
    DialogResponder responder;
    responder.AnswerInput("no year").AnswerInput("1970").AnswerInput("1999");
    EXPECT_EQ(AskEditYear(k1981To2079, 1, 1).value_or(0), 1999);
    ASSERT_EQ(responder.Boxes().size(), 3u);
    EXPECT_EQ(responder.Boxes()[0].caption, "Enter Valid Year (1981-2079)");
    EXPECT_EQ(responder.Boxes()[0].text, "Enter New Year:");
  }
  {
    DialogResponder responder;
    responder.AnswerInput("", true).AnswerInput("", false);
    EXPECT_FALSE(AskEditYear(kNone, 1, 1).has_value());
    EXPECT_EQ(responder.Boxes().size(), 2u);
  }
}

// ---- first day of the week

TEST(CalendarFirstDay, LocaleDefaultReadsTheFormatSettings) {
  EXPECT_EQ(ResolveFirstDayOfWeek(dwdowLocaleDefault), 6);
  EXPECT_EQ(ResolveFirstDayOfWeek(dwdowMonday), 0);
  EXPECT_EQ(ResolveFirstDayOfWeek(dwdowWednesday), 2);
  FormatSettings.LocaleFirstDayOfWeek = 0;
  EXPECT_EQ(ResolveFirstDayOfWeek(dwdowLocaleDefault), 0);
  FormatSettings.LocaleFirstDayOfWeek = 42;
  EXPECT_EQ(ResolveFirstDayOfWeek(dwdowLocaleDefault), 6);
  ResetFormatSettings();
}

}  // namespace
