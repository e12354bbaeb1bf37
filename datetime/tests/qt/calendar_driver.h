// Drives a month calendar offscreen as a person does: presses on its title,
// clicks on day cells, keys on the grid, items of the month menu and the
// year popup. Shared by the calendar's tests and datetime-demo's.
#pragma once

#include "datetime/qt/calendar_grid.h"
#include "datetime/qt/calendar_popup_menu.h"
#include "datetime/qt/month_calendar.h"
#include "datetime/qt/year_popup.h"
#include "platform/qt/widget_text.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QTableView>
#include <QTest>
#include <QToolButton>

#include <gtest/gtest.h>

#include <string>

namespace calendar_test {

inline void Settle() { QApplication::processEvents(); }

inline void Press(QWidget* w) {
  QTest::mouseClick(w, Qt::LeftButton);
  Settle();
}

// The centre of the day cell showing `date` on the current page; (-1, -1)
// when the page does not show it.
inline QPoint CellOf(TCalendarGrid* grid, QDate date) {
  QTableView* view = grid->View();
  for (int row = 0; row < view->model()->rowCount(); ++row)
    for (int column = 0; column < view->model()->columnCount(); ++column) {
      const QPoint centre = view->visualRect(view->model()->index(row, column)).center();
      if (grid->DateAt(centre) == date) return centre;
    }
  return {-1, -1};
}

inline void ClickDay(TdwMonthCalendar& calendar, QDate date) {
  const QPoint at = CellOf(calendar.Grid(), date);
  ASSERT_NE(at, QPoint(-1, -1)) << date.toString().toStdString();
  QTest::mouseClick(calendar.Grid()->View()->viewport(), Qt::LeftButton, {}, at);
  Settle();
}

inline void Key(TdwMonthCalendar& calendar, int key, Qt::KeyboardModifiers modifiers = {}) {
  QTest::keyClick(calendar.Grid()->View(), Qt::Key(key), modifiers);
  Settle();
}

// The title as it reads: "December 2079".
inline std::string Title(const TdwMonthCalendar& calendar) {
  return StoredText(calendar.MonthButton()->text() + " " + calendar.YearButton()->text());
}

// Menu items or popup buttons as they read: "May* June-" (* checked,
// - disabled).
template <class Items>
std::string States(const Items& items) {
  std::string s;
  for (const auto* item : items) {
    if (!s.empty()) s += ' ';
    s += StoredText(item->text());
    if (item->isChecked()) s += '*';
    if (!item->isEnabled()) s += '-';
  }
  return s;
}
inline std::string MenuStates(const QMenu& menu) { return States(menu.actions()); }
inline std::string PopupStates(const TYearPopup& popup) { return States(popup.Buttons()); }

// A press where a person clicks on `opener` while `popup` is open: the popup
// takes it, at a point outside itself.
inline void PressOverOpener(QWidget* popup, QWidget* opener) {
  QTest::mouseClick(popup, Qt::LeftButton, {}, popup->mapFromGlobal(opener->mapToGlobal(QPoint(5, 5))));
}

// Opens the month menu with a press on the month title and clicks the item
// captioned `month`.
inline void PickMonth(TdwMonthCalendar& calendar, const std::string& month) {
  Press(calendar.MonthButton());
  QMenu* menu = calendar.MonthMenu();
  ASSERT_TRUE(menu->isVisible());
  for (QAction* item : menu->actions())
    if (StoredText(item->text()) == month) {
      QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(item).center());
      Settle();
      return;
    }
  FAIL() << "no month item " << month;
}

// Opens the year popup with a press on the year title and clicks the item
// captioned `caption` (a year or the edit-year label).
inline void PickYear(TdwMonthCalendar& calendar, const std::string& caption) {
  Press(calendar.YearButton());
  TYearPopup* popup = calendar.YearPopup();
  ASSERT_TRUE(popup && popup->isVisible());
  for (QAbstractButton* item : popup->Buttons())
    if (StoredText(item->text()) == caption) {
      QTest::mouseClick(item, Qt::LeftButton);
      Settle();
      return;
    }
  FAIL() << "no year item " << caption;
}

}  // namespace calendar_test
