// The quick entry screen offscreen against the real record manager and the
// sample office: the whole way a user goes (employee by code, a client
// completed from the list, a case, a grouping code, hours, a description,
// Save, the viewer's Edit, a changed save, Export through the folder
// browser), and the refusals of the save.
#include "entry/batch_files.h"
#include "entry/qe_files.h"
#include "entry/qt/batch_view_form.h"
#include "entry/qt/quick_entry_form.h"
#include "entry/tests/batch/batch_fixture.h"

#include "datetime/qt/date_time_picker.h"
#include "platform/datetime_value.h"
#include "platform/qt/dir_browser_form.h"
#include "platform/qt/directory_list_box.h"
#include "platform/qt/widget_text.h"
#include "platform/text.h"
#include "templates/batch_codec.h"
#include "templates/family_files.h"
#include "templates/validation_files.h"
#include "templates/registry_settings.h"
#include "testing/clock_fixture.h"
#include "testing/scoped_env.h"
#include "testing/sample_office_folder.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QTest>
#include <QToolButton>
#include <QKeyEvent>
#include <QTimer>

#include <QImage>

#include <map>
#include <set>

namespace {

class QuickEntryTest : public BatchTest {
protected:
  void SetUp() override {
    BatchTest::SetUp();
    const std::string office = SampleOfficeFolder();
    UseEmptyBatch();
    Store.DataRoot = office;
    // The modes as the registry holds them: no write on showing.
    Startup.MDEntryMode = "C";
    Startup.EntryModeIdx = 1;
    Startup.MDEmpByName = "C";
    Startup.EmpByNameIdx = 1;
    Startup.WorkDate = EncodeDate(2026, 12, 11);
  }
  void TearDown() override {
    delete QEF.data();
    QApplication::processEvents();
    ResetQuickEntryState();
    BatchTest::TearDown();
  }

  // The registry of this test only.
  ScopedEnv Registry{"MATTERDESK_REGISTRY", TempPath("registry.ini")};

  TQEF& Open(const TQeHandOver& handOver = {}) {
    EXPECT_TRUE(OpenQuickEntry(handOver));
    TQEF& qe = *QEF;
    EXPECT_TRUE(QTest::qWaitForWindowActive(&qe));
    return qe;
  }
  static std::string Text(const QLineEdit* edit) { return StoredText(edit->text()); }
  static std::string Text(const QLabel* label) { return StoredText(label->text()); }
  // Types into a field as a person does, then leaves it with Tab.
  static void Type(QWidget* field, const std::string& keys) {
    field->setFocus();
    QApplication::processEvents();
    QTest::keyClicks(field, WidgetText(keys));
    QApplication::processEvents();
  }
  static void Tab(QWidget* field) {
    QTest::keyClick(field, Qt::Key_Tab);
    QApplication::processEvents();
  }

