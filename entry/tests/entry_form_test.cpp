// The entry screen's widgets over a plan: the one event filter keeps the
// handlers' order, lets a key-down handler swallow a key and a key-press
// handler drop a character; OnChange fires for the program's changes too.
#include "entry/qt/entry_form.h"

#include "entry/entry_layout.h"

#include "datetime/qt/date_time_picker.h"
#include "platform/dialogs.h"
#include "platform/qt/app_hooks.h"
#include "platform/qt/application.h"
#include "platform/qt/focus_model.h"
#include "platform/qt/status_bar.h"
#include "platform/qt/widget_text.h"
#include "templates/startup_globals.h"
#include "templates/validation_files.h"
#include "testing/dialog_responder.h"
#include "testing/sample_office_folder.h"
#include "testing/keyboard.h"
#include "testing/status_bar_look.h"
#include "testing/template_fixture.h"

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QCursor>
#include <QEventLoop>
#include <QFontInfo>
#include <QGuiApplication>
#include <QListWidget>
#include <QScreen>
#include <QScrollArea>
#include <QTableView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QToolButton>
#include <QHelpEvent>
#include <QPlainTextEdit>
#include <QSignalSpy>
#include <QStyle>
#include <QStyleOptionButton>
#include <QTest>
#include <QTimer>
#include <QToolTip>

#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <optional>
#include <string>
#include <tuple>
#include <vector>

