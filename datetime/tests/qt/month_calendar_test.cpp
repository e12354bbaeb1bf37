// The month calendar offscreen with a fixed clock: the title buttons at the
// limits, keys beyond them, clicks on days, the month menu and the year
// popup (the edit-year question answered and cancelled), the toggles of both
// titles, bold days, the first day of the week, today, sizes and colours.
#include "datetime/qt/month_calendar.h"

#include "datetime/tests/qt/calendar_driver.h"
#include "platform/date_format.h"
#include "platform/datetime_value.h"
#include "platform/qt/message_beep.h"
#include "testing/clock_fixture.h"
#include "testing/dialog_responder.h"
#include "testing/expect_message.h"

#include <QHeaderView>
#include <QLocale>
#include <QTextCharFormat>

#include <gtest/gtest.h>

#include <memory>
#include <set>
#include <vector>

using namespace calendar_test;

namespace {

TDateTime D(int y, int m, int d) { return EncodeDate(y, m, d); }
std::string Text(TDateTime value) { return FormatDateTime("yyyy-mm-dd hh:nn", value); }

class MonthCalendarTest : public testing::Test {
protected:
  // Wednesday, 2079-12-15, 10:30.
  ScopedClock Clock{EncodeDate(2079, 12, 15) + EncodeTime(10, 30, 0, 0)};

  void SetUp() override {
    SetBeepSink([this](unsigned) { ++Beeps; });
    Calendar = std::make_unique<TdwMonthCalendar>();
    Calendar->OnChange = [this](TdwMonthCalendar&) { ++Changes; };
  }
  void TearDown() override {
    Calendar.reset();
    SetBeepSink(nullptr);
    Settle();
  }
  void Limit1981To2079() {
    Calendar->SetMinDate(D(1981, 1, 1));
    Calendar->SetMaxDate(D(2079, 12, 31));
  }
  void Show() {
    Calendar->show();
    Settle();
  }

