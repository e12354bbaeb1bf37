// datetime-demo's window: date pickers as the program's screens place them
// (an entry screen's date field, a from-to range, a work date limited to
// 1981-2079 whose day name shows beside it, a time of day) and a month
// calendar limited to 1981-2079 with the value it holds under it, for a
// person to try.
#pragma once

#include <QWidget>

class QLabel;
class TdwDBDateTimePicker;
class TdwMonthCalendar;

class TDatetimeDemoF : public QWidget {
public:
  explicit TDatetimeDemoF(QWidget* parent = nullptr);

  // Date only, blank until filled.
  TdwDBDateTimePicker* EntryDate() const { return FEntryDate; }
  TdwDBDateTimePicker* DateFrom() const { return FDateFrom; }
  TdwDBDateTimePicker* DateTo() const { return FDateTo; }
  // Date only, 1981-2079, two-digit years from 1950.
  TdwDBDateTimePicker* WorkDate() const { return FWorkDate; }
  // The work date's day name ("Tuesday"), empty while it is blank.
  QLabel* DayNameLabel() const { return FDayName; }
  TdwDBDateTimePicker* TimeOfDay() const { return FTimeOfDay; }

  TdwMonthCalendar* Calendar() const { return FCalendar; }
  // "Value: " and the calendar's date, shown after every change.
  QLabel* ValueLabel() const { return FValue; }

private:
  void ShowValue();
  void ShowDayName();

  TdwDBDateTimePicker* FEntryDate = nullptr;
  TdwDBDateTimePicker* FDateFrom = nullptr;
  TdwDBDateTimePicker* FDateTo = nullptr;
  TdwDBDateTimePicker* FWorkDate = nullptr;
  QLabel* FDayName = nullptr;
  TdwDBDateTimePicker* FTimeOfDay = nullptr;
  TdwMonthCalendar* FCalendar = nullptr;
  QLabel* FValue = nullptr;
};
