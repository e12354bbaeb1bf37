// How the dropdown grid draws a cell (StringGrid1DrawCell): the selected
// row on a white brush in the grid's font colour, so that the list reads
// like the field above it, except while the user moves through it by keys,
// when the usual highlight shows where the keys are. Text clipped to the
// cell.
#pragma once

#include <QStyledItemDelegate>

#include <functional>

class TDropdownCellDelegate : public QStyledItemDelegate {
public:
  TDropdownCellDelegate(std::function<bool()> MovingByKeys, QObject* Parent)
      : QStyledItemDelegate(Parent), movingByKeys_(std::move(MovingByKeys)) {}
  void paint(QPainter* Painter, const QStyleOptionViewItem& Option, const QModelIndex& Index) const override;

private:
  std::function<bool()> movingByKeys_;
};