  // From a fresh start (the focus on a button, which has no exit check),
  // Text in Field, then the focus to To: Message shown, the focus on Focus.
  static void ExpectExit(TQEF& qe, DialogResponder& boxes, QLineEdit* Field, const std::string& Text, QWidget* To,
                         const std::string& Message, QWidget* Focus) {
    qe.ClearBitBtn->setFocus();
    QApplication::processEvents();
    for (QLineEdit* edit : {qe.EditEmp, qe.EditClient, qe.EditCase, qe.EditGroup}) edit->clear();
    qe.State.ChosenEmployee.clear();
    qe.State.ChosenClient.clear();
    qe.State.ChosenCase.clear();
    Field->setFocus();
    QApplication::processEvents();
    Field->setText(WidgetText(Text));
    if (!Message.empty()) boxes.Expect(Message);
    To->setFocus();
    QApplication::processEvents();
    QApplication::processEvents();
    EXPECT_EQ(boxes.Pending(), 0u);
    EXPECT_EQ(QApplication::focusWidget(), Focus)
        << (QApplication::focusWidget() ? qPrintable(QApplication::focusWidget()->objectName()) : "none");
  }
  static std::vector<std::string> SortedClientCodes() {
    std::vector<std::string> codes;
    for (const TSampleClient& c : SampleOffice().Clients) codes.push_back(c.Code);
    std::sort(codes.begin(), codes.end());
    return codes;
  }
  // A client with more than one case and fewer than the list shows at
  // once, and its suffixes in the list's order.
  static std::pair<std::string, std::vector<std::string>> ClientWithFewCases() {
    std::map<std::string, std::vector<std::string>> cases;
    for (const TSampleCase& c : SampleOffice().Cases) cases[c.Client].push_back(LeftJustified(c.Suffix, 7));
    for (auto& [client, suffixes] : cases)
      if (suffixes.size() > 2 && suffixes.size() < 8) {
        std::sort(suffixes.begin(), suffixes.end());
        for (std::string& suffix : suffixes) suffix = TrimRight(suffix);
        return {client, suffixes};
      }
    throw std::runtime_error("no client with a few cases");
  }
  // The colour a list row is painted in, seen in a gap column.
  static QColor RowColour(TQEF& qe, int row) {
    const QImage image = qe.StringGrid1->viewport()->grab().toImage();
    return image.pixelColor(qe.StringGrid1->visualRect(qe.StringGrid1->model()->index(row, 1)).center());
  }
  // The darkest and the lightest pixel of a cell: its text and its ground.
  static std::pair<int, int> Lightness(TQEF& qe, int row, int column) {
    const QImage image = qe.StringGrid1->viewport()->grab().toImage();
    const QRect cell = qe.StringGrid1->visualRect(qe.StringGrid1->model()->index(row, column));
    int darkest = 255, lightest = 0;
    for (int y = cell.top(); y <= cell.bottom(); ++y)
      for (int x = cell.left(); x <= cell.right(); ++x) {
        const int l = image.pixelColor(x, y).lightness();
        darkest = std::min(darkest, l);
        lightest = std::max(lightest, l);
      }
    return {darkest, lightest};
  }
  static void ClickRow(TQEF& qe, int row) {
    const QRect cell = qe.StringGrid1->visualRect(qe.StringGrid1->model()->index(row, 0));
    QTest::mouseClick(qe.StringGrid1->viewport(), Qt::LeftButton, {}, cell.center());
    QApplication::processEvents();
  }
  static const TSampleEmployee& Employee() { return SampleOffice().Employees.front(); }
  static const TSampleClient& Client() { return SampleOffice().Clients.front(); }
  static const TSampleCase& CaseOf(const std::string& client) {
    for (const TSampleCase& c : SampleOffice().Cases)
      if (c.Client == client) return c;
    throw std::runtime_error("no case");
  }
  static std::string JoinedName(const std::string& first, int len1, const std::string& last, int len2) {
    std::string s = LeftJustified(first, len1) + LeftJustified(last, len2);
    JoinNameParts(s, len1, len2);
    return s;
  }
};

TEST_F(QuickEntryTest, EnteredSavedViewedEditedSavedAgainAndExported) {
  DialogResponder boxes;
  TQEF& qe = Open();
  EXPECT_EQ(qe.windowTitle(), "Corvenstead Quick Entry");
  EXPECT_EQ(Text(qe.EditHours), "0.00");
  EXPECT_EQ(int64_t(qe.Date->Value()), int64_t(EncodeDate(2026, 12, 11)));
  EXPECT_EQ(Text(qe.LabelDayofWeek), FormatSettings.LongDayNames[DayOfWeek(EncodeDate(2026, 10, 2)) - 1]);

  // The employee by code: its name shows once the field is left.
  Type(qe.EditEmp, Employee().Code);
  Tab(qe.EditEmp);
  EXPECT_EQ(Text(qe.LabelEmpName), JoinedName(Employee().FirstName, 15, Employee().LastName, 20));
  EXPECT_EQ(qe.State.ChosenEmployee, LeftJustified(Employee().Code, 4));

  // The client by its first letters: the list completes it, the rest selected.
  const std::string prefix = Client().Code.substr(0, 3);
  Type(qe.EditClient, prefix);
  EXPECT_TRUE(qe.ListVisible);
  EXPECT_EQ(Text(qe.EditClient), Client().Code);
  EXPECT_EQ(StoredText(qe.EditClient->selectedText()), Client().Code.substr(3));
  Tab(qe.EditClient);
  EXPECT_FALSE(qe.ListVisible);
  EXPECT_EQ(Text(qe.LabelPhone), TrimRight(Client().Phone1));
  EXPECT_EQ(Text(qe.LabelClientName), JoinedName(Client().FirstName, 30, Client().LastName, 40));

  const TSampleCase& theCase = CaseOf(Client().Code);
  Type(qe.EditCase, theCase.Suffix);
  Tab(qe.EditCase);
  EXPECT_EQ(qe.State.ChosenCase, RightJustified(theCase.Suffix, 7));
  EXPECT_EQ(Text(qe.LabelCaseDesc), TrimRight(theCase.Description));

  EXPECT_EQ(qe.State.ChosenClient, LeftJustified(Client().Code, 7));
  Type(qe.EditGroup, "CF");
  Tab(qe.EditGroup);
  EXPECT_EQ(QApplication::focusWidget(), qe.EditHours);  // the narrative code is no tab stop
  qe.EditHours->selectAll();
  Type(qe.EditHours, "1.5");
  Tab(qe.EditHours);
  EXPECT_EQ(Text(qe.EditHours), "1.50");
  Type(qe.Memo1, "Drafted the reply");
  QTest::keyClick(qe.Memo1, Qt::Key_Return);
  QTest::keyClicks(qe.Memo1, "and sent it");

  QTest::mouseClick(qe.SaveBitBtn, Qt::LeftButton);
  EXPECT_TRUE(boxes.Texts().empty()) << boxes.Texts().front();
  // Save keeps the employee and the date, empties the rest.
  EXPECT_EQ(Text(qe.EditEmp), Employee().Code);
  EXPECT_EQ(Text(qe.EditClient), "");
  EXPECT_EQ(Text(qe.EditCase), "");
  EXPECT_EQ(Text(qe.EditGroup), "");
  EXPECT_EQ(Text(qe.EditHours), "0.00");
  EXPECT_EQ(qe.Memo1->toPlainText(), "");
  EXPECT_FALSE(qe.EntryChanged());

  std::vector<TBatchRow> rows = Rows();
  ASSERT_EQ(rows.size(), 1u);
  EXPECT_EQ(rows[0].Date, "12/11/2026");
  EXPECT_EQ(rows[0].Employee, LeftJustified(Employee().Code, 4));
  EXPECT_EQ(rows[0].Client, LeftJustified(Client().Code, 7));
  EXPECT_EQ(rows[0].CaseSuffix, RightJustified(theCase.Suffix, 7));
  EXPECT_EQ(rows[0].Group, "CF    ");
  EXPECT_EQ(Trim(rows[0].Hours), "1.50");
  EXPECT_EQ(rows[0].Description, "Drafted the reply\r\nand sent it");
  BtrCloseFile(TrinFileNo);
  BtrCloseFile(DescFileNo);

  // View Batch, Edit: the entry comes back marked "Editing".
  QTimer::singleShot(0, [&] {
    auto* viewer = dynamic_cast<TQBatchViewF*>(QApplication::activeModalWidget());
    ASSERT_NE(viewer, nullptr);
    ASSERT_EQ(viewer->QBatchViewGrid->rowCount(), 1);
    QTest::mouseClick(viewer->BitBtnEdit, Qt::LeftButton);
  });
  QTest::mouseClick(qe.ShowBatchBitBtn, Qt::LeftButton);
  EXPECT_TRUE(qe.LabelEditing->isVisible());
  EXPECT_EQ(Text(qe.EditClient), Client().Code);
  EXPECT_EQ(Text(qe.EditCase), theCase.Suffix);
  EXPECT_EQ(Text(qe.EditGroup), "CF");
  EXPECT_EQ(Text(qe.EditHours), "1.50");
  EXPECT_EQ(Text(qe.LabelCaseDesc), TrimRight(theCase.Description));
  EXPECT_EQ(qe.Memo1->toPlainText(), "Drafted the reply\nand sent it");
  EXPECT_EQ(int64_t(qe.Date->Value()), int64_t(EncodeDate(2026, 12, 11)));
  EXPECT_FALSE(qe.EntryChanged());

  qe.EditHours->selectAll();
  Type(qe.EditHours, "2");
  Tab(qe.EditHours);
  QTest::mouseClick(qe.SaveBitBtn, Qt::LeftButton);
  EXPECT_FALSE(qe.LabelEditing->isVisible());
  rows = Rows();
  ASSERT_EQ(rows.size(), 1u);
  EXPECT_EQ(Trim(rows[0].Hours), "2.00");
  EXPECT_EQ(rows[0].Link, "       1");
  EXPECT_EQ(rows[0].Description, "Drafted the reply\r\nand sent it");
  BtrCloseFile(TrinFileNo);
  BtrCloseFile(DescFileNo);

  // Export through the real folder browser.
  const std::string folder = ExportFolder(Temp.path()).string();
  QTimer::singleShot(0, [&] {
    auto* browser = dynamic_cast<TDirBrowserForm*>(QApplication::activeModalWidget());
    ASSERT_NE(browser, nullptr);
    EXPECT_TRUE(browser->DirectoryListBox1->SetDirectory(folder));
    QTest::mouseClick(browser->BitBtn1, Qt::LeftButton);
  });
  boxes.Expect("You are about to export the current batch to:\r\r" + folder + ".", mrOk)
      .Expect("Make '" + folder + "'" + "\r" + "the default directory to export to?", mrNo)
      .Expect("Your batch has been successfully exported.");
  QTest::mouseClick(qe.BitBtnExport, Qt::LeftButton);
  EXPECT_EQ(boxes.Pending(), 0u);
  BtrCloseAllFiles();
  EXPECT_TRUE(std::filesystem::exists(ExportFolder(Temp.path()) / "TRIN01.MD"));
  EXPECT_TRUE(Rows().empty());
}

// The entry screen hands over while another window is active, as a click
// on its quick entry command leaves it.
TEST_F(QuickEntryTest, HandOverFillsEmptyEditsAndAsksOnceForFilledOnes) {
  DialogResponder boxes;
  const TSampleCase& theCase = CaseOf(Client().Code);
  TQEF& qe = Open({Client().Code, theCase.Suffix, Employee().Code, std::nullopt});
  EXPECT_EQ(Text(qe.EditClient), Client().Code);
  EXPECT_EQ(qe.State.ChosenClient, LeftJustified(Client().Code, 7));
  EXPECT_EQ(Text(qe.EditCase), theCase.Suffix);
  EXPECT_EQ(qe.State.ChosenCase, RightJustified(theCase.Suffix, 7));
  EXPECT_EQ(Text(qe.EditEmp), Employee().Code);
  EXPECT_EQ(qe.State.ChosenEmployee, LeftJustified(Employee().Code, 4));
  EXPECT_FALSE(qe.ListVisible);
  EXPECT_TRUE(boxes.Texts().empty());
  EXPECT_TRUE(QEFRunning);

  const TSampleClient& other = SampleOffice().Clients[1];
  const TSampleCase& otherCase = CaseOf(other.Code);
  const TSampleEmployee& otherEmp = SampleOffice().Employees[1];
  QWidget elsewhere;
  const auto handOver = [&](int answer) {
    elsewhere.show();
    elsewhere.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&elsewhere));
    boxes.Expect("Do you want to overwrite the current record with the new one?", answer);
    ASSERT_TRUE(OpenQuickEntry({other.Code, otherCase.Suffix, otherEmp.Code, std::nullopt}));
    ASSERT_TRUE(QTest::qWaitForWindowActive(&qe));
    EXPECT_EQ(boxes.Pending(), 0u);
  };
  // No: nothing taken.
  handOver(mrNo);
  EXPECT_EQ(Text(qe.EditClient), Client().Code);
  EXPECT_EQ(Text(qe.EditEmp), Employee().Code);
  // Yes once: all three taken without a further question.
  handOver(mrYes);
  EXPECT_EQ(Text(qe.EditClient), other.Code);
  EXPECT_EQ(Text(qe.EditCase), otherCase.Suffix);
  EXPECT_EQ(qe.State.ChosenCase, RightJustified(otherCase.Suffix, 7));
  EXPECT_EQ(Text(qe.EditEmp), otherEmp.Code);
  EXPECT_EQ(boxes.Texts().size(), 2u);
}

