// A date picker's drop-down: the month calendar in a popup window of its
// own (a popup, not a tool window, so that the picker's window stays active
// and the picker keeps its field).
//
// While it is open Qt sends it every key and every press. Enter, Alt+Up and
// Alt+Down close it accepting, Esc closes it restoring the value from before
// the drop-down, Tab and Shift+Tab close it accepting and move the focus on;
// other keys go to the calendar, and each change of the calendar's date sets
// the picker's. A press on the picker's text keeps it open, on the picker's
// button or anywhere else closes it accepting; a release on a day of the
// month shown at the press closes it accepting. Any hide its picker did not
// ask for (Qt closes a popup on an outside press or when the window loses
// the activation) counts as closing it accepting.
#pragma once

#include "datetime/qt/month_calendar.h"

class TdwDBCustomDateTimePicker;
class QKeyEvent;

class TdwPopupCalendar : public TdwMonthCalendar {
public:
  explicit TdwPopupCalendar(TdwDBCustomDateTimePicker& picker);

  TdwDBCustomDateTimePicker& Picker() const { return FPicker; }

  void Change() override;
  // The popup holds the focus itself.
  void FocusWhenVisible() override;

protected:
  void DateError(const EDateTimeError& error) override;
  bool event(QEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void hideEvent(QHideEvent* event) override;

private:
  // True when the key was the drop-down's own.
  bool DropDownKey(const QKeyEvent& key);
  // A release on the days: closes accepting when it lands on a day of the
  // month shown at the press.
  void DayReleased(QPoint inCalendar);

  TdwDBCustomDateTimePicker& FPicker;
  bool FForwarding = false;  // a key on its way to the grid
};