  std::unique_ptr<TdwMonthCalendar> Calendar;
  int Beeps = 0;
  int Changes = 0;
};

TEST_F(MonthCalendarTest, StartsWithTheDefaults) {
  EXPECT_EQ(Text(Calendar->Date()), "2079-12-15 10:30");
  EXPECT_EQ(Calendar->Options(), MonthOptions(mdoDayState));
  EXPECT_EQ(Calendar->MinDate(), 0);
  EXPECT_EQ(Calendar->MaxDate(), 0);
  EXPECT_EQ(Calendar->FirstDayOfWeek(), dwdowLocaleDefault);
  EXPECT_EQ(Calendar->BorderStyle(), bsNone);
  EXPECT_EQ(Calendar->Color(), clWindow);
  EXPECT_EQ(Calendar->CalColors().TitleBackColor(), clActiveCaption);
  EXPECT_EQ(Calendar->CalColors().TrailingTextColor(), clInactiveCaptionText);
  EXPECT_EQ(Calendar->PopupYearOptions().StartYear, 1990);
  EXPECT_EQ(Title(*Calendar), "December 2079");
  EXPECT_EQ(Calendar->Grid()->selectedDate(), QDate(2079, 12, 15));
  EXPECT_EQ(StoredText(Calendar->TodayButton()->text()), "Today: 12/15/2079");
  EXPECT_GE(Calendar->width(), 155);
  EXPECT_EQ(Calendar->Grid()->firstDayOfWeek(), Qt::Sunday);
}

TEST_F(MonthCalendarTest, NextAtMaxDateStopsOnTheLimitBeepsOnceAndChanges) {
  Limit1981To2079();
  Show();
  Press(Calendar->NextButton());
  EXPECT_EQ(Text(Calendar->Date()), "2079-12-31 10:30");
  EXPECT_EQ(Title(*Calendar), "December 2079");
  EXPECT_EQ(Beeps, 1);
  EXPECT_EQ(Changes, 1);
  // Again at the limit: still no error, one more beep and change.
  Press(Calendar->NextButton());
  EXPECT_EQ(Text(Calendar->Date()), "2079-12-31 10:30");
  EXPECT_EQ(Beeps, 2);
  EXPECT_EQ(Changes, 2);
}

TEST_F(MonthCalendarTest, TitleButtonsStepTheShownMonthWithTheDayLimited) {
  Show();
  Calendar->SetDate(D(2080, 1, 31));
  Press(Calendar->NextButton());
  EXPECT_EQ(Text(Calendar->Date()), "2080-02-29 10:30");
  EXPECT_EQ(Title(*Calendar), "February 2080");
  Press(Calendar->PrevButton());
  Press(Calendar->PrevButton());
  EXPECT_EQ(Text(Calendar->Date()), "2079-12-29 10:30");
  EXPECT_EQ(Title(*Calendar), "December 2079");
  EXPECT_EQ(Beeps, 0);
  EXPECT_EQ(Changes, 3);
}

TEST_F(MonthCalendarTest, PageDownBeyondMaxDateReportsAndKeepsTheValue) {
  Limit1981To2079();
  Show();
  DialogResponder responder;
  responder.Expect("Date exceeds maximum of 12/31/2079");
  Key(*Calendar, Qt::Key_PageDown);
  EXPECT_EQ(Text(Calendar->Date()), "2079-12-15 10:30");
  EXPECT_EQ(Calendar->Grid()->selectedDate(), QDate(2079, 12, 15));
  EXPECT_EQ(Changes, 0);
}

TEST_F(MonthCalendarTest, KeysMoveTheValueAndAMoveOntoTheLimitsDayWithATimeIsAccepted) {
  Calendar->SetMaxDate(D(2079, 12, 16));
  Show();
  Key(*Calendar, Qt::Key_Right);
  EXPECT_EQ(Text(Calendar->Date()), "2079-12-16 10:30");
  Key(*Calendar, Qt::Key_Up);
  EXPECT_EQ(Text(Calendar->Date()), "2079-12-09 10:30");
  Key(*Calendar, Qt::Key_PageUp);
  EXPECT_EQ(Text(Calendar->Date()), "2079-11-09 10:30");
  EXPECT_EQ(Title(*Calendar), "November 2079");
  Key(*Calendar, Qt::Key_Left);
  EXPECT_EQ(Text(Calendar->Date()), "2079-11-08 10:30");
  EXPECT_EQ(Changes, 4);
  // Other keys (End) move the grid its own way, and its choice becomes the value.
  Key(*Calendar, Qt::Key_End);
  EXPECT_EQ(Text(Calendar->Date()), "2079-11-30 10:30");
  EXPECT_EQ(Changes, 5);
}

// A drop-down holding the calendar hears of the range error first and may
// show it its own way; it also adds to Change.
class HookedCalendar : public TdwMonthCalendar {
public:
  std::vector<std::string> Errors;
  int Changed = 0;
  void Change() override {
    ++Changed;
    TdwMonthCalendar::Change();
  }

protected:
  void DateError(const EDateTimeError& error) override { Errors.push_back(error.Message); }
};

TEST_F(MonthCalendarTest, RangeErrorsOfKeysGoThroughTheErrorHook) {
  HookedCalendar calendar;
  calendar.SetMaxDate(D(2079, 12, 15));
  calendar.show();
  Settle();
  Key(calendar, Qt::Key_Down);  // no box: the strict dialogs would fail the test
  Key(calendar, Qt::Key_Up);
  EXPECT_EQ(calendar.Errors, std::vector<std::string>{"Date exceeds maximum of 12/15/2079"});
  EXPECT_EQ(Text(calendar.Date()), "2079-12-08 10:30");
  EXPECT_EQ(calendar.Changed, 1);
}

TEST_F(MonthCalendarTest, KeyBelowMinDateReports) {
  Calendar->SetMinDate(D(2079, 12, 10));
  Show();
  DialogResponder responder;
  responder.Expect("Date is less than minimum of 12/10/2079");
  Key(*Calendar, Qt::Key_Up);
  EXPECT_EQ(Text(Calendar->Date()), "2079-12-15 10:30");
}

TEST_F(MonthCalendarTest, AClickOnADayBeyondALimitDoesNothing) {
  Calendar->SetMaxDate(D(2079, 12, 20));
  Show();
  std::vector<TCalendarHit> hits;
  Calendar->OnMouseDown = [&](TdwMonthCalendar&, Qt::MouseButton, Qt::KeyboardModifiers, int, int, TCalendarHit hit) {
    hits.push_back(hit);
  };
  ClickDay(*Calendar, QDate(2079, 12, 21));
  ClickDay(*Calendar, QDate(2080, 1, 2));
  EXPECT_EQ(Text(Calendar->Date()), "2079-12-15 10:30");
  EXPECT_EQ(Calendar->Grid()->selectedDate(), QDate(2079, 12, 15));
  EXPECT_EQ(Changes, 0);
  ASSERT_EQ(hits.size(), 2u);
  EXPECT_EQ(hits[0].Code, mchtCalendarDate);
  EXPECT_EQ(hits[0].Date, D(2079, 12, 21));
  EXPECT_EQ(hits[1].Code, mchtCalendarDateTrailing);
  // A day within them is chosen, with the value's time.
  ClickDay(*Calendar, QDate(2079, 12, 3));
  EXPECT_EQ(Text(Calendar->Date()), "2079-12-03 10:30");
  EXPECT_EQ(Changes, 1);
}

TEST_F(MonthCalendarTest, AClickOnATrailingDayRemembersTheMonthShownAtThePress) {
  Show();
  ClickDay(*Calendar, QDate(2080, 1, 1));
  EXPECT_EQ(Text(Calendar->Date()), "2080-01-01 10:30");
  EXPECT_EQ(Title(*Calendar), "January 2080");
  EXPECT_EQ(Calendar->ShownMonthAtPress(), std::make_pair(2079, 12));
}

TEST_F(MonthCalendarTest, HitTestNamesTheDateQtSelectsForEveryCell) {
  // September 2024 begins on a Sunday: a whole week of August comes first.
  Show();
  Calendar->SetDate(D(2024, 9, 15));
  const QDate first = Calendar->Grid()->FirstShownDate();
  EXPECT_EQ(first, QDate(2024, 8, 25));
  QTableView* view = Calendar->Grid()->View();
  for (int cell = 0; cell < 42; ++cell) {
    Calendar->SetDate(D(2024, 9, 15));
    const QDate expected = first.addDays(cell);
    const QPoint at = CellOf(Calendar->Grid(), expected);
    const TCalendarHit hit = Calendar->HitTest(view->viewport()->mapTo(Calendar.get(), at));
    EXPECT_EQ(hit.Date, EncodeDate(expected.year(), expected.month(), expected.day()));
    EXPECT_EQ(hit.Code, expected.month() == 9 ? mchtCalendarDate : mchtCalendarDateTrailing);
    QDate clicked;
    auto connection = QObject::connect(Calendar->Grid(), &QCalendarWidget::clicked, [&](QDate d) { clicked = d; });
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, at);
    QObject::disconnect(connection);
    EXPECT_EQ(clicked, expected) << cell;
  }
  EXPECT_EQ(Calendar->HitTest(Calendar->NextButton()->geometry().center() + Calendar->NextButton()->parentWidget()->pos()).Code,
            mchtTitleBtnNext);
}