namespace {

// Records each handler run; F4 is swallowed, "#" dropped, "1" typed as "2".
class TProbeEntryF : public TEntryF {
public:
  std::vector<std::string> Calls;
  void DropdownKeyDown(QWidget*, TEntryEventArgs& a) override {
    Calls.push_back("KeyDown " + std::to_string(a.Key));
    if (a.Key == Qt::Key_F4) a.Key = 0;
  }
  void LookupKeyPress(QWidget*, TEntryEventArgs& a) override {
    Calls.push_back("KeyPress " + StoredText(QString(a.Char)));
    if (a.Char == QChar('#')) a.Char = QChar();
    if (a.Char == QChar('1')) a.Char = QChar('2');
  }
  void FieldKeyUp(QWidget*, TEntryEventArgs& a) override { Calls.push_back("KeyUp " + std::to_string(a.Key)); }
  void DropdownTextChange(QWidget* s, TEntryEventArgs&) override {
    Calls.push_back("Change " + StoredText(static_cast<QLineEdit*>(s)->text()));
  }
};

// A client code looked up in the client file.
TFld& AddClientCode(TTemplateTableBuilder& T, const std::string& Spec) {
  TFld& code = T.Add("Client code", 'C', 7);
  code.IsLookup = code.Unique = code.UpperCase = true;
  code.LkpKind = "L";
  code.LkpSpec = Spec;
  return code;
}

class EntryFormTest : public ::testing::Test {
protected:
  void SetUp() override {
    Startup.Reset();
    FamilyLookup.Reset();
    // The client lookup reads the family's files.
    Store.DataRoot = SampleOfficeFolder();
    TTemplateTableBuilder t;
    AddClientCode(t, "A  0");
    t.Add("Notes", 'C', 80);
  }
  void TearDown() override {
    ResetBtrLayer();
    Store.Reset();
    Startup.Reset();
    FamilyLookup.Reset();
  }
  // The template made anew with these fields: name, type, width.
  static void UseFields(const std::vector<std::tuple<std::string, char, int>>& Fields) {
    Store.Reset();
    TTemplateTableBuilder t;
    for (const auto& [name, type, width] : Fields) t.Add(name, type, width);
  }
};

TEST_F(EntryFormTest, OneFilterRunsKeyDownKeyPressChangeAndKeyUpInOrder) {
  TProbeEntryF entry;
  entry.show();
  auto* edit = entry.ScrollContent->findChild<QLineEdit*>("Edit1");
  ASSERT_NE(edit, nullptr);
  const std::string a = std::to_string(Qt::Key_A), f4 = std::to_string(Qt::Key_F4);
  QTest::keyClick(edit, Qt::Key_A);
  QTest::keyClick(edit, Qt::Key_F4);
  QTest::keyClick(edit, '#');
  QTest::keyClick(edit, '1');
  EXPECT_EQ(entry.Calls, (std::vector<std::string>{
                             "KeyDown " + a, "KeyPress a", "Change A", "KeyUp " + a, "KeyDown " + f4, "KeyUp " + f4,
                             "KeyDown " + std::to_string(Qt::Key_NumberSign), "KeyPress #",
                             "KeyUp " + std::to_string(Qt::Key_NumberSign), "KeyDown " + std::to_string(Qt::Key_1),
                             "KeyPress 1", "Change A2", "KeyUp " + std::to_string(Qt::Key_1)}));
  EXPECT_EQ(StoredText(edit->text()), "A2");
  entry.Calls.clear();
  edit->setText(WidgetText("PROGRAM"));
  EXPECT_EQ(entry.Calls, (std::vector<std::string>{"Change PROGRAM"}));
  // A paste is held to the field as typing is: in capitals, never longer.
  edit->clear();
  QApplication::clipboard()->setText("smi01");
  edit->paste();
  EXPECT_EQ(StoredText(edit->text()), "SMI01");
  QApplication::clipboard()->setText("abc");
  edit->paste();
  EXPECT_EQ(StoredText(edit->text()), "SMI01");
  // Key bytes the program sets pass unchanged, beyond the key width too.
  const std::string keyed("AB\0\x81\xff\x01tail", 9);
  edit->setText(WidgetText(keyed));
  EXPECT_EQ(StoredText(edit->text()), keyed);

  // The images come from the screen's resources; generated buttons copy theirs.
  for (QAbstractButton* b :
       std::initializer_list<QAbstractButton*>{entry.BitBtnSave, entry.BitBtnCancel, entry.SBShowList}) {
    EXPECT_FALSE(b->icon().pixmap(16, 16).isNull()) << b->objectName().toStdString();
  }
  auto* sb1 = entry.ScrollContent->findChild<QToolButton*>("SB1");
  ASSERT_NE(sb1, nullptr);
  EXPECT_EQ(sb1->icon().pixmap(16, 16).toImage(), entry.SBShowList->icon().pixmap(16, 16).toImage());

  // The memo keeps to its field's width, typed or set: a text of the
  // width stands, one past it is refused whole with the size message.
  auto* memo = entry.ScrollContent->findChild<QPlainTextEdit*>("Memo1");
  ASSERT_NE(memo, nullptr);
  memo->setPlainText(QString(80, 'x'));
  EXPECT_EQ(memo->toPlainText().size(), 80);
  DialogResponder boxes;
  boxes.Expect("You have reached the maximum size for this field!  80 characters)");
  memo->setPlainText(QString(90, 'x'));
  EXPECT_EQ(memo->toPlainText().size(), 80);
}

TEST_F(EntryFormTest, EveryShowingBuildsTheFieldsAnew) {
  TEntryF entry;
  entry.show();
  const int labels = int(entry.ScrollContent->findChildren<QLabel*>().size());
  const int edits = int(entry.ScrollContent->findChildren<QLineEdit*>().size());
  entry.hide();
  Store.FldTable[2].Name = "Remarks";
  entry.show();
  EXPECT_EQ(int(entry.ScrollContent->findChildren<QLabel*>().size()), labels);
  EXPECT_EQ(int(entry.ScrollContent->findChildren<QLineEdit*>().size()), edits);
  EXPECT_EQ(entry.Plan().Labels.back().Caption, "Remarks");
}

// Records what the hooks a showing installs report.
class THookedEntryF : public TEntryF {
public:
  std::vector<std::string> Focused;
  bool GridCellHint(QWidget* W, const QPoint&, QString& Text) override {
    Text = "cell of " + W->objectName();
    return true;
  }
  void ActiveControlChange(QWidget* Now) override { Focused.push_back(Now ? StoredText(Now->objectName()) : "-"); }
};

// Runs the screen modally; Change runs once its loop turns. A stray showing
// is accepted after a while so that a fault fails rather than hangs.
int RunModal(TEntryF& Entry, const std::function<void()>& Change) {
  QTimer::singleShot(0, &Entry, Change);
  QTimer::singleShot(10000, &Entry, &QDialog::accept);
  return Entry.exec();
}

TEST_F(EntryFormTest, EachShowingSetsTheTitleAndTheHooksTheFormTakesAlong) {
  SetApplicationTitle("Client e-mail");
  {
    THookedEntryF entry;
    entry.show();
    EXPECT_EQ(ApplicationTitle(), WidgetText("Corvenstead Matterdesk"));
    EXPECT_EQ(entry.GridHeaderRowHeight, 22);
    ASSERT_TRUE(HasOnIdle() && HasOnShowHint() && HasOnActiveControlChange());
    auto* edit = entry.ScrollContent->findChild<QLineEdit*>("Edit1");
    ASSERT_NE(edit, nullptr);
    entry.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&entry));
    edit->setFocus();
    ASSERT_FALSE(entry.Focused.empty());
    EXPECT_EQ(entry.Focused.back(), "Edit1");
    QHelpEvent hint(QEvent::ToolTip, QPoint(2, 2), edit->mapToGlobal(QPoint(2, 2)));
    QApplication::sendEvent(edit, &hint);
    EXPECT_EQ(QToolTip::text(), "cell of Edit1");
    QToolTip::hideText();
    entry.hide();
  }
  EXPECT_FALSE(HasOnIdle() || HasOnShowHint() || HasOnActiveControlChange());
}

