#include "entry/qt/grid_form.h"

#include "btrieve/numbered_files.h"
#include "datetime/qt/date_time_picker.h"
#include "entry/grid_format.h"
#include "templates/template_build.h"
#include "entry/grid_plan.h"
#include "entry/grid_row_record.h"
#include "entry/qt/grid_model.h"
#include "platform/dialogs.h"
#include "platform/files.h"
#include "platform/flag_scope.h"
#include "platform/text.h"
#include "platform/qt/exception_reporter.h"
#include "platform/qt/widget_text.h"
#include "templates/template_number.h"
#include "templates/template_state.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QFrame>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QProgressBar>
#include <QPushButton>
#include <QTableView>
#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>
#include <cstdlib>

namespace {

constexpr int TopPanelHeight = 48;
constexpr int ComboBoxRightGap = 10;
// Lefts at normal fonts; the item scale multiplies them.
constexpr int CheckBoxLeft = 260;
constexpr int UpDownLeft = 440;
constexpr int Shape3Width = 40;
constexpr int Shape3Height = 3;
// The header bar snaps at this top, the header then this high.
constexpr int HeaderSnapTop = 7;
constexpr int HeaderSnapHeight = 6;
// A drag follows the pointer while it stays this near below the bar's top.
constexpr int DragReach = 12;
// A press this near a data row's bottom border, in the fixed column,
// takes the border.
constexpr int RowBorderReach = 2;
constexpr int DefaultPanel2Height = 41;

const std::string EditNotFoundText =
    "Unable to access the record you wish to edit in the template.\rIf other users have access to matterdesk, the "
    "record may have been altered or deleted.";
const std::string EditMismatchText =
    "Unable to access the record you wish to edit in the template.\r(Unable to verify physical location).\r\rIf "
    "other users have access to matterdesk, the record may have been altered or deleted.";
const std::string EditErrorText =
    "Unable to access the record you wish to edit in the template.\rThe following error occurred:\r\r";

QPushButton* MakeButton(QWidget* Parent, const char* Name, const char* Caption) {
  auto* b = new QPushButton(WidgetText(Caption), Parent);
  b->setObjectName(Name);
  b->setAutoDefault(false);
  return b;
}

}  // namespace

TEGridF* EGridF = nullptr;

TEGridF::TEGridF(QWidget* Parent) : QDialog(Parent, Qt::Window) {
  setObjectName("EGridF");
  setWindowTitle(GridViewCaption);
  setModal(false);
  BuildParts();
}

TEGridF::~TEGridF() {
  if (EGridF == this) EGridF = nullptr;
}