TEST_F(QuickEntryTest, HandedOverTimeSurvivesTheShowRunningOrPaused) {
  ScopedClock clock(EncodeDate(2026, 12, 11) + 0.375);
  DialogResponder boxes;
  for (const bool paused : {false, true}) {
    TQEF& qe = Open({"", "", "", std::make_pair(int64_t(600), paused)});
    EXPECT_TRUE(qe.Stopwatch().Running()) << paused;
    EXPECT_EQ(qe.Stopwatch().Paused(), paused);
    // Ten minutes in steps of 0.1 hours (the sample office's increment).
    EXPECT_EQ(Text(qe.EditHours), "0.20") << paused;
    EXPECT_EQ(Text(qe.EditTime), "00:10:00") << paused;
    delete QEF.data();
  }
}

TEST_F(QuickEntryTest, TypingHoursStopsARunningStopwatch) {
  ScopedClock clock(EncodeDate(2026, 12, 11) + 0.375);
  DialogResponder boxes;
  TQEF& qe = Open({"", "", Employee().Code, std::make_pair(int64_t(600), false)});
  ASSERT_TRUE(qe.Stopwatch().Running());
  qe.EditHours->setFocus();
  qe.EditHours->selectAll();
  QApplication::processEvents();
  QTest::keyClicks(qe.EditHours, "1.5");
  EXPECT_FALSE(qe.Stopwatch().Running());
  EXPECT_EQ(Text(qe.EditHours), "1.5");
  // Typing while stopped leaves it stopped.
  QTest::keyClick(qe.EditHours, Qt::Key_0);
  EXPECT_FALSE(qe.Stopwatch().Running());
}

TEST_F(QuickEntryTest, ViewBatchAsksBeforeDroppingUnsavedChanges) {
  DialogResponder boxes;
  TQEF& qe = Open({"", "", Employee().Code, std::nullopt});
  qe.EditHours->setText("2");
  // No: the viewer stays shut, the screen as it was.
  bool viewerShown = false;
  boxes.Expect("Cancel changes to the current record?", mrNo);
  qe.ShowBatchBitBtnClick();
  EXPECT_EQ(boxes.Pending(), 0u);
  EXPECT_EQ(Text(qe.EditHours), "2");
  // Yes: the screen cleared, then the viewer.
  QTimer::singleShot(0, [&] {
    auto* viewer = dynamic_cast<TQBatchViewF*>(QApplication::activeModalWidget());
    viewerShown = viewer != nullptr;
    if (viewer) viewer->reject();
  });
  boxes.Expect("Cancel changes to the current record?", mrYes);
  qe.ShowBatchBitBtnClick();
  EXPECT_EQ(boxes.Pending(), 0u);
  EXPECT_TRUE(viewerShown);
  EXPECT_EQ(Text(qe.EditHours), "0.00");
  EXPECT_EQ(Text(qe.EditEmp), Employee().Code);
}

