// The grid view's table as Qt shows it: a model over TGridTable (cells
// stay Windows-1252 bytes, converted only here), the header that draws
// wrapped captions and the bars over the display columns, and the cell
// painter.
#pragma once

#include "entry/grid_table.h"

#include <QAbstractTableModel>
#include <QHeaderView>
#include <QStyledItemDelegate>

// Colours as the form names them: blue, green, red from the low byte up.
namespace GridColor {
constexpr uint32_t Green = 0x008000;
constexpr uint32_t DeletedBlue = 0xFF0000;
constexpr uint32_t LookupBar = 0x800000;
}  // namespace GridColor

QColor GridQColor(uint32_t Bgr);

class TGridItemModel : public QAbstractTableModel {
public:
  TGridItemModel(TGridTable& Table, QObject* Parent);
  int rowCount(const QModelIndex& Parent = {}) const override;
  int columnCount(const QModelIndex& Parent = {}) const override;
  QVariant data(const QModelIndex& Index, int Role) const override;
  QVariant headerData(int Section, Qt::Orientation Orientation, int Role) const override;
  // After the table changed its rows or columns.
  void Refresh();

private:
  TGridTable& t_;
};

// The picture a check-box column shows for "Y".
const QPixmap& CheckImage();

// Captions wrapped into Lines lines at their column's width; the sorted
// column's caption white, the others black, on the button face; a bar over
// each run of display columns, HeaderHeight - 2 high.
class TGridHeader : public QHeaderView {
public:
  TGridHeader(TGridTable& Table, QWidget* Parent);
  int Lines = 1;
  // The caption of Section as drawn: wrapped, a carriage return a line
  // break.
  QString WrappedCaption(int Section) const;

protected:
  void paintSection(QPainter* Painter, const QRect& Rect, int Section) const override;
  void paintEvent(QPaintEvent* Event) override;
  QSize sizeHint() const override;

private:
  TGridTable& t_;
};

// A data cell's text as drawn in a cell of that size and font: wrapped into
// as many lines as the cell's height holds, a carriage return a line break;
// as it stands when only one line fits.
QString WrappedCellText(const QString& Text, const QFont& Font, QSize Cell);

// The cell painter: a selected data cell green when the grid has the focus
// (white text), white otherwise with a green text, bold in column 1.
class TGridCellDelegate : public QStyledItemDelegate {
public:
  using QStyledItemDelegate::QStyledItemDelegate;
  void paint(QPainter* Painter, const QStyleOptionViewItem& Option, const QModelIndex& Index) const override;
};