void TEGridF::BuildParts() {
  auto* outer = new QVBoxLayout(this);
  outer->setContentsMargins(0, 0, 0, 0);
  outer->setSpacing(0);

  PanelTop = new QFrame(this);
  PanelTop->setObjectName("PanelTop");
  PanelTop->setFixedHeight(TopPanelHeight);
  LabelTableName2 = new QLabel(PanelTop);
  LabelTableName2->setObjectName("LabelTableName2");
  QFont bold = LabelTableName2->font();
  bold.setBold(true);
  LabelTableName2->setFont(bold);
  LabelTableName2->move(8, 16);
  Label1 = new QLabel(WidgetText("Available sorts:"), PanelTop);
  Label1->setObjectName("Label1");
  ComboBox1 = new QComboBox(PanelTop);
  ComboBox1->setObjectName("ComboBox1");
  ComboBox1->setFixedWidth(150);
  CheckBox1 = new QCheckBox(WidgetText("Hide display columns"), PanelTop);
  CheckBox1->setObjectName("CheckBox1");
  LabelUpDown = new QLabel(WidgetText("Horizontal size"), PanelTop);
  LabelUpDown->setObjectName("LabelUpDown");
  UpDown1Prev = new QToolButton(PanelTop);
  UpDown1Prev->setObjectName("UpDown1Prev");
  UpDown1Prev->setArrowType(Qt::LeftArrow);
  UpDown1Next = new QToolButton(PanelTop);
  UpDown1Next->setObjectName("UpDown1Next");
  UpDown1Next->setArrowType(Qt::RightArrow);
  outer->addWidget(PanelTop);

  PanelGrid = new QFrame(this);
  PanelGrid->setObjectName("PanelGrid");
  auto* gridLayout = new QVBoxLayout(PanelGrid);
  gridLayout->setContentsMargins(0, 0, 0, 0);
  StringGridFind = new QTableView(PanelGrid);
  StringGridFind->setObjectName("StringGridFind");
  Model = new TGridItemModel(Table, StringGridFind);
  Header = new TGridHeader(Table, StringGridFind);
  StringGridFind->setHorizontalHeader(Header);
  StringGridFind->setModel(Model);
  StringGridFind->setItemDelegate(new TGridCellDelegate(StringGridFind));
  StringGridFind->verticalHeader()->hide();
  StringGridFind->setSelectionBehavior(QAbstractItemView::SelectRows);
  StringGridFind->setSelectionMode(QAbstractItemView::SingleSelection);
  StringGridFind->setEditTriggers(QAbstractItemView::NoEditTriggers);
  StringGridFind->setWordWrap(false);
  StringGridFind->installEventFilter(this);
  StringGridFind->viewport()->installEventFilter(this);
  gridLayout->addWidget(StringGridFind);
  Shape3 = new QFrame(Header);
  Shape3->setObjectName("Shape3");
  Shape3->setFrameShape(QFrame::NoFrame);
  Shape3->setAutoFillBackground(true);
  Shape3->setStyleSheet("background: #000080");
  Shape3->setCursor(Qt::SizeVerCursor);
  Shape3->installEventFilter(this);
  outer->addWidget(PanelGrid, 1);

  PanelGlobalChange = new QFrame(this);
  PanelGlobalChange->setObjectName("PanelGlobalChange");
  auto* change = new QHBoxLayout(PanelGlobalChange);
  change->setContentsMargins(6, 4, 6, 4);
  change->addWidget(new QLabel(WidgetText("Search and replace:"), PanelGlobalChange));
  CBFieldNames = new QComboBox(PanelGlobalChange);
  CBFieldNames->setObjectName("CBFieldNames");
  CBFieldNames->setMinimumWidth(140);
  change->addWidget(CBFieldNames);
  change->addWidget(new QLabel(WidgetText("From:"), PanelGlobalChange));
  EditFrom = new QLineEdit(PanelGlobalChange);
  EditFrom->setObjectName("EditFrom");
  CBFrom = new QCheckBox(PanelGlobalChange);
  CBFrom->setObjectName("CBFrom");
  DateFrom = new TdwDBCustomDateTimePicker(PanelGlobalChange);
  DateFrom->setObjectName("DateFrom");
  change->addWidget(EditFrom);
  change->addWidget(CBFrom);
  change->addWidget(DateFrom);
  change->addWidget(new QLabel(WidgetText("To:"), PanelGlobalChange));
  EditTo = new QLineEdit(PanelGlobalChange);
  EditTo->setObjectName("EditTo");
  CBTo = new QCheckBox(PanelGlobalChange);
  CBTo->setObjectName("CBTo");
  DateTo = new TdwDBCustomDateTimePicker(PanelGlobalChange);
  DateTo->setObjectName("DateTo");
  change->addWidget(EditTo);
  change->addWidget(CBTo);
  change->addWidget(DateTo);
  BitBtn1 = MakeButton(PanelGlobalChange, "BitBtn1", "&Go");
  change->addWidget(BitBtn1);
  ProgressBar1 = new QProgressBar(PanelGlobalChange);
  ProgressBar1->setObjectName("ProgressBar1");
  ProgressBar1->setTextVisible(false);
  change->addWidget(ProgressBar1, 1);
  outer->addWidget(PanelGlobalChange);

  Panel2 = new QFrame(this);
  Panel2->setObjectName("Panel2");
  Panel2->setFixedHeight(DefaultPanel2Height);
  BitBtnDelete = MakeButton(Panel2, "BitBtnDelete", "&Delete");
  BitBtnEdit = MakeButton(Panel2, "BitBtnEdit", "&Edit");
  BitBtnGridOK = MakeButton(Panel2, "BitBtnGridOK", "E&xit");
  for (QPushButton* b : {BitBtnDelete, BitBtnEdit, BitBtnGridOK}) {
    b->resize(90, 27);
    b->installEventFilter(this);
  }
  outer->addWidget(Panel2);

  auto guarded = [this](auto Fn) { return [this, Fn] { GuardEvent([this, Fn] { (this->*Fn)(); }); }; };
  connect(BitBtnGridOK, &QPushButton::clicked, this, guarded(&TEGridF::BitBtnGridOKClick));
  connect(BitBtnEdit, &QPushButton::clicked, this, guarded(&TEGridF::BitBtnEditClick));
  connect(BitBtnDelete, &QPushButton::clicked, this, guarded(&TEGridF::BitBtnDeleteClick));
  connect(BitBtn1, &QPushButton::clicked, this, guarded(&TEGridF::BitBtn1Click));
  connect(CheckBox1, &QCheckBox::clicked, this, guarded(&TEGridF::CheckBox1Click));
  connect(ComboBox1, &QComboBox::activated, this, guarded(&TEGridF::ComboBox1Click));
  connect(CBFieldNames, &QComboBox::activated, this, guarded(&TEGridF::CBFieldNamesClick));
  connect(UpDown1Prev, &QToolButton::clicked, this, [this] { GuardEvent([this] { UpDown1Click(false); }); });
  connect(UpDown1Next, &QToolButton::clicked, this, [this] { GuardEvent([this] { UpDown1Click(true); }); });
  connect(StringGridFind, &QTableView::doubleClicked, this, guarded(&TEGridF::StringGridFindDblClick));
  connect(Header, &QHeaderView::sectionClicked, this,
          [this](int Section) { GuardEvent([this, Section] { StringGridFindMouseUp(Section); }); });
  connect(Header, &QHeaderView::sectionResized, this, [this](int Section, int, int Size) {
    // The user's drag of a column border; the program's own resizes set
    // the width first, so they change nothing here.
    if (Section >= Table.ColCount() || Table.Width(Section) == Size) return;
    Table.SetWidth(Section, Size);
    Table.FormatChanged = true;
  });
  CBFieldNamesClick();
}