TEST_F(MonthCalendarTest, MonthMenuShowsStatesAndSetsTheMonth) {
  Calendar->SetMaxDate(D(2080, 3, 10));
  Calendar->SetDate(D(2080, 1, 15));
  Show();
  Press(Calendar->MonthButton());
  EXPECT_TRUE(Calendar->IsPopupShowing());
  EXPECT_EQ(MenuStates(*Calendar->MonthMenu()),
            "January* February March- April- May- June- July- August- September- October- November- December-");
  Calendar->MonthMenu()->hide();
  Settle();
  EXPECT_FALSE(Calendar->IsPopupShowing());
  PickMonth(*Calendar, "February");
  EXPECT_EQ(Text(Calendar->Date()), "2080-02-15 10:30");
  EXPECT_EQ(Title(*Calendar), "February 2080");
  EXPECT_EQ(Changes, 1);
}

TEST_F(MonthCalendarTest, YearPopupListsFromStartYearAndSetsTheYear) {
  Limit1981To2079();
  Calendar->PopupYearOptions().StartYear = 2070;
  Calendar->SetDate(D(2076, 2, 29));
  Show();
  Press(Calendar->YearButton());
  ASSERT_TRUE(Calendar->YearPopup()->isVisible());
  EXPECT_TRUE(Calendar->IsPopupShowing());
  EXPECT_EQ(PopupStates(*Calendar->YearPopup()),
            "2070 2071 2072 2073 2074 2075 2076* 2077 2078 2079 2080- 2081- 2082- 2083- 2084- 2085- 2086- 2087- 2088- "
            "2089-");
  Calendar->YearPopup()->hide();
  Settle();
  PickYear(*Calendar, "2077");
  EXPECT_FALSE(Calendar->YearPopup()->isVisible());
  EXPECT_EQ(Text(Calendar->Date()), "2077-02-28 10:30");
  EXPECT_EQ(Title(*Calendar), "February 2077");
  EXPECT_EQ(Changes, 1);
}