TEST_F(QuickEntryTest, FieldCaptionsAreSevenPointAt96Dpi) {
  TQEF& qe = Open();
  ASSERT_EQ(qe.logicalDpiX(), 96);
  std::set<std::string> small;
  for (const QLabel* label : qe.findChildren<QLabel*>())
    if (label->font().pointSize() == 7) small.insert(StoredText(label->text()));
  EXPECT_EQ(small, (std::set<std::string>{"Employee", "Client", "Case", "Group", "Hours", "Narr Code"}));
}

TEST_F(QuickEntryTest, AMissingFamilyFileOpensNothing) {
  Store.DataRoot = TempPath("nothing here");
  DialogResponder boxes;
  boxes.Answer(mrOk);
  EXPECT_FALSE(OpenQuickEntry({}));
  EXPECT_TRUE(QEF.isNull());
  ASSERT_EQ(boxes.Texts().size(), 1u);
  EXPECT_EQ(boxes.Texts()[0].rfind("Unable to open client file.", 0), 0u) << boxes.Texts()[0];
  for (const uint8_t fileNo : {QClientFileNo, QCaseFileNo, QEmpFileNo, QGroupFileNo}) EXPECT_FALSE(BtrIsFileOpen(fileNo));
}

TEST_F(QuickEntryTest, AModeSwitchClearsTheEntryKeepsEmployeeAndDateAndWritesTheLetter) {
  DialogResponder boxes;
  TQEF& qe = Open({Client().Code, CaseOf(Client().Code).Suffix, Employee().Code, std::nullopt});
  qe.EditGroup->setText("CF");
  qe.EditHours->setText("2.00");
  qe.Memo1->setPlainText("text");
  qe.EntryItems[2]->trigger();
  EXPECT_EQ(Text(qe.EditEmp), Employee().Code);
  EXPECT_EQ(int64_t(qe.Date->Value()), int64_t(EncodeDate(2026, 12, 11)));
  EXPECT_EQ(Text(qe.EditClient), "");
  EXPECT_EQ(Text(qe.EditCase), "");
  EXPECT_EQ(Text(qe.EditGroup), "");
  EXPECT_EQ(Text(qe.EditHours), "0.00");
  EXPECT_EQ(qe.Memo1->toPlainText(), "");
  EXPECT_EQ(qe.State.ChosenClient, "");
  EXPECT_FALSE(qe.EditClient->isVisible());
  EXPECT_TRUE(qe.EntryItems[2]->isChecked());
  std::string value;
  ReadRegValue("MDEntryMode", ProgramKeyId, value);
  EXPECT_EQ(value, "S");
  qe.EmpItems[1]->trigger();
  ReadRegValue("MDEmpByName", ProgramKeyId, value);
  EXPECT_EQ(value, "N");
  EXPECT_EQ(Text(qe.EditEmp), "");
  EXPECT_FALSE(qe.LabelEmpName->isVisible());
  qe.EntryItems[0]->trigger();
  EXPECT_TRUE(qe.EditClient->isVisible());
  EXPECT_TRUE(boxes.Texts().empty());
}

// The date, its day name and the phone beside them each keep their own
// room, whatever the day, and the day's whole name shows.
TEST_F(QuickEntryTest, TheDayNameSitsBetweenTheDateAndThePhoneWithoutOverlap) {
  DialogResponder boxes;
  TQEF& qe = Open({Client().Code, "", Employee().Code, std::nullopt});
  ASSERT_EQ(Text(qe.LabelPhone), TrimRight(Client().Phone1));
  const auto placed = [&](const QWidget* w) { return QRect(w->mapTo(&qe, QPoint(0, 0)), w->size()); };
  for (int day = 1; day <= 7; ++day) {
    qe.Date->SetDate(EncodeDate(2026, 10, day));
    QApplication::processEvents();
    const std::string name = Text(qe.LabelDayofWeek);
    SCOPED_TRACE(name);
    EXPECT_FALSE(placed(qe.LabelDayofWeek).intersects(placed(qe.Date)));
    EXPECT_FALSE(placed(qe.LabelDayofWeek).intersects(placed(qe.LabelPhone)));
    EXPECT_GE(qe.LabelDayofWeek->contentsRect().width(),
              qe.LabelDayofWeek->fontMetrics().horizontalAdvance(qe.LabelDayofWeek->text()));
  }
  EXPECT_TRUE(boxes.Texts().empty());
}

