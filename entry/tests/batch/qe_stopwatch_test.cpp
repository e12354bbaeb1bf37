// The quick entry stopwatch under a fixed clock: hours at the increments'
// boundaries and after late ticks, typed hours and a resume continuing,
// pause and resume, the 24-hour reset, the idle status once, and the
// increment choice from the options digit.
#include "entry/qe_stopwatch.h"

#include "platform/datetime_value.h"
#include "platform/errors.h"
#include "testing/clock_fixture.h"
#include "testing/dialog_responder.h"

#include <gtest/gtest.h>

namespace {

class FakeView : public TQeStopwatchView {
public:
  void SetTimeText(const std::string& Text) override { Time = Text; }
  std::string HoursText() const override { return Hours; }
  void SetHoursText(const std::string& Text) override {
    Hours = Text;
    ++HoursWrites;
  }
  void SetPauseButton(bool Visible, const std::string& Caption) override {
    PauseVisible = Visible;
    PauseCaption = Caption;
  }
  void SetStartItem(const std::string& Caption, bool Enabled) override {
    StartCaption = Caption;
    StartEnabled = Enabled;
  }
  void SetTimer(bool Enabled, int IntervalMs) override {
    TimerEnabled = Enabled;
    Interval = IntervalMs;
  }
  bool IsShowing() const override { return Showing; }

  std::string Time, Hours, PauseCaption, StartCaption;
  int HoursWrites = 0;
  bool PauseVisible = false, StartEnabled = true, TimerEnabled = false, Showing = true;
  int Interval = 0;
};

class StopwatchTest : public ::testing::Test {
protected:
  StopwatchTest() : clock_(EncodeDate(2026, 12, 11) + 0.375), watch_(view_, [this](const std::string& s) { Sent.push_back(s); }) {
    // A machine up for a minute: hours resumed from lie before its tick 0.
    SetTickCount(60 * 1000);
    watch_.SetIncrement(1);
  }
  // Moves the clock Secs seconds and ticks.
  void TickAfter(uint32_t secs) {
    clock_.Advance(secs * 1000);
    watch_.Tick();
  }
  // The hours after each tick at the given elapsed seconds, ticking only there.
  std::vector<std::string> HoursAt(const std::vector<uint32_t>& elapsed) {
    std::vector<std::string> hours;
    uint32_t at = 0;
    for (uint32_t e : elapsed) {
      TickAfter(e - at);
      at = e;
      hours.push_back(view_.Hours);
    }
    return hours;
  }