TEST_F(MonthCalendarTest, OddYearOptionsNeverCrash) {
  Calendar->PopupYearOptions() = {0, 3, 9998, false};
  Show();
  Press(Calendar->YearButton());
  EXPECT_EQ(PopupStates(*Calendar->YearPopup()), "9998 9999");
}

TEST_F(MonthCalendarTest, EditYearAsksUntilValidAndCancelChangesNothing) {
  Limit1981To2079();
  Calendar->PopupYearOptions().ShowEditYear = true;
  Show();
  {
    DialogResponder responder;
    responder.AnswerInput("2080").AnswerInput("1999");
    PickYear(*Calendar, "Edit Year");
    ASSERT_EQ(responder.Boxes().size(), 2u);
    EXPECT_EQ(responder.Boxes()[0].caption, "Enter Valid Year (1981-2079)");
    EXPECT_EQ(responder.Boxes()[0].text, "Enter New Year:");
  }
  EXPECT_EQ(Text(Calendar->Date()), "1999-12-15 10:30");
  EXPECT_EQ(Title(*Calendar), "December 1999");
  EXPECT_EQ(Changes, 1);
  {
    DialogResponder responder;
    responder.AnswerInput("", false);
    PickYear(*Calendar, "Edit Year");
  }
  EXPECT_EQ(Text(Calendar->Date()), "1999-12-15 10:30");
  EXPECT_EQ(Changes, 1);
}

TEST_F(MonthCalendarTest, SecondPressOnTheYearTitleOnlyClosesThePopup) {
  Show();
  Press(Calendar->YearButton());
  TYearPopup* popup = Calendar->YearPopup();
  ASSERT_TRUE(popup->isVisible());
  PressOverOpener(popup, Calendar->YearButton());
  EXPECT_FALSE(popup->isVisible());
  // Should the press reach the title all the same, it does not reopen.
  QTest::mousePress(Calendar->YearButton(), Qt::LeftButton);
  EXPECT_FALSE(popup->isVisible());
  QTest::mouseRelease(Calendar->YearButton(), Qt::LeftButton);
  Settle();
  // The next press opens it again.
  Press(Calendar->YearButton());
  EXPECT_TRUE(popup->isVisible());
}

TEST_F(MonthCalendarTest, SecondPressOnTheMonthTitleOnlyClosesTheMenu) {
  Show();
  int shown = 0;
  QObject::connect(Calendar->MonthMenu(), &QMenu::aboutToShow, [&] { ++shown; });
  Press(Calendar->MonthButton());
  QMenu* menu = Calendar->MonthMenu();
  ASSERT_TRUE(menu->isVisible());
  PressOverOpener(menu, Calendar->MonthButton());
  EXPECT_FALSE(menu->isVisible());
  EXPECT_EQ(shown, 1);
  EXPECT_EQ(Title(*Calendar), "December 2079");
}

