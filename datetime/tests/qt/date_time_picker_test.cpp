// The date/time picker offscreen with a fixed clock: the ways free text is
// refused, the drop-down (opening, placement, keys, presses and closing),
// focus into and out of it, cut, copy and paste, a caller's setText, and
// the sound behaviours where the picker departs from its origin.
#include "datetime/qt/date_time_picker.h"

#include "datetime/qt/calendar_grid.h"
#include "datetime/qt/calendar_popup_menu.h"
#include "datetime/tests/qt/picker_driver.h"
#include "platform/clipboard.h"
#include "platform/date_format.h"
#include "platform/datetime_value.h"
#include "platform/qt/clipboard_qt.h"
#include "testing/clock_fixture.h"
#include "testing/dialog_responder.h"

#include <QClipboard>
#include <QDialog>
#include <QInputMethodEvent>
#include <QMenu>
#include <QMimeData>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>

#include <gtest/gtest.h>

#include <memory>

using namespace calendar_test;
using namespace picker_test;
using keyboard::Type;

namespace {

TDateTime D(int y, int m, int d) { return EncodeDate(y, m, d); }

// A form with a line edit before the picker and one after it.
class PickerTest : public testing::Test {
protected:
  // Wednesday, 2026-03-18, 10:30.
  ScopedClock Clock{EncodeDate(2026, 3, 18) + EncodeTime(10, 30, 0, 0)};

  void SetUp() override {
    SetClipboardText("");
    Form = std::make_unique<QWidget>();
    auto* column = new QVBoxLayout(Form.get());
    Before = new QLineEdit(Form.get());
    Before->setObjectName("before");
    Picker = new TdwDBDateTimePicker(Form.get());
    Picker->setObjectName("picker");
    Picker->SetUnboundDataType(dwDTEdtDate);
    Picker->setFixedWidth(120);
    After = new QLineEdit(Form.get());
    After->setObjectName("after");
    column->addWidget(Before);
    column->addWidget(Picker);
    column->addWidget(After);
    column->addStretch();
    Form->setGeometry(100, 100, 300, 300);
    QObject::connect(Picker, &QLineEdit::textChanged, [this] { ++Changes; });
    Activate(*Form);
  }
  void TearDown() override {
    Form.reset();
    Settle();
  }

  // Focus by Tab from the line edit before it, as a person enters the field.
  void TabIn() {
    Before->setFocus(Qt::OtherFocusReason);
    Settle();
    Type(Qt::Key_Tab);
    ASSERT_TRUE(Picker->hasFocus());
  }
  std::string Shown() const { return Text(*Picker); }
  TdwPopupCalendar& Popup() const { return *Picker->PopupCalendar(); }

