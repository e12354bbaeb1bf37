// The calendar's year popup: the year layout's items in columns (a QMenu
// has no column break), in a Qt::Popup frame that closes on a click outside.
// A click on its own opening button closes it without reaching the button,
// so that the second click on the year title only closes the popup.
#pragma once

#include "datetime/month_calendar_logic.h"

#include <QFrame>

#include <functional>
#include <vector>

class QAbstractButton;

class TYearPopup : public QFrame {
public:
  explicit TYearPopup(QWidget* parent = nullptr);

  // Replaces the items; `chosen` runs for a click on a year or the edit-year
  // label, after the popup has closed.
  void SetItems(const std::vector<TCalendarMenuItem>& items, std::function<void(const TCalendarMenuItem&)> chosen);
  // The button that opens the popup.
  void SetOpener(QWidget* opener) { FOpener = opener; }
  // True while the event that closed the popup by a press on the opener is
  // still being handled.
  bool ClosedByOpener() const { return FClosedByOpener; }

  // The item buttons, in the order of the items (separators have none).
  const std::vector<QAbstractButton*>& Buttons() const { return FButtons; }

protected:
  void mousePressEvent(QMouseEvent* event) override;

private:
  QWidget* FOpener = nullptr;
  bool FClosedByOpener = false;
  std::vector<QAbstractButton*> FButtons;
};