// Without the client row the rows below move up and the form shrinks by
// as much; the client's name stands over the case's description beside
// the case edit, and in mode 4 the phone moves beside the stopwatch.
TEST_F(QuickEntryTest, ModesWithoutTheClientRowShrinkTheFormAndMoveTheLabels) {
  DialogResponder boxes;
  TQEF& qe = Open({"", "", Employee().Code, std::nullopt});
  const auto centreY = [&](const QWidget* w) { return w->mapTo(&qe, w->rect().center()).y(); };
  const auto left = [&](const QWidget* w) { return w->mapTo(&qe, QPoint(0, 0)).x(); };
  // Centres of a row's widgets differ by rounding at most.
  const int height1 = qe.height();
  const int hours1 = qe.EditHours->y();
  const int memo1 = qe.Memo1->height();
  const int nameColumn = left(qe.LabelEmpName);
  EXPECT_NEAR(centreY(qe.LabelClientName), centreY(qe.EditClient), 1);
  EXPECT_EQ(left(qe.LabelClientName), nameColumn);
  EXPECT_NEAR(centreY(qe.LabelPhone), centreY(qe.Date), 1);
  for (const int mode : {3, 4}) {
    SCOPED_TRACE(mode);
    qe.ClearBitBtn->setFocus();
    qe.EntryItems[size_t(mode - 1)]->trigger();
    QApplication::processEvents();
    EXPECT_FALSE(qe.EditClient->isVisible());
    EXPECT_EQ(qe.EditClient->focusPolicy(), Qt::NoFocus);
    const int moved = hours1 - qe.EditHours->y();
    EXPECT_GT(moved, 0);
    EXPECT_EQ(qe.height(), height1 - moved);
    EXPECT_EQ(qe.Memo1->height(), memo1);
    // The pair straddles the case row in the name column.
    ASSERT_TRUE(qe.LabelClientName->isVisible());
    EXPECT_EQ(left(qe.LabelClientName), nameColumn);
    EXPECT_EQ(left(qe.LabelCaseDesc), nameColumn);
    EXPECT_LT(centreY(qe.LabelClientName), centreY(qe.EditCase));
    EXPECT_GT(centreY(qe.LabelCaseDesc), centreY(qe.EditCase));
    if (mode == 3) {
      EXPECT_NEAR(centreY(qe.LabelPhone), centreY(qe.Date), 1);
      EXPECT_EQ(left(qe.LabelPhone), nameColumn);
    } else {
      EXPECT_NEAR(centreY(qe.LabelPhone), centreY(qe.SBTimer), 1);
      EXPECT_LE(left(qe.LabelPhone) + qe.LabelPhone->width(), left(qe.SBTimer));
    }
  }
  // Back to a client row: the form grows back, the labels return.
  qe.ClearBitBtn->setFocus();
  qe.EntryItems[0]->trigger();
  QApplication::processEvents();
  EXPECT_TRUE(qe.EditClient->isVisible());
  EXPECT_EQ(qe.height(), height1);
  EXPECT_EQ(qe.EditHours->y(), hours1);
  EXPECT_NEAR(centreY(qe.LabelClientName), centreY(qe.EditClient), 1);
  EXPECT_NEAR(centreY(qe.LabelPhone), centreY(qe.Date), 1);
  // Mode 2: the name is the client edit's own text; its label hides.
  qe.ClearBitBtn->setFocus();
  qe.EntryItems[1]->trigger();
  QApplication::processEvents();
  EXPECT_FALSE(qe.LabelClientName->isVisible());
  EXPECT_EQ(qe.height(), height1);
  EXPECT_TRUE(boxes.Texts().empty());
}

// Leaving a lookup field: where the focus goes decides whether it is
// checked; a refused exit puts the focus back. Each case's lookup modes are
// set with the focus on a button, so no field is checked on the way.
TEST_F(QuickEntryTest, ExitChecksByFieldTextAndDestination) {
  DialogResponder boxes;
  TQEF& qe = Open();
  const auto setModes = [&](int emp, int entry) {
    qe.ClearBitBtn->setFocus();
    QApplication::processEvents();
    qe.EmpItems[size_t(emp - 1)]->trigger();
    qe.EntryItems[size_t(entry - 1)]->trigger();
    qe.ClearBitBtn->setFocus();
    QApplication::processEvents();
    ASSERT_EQ(qe.State.EmpByNameIdx, emp);
    ASSERT_EQ(qe.State.EntryModeIdx, entry);
  };
  const std::string empName = JoinedName(Employee().FirstName, 15, Employee().LastName, 20);
  const std::string clientName = JoinedName(Client().FirstName, 30, Client().LastName, 40);
  const TSampleCase& theCase = CaseOf(Client().Code);
  struct Case {
    const char* what;
    int emp, entry;  // the lookup modes
    QLineEdit* field;
    std::string text;
    QWidget* to;
    std::string message;
    QWidget* focus;
  };
  const Case cases[] = {
      {"unknown employee to hours", 1, 1, qe.EditEmp, "ZZZZ", qe.EditHours, QeEmpNotFound, qe.EditEmp},
      {"unknown employee to Clear", 1, 1, qe.EditEmp, "ZZZZ", qe.ClearBitBtn, "", qe.ClearBitBtn},
      {"known employee", 1, 1, qe.EditEmp, Employee().Code, qe.EditHours, "", qe.EditHours},
      {"unknown client to the case", 1, 1, qe.EditClient, "QQQ", qe.EditCase, QeClientNotFound, qe.EditClient},
      {"unknown client to View Batch", 1, 1, qe.EditClient, "QQQ", qe.ShowBatchBitBtn, "", qe.ShowBatchBitBtn},
      {"a case without a client", 1, 1, qe.EditCase, "1", qe.EditGroup, QeCaseNotFound, qe.EditClient},
      {"unknown group to hours", 1, 1, qe.EditGroup, "Q9", qe.EditHours, QeGroupNotFound, qe.EditGroup},
      {"known group", 1, 1, qe.EditGroup, "CF", qe.EditHours, "", qe.EditHours},
      {"blank group", 1, 1, qe.EditGroup, "", qe.Memo1, "A blank grouping code is not allowed.", qe.EditGroup},
      {"employee by name unknown", 2, 1, qe.EditEmp, "Nobody, Such", qe.EditHours, QeEmpNotFound, qe.EditEmp},
      {"employee by name known", 2, 1, qe.EditEmp, empName, qe.EditHours, "", qe.EditHours},
      {"employee by name to Export", 2, 1, qe.EditEmp, "Nobody, Such", qe.BitBtnExport, "", qe.BitBtnExport},
      {"client by name unknown", 1, 2, qe.EditClient, "Nobody At All", qe.EditCase, QeClientNotFound, qe.EditClient},
      {"client by name known", 1, 2, qe.EditClient, clientName, qe.EditCase, "", qe.EditCase},
      {"client by name empty", 1, 2, qe.EditClient, "", qe.EditCase, "", qe.EditCase},
      {"case by name without a client", 1, 2, qe.EditCase, theCase.Suffix, qe.EditGroup, QeCaseNotFound,
       qe.EditClient},
      {"suffix only known", 1, 3, qe.EditCase, "100", qe.EditGroup, "", qe.EditGroup},
      {"suffix only unknown", 1, 3, qe.EditCase, "QQQQ", qe.EditGroup, QeCaseNotFound, qe.EditCase},
      {"suffix only to Exit", 1, 3, qe.EditCase, "QQQQ", qe.BitBtnExit, "", qe.BitBtnExit},
      {"alternate id blank", 1, 4, qe.EditCase, " ", qe.EditGroup,
       "A blank is not allowable when selecting by Alternate ID", qe.EditCase},
      {"alternate id unknown", 1, 4, qe.EditCase, "NO SUCH ID", qe.EditGroup, QeCaseNotFound, qe.EditCase},
      {"alternate id known", 1, 4, qe.EditCase, theCase.AltId, qe.EditGroup, "", qe.EditGroup},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    setModes(c.emp, c.entry);
    ExpectExit(qe, boxes, c.field, c.text, c.to, c.message, c.focus);
  }
  // What the last exit chose by alternate identifier: the case's client.
  EXPECT_EQ(qe.State.ChosenClient, LeftJustified(Client().Code, 7));
  EXPECT_EQ(qe.State.ChosenCase, RightJustified(theCase.Suffix, 7));
  EXPECT_EQ(Text(qe.LabelClientName), clientName);

  // Another window taking the focus (the entry screen clicked) checks
  // nothing and pulls nothing back.
  setModes(1, 1);
  qe.EditEmp->setFocus();
  QApplication::processEvents();
  qe.EditEmp->setText("ZZZZ");
  const size_t shown = boxes.Boxes().size();
  QWidget elsewhere;
  auto* other = new QLineEdit(&elsewhere);
  elsewhere.show();
  elsewhere.activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&elsewhere));
  other->setFocus();
  QApplication::processEvents();
  EXPECT_EQ(QApplication::focusWidget(), other);
  EXPECT_EQ(boxes.Boxes().size(), shown);
}