void TEGridF::SetUp(const TEntryBuild& Build) {
  Table.SetColumns(GridColumnSpecsOf(Build));
  columnSlots_ = GridColumnSlotsOf(Build);
  itemScale_ = Build.GridColumnPlan.ItemScale;
  ComboBox1->clear();
  for (const std::string& name : Build.GridColumnPlan.IndexNames) ComboBox1->addItem(WidgetText(Trim(name)));
  ComboBox1->setCurrentIndex(ComboBox1->count() > 0 ? 0 : -1);
  CurrentIndex = 1;
  // Each field name is the caption of the first column of that field not
  // taken yet.
  CBFieldNames->clear();
  fieldNameSlots_.clear();
  std::vector<bool> taken(columnSlots_.size(), false);
  for (const std::string& name : Build.GridColumnPlan.CBFieldNames) {
    int slot = -1;
    for (size_t c = 1; c < columnSlots_.size(); ++c) {
      if (taken[c] || columnSlots_[c] < 1 || Trim(Table.Header(int(c))) != Trim(name)) continue;
      taken[c] = true;
      slot = columnSlots_[c];
      break;
    }
    CBFieldNames->addItem(WidgetText(name));
    fieldNameSlots_.push_back(slot);
  }
  CBFieldNames->setCurrentIndex(-1);
  CheckBox1->setChecked(false);
  RowsChanged();
}

void TEGridF::RowsChanged() {
  Model->Refresh();
  ApplyWidths();
  StringGridFind->verticalHeader()->setDefaultSectionSize(Table.DefaultRowHeight);
  LayoutHeaderRow();
}

void TEGridF::ApplyWidths() {
  for (int c = 0; c < Table.ColCount(); ++c) {
    const int w = Table.Width(c);
    StringGridFind->setColumnHidden(c, w == 0);
    if (w > 0) StringGridFind->setColumnWidth(c, w);
  }
}

std::string TEGridF::FormatFileName() const {
  TTemplateNumber number;
  return TTemplateNumber::TryParse(Store.OpenTplNumber, number) ? GridFormatFileName(number) : "";
}

void TEGridF::LoadGridFormat(const std::string& FileName) {
  TGridFormatRead read;
  if (FileName.empty() || !FileExists(FileName) || !ReadGridFormatFile(FileName, read)) return;
  Table.ApplyFormat(read);
  CheckBox1->setChecked(Table.DisplayHidden);
  RowsChanged();
}

bool TEGridF::SaveGridFormat(const std::string& FileName) { return WriteGridFormatFile(FileName, Table.FormatOf()); }

int TEGridF::CurrentRow() const {
  const QModelIndex i = StringGridFind->currentIndex();
  return i.isValid() ? i.row() : -1;
}

