#include "designer/qt/edit_disp_form.h"

#include "designer/qt/designer_forms.h"
#include "platform/dialogs.h"
#include "platform/qt/exception_reporter.h"
#include "platform/qt/widget_text.h"

#include <QApplication>
#include <QDrag>
#include <QDropEvent>
#include <QGuiApplication>
#include <QListWidget>
#include <QMimeData>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

namespace {

constexpr int ScreenMargin = 180;

// The row a drag carries; -1 for another drag.
int DraggedRow(const QMimeData* Data) {
  if (!Data || !Data->hasFormat(DisplayRowMime)) return -1;
  bool ok = false;
  const int row = Data->data(DisplayRowMime).toInt(&ok);
  return ok ? row : -1;
}

}  // namespace

TEditDispF::TEditDispF(QWidget* Parent) : TDesignerDialog(Parent, "EditDispF", "Display Fields Editor") {
  ListBox1 = new QListWidget(this);
  ListBox1->setObjectName("ListBox1");
  ListBox1->viewport()->setAcceptDrops(true);
  ListBox1->viewport()->installEventFilter(this);
  BitBtnUp = DialogButton(this, "BitBtnUp", "Move &Up");
  BitBtnDown = DialogButton(this, "BitBtnDown", "Move &Down");
  BitBtnDelete = DialogButton(this, "BitBtnDelete", "D&elete");
  BitBtnSave = DialogButton(this, "BitBtnSave", "&OK");
  BitBtnCancel = DialogButton(this, "BitBtnCancel", "&Cancel");
  auto* column = new QVBoxLayout(this);
  column->addWidget(ListBox1);
  column->addLayout(CentredRow({BitBtnUp, BitBtnDown, BitBtnDelete}));
  column->addLayout(CentredRow({BitBtnSave, BitBtnCancel}));
  column->setSizeConstraint(QLayout::SetFixedSize);
  OnClicked(BitBtnUp, [this] { BitBtnUpClick(); });
  OnClicked(BitBtnDown, [this] { BitBtnDownClick(); });
  OnClicked(BitBtnDelete, [this] { BitBtnDeleteClick(); });
  OnClicked(BitBtnSave, [this] { BitBtnSaveClick(); });
  OnClicked(BitBtnCancel, [this] { reject(); });
}

TEditDispF::~TEditDispF() { ForgetStartForm(this); }

void TEditDispF::SetNames(const std::vector<std::string>& Names) { SetListTexts(ListBox1, Names); }
std::vector<std::string> TEditDispF::Names() const { return ListTexts(ListBox1); }

void TEditDispF::FormShow() {
  Cancelled = true;
  const QScreen* screen = QGuiApplication::primaryScreen();
  const int most = screen ? screen->availableGeometry().height() - ScreenMargin : 600;
  const int rows = std::max(ListBox1->count(), 1) * std::max(ListBox1->sizeHintForRow(0), 1);
  ListBox1->setFixedHeight(std::min(rows + 2 * ListBox1->frameWidth(), most));
  ListBox1->setMinimumWidth(ListBox1->sizeHintForColumn(0) + 2 * ListBox1->frameWidth() + 24);
  adjustSize();
  if (screen) move(screen->availableGeometry().center() - rect().center());
  if (ListBox1->count() > 0) ListBox1->setCurrentRow(0);
  ListBox1->setFocus();
}

void TEditDispF::MoveDisplayField(int From, int To) {
  std::vector<std::string> names = Names();
  if (From < 0 || From >= int(names.size()) || To < 0 || To >= int(names.size())) return;
  const std::string moved = names[size_t(From)];
  names.erase(names.begin() + From);
  names.insert(names.begin() + To, moved);
  SetNames(names);
  ListBox1->setCurrentRow(To);
}

void TEditDispF::BitBtnUpClick() {
  const int row = ListBox1->currentRow();
  if (row > 0) MoveDisplayField(row, row - 1);
}

void TEditDispF::BitBtnDownClick() {
  const int row = ListBox1->currentRow();
  if (row >= 0 && row < ListBox1->count() - 1) MoveDisplayField(row, row + 1);
}

void TEditDispF::BitBtnDeleteClick() {
  const int row = ListBox1->currentRow();
  if (row < 0) return;
  const std::string name = StoredText(ListBox1->item(row)->text());
  if (MessageDlg("Remove the display field " + name + "?", mtConfirmation, mbYesNo) != mrYes) return;
  delete ListBox1->takeItem(row);
  if (ListBox1->count() > 0) ListBox1->setCurrentRow(std::min(row, ListBox1->count() - 1));
}

void TEditDispF::BitBtnSaveClick() {
  Cancelled = false;
  accept();
}

QMimeData* TEditDispF::RowMimeData(int Row) {
  auto* data = new QMimeData;
  data->setData(DisplayRowMime, QByteArray::number(Row));
  return data;
}

void TEditDispF::ListBox1StartDrag() {
  const int row = ListBox1->currentRow();
  if (row < 0) return;
  auto* drag = new QDrag(ListBox1);
  drag->setMimeData(RowMimeData(row));
  drag->exec(Qt::MoveAction);
}

bool TEditDispF::ListBox1DragOver(const QMimeData* Data, const QPoint& Pos) {
  if (DraggedRow(Data) < 0) return false;
  const int under = ListBox1->indexAt(Pos).row();
  if (under >= 0) ListBox1->setCurrentRow(under);
  return true;
}

void TEditDispF::ListBox1DragDrop(const QMimeData* Data, const QPoint& Pos) {
  const int from = DraggedRow(Data);
  const int to = ListBox1->indexAt(Pos).row();
  if (from >= 0 && to >= 0 && from != to) MoveDisplayField(from, to);
}

bool TEditDispF::eventFilter(QObject* Watched, QEvent* Event) {
  if (Watched != ListBox1->viewport()) return TDesignerDialog::eventFilter(Watched, Event);
  switch (Event->type()) {
    case QEvent::MouseButtonPress:
      pressAt_ = static_cast<QMouseEvent*>(Event)->position().toPoint();
      pressed_ = static_cast<QMouseEvent*>(Event)->button() == Qt::LeftButton;
      break;
    case QEvent::MouseButtonRelease: pressed_ = false; break;
    case QEvent::MouseMove: {
      const QPoint at = static_cast<QMouseEvent*>(Event)->position().toPoint();
      if (pressed_ && (at - pressAt_).manhattanLength() >= QApplication::startDragDistance()) {
        pressed_ = false;
        GuardEvent([this] { ListBox1StartDrag(); });
        return true;
      }
      break;
    }
    case QEvent::DragEnter:
    case QEvent::DragMove: {
      auto* drag = static_cast<QDragMoveEvent*>(Event);
      bool take = false;
      GuardEvent([&] { take = ListBox1DragOver(drag->mimeData(), drag->position().toPoint()); });
      if (take) {
        drag->acceptProposedAction();
      } else {
        drag->ignore();
      }
      return true;
    }
    case QEvent::Drop: {
      auto* drop = static_cast<QDropEvent*>(Event);
      GuardEvent([&] { ListBox1DragDrop(drop->mimeData(), drop->position().toPoint()); });
      drop->acceptProposedAction();
      return true;
    }
    default: break;
  }
  return TDesignerDialog::eventFilter(Watched, Event);
}
