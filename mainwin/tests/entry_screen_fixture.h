// The entry screen end to end: the real main window over the sample office
// with the e-mail templates installed, templates a test designs saved as
// new ones, an entry screen opened for one of them and driven inside, every
// box scripted.
#pragma once

#include "mainwin/mtdesk_form.h"

#include "entry/qt/entry_form.h"
#include "mainwin/template_list.h"
#include "platform/command_line.h"
#include "platform/datetime_value.h"
#include "platform/format.h"
#include "platform/qt/app_hooks.h"
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
#include <QLineEdit>
#include <QListWidget>
#include <QStandardItemModel>
#include <QTimer>

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

class EntryScreenTest : public StoreFilesTest {
protected:
  void SetUp() override {
    StoreFilesTest::SetUp();
    ResetState();
    Store.DataRoot = SampleOfficeFolder();
    Startup.WSID = "01";
    Startup.WorkDate = EncodeDate(2026, 12, 10);
    std::string error;
    ASSERT_TRUE(SetCommandLine({"mtdesk"}, error));
    ASSERT_EQ(CreateMasterFile(true), TMasterCreation::Created);
    ASSERT_TRUE(InstallEmailTemplates());
  }
  // After the templates are saved: the main window lists them.
  void ShowMainWindow() {
    Form = std::make_unique<TMtdeskF>();
    ASSERT_EQ(Form->FormShow(), TListOutcome::Listed);
    Form->show();
  }
  void TearDown() override {
    Form.reset();
    // What the closed screens left for deletion goes before the rest is dropped.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCoreApplication::removePostedEvents(nullptr);
    ResetState();
    StoreFilesTest::TearDown();
  }
  static void ResetState() {
    ResetTerminated();
    Startup.Reset();
    MainFlags.Reset();
    FamilyLookup.Reset();
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

  void WhileOpen(const std::string& Name, const std::function<void(TEntryF&)>& Inside) {
    Select(Name);
    bool ran = false;
    QTimer::singleShot(0, [&] {
      auto* entry = dynamic_cast<TEntryF*>(QApplication::activeModalWidget());
      ran = true;
      ASSERT_NE(entry, nullptr);
      Inside(*entry);
      if (entry->isVisible()) entry->BitBtnCancelClick();
    });
    Form->EntryMaintenancefor1->trigger();
    EXPECT_TRUE(ran);
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
  static std::vector<std::string> Labels(const TEntryF& E) {
    std::vector<std::string> out;
    for (const TLabelPlan& l : E.Plan().Labels) out.push_back(l.Caption);
    return out;
  }
  std::vector<std::string> ClientCodes() const {
    std::vector<std::string> codes;
    for (const TSampleClient& c : SampleOffice().Clients) codes.push_back(Format("%-7s", c.Code));
    std::sort(codes.begin(), codes.end());
    for (std::string& c : codes) c = TrimRight(c);
    return codes;
  }

  DialogResponder Boxes;
  ScopedClock Clock{EncodeDate(2026, 12, 10) + 0.5};
  std::unique_ptr<TMtdeskF> Form;
};
