// The entry command end to end: the real main window over both e-mail
// templates and a designed one; a template chosen and opened shows its
// window-modal entry screen, which is driven by keys and closed by Cancel.
#include "mainwin/tests/entry_window_fixture.h"

#include "datetime/qt/date_time_picker.h"
#include "entry/qt/entry_form.h"
#include "mainwin/template_list.h"
#include "platform/command_line.h"
#include "platform/datetime_value.h"
#include "platform/qt/app_hooks.h"
#include "platform/qt/focus_model.h"
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
#include "testing/keyboard.h"
#include "testing/store_files_fixture.h"
#include "testing/template_fixture.h"

#include <QApplication>
#include <QCheckBox>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QScrollArea>
#include <QTest>
#include <QTimer>
#include <QToolButton>

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace {

class EntryCommandTest : public EntryWindowTest {
protected:
  void SetUp() override {
    EntryWindowTest::SetUp();
    {
      TTemplateTableBuilder t;
      t.Add("Matter", 'C', 6).UpperCase = true;
      t.Add("Opened", 'D', 8);
      t.Add("Closed", 'D', 8).Default = "0";
      t.Add("Billed", 'B', 1);
      t.Index(1, {1}, true, "By matter");
    }
    ASSERT_TRUE(BuildTemplateDataFile("Matters"));
    {
      // Keyed on the client code, its first field deleted since: the code's
      // id is 2, its slot 1.
      TTemplateTableBuilder t;
      t.Add("Notes", 'C', 10);
      TFld& code = t.Add("Client code", 'C', 7);
      code.IsLookup = code.Unique = code.UpperCase = true;
      code.LkpKind = "L";
      code.LkpSpec = "A  0  1";
      code.DispCols[1] = 1;
      t.Index(1, {2}, true, "By client");
      t.Delete(1);
    }
    ASSERT_TRUE(BuildTemplateDataFile("Client matters"));
    Start();
  }

  // Runs Open, which shows the entry screen modally, and Inside while it is
  // shown; Inside must close it.
  void WhileOpen(const std::function<void()>& Open, const std::function<void(TEntryF&)>& Inside) {
    WhileShown(Open, Inside);
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

QLabel* LabelOf(TEntryF& Entry, const QWidget* Control) {
  for (QLabel* l : Entry.ScrollContent->findChildren<QLabel*>())
    if (l->buddy() == Control) return l;
  return nullptr;
}

// What a person sees: labels right-aligned in one column ending 2 pixels
// before the controls, which share one left edge; controls placed beside a
// row 35 pixels from the right edge, their labels just before them.
void ExpectLaidOut(TEntryF& Entry) {
  const TEntryBuild& plan = Entry.Plan();
  std::vector<int> lefts;
  for (size_t i = 0; i < plan.Rows.size(); ++i) {
    const TRowPlan& row = plan.Rows[i];
    if (row.Top == -1) break;
    QWidget* control = Entry.ControlWidget(row.Control);
    lefts.push_back(control->x());
    if (row.Label >= 0) {
      QLabel* l = LabelOf(Entry, control);
      ASSERT_NE(l, nullptr) << StoredText(control->objectName());
      EXPECT_EQ(l->geometry().right() + 1 + 2, control->x()) << StoredText(l->text());
      EXPECT_TRUE(l->alignment() & Qt::AlignRight);
    }
    const TRowPlan& side = plan.Side[i];
    if (side.Control < 0) continue;
    QWidget* beside = Entry.ControlWidget(side.Control);
    EXPECT_EQ(beside->y(), control->y());
    EXPECT_EQ(beside->x() + beside->width() + 35, Entry.width()) << StoredText(beside->objectName());
  }
  ASSERT_FALSE(lefts.empty());
  EXPECT_EQ(std::count(lefts.begin(), lefts.end(), lefts[0]), std::ptrdiff_t(lefts.size()));
}

// The client code, its dropdown button and its display rows inside a
// raised bevel reaching to 28 pixels short of the right edge.
void ExpectClientGroup(TEntryF& Entry, int DisplayRows) {
  auto* bevel = Entry.ScrollContent->findChild<QFrame*>("BevelLkup1");
  ASSERT_NE(bevel, nullptr);
  EXPECT_EQ(bevel->frameShadow(), QFrame::Raised);
  EXPECT_EQ(bevel->width(), Entry.width() - 28);
  std::vector<std::string> inside;
  for (QWidget* w : Entry.ScrollContent->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
    if (w != bevel && w->isVisible() && bevel->geometry().contains(w->geometry())) {
      inside.push_back(StoredText(w->objectName()));
    }
  std::vector<std::string> expected{"Edit1", "SB1"};
  for (int k = 2; k <= DisplayRows + 1; ++k) expected.push_back("Edit" + std::to_string(k));
  for (const std::string& name : expected)
    EXPECT_NE(std::find(inside.begin(), inside.end(), name), inside.end()) << name << " outside the bevel";
  // The first row after the group lies below it.
  const int after = Entry.Plan().Rows[size_t(DisplayRows) + 1].Control;
  EXPECT_GE(Entry.ControlWidget(after)->y(), bevel->geometry().bottom());
}

// What a user types before leaving a family key field, which may not be
// left empty: a listed client, its case, an employee.
void FillKeyField(TEntryF& Entry, QWidget* Now) {
  auto* edit = qobject_cast<QLineEdit*>(Now);
  if (!edit || !edit->text().isEmpty()) return;
  const int slot = edit->property("tag").toInt();
  const TFamilyKeys& keys = Entry.Plan().Keys;
  const TSampleCase& c = SampleOffice().Cases[0];
  if (slot == keys.ClientSlot) Entry.SetProgramText(edit, c.Client);
  if (slot == keys.CaseSlot) Entry.SetProgramText(edit, c.Suffix);
  if (slot == keys.EmpSlot) Entry.SetProgramText(edit, SampleOffice().Employees[0].Code);
}

// Tab from the first field walks every tab stop in the plan's order, each
// scrolled into view, then the buttons. MustScroll: the last stop
// starts below the fold.
void ExpectTabWalk(TEntryF& Entry, bool MustScroll) {
  std::vector<QWidget*> stops;
  for (int i : Entry.Plan().TabChain())
    if (Entry.Plan().Controls[size_t(i)].TabStop) stops.push_back(Entry.ControlWidget(i));
  ASSERT_FALSE(stops.empty());
  QApplication::setActiveWindow(&Entry);
  ASSERT_TRUE(QTest::qWaitForWindowActive(&Entry));
  Entry.Focus->FocusControl(stops[0]);
  const QRect view(QPoint(0, 0), Entry.ScrollBox1->viewport()->size());
  int scrolled = 0;
  for (size_t k = 0; k < stops.size(); ++k) {
    QWidget* now = QApplication::focusWidget();
    if (QWidget* picker = TdwDBCustomDateTimePicker::FromWidget(now)) now = picker;
    ASSERT_EQ(now, stops[k]) << "stop " << k << " is " << StoredText(now ? now->objectName() : QString("-"));
    EXPECT_TRUE(view.contains(now->geometry().translated(Entry.ScrollContent->pos())))
        << StoredText(now->objectName()) << " out of view";
    if (Entry.ScrollContent->y() < 0) ++scrolled;
    FillKeyField(Entry, now);
    keyboard::Type(Qt::Key_Tab);
  }
  // From the last field the button panel offers Find, else Save.
  QPushButton* offered = Entry.BitBtnFind->isEnabled() ? Entry.BitBtnFind : Entry.BitBtnSave;
  EXPECT_EQ(QApplication::focusWidget(), offered);
  // Within the panel the focus goes where it is sent: the buttons, left
  // to right; Print and Calendar take the focus only from the mouse.
  Entry.Focus->FocusControl(Entry.BitBtnSave);
  QApplication::processEvents();
  for (QPushButton* b : {Entry.BitBtnSave, Entry.BitBtnClear, Entry.BitBtnFind, Entry.BitBtnFilter,
                         Entry.BitBtnQuickEntry, Entry.BitBtnCancel}) {
    EXPECT_EQ(QApplication::focusWidget(), b) << StoredText(b->objectName());
    keyboard::Type(Qt::Key_Tab);
  }
  if (MustScroll) {
    EXPECT_GT(stops.back()->geometry().bottom(), view.height());
    EXPECT_GT(scrolled, 0);
  }
}

TEST_F(EntryCommandTest, TheEmailTemplatesAndADesignedOneAreLaidOutAndWalkedAsAUserSeesThem) {
  struct Case {
    const char* Name;
    int DisplayRows;  // of the client code
  } cases[] = {{"Client e-mail", 3}, {"Matter e-mail", 3}};
  for (const Case& c : cases) {
    Select(c.Name);
    WhileOpen([&] { Form->EntryMaintenancefor1->trigger(); },
              [&](TEntryF& entry) {
                SCOPED_TRACE(c.Name);
                ExpectLaidOut(entry);
                ExpectClientGroup(entry, c.DisplayRows);
                // Each name with its address beside it.
                for (int k = 1; k <= 8; ++k) {
                  const auto at = [&](const std::string& caption) -> QWidget* {
                    for (QLabel* l : entry.ScrollContent->findChildren<QLabel*>())
                      if (StoredText(l->text()) == caption) return l->buddy();
                    return nullptr;
                  };
                  QWidget* name = at("Name " + std::to_string(k));
                  QWidget* address = at("Address " + std::to_string(k));
                  ASSERT_TRUE(name && address) << k;
                  EXPECT_EQ(name->y(), address->y()) << k;
                  EXPECT_GT(address->x(), name->geometry().right()) << k;
                }
                // Wider: the right column follows the edge.
                entry.resize(entry.width() + 150, entry.height());
                ExpectLaidOut(entry);
                EXPECT_EQ(entry.ScrollContent->findChild<QFrame*>("BevelLkup1")->width(), entry.width() - 28);
                // Lower: the fields below the fold scroll into view.
                entry.resize(entry.width(), 360);
                ExpectTabWalk(entry, true);
              });
  }

  Select("Matters");
  WhileOpen([&] { Form->EntryMaintenancefor1->trigger(); },
            [&](TEntryF& entry) {
              ExpectLaidOut(entry);
              ExpectTabWalk(entry, false);
            });
  EXPECT_TRUE(Boxes.Boxes().empty());
}

TEST_F(EntryCommandTest, TheClientLinkListsTheOtherClientTemplatesAlsoForOneWhoseFirstFieldWasDeleted) {
  const auto links = [&](const std::string& Name) {
    std::vector<std::string> names;
    Select(Name);
    WhileOpen([&] { Form->EntryMaintenancefor1->trigger(); },
              [&](TEntryF& entry) {
                EXPECT_TRUE(entry.SBClientLink->isVisible()) << Name;
                for (int i = 0; i < entry.ListBoxClient->count(); ++i)
                  names.push_back(StoredText(entry.ListBoxClient->item(i)->text()));
              });
    std::sort(names.begin(), names.end());
    return names;
  };
  // Its key field is found by its id, not by the slot it had.
  EXPECT_EQ(links("Client matters"), (std::vector<std::string>{"Client e-mail", "Matter e-mail"}));
  EXPECT_EQ(links("Client e-mail"), (std::vector<std::string>{"Client matters", "Matter e-mail"}));
}

}  // namespace