  ScopedClock clock_;
  FakeView view_;
  std::vector<std::string> Sent;
  QeStopwatch watch_;
};

TEST_F(StopwatchTest, AStartedIncrementCountsWholeFromTheFirstSecond) {
  watch_.StartOrStop();
  EXPECT_EQ(view_.Time, "00:00:00");
  EXPECT_EQ(view_.PauseCaption, "P&ause");
  EXPECT_TRUE(view_.PauseVisible);
  EXPECT_EQ(view_.StartCaption, "Stop &Timer");
  EXPECT_EQ(view_.Interval, RunningIntervalMs);
  EXPECT_EQ(HoursAt({0, 1, 900, 901, 1800, 1801}),
            (std::vector<std::string>{"0.25", "0.25", "0.25", "0.50", "0.50", "0.75"}));
  EXPECT_EQ(view_.Time, "00:30:01");
  EXPECT_EQ(Sent.back(), "00:30:01");
  EXPECT_EQ(view_.HoursWrites, 3);
}

TEST_F(StopwatchTest, ALateTickStillMovesTheHours) {
  watch_.StartOrStop();
  // Ticks at 2 and 905 seconds: none lands on 901, the hours move anyway.
  EXPECT_EQ(HoursAt({2, 905, 2710}), (std::vector<std::string>{"0.25", "0.50", "1.00"}));
}

TEST_F(StopwatchTest, EveryIncrementAtItsBoundaries) {
  const struct {
    int choice;
    uint32_t step;
    std::string one, two;
  } cases[] = {{1, 900, "0.25", "0.50"}, {2, 360, "0.10", "0.20"}, {3, 180, "0.05", "0.10"}, {4, 36, "0.01", "0.02"}};
  for (const auto& c : cases) {
    FakeView view;
    QeStopwatch watch(view, [](const std::string&) {});
    watch.SetIncrement(c.choice);
    watch.StartOrStop();
    std::vector<std::string> hours;
    uint32_t at = 0;
    for (uint32_t e : {1u, c.step, c.step + 1}) {
      clock_.Advance((e - at) * 1000);
      at = e;
      watch.Tick();
      hours.push_back(view.Hours);
    }
    EXPECT_EQ(hours, (std::vector<std::string>{c.one, c.one, c.two})) << c.choice;
  }
}

TEST_F(StopwatchTest, TypedHoursContinueAndWhatIsNoNumberCountsAsZero) {
  view_.Hours = "1.5";
  watch_.StartOrStop();
  EXPECT_EQ(view_.Time, "01:30:00");
  TickAfter(0);
  EXPECT_EQ(view_.Hours, "1.5");  // stands until the count passes it
  TickAfter(1);
  EXPECT_EQ(view_.Hours, "1.75");
  watch_.StartOrStop();

  view_.Hours = "abc";
  watch_.StartOrStop();
  EXPECT_TRUE(watch_.Running());
  EXPECT_TRUE(view_.TimerEnabled);
  EXPECT_EQ(view_.Time, "00:00:00");

  std::string s = " 5 ";
  FormatHours(s);
  EXPECT_EQ(s, "5.00");
  for (std::string empty : {"", "-", "."}) {
    FormatHours(empty);
    EXPECT_EQ(empty, "0.00");
  }
  std::string bad = "x1";
  EXPECT_THROW(FormatHours(bad), EConvertError);
}

TEST_F(StopwatchTest, PauseAndResumeKeepTheTimeShownAndActOnlyWhileRunning) {
  watch_.PauseOrResume();  // stopped: nothing happens
  EXPECT_FALSE(watch_.Paused());
  EXPECT_FALSE(view_.TimerEnabled);

  watch_.StartOrStop();
  TickAfter(100);
  watch_.PauseOrResume();
  EXPECT_TRUE(watch_.Paused());
  EXPECT_FALSE(view_.TimerEnabled);
  EXPECT_FALSE(view_.StartEnabled);
  EXPECT_EQ(view_.PauseCaption, "Rest&art");
  clock_.Advance(5000 * 1000);
  watch_.PauseOrResume();
  EXPECT_EQ(view_.PauseCaption, "P&ause");
  EXPECT_TRUE(view_.StartEnabled);
  TickAfter(1);
  EXPECT_EQ(view_.Time, "00:01:41");

  // Stopped while paused: the idle timer runs again.
  watch_.PauseOrResume();
  watch_.StartOrStop();
  EXPECT_TRUE(view_.TimerEnabled);
  EXPECT_EQ(view_.Interval, IdleIntervalMs);
  EXPECT_FALSE(view_.PauseVisible);
  EXPECT_EQ(view_.StartCaption, "Start &Timer");
}

TEST_F(StopwatchTest, AResumeRequestContinuesItsCountPausedOrNot) {
  view_.Hours = "3";
  watch_.RequestResume(125, true);
  watch_.StartOrStop();
  EXPECT_EQ(view_.Time, "00:02:05");
  EXPECT_TRUE(watch_.Paused());
  watch_.PauseOrResume();
  TickAfter(10);
  EXPECT_EQ(view_.Time, "00:02:15");
  EXPECT_EQ(view_.Hours, "3");  // ceil(135 / 900) is the starting count: unchanged
}

TEST_F(StopwatchTest, After24HoursTheCountRestartsBeforeItsBox) {
  watch_.StartOrStop();
  TickAfter(86399);
  EXPECT_EQ(view_.Time, "23:59:59");
  DialogResponder boxes;
  boxes.Expect("Maximum elapsed time of 24 hours reached.\rTimer has been reset to 00:00:00.", mrOk);
  TickAfter(1);
  EXPECT_EQ(view_.Time, "00:00:00");
  EXPECT_EQ(view_.Hours, "0.25");
  TickAfter(5);
  EXPECT_EQ(view_.Time, "00:00:05");
}

TEST_F(StopwatchTest, IdleTicksShowTheClockAndReportIdleOnceAfterShowingOrStopping) {
  watch_.Tick();
  watch_.Tick();
  EXPECT_EQ(view_.Time, "9:00 AM");
  EXPECT_EQ(Sent, std::vector<std::string>{"0:00"});
  watch_.ScreenShown();
  watch_.Tick();
  EXPECT_EQ(Sent.size(), 2u);

  watch_.StartOrStop();
  TickAfter(1);
  watch_.StartOrStop();  // Stop's own tick turns the display idle
  TickAfter(10);
  EXPECT_EQ(Sent, (std::vector<std::string>{"0:00", "0:00", "00:00:01", "0:00"}));

  view_.Showing = false;  // hidden: no tick at all
  view_.Hours = "";
  watch_.StartOrStop();
  TickAfter(5);
  EXPECT_EQ(view_.Time, "00:00:00");
}

TEST(StopwatchIncrementTest, TheOptionsDigitGivesAChoiceWithinTheFour) {
  const std::pair<char, int> cases[] = {{'0', 1}, {'2', 1}, {'3', 1}, {'4', 2}, {'5', 3},
                                        {'6', 4}, {'7', 4}, {'9', 4}, {' ', 2}, {'x', 2}};
  for (const auto& [digit, choice] : cases) EXPECT_EQ(IncrementChoiceOf(digit), choice) << digit;
  EXPECT_EQ(IncrementStepSecs(1), 900);
  EXPECT_EQ(IncrementStepSecs(4), 36);
}

}  // namespace
