// The month calendar's grid: a QCalendarWidget without its own navigation
// bar and inline date editor, always in English (US), whose weekends look
// like the other days, which frames today's cell and can tell the date of
// any cell of its view.
#pragma once

#include <QCalendarWidget>
#include <QDate>

class QTableView;

class TCalendarGrid : public QCalendarWidget {
public:
  explicit TCalendarGrid(QWidget* parent = nullptr);

  // The view that shows the days and takes the keys.
  QTableView* View() const { return FView; }

  // The date of the cell at `pos` in the view's viewport; invalid outside
  // the day cells (headers, week numbers, margins).
  QDate DateAt(QPoint pos) const;

  // The day to frame as today; an invalid date frames none.
  void SetTodayFrame(QDate today);

  // The first date the shown page displays (the top-left day cell).
  QDate FirstShownDate() const;

protected:
  void paintCell(QPainter* painter, const QRect& rect, QDate date) const override;

private:
  QTableView* FView = nullptr;
  QDate FToday;
};