  std::unique_ptr<QWidget> Form;
  QLineEdit* Before = nullptr;
  TdwDBDateTimePicker* Picker = nullptr;
  QLineEdit* After = nullptr;
  int Changes = 0;
};

// ---- free text

TEST_F(PickerTest, NoWayLetsFreeTextIn) {
  Picker->SetDate(D(2026, 3, 18));
  TabIn();
  EXPECT_EQ(Selected(*Picker), "3/18/2026");

  // Keys a plain line edit would type, undo or redo.
  Type("x?");
  Type(Qt::Key_Z, Qt::ControlModifier);
  Type(Qt::Key_Y, Qt::ControlModifier);
  EXPECT_EQ(Shown(), "3/18/2026");

  // A drop carrying text.
  EXPECT_FALSE(Picker->acceptDrops());
  QMimeData mime;
  mime.setText("hello");
  QDropEvent drop(QPointF(5, 5), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(Picker, &drop);
  EXPECT_FALSE(drop.isAccepted());

  // An input method's committed text.
  EXPECT_FALSE(Picker->testAttribute(Qt::WA_InputMethodEnabled));
  QInputMethodEvent compose;
  compose.setCommitString("hello");
  QApplication::sendEvent(Picker, &compose);

  // A middle click, which pastes the selection on X11.
  SetClipboardText("hello");
  QTest::mouseClick(Picker, Qt::MiddleButton, {}, QPoint(10, 5));
  EXPECT_EQ(Shown(), "3/18/2026");

  // The menu: no Undo, and Paste parses.
  std::unique_ptr<QMenu> menu(Picker->CreateContextMenu());
  EXPECT_EQ(MenuStates(*menu), "Cu&t &Copy &Paste &Delete  Select &All");
  menu->actions()[2]->trigger();
  EXPECT_EQ(Shown(), "3/18/2026");
  SetClipboardText("5/6/2007");
  menu.reset(Picker->CreateContextMenu());
  menu->actions()[2]->trigger();
  EXPECT_EQ(Shown(), "5/6/2007");
  EXPECT_EQ(Picker->Date(), D(2007, 5, 6));
  menu.reset(Picker->CreateContextMenu());
  menu->actions()[3]->trigger();
  EXPECT_EQ(Shown(), "");
  EXPECT_EQ(Picker->Date(), 0);
}

TEST_F(PickerTest, ReadOnlyMenuOffersCopyAndSelectAllOnly) {
  Picker->SetDate(D(2026, 3, 18));
  Picker->SetReadOnly(true);
  TabIn();
  std::unique_ptr<QMenu> menu(Picker->CreateContextMenu());
  EXPECT_EQ(MenuStates(*menu), "Cu&t- &Copy &Paste- &Delete-  Select &All");
}

TEST_F(PickerTest, ACallersSetTextPassesIntoTheValue) {
  Picker->SetDate(D(2026, 3, 18));
  Picker->setText("not a date");
  EXPECT_EQ(Shown(), "3/18/2026");
  EXPECT_EQ(Picker->Date(), D(2026, 3, 18));
  Picker->setText("");
  EXPECT_EQ(Shown(), "");
  EXPECT_EQ(Picker->Date(), 0);
  Picker->SetDate(D(2026, 3, 18));
  Picker->clear();
  EXPECT_EQ(Picker->Date(), 0);
}

// ---- keys and the mouse

TEST_F(PickerTest, KeysEditFieldsAndEnterIsLeftForTheDialog) {
  QDialog dialog;
  auto* picker = new TdwDBDateTimePicker(&dialog);
  picker->SetUnboundDataType(dwDTEdtDate);
  auto* ok = new QPushButton("OK", &dialog);
  ok->setDefault(true);
  QObject::connect(ok, &QPushButton::clicked, &dialog, &QDialog::accept);
  auto* column = new QVBoxLayout(&dialog);
  column->addWidget(picker);
  column->addWidget(ok);
  picker->SetDate(D(2026, 3, 18));
  Activate(dialog);
  picker->setFocus(Qt::TabFocusReason);
  Settle();

  // Up steps the month; digits type the day; keypad digits type too.
  Type(Qt::Key_Up);
  EXPECT_EQ(Text(*picker), "4/18/2026");
  EXPECT_EQ(Selected(*picker), "4");
  Type(Qt::Key_Right);
  Type("2");
  Type(Qt::Key_5, Qt::KeypadModifier);
  EXPECT_EQ(Text(*picker), "4/25/2026");
  EXPECT_EQ(Selected(*picker), "2026");
  // Esc goes back to the value at the entry and stays in the picker.
  Type(Qt::Key_Escape);
  EXPECT_EQ(Text(*picker), "3/18/2026");
  EXPECT_TRUE(dialog.isVisible());
  // Enter reaches the default button.
  Type(Qt::Key_Return);
  EXPECT_EQ(dialog.result(), QDialog::Accepted);
  EXPECT_FALSE(dialog.isVisible());
}

TEST_F(PickerTest, TheCaretHidesWhileAFieldIsSelected) {
  // The line edit draws no caret while it is read-only; keys never reach it.
  Picker->SetDate(D(2026, 3, 18));
  TabIn();
  EXPECT_TRUE(Picker->QLineEdit::isReadOnly());
  Type("1");  // a pending first digit of the month: the caret after it
  EXPECT_EQ(Shown(), "1/18/2026");
  EXPECT_FALSE(Picker->QLineEdit::isReadOnly());
  EXPECT_EQ(Picker->cursorPosition(), 1);
  Type(Qt::Key_Right);  // taken: the day selected
  EXPECT_EQ(Selected(*Picker), "18");
  EXPECT_TRUE(Picker->QLineEdit::isReadOnly());
  Type(Qt::Key_X, Qt::ControlModifier);  // blank: the caret shows
  EXPECT_EQ(Shown(), "");
  EXPECT_FALSE(Picker->QLineEdit::isReadOnly());
  EXPECT_FALSE(Picker->testAttribute(Qt::WA_InputMethodEnabled));
}

TEST_F(PickerTest, APressSelectsTheFieldUnderItAndADoubleClickAll) {
  Picker->SetDate(D(2026, 12, 18));
  TabIn();
  const QFontMetrics metrics = Picker->fontMetrics();
  const int left = Picker->TextLeft();
  const int y = Picker->height() / 2;
  // Just inside each field's last character.
  QTest::mouseClick(Picker, Qt::LeftButton, {}, QPoint(left + metrics.horizontalAdvance("12/1") + 1, y));
  EXPECT_EQ(Selected(*Picker), "18");
  QTest::mouseClick(Picker, Qt::LeftButton, {}, QPoint(left + metrics.horizontalAdvance("12") - 1, y));
  EXPECT_EQ(Selected(*Picker), "12");
  QTest::mouseClick(Picker, Qt::LeftButton, {}, QPoint(left + metrics.horizontalAdvance("12/18/2") + 1, y));
  EXPECT_EQ(Selected(*Picker), "2026");
  // A drag selects no range.
  QTest::mousePress(Picker, Qt::LeftButton, {}, QPoint(left + 1, y));
  QTest::mouseMove(Picker, QPoint(left + metrics.horizontalAdvance("12/18/2026"), y));
  QTest::mouseRelease(Picker, Qt::LeftButton, {}, QPoint(left + metrics.horizontalAdvance("12/18/2026"), y));
  EXPECT_EQ(Selected(*Picker), "12");
  QTest::mouseDClick(Picker, Qt::LeftButton, {}, QPoint(left + 1, y));
  EXPECT_EQ(Selected(*Picker), "12/18/2026");
}

// ---- the drop-down

TEST_F(PickerTest, AltDownOnAnEmptyPickerShowsTodayAndEscBlanksAgain) {
  TabIn();
  EXPECT_EQ(Shown(), "");
  Type(Qt::Key_Down, Qt::AltModifier);
  ASSERT_TRUE(Open(*Picker));
  EXPECT_EQ(QApplication::activePopupWidget(), Picker->PopupCalendar());
  EXPECT_EQ(Shown(), "3/18/2026");
  EXPECT_TRUE(Picker->Model().Modified);
  EXPECT_EQ(Selected(*Picker), "");
  EXPECT_EQ(Popup().Grid()->selectedDate(), QDate(2026, 3, 18));
  // Esc never reaches the picker's own reset: the value from before the drop-down.
  Type(Qt::Key_Escape);
  EXPECT_FALSE(Open(*Picker));
  EXPECT_EQ(Shown(), "");
  EXPECT_EQ(Picker->Date(), 0);
  EXPECT_TRUE(Picker->hasFocus());
}

TEST_F(PickerTest, TheButtonOnAnEmptyPickerFocusesItAndDropsDown) {
  int drops = 0, closes = 0;
  Picker->OnDropDown = [&] { ++drops; };
  Picker->OnCloseUp = [&] { ++closes; };
  Before->setFocus();
  PressButton(*Picker);
  ASSERT_TRUE(Open(*Picker));
  EXPECT_TRUE(Picker->hasFocus() || QApplication::focusWidget() == Picker);
  EXPECT_EQ(Shown(), "3/18/2026");
  // A press on the button while open closes, and does not open again.
  PressButton(*Picker);
  EXPECT_FALSE(Open(*Picker));
  EXPECT_EQ(Shown(), "3/18/2026");
  EXPECT_EQ(drops, 1);
  EXPECT_EQ(closes, 1);
  EXPECT_EQ(Selected(*Picker), "3");
}

TEST_F(PickerTest, EscRestoresAnOutsidePressAndADayClickKeepTheCalendarsDate) {
  Picker->SetDate(D(2026, 3, 18));
  TabIn();
  // A key moves the calendar a week back; the picker follows once, its field untouched.
  Type(Qt::Key_Down, Qt::AltModifier);
  Type(Qt::Key_Up);
  EXPECT_EQ(Shown(), "3/11/2026");
  EXPECT_EQ(Popup().Date(), D(2026, 3, 11) + EncodeTime(0, 0, 0, 0));
  Type(Qt::Key_Escape);
  EXPECT_EQ(Shown(), "3/18/2026");

  // A press outside the calendar and the picker (on the field above) keeps the calendar's date.
  Type(Qt::Key_Down, Qt::AltModifier);
  Type(Qt::Key_PageDown);
  EXPECT_EQ(Shown(), "4/18/2026");
  ClickAt(Centre(*Before));
  EXPECT_FALSE(Open(*Picker));
  EXPECT_EQ(Shown(), "4/18/2026");

  // Back in; a press on the picker's text keeps it open; a day click closes.
  Picker->setFocus(Qt::TabFocusReason);
  Type(Qt::Key_Down, Qt::AltModifier);
  ClickAt(Picker->mapToGlobal(QPoint(10, Picker->height() / 2)));
  EXPECT_TRUE(Open(*Picker));
  ClickDay(Popup(), QDate(2026, 4, 2));
  EXPECT_FALSE(Open(*Picker));
  EXPECT_EQ(Shown(), "4/2/2026");
  EXPECT_EQ(Picker->Date(), D(2026, 4, 2));
}

TEST_F(PickerTest, ATrailingDayTurnsThePageWithoutClosing) {
  Picker->SetDate(D(2026, 3, 18));
  TabIn();
  Type(Qt::Key_Down, Qt::AltModifier);
  ClickDay(Popup(), QDate(2026, 4, 1));  // shown in March's last row
  EXPECT_TRUE(Open(*Picker));
  EXPECT_EQ(Shown(), "4/1/2026");
  Type(Qt::Key_Return);
  EXPECT_FALSE(Open(*Picker));
  EXPECT_EQ(Shown(), "4/1/2026");
}

TEST_F(PickerTest, AnOutsidePressWhileTheMonthMenuIsOpenClosesOnlyTheMenu) {
  Picker->SetDate(D(2026, 3, 18));
  TabIn();
  Type(Qt::Key_Down, Qt::AltModifier);
  Press(Popup().MonthButton());
  ASSERT_TRUE(Popup().MonthMenu()->isVisible());
  ClickAt(Centre(*Before));
  EXPECT_FALSE(Popup().MonthMenu()->isVisible());
  EXPECT_TRUE(Open(*Picker));
}

// Typed over 12/2/2026 from the month and left by Tab: each field takes
// what it can and nothing is said. A refused second digit leaves the first
// one waiting, a completed field has already moved on (so Right moves once
// more), and letters in a number field are dropped.
TEST_F(PickerTest, MistypedDigitsAreTakenFieldByFieldWithoutABox) {
  struct TRow {
    std::vector<std::string> Keys;  // "Right" is the key, anything else typed
    std::string Shown;
  };
  const TRow rows[] = {
      {{"13452026"}, "12/2/2006"},
      {{"12", "Right", "01", "Right", "2026"}, "12/2/2026"},
      {{"ACM102"}, "10/2/2026"},
      {{"12012026"}, "12/1/2026"},
  };
  DialogResponder boxes;
  for (const TRow& r : rows) {
    SCOPED_TRACE(r.Shown);
    Picker->SetDate(D(2026, 12, 2));
    TabIn();
    // The field last edited stays current: back to the month.
    Type(Qt::Key_Left);
    Type(Qt::Key_Left);
    for (const std::string& k : r.Keys) k == "Right" ? Type(Qt::Key_Right) : Type(k);
    Type(Qt::Key_Tab);
    EXPECT_TRUE(After->hasFocus());
    EXPECT_EQ(Shown(), r.Shown);
  }
  EXPECT_TRUE(boxes.Boxes().empty());
}

TEST_F(PickerTest, TabClosesAcceptingAndMovesOn) {
  Picker->SetDate(D(2026, 3, 18));
  TabIn();
  Type(Qt::Key_Down, Qt::AltModifier);
  Type(Qt::Key_Right);
  Type(Qt::Key_Tab);
  EXPECT_FALSE(Open(*Picker));
  EXPECT_TRUE(After->hasFocus());
  EXPECT_EQ(Shown(), "3/19/2026");
  EXPECT_EQ(Selected(*Picker), "");  // a picker left shows its text alone
  Settle();
  // Leaving freed the drop-down.
  EXPECT_EQ(Picker->PopupCalendar(), nullptr);
  // Shift+Tab goes back.
  Picker->setFocus(Qt::TabFocusReason);
  Type(Qt::Key_Down, Qt::AltModifier);
  Type(Qt::Key_Backtab, Qt::ShiftModifier);
  EXPECT_FALSE(Open(*Picker));
  EXPECT_TRUE(Before->hasFocus());
}

TEST_F(PickerTest, TheDropDownIsNoExitOfTheField) {
  Picker->SetDate(D(2026, 3, 18));
  TabIn();
  Type(Qt::Key_Up);  // month: April
  EXPECT_EQ(Shown(), "4/18/2026");
  Type(Qt::Key_Down, Qt::AltModifier);
  ASSERT_TRUE(Open(*Picker));
  // Whatever inside the drop-down has the focus belongs to the picker.
  EXPECT_EQ(TdwDBCustomDateTimePicker::FromWidget(Popup().Grid()->View()->viewport()), Picker);
  EXPECT_EQ(TdwDBCustomDateTimePicker::FromWidget(Popup().MonthMenu()), Picker);
  EXPECT_EQ(TdwDBCustomDateTimePicker::FromWidget(After), nullptr);
  Type(Qt::Key_Return);
  EXPECT_FALSE(Open(*Picker));
  // No exit freed the calendar, no entry took the value again: Esc goes back
  // to the value from the Tab in.
  EXPECT_NE(Picker->PopupCalendar(), nullptr);
  Type(Qt::Key_Escape);
  EXPECT_EQ(Shown(), "3/18/2026");
}

TEST_F(PickerTest, AnotherWindowClosesTheDropDownAcceptingWithoutAnExit) {
  Picker->SetDate(D(2026, 3, 18));
  TabIn();
  Type(Qt::Key_Down, Qt::AltModifier);
  Type(Qt::Key_Right);
  QFocusEvent away(QEvent::FocusOut, Qt::ActiveWindowFocusReason);
  QApplication::sendEvent(Picker, &away);
  EXPECT_FALSE(Open(*Picker));
  EXPECT_EQ(Shown(), "3/19/2026");
  EXPECT_NE(Picker->PopupCalendar(), nullptr);
}

TEST_F(PickerTest, ACalendarKeyBeyondALimitClosesFirstThenShowsTheBox) {
  Picker->SetMaxDate(D(2026, 3, 20));
  Picker->SetDate(D(2026, 3, 18));
  TabIn();
  Type(Qt::Key_Down, Qt::AltModifier);
  {
    DialogResponder responder;
    responder.Expect("Date exceeds maximum of 3/20/2026");
    Type(Qt::Key_Down);
  }
  EXPECT_FALSE(Open(*Picker));
  EXPECT_EQ(Shown(), "3/18/2026");
}

TEST_F(PickerTest, PlacementBelowAboveAndRightAligned) {
  Picker->SetDate(D(2026, 3, 18));
  TabIn();
  const auto dropAndPlace = [&] {
    Picker->DropDown();
    Settle();
    const QRect at = Popup().geometry();
    Picker->CloseUp(true);
    Settle();
    return at;
  };
  QPoint corner = Picker->mapToGlobal(QPoint(0, 0));
  QRect at = dropAndPlace();
  EXPECT_EQ(at.topLeft(), QPoint(corner.x() + 1, corner.y() + Picker->height() - 1));
  EXPECT_EQ(at.size(), Popup().sizeHint());

  // Near the screen's bottom (800 x 800 offscreen): above the picker.
  Form->move(100, 800 - 80);
  Settle();
  corner = Picker->mapToGlobal(QPoint(0, 0));
  ASSERT_GT(corner.y() + Picker->height() - 1 + at.height(), 800);
  at = dropAndPlace();
  EXPECT_EQ(at.topLeft(), QPoint(corner.x() + 1, corner.y() - at.height()));

  // Near the right edge: ends at the picker's right edge.
  Form->move(800 - 150, 100);
  Settle();
  corner = Picker->mapToGlobal(QPoint(0, 0));
  ASSERT_GE(corner.x() + at.width(), 800);
  at = dropAndPlace();
  EXPECT_EQ(at.topLeft(), QPoint(corner.x() + Picker->width() - 1 - at.width() + 1, corner.y() + Picker->height() - 1));

  // Right alignment asked for.
  Form->move(400, 100);
  Settle();
  Picker->CalendarAttributes().Alignment = dwdtaRight;
  corner = Picker->mapToGlobal(QPoint(0, 0));
  at = dropAndPlace();
  EXPECT_EQ(at.x(), corner.x() + Picker->width() - Picker->Button()->width() - at.width() - 1 + 1);
}

// ---- cut, copy and paste

TEST_F(PickerTest, CopyCutAndPaste) {
  DialogResponder responder;
  Picker->SetMaxDate(D(2079, 12, 31));
  Picker->SetDate(D(2026, 3, 18));
  TabIn();
  Type(Qt::Key_C, Qt::ControlModifier);
  EXPECT_EQ(ClipboardText(), "3/18/2026");
  Type(Qt::Key_Right);  // the day field
  Type(Qt::Key_Insert, Qt::ControlModifier);
  EXPECT_EQ(ClipboardText(), "18");

  // Paste: the first line, as date and time, else as a date.
  SetClipboardText("12/25/2030 10:15\r\nsecond line");
  Type(Qt::Key_V, Qt::ControlModifier);
  EXPECT_EQ(Shown(), "12/25/2030");
  EXPECT_EQ(Picker->Date(), D(2030, 12, 25) + EncodeTime(10, 15, 0, 0));
  SetClipboardText("7/4/2031 and more");
  Type(Qt::Key_Insert, Qt::ShiftModifier);
  EXPECT_EQ(Shown(), "7/4/2031");
  // Unparsable: the value stays.
  SetClipboardText("2/30/2001");
  Type(Qt::Key_V, Qt::ControlModifier);
  EXPECT_EQ(Shown(), "7/4/2031");
  // Beyond a limit: the box, value and text kept.
  responder.Expect("Date exceeds maximum of 12/31/2079");
  SetClipboardText("1/1/2080");
  Type(Qt::Key_V, Qt::ControlModifier);
  EXPECT_EQ(responder.Pending(), 0u);
  EXPECT_EQ(Shown(), "7/4/2031");
  EXPECT_EQ(Picker->Date(), D(2031, 7, 4));

  // Cut: copied, then blank.
  Type(Qt::Key_X, Qt::ControlModifier);
  EXPECT_EQ(ClipboardText(), "4");
  EXPECT_EQ(Shown(), "");
  EXPECT_EQ(Picker->Date(), 0);
  EXPECT_TRUE(Picker->Model().Blank());
}

TEST_F(PickerTest, ReadOnlyCutOnlyCopiesAndPasteChangesNothing) {
  Picker->SetDate(D(2026, 3, 18));
  Picker->SetReadOnly(true);
  TabIn();
  Type(Qt::Key_Delete, Qt::ShiftModifier);
  EXPECT_EQ(ClipboardText(), "3/18/2026");
  EXPECT_EQ(Shown(), "3/18/2026");
  SetClipboardText("1/2/2003");
  Type(Qt::Key_V, Qt::ControlModifier);
  EXPECT_EQ(Shown(), "3/18/2026");
}

TEST_F(PickerTest, TextWindows1252CannotHoldPastesAsNothing) {
  ClipboardService* before = SetClipboardService(nullptr);
  UseQtClipboard();
  Picker->SetDate(D(2026, 3, 18));
  TabIn();
  QGuiApplication::clipboard()->setText(QString::fromUtf8("1/2/2003 \u0416"));
  Type(Qt::Key_V, Qt::ControlModifier);
  EXPECT_EQ(Shown(), "3/18/2026");
  QGuiApplication::clipboard()->setText("1/2/2003");
  Type(Qt::Key_V, Qt::ControlModifier);
  EXPECT_EQ(Shown(), "1/2/2003");
  SetClipboardService(before);
}

TEST_F(PickerTest, TimeOnlyPastesATimeAndHasNoButton) {
  Picker->SetUnboundDataType(dwDTEdtTime);
  EXPECT_FALSE(Picker->Button()->isVisibleTo(Picker));
  EXPECT_EQ(Picker->textMargins().right(), 0);
  TabIn();
  SetClipboardText("10:45 PM");
  Type(Qt::Key_V, Qt::ControlModifier);
  EXPECT_EQ(Picker->Time(), EncodeTime(22, 45, 0, 0));
  EXPECT_EQ(Picker->Date(), 0);
  // Setting Date changes nothing here.
  Picker->SetDate(D(2026, 3, 18));
  EXPECT_EQ(Picker->Time(), EncodeTime(22, 45, 0, 0));
  Type(Qt::Key_Down, Qt::AltModifier);
  EXPECT_FALSE(Open(*Picker));
}

// ---- value, button and limits

TEST_F(PickerTest, TheSameDayChangesNothingAndLimitsCrossingRaise) {
  Picker->SetDate(D(2026, 3, 18));
  const int changes = Changes;
  Picker->SetDate(D(2026, 3, 18) + EncodeTime(15, 0, 0, 0));
  EXPECT_EQ(Changes, changes);
  EXPECT_EQ(Picker->Date(), D(2026, 3, 18));

  Picker->SetMaxDate(D(2079, 12, 31));
  try {
    Picker->SetMinDate(D(2080, 1, 1));
    FAIL() << "no error";
  } catch (const EDateTimeError& e) {
    EXPECT_EQ(e.Message, "Date exceeds maximum of 12/31/2079");
  }
  EXPECT_EQ(Picker->MinDate(), 0);
  EXPECT_THROW(Picker->SetDate(D(2080, 1, 1)), EDateTimeError);
  EXPECT_EQ(Shown(), "3/18/2026");
}

TEST_F(PickerTest, TheButtonSitsInsideTheRightEdgeAndFollowsTheSettings) {
  TdwDateComboButton* button = Picker->Button();
  EXPECT_TRUE(button->isVisible());
  EXPECT_GE(button->width(), 15);
  EXPECT_EQ(button->geometry().right(), Picker->width() - 1 - (Picker->width() - 1 - button->geometry().right()));
  EXPECT_LE(button->geometry().right(), Picker->width() - 1);
  EXPECT_EQ(Picker->textMargins().right(), button->width());
  Picker->SetShowButton(false);
  EXPECT_FALSE(button->isVisible());
  EXPECT_EQ(Picker->textMargins().right(), 0);
  Picker->SetShowButton(true);
  Picker->setEnabled(false);
  EXPECT_FALSE(button->isEnabled());
}

// ---- the sound behaviours

TEST_F(PickerTest, TodayBeyondTheLimitsFillsTheNearestLimit) {
  Picker->SetMinDate(D(2030, 1, 1));
  TabIn();
  Type(Qt::Key_Down, Qt::AltModifier);
  ASSERT_TRUE(Open(*Picker));
  EXPECT_EQ(Shown(), "1/1/2030");
  Type(Qt::Key_Return);
  EXPECT_EQ(Picker->Date(), D(2030, 1, 1));
}

TEST_F(PickerTest, AValueLeftBeyondLimitsSetLaterShowsAtTheNearestLimit) {
  Picker->SetDate(D(2026, 3, 18));
  Picker->SetMinDate(D(2030, 1, 1));
  TabIn();
  Type(Qt::Key_Down, Qt::AltModifier);
  ASSERT_TRUE(Open(*Picker));
  EXPECT_EQ(Popup().Grid()->selectedDate(), QDate(2030, 1, 1));
  EXPECT_EQ(Shown(), "3/18/2026");
  // Esc brings the value back without a range error.
  Type(Qt::Key_Right);
  EXPECT_EQ(Shown(), "1/2/2030");
  Type(Qt::Key_Escape);
  EXPECT_EQ(Shown(), "3/18/2026");
}

TEST_F(PickerTest, EscInAPickerEnteredBlankGivesBlank) {
  Picker->SetDate(D(2026, 3, 18));
  TabIn();
  Type(Qt::Key_Tab);
  Picker->SetDate(0);
  Picker->setFocus(Qt::TabFocusReason);
  Type(Qt::Key_Up);  // fills today
  EXPECT_EQ(Shown(), "3/18/2026");
  Type(Qt::Key_Up);
  EXPECT_EQ(Shown(), "4/18/2026");
  Type(Qt::Key_Escape);
  EXPECT_EQ(Shown(), "");
  EXPECT_EQ(Picker->Date(), 0);
}

TEST_F(PickerTest, DestroyingAnotherPickerLeavesThisDropDownWorking) {
  auto* other = new TdwDBDateTimePicker(Form.get());
  other->SetUnboundDataType(dwDTEdtDate);
  Form->layout()->addWidget(other);
  Settle();
  other->setFocus(Qt::TabFocusReason);
  Type(Qt::Key_Down, Qt::AltModifier);
  ASSERT_TRUE(Open(*other));
  Type(Qt::Key_Escape);
  Picker->SetDate(D(2026, 3, 18));
  Picker->setFocus(Qt::TabFocusReason);
  Type(Qt::Key_Down, Qt::AltModifier);
  ASSERT_TRUE(Open(*Picker));
  delete other;
  Settle();
  EXPECT_TRUE(Open(*Picker));
  Type(Qt::Key_Right);
  ClickAt(Centre(*Before));
  EXPECT_FALSE(Open(*Picker));
  EXPECT_EQ(Shown(), "3/19/2026");
  Picker->setFocus(Qt::TabFocusReason);
  Type(Qt::Key_Down, Qt::AltModifier);
  ClickDay(Popup(), QDate(2026, 3, 25));
  EXPECT_FALSE(Open(*Picker));
  EXPECT_EQ(Shown(), "3/25/2026");
}

}  // namespace