void TEGridF::SelectRow(int Row) {
  if (Row < 0 || Row >= Table.RowCount()) return;
  StringGridFind->setCurrentIndex(Model->index(Row, 1));
  StringGridFind->selectRow(Row);
}

void TEGridF::showEvent(QShowEvent* Event) {
  QDialog::showEvent(Event);
  if (!Event->spontaneous()) GuardEvent([this] { FormShow(); });
}

void TEGridF::FormShow() {
  programClose_ = false;
  // The row the find stopped at, found again by its key and position once
  // sorted.
  const int found = CurrentRow();
  const std::string foundAt = found >= 0 ? Table.PositionCell(found) : "";
  const std::string foundKey = found >= 0 ? Table.KeyText(found) : "";
  Table.SortAgain();
  RowsChanged();
  for (int r = 0; r < Table.RowCount() && !Trim(foundAt).empty(); ++r)
    if (Table.PositionCell(r) == foundAt && Table.KeyText(r) == foundKey) {
      SelectRow(r);
      break;
    }
  for (QWidget* w : std::initializer_list<QWidget*>{LabelTableName2, Label1, CheckBox1, LabelUpDown, UpDown1Prev,
                                                    UpDown1Next, ComboBox1, Shape3})
    w->setVisible(!PickMode);
  StringGridFind->setVerticalScrollBarPolicy(PickMode ? Qt::ScrollBarAlwaysOff : Qt::ScrollBarAsNeeded);
  // The compact list opens on the row the find stopped at.
  if (PickMode && CurrentRow() >= 0) {
    // The rows just set are laid out first: the scroll range depends on them.
    StringGridFind->doItemsLayout();
    StringGridFind->scrollTo(StringGridFind->currentIndex(), QAbstractItemView::PositionAtTop);
  }
  FormResize();
}

void TEGridF::resizeEvent(QResizeEvent* Event) {
  QDialog::resizeEvent(Event);
  GuardEvent([this] { FormResize(); });
}

void TEGridF::FormResize() {
  const int w = width();
  ComboBox1->move(w - ComboBox1->width() - ComboBoxRightGap, 22);
  Label1->adjustSize();
  Label1->move(ComboBox1->x() + (ComboBox1->width() - Label1->width()) / 2, 4);
  CheckBox1->adjustSize();
  CheckBox1->move(int(CheckBoxLeft * itemScale_), 22);
  LabelUpDown->adjustSize();
  // Beside the check box, clear of the sort chooser and its label.
  const int upDownLeft =
      std::min(std::max(int(UpDownLeft * itemScale_), CheckBox1->geometry().right() + 24),
               std::min(ComboBox1->x(), Label1->x()) - LabelUpDown->width() - 16);
  LabelUpDown->move(upDownLeft, 4);
  UpDown1Prev->setGeometry(upDownLeft, 22, 22, 20);
  UpDown1Next->setGeometry(upDownLeft + 24, 22, 22, 20);
  LabelTableName2->adjustSize();
  const int bw = BitBtnDelete->width();
  const int deleteLeft = (w - 3 * bw) / 4;
  const int top = (Panel2->height() - BitBtnDelete->height()) / 2;
  BitBtnDelete->move(deleteLeft, top);
  BitBtnEdit->move((w - bw) / 2, top);
  BitBtnGridOK->move(w - deleteLeft - bw, top);
  PlaceShape3();
}

void TEGridF::PlaceShape3() {
  Shape3->setGeometry(0, Table.HeaderHeight - Shape3Height, int(Shape3Width * itemScale_), Shape3Height);
  Shape3->raise();
}

void TEGridF::LayoutHeaderRow() {
  Table.SetWidth(0, PickMode ? 0 : TGridTable::IndicatorWidth);
  StringGridFind->setColumnHidden(0, PickMode);
  if (!PickMode) StringGridFind->setColumnWidth(0, TGridTable::IndicatorWidth);
  Header->Lines = HeaderLines;
  Header->setFixedHeight(PickMode ? 0 : Table.HeaderHeight);
  Header->setVisible(!PickMode);
  Header->viewport()->update();
  PlaceShape3();
}

void TEGridF::Tell(char Command) {
  if (Sink) Sink->GridAction(Command, StoredText(LabelTableName2->text()));
}

void TEGridF::SetIndexKey(int IndexNo) {
  CurrentIndex = IndexNo;
  SetGridIndexKey(IndexNo);
}