TEST_F(QuickEntryTest, TheListByKeysAndScrollButtons) {
  DialogResponder boxes;
  TQEF& qe = Open({"", "", Employee().Code, std::nullopt});
  const std::vector<std::string> codes = SortedClientCodes();
  qe.EditClient->setFocus();
  QApplication::processEvents();
  QTest::keyClicks(qe.EditClient, WidgetText(codes[20].substr(0, 4)));
  ASSERT_TRUE(qe.ListVisible);
  EXPECT_EQ(Text(qe.EditClient), codes[20]);
  QTest::keyClick(qe.EditClient, Qt::Key_Down);
  EXPECT_EQ(Text(qe.EditClient), codes[21]);
  EXPECT_EQ(qe.State.ChosenClient, LeftJustified(codes[21], 7));
  EXPECT_EQ(StoredText(qe.EditClient->selectedText()), codes[21]);
  QTest::keyClick(qe.EditClient, Qt::Key_Up);
  QTest::keyClick(qe.EditClient, Qt::Key_Up);
  EXPECT_EQ(Text(qe.EditClient), codes[19]);
  // The last and the first through the scroll buttons.
  QTest::mouseClick(qe.ScrollButtons[3], Qt::LeftButton);
  EXPECT_EQ(Text(qe.EditClient), codes.back());
  QTest::mouseClick(qe.ScrollButtons[0], Qt::LeftButton);
  EXPECT_EQ(Text(qe.EditClient), codes.front());
  // Enter closes the list with the row chosen; Escape empties the field.
  QTest::keyClick(qe.EditClient, Qt::Key_Return);
  EXPECT_FALSE(qe.ListVisible);
  EXPECT_EQ(qe.State.ChosenClient, LeftJustified(codes.front(), 7));
  EXPECT_NE(Text(qe.LabelClientName), "");
  QTest::keyClick(qe.EditClient, Qt::Key_Escape);
  EXPECT_EQ(Text(qe.EditClient), "");
  // What the client chose goes with it.
  EXPECT_EQ(Text(qe.LabelClientName), "");
  EXPECT_EQ(Text(qe.LabelPhone), "");
  EXPECT_TRUE(boxes.Texts().empty());
}

// Until the user moves, the selected row looks like the others and the
// first Down takes the top row; a row without a record refuses the click.
TEST_F(QuickEntryTest, TheFirstMoveChoosesTheTopRowAndEmptyRowsRefuseTheClick) {
  DialogResponder boxes;
  const auto [client, suffixes] = ClientWithFewCases();
  TQEF& qe = Open({client, "", Employee().Code, std::nullopt});
  qe.EditCase->setFocus();
  QApplication::processEvents();
  // Page Down opens the client's cases; nothing typed, nothing chosen.
  QTest::keyClick(qe.EditCase, Qt::Key_PageDown);
  ASSERT_TRUE(qe.ListVisible);
  EXPECT_FALSE(qe.ListMoved);
  EXPECT_EQ(Text(qe.EditCase), "");
  const QColor white(Qt::white);
  const QColor highlight = qe.style()->standardPalette().color(QPalette::Highlight);
  ASSERT_NE(highlight, white);
  EXPECT_EQ(RowColour(qe, 0), white);
  // Dark text on white, readable before the move.
  EXPECT_LT(Lightness(qe, 0, 0).first, 100);
  QTest::keyClick(qe.EditCase, Qt::Key_Down);
  EXPECT_EQ(Text(qe.EditCase), suffixes[0]);
  EXPECT_EQ(qe.State.ChosenCase, RightJustified(suffixes[0], 7));
  EXPECT_EQ(RowColour(qe, 0), highlight);
  // Light text on the highlight after it.
  EXPECT_GT(Lightness(qe, 0, 0).second, 200);
  EXPECT_GT(Lightness(qe, 0, 0).first, 40);
  QTest::keyClick(qe.EditCase, Qt::Key_Down);
  EXPECT_EQ(Text(qe.EditCase), suffixes[1]);
  EXPECT_EQ(RowColour(qe, 1), highlight);
  EXPECT_NE(RowColour(qe, 0), highlight);
  // The row after the last case holds nothing to choose.
  ClickRow(qe, int(suffixes.size()));
  EXPECT_TRUE(qe.ListVisible);
  EXPECT_EQ(Text(qe.EditCase), suffixes[1]);
  EXPECT_EQ(RowColour(qe, 1), highlight);
  EXPECT_NE(RowColour(qe, int(suffixes.size())), highlight);
  // A case's row: chosen, the list closes, the focus back on the case.
  ClickRow(qe, 0);
  EXPECT_FALSE(qe.ListVisible);
  EXPECT_EQ(Text(qe.EditCase), suffixes[0]);
  EXPECT_EQ(qe.State.ChosenCase, RightJustified(suffixes[0], 7));
  EXPECT_EQ(QApplication::focusWidget(), qe.EditCase);
  EXPECT_TRUE(boxes.Texts().empty());
}