TEST_F(EntryFormTest, TheIdleHandlerClosesAFailedBuildAndRunsAPendingFind) {
  TEntryF entry;
  EXPECT_EQ(RunModal(entry, [&] { entry.BuildFailed = true; }), QDialog::Rejected);
  EXPECT_FALSE(entry.BuildFailed);

  QSignalSpy finds(entry.BitBtnFind, &QPushButton::clicked);
  QObject::connect(entry.BitBtnFind, &QPushButton::clicked, &entry, &QDialog::reject);
  EXPECT_EQ(RunModal(entry, [&] { entry.PendingFind = true; }), QDialog::Rejected);
  EXPECT_EQ(finds.count(), 1);
  EXPECT_FALSE(entry.PendingFind);

  // Cancel leaves editing and closes; a showing starts with neither flag.
  EXPECT_EQ(RunModal(entry,
                     [&] {
                       EXPECT_FALSE(entry.BuildFailed || entry.Editing);
                       entry.Editing = true;
                       entry.BitBtnCancel->click();
                     }),
            QDialog::Rejected);
  EXPECT_FALSE(entry.Editing);
}

// The lookup edit's exit refuses an empty code; every enter and exit of
// the plan's table is logged with the destination the exit sees.
class TFocusProbeEntryF : public TEntryF {
public:
  std::vector<std::string> Calls;
  static std::string Name(const QWidget* W) { return W ? StoredText(W->objectName()) : "-"; }
  void FamilyLookupEnter(QWidget* S, TEntryEventArgs&) override { Calls.push_back("enter " + Name(S)); }
  void LookupExitCheck(QWidget* S, TEntryEventArgs&) override {
    Calls.push_back("exit " + Name(S) + ">" + Name(Focus->Destination()));
    if (static_cast<QLineEdit*>(S)->text().isEmpty()) Focus->FocusControl(S);
  }
  void ActiveControlChange(QWidget* Now) override { Calls.push_back("active " + Name(Now)); }
};

TEST_F(EntryFormTest, TheFocusModelRunsThePlansEntersAndExitsAndARefusalKeepsTheFocus) {
  TFocusProbeEntryF entry;
  int saves = 0;
  QObject::connect(entry.BitBtnSave, &QPushButton::clicked, [&] { ++saves; });
  entry.show();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&entry));
  auto* code = entry.ScrollContent->findChild<QLineEdit*>("Edit1");
  auto* notes = entry.ScrollContent->findChild<QPlainTextEdit*>();
  ASSERT_TRUE(code && notes && entry.Focus);
  // The first field got the focus while the form was not yet active: one
  // enter, and the activation ran nothing again.
  EXPECT_EQ(entry.Calls, (std::vector<std::string>{"enter Edit1", "active Edit1"}));
  EXPECT_EQ(QApplication::focusWidget(), code);
  entry.Calls.clear();

  QTest::mouseClick(entry.BitBtnSave, Qt::LeftButton);
  QApplication::processEvents();
  EXPECT_EQ(entry.Calls, (std::vector<std::string>{"exit Edit1>BitBtnSave", "enter Edit1", "active Edit1"}));
  EXPECT_EQ(saves, 0);
  EXPECT_EQ(QApplication::focusWidget(), code);

  entry.Calls.clear();
  code->setText("AB");
  entry.Focus->FocusControl(notes);
  const std::string memo = TFocusProbeEntryF::Name(notes);
  EXPECT_EQ(entry.Calls, (std::vector<std::string>{"exit Edit1>" + memo, "active " + memo}));
  EXPECT_EQ(QApplication::focusWidget(), notes);

  entry.hide();
  EXPECT_EQ(entry.Focus, nullptr);
}

