// Template export and import end to end, two offices as two workstations
// meet them: each office has its own data root, registry file and start of
// the program through the main block, the steps running while its main
// window is shown. Office A exports Matters (with its sub-template 100, a
// self-lookup and two list fields on one list) by the Export command;
// office B, whose numbers overlap A's and which holds the name Clients,
// imports the set by the Import command, answering the name question, and
// uses the imported template's entry screen. Also the open dialog refusing
// bad names.
#include "mainwin/transfer_commands.h"

#include "entry/entry_build.h"
#include "entry/qt/entry_form.h"
#include "mainwin/main_block.h"
#include "mainwin/mtdesk_form.h"
#include "mainwin/startup_context.h"
#include "mainwin/tests/startup_fixture.h"
#include "platform/datetime_value.h"
#include "platform/qt/focus_model.h"
#include "platform/qt/widget_text.h"
#include "platform/text.h"
#include "templates/descriptor_codec.h"
#include "templates/tests/transfer/transfer_fixture.h"
#include "testing/clock_fixture.h"
#include "testing/dialog_responder.h"
#include "testing/keyboard.h"
#include "testing/scoped_env.h"

#include <QAction>
#include <QApplication>
#include <QFileDialog>
#include <QLineEdit>
#include <QListWidget>
#include <QStandardItemModel>
#include <QTableView>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>

namespace {

using Strings = std::vector<std::string>;

class TransferCommandsTest : public TransferTest {
protected:
  void SetUp() override {
    TransferTest::SetUp();
    ResetAll();
    std::filesystem::create_directory(Temp.path() / "run");
    std::filesystem::permissions(Temp.path() / "run", std::filesystem::perms::owner_all);
    // Each office's registry names its own data root; both are workstation 01.
    for (const char* office : {"A", "B"}) {
      ScopedEnv registry("MATTERDESK_REGISTRY", RegistryOf(office));
      PutRegValue(CvwinKey, "PhysicalName", Root(office));
      PutRegValue(HostKey, "WSID", "01");
    }
  }
  void TearDown() override {
    TransferSeams() = {};
    // A closed entry screen goes by a deferred delete; a quit must not
    // reach a later test's loop.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCoreApplication::removePostedEvents(nullptr);
    ResetAll();
    TransferTest::TearDown();
  }
  static void ResetAll() { ResetStartState(); }
  std::string RegistryOf(const char* Office) const {
    return (Temp.path() / (std::string("registry-") + Office + ".ini")).string();
  }

  // The office's program started from its own context; Shown runs in place
  // of the event loop while the main window is shown. The run must reach it.
  void RunOffice(const char* Office, const std::function<void()>& Shown) {
    ResetAll();
    StartupContext context;
    context.RegistryPath = RegistryOf(Office);
    context.Params = {"mtdesk"};
    context.ProgramFolder = BinDir;
    bool looped = false;
    context.EventLoop = [&] {
      looped = true;
      // The start found this office from its own registry file.
      EXPECT_EQ(Store.DataDir, Root(Office) + "\\mddata");
      Shown();
      return 0;
    };
    EXPECT_EQ(MainBlock(context), 0);
    EXPECT_TRUE(looped) << "office " << Office;
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  }

  static void Select(const std::string& Name) {
    for (int i = 0; i < MtdeskF->ListBox1->count(); ++i)
      if (TrimRight(StoredText(MtdeskF->ListBox1->item(i)->text())) == Name) {
        MtdeskF->ListBox1->setCurrentRow(i);
        return;
      }
    FAIL() << Name << " is not listed";
  }
  static Strings Listed() {
    Strings names;
    for (int i = 0; i < MtdeskF->ListBox1->count(); ++i)
      names.push_back(TrimRight(StoredText(MtdeskF->ListBox1->item(i)->text())));
    return names;
  }

  // Office A's Matters exported by the command of A's program into the sets
  // folder.
  void ExportFromA() {
    MakeOfficeA();
    RunOffice("A", [this] {
      Select("Matters");
      EXPECT_TRUE(MtdeskF->ExportTemplate1->isEnabled());
      TransferSeams().ExportFolder = [this](const std::string&) { return Sets(); };
      DialogResponder boxes;
      boxes.Answer(mrYes).Expect("Your template was successfully exported!");
      MtdeskF->ExportTemplate1->trigger();
    });
  }

