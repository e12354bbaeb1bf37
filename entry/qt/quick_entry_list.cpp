// The quick entry screen's lookup list on the screen: the overlay panel
// under the active field with the rows QeLookupList loaded, the keys of the
// lookup fields, choosing a row, paging and the four scroll buttons.
#include "entry/qt/quick_entry_form.h"

#include "entry/qe_files.h"
#include "platform/dialogs.h"
#include "platform/qt/cursor.h"
#include "platform/qt/exception_reporter.h"
#include "platform/qt/focus_model.h"
#include "platform/qt/widget_text.h"
#include "platform/text.h"

#include <QApplication>
#include <QFrame>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QStyledItemDelegate>
#include <QTableWidget>
#include <QToolButton>
#include <QVBoxLayout>

#include <cmath>
#include <functional>

namespace {

// A grid that refuses a row Refuses names: neither a click nor a selection
// reaches it.
class TQeListGrid : public QTableWidget {
public:
  TQeListGrid(std::function<bool(int Row)> Refuses, QWidget* Parent)
      : QTableWidget(QeListMaxRows, QeListColumns, Parent), refuses_(std::move(Refuses)) {}

protected:
  bool Refused(const QMouseEvent* Event) const {
    const int row = rowAt(int(Event->position().y()));
    return row >= 0 && refuses_(row);
  }
  void mousePressEvent(QMouseEvent* Event) override {
    if (!Refused(Event)) QTableWidget::mousePressEvent(Event);
  }
  void mouseReleaseEvent(QMouseEvent* Event) override {
    if (!Refused(Event)) QTableWidget::mouseReleaseEvent(Event);
  }
  void mouseDoubleClickEvent(QMouseEvent* Event) override {
    if (!Refused(Event)) QTableWidget::mouseDoubleClickEvent(Event);
  }
  QItemSelectionModel::SelectionFlags selectionCommand(const QModelIndex& Index,
                                                       const QEvent* Event) const override {
    if (Index.isValid() && refuses_(Index.row())) return QItemSelectionModel::NoUpdate;
    return QTableWidget::selectionCommand(Index, Event);
  }

private:
  std::function<bool(int)> refuses_;
};

// Each cell's text drawn from 2 pixels in and cut at the cell's edge,
// never elided: a code column is only as wide as its codes.
class TQeListCellDelegate : public QStyledItemDelegate {
public:
  using QStyledItemDelegate::QStyledItemDelegate;

  void paint(QPainter* Painter, const QStyleOptionViewItem& Option, const QModelIndex& Index) const override {
    QStyleOptionViewItem cell = Option;
    initStyleOption(&cell, Index);
    const QString text = cell.text;
    cell.text.clear();
    const QWidget* view = cell.widget;
    (view ? view->style() : QApplication::style())->drawControl(QStyle::CE_ItemViewItem, &cell, Painter, view);
    if (text.isEmpty()) return;
    Painter->save();
    Painter->setClipRect(cell.rect);
    Painter->setFont(cell.font);
    Painter->setPen(cell.palette.color(cell.state & QStyle::State_Selected ? QPalette::HighlightedText : QPalette::Text));
    Painter->drawText(cell.rect.adjusted(2, 0, 0, 0), Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, text);
    Painter->restore();
  }
};

std::string TextOf(const QLineEdit* Edit) { return StoredText(Edit->text()); }

}  // namespace

