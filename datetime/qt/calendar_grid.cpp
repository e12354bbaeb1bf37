#include "datetime/qt/calendar_grid.h"

#include <QHeaderView>
#include <QLocale>
#include <QPainter>
#include <QTableView>
#include <QTextCharFormat>

TCalendarGrid::TCalendarGrid(QWidget* parent) : QCalendarWidget(parent) {
  setNavigationBarVisible(false);
  // Else a digit typed on the grid opens Qt's own editor, which knows no limits.
  setDateEditEnabled(false);
  setLocale(QLocale(QLocale::English, QLocale::UnitedStates));
  setVerticalHeaderFormat(QCalendarWidget::NoVerticalHeader);
  setHorizontalHeaderFormat(QCalendarWidget::ShortDayNames);
  const QTextCharFormat plain;
  setWeekdayTextFormat(Qt::Saturday, plain);
  setWeekdayTextFormat(Qt::Sunday, plain);
  FView = findChild<QTableView*>("qt_calendar_calendarview");
}

QDate TCalendarGrid::FirstShownDate() const {
  const QDate first(yearShown(), monthShown(), 1);
  // Days from the week's first day to the 1st; a month starting on that
  // day shows a whole week of the month before.
  int offset = (first.dayOfWeek() - int(firstDayOfWeek()) + 7) % 7;
  if (offset < 1) offset += 7;
  return first.addDays(-offset);
}

QDate TCalendarGrid::DateAt(QPoint pos) const {
  if (!FView) return {};
  const QModelIndex index = FView->indexAt(pos);
  if (!index.isValid()) return {};
  const int firstRow = horizontalHeaderFormat() == QCalendarWidget::NoHorizontalHeader ? 0 : 1;
  const int firstColumn = verticalHeaderFormat() == QCalendarWidget::NoVerticalHeader ? 0 : 1;
  const int row = index.row() - firstRow;
  const int column = index.column() - firstColumn;
  if (row < 0 || row > 5 || column < 0 || column > 6) return {};
  return FirstShownDate().addDays(7 * row + column);
}

void TCalendarGrid::SetTodayFrame(QDate today) {
  if (today == FToday) return;
  FToday = today;
  updateCells();
}

void TCalendarGrid::paintCell(QPainter* painter, const QRect& rect, QDate date) const {
  QCalendarWidget::paintCell(painter, rect, date);
  if (!FToday.isValid() || date != FToday) return;
  painter->save();
  painter->setPen(QPen(palette().color(QPalette::Highlight).darker(130), 1));
  painter->setBrush(Qt::NoBrush);
  painter->drawRect(rect.adjusted(1, 1, -2, -2));
  painter->restore();
}
