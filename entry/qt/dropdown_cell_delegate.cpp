#include "entry/qt/dropdown_cell_delegate.h"

#include <QPainter>

void TDropdownCellDelegate::paint(QPainter* Painter, const QStyleOptionViewItem& Option,
                                  const QModelIndex& Index) const {
  const bool marked = Option.state & (QStyle::State_Selected | QStyle::State_HasFocus);
  if (!marked || movingByKeys_()) {
    QStyledItemDelegate::paint(Painter, Option, Index);
    return;
  }
  Painter->save();
  Painter->fillRect(Option.rect, Qt::white);
  Painter->setPen(Option.palette.color(QPalette::Text));
  Painter->setClipRect(Option.rect);
  Painter->drawText(Option.rect.adjusted(2, 0, -2, 0), Qt::AlignLeft | Qt::AlignVCenter,
                    Index.data(Qt::DisplayRole).toString());
  Painter->restore();
}