TEST_F(EntryFormTest, NarrowRowsShareARowAnchoredRightWithoutOverlapsAndFollowAResize) {
  UseFields({{"Name", 'C', 10}, {"Phone number", 'C', 10}, {"Town", 'C', 10}, {"Remarks", 'C', 80}});
  TEntryF entry;
  entry.show();
  std::vector<QWidget*> placed;
  for (QWidget* w : entry.ScrollContent->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
    if (w->isVisible() && w != entry.ListPanel) placed.push_back(w);
  for (size_t i = 0; i < placed.size(); ++i)
    for (size_t k = i + 1; k < placed.size(); ++k)
      EXPECT_FALSE(placed[i]->geometry().intersects(placed[k]->geometry()))
          << StoredText(placed[i]->objectName()) << " over " << StoredText(placed[k]->objectName());
  for (QLabel* l : entry.ScrollContent->findChildren<QLabel*>()) {
    if (l->buddy()) {
      EXPECT_EQ(l->geometry().right() + 1 + 2, l->buddy()->x()) << StoredText(l->text());
    }
  }
  auto* name = entry.ScrollContent->findChild<QLineEdit*>("Edit1");
  auto* phone = entry.ScrollContent->findChild<QLineEdit*>("Edit2");
  auto* town = entry.ScrollContent->findChild<QLineEdit*>("Edit3");
  ASSERT_TRUE(name && phone && town);
  EXPECT_EQ(phone->y(), name->y());
  EXPECT_EQ(phone->x() + phone->width() + 35, entry.width());
  EXPECT_EQ(town->x(), name->x());
  EXPECT_GT(town->y(), name->y());
  // The dropdown list: 8 rows of 18 and four scroll buttons of 36.
  EXPECT_EQ(entry.StringGrid1->height(), 148);
  EXPECT_EQ(entry.PanelScrollBtns->height(), 148);
  EXPECT_EQ(entry.SBPgDn->height(), 36);
  EXPECT_EQ(entry.StringGrid1->columnWidth(4), 0);
  const QRect screen = QGuiApplication::primaryScreen()->geometry();
  EXPECT_EQ(entry.pos(), QPoint(screen.width() / 2 - entry.width() / 2, screen.height() / 2 - entry.height() / 2));
  entry.resize(entry.width() + 100, entry.height());
  EXPECT_EQ(phone->x() + phone->width() + 35, entry.width());
  EXPECT_GE(entry.ScrollContent->width(), phone->geometry().right());
}

// A check box keeps its planned width, caption plus the box, and its
// whole caption shows beside the box: right of it on a row of its own,
// left of it beside another row's control.
TEST_F(EntryFormTest, ACheckBoxShowsItsWholeCaptionInItsPlannedWidthOnEitherSide) {
  UseFields({{"Name", 'C', 10}, {"Billable", 'B', 1}, {"Remarks", 'C', 80}, {"Closed", 'B', 1}});
  TEntryF entry;
  entry.show();
  std::map<std::string, Qt::LayoutDirection> sides;
  for (QCheckBox* box : entry.ScrollContent->findChildren<QCheckBox*>()) {
    const std::string caption = StoredText(box->text());
    sides[caption] = box->layoutDirection();
    const int advance = box->fontMetrics().horizontalAdvance(box->text());
    EXPECT_EQ(box->width(), advance + CheckBoxExtra) << caption;
    QStyleOptionButton option;
    option.initFrom(box);
    option.text = box->text();
    const QRect text = box->style()->subElementRect(QStyle::SE_CheckBoxContents, &option, box);
    const QRect indicator = box->style()->subElementRect(QStyle::SE_CheckBoxIndicator, &option, box);
    EXPECT_GE(text.width(), advance) << caption;
    EXPECT_GE(text.left(), 0) << caption;
    EXPECT_LE(text.right(), box->width() - 1) << caption;
    EXPECT_FALSE(text.intersects(indicator)) << caption;
  }
  EXPECT_EQ(sides, (std::map<std::string, Qt::LayoutDirection>{{"Billable", Qt::RightToLeft},
                                                               {"Closed", Qt::LeftToRight}}));
}

TEST_F(EntryFormTest, AFieldThatGetsTheFocusBelowTheFoldIsScrolledIntoView) {
  Store.Reset();
  TTemplateTableBuilder t;
  for (int i = 1; i <= 40; ++i) t.Add("Remark " + std::to_string(i), 'C', 40);
  TEntryF entry;
  entry.show();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&entry));
  auto* last = entry.ScrollContent->findChild<QLineEdit*>("Edit40");
  ASSERT_NE(last, nullptr);
  const QRect view(QPoint(0, 0), entry.ScrollBox1->viewport()->size());
  ASSERT_FALSE(view.contains(last->geometry().translated(entry.ScrollContent->pos())));
  entry.Focus->FocusControl(last);
  EXPECT_TRUE(view.contains(last->geometry().translated(entry.ScrollContent->pos())));
}

