#include "datetime/qt/popup_calendar.h"

#include "datetime/qt/calendar_grid.h"
#include "datetime/qt/date_time_picker.h"
#include "platform/datetime_value.h"
#include "platform/qt/exception_reporter.h"

#include <QCoreApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QScopedValueRollback>
#include <QTableView>

TdwPopupCalendar::TdwPopupCalendar(TdwDBCustomDateTimePicker& picker) : TdwMonthCalendar(&picker), FPicker(picker) {
  setObjectName("popupCalendar");
  setWindowFlags(Qt::Popup);
  SetBorderStyle(bsSingle);
  // Keys come to the popup itself, which hands them on; a press on a day
  // leaves the focus where it was.
  if (QTableView* view = Grid()->View()) view->setFocusPolicy(Qt::NoFocus);
}

void TdwPopupCalendar::Change() {
  TdwMonthCalendar::Change();
  FPicker.CalendarChanged(Date());
}

void TdwPopupCalendar::FocusWhenVisible() {}

void TdwPopupCalendar::DateError(const EDateTimeError& error) {
  GuardEvent([&] { FPicker.CloseUp(true); });
  ReportException(error);
}

bool TdwPopupCalendar::DropDownKey(const QKeyEvent& key) {
  const Qt::KeyboardModifiers modifiers = key.modifiers() & ~Qt::KeypadModifier;
  const bool alt = modifiers.testFlag(Qt::AltModifier);
  switch (key.key()) {
    case Qt::Key_Up:
    case Qt::Key_Down:
      if (!alt) return false;
      FPicker.CloseUp(true);
      return true;
    case Qt::Key_Return:
    case Qt::Key_Enter:
      if (alt) return false;
      FPicker.CloseUp(true);
      return true;
    case Qt::Key_Escape:
      // Handled before Qt's own Esc, which would only hide the popup, and
      // a hide counts as accepting.
      if (alt) return false;
      FPicker.CloseUp(false);
      return true;
    case Qt::Key_Tab:
    case Qt::Key_Backtab: {
      const bool forward = key.key() == Qt::Key_Tab && !modifiers.testFlag(Qt::ShiftModifier);
      FPicker.CloseUp(true);
      FPicker.MoveFocusOn(forward);
      return true;
    }
    default:
      return false;
  }
}

bool TdwPopupCalendar::event(QEvent* event) {
  if (event->type() != QEvent::KeyPress) return TdwMonthCalendar::event(event);
  bool own = false;
  GuardEvent([&] { own = DropDownKey(*static_cast<QKeyEvent*>(event)); });
  if (own) return true;
  // Other keys are the calendar's, as if its grid had the focus; one the
  // grid leaves comes back up here and ends.
  if (FForwarding) return TdwMonthCalendar::event(event);
  QScopedValueRollback forwarding(FForwarding, true);
  if (QTableView* view = Grid()->View()) QCoreApplication::sendEvent(view, event);
  return true;
}

bool TdwPopupCalendar::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::KeyPress) {
    bool own = false;
    GuardEvent([&] { own = DropDownKey(*static_cast<QKeyEvent*>(event)); });
    if (own) return true;
  }
  QTableView* view = Grid()->View();
  const bool dayRelease = view && watched == view->viewport() && event->type() == QEvent::MouseButtonRelease &&
                          static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton;
  const QPoint at =
      dayRelease ? view->viewport()->mapTo(this, static_cast<QMouseEvent*>(event)->position().toPoint()) : QPoint();
  const bool taken = TdwMonthCalendar::eventFilter(watched, event);
  if (dayRelease && !taken) GuardEvent([&] { DayReleased(at); });
  return taken;
}

void TdwPopupCalendar::DayReleased(QPoint inCalendar) {
  // The grid selected the day at the press; a press on a trailing day
  // turned the page, and its release lands on another month's day.
  const TCalendarHit hit = HitTest(inCalendar);
  if (hit.Code != mchtCalendarDate || !Limits().Within(hit.Date)) return;
  int year, month, day;
  DecodeDate(hit.Date, year, month, day);
  if (std::pair(year, month) != ShownMonthAtPress()) return;
  FPicker.CloseUp(true);
}

void TdwPopupCalendar::mousePressEvent(QMouseEvent* event) {
  event->accept();
  if (rect().contains(event->position().toPoint())) return;
  const QPoint global = event->globalPosition().toPoint();
  GuardEvent([&] {
    // The month menu or year popup takes its own outside press.
    if (IsPopupShowing() || FPicker.OnText(global)) return;
    // A press on the button closes; replayed, it would open the drop-down again.
    setAttribute(Qt::WA_NoMouseReplay, FPicker.OnButton(global));
    FPicker.CloseUp(true);
  });
}

void TdwPopupCalendar::hideEvent(QHideEvent* event) {
  TdwMonthCalendar::hideEvent(event);
  FPicker.PopupHidden();
}