TEST_F(MonthCalendarTest, BoldDaysAreAskedForThreeMonthsPerPage) {
  std::set<std::pair<int, int>> months;
  int asked = 0;
  Calendar->OnCalcBoldDay = [&](TdwMonthCalendar&, TDateTime day) {
    int y, m, d;
    DecodeDate(day, y, m, d);
    months.insert({y, m});
    ++asked;
    return d == 1 || (m == 1 && d == 9);
  };
  Show();
  EXPECT_EQ(months, (std::set<std::pair<int, int>>{{2079, 11}, {2079, 12}, {2080, 1}}));
  EXPECT_EQ(asked, 30 + 31 + 31);
  QCalendarWidget* grid = Calendar->Grid();
  EXPECT_EQ(grid->dateTextFormat(QDate(2079, 12, 1)).fontWeight(), QFont::Bold);
  EXPECT_EQ(grid->dateTextFormat(QDate(2080, 1, 9)).fontWeight(), QFont::Bold);
  EXPECT_FALSE(grid->dateTextFormat().contains(QDate(2079, 12, 2)));

  months.clear();
  asked = 0;
  Press(Calendar->NextButton());
  EXPECT_EQ(months, (std::set<std::pair<int, int>>{{2079, 12}, {2080, 1}, {2080, 2}}));
  EXPECT_EQ(asked, 31 + 31 + 29);
  // The formats of the page before are gone.
  EXPECT_FALSE(grid->dateTextFormat().contains(QDate(2079, 11, 1)));
  EXPECT_EQ(grid->dateTextFormat().size(), 4);

  // Without the day-state option nothing is asked and nothing is bold.
  asked = 0;
  Calendar->SetOptions(0);
  Press(Calendar->NextButton());
  EXPECT_EQ(asked, 0);
  EXPECT_TRUE(grid->dateTextFormat().isEmpty());
}

TEST_F(MonthCalendarTest, SundayComesFirstInTheCLocale) {
  const QLocale saved;
  QLocale::setDefault(QLocale::c());
  TdwMonthCalendar calendar;
  QLocale::setDefault(saved);
  QTableView* view = calendar.Grid()->View();
  EXPECT_EQ(calendar.Grid()->firstDayOfWeek(), Qt::Sunday);
  EXPECT_EQ(view->model()->data(view->model()->index(0, 0)).toString(), "Sun");
  EXPECT_EQ(view->model()->data(view->model()->index(0, 6)).toString(), "Sat");
  calendar.SetFirstDayOfWeek(dwdowMonday);
  EXPECT_EQ(view->model()->data(view->model()->index(0, 0)).toString(), "Mon");
}

TEST_F(MonthCalendarTest, CodeMovesNeverRunChange) {
  Show();
  Calendar->SetDate(D(2000, 5, 5));
  Calendar->SetMinDate(D(2001, 1, 1));  // moves the grid's selection, not the value
  Calendar->SetMaxDate(D(2002, 1, 1));
  Calendar->SetMaxDate(0);
  Calendar->SetMinDate(0);
  EXPECT_EQ(Changes, 0);
  EXPECT_EQ(Text(Calendar->Date()), "2000-05-05 10:30");
}