void TQEF::BuildList(QWidget* Central) {
  // An overlay placed under its field.
  ListPanel = new QFrame(Central);
  ListPanel->setFrameShape(QFrame::Box);
  ListPanel->hide();
  auto* listRow = new QHBoxLayout(ListPanel);
  listRow->setContentsMargins(1, 1, 1, 1);
  listRow->setSpacing(0);
  StringGrid1 = new TQeListGrid([this](int Row) { return RefusesRow(Row); }, ListPanel);
  StringGrid1->horizontalHeader()->hide();
  StringGrid1->verticalHeader()->hide();
  StringGrid1->setShowGrid(false);
  StringGrid1->setSelectionBehavior(QAbstractItemView::SelectRows);
  StringGrid1->setSelectionMode(QAbstractItemView::SingleSelection);
  StringGrid1->setEditTriggers(QAbstractItemView::NoEditTriggers);
  StringGrid1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  StringGrid1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  StringGrid1->setColumnHidden(QeListColumns - 1, true);
  StringGrid1->setObjectName("StringGrid1");
  StringGrid1->setItemDelegate(new TQeListCellDelegate(StringGrid1));
  StringGrid1->installEventFilter(this);
  QFont mono("Liberation Mono");
  mono.setPixelSize(11);
  StringGrid1->setFont(mono);
  StringGrid1->verticalHeader()->setDefaultSectionSize(QFontMetrics(mono).height() + 2);
  listRow->addWidget(StringGrid1, 0, Qt::AlignTop);
  auto* scroll = new QVBoxLayout;
  scroll->setSpacing(1);
  scroll->setContentsMargins(0, 0, 0, 0);
  const Qt::ArrowType arrows[] = {Qt::UpArrow, Qt::UpArrow, Qt::DownArrow, Qt::DownArrow};
  for (int i = 0; i < 4; ++i) {
    ScrollButtons[i] = new QToolButton(ListPanel);
    ScrollButtons[i]->setArrowType(arrows[i]);
    ScrollButtons[i]->setFocusPolicy(Qt::NoFocus);
    scroll->addWidget(ScrollButtons[i]);
  }
  scroll->addStretch();
  listRow->addLayout(scroll);
  connect(StringGrid1, &QTableWidget::cellClicked, this, [this](int Row, int) {
    GuardEvent([&] {
      selectedRow_ = Row;
      ShowListMoved(true);
      StringGrid1Click();
    });
  });
  connect(ScrollButtons[0], &QToolButton::clicked, this, [this] { GuardEvent([this] { SBFirstClick(false); }); });
  connect(ScrollButtons[1], &QToolButton::clicked, this, [this] { GuardEvent([this] { SBPgUpClick(); }); });
  connect(ScrollButtons[2], &QToolButton::clicked, this, [this] { GuardEvent([this] { SBPgDnClick(); }); });
  connect(ScrollButtons[3], &QToolButton::clicked, this, [this] { GuardEvent([this] { SBFirstClick(true); }); });
}

void TQEF::LayoutList() {
  // Eight rows; the scroll buttons share the grid's height.
  const int gridHeight = StringGrid1->verticalHeader()->defaultSectionSize() * QeListVisibleRows + 4;
  StringGrid1->setFixedHeight(gridHeight);
  for (QToolButton* button : ScrollButtons) button->setFixedSize(int(std::lround(18 * ScaleFactor)), gridHeight / 4 - 1);
  for (int c = 4; c < QeListColumns; ++c) StringGrid1->setColumnHidden(c, true);
}

bool TQEF::RefusesRow(int Row) const {
  const auto& rows = list_.Rows();
  return !ProgramScroll && (Row >= int(rows.size()) || Trim(rows[size_t(Row)][0]).empty());
}

void TQEF::ShowListMoved(bool Moved) {
  ListMoved = Moved;
  // Before the first move the selected row looks like the others.
  QPalette colours = StringGrid1->palette();
  const QPalette standard = StringGrid1->style()->standardPalette();
  colours.setColor(QPalette::Highlight, Moved ? standard.color(QPalette::Highlight) : QColor(Qt::white));
  colours.setColor(QPalette::HighlightedText,
                   Moved ? standard.color(QPalette::HighlightedText) : colours.color(QPalette::Text));
  StringGrid1->setPalette(colours);
}

void TQEF::ScrollListTo(int TopRow) { StringGrid1->verticalScrollBar()->setValue(TopRow); }

int TQEF::TopListRow() const { return StringGrid1->verticalScrollBar()->value(); }

void TQEF::SetFieldText(TQeField Field, const std::string& Text) {
  QLineEdit* edit = EditOf(Field);
  if (TextOf(edit) == Text) return;
  // A change the program makes searches nothing; what depends on the
  // field follows it as after any change.
  SuppressSearch = true;
  edit->setText(WidgetText(Text));
  EditClientChange(Field);
  SuppressSearch = false;
}

