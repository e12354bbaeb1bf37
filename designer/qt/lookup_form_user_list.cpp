// Kind U of the lookup form: a list the office keeps itself, edited in a
// grid of two columns. What happens to the lists on disk is
// templates/user_list_*.h; the form wires the grid, the name box and the
// buttons to it.
//
// The grid's row 0 holds the headers; rows 1.. the items, at least 99 and
// always one blank row more than the list holds. The cell editor Edit1
// lies over the current cell, its tag row x 10 + column (columns 0, 1).
#include "btrieve/numbered_files.h"
#include "designer/qt/dialog_parts.h"
#include "designer/qt/list_import_dialog.h"
#include "designer/qt/lookup_form.h"
#include "platform/dialogs.h"
#include "platform/files.h"
#include "platform/paths.h"
#include "platform/qt/cursor.h"
#include "platform/qt/dir_browser_form.h"
#include "platform/qt/directory_list_box.h"
#include "platform/qt/exception_reporter.h"
#include "platform/qt/focus_model.h"
#include "platform/qt/widget_text.h"
#include "platform/text.h"
#include "templates/store_constants.h"
#include "templates/template_state.h"
#include "templates/user_list_edit.h"
#include "templates/user_list_import.h"

#include <QCheckBox>
#include <QComboBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QTableWidget>
#include <QVBoxLayout>

#include <algorithm>

namespace {

const char* const Col1Header = "              Column 1";
const char* const Col2Header = "              Column 2";
constexpr int GridColumnWidth = 200;
constexpr int GridVisibleRows = 16;

const QColor Silver(192, 192, 192);
const QColor Yellow(255, 255, 0);

// The editor's key events reach the form first.
class TKeyFilter : public QObject {
public:
  TKeyFilter(QObject* Parent, std::function<bool(QKeyEvent*)> OnKey, std::function<void()> OnFocusOut)
      : QObject(Parent), onKey_(std::move(OnKey)), onFocusOut_(std::move(OnFocusOut)) {}

protected:
  bool eventFilter(QObject* Watched, QEvent* Event) override {
    if (Event->type() == QEvent::KeyPress || Event->type() == QEvent::ShortcutOverride) {
      auto* key = static_cast<QKeyEvent*>(Event);
      bool used = false;
      if (Event->type() == QEvent::KeyPress) {
        GuardEvent([&] { used = onKey_(key); });
      } else {
        used = key->key() == Qt::Key_Tab || key->key() == Qt::Key_Up || key->key() == Qt::Key_Down;
      }
      if (used) {
        Event->accept();
        return true;
      }
    }
    if (Event->type() == QEvent::FocusOut) GuardEvent([&] { onFocusOut_(); });
    return QObject::eventFilter(Watched, Event);
  }

private:
  std::function<bool(QKeyEvent*)> onKey_;
  std::function<void()> onFocusOut_;
};

// Presses on the grid while the editor has the focus.
class TGridPressFilter : public QObject {
public:
  TGridPressFilter(QObject* Parent, std::function<void()> OnPress, std::function<void()> OnRelease)
      : QObject(Parent), onPress_(std::move(OnPress)), onRelease_(std::move(OnRelease)) {}

protected:
  bool eventFilter(QObject* Watched, QEvent* Event) override {
    if (Event->type() == QEvent::MouseButtonPress) GuardEvent([&] { onPress_(); });
    if (Event->type() == QEvent::MouseButtonRelease) {
      const bool handled = QObject::eventFilter(Watched, Event);
      GuardEvent([&] { onRelease_(); });
      return handled;
    }
    return QObject::eventFilter(Watched, Event);
  }

private:
  std::function<void()> onPress_;
  std::function<void()> onRelease_;
};

std::string FolderOf(const std::string& Path) {
  const size_t cut = Path.find_last_of("/\\");
  return cut == std::string::npos ? "." : Path.substr(0, std::max<size_t>(cut, 1));
}

std::string FileOf(const std::string& Path) {
  const size_t cut = Path.find_last_of("/\\");
  return cut == std::string::npos ? Path : Path.substr(cut + 1);
}

}  // namespace

