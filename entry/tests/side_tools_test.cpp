// The entry screen's side tools without a window: the stopwatch's states,
// messages and hand-over on a fixed clock, the calendar module's arguments
// per hint and codes, the word processor's hand-over file, and the
// record's printout: its lines and their painting.
#include "entry/calendar_command.h"
#include "entry/doc_info.h"
#include "entry/entry_stopwatch.h"
#include "entry/record_print.h"

#include "platform/datetime_value.h"

#include "testing/clock_fixture.h"
#include "testing/dialog_responder.h"

#include <gtest/gtest.h>

#include <ostream>
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

std::string Pad(size_t N) { return std::string(N, ' '); }
TPrintRow One(TPrintKind Kind, const std::string& Label, const std::string& Value) {
  return {{Kind, Label, Value}, false, {}};
}

}  // namespace

void PrintTo(const TPrintLine& Line, std::ostream* Out) {
  *Out << '"' << Line.Text << '"';
  for (const auto& [first, end] : Line.Bold) *Out << " [" << first << "," << end << ")";
  *Out << " row " << Line.Row;
}

namespace {

TEST(RecordPrintTest, LinesPerControlKindWithTheirBoldRuns) {
  const std::vector<TPrintRow> rows = {
      One(TPrintKind::Edit, "Title", "Engagement letter"),
      One(TPrintKind::Date, "Opened", "12/10/2026"),
      One(TPrintKind::CheckBox, "Billable", "Y"),
      One(TPrintKind::CheckBox, "Closed", "N"),
      One(TPrintKind::Document, "Document", "C:\\letters\\a.odt"),
      One(TPrintKind::Memo, "Notes", "Line one\nLine two"),
      // Broken at the last blank before character 41; a word of more than
      // 40 cut at 40.
      One(TPrintKind::Edit, "Long", "The quick brown fox jumps over the lazy dog and on"),
      One(TPrintKind::Edit, "Word", std::string(45, 'x')),
  };
  const std::vector<TPrintLine> lines = RecordPrintLines("Matters", EncodeDate(2026, 12, 11), rows);
  std::vector<TPrintLine> expected(3);
  expected.push_back({Pad(50) + "Matters" + Pad(43) + "12/11/2026" + Pad(10), {{50, 120}}, 0});
  expected.resize(6);
  int row = 0;
  const auto single = [&](const std::string& Label, const std::string& Value) {
    const std::string text = Pad(27 - Label.size()) + Label + "  " + Value;
    if (!Label.empty()) ++row;
    return TPrintLine{text, {{29, text.size()}}, row};
  };
  expected.push_back(single("Title", "Engagement letter" + Pad(23)));
  expected.push_back(single("Opened", "12/10/2026" + Pad(10)));
  expected.push_back(single("Billable", "YES"));
  expected.push_back(single("Closed", "NO "));
  expected.push_back(single("Document", "C:\\letters\\a.odt" + Pad(11)));
  expected.push_back(single("Notes", "Line one" + Pad(72)));
  expected.push_back(single("", "Line two" + Pad(72)));
  expected.push_back(single("Long", "The quick brown fox jumps over the lazy" + Pad(1)));
  expected.push_back(single("", "dog and on" + Pad(30)));
  expected.push_back(single("Word", std::string(40, 'x')));
  expected.push_back(single("", std::string(5, 'x') + Pad(35)));
  EXPECT_EQ(lines, expected);
}

TEST(RecordPrintTest, TwoControlRowsKeepEachSideInItsColumns) {
  const std::vector<TPrintRow> rows = {
      {{TPrintKind::Edit, "Client", "ACME"}, true, {TPrintKind::CheckBox, "Billable", "Y"}},
      {{TPrintKind::Edit, "Title", "short"}, true, {TPrintKind::Edit, "Remark", std::string(38, 'r') + " tail"}},
      {{TPrintKind::Edit, "Left", std::string(38, 'l') + " more"}, true, {TPrintKind::Date, "On", ""}},
  };
  std::vector<TPrintLine> lines = RecordPrintLines("M", 0, rows);
  lines.erase(lines.begin(), lines.begin() + 6);
  const auto pair = [](const std::string& Text, int Row) {
    return TPrintLine{Text, {{29, 69}, {98, Text.size()}}, Row};
  };
  const std::vector<TPrintLine> expected = {
      // Each label ends two blanks before its value, in line with the
      // one-control rows' labels.
      pair(Pad(21) + "Client  " + "ACME" + Pad(36) + Pad(19) + "Billable  " + "YES" + Pad(37), 1),
      pair(Pad(22) + "Title  " + "short" + Pad(35) + Pad(21) + "Remark  " + std::string(38, 'r') + Pad(2), 2),
      // Only the right side goes on.
      {Pad(98) + "tail" + Pad(36), {{98, 138}}, 2},
      pair(Pad(23) + "Left  " + std::string(38, 'l') + Pad(2) + Pad(25) + "On  " + Pad(40), 3),
      {Pad(29) + "more" + Pad(36), {{29, 69}}, 3},
  };
  EXPECT_EQ(lines, expected);
}

// A job that records what is painted where.
struct TRecordingJob {
  int PixelsPerInchY() const { return 600; }
  int PageHeight() const { return Height; }
  void SetFont(int PixelHeight, bool IsBold) {
    FontHeight = PixelHeight;
    Bold = IsBold;
  }
  int TextWidth(const std::string& Text) const { return int(Text.size()) * 40; }
  void TextOut(int X, int Y, const std::string& Text) {
    Painted.push_back(std::to_string(Pages) + ":" + std::to_string(X) + "," + std::to_string(Y) + (Bold ? " B " : " R ") +
                      Text + "@" + std::to_string(FontHeight));
  }
  void NewPage() { ++Pages; }
  int Height = 0;
  int Pages = 1;
  int FontHeight = 0;
  bool Bold = false;
  std::vector<std::string> Painted;
};

TEST(RecordPrintTest, PaintingPutsEachRunAtItsColumnAndBreaksPages) {
  EXPECT_EQ(RecordPrintFontHeight(600), -67);
  EXPECT_EQ(RecordPrintFontHeight(96), -11);
  EXPECT_EQ(RecordPrintLineAdvance(-67), 73);
  // Room for three lines a page.
  TRecordingJob job;
  job.Height = 3 * 73;
  const std::vector<TPrintLine> lines = {
      {"  Label  value", {{9, 14}}, 1}, {"", {}, 0}, {"x", {}, 2}, {"  two", {{2, 5}}, 3}, {"  ", {{0, 2}}, 4},
      {"last", {}, 5}};
  size_t painting = 99;
  PaintRecordLines(job, lines, &painting);
  EXPECT_EQ(painting, lines.size() - 1);
  EXPECT_EQ(job.Painted, (std::vector<std::string>{"1:0,0 R   Label  @67", "1:360,0 B value@67", "1:0,146 R x@67",
                                                    "2:80,0 B two@67", "2:0,146 R last@67"}));
  EXPECT_EQ(job.Pages, 2);
}

}  // namespace
