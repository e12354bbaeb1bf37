// The batch viewer offscreen against the real record manager: rows, joined
// descriptions and the total; navigation and Up/Down wherever the focus
// is; Delete and Edit with every message; export and erase from the
// viewer. Then the whole way end to end: a sample office, entries timed by
// the stopwatch under a fixed clock and saved, the viewer, a delete, an
// edit, an export through the export command, an erase of the new batch.
#include "entry/batch_export.h"
#include "entry/qe_stopwatch.h"
#include "entry/qt/batch_view_form.h"
#include "entry/tests/batch/batch_fixture.h"

#include "platform/datetime_value.h"
#include "platform/qt/dir_browser_form.h"
#include "platform/qt/directory_list_box.h"
#include "platform/qt/widget_text.h"
#include "templates/batch_codec.h"
#include "templates/family_files.h"
#include "templates/sample_office.h"
#include "templates/validation_files.h"
#include "testing/clock_fixture.h"

#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QTest>
#include <QTimer>

namespace {

class BatchViewTest : public BatchTest {
protected:
  void TearDown() override {
    view_.reset();
    BatchTest::TearDown();
  }
  TQBatchViewF& View() {
    if (!view_) {
      view_ = std::make_unique<TQBatchViewF>();
      view_->show();
      QApplication::processEvents();
    }
    return *view_;
  }
  std::string Cell(int row, int column) {
    const QTableWidgetItem* item = View().QBatchViewGrid->item(row, column);
    return item ? StoredText(item->text()) : "<none>";
  }
  int Selected() {
    const auto items = View().QBatchViewGrid->selectedItems();
    return items.isEmpty() ? -1 : items.front()->row();
  }
  std::string Total() { return StoredText(View().TotalHours->text()); }
  // The entry without its lines, as another client changes the batch.
  void SaveThree() {
    ASSERT_TRUE(SaveBatchEntry(Entry("1.5", "one line")));
    ASSERT_TRUE(SaveBatchEntry(Entry("2.25", std::string(78, 'a') + std::string(78, 'b') + "ccc")));
    ASSERT_TRUE(SaveBatchEntry(Entry(".5", "")));
    BtrCloseAllFiles();
  }

private:
  std::unique_ptr<TQBatchViewF> view_;
};

TEST_F(BatchViewTest, AnEmptyBatchShowsOnlyTheHeaderAndZero) {
  UseEmptyBatch();
  EXPECT_EQ(View().QBatchViewGrid->rowCount(), 0);
  EXPECT_EQ(Total(), "0.00");
  EXPECT_TRUE(View().QBatchViewGrid->isColumnHidden(7));
  EXPECT_EQ(StoredText(View().QBatchViewGrid->horizontalHeaderItem(5)->text()), "               Hours");
  DialogResponder boxes;
  boxes.Expect("Please highlight the record you wish to delete first.")
      .Expect("Please highlight the record you wish to edit first.");
  View().Delete1Click();
  View().BitBtnEditClick();
}

TEST_F(BatchViewTest, RowsJoinTheirLinesAndTheTotalAddsTheHours) {
  UseEmptyBatch();
  SaveThree();
  ASSERT_EQ(View().QBatchViewGrid->rowCount(), 3);
  EXPECT_EQ(Cell(0, 0), "09/04/2028");
  EXPECT_EQ(Cell(0, 1), "JD  ");
  EXPECT_EQ(Cell(0, 2), "ACME   ");
  EXPECT_EQ(Cell(0, 3), "     12");
  EXPECT_EQ(Cell(0, 5), "        1.50");
  EXPECT_EQ(Cell(1, 6), std::string(78, 'a') + std::string(78, 'b') + "ccc");
  EXPECT_EQ(Cell(2, 5), "         .50");
  EXPECT_EQ(Cell(2, 6), "");
  EXPECT_EQ(Cell(1, 7), View().Rows()[1].Position);
  EXPECT_EQ(Total(), "4.25");
  EXPECT_EQ(Selected(), 0);
  EXPECT_EQ(View().QBatchViewGrid->item(0, 0)->font().family(), "Liberation Sans");
}

TEST_F(BatchViewTest, NavigationByMenuAndByArrowsWhereverTheFocusIs) {
  UseEmptyBatch();
  SaveThree();
  View().Last1Click();
  EXPECT_EQ(Selected(), 2);
  View().Next1Click();
  EXPECT_EQ(Selected(), 2);
  View().First1Click();
  View().Previous1Click();
  EXPECT_EQ(Selected(), 0);
  View().BitBtnOK->setFocus();
  QTest::keyClick(View().BitBtnOK, Qt::Key_Down);
  QTest::keyClick(View().BitBtnOK, Qt::Key_Down);
  EXPECT_EQ(Selected(), 2);
  QTest::keyClick(View().BitBtnEdit, Qt::Key_Up);
  EXPECT_EQ(Selected(), 1);
}

TEST_F(BatchViewTest, DeleteAsksMarksTheRowAndRefusesASecondTime) {
  UseEmptyBatch();
  SaveThree();
  View().Next1Click();
  {
    DialogResponder boxes;
    boxes.Expect("Are you sure you want to delete the highlighted record?", mrNo);
    View().Delete1Click();
  }
  EXPECT_EQ(Cell(1, 5), "        2.25");
  {
    DialogResponder boxes;
    boxes.Expect("Are you sure you want to delete the highlighted record?", mrYes)
        .Expect("Record successfully deleted.");
    View().Delete1Click();
  }
  EXPECT_EQ(Cell(1, 5), "deleted");
  EXPECT_EQ(View().QBatchViewGrid->item(1, 0)->font().family(), "Liberation Mono");
  EXPECT_EQ(Total(), "2.00");
  BtrCloseAllFiles();
  const std::string trin = DumpRecords(DataFolder(Temp.path()) / "TRIN01.MD");
  const std::string desc = DumpRecords(DataFolder(Temp.path()) / "DESC01.MD");
  {
    DialogResponder boxes;
    boxes.Expect("This record has already been deleted!").Expect("This record has been deleted!");
    View().Delete1Click();
    View().BitBtnEditClick();
  }
  BtrCloseAllFiles();
  EXPECT_EQ(DumpRecords(DataFolder(Temp.path()) / "TRIN01.MD"), trin);
  EXPECT_EQ(DumpRecords(DataFolder(Temp.path()) / "DESC01.MD"), desc);
  EXPECT_EQ(desc.find("ccc"), std::string::npos);
}

TEST_F(BatchViewTest, ADeleteOfAnEntryGoneMeanwhileFailsWithItsText) {
  UseEmptyBatch();
  SaveThree();
  View();
  const TBatchRow first = View().Rows()[0];
  ASSERT_EQ(DeleteBatchEntry(ParsedPosition(first.Position), first.Link), "");
  DialogResponder boxes;
  boxes.Expect("Are you sure you want to delete the highlighted record?", mrYes)
      .Expect("Unable to delete this record:\r\rThe entry is no longer in the batch as it was read.\r"
              "Please try this operation again later of contact Ondral, Inc. for assistance.");
  View().Delete1Click();
  EXPECT_EQ(Cell(0, 5), "        1.50");
}

TEST_F(BatchViewTest, EditReadsTheEntryIntoTrinRecAndCloses) {
  UseEmptyBatch();
  SaveThree();
  View().Last1Click();
  View().BitBtnEditClick();
  EXPECT_FALSE(View().isVisible());
  EXPECT_EQ(View().result(), QDialog::Accepted);
  EXPECT_TRUE(EditingBatchEntry);
  EXPECT_EQ(FormatGridPosition(EditingBatchPos), View().Rows()[2].Position);
  EXPECT_EQ(FieldText(TrinRec, TrinField::Link), "       3");
}

TEST_F(BatchViewTest, ExportFromTheViewerClosesItOnceTheBatchIsEmpty) {
  UseScenario();
  std::string picked;
  View().ExportCommand = [&] {
    SelectExportDirWith(
        [&](const std::string&, const std::string&, std::string& folder) {
          folder = picked;
          return !folder.empty();
        });
  };
  View().BitBtn1Click();  // cancelled in the browser: stays open
  EXPECT_TRUE(View().isVisible());
  picked = ExportFolder(Temp.path()).string();
  {
    DialogResponder boxes;
    boxes.Expect("You are about to export the current batch to:\r\r" + picked + ".", mrOk)
        .Expect("Make '" + picked + "'" + "\r" + "the default directory to export to?", mrNo)
        .Expect("Your batch has been successfully exported.");
    View().BitBtn1Click();
  }
  EXPECT_FALSE(View().isVisible());
  EXPECT_TRUE(std::filesystem::exists(ExportFolder(Temp.path()) / "TRIN01.MD"));
}

TEST_F(BatchViewTest, EraseFromTheViewerEmptiesTheGrid) {
  UseEmptyBatch();
  SaveThree();
  DialogResponder boxes;
  boxes.Expect("Are you SURE you want to erase the ENTIRE batch?", mrYes);
  View().Erasebatch1Click();
  EXPECT_EQ(View().QBatchViewGrid->rowCount(), 0);
  EXPECT_EQ(Total(), "0.00");
  View().BitBtnOKClick();
  EXPECT_EQ(Links(Rows()), std::vector<std::string>{});
}

}  // namespace

