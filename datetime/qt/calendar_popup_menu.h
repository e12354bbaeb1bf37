// The calendar's month menu: a QMenu that knows while it is open, so that a
// drop-down holding the calendar leaves itself open meanwhile.
#pragma once

#include <QMenu>

class TCalendarPopupMenu : public QMenu {
public:
  explicit TCalendarPopupMenu(QWidget* parent = nullptr);
  bool Popping() const { return FPopping; }

private:
  bool FPopping = false;
};