TEST(EntryFontsTest, ArialAndCourierNewResolveToTheLiberationFonts) {
  EXPECT_EQ(QFontInfo(QFont("Arial")).family(), "Liberation Sans");
  EXPECT_EQ(QFontInfo(QFont("Courier New")).family(), "Liberation Mono");
}

TEST_F(EntryFormTest, TheClientLinkButtonListsTheOtherClientTemplatesInAParentInstanceOnly) {
  Store.TplName = "Client e-mail";
  Store.ClientTpls[1] = "Client e-mail";
  Store.ClientTpls[3] = "Client notes";
  TEntryF entry;
  entry.show();
  ASSERT_GE(entry.Plan().Keys.ClientSlot, 1);
  auto* bevel = entry.ScrollContent->findChild<QFrame*>("BevelLkup1");
  ASSERT_NE(bevel, nullptr);
  EXPECT_EQ(bevel->geometry(), QRect(-2, -2, entry.width() - 28, bevel->height()));
  entry.resize(entry.width() + 50, entry.height());
  EXPECT_EQ(bevel->width(), entry.width() - 28);
  EXPECT_TRUE(entry.SBClientLink->isVisible());
  auto* button = entry.ScrollContent->findChild<QToolButton*>("SB1");
  ASSERT_NE(button, nullptr);
  EXPECT_EQ(entry.SBClientLink->x(), button->x() + button->width() + 1);
  ASSERT_EQ(entry.ListBoxClient->count(), 1);
  EXPECT_EQ(entry.ListBoxClient->item(0)->text(), "Client notes");
  EXPECT_FALSE(entry.SBCaseLink->isVisible());
  entry.hide();
  Startup.IsChildApp = true;
  entry.show();
  EXPECT_FALSE(entry.SBClientLink->isVisible());
}

// A failure flagged inside an exit that shows a box: the box's loop runs no
// idle; the form closes once the handler and the refocus are done.
class TBoxInExitEntryF : public TFocusProbeEntryF {
public:
  bool ClosedInBox = false;
  void LookupExitCheck(QWidget* S, TEntryEventArgs&) override {
    BuildFailed = true;
    Focus->FocusControl(S);
    QEventLoop loop;
    QTimer::singleShot(20, &loop, &QEventLoop::quit);
    loop.exec();
    ClosedInBox = !isVisible();
  }
};

TEST_F(EntryFormTest, NoIdleRunsInsideAnExitsLoopAndTheFailureClosesTheFormAfterwards) {
  TBoxInExitEntryF entry;
  EXPECT_EQ(RunModal(entry,
                     [&] {
                       auto* code = entry.ScrollContent->findChild<QLineEdit*>("Edit1");
                       entry.Focus->FocusControl(code);
                       entry.Focus->FocusControl(entry.BitBtnClear);
                     }),
            QDialog::Rejected);
  EXPECT_FALSE(entry.ClosedInBox);
  EXPECT_FALSE(entry.BuildFailed);
}

// The screen as laid out at a chosen resolution.
class TDpiEntryF : public TEntryF {
public:
  explicit TDpiEntryF(int Dpi) : dpi_(Dpi) {}

protected:
  int PixelsPerInch() const override { return dpi_; }

private:
  int dpi_;
};