void TLKUPF::BuildUserListPanel() {
  ComboBoxListNames = new QComboBox(PanelUserList);
  ComboBoxListNames->setObjectName("ComboBoxListNames");
  ComboBoxListNames->setEditable(true);
  ComboBoxListNames->setInsertPolicy(QComboBox::NoInsert);
  ComboBoxListNames->lineEdit()->setMaxLength(MaxListNameLength);
  connect(ComboBoxListNames, &QComboBox::activated, this, [this] { GuardEvent([this] { ComboBoxListNamesClick(); }); });
  RadioGroup2 = new TRadioGroup("List type", {"Single Column", "Double Column"}, PanelUserList);
  RadioGroup2->setObjectName("RadioGroup2");
  RadioGroup2->OnClick([this] { RadioGroup2Click(); });

  StringGrid1 = new QTableWidget(MinGridRows, 2, PanelUserList);
  StringGrid1->setObjectName("StringGrid1");
  StringGrid1->horizontalHeader()->hide();
  StringGrid1->verticalHeader()->hide();
  StringGrid1->setEditTriggers(QAbstractItemView::NoEditTriggers);
  StringGrid1->setSelectionMode(QAbstractItemView::SingleSelection);
  StringGrid1->setSelectionBehavior(QAbstractItemView::SelectItems);
  // A click leaves the focus in the cell editor until the release puts the
  // editor on the clicked cell: the press is seen while the editor has it.
  StringGrid1->setFocusPolicy(Qt::TabFocus);
  for (int c = 0; c < 2; ++c) StringGrid1->setColumnWidth(c, GridColumnWidth);
  // One line of text per row, as the cell editor shows it.
  StringGrid1->verticalHeader()->setMinimumSectionSize(1);
  StringGrid1->verticalHeader()->setDefaultSectionSize(StringGrid1->fontMetrics().height() + 6);
  StringGrid1->setFixedWidth(2 * GridColumnWidth + StringGrid1->verticalScrollBar()->sizeHint().width() + 4);
  StringGrid1->setFixedHeight(GridVisibleRows * StringGrid1->verticalHeader()->defaultSectionSize() + 4);
  QPalette selected = StringGrid1->palette();
  selected.setColor(QPalette::Highlight, Yellow);
  selected.setColor(QPalette::HighlightedText, Qt::black);
  StringGrid1->setPalette(selected);
  connect(StringGrid1, &QTableWidget::currentCellChanged, this, [this](int Row, int Col) {
    GuardEvent([&] { StringGrid1SelectCell(Row, Col); });
  });
  gridFilter_ = new TGridPressFilter(this, [this] { GridClicked = Edit1->hasFocus(); }, [this] { StringGrid1MouseUp(); });
  StringGrid1->viewport()->installEventFilter(gridFilter_);

  Edit1 = new QLineEdit(StringGrid1->viewport());
  Edit1->setObjectName("Edit1");
  Edit1->setFrame(false);
  Edit1->hide();
  editFilter_ = new TKeyFilter(
      this, [this](QKeyEvent* Key) { return Edit1KeyDown(Key->key(), Key->modifiers()); }, [this] { Edit1Exit(); });
  Edit1->installEventFilter(editFilter_);

  CheckBox1 = new QCheckBox(WidgetText("Forced lookup"), PanelUserList);
  CheckBox1->setObjectName("CheckBox1");
  LabelListLocation = new QLabel(PanelUserList);
  LabelListLocation->setObjectName("LabelListLocation");
  BitBtnImport = DialogButton(PanelUserList, "BitBtnImport", "&Import");
  BitBtnExport = DialogButton(PanelUserList, "BitBtnExport", "E&xport");
  SortBitBtn = DialogButton(PanelUserList, "SortBitBtn", "Sort &List Now");
  BitBtnDeleteList = DialogButton(PanelUserList, "BitBtnDeleteList", "&Delete List");
  OnClicked(BitBtnImport, [this] { BitBtnImportClick(); });
  OnClicked(BitBtnExport, [this] { BitBtnExportClick(); });
  OnClicked(SortBitBtn, [this] { SortBitBtnClick(false); });
  OnClicked(BitBtnDeleteList, [this] { BitBtnDeleteListClick(true); });

  auto* column = new QVBoxLayout(PanelUserList);
  column->setContentsMargins(0, 0, 0, 0);
  auto* name = new QHBoxLayout;
  name->addWidget(new QLabel(WidgetText("List name :"), PanelUserList));
  name->addWidget(ComboBoxListNames, 1);
  column->addLayout(name);
  column->addWidget(RadioGroup2);
  column->addWidget(StringGrid1);
  column->addWidget(LabelListLocation);
  column->addWidget(CheckBox1);
  column->addLayout(CentredRow({SortBitBtn, BitBtnDeleteList, BitBtnImport, BitBtnExport}));
  ResetListGrid();
}

