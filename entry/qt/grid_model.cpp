#include "entry/qt/grid_model.h"

#include "entry/wrap_text.h"
#include "platform/qt/widget_text.h"
#include "platform/text.h"

#include <QApplication>
#include <QFontMetrics>
#include <QPainter>
#include <QPixmap>
#include <QStyle>

namespace {

// Courier New's metrics; the font the system maps it to.
QFont NumericFont() {
  QFont f("Courier New");
  f.setStyleHint(QFont::TypeWriter);
  return f;
}

}  // namespace

QColor GridQColor(uint32_t Bgr) { return QColor(int(Bgr & 0xFF), int((Bgr >> 8) & 0xFF), int((Bgr >> 16) & 0xFF)); }

const QPixmap& CheckImage() {
  static const QPixmap image = [] {
    QPixmap p(13, 13);
    p.fill(Qt::transparent);
    QPainter painter(&p);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(GridQColor(GridColor::Green), 2));
    painter.drawPolyline(QPolygonF({QPointF(2, 7), QPointF(5, 10), QPointF(11, 3)}));
    return p;
  }();
  return image;
}

TGridItemModel::TGridItemModel(TGridTable& Table, QObject* Parent) : QAbstractTableModel(Parent), t_(Table) {}

int TGridItemModel::rowCount(const QModelIndex& Parent) const { return Parent.isValid() ? 0 : t_.RowCount(); }
int TGridItemModel::columnCount(const QModelIndex& Parent) const { return Parent.isValid() ? 0 : t_.ColCount(); }

QVariant TGridItemModel::data(const QModelIndex& Index, int Role) const {
  if (!Index.isValid()) return {};
  const int r = Index.row(), c = Index.column();
  const bool check = t_.Kind(c) == TGridColumnKind::Check;
  switch (Role) {
    case Qt::DisplayRole:
      // A right-justified number's leading blanks would push it out of
      // its column.
      if (t_.Kind(c) == TGridColumnKind::Numeric) return QVariant(WidgetText(Trim(t_.Cell(r, c))));
      return check ? QVariant() : QVariant(WidgetText(t_.Cell(r, c)));
    case Qt::DecorationRole:
      return check && t_.Cell(r, c) == "Y" ? QVariant(CheckImage()) : QVariant();
    case Qt::FontRole: {
      QFont f = t_.Kind(c) == TGridColumnKind::Numeric ? NumericFont() : QApplication::font();
      if (t_.IsDeleted(r)) f.setItalic(true);
      return f;
    }
    case Qt::ForegroundRole:
      return t_.IsDeleted(r) ? QVariant(GridQColor(GridColor::DeletedBlue)) : QVariant();
    case Qt::ToolTipRole:
      // The entry screen's hint handler sees the request and may change it.
      return check ? QVariant() : QVariant(WidgetText(t_.Cell(r, c)));
    case Qt::TextAlignmentRole:
      return t_.Kind(c) == TGridColumnKind::Numeric ? QVariant(int(Qt::AlignRight | Qt::AlignVCenter)) : QVariant();
    default:
      return {};
  }
}

QVariant TGridItemModel::headerData(int Section, Qt::Orientation Orientation, int Role) const {
  if (Orientation != Qt::Horizontal || Section < 0 || Section >= t_.ColCount()) return {};
  if (Role == Qt::DisplayRole) return WidgetText(t_.Header(Section));
  if (Role == Qt::ForegroundRole) return QColor(Section == t_.SortedColumn ? Qt::white : Qt::black);
  return {};
}

void TGridItemModel::Refresh() {
  beginResetModel();
  endResetModel();
}

TGridHeader::TGridHeader(TGridTable& Table, QWidget* Parent) : QHeaderView(Qt::Horizontal, Parent), t_(Table) {
  setSectionsClickable(true);
  setMinimumSectionSize(0);
  setHighlightSections(false);
}

namespace {

// Text wrapped at Width into at most Lines lines as Metrics measure it,
// each carriage return (alone or before a line feed) a line break.
QString WrappedForDrawing(const std::string& Text, const QFontMetrics& Metrics, int Width, int Lines) {
  const std::string wrapped = WrapTextToWidth(
      Text, [&](std::string_view s) { return Metrics.horizontalAdvance(WidgetText(std::string(s))); }, Width,
      std::max(1, Lines));
  QString shown = WidgetText(wrapped);
  shown.replace("\r\n", "\n");
  shown.replace('\r', '\n');
  return shown;
}

}  // namespace

QString TGridHeader::WrappedCaption(int Section) const {
  return WrappedForDrawing(t_.Header(Section), QFontMetrics(font()), sectionSize(Section), Lines);
}

QString WrappedCellText(const QString& Text, const QFont& Font, QSize Cell) {
  const QFontMetrics fm(Font);
  const int lines = Cell.height() / std::max(1, fm.height());
  if (lines < 2 || Text.isEmpty()) return Text;
  return WrappedForDrawing(StoredText(Text), fm, Cell.width(), lines);
}

void TGridHeader::paintSection(QPainter* Painter, const QRect& Rect, int Section) const {
  Painter->save();
  Painter->fillRect(Rect, palette().button());
  Painter->setPen(palette().mid().color());
  Painter->drawLine(Rect.topRight(), Rect.bottomRight());
  Painter->drawLine(Rect.bottomLeft(), Rect.bottomRight());
  Painter->setPen(model()->headerData(Section, Qt::Horizontal, Qt::ForegroundRole).value<QColor>());
  Painter->drawText(Rect.adjusted(2, 1, -2, -1), Qt::AlignLeft | Qt::AlignVCenter, WrappedCaption(Section));
  Painter->restore();
}

void TGridHeader::paintEvent(QPaintEvent* Event) {
  QHeaderView::paintEvent(Event);
  QPainter p(viewport());
  p.setPen(QPen(GridQColor(GridColor::LookupBar), 1));
  for (const auto& [first, last] : t_.DisplayRuns()) {
    const int left = sectionViewportPosition(first);
    const int right = sectionViewportPosition(last) + sectionSize(last);
    if (right <= left) continue;
    p.drawRect(QRect(left, 0, right - left - 1, std::max(1, t_.HeaderHeight - 2)));
  }
}

QSize TGridHeader::sizeHint() const { return QSize(QHeaderView::sizeHint().width(), t_.HeaderHeight); }

void TGridCellDelegate::paint(QPainter* Painter, const QStyleOptionViewItem& Option, const QModelIndex& Index) const {
  QStyleOptionViewItem opt(Option);
  initStyleOption(&opt, Index);
  if (opt.state & QStyle::State_Selected) {
    const bool focused = opt.state & QStyle::State_HasFocus || (opt.widget && opt.widget->hasFocus());
    const QColor green = GridQColor(GridColor::Green);
    opt.palette.setColor(QPalette::Highlight, focused ? green : QColor(Qt::white));
    opt.palette.setColor(QPalette::HighlightedText, focused ? QColor(Qt::white) : green);
    if (Index.column() == 1) opt.font.setBold(true);
  }
  opt.state &= ~QStyle::State_HasFocus;
  opt.text = WrappedCellText(opt.text, opt.font, opt.rect.size());
  // Drawn from the option alone: the index would read the model's colours
  // back over the choice.
  const QWidget* w = opt.widget;
  (w ? w->style() : QApplication::style())->drawControl(QStyle::CE_ItemViewItem, &opt, Painter, w);
}