TEST_F(EntryFormTest, SmallFontsSizeTheStatusPanelsTheDocumentButtonTheGridItemsAndWidenTheForm) {
  TDpiEntryF large(120);
  large.show();
  QApplication::processEvents();
  const int designed = large.width();
  EXPECT_EQ(large.StatusPanels[1]->width(), 69);
  EXPECT_EQ(large.Plan().GridColumnPlan.ItemScale, 1.0);
  EXPECT_NE(large.SBEdit->font().pointSize(), 6);

  TDpiEntryF small(96);
  small.show();
  QApplication::processEvents();
  EXPECT_EQ(small.width(), designed + 1);
  EXPECT_EQ(small.StatusPanels[1]->width(), 55);
  EXPECT_EQ(small.StatusPanels[0]->width(), designed - 70);
  EXPECT_EQ(small.StatusBar1->height(), large.StatusBar1->height() + 2);
  ExpectSunkenPanels(*large.StatusBar1, 2);
  ExpectSunkenPanels(*small.StatusBar1, 2);
  EXPECT_EQ(small.SBEdit->font().pointSize(), 6);
  EXPECT_EQ(small.Plan().GridColumnPlan.ItemScale, 1.25);
  // The side control follows the wider form.
  for (const TRowPlan& side : small.Plan().Side) {
    if (side.Control < 0) continue;
    QWidget* w = small.ControlWidget(side.Control);
    EXPECT_EQ(w->x() + w->width() + 35, small.width());
  }
}

TEST_F(EntryFormTest, AChildInstanceShowsWhereItsParentAskedElseTheFormIsCentred) {
  const QRect screen = QGuiApplication::primaryScreen()->geometry();
  struct Case {
    const char* Name;
    bool Child;
    std::optional<TStartupGlobals::TStartPosition> At;
    bool Moved;
  } cases[] = {
      {"a child with a position", true, TStartupGlobals::TStartPosition{100, 80}, true},
      {"a child without one", true, std::nullopt, false},
      {"x 0 is none", true, TStartupGlobals::TStartPosition{0, 80}, false},
      {"a parent instance", false, TStartupGlobals::TStartPosition{100, 80}, false},
  };
  for (const Case& c : cases) {
    Startup.IsChildApp = c.Child;
    Startup.StartPosition = c.At;
    TDpiEntryF entry(120);
    entry.show();
    const QPoint centred(screen.width() / 2 - entry.width() / 2, screen.height() / 2 - entry.height() / 2);
    EXPECT_EQ(entry.pos(), c.Moved ? QPoint(100, 80) : centred) << c.Name;
  }
}

// Records whether the hourglass was still up when the first field got the
// focus.
class TCursorEntryF : public TEntryF {
public:
  std::vector<bool> WaitingAtEnter;
  void FamilyLookupEnter(QWidget*, TEntryEventArgs&) override {
    WaitingAtEnter.push_back(QGuiApplication::overrideCursor() != nullptr);
  }
};

TEST_F(EntryFormTest, TheHourglassIsGoneBeforeTheFirstFieldGetsTheFocus) {
  QGuiApplication::setOverrideCursor(QCursor(Qt::PointingHandCursor));
  {
    TCursorEntryF entry;
    entry.show();
    EXPECT_EQ(entry.WaitingAtEnter, std::vector<bool>{true});
    ASSERT_NE(QGuiApplication::overrideCursor(), nullptr);
    EXPECT_EQ(QGuiApplication::overrideCursor()->shape(), Qt::PointingHandCursor);
  }
  QGuiApplication::restoreOverrideCursor();
  TCursorEntryF entry;
  entry.show();
  EXPECT_EQ(entry.WaitingAtEnter, std::vector<bool>{false});
  EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
}

// Answers every box OK from inside a loop of its own, as a real box does:
// queued calls and timers run while it is up. Inside runs in that loop.
class TLoopingBoxes : public DialogService {
public:
  std::function<void()> Inside;
  TLoopingBoxes() : previous_(SetDialogService(this)) {}
  ~TLoopingBoxes() override { SetDialogService(previous_); }
  int MessageDlg(const std::string&, TMsgDlgType, TMsgDlgButtons, int) override {
    QEventLoop loop;
    QTimer::singleShot(0, &loop, [&] {
      if (Inside) Inside();
      QTimer::singleShot(20, &loop, &QEventLoop::quit);
    });
    loop.exec();
    return mrOk;
  }
  bool InputQuery(const std::string&, const std::string&, std::string&) override { return false; }

private:
  DialogService* previous_;
};

