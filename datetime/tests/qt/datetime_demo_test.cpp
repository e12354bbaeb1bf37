// datetime-demo's window driven offscreen as a person would: the title
// buttons, the month menu, the year popup and its edit-year question, keys,
// a click on a day and the box at the upper limit, each checked by what the
// window shows; then the work date picker tabbed into, typed, stepped,
// dropped down, picked from, pasted into and left.
#include "datetime/tools/datetime_demo_window.h"

#include "datetime/tests/qt/calendar_driver.h"
#include "datetime/tests/qt/picker_driver.h"
#include "platform/clipboard.h"
#include "platform/datetime_value.h"
#include "platform/qt/message_beep.h"
#include "testing/clock_fixture.h"
#include "testing/dialog_responder.h"

#include <QLabel>
#include <QLineEdit>

#include <gtest/gtest.h>

using namespace calendar_test;

namespace {

class DatetimeDemoTest : public testing::Test {
protected:
  ScopedClock Clock{EncodeDate(2079, 11, 30) + EncodeTime(9, 0, 0, 0)};
  void SetUp() override {
    SetBeepSink([this](unsigned) { ++Beeps; });
    Window.show();
    Settle();
  }
  void TearDown() override { SetBeepSink(nullptr); }

  TdwMonthCalendar& Calendar() { return *Window.Calendar(); }
  std::string Shown() { return StoredText(Window.ValueLabel()->text()); }