// A page move chooses the row it reaches and keeps the list open; with
// nothing below the visible rows it goes to the last record.
TEST_F(QuickEntryTest, PageDownChoosesEightRowsOnOrTheLastWhenNothingFollows) {
  DialogResponder boxes;
  TQEF& qe = Open({"", "", Employee().Code, std::nullopt});
  const std::vector<std::string> codes = SortedClientCodes();
  ASSERT_GT(codes.size(), 28u);
  Type(qe.EditClient, codes[20].substr(0, 4));
  ASSERT_EQ(Text(qe.EditClient), codes[20]);
  QTest::keyClick(qe.EditClient, Qt::Key_PageDown);
  EXPECT_TRUE(qe.ListVisible);
  EXPECT_EQ(Text(qe.EditClient), codes[28]);
  EXPECT_EQ(qe.State.ChosenClient, LeftJustified(codes[28], 7));
  EXPECT_EQ(QApplication::focusWidget(), qe.EditClient);
  EXPECT_FALSE(qe.PagingList);
  EXPECT_EQ(qe.windowTitle(), "");
  QTest::mouseClick(qe.ScrollButtons[1], Qt::LeftButton);
  EXPECT_EQ(Text(qe.EditClient), codes[20]);
  EXPECT_TRUE(qe.ListVisible);

  // A client's few cases: the last visible row is empty, so the last case.
  const auto [client, suffixes] = ClientWithFewCases();
  qe.ClearBitBtn->setFocus();
  QApplication::processEvents();
  qe.EditClient->setText(WidgetText(client));
  qe.State.ChosenClient = LeftJustified(client, 7);
  qe.EditCase->setFocus();
  QApplication::processEvents();
  QTest::keyClick(qe.EditCase, Qt::Key_PageDown);
  ASSERT_TRUE(qe.ListVisible);
  QTest::mouseClick(qe.ScrollButtons[2], Qt::LeftButton);
  EXPECT_TRUE(qe.ListVisible);
  EXPECT_EQ(Text(qe.EditCase), suffixes.back());
  EXPECT_EQ(qe.State.ChosenCase, RightJustified(suffixes.back(), 7));
  EXPECT_EQ(QApplication::focusWidget(), qe.EditCase);
  EXPECT_TRUE(boxes.Texts().empty());
}

// Down past the loaded rows loads on from the last; paging down grows the
// rows to 501 at most; Down on row 500 says so and stays.
TEST_F(QuickEntryTest, DownOnRow500SaysTheMaximumIsShown) {
  const TSampleOffice office = BuildSampleOffice({700, 150, 12});
  std::vector<TSampleFileCount> counts;
  std::string msg;
  ASSERT_TRUE(WriteSampleOffice(TempPath("big"), office, counts, msg)) << msg;
  ResetBtrLayer();
  Store.DataRoot = TempPath("big");
  DialogResponder boxes;
  TQEF& qe = Open({"", "", office.Employees.front().Code, std::nullopt});
  Type(qe.EditClient, "A");
  ASSERT_TRUE(qe.ListVisible);
  // Down past the last loaded row loads again from it and goes on.
  std::vector<std::string> codes;
  for (const TSampleClient& c : office.Clients) codes.push_back(c.Code);
  std::sort(codes.begin(), codes.end());
  const size_t found = size_t(std::find(codes.begin(), codes.end(), Text(qe.EditClient)) - codes.begin());
  ASSERT_LT(found + QeListAfter, codes.size());
  const int lastLoaded = std::min<int>(int(found), QeListStepBack) + QeListAfter - 1;
  while (qe.StringGrid1->currentRow() < lastLoaded) QTest::keyClick(qe.EditClient, Qt::Key_Down);
  EXPECT_EQ(Text(qe.EditClient), codes[found + QeListAfter - 1]);
  QTest::keyClick(qe.EditClient, Qt::Key_Down);
  EXPECT_EQ(Text(qe.EditClient), codes[found + QeListAfter]);
  EXPECT_EQ(qe.State.ChosenClient, LeftJustified(codes[found + QeListAfter], 7));
  EXPECT_EQ(qe.StringGrid1->currentRow(), QeListStepBack + 1);
  // Each page eight rows on, reloading further rows when it runs out.
  for (int page = 0; page < 80 && qe.StringGrid1->currentRow() < QeListMaxRows - 8; ++page)
    QTest::keyClick(qe.EditClient, Qt::Key_PageDown);
  while (qe.StringGrid1->currentRow() < QeListMaxRows - 1) {
    const int row = qe.StringGrid1->currentRow();
    QTest::keyClick(qe.EditClient, Qt::Key_Down);
    ASSERT_EQ(qe.StringGrid1->currentRow(), row + 1);
  }
  const std::string last = Text(qe.EditClient);
  boxes.Expect(QeListMaximum);
  QTest::keyClick(qe.EditClient, Qt::Key_Down);
  EXPECT_EQ(boxes.Pending(), 0u);
  EXPECT_EQ(qe.StringGrid1->currentRow(), QeListMaxRows - 1);
  EXPECT_EQ(Text(qe.EditClient), last);
  EXPECT_TRUE(qe.ListVisible);
}

TEST_F(QuickEntryTest, PageUpPastTheLoadedRowsReloadsTheRecordsBefore) {
  DialogResponder boxes;
  TQEF& qe = Open({"", "", Employee().Code, std::nullopt});
  const std::vector<std::string> codes = SortedClientCodes();
  ASSERT_GT(codes.size(), 21u);
  qe.EditClient->setFocus();
  QApplication::processEvents();
  // Found fifth from the top; twelve loaded before it (from the ninth on).
  QTest::keyClicks(qe.EditClient, WidgetText(codes[20].substr(0, 4)));
  ASSERT_TRUE(qe.ListVisible);
  QTest::keyClick(qe.EditClient, Qt::Key_PageUp);
  EXPECT_EQ(Text(qe.EditClient), codes[12]);
  // Four rows to the first loaded one, then four into the records before it.
  QTest::keyClick(qe.EditClient, Qt::Key_PageUp);
  EXPECT_EQ(Text(qe.EditClient), codes[4]);
  EXPECT_EQ(qe.State.ChosenClient, LeftJustified(codes[4], 7));
  // Up runs on into the start of the file and stops there.
  for (int i = 0; i < 6; ++i) QTest::keyClick(qe.EditClient, Qt::Key_Up);
  EXPECT_EQ(Text(qe.EditClient), codes[0]);
  EXPECT_TRUE(qe.ListVisible);
  EXPECT_EQ(StoredText(qe.EditClient->selectedText()), codes[0]);
  EXPECT_TRUE(boxes.Texts().empty());
}