void TQEF::RequestNumericList() {
  NumericListRequested = true;
  const std::string typed = Trim(TextOf(EditCase));
  SetFieldText(TQeField::Case, typed.empty() ? "" : RightJustified(typed, size_t(TypingLimit(EditCase))));
  FillList(TQeField::Case);
  NumericListRequested = false;
}

void TQEF::FillList(TQeField Field, bool KeepOpen) {
  if (QApplication::activeWindow() != this) return;
  if (LeavingToSkipButton(false)) return;
  // In numeric order the case list opens only on request.
  if (Field == TQeField::Case && State.NumOrd && !NumericListRequested) return;
  THourglass busy;
  QLineEdit* edit = EditOf(Field);
  const std::string text = TextOf(edit);
  const bool partSelected = edit->hasSelectedText() && edit->selectedText().size() < edit->text().size();
  const TQeFill fill = list_.Fill(State, Field, text, partSelected);
  if (!fill.Message.empty()) {
    MessageDlg(fill.Message, fill.Type, mbOKOnly, 0);
    if (fill.EmptyField) edit->clear();
    HideList();
    return;
  }
  ShowListRows();
  if (!fill.Show && !(KeepOpen && !list_.Rows().empty())) {
    HideList();
    return;
  }
  ShowList(Field);
  selectedRow_ = fill.SelectedRow;
  ShowListMoved(fill.Chosen);
  ProgramScroll = true;
  StringGrid1->selectRow(fill.SelectedRow);
  ProgramScroll = false;
  ScrollListTo(fill.TopRow);
  if (fill.Chosen) {
    std::string shown;
    list_.Choose(fill.SelectedRow, State, Field, shown);
    ShowStateLabels();
    if (fill.FieldText != text) {
      SetFieldText(Field, fill.FieldText);
      if (NumericListRequested)
        edit->selectAll();
      else
        edit->setSelection(int(fill.SelectFrom), int(fill.FieldText.size() - fill.SelectFrom));
    }
  }
}

void TQEF::ShowList(TQeField Field) {
  QLineEdit* edit = EditOf(Field);
  // Under the field, as wide as its kind of list needs.
  const int widths[] = {300, 440, 380};
  QWidget* central = centralWidget();
  QWidget* anchor = Field == TQeField::Narr ? EditNarr : (EditClient->isVisible() ? EditClient : EditCase);
  const int left = anchor->mapTo(central, QPoint(0, 0)).x();
  const int buttons = ScrollButtons[0]->width();
  const int gridWidth = int(Field) <= 2 && (Field != TQeField::Case || State.ClientFirst())
                            ? int(std::lround(widths[int(Field)] * ScaleFactor))
                            : central->width() - left - 2 - buttons - 2;
  // Under the field's own edit: the narrative code has a row of its own
  // here, which a list under the grouping edit would cover.
  const int top = edit->mapTo(central, QPoint(0, edit->height() + 1)).y();
  ListPanel->setGeometry(left, top, std::min(gridWidth + buttons, central->width() - left - 2) + 2,
                         StringGrid1->height() + 2);
  ListPanel->raise();
  ListPanel->show();
  ListVisible = true;
  ShowListButtons[int(Field)]->hide();
  HideListButtons[int(Field)]->show();
}

void TQEF::ShowListRows() {
  const std::vector<int> widths = QeListWidths(State, TQeField(std::clamp(ActiveField, 0, LookupCount - 1)));
  for (int c = 0; c < QeListColumns - 1; ++c) {
    const int width = c < int(widths.size()) ? int(std::lround(widths[size_t(c)] * ScaleFactor)) : 0;
    StringGrid1->setColumnHidden(c, width == 0);
    if (width > 0) StringGrid1->setColumnWidth(c, width);
  }
  StringGrid1->clearContents();
  const auto& rows = list_.Rows();
  for (int r = 0; r < int(rows.size()); ++r)
    for (int c = 0; c < QeListColumns; c += 2)
      if (!rows[r][c].empty()) StringGrid1->setItem(r, c, new QTableWidgetItem(WidgetText(rows[r][c])));
}

