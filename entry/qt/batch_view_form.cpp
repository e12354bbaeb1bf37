#include "entry/qt/batch_view_form.h"

#include "entry/batch_export.h"
#include "entry/batch_files.h"
#include "entry/qt/select_export_dir.h"
#include "platform/dialogs.h"
#include "platform/errors.h"
#include "platform/qt/widget_text.h"
#include "templates/grid_position.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QMenuBar>
#include <QPushButton>
#include <QScreen>
#include <QTableWidget>
#include <QVBoxLayout>

namespace {

constexpr int ColumnCount = 8;
constexpr int HoursColumn = 5;
constexpr int PositionColumn = 7;
constexpr int RowHeightAt96Dpi = 14;
const char* const Headers[ColumnCount] = {"    Date", "  Empl", "    Client", "     Case", " Group",
                                          "               Hours", "     Description", ""};
// Column widths in characters of the grid's font.
constexpr int WidthChars[ColumnCount] = {11, 6, 9, 9, 7, 12, 60, 0};
const std::string Deleted = "deleted";

QFont GridFont(bool DeletedRow) {
  QFont font(DeletedRow ? "Liberation Mono" : "Liberation Sans");
  font.setPixelSize(11);
  return font;
}

struct TViewCommand {
  const char* Caption;
  void (TQBatchViewF::*Handler)();
};

// The menu, in order.
constexpr TViewCommand MenuCommands[] = {
    {"&First", &TQBatchViewF::First1Click},       {"&Next", &TQBatchViewF::Next1Click},
    {"&Previous", &TQBatchViewF::Previous1Click}, {"&Last", &TQBatchViewF::Last1Click},
    {"&Delete", &TQBatchViewF::Delete1Click},     {"E&rase batch", &TQBatchViewF::Erasebatch1Click},
};

}  // namespace

TQBatchViewF::TQBatchViewF(QWidget* Parent) : QDialog(Parent) {
  setWindowTitle("Batch Viewer");
  ExportCommand = [] { SelectExportDir(); };
  auto* layout = new QVBoxLayout(this);
  Menu = new QMenuBar(this);
  QMenu* records = Menu->addMenu("&Records");
  for (const TViewCommand& command : MenuCommands) {
    QAction* item = records->addAction(command.Caption);
    connect(item, &QAction::triggered, this, [this, handler = command.Handler] { (this->*handler)(); });
    MenuItems.push_back(item);
  }
  layout->setMenuBar(Menu);

  QBatchViewGrid = new QTableWidget(0, ColumnCount, this);
  QBatchViewGrid->setSelectionBehavior(QAbstractItemView::SelectRows);
  QBatchViewGrid->setSelectionMode(QAbstractItemView::SingleSelection);
  QBatchViewGrid->setEditTriggers(QAbstractItemView::NoEditTriggers);
  QBatchViewGrid->verticalHeader()->hide();
  QBatchViewGrid->setColumnHidden(PositionColumn, true);
  layout->addWidget(QBatchViewGrid);

  auto* bottom = new QHBoxLayout;
  BitBtnEdit = new QPushButton("&Edit", this);
  BitBtn1 = new QPushButton("E&xport Batch", this);
  BitBtnOK = new QPushButton("&Close", this);
  bottom->addWidget(new QLabel("Total hours:", this));
  TotalHours = new QLabel(this);
  TotalHours->setObjectName("TotalHours");
  bottom->addWidget(TotalHours);
  bottom->addStretch();
  for (QPushButton* button : {BitBtnEdit, BitBtn1, BitBtnOK}) {
    button->setAutoDefault(false);
    bottom->addWidget(button);
  }
  layout->addLayout(bottom);
  connect(BitBtnEdit, &QPushButton::clicked, this, &TQBatchViewF::BitBtnEditClick);
  connect(BitBtn1, &QPushButton::clicked, this, &TQBatchViewF::BitBtn1Click);
  connect(BitBtnOK, &QPushButton::clicked, this, &TQBatchViewF::BitBtnOKClick);
  for (QWidget* child : findChildren<QWidget*>()) child->installEventFilter(this);
  resize(820, 420);
}

void TQBatchViewF::showEvent(QShowEvent* Event) {
  QDialog::showEvent(Event);
  FormShow();
}

bool TQBatchViewF::eventFilter(QObject* Watched, QEvent* Event) {
  if (Event->type() == QEvent::KeyPress) {
    const int key = static_cast<QKeyEvent*>(Event)->key();
    if (key == Qt::Key_Up || key == Qt::Key_Down) {
      if (key == Qt::Key_Up) {
        Previous1Click();
      } else {
        Next1Click();
      }
      return true;
    }
  }
  return QDialog::eventFilter(Watched, Event);
}

