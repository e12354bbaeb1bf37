// The entry screen's side tools without a window: the stopwatch's states,
// messages and hand-over on a fixed clock, the calendar module's arguments
// per hint and codes, and the word processor's hand-over file.
#include "entry/calendar_command.h"
#include "entry/doc_info.h"
#include "entry/entry_stopwatch.h"

#include "testing/clock_fixture.h"
#include "testing/dialog_responder.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

namespace {

struct TRecordingView : TEntryStopwatchView {
  void ShowStarted(bool S) override { Started = S; }
  void SetPauseCaption(const std::string& C) override { Caption = C; }
  void SetTimer(bool E) override { Timer = E; }
  bool Started = false;
  std::string Caption;
  bool Timer = false;
};

using TSent = std::vector<std::pair<int, std::string>>;

class EntryStopwatchTest : public ::testing::Test {
protected:
  // Ticks once a second for Secs seconds.
  void Run(int Secs) {
    for (int i = 0; i < Secs; ++i) {
      Clock.Advance(1000);
      Watch.Tick();
    }
  }
  std::string LastTime() const { return Sent.empty() ? "" : Sent.back().second; }

  ScopedClock Clock{46000.5};
  TRecordingView View;
  TSent Sent;
  TEntryStopwatch Watch{View, [this](int Code, const std::string& Text) { Sent.emplace_back(Code, Text); }};
};

TEST_F(EntryStopwatchTest, StartsPausesRestartsAndStops) {
  EXPECT_TRUE(Watch.Stopped());
  EXPECT_EQ(Watch.HandOver(), std::nullopt);
  // A pause asked while stopped (by the main window) does nothing.
  Watch.PauseOrRestart(true);
  EXPECT_TRUE(Watch.Stopped());
  EXPECT_TRUE(Sent.empty());

  Watch.StartOrStop();
  EXPECT_TRUE(View.Started);
  EXPECT_TRUE(View.Timer);
  EXPECT_EQ(View.Caption, "P&ause");
  Run(605);
  EXPECT_EQ(Sent.size(), 605u);
  EXPECT_EQ(Sent.back(), (std::pair<int, std::string>{10, "00:10:05"}));
  EXPECT_EQ(Watch.HandOver(), (std::pair<int64_t, bool>{605, false}));

  Watch.PauseOrRestart(false);
  EXPECT_FALSE(View.Timer);
  EXPECT_EQ(View.Caption, "Rest&art");
  EXPECT_EQ(Sent.back(), (std::pair<int, std::string>{13, ""}));
  EXPECT_EQ(Watch.HandOver(), (std::pair<int64_t, bool>{605, true}));
  // Time passing while paused counts for nothing; a stray tick sends none.
  Clock.Advance(3600 * 1000);
  Watch.Tick();
  EXPECT_EQ(Sent.size(), 606u);

  // The main window's request restarts without telling the hub again.
  Watch.PauseOrRestart(true);
  EXPECT_TRUE(View.Timer);
  EXPECT_EQ(View.Caption, "P&ause");
  EXPECT_EQ(Sent.size(), 606u);
  Run(1);
  EXPECT_EQ(LastTime(), "00:10:06");

  Watch.StartOrStop();
  EXPECT_FALSE(View.Started);
  EXPECT_FALSE(View.Timer);
  EXPECT_EQ(View.Caption, "P&ause");
  EXPECT_EQ(Sent.back(), (std::pair<int, std::string>{10, "0:00"}));
  EXPECT_EQ(Watch.ElapsedSecs(), 0);
  EXPECT_EQ(Watch.HandOver(), std::nullopt);
}

// Stopping while paused stops; the next start counts from 0.
TEST_F(EntryStopwatchTest, AStopWhilePausedStartsTheNextCountFromZero) {
  Watch.StartOrStop();
  Run(30);
  Watch.PauseOrRestart(false);
  Watch.StartOrStop();
  EXPECT_TRUE(Watch.Stopped());
  EXPECT_FALSE(Watch.Paused());
  Watch.StartOrStop();
  Run(2);
  EXPECT_EQ(LastTime(), "00:00:02");
}

TEST_F(EntryStopwatchTest, TwentyFourHoursStartTheCountAgainWithAMessage) {
  DialogResponder boxes;
  Watch.StartOrStop();
  Clock.Advance(23 * 3600 * 1000 + 59 * 60 * 1000 + 59 * 1000);
  Watch.Tick();
  EXPECT_EQ(LastTime(), "23:59:59");
  boxes.Expect("Maximum elapsed time of 24 hours reached.\rTimer has been reset to 00:00:00.");
  Run(1);
  EXPECT_EQ(LastTime(), "00:00:00");
  EXPECT_EQ(Watch.ElapsedSecs(), 0);
  Run(3);
  EXPECT_EQ(LastTime(), "00:00:03");
}

TEST(CalendarStartTest, ArgumentsFollowTheHintAndTheCodes) {
  TDynCharArr none;
  // A case record of client "ACME" and suffix "   12".
  TDynCharArr caseRec(200, ' ');
  const std::string record = "ACME   " + std::string("     12");
  std::copy(record.begin(), record.end(), caseRec.begin() + 4);
  const std::string client = "Show calendar entries for this client";
  const std::string caseHint = "Show calendar entries for this case";
  const struct {
    std::string hint, client, caseCode;
    const TDynCharArr* rec;
    std::vector<std::string> args;
  } cases[] = {
      {client, "ACME   ", "", &none, {"261210d", "ACME", "x_x_x"}},
      {client, "", "", &none, {"261210d"}},
      // A code holding a blank is one argument.
      {client, "AB CD  ", "", &none, {"261210d", "AB CD", "x_x_x"}},
      {caseHint, "ACME", "7", &none, {"261210d", "ACME", "x_x_x", "7"}},
      {caseHint, "ACME", "", &none, {"261210d", "ACME", "x_x_x"}},
      {caseHint, "", "7", &none, {"261210d"}},
      // The case record gives a blank client and the suffix.
      {caseHint, "", "", &caseRec, {"261210d", "ACME", "x_x_x", "12"}},
      {caseHint, "BETA", "7", &caseRec, {"261210d", "BETA", "x_x_x", "12"}},
      {"", "ACME", "7", &caseRec, {"261210d"}},
  };
  for (const auto& c : cases) {
    const TCalendarStart start = CalendarStart("C:\\md", "261210", c.hint, c.client, c.caseCode, *c.rec);
    EXPECT_EQ(start.Program, "C:\\md\\zorvik.exe");
    EXPECT_EQ(start.Args, c.args) << c.hint << "|" << c.client << "|" << c.caseCode;
  }
}

TEST(DocInfoTest, TwoLinesOfQuotedItems) {
  EXPECT_EQ(DocInfoText({{"Name", "Ann"}, {"City", "Oslo"}}), "\"Name\",\"City\"\r\n\"Ann\",\"Oslo\"\r\n");
  // Nothing is escaped; an empty list still has its quotes.
  EXPECT_EQ(DocInfoText({{"Say", "\"hi\", 5"}}), "\"Say\"\r\n\"\"hi\", 5\"\r\n");
  EXPECT_EQ(DocInfoText({}), "\"\"\r\n\"\"\r\n");
  EXPECT_EQ(DocInfoFileName("C:\\md"), "C:\\md\\DocInfo.Txt");
}

}  // namespace