void TLKUPF::OpenUserListPanel() {
  ShowKindPanels(KindU);
  LoadUserList();
}

void TLKUPF::KindButtonEnter(QWidget*) {
  if (!PanelUserList->isVisible() || restoringKind_) return;
  // The list in the grid stays: the kind goes back and the name box takes
  // the focus.
  restoringKind_ = true;
  SetKind(KindU);
  Focus->FocusControl(ComboBoxListNames);
  restoringKind_ = false;
}

int TLKUPF::GridDataRows() const { return StringGrid1->rowCount() - 1; }

void TLKUPF::EnsureGridRows(int DataRows) {
  const int rows = std::max(MinGridRows, DataRows + 2);
  if (StringGrid1->rowCount() < rows) StringGrid1->setRowCount(rows);
}

void TLKUPF::ColourGrid() {
  QFont bold = StringGrid1->font();
  bold.setBold(true);
  for (int c = 0; c < 2; ++c) {
    QTableWidgetItem* header = StringGrid1->item(0, c);
    if (!header) StringGrid1->setItem(0, c, header = new QTableWidgetItem);
    header->setText(c == 0 ? Col1Header : Col2Header);
    header->setFont(bold);
    header->setBackground(Qt::white);
    header->setFlags(Qt::ItemIsEnabled);
  }
  for (int r = 1; r < StringGrid1->rowCount(); ++r) {
    QTableWidgetItem* item = StringGrid1->item(r, 1);
    if (!item) StringGrid1->setItem(r, 1, item = new QTableWidgetItem);
    item->setBackground(UserList.SingleColumn ? QBrush(Silver) : QBrush());
  }
}

void TLKUPF::ResetListGrid() {
  if (!StringGrid1) return;
  Edit1->hide();
  StringGrid1->setRowCount(MinGridRows);
  for (int r = 1; r < StringGrid1->rowCount(); ++r)
    for (int c = 0; c < 2; ++c)
      if (QTableWidgetItem* item = StringGrid1->item(r, c)) item->setText(QString());
  ColourGrid();
  UserList.ListName.clear();
  LabelListLocation->clear();
  BitBtnExport->setEnabled(false);
  CheckBox1->setChecked(false);
}

std::vector<TListRow> TLKUPF::GridRows() const {
  std::vector<TListRow> rows;
  for (int r = 1; r < StringGrid1->rowCount(); ++r) {
    const QTableWidgetItem* a = StringGrid1->item(r, 0);
    const QTableWidgetItem* b = StringGrid1->item(r, 1);
    rows.push_back({a ? StoredText(a->text()) : "", b ? StoredText(b->text()) : ""});
  }
  return rows;
}

void TLKUPF::SetGridRows(const std::vector<TListRow>& Rows) {
  EnsureGridRows(int(Rows.size()));
  for (int r = 1; r < StringGrid1->rowCount(); ++r) {
    const TListRow row = size_t(r - 1) < Rows.size() ? Rows[size_t(r - 1)] : TListRow();
    for (int c = 0; c < 2; ++c) {
      QTableWidgetItem* item = StringGrid1->item(r, c);
      if (!item) StringGrid1->setItem(r, c, item = new QTableWidgetItem);
      item->setText(WidgetText(c == 0 ? row.Col1 : row.Col2));
    }
  }
  ColourGrid();
}

void TLKUPF::ReloadListNames(const std::vector<std::string>& Names, const std::string& Selected) {
  std::vector<std::string> sorted = Names;
  std::sort(sorted.begin(), sorted.end(),
            [](const std::string& a, const std::string& b) { return AnsiCompareText(a, b) < 0; });
  ComboBoxListNames->clear();
  for (const std::string& n : sorted) ComboBoxListNames->addItem(WidgetText(n));
  ComboBoxListNames->setCurrentIndex(Selected.empty() ? -1 : ComboBoxListNames->findText(WidgetText(Selected)));
  if (Selected.empty()) ComboBoxListNames->setEditText(QString());
}