  // Office B: Clients (0) and Other (1); its program started once, as in
  // use before the import, listing them.
  void MakeOfficeB() {
    WorkIn("B");
    CreateMaster();
    BuildClients("Clients");
    BuildClients("Other");
    RunOffice("B", [] { EXPECT_EQ(Listed(), (Strings{"Clients", "Other"})); });
  }

  // Restored after the test; each start points it at its office's file.
  ScopedEnv Registry{"MATTERDESK_REGISTRY", (Temp.path() / "registry.ini").string()};
  ScopedEnv Runtime{"XDG_RUNTIME_DIR", (Temp.path() / "run").string()};
  ScopedClock Clock{EncodeDate(2026, 12, 10) + 0.5};
};

TEST_F(TransferCommandsTest, ExportInOneOfficeImportInAnother) {
  ExportFromA();
  EXPECT_EQ(FolderNames(Sets()), (Strings{"4.lst", "EXP00100.DSC", "EXP00100.qmd", "EXP00101.DS1", "EXP00101.qmd"}));
  MakeOfficeB();
  const std::string before = Snapshot("B");

  // Cancel at the name, then No at the confirmation: B as before.
  RunOffice("B", [this] {
    TransferSeams().ImportFile = [this] { return Sets() + "/EXP00101.DS1"; };
    TransferSeams().ImportName = [](const std::string&) { return std::nullopt; };
    {
      DialogResponder boxes;
      boxes.Expect("User cancelled import process: Template name already exists and new name not provided.");
      MtdeskF->Importfrom1->trigger();
    }
    TransferSeams().ImportName = [](const std::string&) { return std::string("New clients"); };
    {
      DialogResponder boxes;
      boxes.Expect("Ready to import template(s):\r\tMatters\r\tNew clients\r\rContinue?", mrNo);
      MtdeskF->Importfrom1->trigger();
    }
    EXPECT_EQ(Listed(), (Strings{"Clients", "Other"}));
  });
  EXPECT_EQ(Snapshot("B"), before);

  RunOffice("B", [this] {
    TransferSeams().ImportFile = [this] { return Sets() + "/EXP00101.DS1"; };
    TransferSeams().ImportName = [](const std::string&) { return std::string("New clients"); };
    {
      DialogResponder boxes;
      boxes.Expect("Ready to import template(s):\r\tMatters\r\tNew clients\r\rContinue?", mrYes)
          .Expect("The list Kinds has been successfully imported.\r\rSelect it from the drop down list to view it.");
      MtdeskF->Importfrom1->trigger();
    }
    EXPECT_EQ(Listed(), (Strings{"Clients", "Matters", "New clients", "Other"}));

    // The imported template's entry screen: the sub-template's records in
    // its template list, A's own records in the self-lookup's, the list's
    // items in each "U" field's list.
    Select("Matters");
    bool ran = false;
    QTimer::singleShot(0, [&] {
      auto* entry = dynamic_cast<TEntryF*>(QApplication::activeModalWidget());
      ran = true;
      ASSERT_NE(entry, nullptr);
      QApplication::setActiveWindow(entry);
      const auto text = [](const QLineEdit* e) { return StoredText(e->text()); };
      // The edit the screen built for a field slot.
      const auto editOf = [&](int Slot) -> QLineEdit* {
        for (const TCtlPlan& c : entry->Plan().Controls)
          if (c.Kind == TCtlKind::Edit && c.Tag == Slot)
            return entry->ScrollContent->findChild<QLineEdit*>(QString::fromStdString(c.Name));
        return nullptr;
      };
      const auto rows = [&] {
        Strings shown;
        for (int r = 0; r < entry->ListRows.Filled; ++r)
          shown.push_back(
              TrimRight(StoredText(entry->DropdownGrid->data(entry->DropdownGrid->index(r, 0)).toString())));
        return shown;
      };
      // The rows a template lookup's list shows when opened with Alt+Down.
      const auto listed = [&](const char* Name) {
        QLineEdit* e = entry->ScrollContent->findChild<QLineEdit*>(Name);
        EXPECT_NE(e, nullptr) << Name;
        if (!e) return Strings{};
        entry->Focus->FocusControl(e);
        QTest::keyClick(e, Qt::Key_Down, Qt::AltModifier);
        EXPECT_TRUE(entry->ListPanel->isVisible()) << Name;
        const Strings shown = rows();
        QTest::keyClick(e, Qt::Key_Escape);
        return shown;
      };
      // Each template lookup is followed by its display field, so Client is
      // Edit2 and Parent Edit6.
      EXPECT_EQ(listed("Edit2"), (Strings{"ALPHA", "BRAVO"}));
      EXPECT_EQ(listed("Edit6"), (Strings{"M1", "M2"}));

      // Kind (slot 5) and Kind 2 (slot 6) name the imported list: entering
      // the field opens it, Escape closes and clears it, typing opens it
      // again with the item completed, Enter takes it.
      for (const int slot : {5, 6}) {
        SCOPED_TRACE("slot " + std::to_string(slot));
        QLineEdit* kind = editOf(slot);
        ASSERT_NE(kind, nullptr);
        entry->Focus->FocusControl(kind);
        QApplication::processEvents();
        ASSERT_EQ(QApplication::focusWidget(), kind);
        EXPECT_TRUE(entry->ListPanel->isVisible());
        EXPECT_EQ(rows(), (Strings{"Alpha", "Beta"}));
        keyboard::Type(Qt::Key_Escape);
        EXPECT_FALSE(entry->ListPanel->isVisible());
        EXPECT_EQ(text(kind), "");
        keyboard::Type("b");
        EXPECT_TRUE(entry->ListPanel->isVisible());
        EXPECT_EQ(rows(), (Strings{"Alpha", "Beta"}));
        EXPECT_EQ(text(kind), "Beta");
        EXPECT_EQ(StoredText(kind->selectedText()), "eta");
        keyboard::Type(Qt::Key_Return);
        EXPECT_FALSE(entry->ListPanel->isVisible());
        EXPECT_EQ(text(kind), "Beta");
      }
      if (entry->isVisible()) entry->BitBtnCancelClick();
    });
    {
      DialogResponder boxes;
      MtdeskF->EntryMaintenancefor1->trigger();
    }
    EXPECT_TRUE(ran);
  });

  // The list B now holds has A's items, and the "U" fields name it.
  WorkIn("B");
  int kinds = -1;
  ASSERT_TRUE(FindUserListNumber("Kinds", kinds));
  std::vector<std::string> items;
  ASSERT_TRUE(ReadUserListItems(kinds, items));
  EXPECT_EQ(items, (Strings{"Alpha", "Beta"}));
  EXPECT_EQ(TrimRight(TextRange(TextsOfFile(DescriptorFileName(TTemplateNumber(2))).at(4), DscField::LkpTarget)),
            ListFileName(kinds));
}

TEST_F(TransferCommandsTest, OpenDialogTakesOnlyAnExportSetAndShowsItsTemplate) {
  ExportFromA();
  MakeOfficeB();
  WriteFileBytes(Sets() + "/notes.txt", "x");
  RunOffice("B", [this] {
    TransferSeams().ImportName = [](const std::string&) { return std::string("New clients"); };
    bool ran = false;
    QTimer::singleShot(0, [&] {
      ran = true;
      auto* dialog = MtdeskF->OpenDialog1;
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
      MtdeskF->OpenDialog1SelectionChange(QString::fromStdString(Sets() + "/EXP00101.DS1"));
      EXPECT_EQ(StoredText(dialog->windowTitle()), "Matters");
      MtdeskF->OpenDialog1SelectionChange(QString::fromStdString(Sets() + "/notes.txt"));
      EXPECT_EQ(StoredText(dialog->windowTitle()), "");
      dialog->reject();
    });
    MtdeskF->Importfrom1->trigger();
    EXPECT_TRUE(ran);
    EXPECT_EQ(Listed(), (Strings{"Clients", "Other"}));
  });
}

}  // namespace