void TQEF::HideList() {
  if (!ListVisible) return;
  if (ActiveField >= 0 && ActiveField < LookupCount) {
    HideListButtons[ActiveField]->hide();
    ShowListButtons[ActiveField]->setVisible(ActiveField != 1 || State.ClientFirst());
  }
  ListPanel->hide();
  ListVisible = false;
  NumericListRequested = false;
}

void TQEF::SBClHideListClick(TQeField Field, bool Show) {
  if (!Show) {
    HideList();
    return;
  }
  if (ListVisible && ActiveField != int(Field)) HideList();
  focus_->FocusControl(EditOf(Field));
  ActiveField = int(Field);
  FillList(Field);
}

void TQEF::SelectListRow(int Row) {
  QLineEdit* edit = ActiveEdit();
  if (!edit || RefusesRow(Row)) return;
  ShowListMoved(true);
  selectedRow_ = Row;
  StringGrid1->selectRow(Row);
  StringGrid1->scrollTo(StringGrid1->model()->index(Row, 0));
  StringGrid1Click();
  edit->selectAll();
}

void TQEF::StringGrid1Click() {
  QLineEdit* edit = ActiveEdit();
  if (!edit) return;
  const TQeField field = TQeField(ActiveField);
  std::string text = TextOf(edit);
  list_.Choose(selectedRow_, State, field, text);
  SetFieldText(field, text);
  ShowStateLabels();
  if (ListPanel->isAncestorOf(QApplication::focusWidget())) {
    // Chosen in the list: it closes, except while a page move runs.
    edit->selectAll();
    if (PagingList) return;
    HideList();
  }
  if (QApplication::focusWidget() != edit) focus_->FocusControl(edit);
}

void TQEF::SBFirstClick(bool Last) {
  QLineEdit* edit = ActiveEdit();
  if (!edit) return;
  SetFieldText(TQeField(ActiveField), Last ? "~" : "");
  FillList(TQeField(ActiveField), true);
  if (ListVisible) SelectListRow(Last ? int(list_.Rows().size()) - 1 : 0);
  focus_->FocusControl(edit);
}

bool TQEF::FillListBack() {
  THourglass busy;
  const TQeFill fill = list_.FillBack(State, TQeField(ActiveField));
  if (!fill.Message.empty()) {
    MessageDlg(fill.Message, fill.Type, mbOKOnly, 0);
    HideList();
    return false;
  }
  ShowListRows();
  SelectListRow(fill.SelectedRow);
  ScrollListTo(fill.TopRow);
  return fill.FoundRow > 0;
}

void TQEF::Page(const std::function<void()>& Move) {
  setWindowTitle("");
  QLineEdit* edit = ActiveEdit();
  if (!edit) return;
  // With the focus in the list a chosen row leaves it open.
  PagingList = true;
  try {
    focus_->FocusControl(StringGrid1);
    Move();
  } catch (...) {
    PagingList = false;
    throw;
  }
  PagingList = false;
  focus_->FocusControl(edit);
}

void TQEF::SBPgUpClick() {
  if (!ListVisible) return;
  Page([this] {
    // Row by row, so that the top of the loaded rows reloads the records before them.
    for (int step = 0; step < QeListVisibleRows && ListVisible; ++step) {
      if (selectedRow_ > 0)
        SelectListRow(selectedRow_ - 1);
      else if (!FillListBack())
        break;
    }
    if (ListVisible) ScrollListTo(selectedRow_);
  });
}

void TQEF::SBPgDnClick() {
  Page([this] {
    // Nothing more below the visible rows: the file's last records.
    const int lastVisible = TopListRow() + QeListVisibleRows - 1;
    if (RefusesRow(lastVisible)) {
      SBFirstClick(true);
      return;
    }
    const TQeFill fill = list_.PageDown(State, TQeField(ActiveField), selectedRow_);
    if (!fill.Message.empty()) {
      MessageDlg(fill.Message, fill.Type, mbOKOnly, 0);
      HideList();
      return;
    }
    if (fill.ToLast) {
      SBFirstClick(true);
      return;
    }
    ShowListRows();
    SelectListRow(fill.SelectedRow);
    ScrollListTo(fill.TopRow);
  });
}