// The loop runs until it has nothing left to do and waits: the idle
// handler's turn.
void LetTheLoopWait() {
  QEventLoop loop;
  QTimer::singleShot(30, &loop, &QEventLoop::quit);
  loop.exec();
}

TEST_F(EntryFormTest, ASetFlagPostsTheIdleCallWhichWaitsForABoxAnsweredInItsOwnLoop) {
  TEntryF entry;
  QSignalSpy finds(entry.BitBtnFind, &QPushButton::clicked);
  entry.show();
  // The call runs with the next events, whether or not the loop waits.
  entry.PendingFind = true;
  QApplication::processEvents();
  EXPECT_EQ(finds.count(), 1);

  // A command's click asks a box after setting a flag: nothing runs while
  // the box is up, the flag's work follows its answer.
  TLoopingBoxes boxes;
  int findsInBox = -1;
  bool shownInBox = false;
  boxes.Inside = [&] {
    findsInBox = int(finds.count());
    shownInBox = entry.isVisible();
  };
  const auto askAfter = [&](TIdleFlag& Flag) {
    return QObject::connect(entry.BitBtnClear, &QPushButton::clicked, &entry, [&] {
      Flag = true;
      MessageDlg("Clear the screen?", mtConfirmation, mbYesNo);
    });
  };
  QMetaObject::Connection ask = askAfter(entry.PendingFind);
  QTest::mouseClick(entry.BitBtnClear, Qt::LeftButton);
  EXPECT_EQ(findsInBox, 1);
  LetTheLoopWait();
  EXPECT_EQ(finds.count(), 2);
  QObject::disconnect(ask);

  ask = askAfter(entry.BuildFailed);
  QTest::mouseClick(entry.BitBtnClear, Qt::LeftButton);
  EXPECT_TRUE(shownInBox);
  LetTheLoopWait();
  EXPECT_FALSE(entry.isVisible());
  EXPECT_FALSE(entry.BuildFailed);
  QObject::disconnect(ask);
}

// Enters and exits of every kind of field, logged with the destination the
// exit sees; the lookup code refuses to be left empty; Remarks' enter may
// send the focus on.
class TFieldsProbeEntryF : public TFocusProbeEntryF {
public:
  QWidget* SendOnTo = nullptr;
  void OwnIndexEnter(QWidget* S, TEntryEventArgs&) override {
    Calls.push_back("enter " + Name(S));
    if (SendOnTo && Name(S) == "Edit3") Focus->FocusControl(SendOnTo);
  }
  void IndexFieldExit(QWidget* S, TEntryEventArgs&) override {
    Calls.push_back("exit " + Name(S) + ">" + Name(Focus->Destination()));
  }
};

class EntryFocusTest : public EntryFormTest {
protected:
  void SetUp() override {
    EntryFormTest::SetUp();
    Store.Reset();
    TTemplateTableBuilder t;
    AddClientCode(t, "A  0  1").DispCols[1] = 1;
    t.Add("Opened", 'D', 8);
    t.Add("Remarks", 'C', 30);
    t.Add("Billed", 'B', 1);
  }
};