void TLKUPF::LoadUserList() {
  ResetListGrid();
  const THourglass hourglass;
  Edit1->hide();
  std::vector<std::string> names;
  std::string selected;
  if (!OpenUserListFile(UserList) || !LoadUserListNames(UserList, names, selected)) {
    CloseBitBtnClick();
    return;
  }
  ReloadListNames(names, selected);
  std::vector<TListRow> rows;
  if (UserList.SelUserList == -1) {
    UserList.SingleColumn = true;
    UserList.ListName.clear();
    LabelListLocation->clear();
    BitBtnExport->setEnabled(false);
  } else {
    std::vector<std::string> items;
    if (ReadUserListItems(UserList.SelUserList, items)) {
      UserList.SingleColumn = true;
      for (const std::string& item : items) {
        const TListItemColumns columns = SplitListItem(item);
        if (columns.Double) UserList.SingleColumn = false;
        rows.push_back({columns.Col1, columns.Col2});
      }
    }
    LabelListLocation->setText(WidgetText(DisplayPath(UserListPath(UserList.SelUserList))));
    UserList.ListName = Trim(StoredText(ComboBoxListNames->currentText()));
    BitBtnExport->setEnabled(true);
  }
  SetGridRows(rows);
  RadioGroup2->SetItemIndex(UserList.SingleColumn ? 0 : 1);
  PlaceCellEditor(1, 0);
}

void TLKUPF::ComboBoxListNamesClick() {
  int number = -1;
  if (!FindUserListNumber(Trim(StoredText(ComboBoxListNames->currentText())), number)) return;
  UserList.SelUserList = number;
  LoadUserList();
}

void TLKUPF::RadioGroup2Click() {
  UserList.SingleColumn = RadioGroup2->ItemIndex() != 1;
  ColourGrid();
  if (UserList.SingleColumn && StringGrid1->currentColumn() == 1) PlaceCellEditor(std::max(StringGrid1->currentRow(), 1), 0);
}

void TLKUPF::StringGrid1SelectCell(int Row, int Col) {
  // The header row and, for one column, column 2 are never current.
  if (Row < 1 || (UserList.SingleColumn && Col == 1)) {
    PlaceCellEditor(std::max(Row, 1), 0);
    return;
  }
  if (Edit1->property("tag").toInt() != Row * 10 + Col) PlaceCellEditor(Row, Col);
}

void TLKUPF::StringGrid1MouseUp() {
  const int row = std::max(StringGrid1->currentRow(), 1);
  const int col = UserList.SingleColumn ? 0 : std::max(StringGrid1->currentColumn(), 0);
  GridClicked = false;
  PlaceCellEditor(row, col);
  Edit1->setFocus();
}

void TLKUPF::PlaceCellEditor(int Row, int Col) {
  if (Row < 1 || Row >= StringGrid1->rowCount()) return;
  if (UserList.SingleColumn) Col = 0;
  QTableWidgetItem* item = StringGrid1->item(Row, Col);
  if (!item) StringGrid1->setItem(Row, Col, item = new QTableWidgetItem);
  StringGrid1->blockSignals(true);
  StringGrid1->setCurrentCell(Row, Col);
  StringGrid1->blockSignals(false);
  StringGrid1->scrollToItem(item);
  Edit1->setProperty("tag", Row * 10 + Col);
  Edit1->setGeometry(StringGrid1->visualItemRect(item));
  Edit1->setText(item->text());
  Edit1->show();
  Edit1->raise();
}

void TLKUPF::CellEditorToGrid() {
  if (!Edit1->isVisible()) return;
  const int tag = Edit1->property("tag").toInt();
  const int row = tag / 10;
  const int col = tag % 10;
  if (row < 1 || row >= StringGrid1->rowCount()) return;
  QTableWidgetItem* item = StringGrid1->item(row, col);
  if (!item) StringGrid1->setItem(row, col, item = new QTableWidgetItem);
  item->setText(Edit1->text());
  // Typing into the last row keeps a blank row below it.
  if (row == GridDataRows() && !Edit1->text().isEmpty()) {
    EnsureGridRows(row + 1);
    ColourGrid();
  }
}

