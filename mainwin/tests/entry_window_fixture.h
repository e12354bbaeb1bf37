// The real main window over the sample office with templates a test saves
// itself: master file and e-mail templates made, workstation "01", the work
// date and clock fixed, every box scripted. A test defines its templates
// with TTemplateTableBuilder and Saved, then calls Start, and runs
// its steps inside a template's entry screen with WhileOpen.
#pragma once

#include "entry/qt/entry_form.h"
#include "mainwin/mtdesk_form.h"
#include "mainwin/template_list.h"
#include "mainwin/tests/main_window_fixture.h"
#include "platform/command_line.h"
#include "platform/datetime_value.h"
#include "platform/format.h"
#include "platform/qt/application.h"
#include "platform/qt/widget_text.h"
#include "platform/text.h"
#include "templates/email_setup.h"
#include "templates/startup_globals.h"
#include "templates/store_constants.h"
#include "templates/template_build.h"
#include "templates/template_number.h"
#include "templates/validation_files.h"
#include "testing/clock_fixture.h"
#include "testing/dialog_responder.h"
#include "testing/sample_office_folder.h"
#include "testing/store_files_fixture.h"
#include "testing/template_fixture.h"

#include <QApplication>
#include <QCoreApplication>
#include <QLineEdit>
#include <QStandardItemModel>
#include <QListWidget>
#include <QTimer>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <functional>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

// Runs Open, which shows an entry screen modally, and Inside while it
// shows; the screen is cancelled afterwards when Inside left it open.
inline void WhileEntryShown(const std::function<void()>& Open, const std::function<void(TEntryF&)>& Inside) {
  bool ran = false;
  QTimer::singleShot(0, [&] {
    auto* entry = dynamic_cast<TEntryF*>(QApplication::activeModalWidget());
    ran = true;
    ASSERT_NE(entry, nullptr);
    Inside(*entry);
    if (entry->isVisible()) entry->BitBtnCancelClick();
  });
  Open();
  EXPECT_TRUE(ran);
}

class EntryWindowTest : public MainWindowTest {
protected:
  void SetUp() override {
    MainWindowTest::SetUp();
    FamilyLookup.Reset();
    Store.DataRoot = SampleOfficeFolder();
    Startup.WorkDate = EncodeDate(2026, 12, 10);
    ASSERT_EQ(CreateMasterFile(true), TMasterCreation::Created);
    ASSERT_TRUE(InstallEmailTemplates());
  }
  void TearDown() override {
    Form.reset();
    // What the closed screens left for deletion goes before the rest is dropped.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    FamilyLookup.Reset();
    MainWindowTest::TearDown();
  }

  // The table in use saved as a new template: its number.
  static TTemplateNumber Saved(const std::string& Name) {
    const TTemplateNumberSet before = TemplateFilesInFolder(Store.DataDir);
    if (!BuildTemplateDataFile(Name)) throw std::runtime_error("save " + Name);
    const TTemplateNumberSet added = TemplateFilesInFolder(Store.DataDir) & ~before;
    for (int n = 0; n <= MaxTemplateNumber; ++n)
      if (added[size_t(n)]) return TTemplateNumber(n);
    throw std::runtime_error("no number for " + Name);
  }

  // A family lookup field ("L"), upper case: Spec "A  0  1" a client
  // lookup, "B 22" a case lookup, "E 62 63" an employee lookup.
  static TFld& AddFamilyLookup(TTemplateTableBuilder& T, const std::string& Name, int Width, const std::string& Spec) {
    TFld& f = T.Add(Name, 'C', Width);
    f.IsLookup = f.UpperCase = true;
    f.LkpKind = "L";
    f.LkpSpec = Spec;
    return f;
  }

  // A unique upper-case client lookup on the client code, its first display
  // row the client's name.
  static TFld& AddClientLookup(TTemplateTableBuilder& T) {
    TFld& client = AddFamilyLookup(T, "Client", 7, "A  0");
    client.Unique = true;
    client.DispCols[1] = 1;
    return client;
  }

  void Select(const std::string& name) {
    for (int i = 0; i < Form->ListBox1->count(); ++i) {
      if (TrimRight(StoredText(Form->ListBox1->item(i)->text())) == name) {
        Form->ListBox1->setCurrentRow(i);
        Form->ListBox1Click();
        return;
      }
    }
    FAIL() << name << " is not listed";
  }

  void WhileShown(const std::function<void()>& Open, const std::function<void(TEntryF&)>& Inside) {
    WhileEntryShown(Open, Inside);
  }
  // The template's entry screen opened through the main window's command.
  void WhileOpen(const std::string& Name, const std::function<void(TEntryF&)>& Inside) {
    Select(Name);
    WhileShown([this] { Form->EntryMaintenancefor1->trigger(); }, Inside);
  }

  static QLineEdit* Edit(TEntryF& E, const char* Name) {
    auto* w = E.ScrollContent->findChild<QLineEdit*>(Name);
    EXPECT_NE(w, nullptr) << Name;
    return w;
  }
  static std::string Text(const QLineEdit* E) { return StoredText(E->text()); }
  static std::string Cell(TEntryF& E, int Col, int Row) {
    return TrimRight(StoredText(E.DropdownGrid->data(E.DropdownGrid->index(Row, Col)).toString()));
  }
  // Run under Xvfb with MD_SHOT_DIR set: the screen as it stands, for a
  // person to look at.
  static void Shot(const std::string& Name) {
    const char* dir = std::getenv("MD_SHOT_DIR");
    if (!dir) return;
    QApplication::processEvents();
    const std::string command = "import -window root " + std::string(dir) + "/" + Name + ".png";
    EXPECT_EQ(std::system(command.c_str()), 0) << command;
  }
  // Column Col of the grid view's rows, trailing blanks dropped.
  static std::vector<std::string> Column(TEGridF& G, int Col) {
    std::vector<std::string> out;
    for (int r = 0; r < G.Table.RowCount(); ++r) out.push_back(TrimRight(G.Table.Cell(r, Col)));
    return out;
  }
  static std::vector<std::string> Labels(const TEntryF& E) {
    std::vector<std::string> out;
    for (const TLabelPlan& l : E.Plan().Labels) out.push_back(l.Caption);
    return out;
  }
  // The sample office's client codes in key order.
  std::vector<std::string> ClientCodes() const {
    std::vector<std::string> codes;
    for (const TSampleClient& c : SampleOffice().Clients) codes.push_back(Format("%-7s", c.Code));
    std::sort(codes.begin(), codes.end());
    for (std::string& c : codes) c = TrimRight(c);
    return codes;
  }

  DialogResponder Boxes;
  ScopedClock Clock{EncodeDate(2026, 12, 10) + 0.5};
};
