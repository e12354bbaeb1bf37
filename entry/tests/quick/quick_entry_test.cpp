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
#include "testing/clock_fixture.h"
#include "testing/sample_office_folder.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QTest>
#include <QTimer>

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

  TQEF& Open() {
    EXPECT_TRUE(OpenQuickEntry({}));
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
  EXPECT_EQ(Text(qe.LabelDayofWeek), "Friday");

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

}  // namespace