TEST_F(MonthCalendarTest, RangeSettersRaiseOnACrossingAndClearWithZero) {
  Limit1981To2079();
  ExpectMessage<EDateTimeError>([&] { Calendar->SetMinDate(D(2080, 1, 1)); }, "Date exceeds maximum of 12/31/2079");
  ExpectMessage<EDateTimeError>([&] { Calendar->SetMaxDate(D(1980, 1, 1)); }, "Date is less than minimum of 1/1/1981");
  EXPECT_EQ(Calendar->MinDate(), D(1981, 1, 1));
  EXPECT_EQ(Calendar->MaxDate(), D(2079, 12, 31));
  Calendar->SetMaxDate(0);
  EXPECT_EQ(Calendar->MaxDate(), 0);
  EXPECT_EQ(Calendar->Grid()->maximumDate(), QDate(9999, 12, 31));
  Calendar->SetMinDate(0);
  EXPECT_EQ(Calendar->Grid()->minimumDate(), QDate(1899, 12, 30));
  Calendar->SetMinDate(D(1981, 1, 1));
  ExpectMessage<EDateTimeError>([&] { Calendar->SetDate(D(1980, 12, 31)); }, "Date is less than minimum of 1/1/1981");
  EXPECT_EQ(Text(Calendar->Date()), "2079-12-15 10:30");
  // A value no calendar holds is refused before anything changes.
  EXPECT_THROW(Calendar->SetDate(1e12), EConvertError);
  EXPECT_THROW(Calendar->SetMaxDate(1e12), EConvertError);
  EXPECT_THROW(Calendar->SetMinDate(-1e12), EConvertError);
  EXPECT_EQ(Calendar->MaxDate(), 0);
  EXPECT_EQ(Calendar->MinDate(), D(1981, 1, 1));
  EXPECT_EQ(Text(Calendar->Date()), "2079-12-15 10:30");
  EXPECT_EQ(Calendar->Grid()->selectedDate(), QDate(2079, 12, 15));
}

TEST_F(MonthCalendarTest, TodayFooterSelectsTodayWithinTheLimitsOnly) {
  Show();
  Calendar->SetDate(D(2079, 1, 1));
  Press(Calendar->TodayButton());
  EXPECT_EQ(Text(Calendar->Date()), "2079-12-15 10:30");
  EXPECT_EQ(Changes, 1);
  Calendar->SetDate(D(2079, 1, 1));
  Calendar->SetMaxDate(D(2079, 6, 1));
  Press(Calendar->TodayButton());
  EXPECT_EQ(Text(Calendar->Date()), "2079-01-01 10:30");
  EXPECT_EQ(Changes, 1);
  Calendar->SetOptions(MonthOptions(mdoNoToday));
  EXPECT_FALSE(Calendar->TodayButton()->isVisible());
}

TEST_F(MonthCalendarTest, OptionsWeekNumbersAndSizes) {
  Show();
  const int narrow = Calendar->minimumSizeHint().width();
  Calendar->SetOptions(mdoDayState | mdoWeekNumbers);
  EXPECT_EQ(Calendar->Grid()->verticalHeaderFormat(), QCalendarWidget::ISOWeekNumbers);
  EXPECT_GT(Calendar->minimumSizeHint().width(), narrow);
  Calendar->SetWidth(10);
  Calendar->SetHeight(10);
  EXPECT_EQ(Calendar->size(), Calendar->minimumSizeHint());
  Calendar->SetWidth(400);
  EXPECT_EQ(Calendar->width(), 400);
  Calendar->SetBorderStyle(bsSingle);
  EXPECT_EQ(Calendar->frameShape(), QFrame::Box);
}

TEST_F(MonthCalendarTest, ColoursReachTheirParts) {
  TdwDateTimeColors colors;
  colors.SetTitleBackColor(0x0000FF);  // red in 0x00BBGGRR
  colors.SetMonthBackColor(0x00FF00);
  Calendar->SetCalColors(colors);
  EXPECT_EQ(Calendar->CalColors().TitleBackColor(), 0x0000FF);
  EXPECT_EQ(Calendar->findChild<QWidget*>("titleBar")->palette().color(QPalette::Window), QColor(255, 0, 0));
  EXPECT_EQ(Calendar->Grid()->palette().color(QPalette::Base), QColor(0, 255, 0));
  EXPECT_EQ(ColorToRGB(clWhite), 0xFFFFFFu);
  const QColor base = QApplication::palette().color(QPalette::Active, QPalette::Base);
  EXPECT_EQ(ColorToRGB(clWindow), uint32_t(base.red() | base.green() << 8 | base.blue() << 16));
}

}  // namespace