void TLKUPF::Edit1Exit() {
  CellEditorToGrid();
  GridClicked = false;
}

bool TLKUPF::Edit1KeyDown(int Key, Qt::KeyboardModifiers Shift) {
  const int tag = Edit1->property("tag").toInt();
  const int row = tag / 10;
  const int col = tag % 10;
  if (Shift & Qt::AltModifier) return false;
  switch (Key) {
    case Qt::Key_Left:
    case Qt::Key_Right:
    case Qt::Key_Up:
    case Qt::Key_Down: {
      CellEditorToGrid();
      int r = row;
      int c = col;
      if (Key == Qt::Key_Left) c = 0;
      if (Key == Qt::Key_Right && !UserList.SingleColumn) c = 1;
      if (Key == Qt::Key_Up && r > 1) --r;
      if (Key == Qt::Key_Down && r < GridDataRows()) ++r;
      PlaceCellEditor(r, c);
      Edit1->setFocus();
      return true;
    }
    case Qt::Key_Tab:
    case Qt::Key_Return:
    case Qt::Key_Enter: {
      CellEditorToGrid();
      if (!UserList.SingleColumn && col == 0) {
        PlaceCellEditor(row, 1);
        Edit1->setFocus();
        return true;
      }
      // Past the last row in use the list is done: on to Cancel.
      if (row - 1 > LastUsedRow(GridRows())) {
        CloseBitBtn->setFocus(Qt::TabFocusReason);
        Edit1->hide();
        return true;
      }
      EnsureGridRows(row + 1);
      ColourGrid();
      PlaceCellEditor(row + 1, 0);
      Edit1->setFocus();
      return true;
    }
    default: return false;
  }
}

bool TLKUPF::SortBitBtnClick(bool Saving) {
  CellEditorToGrid();
  const TListSort sort = SortUserListRows(GridRows(), UserList.SingleColumn, Saving, HandOver.Width);
  if (sort.Result == TListSortResult::NothingToSort) return false;
  if (!sort.Rows.empty()) SetGridRows(sort.Rows);
  if (sort.Result != TListSortResult::Sorted) {
    StringGrid1->setFocus();
    if (sort.Result == TListSortResult::BlankEntry) PlaceCellEditor(sort.Row + 1, 0);
    return false;
  }
  UserList.ListCol2Width = sort.ListCol2Width;
  sortedItems_ = sort.Items;
  if (Saving) {
    HandOver.Width = sort.Width;
    return true;
  }
  StringGrid1->setFocus();
  PlaceCellEditor(1, 0);
  Edit1->setFocus();
  return true;
}

bool TLKUPF::SaveUserList() {
  CellEditorToGrid();
  if (LastUsedRow(GridRows()) == -1) {
    ShowMessage("Your list will not be saved because it doesn't contain any entries.");
    return true;
  }
  const std::string name = Trim(StoredText(ComboBoxListNames->currentText()));
  if (name.empty()) {
    ShowMessage("You must select a name for your list.");
    Focus->FocusControl(ComboBoxListNames);
    return false;
  }
  UserList.Width = HandOver.Width;
  if (!SortBitBtnClick(true)) return false;
  const TListSaveResult saved = ::SaveUserList(UserList, name, sortedItems_);
  if (saved != TListSaveResult::Saved) {
    StringGrid1->setFocus();
    return false;
  }
  HandOver.LookupAccepted = true;
  HandOver.SelUserList = UserList.SelUserList;
  HandOver.ListCol2Width = UserList.ListCol2Width;
  return true;
}

void TLKUPF::BitBtnDeleteListClick(bool AskedByUser) {
  const std::string name = Trim(StoredText(ComboBoxListNames->currentText()));
  if (!DeleteUserList(UserList, name, AskedByUser) || !AskedByUser) return;
  UserList.SelUserList = -1;
  LoadUserList();
}

void TLKUPF::CloseSlotIfOpen(uint8_t FileNo) {
  try {
    if (BtrIsFileOpen(FileNo)) BtrCloseFile(FileNo);
  } catch (const std::exception&) {
  }
}