  TDatetimeDemoF Window;
  int Beeps = 0;
};

TEST_F(DatetimeDemoTest, APersonPagesPicksTypesAndClicks) {
  EXPECT_EQ(Title(Calendar()), "November 2079");
  EXPECT_EQ(Shown(), "Value: 11/30/2079");

  // Next to December, then next again at the upper limit: the last day, a beep.
  Press(Calendar().NextButton());
  EXPECT_EQ(Title(Calendar()), "December 2079");
  EXPECT_EQ(Shown(), "Value: 12/30/2079");
  Press(Calendar().NextButton());
  EXPECT_EQ(Title(Calendar()), "December 2079");
  EXPECT_EQ(Shown(), "Value: 12/31/2079");
  EXPECT_EQ(Beeps, 1);

  // A key beyond the limit: the box, and the value stays.
  {
    DialogResponder responder;
    responder.Expect("Date exceeds maximum of 12/31/2079");
    Key(Calendar(), Qt::Key_Right);
  }
  EXPECT_EQ(Shown(), "Value: 12/31/2079");

  // The month menu: every month of 2079 open; pick February, the day limited.
  Press(Calendar().MonthButton());
  EXPECT_EQ(MenuStates(*Calendar().MonthMenu()),
            "January February March April May June July August September October November December*");
  Calendar().MonthMenu()->hide();
  PickMonth(Calendar(), "February");
  EXPECT_EQ(Title(Calendar()), "February 2079");
  EXPECT_EQ(Shown(), "Value: 2/28/2079");

  // The year popup: the edit-year label, then 1990-2009; pick 1996.
  Press(Calendar().YearButton());
  EXPECT_EQ(PopupStates(*Calendar().YearPopup()),
            "Edit Year 1990 1991 1992 1993 1994 1995 1996 1997 1998 1999 2000 2001 2002 2003 2004 2005 2006 2007 "
            "2008 2009");
  Calendar().YearPopup()->hide();
  PickYear(Calendar(), "1996");
  EXPECT_EQ(Title(Calendar()), "February 1996");
  EXPECT_EQ(Shown(), "Value: 2/28/1996");

  // Keys: a week on, a month on.
  Key(Calendar(), Qt::Key_Down);
  EXPECT_EQ(Shown(), "Value: 3/6/1996");
  Key(Calendar(), Qt::Key_PageDown);
  EXPECT_EQ(Title(Calendar()), "April 1996");
  EXPECT_EQ(Shown(), "Value: 4/6/1996");

  // A year typed in: first out of the limits, then 1981; January 1981's
  // previous month lies before the lower limit.
  {
    DialogResponder responder;
    responder.AnswerInput("1975").AnswerInput("1981");
    PickYear(Calendar(), "Edit Year");
    EXPECT_EQ(responder.Boxes().front().caption, "Enter Valid Year (1981-2079)");
  }
  EXPECT_EQ(Shown(), "Value: 4/6/1981");
  PickMonth(Calendar(), "January");
  Press(Calendar().MonthButton());
  EXPECT_EQ(MenuStates(*Calendar().MonthMenu()),
            "January* February March April May June July August September October November December");
  Calendar().MonthMenu()->hide();
  Press(Calendar().YearButton());
  EXPECT_EQ(PopupStates(*Calendar().YearPopup()).substr(0, 30), "Edit Year 1990 1991 1992 1993 ");
  Calendar().YearPopup()->hide();
  Press(Calendar().PrevButton());
  EXPECT_EQ(Title(Calendar()), "January 1981");
  EXPECT_EQ(Shown(), "Value: 1/1/1981");
  EXPECT_EQ(Beeps, 2);

  // A click on a day.
  ClickDay(Calendar(), QDate(1981, 1, 22));
  EXPECT_EQ(Shown(), "Value: 1/22/1981");
  EXPECT_EQ(Calendar().Grid()->selectedDate(), QDate(1981, 1, 22));
}

TEST_F(DatetimeDemoTest, APersonTypesStepsPicksAndPastesAWorkDate) {
  using picker_test::Selected;
  using picker_test::Text;
  picker_test::Activate(Window);
  TdwDBDateTimePicker& work = *Window.WorkDate();
  const auto dayName = [&] { return StoredText(Window.DayNameLabel()->text()); };

  // The first field has the focus; three Tabs reach the work date, blank.
  ASSERT_TRUE(Window.EntryDate()->hasFocus());
  for (int i = 0; i < 3; ++i) keyboard::Type(Qt::Key_Tab);
  ASSERT_TRUE(work.hasFocus());
  EXPECT_EQ(Text(work), "");
  EXPECT_EQ(dayName(), "");

  // A date typed field by field: each completed field moves on.
  keyboard::Type("12");
  EXPECT_EQ(Text(work), "12/30/2079");
  EXPECT_EQ(Selected(work), "30");
  keyboard::Type("25");
  EXPECT_EQ(Selected(work), "2079");
  keyboard::Type("199");
  EXPECT_EQ(Text(work), "12/25/199");
  keyboard::Type("9");
  EXPECT_EQ(Text(work), "12/25/1999");
  EXPECT_EQ(Selected(work), "1999");
  EXPECT_EQ(dayName(), "Saturday");

  // Stepped a year on.
  keyboard::Type(Qt::Key_Up);
  EXPECT_EQ(Text(work), "12/25/2000");
  EXPECT_EQ(dayName(), "Monday");

  // Dropped down, a day picked.
  keyboard::Type(Qt::Key_Down, Qt::AltModifier);
  ASSERT_TRUE(picker_test::Open(work));
  EXPECT_EQ(Selected(work), "");
  EXPECT_EQ(Title(*work.PopupCalendar()), "December 2000");
  ClickDay(*work.PopupCalendar(), QDate(2000, 12, 29));
  EXPECT_FALSE(picker_test::Open(work));
  EXPECT_EQ(Text(work), "12/29/2000");
  EXPECT_EQ(Selected(work), "2000");
  EXPECT_EQ(dayName(), "Friday");

  // Pasted: beyond the limit the box and nothing changed, then a good date.
  {
    DialogResponder responder;
    responder.Expect("Date exceeds maximum of 12/31/2079");
    SetClipboardText("1/15/2080");
    keyboard::Type(Qt::Key_V, Qt::ControlModifier);
  }
  EXPECT_EQ(Text(work), "12/29/2000");
  SetClipboardText("7/4/1986");
  keyboard::Type(Qt::Key_V, Qt::ControlModifier);
  EXPECT_EQ(Text(work), "7/4/1986");
  EXPECT_EQ(dayName(), "Friday");

  // Left by Tab: the time field has the focus, the date stays.
  keyboard::Type(Qt::Key_Tab);
  EXPECT_TRUE(Window.TimeOfDay()->hasFocus());
  EXPECT_EQ(Text(work), "7/4/1986");
  EXPECT_EQ(work.Date(), EncodeDate(1986, 7, 4));
  EXPECT_EQ(Text(*Window.EntryDate()), "");
}

TEST_F(DatetimeDemoTest, YearsBeforeTheLowerLimitAreDisabled) {
  Window.Calendar()->PopupYearOptions() = {5, 1, 1978, false};
  Window.Calendar()->SetDate(EncodeDate(1981, 1, 15));
  Press(Calendar().YearButton());
  EXPECT_EQ(PopupStates(*Calendar().YearPopup()), "1978- 1979- 1980- 1981* 1982");
}

}  // namespace