void TEGridF::TellClosed() {
  if (PickMode) {
    Tell(GridCommand::ClosedInPickMode);
    return;
  }
  if (EntryEditing && EntryEditing()) return;
  Tell(GridCommand::Closed);
  if (ComboBox1->count() > 0) ComboBox1->setCurrentIndex(0);
  SetIndexKey(1);
}

void TEGridF::BitBtnGridOKClick() {
  if (Table.FormatChanged && !programClose_ && !OpenedByExitCheck && !PickMode &&
      MessageDlg("Save changes to grid format?", mtConfirmation, mbYesNo) == mrYes)
    SaveGridFormat(FormatFileName());
  Table.FormatChanged = false;
  TellClosed();
  programClose_ = true;
  close();
}

void TEGridF::CloseByProgram() {
  programClose_ = true;
  close();
}

void TEGridF::closeEvent(QCloseEvent* Event) {
  if (!programClose_) {
    // The user's close button: a changed format is dropped without asking.
    GuardEvent([this] {
      Table.FormatChanged = false;
      TellClosed();
    });
  }
  programClose_ = false;
  QDialog::closeEvent(Event);
}

int TEGridF::RowWithRecord(const std::string& DeletedText) {
  const int row = CurrentRow();
  const std::string pos = row < 0 ? "" : Table.PositionCell(row);
  if (Trim(pos).empty()) {
    MessageDlg("Please highlight a record first!", mtInformation, mbOKOnly);
    return -1;
  }
  if (pos == DeletedRowMark) {
    MessageDlg(DeletedText, mtError, mbOKOnly);
    return -1;
  }
  return row;
}

void TEGridF::BitBtnEditClick() {
  const int row = RowWithRecord("This record has been deleted!");
  if (row < 0) return;
  const std::string& pos = Table.PositionCell(row);
  TGridRowSeek seek = TGridRowSeek::NotFound;
  try {
    seek = SeekGridRowRecord(Table.KeyText(row), pos);
  } catch (const EAbort& e) {
    MessageDlg(EditErrorText + e.Message, mtError, mbOKOnly);
    return;
  }
  switch (seek) {
    case TGridRowSeek::Matched:
      Tell(GridCommand::EditRow);
      break;
    case TGridRowSeek::PositionMismatch:
      MessageDlg(EditMismatchText, mtError, mbOKOnly);
      break;
    case TGridRowSeek::NotFound:
      MessageDlg(EditNotFoundText, mtError, mbOKOnly);
      break;
  }
}

void TEGridF::BitBtnDeleteKeyDown(int Key) {
  const int row = CurrentRow();
  if (Key == Qt::Key_Up && row > 0) SelectRow(row - 1);
  if (Key == Qt::Key_Down && row < Table.RowCount() - 1) SelectRow(row + 1);
}

void TEGridF::ComboBox1Click() {
  const int i = ComboBox1->currentIndex();
  if (i < 0 || i + 1 == CurrentIndex) return;
  SetIndexKey(i + 1);
  const TFlagScope change(IndexChange);
  Tell(GridCommand::SortOrderChanged);
}

void TEGridF::UpDown1Click(bool Next) {
  Table.StepSizes(Next ? -1 : 1);
  ApplyWidths();
  LayoutHeaderRow();
}

void TEGridF::CheckBox1Click() {
  Table.SetDisplayHidden(CheckBox1->isChecked());
  Table.FormatChanged = true;
  ApplyWidths();
  LayoutHeaderRow();
}

void TEGridF::CBFieldNamesClick() {
  const int i = CBFieldNames->currentIndex();
  const int slot = i >= 0 && size_t(i) < fieldNameSlots_.size() ? fieldNameSlots_[size_t(i)] : -1;
  const char type = slot > 0 ? Store.FldTable[slot].FldType : 'C';
  EditFrom->setVisible(type != 'B' && type != 'D');
  EditTo->setVisible(type != 'B' && type != 'D');
  CBFrom->setVisible(type == 'B');
  CBTo->setVisible(type == 'B');
  DateFrom->setVisible(type == 'D');
  DateTo->setVisible(type == 'D');
}

void TEGridF::StringGridFindDblClick() {
  if (PickMode) {
    CloseByProgram();
    Tell(GridCommand::ClosedInPickMode);
    return;
  }
  const int row = CurrentRow();
  if (row >= 0 && !Trim(Table.PositionCell(row)).empty() && BitBtnEdit->isEnabled()) BitBtnEditClick();
}

