// Writing one entry to the batch with the real record manager: links as
// entries come and go, an edit in place, the screen's checks, the open's
// failure texts, and every step of a save made to fail: the entry is
// written whole or not at all.
#include "entry/tests/batch/batch_fixture.h"

#include "platform/files.h"
#include "templates/batch_codec.h"

namespace {

const std::string Contact = "\r\rPlease contact Ondral, Inc. for assistance.";

TEST_F(BatchTest, LinksFollowTheLastRecordAndAnEmptyBatchStartsAtOne) {
  UseEmptyBatch();
  ASSERT_TRUE(SaveBatchEntry(Entry("1", "first")));
  ASSERT_TRUE(SaveBatchEntry(Entry("2", "second")));
  std::vector<TBatchRow> rows = Rows();
  ASSERT_EQ(Links(rows), (std::vector<std::string>{"       1", "       2"}));

  // The last one deleted: its link is taken again.
  ASSERT_EQ(DeleteBatchEntry(ParsedPosition(rows[1].Position), rows[1].Link), "");
  ASSERT_TRUE(SaveBatchEntry(Entry("3", "third")));
  rows = Rows();
  EXPECT_EQ(Links(rows), (std::vector<std::string>{"       1", "       2"}));
  EXPECT_EQ(rows[1].Description, "third");

  // Every entry gone: 1 again.
  for (const TBatchRow& row : rows) ASSERT_EQ(DeleteBatchEntry(ParsedPosition(row.Position), row.Link), "");
  ASSERT_TRUE(SaveBatchEntry(Entry("4", "")));
  rows = Rows();
  EXPECT_EQ(Links(rows), std::vector<std::string>{"       1"});
  EXPECT_EQ(rows[0].Description, "");
  EXPECT_EQ(BtrRecordCount(DescFileNo), 0);
}

TEST_F(BatchTest, AnEditKeepsItsLinkAndReplacesItsLines) {
  UseEmptyBatch();
  for (int n = 1; n <= 3; ++n) ASSERT_TRUE(SaveBatchEntry(Entry(std::to_string(n), std::string(200, char('a' + n)))));
  std::vector<TBatchRow> rows = Rows();
  ASSERT_EQ(BtrRecordCount(DescFileNo), 9);

  TBatchEntry edit = Entry("7.25", "now one line");
  edit.Client = "OTHER";
  edit.Editing = true;
  edit.EditPos = ParsedPosition(rows[1].Position);
  edit.EditLink = rows[1].Link;
  ASSERT_TRUE(SaveBatchEntry(edit));

  const std::vector<TBatchRow> after = Rows();
  ASSERT_EQ(Links(after), Links(rows));
  EXPECT_EQ(after[1].Position, rows[1].Position);
  EXPECT_EQ(after[1].Client, "OTHER  ");
  EXPECT_EQ(after[1].Hours, "        7.25");
  EXPECT_EQ(after[1].Description, "now one line");
  EXPECT_EQ(after[0].Description, rows[0].Description);
  EXPECT_EQ(after[2].Description, rows[2].Description);
  EXPECT_EQ(BtrRecordCount(DescFileNo), 7);
}

TEST_F(BatchTest, AnEditOfAnEntryGoneOrChangedWritesNothing) {
  UseEmptyBatch();
  ASSERT_TRUE(SaveBatchEntry(Entry("1", "one")));
  ASSERT_TRUE(SaveBatchEntry(Entry("2", "two")));
  const std::vector<TBatchRow> rows = Rows();
  ASSERT_EQ(DeleteBatchEntry(ParsedPosition(rows[1].Position), rows[1].Link), "");

  const std::string gone = "The entry being edited is no longer in the batch as it was read.  Nothing was saved.";
  TBatchEntry edit = Entry("5", "edited");
  edit.Editing = true;
  edit.EditPos = ParsedPosition(rows[1].Position);
  edit.EditLink = rows[1].Link;
  {
    DialogResponder boxes;
    boxes.Expect(gone);
    EXPECT_FALSE(SaveBatchEntry(edit));
  }
  // The record at the position now carries another link.
  edit.EditPos = ParsedPosition(rows[0].Position);
  {
    DialogResponder boxes;
    boxes.Expect(gone);
    EXPECT_FALSE(SaveBatchEntry(edit));
  }
  const std::vector<TBatchRow> after = Rows();
  ASSERT_EQ(after.size(), 1u);
  EXPECT_EQ(after[0].Description, "one");
  EXPECT_EQ(after[0].Hours, "        1.00");
}

TEST_F(BatchTest, TheScreensChecksInTheirOrder) {
  const TDateTime good = 47000;
  const struct {
    TDateTime date;
    std::string hours;
    TBatchEntryField field;
    std::string message;
  } cases[] = {
      {29586, "1", TBatchEntryField::Date, "Invalid date!"},  // 31 December 1980
      {29587, "1", TBatchEntryField::None, ""},
      {good, "99999.99", TBatchEntryField::None, ""},
      {good, "0", TBatchEntryField::None, ""},
      {good, "100000", TBatchEntryField::Hours, "Hours must be between 0 and 99999.99"},
      {good, "-1", TBatchEntryField::Hours, "Hours must be between 0 and 99999.99"},
      {good, "abc", TBatchEntryField::Hours, "Hours must be between 0 and 99999.99"},
      {good, "1.255", TBatchEntryField::Hours, "Hours can have maximum of two decimal places."},
      {29000, "abc", TBatchEntryField::Date, "Invalid date!"},
  };
  for (const auto& c : cases) {
    const TBatchEntryCheck check = CheckBatchEntry(c.date, c.hours);
    EXPECT_EQ(check.Field, c.field) << c.hours;
    EXPECT_EQ(check.Message, c.message) << c.hours;
  }
}

TEST_F(BatchTest, AFileThatWillNotOpenDoesNotStopTheOther) {
  UseEmptyBatch();
  ASSERT_TRUE(DeleteFile(TrinFileName()));
  DialogResponder boxes;
  boxes.Answer(mrOk);
  EXPECT_FALSE(OpenBatchFiles());
  ASSERT_EQ(boxes.Texts().size(), 1u);
  EXPECT_TRUE(boxes.Texts()[0].starts_with("Unable to open the matterdesk batch file " + TrinFileName() + ".\r\r"));
  EXPECT_TRUE(boxes.Texts()[0].ends_with(Contact));
  EXPECT_FALSE(BtrIsFileOpen(TrinFileNo));
  EXPECT_TRUE(BtrIsFileOpen(DescFileNo));
  EXPECT_EQ(DescRec.size(), size_t(DescRecLen));
}

// Every step of a save of three lines failing once, then from there on:
// afterwards the entry is in the batch with all its lines or not at all.
TEST_F(BatchTest, ASaveFailingAtAnyStepWritesTheEntryWholeOrNotAtAll) {
  UseEmptyBatch();
  ASSERT_TRUE(SaveBatchEntry(Entry("1", "kept")));
  BtrCloseAllFiles();
  const TBatchEntry entry = Entry("2", std::string(200, 'x'));
  DisarmFaultPoint();
  ASSERT_TRUE(SaveBatchEntry(entry));
  const uint64_t steps = FaultStepCount();
  ASSERT_GT(steps, 5u);
  std::vector<TBatchRow> rows = Rows();
  ASSERT_EQ(DeleteBatchEntry(ParsedPosition(rows[1].Position), rows[1].Link), "");
  BtrCloseAllFiles();

  for (const TFaultAction action : {TFaultAction::FailOnce, TFaultAction::FailFromN}) {
    for (uint64_t step = 1; step <= steps; ++step) {
      SCOPED_TRACE("step " + std::to_string(step));
      bool saved = false;
      {
        RecordedDialogs boxes;
        ArmFaultPoint(step, action);
        saved = SaveBatchEntry(entry);
        DisarmFaultPoint();
        // One box, or two when both files failed to open.
        EXPECT_EQ(boxes.Texts.empty(), saved);
        EXPECT_LE(boxes.Texts.size(), 2u);
      }
      ResetBtrLayer();
      rows = Rows();
      ASSERT_GE(rows.size(), 1u);
      EXPECT_EQ(rows[0].Description, "kept");
      EXPECT_EQ(rows.size(), saved ? 2u : 1u);
      const int lines = BtrRecordCount(DescFileNo);
      EXPECT_EQ(lines, saved ? 4 : 1);
      if (rows.size() == 2) {
        EXPECT_EQ(rows[1].Description, entry.Description);
        ASSERT_EQ(DeleteBatchEntry(ParsedPosition(rows[1].Position), rows[1].Link), "");
      }
      BtrCloseAllFiles();
    }
  }
}

}  // namespace