TEST_F(QuickEntryTest, SpaceListsCasesInNumericOrderFromTheRightJustifiedText) {
  DialogResponder boxes;
  TQEF& qe = Open({"", "", Employee().Code, std::nullopt});
  qe.ClientcodeCaseSuffix1Click(3);
  qe.NumOrd->setChecked(true);
  qe.NumOrdClick();
  const std::string suffix = Trim(CaseOf(Client().Code).Suffix);
  // Typing alone opens no list in numeric order.
  Type(qe.EditCase, suffix);
  EXPECT_FALSE(qe.ListVisible);
  QTest::keyClick(qe.EditCase, Qt::Key_Space);
  ASSERT_TRUE(qe.ListVisible);
  EXPECT_EQ(Text(qe.EditCase), RightJustified(suffix, 7));
  EXPECT_EQ(qe.State.ChosenCase, RightJustified(suffix, 7));
  EXPECT_FALSE(qe.NumericListRequested);
  // Typing over it closes the list: the text is the user's again.
  qe.EditCase->selectAll();
  QTest::keyClick(qe.EditCase, Qt::Key_9);
  EXPECT_FALSE(qe.ListVisible);
  EXPECT_EQ(Text(qe.EditCase), "9");
  EXPECT_TRUE(boxes.Texts().empty());
}

TEST_F(QuickEntryTest, ExitAsksOnlyAfterAChange) {
  DialogResponder boxes;
  TQEF& qe = Open();
  qe.Memo1->setPlainText("unsaved");
  boxes.Expect("Cancel changes to the current record?", mrNo);
  QTest::mouseClick(qe.BitBtnExit, Qt::LeftButton);
  EXPECT_TRUE(qe.isVisible());
  qe.Memo1->clear();
  QTest::mouseClick(qe.BitBtnExit, Qt::LeftButton);
  QApplication::processEvents();
  EXPECT_TRUE(QEF.isNull());
  EXPECT_FALSE(QEFRunning);
  EXPECT_FALSE(BtrIsFileOpen(QClientFileNo));
  EXPECT_EQ(boxes.Texts().size(), 1u);
}

TEST_F(QuickEntryTest, ACharacterTheStoreCannotHoldIsTakenBack) {
  DialogResponder boxes;
  TQEF& qe = Open({"", "", Employee().Code, std::nullopt});
  boxes.Expect("The character U+4E2D cannot be stored")
      .Expect("A blank grouping code is not allowed.")  // the empty group left for the description
      .Expect("The character U+4E2D cannot be stored");
  // Typed as an input method would: a key event carrying the text.
  const auto typeText = [](QWidget* w, const QString& text) {
    QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, text);
    QApplication::sendEvent(w, &press);
  };
  qe.EditGroup->setFocus();
  typeText(qe.EditGroup, QString::fromUtf8("\u4e2d"));
  EXPECT_EQ(Text(qe.EditGroup), "");
  qe.Memo1->setFocus();
  typeText(qe.Memo1, "a");
  typeText(qe.Memo1, QString::fromUtf8("\u4e2d"));
  EXPECT_EQ(qe.Memo1->toPlainText(), "a");
  EXPECT_EQ(boxes.Boxes()[0].type, mtError);
}

// Limits hold for typing; what the screen writes itself is not cut.
TEST_F(QuickEntryTest, TypingStopsAtTheLimitButTheScreensOwnTextsStayWhole) {
  DialogResponder boxes;
  TQEF& qe = Open({"", "", Employee().Code, std::nullopt});
  qe.EditHours->setFocus();
  qe.EditHours->selectAll();
  QApplication::processEvents();
  QTest::keyClicks(qe.EditHours, "123456789");
  EXPECT_EQ(Text(qe.EditHours), "12345678");
  qe.EditHours->selectAll();
  QTest::keyClicks(qe.EditHours, "123456");
  Tab(qe.EditHours);
  EXPECT_EQ(Text(qe.EditHours), "123456.00");
  Type(qe.EditClient, "ABCDEFGHIJ");
  EXPECT_EQ(Text(qe.EditClient).size(), 7u);
  EXPECT_TRUE(boxes.Texts().empty());
}

TEST_F(QuickEntryTest, AWorkDateBeforeTheFirstEntryDateLeavesTheDateBlankAndTheSaveAsksForOne) {
  Startup.WorkDate = EncodeDate(1980, 6, 2);
  DialogResponder boxes;
  const TSampleCase& theCase = CaseOf(Client().Code);
  TQEF& qe = Open({Client().Code, theCase.Suffix, Employee().Code, std::nullopt});
  EXPECT_EQ(Text(qe.Date), "");
  qe.EditGroup->setText("CF");
  qe.EditHours->setText("1.00");
  boxes.Expect("Invalid date!");
  qe.SaveBitBtnClick();
  EXPECT_TRUE(Rows().empty());
}

TEST_F(QuickEntryTest, TheSaveRefusesALongDescriptionAndWritesNothing) {
  DialogResponder boxes;
  const TSampleCase& theCase = CaseOf(Client().Code);
  TQEF& qe = Open({Client().Code, theCase.Suffix, Employee().Code, std::nullopt});
  qe.EditGroup->setText("CF");
  qe.EditHours->setText("1.00");
  qe.Memo1->setPlainText(QString(2900, 'x'));
  qe.State.GroupCodeRule = ' ';
  boxes.Expect(QeDescTooLong);
  qe.SaveBitBtnClick();
  QApplication::processEvents();
  EXPECT_EQ(qe.Memo1->textCursor().position(), 2808);
  EXPECT_EQ(qe.Memo1->toPlainText().size(), 2900);
  EXPECT_TRUE(Rows().empty());
}

}  // namespace


// The day name follows the date however it was typed: digits still waiting
// when the field is left are taken then, and the name with them.
TEST_F(QuickEntryTest, TheDayNameFollowsATypedDateWhenTheFieldIsLeft) {
  DialogResponder boxes;
  TQEF& qe = Open({Client().Code, "", Employee().Code, std::nullopt});
  qe.Date->SetDate(EncodeDate(2026, 10, 4));
  qe.Date->setFocus();
  QApplication::processEvents();
  // Letters are no digits; "10" is the month, the "2" waits for a second
  // digit of the day until Tab takes it.
  QTest::keyClicks(qe.Date, "ACM102");
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
  QApplication::processEvents();
  EXPECT_EQ(qe.Date->Value(), EncodeDate(2026, 10, 2));
  EXPECT_EQ(Text(qe.LabelDayofWeek), FormatSettings.LongDayNames[DayOfWeek(EncodeDate(2026, 10, 2)) - 1]);
  EXPECT_TRUE(boxes.Texts().empty());
}