void TEGridF::StringGridFindKeyPress(QChar Key) {
  if (Key == QChar('\r')) StringGridFindDblClick();
}

void TEGridF::StringGridFindMouseUp(int Column) {
  if (PickMode || Column < 0 || Column >= Table.ColCount()) return;
  Table.SortByHeaderClick(Column);
  Model->Refresh();
  Header->viewport()->update();
}

void TEGridF::RowBorderDragged(int Height) {
  const int row = CurrentRow();
  Table.DefaultRowHeight = std::max(1, Height);
  Table.FormatChanged = true;
  RowsChanged();
  SelectRow(row);
}

bool TEGridF::RowBorderMouse(QEvent* Event) {
  const QEvent::Type type = Event->type();
  if (PickMode || (type != QEvent::MouseButtonPress && type != QEvent::MouseMove && type != QEvent::MouseButtonRelease))
    return false;
  const QPoint at = static_cast<QMouseEvent*>(Event)->position().toPoint();
  auto bottomOf = [this](int Row) { return StringGridFind->rowViewportPosition(Row) + StringGridFind->rowHeight(Row); };
  if (type == QEvent::MouseButtonPress) {
    if (at.x() >= StringGridFind->columnViewportPosition(0) + StringGridFind->columnWidth(0)) return false;
    const int under = StringGridFind->rowAt(at.y());
    for (int row : {under, under - 1})
      if (row >= 0 && std::abs(bottomOf(row) - at.y()) <= RowBorderReach) {
        rowDrag_ = row;
        return true;
      }
    return false;
  }
  if (rowDrag_ < 0) return false;
  if (type == QEvent::MouseMove) {
    StringGridFind->setRowHeight(rowDrag_, std::max(1, at.y() - StringGridFind->rowViewportPosition(rowDrag_)));
    return true;
  }
  const int height = StringGridFind->rowHeight(rowDrag_);
  rowDrag_ = -1;
  GuardEvent([&] { RowBorderDragged(height); });
  return true;
}

void TEGridF::Shape3MouseDown(int) { dragging_ = true; }

void TEGridF::Shape3MouseMove(int Y) {
  if (!dragging_ || Y >= Shape3->y() + DragReach) return;
  int top = Y;
  if (top <= HeaderSnapTop) {
    Table.HeaderHeight = HeaderSnapHeight;
    HeaderLines = 1;
    dragging_ = false;
    LayoutHeaderRow();
    return;
  }
  Table.HeaderHeight = top + Shape3Height;
  Table.FormatChanged = true;
  LayoutHeaderRow();
}

void TEGridF::Shape3MouseUp() {
  dragging_ = false;
  const int lineHeight = std::max(1, QFontMetrics(Header->font()).height());
  HeaderLines = std::max(1, Table.HeaderHeight / lineHeight);
  LayoutHeaderRow();
}

bool TEGridF::eventFilter(QObject* Watched, QEvent* Event) {
  const QEvent::Type type = Event->type();
  if (Watched == Shape3 &&
      (type == QEvent::MouseButtonPress || type == QEvent::MouseMove || type == QEvent::MouseButtonRelease)) {
    const int y = Shape3->mapToParent(static_cast<QMouseEvent*>(Event)->position().toPoint()).y();
    GuardEvent([&] {
      if (type == QEvent::MouseButtonPress) Shape3MouseDown(y);
      if (type == QEvent::MouseMove) Shape3MouseMove(y);
      if (type == QEvent::MouseButtonRelease) Shape3MouseUp();
    });
    return true;
  }
  if (Watched == StringGridFind->viewport() && RowBorderMouse(Event)) return true;
  // Up and Down on a button move the rows (the main window's key hook);
  // a button would also pass the focus along the chain as far as the sort
  // choice, which the next key would change.
  if (Watched->parent() == Panel2 && type == QEvent::KeyPress) {
    const int key = static_cast<QKeyEvent*>(Event)->key();
    if (key == Qt::Key_Up || key == Qt::Key_Down) return true;
  }
  if (Watched == StringGridFind && Event->type() == QEvent::KeyPress) {
    auto* k = static_cast<QKeyEvent*>(Event);
    if (k->key() == Qt::Key_Return || k->key() == Qt::Key_Enter) {
      GuardEvent([this] { StringGridFindKeyPress(QChar('\r')); });
      return true;
    }
  }
  return QDialog::eventFilter(Watched, Event);
}
