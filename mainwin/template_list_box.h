// The main window's template list as a widget: three columns of fixed
// 16-pixel items running top to bottom and wrapping into the next column,
// in the order given (never sorted), each drawn by the form's
// ListBox1DrawItem.
#pragma once

#include <QListWidget>
#include <QStyledItemDelegate>

#include <functional>

constexpr int ListColumns = 3;
constexpr int ListItemHeight = 16;

class TColumnListBox : public QListWidget {
public:
  explicit TColumnListBox(QWidget* parent = nullptr);

protected:
  // The columns share the width.
  void resizeEvent(QResizeEvent* event) override;
};

// Hands the painting of every item to the form's draw handler.
class TListItemDrawer : public QStyledItemDelegate {
public:
  using TDraw = std::function<void(QPainter&, int, const QRect&, QStyle::State)>;
  TListItemDrawer(TDraw Draw, QObject* parent);

  void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
  QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;

private:
  TDraw draw_;
};
