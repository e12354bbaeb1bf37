// Template export and import end to end through the real main window, two
// offices in one run: office A exports Matters (with its sub-template 100,
// a self-lookup and two list fields on one list) by the Export command;
// office B, whose numbers overlap A's and which holds the name Clients,
// imports the set by the Import command, through the real open dialog,
// answering the name question. Also the open dialog refusing bad names.
#include "mainwin/transfer_commands.h"

#include "entry/qt/entry_form.h"
#include "platform/datetime_value.h"
#include "platform/qt/focus_model.h"
#include "testing/clock_fixture.h"

#include "mainwin/mtdesk_form.h"
#include "mainwin/tests/main_window_fixture.h"
#include "platform/qt/widget_text.h"
#include "templates/descriptor_codec.h"
#include "templates/tests/transfer/transfer_fixture.h"
#include "testing/dialog_responder.h"

#include <QAction>
#include <QApplication>
#include <QFileDialog>
#include <QLineEdit>
#include <QStandardItemModel>
#include <QTableView>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

namespace {

using Strings = std::vector<std::string>;

class TransferCommandsTest : public TransferTest {
protected:
  void SetUp() override {
    TransferTest::SetUp();
    ResetTerminated();
    Startup.Reset();
    MainFlags.Reset();
    Startup.WSID = "01";
    Startup.WorkDate = EncodeDate(2026, 12, 10);
    std::string error;
    ASSERT_TRUE(SetCommandLine({"mtdesk"}, error));
  }
  void TearDown() override {
    TransferSeams() = {};
    // A closed entry screen goes by a deferred delete.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    Form.reset();
    QCoreApplication::removePostedEvents(nullptr);
    ResetTerminated();
    Startup.Reset();
    MainFlags.Reset();
    TransferTest::TearDown();
  }
  void Start() {
    Form.reset();
    Form = std::make_unique<TMtdeskF>();
    ASSERT_EQ(Form->FormShow(), TListOutcome::Listed);
    Form->show();
  }
  void Select(const std::string& Name) {
    for (int i = 0; i < Form->ListBox1->count(); ++i)
      if (TrimRight(StoredText(Form->ListBox1->item(i)->text())) == Name) {
        Form->ListBox1->setCurrentRow(i);
        return;
      }
    FAIL() << Name << " is not listed";
  }
  Strings Listed() const {
    Strings names;
    for (int i = 0; i < Form->ListBox1->count(); ++i)
      names.push_back(TrimRight(StoredText(Form->ListBox1->item(i)->text())));
    return names;
  }

  // Office A's Matters exported by the command into the sets folder.
  void ExportFromA() {
    MakeOfficeA();
    Start();
    Select("Matters");
    EXPECT_TRUE(Form->ExportTemplate1->isEnabled());
    TransferSeams().ExportFolder = [this](const std::string&) { return Sets(); };
    DialogResponder boxes;
    boxes.Answer(mrYes).Expect("Your template was successfully exported!");
    Form->ExportTemplate1->trigger();
    Form.reset();
  }

  // Office B: Clients (0) and Other (1), the main window shown.
  void OpenB() {
    WorkIn("B");
    CreateMaster();
    BuildClients("Clients");
    BuildClients("Other");
    Start();
  }