TEST_F(EntryFocusTest, TabWalksTheFieldsInOrderAndEachExitSeesWhereTheFocusGoes) {
  TFieldsProbeEntryF entry;
  entry.show();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&entry));
  auto* code = entry.ScrollContent->findChild<QLineEdit*>("Edit1");
  ASSERT_NE(code, nullptr);
  code->setText("AB");
  // The picker's name is its own; its inner editor is no control.
  auto* opened = entry.ScrollContent->findChild<TdwDBDateTimePicker*>("Date1");
  ASSERT_NE(opened, nullptr);
  entry.Calls.clear();
  for (int i = 0; i < 4; ++i) keyboard::Type(Qt::Key_Tab);
  EXPECT_EQ(entry.Calls, (std::vector<std::string>{"exit Edit1>Date1", "enter Date1", "active Date1",
                                                   "exit Date1>Edit3", "enter Edit3", "active Edit3",
                                                   "exit Edit3>", "active ", "active BitBtnFind"}))
      << "the check box has no handlers of its own; the button panel offers Find";

  // Another window and back: only the active-control step runs.
  entry.Calls.clear();
  QWidget other;
  auto* elsewhere = new QLineEdit(&other);
  elsewhere->setObjectName("Other");
  other.show();
  other.activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&other));
  elsewhere->setFocus();
  QApplication::processEvents();
  entry.activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&entry));
  QApplication::processEvents();
  EXPECT_EQ(entry.Calls, (std::vector<std::string>{"active Other", "active BitBtnFind"}));
  other.hide();

  // The picker's drop-down is the picker: opening and closing it runs
  // nothing.
  entry.Focus->FocusControl(opened);
  entry.Calls.clear();
  opened->DropDown();
  QApplication::processEvents();
  QWidget* calendar = QApplication::activePopupWidget();
  ASSERT_NE(calendar, nullptr);
  // Its widgets count as the picker's, in the screen's window.
  EXPECT_EQ(TFocusModel::Of(calendar), entry.Focus);
  opened->CloseUp(false);
  QApplication::processEvents();
  EXPECT_EQ(entry.Calls, std::vector<std::string>{});

  // An enter that sends the focus on ends its own move there.
  auto* billed = entry.ScrollContent->findChild<QCheckBox*>();
  ASSERT_NE(billed, nullptr);
  entry.SendOnTo = billed;
  entry.Focus->FocusControl(entry.ScrollContent->findChild<QLineEdit*>("Edit3"));
  QApplication::processEvents();
  EXPECT_EQ(entry.Calls,
            (std::vector<std::string>{"exit Date1>Edit3", "enter Edit3", "exit Edit3>", "active "}));
  EXPECT_EQ(QApplication::focusWidget(), billed);
}

// The button panel, entered from a field, offers Find first, else Save;
// moving between its own buttons leaves the focus where it goes.
TEST_F(EntryFocusTest, ThePanelEnteredFromAFieldOffersFindThenSave) {
  TFieldsProbeEntryF entry;
  entry.show();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&entry));
  auto* remarks = entry.ScrollContent->findChild<QLineEdit*>("Edit3");
  ASSERT_NE(remarks, nullptr);
  // The lookup code refuses to be left empty here.
  entry.ScrollContent->findChild<QLineEdit*>("Edit1")->setText("AB");
  const auto from = [&](QWidget* From, QWidget* To) {
    entry.Focus->FocusControl(From);
    QApplication::processEvents();
    entry.Focus->FocusControl(To);
    QApplication::processEvents();
    return TFocusProbeEntryF::Name(QApplication::focusWidget());
  };
  ASSERT_TRUE(entry.BitBtnFind->isEnabled());
  EXPECT_EQ(from(remarks, entry.BitBtnSave), "BitBtnFind");
  EXPECT_EQ(from(remarks, entry.BitBtnCancel), "BitBtnFind");
  EXPECT_EQ(from(entry.BitBtnClear, entry.BitBtnSave), "BitBtnSave");
  EXPECT_EQ(from(entry.BitBtnFind, entry.BitBtnCancel), "BitBtnCancel");
  entry.BitBtnFind->setEnabled(false);
  EXPECT_EQ(from(remarks, entry.BitBtnCancel), "BitBtnSave");
  entry.BitBtnSave->setEnabled(false);
  EXPECT_EQ(from(remarks, entry.BitBtnCancel), "BitBtnCancel");
  // A program request while the panel's move waits wins over it.
  entry.BitBtnFind->setEnabled(true);
  entry.Focus->FocusControl(remarks);
  QApplication::processEvents();
  entry.Focus->FocusControl(entry.BitBtnCancel);
  entry.Focus->FocusControl(remarks);
  QApplication::processEvents();
  EXPECT_EQ(QApplication::focusWidget(), remarks);
}

TEST_F(EntryFormTest, TheMinimumWidthKeepsAPackedPairWhenMaximizedOnly) {
  Store.Reset();
  TTemplateTableBuilder t;
  t.Add("Name", 'C', 10);
  t.Add("Phone number", 'C', 10);
  for (const bool maximize : {false, true}) {
    Startup.MaximizeEntry = maximize;
    TDpiEntryF entry(120);
    entry.show();
    ASSERT_NE(entry.Plan().MinSlack, NoSlack);
    EXPECT_EQ(entry.minimumWidth(), maximize ? entry.width() - entry.Plan().MinSlack + 30 : 0);
  }
  // An empty template packs nothing.
  Store.Reset();
  TDpiEntryF empty(120);
  empty.show();
  EXPECT_TRUE(empty.Plan().Controls.empty());
  EXPECT_EQ(empty.minimumWidth(), 0);
}

}  // namespace