void TQEF::MoveInList(int Step) {
  const int rows = int(list_.Rows().size());
  if (Step > 0 && !ListMoved) {
    // The first move down starts at the top of what shows.
    SelectListRow(TopListRow());
    return;
  }
  const int next = selectedRow_ + Step;
  if (next < 0) {
    FillListBack();
    return;
  }
  if (Step > 0 && selectedRow_ >= QeListMaxRows - 1) {
    MessageDlg(QeListMaximum, mtInformation, mbOKOnly, 0);
    return;
  }
  if (next < rows) {
    SelectListRow(next);
    return;
  }
  // Past the last loaded row: the list again from that record on.
  SetFieldText(TQeField(ActiveField), TrimRight(list_.Rows().back()[0]));
  FillList(TQeField(ActiveField));
  if (ListVisible && selectedRow_ + 1 < int(list_.Rows().size())) SelectListRow(selectedRow_ + 1);
}

bool TQEF::eventFilter(QObject* Watched, QEvent* Event) {
  if (Watched == StringGrid1) {
    // Tab out of the list takes the chosen row as it stands.
    if (Event->type() == QEvent::KeyPress && static_cast<QKeyEvent*>(Event)->key() == Qt::Key_Tab)
      SuppressSearch = true;
    return QMainWindow::eventFilter(Watched, Event);
  }
  const QVariant tag = Watched->property("tag");
  if (Event->type() == QEvent::KeyRelease && tag.isValid() && Watched != EditHours) {
    auto* key = static_cast<QKeyEvent*>(Event);
    if (key->key() == Qt::Key_Space) return true;
    if (SelectAllPending) {
      SelectAllPending = false;
      EditOf(TQeField(tag.toInt()))->selectAll();
    }
    return false;
  }
  if (Event->type() != QEvent::KeyPress) return QMainWindow::eventFilter(Watched, Event);
  auto* key = static_cast<QKeyEvent*>(Event);
  if (Watched == EditHours) {
    // Hours typed over a running count replace it: the stopwatch stops.
    if (!key->text().isEmpty() && Stopwatch().Running()) SBTimerClick();
    return false;
  }
  if (!tag.isValid()) return QMainWindow::eventFilter(Watched, Event);
  bool handled = true;
  GuardEvent([&] { handled = FieldKeyDown(TQeField(tag.toInt()), *key); });
  return handled;
}

bool TQEF::FieldKeyDown(TQeField Field, const QKeyEvent& Key) {
  const bool alt = Key.modifiers() & Qt::AltModifier;
  QLineEdit* edit = EditOf(Field);
  switch (Key.key()) {
    case Qt::Key_Down:
      SelectAllPending = true;
      if (!ListVisible) {
        if (alt || !edit->text().isEmpty()) FillList(Field);
      } else if (!alt) {
        MoveInList(1);
      }
      return true;
    case Qt::Key_Up:
      SelectAllPending = true;
      if (ListVisible && alt)
        HideList();
      else if (ListVisible)
        MoveInList(-1);
      return true;
    case Qt::Key_PageUp:
      SBPgUpClick();
      return true;
    case Qt::Key_PageDown:
      if (ListVisible)
        SBPgDnClick();
      else
        FillList(Field);
      return true;
    case Qt::Key_Return:
    case Qt::Key_Enter:
      if (!ListVisible) return false;
      HideList();
      return true;
    case Qt::Key_Escape:
      SuppressSearch = true;
      edit->clear();
      SuppressSearch = false;
      ClearDependents(Field);
      ShowStateLabels();
      HideList();
      return true;
    case Qt::Key_Backspace:
    case Qt::Key_Delete:
      SuppressSearch = true;
      return false;
    case Qt::Key_Space:
      if (Field == TQeField::Case && State.NumOrd) {
        RequestNumericList();
        return true;
      }
      // Spaces are no part of a case suffix.
      return Field == TQeField::Case && State.EntryModeIdx != 4;
    default:
      // Typing over a numeric-order case list: the list closes and the
      // right-justified text loses its padding on the right.
      if (Field == TQeField::Case && State.NumOrd && ListVisible && !Key.text().isEmpty() &&
          Key.text()[0] >= QChar(' ')) {
        HideList();
        SetFieldText(Field, TrimRight(TextOf(edit)));
      }
      return false;
  }
}