void TQBatchViewF::FormShow() {
  const double scale = logicalDpiY() / 96.0;
  QBatchViewGrid->verticalHeader()->setDefaultSectionSize(int(RowHeightAt96Dpi * scale + 0.5) + 4);
  QBatchViewGrid->setFont(GridFont(false));
  const QFontMetrics metrics(GridFont(false));
  for (int c = 0; c < ColumnCount; ++c) {
    QBatchViewGrid->setHorizontalHeaderItem(c, new QTableWidgetItem(QString::fromLatin1(Headers[c])));
    if (c != PositionColumn) QBatchViewGrid->setColumnWidth(c, metrics.horizontalAdvance('0') * WidthChars[c] + 8);
  }
  rows_.clear();
  if (OpenBatchFiles()) {
    try {
      rows_ = LoadBatchRows();
    } catch (const EAbort& e) {
      MessageDlg(e.Message, mtError, mbOKOnly);
    }
  }
  total_ = TotalHundredths(rows_);
  FillGrid();
  if (!rows_.empty()) SelectRow(0);
}

void TQBatchViewF::FillGrid() {
  QBatchViewGrid->setRowCount(int(rows_.size()));
  for (int r = 0; r < int(rows_.size()); ++r) ShowRow(r);
  ShowTotal();
}

void TQBatchViewF::ShowRow(int Row) {
  const TBatchRow& row = rows_[size_t(Row)];
  const std::string cells[ColumnCount] = {row.Date,  row.Employee, row.Client,      row.CaseSuffix,
                                          row.Group, row.Hours,    row.Description, row.Position};
  for (int c = 0; c < ColumnCount; ++c) {
    auto* item = new QTableWidgetItem(WidgetText(cells[c]));
    item->setFont(GridFont(row.Deleted));
    if (c == HoursColumn) item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
    QBatchViewGrid->setItem(Row, c, item);
  }
}

void TQBatchViewF::ShowTotal() { TotalHours->setText(WidgetText(HundredthsText(total_))); }

void TQBatchViewF::SelectRow(int Row) {
  if (Row < 0 || Row >= int(rows_.size())) return;
  QBatchViewGrid->setCurrentCell(Row, 0);
  QBatchViewGrid->selectRow(Row);
}

int TQBatchViewF::SelectedRow() const {
  const QList<QTableWidgetItem*> selected = QBatchViewGrid->selectedItems();
  if (selected.isEmpty()) return -1;
  const int row = selected.front()->row();
  return row < int(rows_.size()) ? row : -1;
}

void TQBatchViewF::First1Click() { SelectRow(0); }

void TQBatchViewF::Next1Click() { SelectRow(SelectedRow() + 1); }

void TQBatchViewF::Previous1Click() {
  const int row = SelectedRow();
  if (row > 0) SelectRow(row - 1);
}

void TQBatchViewF::Last1Click() { SelectRow(int(rows_.size()) - 1); }

void TQBatchViewF::Delete1Click() {
  const int r = SelectedRow();
  if (r < 0) {
    MessageDlg("Please highlight the record you wish to delete first.", mtInformation, mbOKOnly);
    return;
  }
  TBatchRow& row = rows_[size_t(r)];
  if (row.Deleted) {
    MessageDlg("This record has already been deleted!", mtInformation, mbOKOnly);
    return;
  }
  if (MessageDlg("Are you sure you want to delete the highlighted record?", mtConfirmation, mbYesNo) != mrYes) return;
  TBtrPosition pos{};
  std::string failure = "The entry's position cannot be read.";
  if (ParseGridPosition(row.Position, pos)) failure = DeleteBatchEntry(pos, row.Link);
  if (!failure.empty()) {
    MessageDlg("Unable to delete this record:\r\r" + failure + "\r" +
                   "Please try this operation again later of contact Ondral, Inc. for assistance.",
               mtError, mbOKOnly);
    return;
  }
  row.Deleted = true;
  row.Hours = Deleted;
  total_ -= row.Hundredths;
  ShowRow(r);
  ShowTotal();
  MessageDlg("Record successfully deleted.", mtInformation, mbOKOnly);
}

void TQBatchViewF::BitBtnEditClick() {
  const int r = SelectedRow();
  if (r < 0) {
    MessageDlg("Please highlight the record you wish to edit first.", mtInformation, mbOKOnly);
    return;
  }
  const TBatchRow& row = rows_[size_t(r)];
  if (row.Deleted) {
    MessageDlg("This record has been deleted!", mtInformation, mbOKOnly);
    return;
  }
  TBtrPosition pos{};
  if (!ParseGridPosition(row.Position, pos) || !OpenBatchFiles()) return;
  try {
    BtrGetDirect(TrinFileNo, TrinRec, pos);
  } catch (const EAbort& e) {
    MessageDlg(e.Message, mtError, mbOKOnly);
    return;
  }
  EditingBatchEntry = true;
  EditingBatchPos = pos;
  accept();
}

void TQBatchViewF::BitBtn1Click() {
  ExportCommand();
  if (OpenBatchFiles() && BtrRecordCount(TrinFileNo) == 0) accept();
}

void TQBatchViewF::Erasebatch1Click() {
  if (!EraseBatch()) return;
  rows_.clear();
  total_ = 0;
  FillGrid();
}

void TQBatchViewF::BitBtnOKClick() { reject(); }