void TLKUPF::OpenDialog1SelectionChange(const std::string& Path) {
  CloseSlotIfOpen(BrowsedListsFileNo);
  const std::string catalogue = UserListCatalogueName(FolderOf(Path));
  if (!FileExists(catalogue)) return;
  std::string caption;
  try {
    BtrOpenFile(BrowsedListsFileNo, catalogue, 0);
    const std::optional<int> number = ListFileNumber(FileOf(Path));
    for (const TUserListRecord& record : ReadUserListCatalogue(BrowsedListsFileNo))
      if (number && record.Number == *number) caption = record.Name;
  } catch (const std::exception&) {
    CloseSlotIfOpen(BrowsedListsFileNo);
  }
  if (OpenDialog1) OpenDialog1->setWindowTitle(WidgetText(caption));
}

void TLKUPF::OpenDialog1FolderChange() {
  CloseSlotIfOpen(BrowsedListsFileNo);
  if (OpenDialog1) OpenDialog1->selectFile(QString());
}

bool TLKUPF::OpenDialog1CanClose(const std::string& Path) {
  const std::string folder = FolderOf(Path);
  if (SameFolder(folder, Store.DataDir)) {
    MessageDlg(folder + " is the current Matterdesk data folder.  There is no need to " +
                   "import user lists that already reside in that folder.",
               mtError, mbOKOnly);
    ComboBoxListNames->setEditText(QString());
    return false;
  }
  UserList.SelUserList = -1;
  LoadUserList();
  return true;
}

void TLKUPF::BitBtnImportClick() {
  std::string chosen;
  {
    TListImportDialog dialog(this);
    OpenDialog1 = &dialog;
    dialog.setDirectory(WidgetText(Store.DataDir));
    dialog.OnSelectionChange = [this](const std::string& Path) { OpenDialog1SelectionChange(Path); };
    dialog.OnFolderChange = [this] { OpenDialog1FolderChange(); };
    dialog.OnCanClose = [this](const std::string& Path) { return OpenDialog1CanClose(Path); };
    const bool ok = dialog.exec() == QDialog::Accepted;
    OpenDialog1 = nullptr;
    CloseSlotIfOpen(BrowsedListsFileNo);
    if (!ok) return;
    chosen = dialog.ChosenFile();
  }
  CloseSlotIfOpen(UserListFileNo);
  std::string msg;
  if (!CreateUserListFile(Store.DataDir, msg)) {
    MessageDlg("Unable to create a necessary file:  LISTS.USR.\r\rError:  " + msg, mtError, mbOKOnly);
    return;
  }
  std::optional<TImportedList> imported;
  if (UpperCase(chosen).find(".LST") != std::string::npos)
    imported = ImportUserList(FolderOf(chosen), FileOf(chosen), false);
  CloseSlotIfOpen(ListImportFileNo);
  if (imported) UserList.SelUserList = imported->Number;
  LoadUserList();
}

void TLKUPF::BitBtnExportClick() {
  TDirBrowserForm browser(this);
  browser.SetCaption(ExportListCaption(UserList.ListName));
  browser.exec();
  if (browser.DirChosen) ExportUserList(UserList, browser.DirectoryListBox1->Directory());
}

void TLKUPF::FormClose() {
  CloseSlotIfOpen(TargetDescriptorFileNo);
  CloseSlotIfOpen(TemplateListFileNo);
}

bool TLKUPF::LoadUserListLookup(const TFld& Fld) {
  const std::optional<int> number = ListFileNumber(Trim(Fld.LkpTarget));
  if (!number) {
    MessageDlg("Invalid user list filename: " + Fld.LkpTarget, mtError, mbOKOnly);
    return false;
  }
  UserList.SelUserList = *number;
  HandOver.SelUserList = *number;
  SetKind(KindU);
  RadioGroup1Click();
  std::vector<std::string> names;
  std::string selected;
  if (!OpenUserListFile(UserList) || !LoadUserListNames(UserList, names, selected)) return false;
  ReloadListNames(names, selected);
  CheckBox1->setChecked(Fld.Forced);
  RadioGroup2->SetItemIndex(Fld.LkpSpec.rfind("2", 0) == 0 ? 1 : 0);
  return true;
}
