// How the dropdown grid draws its selected row: white in the font colour,
// the usual highlight while the user moves through the list by keys.
#include "entry/qt/dropdown_cell_delegate.h"

#include <QApplication>
#include <QImage>
#include <QStandardItemModel>
#include <QTableView>

#include <gtest/gtest.h>

namespace {

TEST(DropdownCellDelegate, TheSelectedRowIsWhiteExceptInAMoveByKeys) {
  bool moving = false;
  QTableView view;
  QStandardItemModel model(3, 1);
  for (int r = 0; r < 3; ++r) model.setData(model.index(r, 0), QString("Row %1").arg(r));
  view.setModel(&model);
  view.setItemDelegate(new TDropdownCellDelegate([&] { return moving; }, &view));
  view.setSelectionBehavior(QAbstractItemView::SelectRows);
  view.resize(200, 120);
  view.setColumnWidth(0, 150);
  QPalette p = view.palette();
  p.setColor(QPalette::Base, QColor(0xC0, 0xC0, 0xC0));
  p.setColor(QPalette::Highlight, QColor(0, 0, 0x80));
  p.setColor(QPalette::Inactive, QPalette::Highlight, QColor(0, 0, 0x80));
  view.setPalette(p);
  view.show();
  view.selectRow(1);
  const QRect cell = view.visualRect(model.index(1, 0));
  const QPoint blank(cell.right() - 5, cell.center().y());  // right of the text
  const auto colourAt = [&] { return view.viewport()->grab().toImage().pixelColor(blank); };
  EXPECT_EQ(colourAt(), QColor(Qt::white));
  moving = true;
  EXPECT_EQ(colourAt(), QColor(0, 0, 0x80));
  // An unselected row keeps the grid's own colour.
  moving = false;
  const QRect other = view.visualRect(model.index(0, 0));
  EXPECT_EQ(view.viewport()->grab().toImage().pixelColor(other.right() - 5, other.center().y()),
            QColor(0xC0, 0xC0, 0xC0));
}

}  // namespace