namespace {

// The stopwatch's view as a plain record of what the screen would show.
class ScreenView : public TQeStopwatchView {
public:
  void SetTimeText(const std::string& Text) override { Time = Text; }
  std::string HoursText() const override { return Hours; }
  void SetHoursText(const std::string& Text) override { Hours = Text; }
  void SetPauseButton(bool, const std::string&) override {}
  void SetStartItem(const std::string&, bool) override {}
  void SetTimer(bool, int) override {}
  bool IsShowing() const override { return true; }
  std::string Time, Hours;
};

class BatchEndToEndTest : public BatchViewTest {};

TEST_F(BatchEndToEndTest, TimedEntriesViewedDeletedEditedExportedAndANewBatchErased) {
  UseEmptyBatch();
  ScopedClock clock(EncodeDate(2026, 12, 11) + 0.375);
  // The family's options give the stopwatch its increment.
  Store.DataRoot = TempPath("family");
  std::vector<TSampleFileCount> counts;
  std::string msg;
  ASSERT_TRUE(WriteSampleOffice(Store.DataRoot, BuildSampleOffice(), counts, msg)) << msg;
  OpenSysOptionsFile();
  bool atEnd = false;
  BtrGetFirst(SysOptionsFileNo, SysopRec, atEnd, false);
  ASSERT_FALSE(atEnd);
  const int choice = IncrementChoiceOfOptions(SysopRec);
  BtrCloseFile(SysOptionsFileNo);
  EXPECT_EQ(choice, 2);  // the sample office's digit 4: steps of 0.1 hours

  ScreenView screen;
  QeStopwatch watch(screen, [](const std::string&) {});
  watch.SetIncrement(choice);
  for (const uint32_t minutes : {20u, 45u, 6u}) {
    screen.Hours = "";
    watch.StartOrStop();
    clock.Advance(minutes * 60 * 1000 + 1000);
    watch.Tick();
    watch.StartOrStop();
    TBatchEntry entry = Entry(screen.Hours, "Timed for " + std::to_string(minutes) + " minutes");
    entry.Date = ClockNow();
    ASSERT_EQ(CheckBatchEntry(entry.Date, entry.Hours).Message, "");
    ASSERT_TRUE(SaveBatchEntry(entry));
  }
  BtrCloseAllFiles();

  TQBatchViewF& view = View();
  ASSERT_EQ(view.QBatchViewGrid->rowCount(), 3);
  EXPECT_EQ(Cell(0, 0), "12/11/2026");
  EXPECT_EQ(Cell(0, 5), "         .40");  // 20 minutes and a second: four steps begun
  EXPECT_EQ(Cell(1, 5), "         .80");
  EXPECT_EQ(Cell(2, 5), "         .20");
  EXPECT_EQ(Cell(1, 6), "Timed for 45 minutes");
  EXPECT_EQ(Total(), "1.40");

  // Delete the second entry, asked first.
  view.QBatchViewGrid->setFocus();
  QTest::keyClick(view.QBatchViewGrid, Qt::Key_Down);
  {
    DialogResponder boxes;
    boxes.Expect("Are you sure you want to delete the highlighted record?", mrYes)
        .Expect("Record successfully deleted.");
    view.MenuItems[4]->trigger();
  }
  EXPECT_EQ(Cell(1, 5), "deleted");
  EXPECT_EQ(Total(), "0.60");

  // Edit the third: the viewer closes with the entry in TrinRec.
  QTest::keyClick(view.BitBtnOK, Qt::Key_Down);
  QTest::mouseClick(view.BitBtnEdit, Qt::LeftButton);
  EXPECT_FALSE(view.isVisible());
  EXPECT_TRUE(EditingBatchEntry);
  EXPECT_EQ(FieldText(TrinRec, TrinField::Link), "       3");
  EXPECT_EQ(PackedHoursToText(FieldText(TrinRec, TrinField::Hours)), "         .20");
  ResetBatchFileState();

  // Export from a new showing, the folder picked in the real folder
  // browser: confirmed, not remembered, done; the viewer closes.
  view.show();
  QApplication::processEvents();
  ASSERT_EQ(view.QBatchViewGrid->rowCount(), 2);
  const std::string folder = ExportFolder(Temp.path()).string();
  std::string caption;
  QTimer::singleShot(0, [&] {
    auto* browser = dynamic_cast<TDirBrowserForm*>(QApplication::activeModalWidget());
    ASSERT_NE(browser, nullptr);
    caption = browser->Caption();
    EXPECT_TRUE(browser->DirectoryListBox1->SetDirectory(folder));
    QTest::mouseClick(browser->BitBtn1, Qt::LeftButton);
  });
  {
    DialogResponder boxes;
    boxes.Expect("You are about to export the current batch to:\r\r" + folder + ".", mrOk)
        .Expect("Make '" + folder + "'" + "\r" + "the default directory to export to?", mrNo)
        .Expect("Your batch has been successfully exported.");
    QTest::mouseClick(view.BitBtn1, Qt::LeftButton);
  }
  EXPECT_EQ(caption, "Select a directory to receive the exported batch");
  EXPECT_FALSE(view.isVisible());
  BtrCloseAllFiles();
  const std::string exported = DumpRecords(ExportFolder(Temp.path()) / "TRIN01.MD");
  EXPECT_EQ(std::count(exported.begin(), exported.end(), '\n'), 3);  // the layout and two entries
  EXPECT_EQ(exported, DumpRecords(DataFolder(Temp.path()) / "MDback" / "trin01.001"));
  EXPECT_TRUE(std::filesystem::exists(ExportFolder(Temp.path()) / "DESC01.MD"));
  EXPECT_TRUE(std::filesystem::exists(DataFolder(Temp.path()) / "MDback" / "DESC01.001"));

  // A new batch, erased from the viewer.
  ASSERT_TRUE(SaveBatchEntry(Entry("1", "into the new batch")));
  BtrCloseAllFiles();
  view.show();
  QApplication::processEvents();
  ASSERT_EQ(view.QBatchViewGrid->rowCount(), 1);
  EXPECT_EQ(view.Rows()[0].Link, "       1");
  {
    DialogResponder boxes;
    boxes.Expect("Are you SURE you want to erase the ENTIRE batch?", mrYes);
    view.MenuItems[5]->trigger();
  }
  EXPECT_EQ(view.QBatchViewGrid->rowCount(), 0);
  QTest::mouseClick(view.BitBtnOK, Qt::LeftButton);
  EXPECT_FALSE(view.isVisible());
  EXPECT_EQ(Links(Rows()), std::vector<std::string>{});
}

}  // namespace
