// datetime-demo's window: a month calendar limited to 1981-2079 for a person
// to try, with the value it holds shown under it.
#pragma once

#include <QWidget>

class QLabel;
class TdwMonthCalendar;

class TDatetimeDemoF : public QWidget {
public:
  explicit TDatetimeDemoF(QWidget* parent = nullptr);

  TdwMonthCalendar* Calendar() const { return FCalendar; }
  // "Value: " and the calendar's date, shown after every change.
  QLabel* ValueLabel() const { return FValue; }

private:
  void ShowValue();

  TdwMonthCalendar* FCalendar = nullptr;
  QLabel* FValue = nullptr;
};
