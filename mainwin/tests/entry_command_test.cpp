// The entry command end to end: the real main window over both e-mail
// templates and a designed one; a template chosen and opened shows its
// window-modal entry screen, which is driven by keys and closed by Cancel.
#include "mainwin/mtdesk_form.h"

#include "datetime/qt/date_time_picker.h"
#include "entry/qt/entry_form.h"
#include "mainwin/template_list.h"
#include "platform/command_line.h"
#include "platform/datetime_value.h"
#include "platform/qt/app_hooks.h"
#include "platform/qt/application.h"
#include "platform/qt/widget_text.h"
#include "platform/text.h"
#include "templates/descriptor_loader.h"
#include "templates/email_setup.h"
#include "templates/startup_globals.h"
#include "templates/template_build.h"
#include "testing/clock_fixture.h"
#include "testing/dialog_responder.h"
#include "testing/sample_office_folder.h"
#include "testing/store_files_fixture.h"
#include "testing/template_fixture.h"

#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QToolButton>

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace {

class EntryCommandTest : public StoreFilesTest {
protected:
  void SetUp() override {
    StoreFilesTest::SetUp();
    ResetState();
    // The lookups read the family's files.
    Store.DataRoot = SampleOfficeFolder();
    Startup.WSID = "01";
    Startup.WorkDate = EncodeDate(2026, 12, 10);
    std::string error;
    ASSERT_TRUE(SetCommandLine({"mtdesk"}, error));
    ASSERT_EQ(CreateMasterFile(true), TMasterCreation::Created);
    ASSERT_TRUE(InstallEmailTemplates());
    {
      TTemplateTableBuilder t;
      t.Add("Matter", 'C', 6).UpperCase = true;
      t.Add("Opened", 'D', 8);
      t.Add("Closed", 'D', 8).Default = "0";
      t.Add("Billed", 'B', 1);
      t.Index(1, {1}, true, "By matter");
    }
    ASSERT_TRUE(BuildTemplateDataFile("Matters"));
    Form = std::make_unique<TMtdeskF>();
    ASSERT_EQ(Form->FormShow(), TListOutcome::Listed);
    Form->show();
  }
  void TearDown() override {
    Form.reset();
    QCoreApplication::removePostedEvents(nullptr);
    ResetState();
    StoreFilesTest::TearDown();
  }
  static void ResetState() {
    ResetTerminated();
    Startup.Reset();
    MainFlags.Reset();
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

  // Runs Open, which shows the entry screen modally, and Inside while it is
  // shown; Inside must close it.
  void WhileOpen(const std::function<void()>& Open, const std::function<void(TEntryF&)>& Inside) {
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
    EXPECT_EQ(Form->findChild<QDialog*>("EntryF"), nullptr);
  }

  static std::vector<std::string> LabelTexts(const TEntryF& entry) {
    std::vector<std::string> out;
    for (const TLabelPlan& l : entry.Plan().Labels) out.push_back(l.Caption);
    return out;
  }
  template <class W>
  static W* Named(TEntryF& entry, const char* name) {
    W* w = entry.ScrollContent->findChild<W*>(name);
    EXPECT_NE(w, nullptr) << name;
    return w;
  }

  DialogResponder Boxes;
  ScopedClock Clock{EncodeDate(2026, 12, 10) + 0.5};
  std::unique_ptr<TMtdeskF> Form;
};

TEST_F(EntryCommandTest, ClientEmailOpensWindowModalWithItsLookupAndTypingKeepsToTheField) {
  Select("Client e-mail");
  SetApplicationTitle("Elsewhere");
  WhileOpen([&] { Form->EntryMaintenancefor1->trigger(); },
            [&](TEntryF& entry) {
              EXPECT_EQ(entry.windowModality(), Qt::WindowModal);
              EXPECT_EQ(StoredText(ApplicationTitle()), "Corvenstead Matterdesk");
              EXPECT_TRUE(HasOnIdle() && HasOnShowHint() && HasOnActiveControlChange());
              EXPECT_EQ(StoredText(entry.LabelTableName->text()), "Client e-mail");
              EXPECT_EQ(StoredText(entry.windowTitle()), "Corvenstead Matterdesk Entry and Maintenance Module");
              const std::vector<std::string> labels = LabelTexts(entry);
              ASSERT_GE(labels.size(), 5u);
              EXPECT_EQ(std::vector<std::string>(labels.begin(), labels.begin() + 5),
                        (std::vector<std::string>{"Client code", "Client name", "City", "Phone 1", "Name 1"}));
              auto* code = Named<QLineEdit>(entry, "Edit1");
              auto* button = Named<QToolButton>(entry, "SB1");
              auto* name = Named<QLineEdit>(entry, "Edit2");
              ASSERT_TRUE(code && button && name);
              EXPECT_EQ(button->focusPolicy(), Qt::NoFocus);
              EXPECT_TRUE(button->isVisible());
              EXPECT_FALSE(name->isEnabled());
              EXPECT_EQ(StoredText(name->text()), std::string(87, ' '));

              // Typing: capitals, at most the key width, no character Windows-1252
              // cannot hold.
              code->setFocus();
              QTest::keyClicks(code, "ab");
              QTest::sendKeyEvent(QTest::Click, code, Qt::Key_unknown, QString::fromUtf8("\xc5\x82"), Qt::NoModifier);
              QTest::keyClicks(code, "1cdefgh");
              EXPECT_EQ(StoredText(code->text()), "AB1CDEF");
              // The program's text is never cut.
              code->setText(WidgetText("LONGER THAN SEVEN"));
              EXPECT_EQ(StoredText(code->text()), "LONGER THAN SEVEN");

              // Escape and Enter leave the screen open.
              QTest::keyClick(code, Qt::Key_Escape);
              QTest::keyClick(code, Qt::Key_Return);
              QTest::keyClick(&entry, Qt::Key_Escape);
              EXPECT_TRUE(entry.isVisible());
              for (QPushButton* b : entry.findChildren<QPushButton*>())
                EXPECT_FALSE(b->isDefault() || b->autoDefault());

              // The main window takes no input meanwhile: a double click on the
              // other template, sent to its window as the window system would,
              // neither selects nor opens it.
              const QRect other = Form->ListBox1->visualItemRect(Form->ListBox1->item(1));
              const QPoint at = Form->ListBox1->viewport()->mapTo(Form.get(), other.center());
              QTest::mouseClick(Form->windowHandle(), Qt::LeftButton, {}, at);
              QTest::mouseDClick(Form->windowHandle(), Qt::LeftButton, {}, at);
              EXPECT_EQ(Form->ListBox1->currentRow(), 0);
              EXPECT_EQ(QApplication::activeModalWidget(), &entry);

              QTest::mouseClick(entry.BitBtnCancel, Qt::LeftButton);
              EXPECT_FALSE(entry.isVisible());
            });
  // The screen's hooks went with it.
  EXPECT_FALSE(HasOnIdle() || HasOnShowHint() || HasOnActiveControlChange());
  // Back in the main window the same click selects.
  const QRect other = Form->ListBox1->visualItemRect(Form->ListBox1->item(1));
  QTest::mouseClick(Form->windowHandle(), Qt::LeftButton, {},
                    Form->ListBox1->viewport()->mapTo(Form.get(), other.center()));
  EXPECT_EQ(Form->ListBox1->currentRow(), 1);
}

TEST_F(EntryCommandTest, MatterEmailAndADesignedTemplateShowTheirFields) {
  Select("Matter e-mail");
  WhileOpen([&] { Form->BitBtnAccess->click(); },
            [&](TEntryF& entry) {
              const std::vector<std::string> labels = LabelTexts(entry);
              ASSERT_GE(labels.size(), 4u);
              EXPECT_EQ(std::vector<std::string>(labels.begin(), labels.begin() + 4),
                        (std::vector<std::string>{"Client code", "Client name", "City", "Phone 1"}));
              EXPECT_NE(entry.ScrollContent->findChild<QToolButton*>("SB2"), nullptr);
            });

  Select("Matters");
  WhileOpen([&] { Form->EntryMaintenancefor1->trigger(); },
            [&](TEntryF& entry) {
              EXPECT_EQ(LabelTexts(entry), (std::vector<std::string>{"Matter", "Opened", "Closed"}));
              // An empty default shows the work date; "0" a blank date.
              auto* opened = Named<TdwDBDateTimePicker>(entry, "Date1");
              auto* closed = Named<TdwDBDateTimePicker>(entry, "Date2");
              ASSERT_TRUE(opened && closed);
              EXPECT_EQ(StoredText(opened->text()), "12/10/2026");
              EXPECT_EQ(StoredText(closed->text()), "");
              EXPECT_EQ(Store.FldTable[2].CurValue, "20261210");
              auto* billed = entry.ScrollContent->findChild<QCheckBox*>();
              ASSERT_NE(billed, nullptr);
              EXPECT_EQ(StoredText(billed->text()), "Billed");
              // Tab order: the fields, then the buttons.
              auto* matter = Named<QLineEdit>(entry, "Edit1");
              ASSERT_NE(matter, nullptr);
              QApplication::setActiveWindow(&entry);
              matter->setFocus();
              QTest::keyClick(matter, Qt::Key_Tab);
              EXPECT_EQ(TdwDBCustomDateTimePicker::FromWidget(QApplication::focusWidget()), opened);
            });
  EXPECT_TRUE(Boxes.Boxes().empty());
}

}  // namespace
