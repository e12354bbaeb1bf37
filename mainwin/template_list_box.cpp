#include "mainwin/template_list_box.h"

#include <QResizeEvent>

#include <algorithm>

TColumnListBox::TColumnListBox(QWidget* parent) : QListWidget(parent) {
  setFlow(QListView::TopToBottom);
  setWrapping(true);
  setResizeMode(QListView::Adjust);
  setUniformItemSizes(true);
  setSortingEnabled(false);
  setSelectionMode(QAbstractItemView::SingleSelection);
  setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
  setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
}

void TColumnListBox::resizeEvent(QResizeEvent* event) {
  QListWidget::resizeEvent(event);
  setGridSize(QSize(std::max(1, viewport()->width() / ListColumns), ListItemHeight));
}

TListItemDrawer::TListItemDrawer(TDraw Draw, QObject* parent) : QStyledItemDelegate(parent), draw_(std::move(Draw)) {}

void TListItemDrawer::paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const {
  draw_(*painter, index.row(), option.rect, option.state);
}

QSize TListItemDrawer::sizeHint(const QStyleOptionViewItem& option, const QModelIndex&) const {
  return QSize(option.rect.width(), ListItemHeight);
}