  std::unique_ptr<TMtdeskF> Form;
};

TEST_F(TransferCommandsTest, ExportInOneOfficeImportInAnother) {
  ExportFromA();
  EXPECT_EQ(FolderNames(Sets()), (Strings{"4.lst", "EXP00100.DSC", "EXP00100.qmd", "EXP00101.DS1", "EXP00101.qmd"}));
  OpenB();
  const std::string before = Snapshot("B");
  TransferSeams().ImportFile = [this] { return Sets() + "/EXP00101.DS1"; };

  // Cancel at the name, then No at the confirmation: B as before.
  TransferSeams().ImportName = [](const std::string&) { return std::nullopt; };
  {
    DialogResponder boxes;
    boxes.Expect("User cancelled import process: Template name already exists and new name not provided.");
    Form->Importfrom1->trigger();
  }
  TransferSeams().ImportName = [](const std::string&) { return std::string("New clients"); };
  {
    DialogResponder boxes;
    boxes.Expect("Ready to import template(s):\r\tMatters\r\tNew clients\r\rContinue?", mrNo);
    Form->Importfrom1->trigger();
  }
  Form.reset();
  EXPECT_EQ(Snapshot("B"), before);

  Start();
  {
    DialogResponder boxes;
    boxes.Expect("Ready to import template(s):\r\tMatters\r\tNew clients\r\rContinue?", mrYes)
        .Expect("The list Kinds has been successfully imported.\r\rSelect it from the drop down list to view it.");
    Form->Importfrom1->trigger();
  }
  EXPECT_EQ(Listed(), (Strings{"Clients", "Matters", "New clients", "Other"}));

  // The imported template's entry screen: the sub-template's records in its
  // template list, A's own records in the self-lookup's. The list its "U"
  // fields now name holds A's items (the entry screen's list lookups are
  // not part of it yet).
  Select("Matters");
  bool ran = false;
  QTimer::singleShot(0, [&] {
    auto* entry = dynamic_cast<TEntryF*>(QApplication::activeModalWidget());
    ran = true;
    ASSERT_NE(entry, nullptr);
    QApplication::setActiveWindow(entry);
    const auto edit = [&](const char* Name) { return entry->ScrollContent->findChild<QLineEdit*>(Name); };
    const auto cell = [&](int Row) {
      return TrimRight(StoredText(entry->DropdownGrid->data(entry->DropdownGrid->index(Row, 0)).toString()));
    };
    // The rows the field's list shows when opened with Alt+Down.
    const auto listed = [&](const char* Name) {
      QLineEdit* e = edit(Name);
      EXPECT_NE(e, nullptr) << Name;
      if (!e) return Strings{};
      entry->Focus->FocusControl(e);
      QTest::keyClick(e, Qt::Key_Down, Qt::AltModifier);
      EXPECT_TRUE(entry->ListPanel->isVisible()) << Name;
      Strings rows;
      for (int r = 0; r < entry->ListRows.Filled; ++r) rows.push_back(cell(r));
      QTest::keyClick(e, Qt::Key_Escape);
      return rows;
    };
    // Each template lookup is followed by its display field, so Client is
    // Edit2 and Parent Edit6.
    EXPECT_EQ(listed("Edit2"), (Strings{"ALPHA", "BRAVO"}));
    EXPECT_EQ(listed("Edit6"), (Strings{"M1", "M2"}));
    if (entry->isVisible()) entry->BitBtnCancelClick();
  });
  {
    DialogResponder boxes;
    Form->EntryMaintenancefor1->trigger();
  }
  EXPECT_TRUE(ran);
  int kinds = -1;
  ASSERT_TRUE(FindUserListNumber("Kinds", kinds));
  std::vector<std::string> items;
  ASSERT_TRUE(ReadUserListItems(kinds, items));
  EXPECT_EQ(items, (Strings{"Alpha", "Beta"}));
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  Form.reset();
  BtrCloseAllFiles();
  EXPECT_EQ(TrimRight(TextRange(TextsOfFile(DescriptorFileName(TTemplateNumber(2))).at(4), DscField::LkpTarget)),
            ListFileName(kinds));
}

TEST_F(TransferCommandsTest, OpenDialogTakesOnlyAnExportSetAndShowsItsTemplate) {
  ExportFromA();
  OpenB();
  WriteFileBytes(Sets() + "/notes.txt", "x");
  TransferSeams().ImportName = [](const std::string&) { return std::string("New clients"); };
  bool ran = false;
  QTimer::singleShot(0, [&] {
    ran = true;
    auto* dialog = Form->OpenDialog1;
    ASSERT_NE(dialog, nullptr);
    EXPECT_TRUE(dialog->isVisible());
    dialog->setDirectory(QString::fromStdString(Sets()));
    {
      DialogResponder boxes;
      boxes.Expect("notes.txt is not a valid Matterdesk export file.");
      dialog->selectFile("notes.txt");
      QMetaObject::invokeMethod(dialog, "accept", Qt::DirectConnection);
      EXPECT_TRUE(dialog->isVisible());
    }
    Form->OpenDialog1SelectionChange(QString::fromStdString(Sets() + "/EXP00101.DS1"));
    EXPECT_EQ(StoredText(dialog->windowTitle()), "Matters");
    Form->OpenDialog1SelectionChange(QString::fromStdString(Sets() + "/notes.txt"));
    EXPECT_EQ(StoredText(dialog->windowTitle()), "");
    dialog->reject();
  });
  Form->Importfrom1->trigger();
  EXPECT_TRUE(ran);
  EXPECT_EQ(Listed(), (Strings{"Clients", "Other"}));
}

}  // namespace
