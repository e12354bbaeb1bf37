// The entry screen's dropdown list: the handlers of lookup and index sort
// field edits that open, fill, move and close it, the list panel under the
// edit, and the preset of the key fields from the command line. What a
// list reads is entry/dropdown_list.h; this file puts it on the screen.
//
// The edit keeps the keyboard focus while its list is shown; the grid
// takes it only by a click or from a handler. Every move of the list's
// current row made here, and a click on a row, runs the row choice
// (StringGrid1Click).
#include "entry/qt/entry_form.h"

#include "entry/dropdown_list.h"
#include "entry/qt/dropdown_cell_delegate.h"
#include "entry/template_lookup.h"
#include "platform/qt/cursor.h"
#include "platform/command_line.h"
#include "platform/dialogs.h"
#include "platform/format.h"
#include "platform/qt/exception_reporter.h"
#include "platform/qt/focus_model.h"
#include "platform/qt/widget_text.h"
#include "platform/text.h"
#include "templates/data_file_open.h"
#include "templates/record_codec.h"
#include "templates/store_constants.h"
#include "templates/template_state.h"
#include "templates/validation_files.h"

#include <QAction>
#include <QHeaderView>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QStandardItemModel>
#include <QTableView>
#include <QToolButton>

#include <algorithm>

namespace {

constexpr int ClientCodeCode = 0;
constexpr int CaseCode = 22;
constexpr int EmpCode = 62;
constexpr int LastFieldSlot = 54;
constexpr int OwnIndexExtra = 20;
constexpr int PanelNudge = 36;
constexpr int PanelShift = 34;
constexpr int EditBottomGap = 1;

const char* const MaxRowsMsg = "The maximum of 500 records has been displayed.\rPlease refine your search.";

std::string EditText(const QLineEdit* E) { return StoredText(E->text()); }

}  // namespace

void TEntryF::BuildDropdownParts() {
  StringGrid1->setSelectionBehavior(QAbstractItemView::SelectRows);
  StringGrid1->setSelectionMode(QAbstractItemView::SingleSelection);
  StringGrid1->setEditTriggers(QAbstractItemView::NoEditTriggers);
  StringGrid1->setFocusPolicy(Qt::ClickFocus);
  // Tab leaves the grid; it never walks its cells.
  StringGrid1->setTabKeyNavigation(false);
  // Columns are cut at the grid's width, as the list is placed.
  StringGrid1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  QFont courier("Liberation Mono");
  courier.setPixelSize(13);
  StringGrid1->setFont(courier);
  StringGrid1->setItemDelegate(new TDropdownCellDelegate([this] { return Dropdown.MovingByKeys; }, StringGrid1));
  StringGrid1->installEventFilter(this);
  connect(StringGrid1, &QTableView::clicked, this, [this](const QModelIndex&) { TakeGridRow(); });
  SBHideList = new QToolButton(ScrollContent);
  SBHideList->setObjectName("SBHideList");
  SBHideList->setText(WidgetText("x"));
  SBHideList->setToolTip(WidgetText("Hide the list"));
  SBHideList->setFocusPolicy(Qt::NoFocus);
  SBHideList->setProperty("tag", 0);
  SBHideList->hide();
  connect(SBHideList, &QToolButton::clicked, this, [this] {
    TEntryEventArgs args;
    RunHandlers({THandler::SBShowListClick}, SBHideList, args);
  });
  connect(SBPgUp, &QToolButton::clicked, this, [this] { GuardEvent([this] { SBPgDnClick(SBPgUp); }); });
  connect(SBPgDn, &QToolButton::clicked, this, [this] { GuardEvent([this] { SBPgDnClick(SBPgDn); }); });
  connect(SBFirst, &QToolButton::clicked, this, [this] { GuardEvent([this] { SBFirstClick(SBFirst); }); });
  connect(SBLast, &QToolButton::clicked, this, [this] { GuardEvent([this] { SBFirstClick(SBLast); }); });
}

// ---- helpers ----

int TEntryF::SlotOf(const QWidget* W) const {
  const int i = W ? ControlOf(const_cast<QWidget*>(W)) : -1;
  return i >= 0 && i < int(plan_.Controls.size()) ? plan_.Controls[size_t(i)].Tag : -1;
}

int TEntryF::EditNumberOf(const QWidget* W) const {
  const int i = W ? ControlOf(const_cast<QWidget*>(W)) : -1;
  if (i < 0 || i >= int(plan_.Controls.size())) return 0;
  const TCtlPlan& c = plan_.Controls[size_t(i)];
  return c.Kind == TCtlKind::Edit ? c.Number : 0;
}

QLineEdit* TEntryF::EditNumber(int N) const {
  if (N < 1 || N > int(plan_.EditsArr.size())) return nullptr;
  return qobject_cast<QLineEdit*>(widgets_[size_t(plan_.EditsArr[size_t(N - 1)])]);
}

std::vector<QLineEdit*> TEntryF::DisplayEditsOf(const QWidget* W) const {
  std::vector<QLineEdit*> out;
  const int i = W ? ControlOf(const_cast<QWidget*>(W)) : -1;
  if (i < 0) return out;
  for (size_t k = size_t(i) + 1; k < plan_.Controls.size(); ++k) {
    const TCtlPlan& c = plan_.Controls[k];
    if (c.Kind == TCtlKind::DropButton) continue;
    const bool display = c.Kind == TCtlKind::DisplayEdit || (c.Kind == TCtlKind::Edit && IsPseudoFieldSlot(c.Tag));
    if (!display) break;
    out.push_back(qobject_cast<QLineEdit*>(widgets_[k]));
  }
  return out;
}

void TEntryF::SetProgramText(QLineEdit* Edit, const std::string& Text) {
  if (!Edit) return;
  const TProgramChange guard(Dropdown);
  Edit->setText(WidgetText(Text));
}

bool TEntryF::IsLimitedSortField(int Slot) const {
  if (!LimitDD1 || !LimitDD1->isChecked() || Trim(Store.IndexRecs.Names[1]).empty()) return false;
  const int id = Slot >= 1 && Slot <= MaxFields ? Store.FldTable[Slot].FldId : 0;
  return id != 0 && (Store.IndexRecs.SortFld(1, 1) == id || Store.IndexRecs.SortFld(1, 2) == id);
}

void TEntryF::CloseLookupFiles() {
  HideDropdown();
  ClearDropdown();
  Dropdown = TDropdownState();
  LimitedEdit = nullptr;
  CloseTemplateLookupFiles();
  try {
    CloseValidationFiles();
  } catch (const EAbort&) {
    // A family file the engine would not close: the next open retries it.
  }
}

// ---- the panel ----

void TEntryF::ClearDropdown() {
  ListRows.Clear();
  ShowDropdownRows();
}

void TEntryF::ShowDropdownRows() {
  const int rows = std::max(shownRows_, ListRows.Filled);
  for (int r = 0; r < rows && r <= LastDropdownRow; ++r) {
    for (int c = 0; c < DropdownColCount; ++c)
      DropdownGrid->setData(DropdownGrid->index(r, c), WidgetText(ListRows.Cell(c, r)));
  }
  shownRows_ = ListRows.Filled;
}

void TEntryF::ShowDropdown() {
  if (Dropdown.EditNo == 0) return;
  QLineEdit* edit = EditNumber(Dropdown.EditNo);
  const int slot = SlotOf(edit);
  if (!edit || slot < 1) return;
  if (Store.FldTable[slot].RightJustify && !Dropdown.Typed) return;
  if (IsLimitedSortField(slot) && Store.FldTable[slot].IsLookup) {
    RunLimitedFind(edit);
    return;
  }
  ListPanel->show();
  ListPanel->raise();
  ListPanel->adjustSize();
  // A list under a low field reaches below the fields: the scrolled area
  // grows to hold it.
  const int bottom = ListPanel->geometry().bottom() + 1;
  if (ScrollContent->height() < bottom) ScrollContent->resize(ScrollContent->width(), bottom);
  ScrollBox1->ensureWidgetVisible(ListPanel, 0, 0);
  StringGrid1->scrollToTop();
  Dropdown.Visible = true;
}

void TEntryF::HideDropdown() {
  if (SBHideList) SBHideList->hide();
  ListPanel->hide();
  Dropdown.Visible = false;
  Dropdown.Typed = false;
}

void TEntryF::ShowHideListButton(int ButtonNo) {
  if (ButtonNo < 1 || ButtonNo > int(plan_.DropButtons.size())) return;
  const QWidget* button = widgets_[size_t(plan_.DropButtons[size_t(ButtonNo - 1)])];
  SBHideList->setGeometry(button->geometry());
  SBHideList->show();
  SBHideList->raise();
}

void TEntryF::PlaceDropdownPanel(int EditLeft, int& TotalWidth) {
  const int clientWidth = ScrollBox1->viewport()->width();
  const int nudge = EditLeft < 1 ? PanelNudge : 0;
  int left = EditLeft - 2 + nudge;
  if (clientWidth - left - 16 < TotalWidth) left = EditLeft - PanelShift + nudge;
  if (clientWidth - left - 38 < TotalWidth) TotalWidth = clientWidth - left - 38;
  StringGrid1->setFixedWidth(TotalWidth + 10);
  const QLineEdit* edit = EditNumber(Dropdown.EditNo);
  const int top = edit ? edit->geometry().bottom() + EditBottomGap : 0;
  ListPanel->adjustSize();
  ListPanel->move(std::max(0, left), top);
}

// ---- rows ----

void TEntryF::TakeGridRow() {
  GuardEvent([this] {
    gridClicked_ = true;
    StringGrid1Click();
    gridClicked_ = false;
  });
}

int TEntryF::DropdownRow() const {
  const QModelIndex i = StringGrid1->currentIndex();
  return i.isValid() ? i.row() : 0;
}

void TEntryF::MoveDropdownRow(int Row) {
  Row = std::clamp(Row, 0, LastDropdownRow);
  StringGrid1->setCurrentIndex(DropdownGrid->index(Row, 0));
  StringGrid1->scrollTo(DropdownGrid->index(Row, 0));
  StringGrid1Click();
}

void TEntryF::SelectTypedRow(QLineEdit* Edit, int FirstRow) {
  const int slot = SlotOf(Edit);
  if (slot < 1) return;
  TFld& f = Store.FldTable[slot];
  TTypedRowInput in;
  in.EditText = EditText(Edit);
  in.UserChanged = Dropdown.Typed;
  if (f.RightJustify && Dropdown.Typed && !in.EditText.empty())
    in.Search = RightJustifyText(in.EditText, plan_.Controls[size_t(ControlOf(Edit))].MaxLength);
  in.Remembered = f.ReservedText;
  in.NameLookup = (Dropdown.Source == TListSource::Client && FamilyLookup.ClientByKey3) ||
                  (Dropdown.Source == TListSource::Employee && FamilyLookup.EmpByKey3);
  in.FirstRow = FirstRow;
  in.Chosen = f.ReservedBytes;
  in.ClientAndCase = FamilyLookup.CaseKeyOption;
  const TRowChoice choice = ChooseTypedRow(ListRows, Dropdown, in);
  MoveDropdownRow(choice.Row);
  if (!choice.SetText) return;
  SetProgramText(Edit, choice.Text);
  if (choice.SelLength < 0) {
    Edit->selectAll();
  } else {
    Edit->setSelection(choice.SelStart, choice.SelLength);
  }
}

void TEntryF::SelectLastRow() { MoveDropdownRow(std::max(0, ListRows.Filled - 1)); }

// After a backward fill the row before the former first one.
void TEntryF::SelectRowAfterBackFill(int FirstRow) { MoveDropdownRow(std::max(0, FirstRow - 1)); }

void TEntryF::FillDropdown(QLineEdit* Edit, int Direction) {
  const int slot = SlotOf(Edit);
  if (!Edit || slot < 1) return;
  const TFld& f = Store.FldTable[slot];
  if (f.LkpTarget.find(".lst") != std::string::npos) return;
  const THourglass hourglass;
  std::string text = EditText(Edit);
  if (f.RightJustify && Dropdown.Typed && !text.empty())
    text = RightJustifyText(text, plan_.Controls[size_t(ControlOf(Edit))].MaxLength);
  DropdownReader.ValueOf = [this](int Slot) {
    for (size_t n = 1; n <= plan_.EditsArr.size(); ++n) {
      QLineEdit* e = EditNumber(int(n));
      if (e && SlotOf(e) == Slot) return EditText(e);
    }
    return Store.FldTable[Slot].CurValue;
  };
  const bool wasVisible = Dropdown.Visible;
  const TFillResult r = DropdownReader.Fill(text, Direction);
  ShowDropdownRows();
  if (r.Outcome == TFillOutcome::NeedClient) {
    HideDropdown();
    if (QLineEdit* client = EditNumber(plan_.Keys.ClientEdit)) Focus->FocusControl(client);
    return;
  }
  if (r.Outcome != TFillOutcome::Filled) {
    HideDropdown();
    return;
  }
  if (Direction != FillBackward && Trim(EditText(Edit)).empty() &&
      !(FamilyLookup.CaseKeyOption && Dropdown.ClientCode.empty()))
    return;
  if (!wasVisible && ListRows.Filled > 0) {
    ShowDropdown();
    ShowHideListButton(f.ReservedInt);
  }
  if (Direction == FillBackward) {
    SelectRowAfterBackFill(r.FirstRow);
  } else {
    SelectTypedRow(Edit, r.FirstRow);
  }
}

void TEntryF::ReadOnFromRow(QLineEdit* Edit, int Row) {
  SetProgramText(Edit, TrimRight(ListRows.Cell(0, Row)));
  FillDropdown(Edit, FillReadOn);
}

// ---- opening ----

void TEntryF::OpenDropdown(QLineEdit* Edit) {
  const int slot = SlotOf(Edit);
  if (slot < 1) return;
  if (Store.FldTable[slot].RightJustify) Dropdown.Typed = true;
  if (EditText(Edit).empty()) Dropdown.MovingByKeys = false;
  ShowDropdown();
  ShowHideListButton(Store.FldTable[slot].ReservedInt);
  if (IsLimitedSortField(slot) && Store.FldTable[slot].IsLookup) return;
  FillDropdown(Edit, 0);
}

void TEntryF::SBShowListClick(QWidget* Sender, TEntryEventArgs&) {
  const int tag = Sender ? Sender->property("tag").toInt() : -1;
  if (tag == 0) {
    HideDropdown();
    return;
  }
  if (tag < 1 || tag > LastFieldSlot) return;
  QLineEdit* edit = nullptr;
  for (size_t n = 1; n <= plan_.EditsArr.size() && !edit; ++n) {
    QLineEdit* e = EditNumber(int(n));
    if (e && SlotOf(e) == tag && plan_.Controls[size_t(plan_.EditsArr[n - 1])].Kind == TCtlKind::Edit) edit = e;
  }
  if (!edit) return;
  if (Focus && Focus->Current() != edit) Focus->FocusControl(edit);
  if (LimitDD1 && LimitDD1->isChecked()) LimitedEdit = edit;
  OpenDropdown(edit);
}

void TEntryF::DropdownTextChange(QWidget* Sender, TEntryEventArgs&) {
  auto* edit = qobject_cast<QLineEdit*>(Sender);
  if (!edit || Dropdown.ProgramChange || EditNumberOf(edit) != Dropdown.EditNo || Dropdown.EditNo == 0) return;
  Dropdown.Typed = true;
  OpenDropdown(edit);
}

void TEntryF::FamilyLookupEnter(QWidget* Sender, TEntryEventArgs&) {
  auto* edit = qobject_cast<QLineEdit*>(Sender);
  const int slot = SlotOf(edit);
  if (!edit || slot < 1) return;
  const THourglass hourglass;
  if (edit->text().isEmpty()) edit->selectAll();
  const int number = EditNumberOf(edit);
  if (number == Dropdown.EditNo && Dropdown.Typed) return;
  if (Dropdown.Visible) {
    if (Dropdown.KeepList) {
      StringGrid1->scrollTo(StringGrid1->currentIndex());
      return;
    }
    HideDropdown();
  }
  ClearDropdown();
  TFld& f = Store.FldTable[slot];
  const int code = LookupCodeOf(f);
  Dropdown.EditNo = number;
  Dropdown.Slot = slot;
  Dropdown.Typed = false;
  Dropdown.Target = nullptr;
  Dropdown.HasListStart = false;
  Dropdown.KeepIds = !f.LkpKeyUnique;
  const std::string text = Trim(EditText(edit));
  if (code == ClientCodeCode) Dropdown.ClientCode = text;
  if (code == CaseCode) Dropdown.CaseCode = f.RightJustify ? Format("%7s", text) : text;
  if (code == EmpCode) Dropdown.EmpCode = text;
  if (OpenValidationForLookup(code, slot) != 1) {
    MessageDlg("This lookup is not available at this time." + ContactMsg, mtError, mbOKOnly, 0);
    HideDropdown();
    return;
  }
  Dropdown.Source = SourceOfCode(code);
  StringGrid1->setColumnWidth(0, edit->width());
  std::vector<int> widths;
  int total = edit->width() + SetDropdownColumns(slot, widths);
  for (int c = 1; c < MaxListCols; ++c) StringGrid1->setColumnWidth(c, c <= int(widths.size()) ? widths[size_t(c - 1)] : 0);
  Dropdown.DisplayCount = (f.DispCols[1] != DispColsEnd || IsPseudoFieldSlot(slot)) ? DefineDisplayColumns(slot) : 0;
  try {
    for (int id = 1; id <= HostFileId::Count; ++id)
      if (FamilyLookup.HostFileOpen[id]) OpenHostFile(id);
  } catch (const EAbort&) {
    // A translation's file that will not open shows "not found".
  }
  PlaceDropdownPanel(edit->x(), total);
}

void TEntryF::TemplateLookupEnter(QWidget* Sender, TEntryEventArgs&) {
  auto* edit = qobject_cast<QLineEdit*>(Sender);
  const int slot = SlotOf(edit);
  if (!edit || slot < 1) return;
  if (edit->text().isEmpty()) edit->selectAll();
  const int number = EditNumberOf(edit);
  if (number == Dropdown.EditNo && Dropdown.Typed) return;
  HideDropdown();
  ClearDropdown();
  // The family lookup's tables go; the template's case key option stays.
  const bool caseKeyOption = FamilyLookup.CaseKeyOption;
  try {
    CloseValidationFiles();
  } catch (const EAbort&) {
  }
  FamilyLookup.CaseKeyOption = caseKeyOption;
  const TFld& f = Store.FldTable[slot];
  Dropdown.DisplayCount = -1;
  Dropdown.KeepIds = !f.LkpKeyUnique;
  Dropdown.EditNo = number;
  Dropdown.Slot = slot;
  Dropdown.Typed = false;
  Dropdown.HasListStart = false;
  Dropdown.Source = TListSource::Template;
  const auto control = plan_.TemplateLookups.find(slot);
  Dropdown.Target = control == plan_.TemplateLookups.end() ? nullptr : &control->second;
  OpenLookupDataFile(TemplateLookupFileNo, slot);
  int total = 0;
  for (int c = 0; c < MaxListCols; ++c) {
    const bool has = Dropdown.Target && c < int(Dropdown.Target->ListCols.size());
    StringGrid1->setColumnWidth(c, has ? Dropdown.Target->ListCols[size_t(c)].PixelWidth : 0);
  }
  if (Dropdown.Target) total = Dropdown.Target->TotalWidth;
  PlaceDropdownPanel(edit->x(), total);
}

void TEntryF::OwnIndexEnter(QWidget* Sender, TEntryEventArgs&) {
  auto* edit = qobject_cast<QLineEdit*>(Sender);
  const int slot = SlotOf(edit);
  HideDropdown();
  ClearDropdown();
  Dropdown.EditNo = 0;
  if (!edit || slot < 1) return;
  std::vector<int> sortSlots;
  try {
    sortSlots = IndexSortSlots(1);
  } catch (const ERecordCodec&) {
  }
  if (std::find(sortSlots.begin(), sortSlots.end(), slot) == sortSlots.end()) return;
  const TFld& f = Store.FldTable[slot];
  Dropdown.EditNo = EditNumberOf(edit);
  Dropdown.Slot = slot;
  Dropdown.Typed = false;
  Dropdown.KeepIds = false;
  Dropdown.Target = nullptr;
  Dropdown.HasListStart = false;
  Dropdown.Source = TListSource::OwnIndex;
  Dropdown.OwnPos = f.Offset;
  Dropdown.OwnWidth = f.KeyWidth;
  StringGrid1->setColumnWidth(0, edit->width() + OwnIndexExtra);
  for (int c = 1; c < MaxListCols; ++c) StringGrid1->setColumnWidth(c, 0);
  int total = edit->width() + OwnIndexExtra;
  PlaceDropdownPanel(edit->x(), total);
}

// ---- keys ----

bool TEntryF::ListKey(QLineEdit* Edit, TEntryEventArgs& Args) {
  const bool alt = Args.Shift & Qt::AltModifier;
  switch (Args.Key) {
    case Qt::Key_PageUp:
    case Qt::Key_PageDown:
      SBPgDnClick(Args.Key == Qt::Key_PageUp ? SBPgUp : SBPgDn);
      Args.Key = 0;
      return true;
    case Qt::Key_Backspace:
    case Qt::Key_Delete:
      Dropdown.Typed = true;
      return true;
    case Qt::Key_Return:
    case Qt::Key_Enter:
      HideDropdown();
      return true;
    case Qt::Key_Up:
      if (!Dropdown.Visible) return true;
      Args.Key = 0;
      Dropdown.MovingByKeys = true;
      if (alt) {
        HideDropdown();
      } else if (DropdownRow() > 0) {
        MoveDropdownRow(DropdownRow() - 1);
      } else {
        FillDropdown(Edit, 1);
      }
      return true;
    case Qt::Key_Down: {
      Args.Key = 0;
      if (!Dropdown.Visible) {
        if (alt) OpenDropdown(Edit);
        return true;
      }
      const int row = DropdownRow();
      if (row >= LastDropdownRow) {
        MessageDlg(MaxRowsMsg, mtInformation, mbOKOnly, 0);
      } else if (row + 1 < ListRows.Filled) {
        Store.FldTable[SlotOf(Edit)].ReservedText = EditText(Edit).substr(0, 3);
        MoveDropdownRow(row + 1);
      } else if (ListRows.Filled > 0) {
        // Past the rows read: the list goes on from the last one.
        ReadOnFromRow(Edit, row);
      }
      return true;
    }
    default:
      return false;
  }
}

void TEntryF::DropdownKeyDown(QWidget* Sender, TEntryEventArgs& Args) {
  auto* edit = qobject_cast<QLineEdit*>(Sender);
  const int slot = SlotOf(edit);
  if (!edit || slot < 1) return;
  TFld& f = Store.FldTable[slot];
  if (IsLimitedSortField(slot)) {
    if (Args.Key == Qt::Key_Escape || Args.Key == Qt::Key_Delete) {
      SetProgramText(edit, "");
      Dropdown.MovingByKeys = false;
    }
    return;
  }
  if (Args.Key == Qt::Key_Space) {
    Args.Key = 0;
    if (!f.RightJustify) return;
    for (const int b : plan_.DropButtons) {
      if (plan_.Controls[size_t(b)].Tag != slot) continue;
      TEntryEventArgs click;
      SBShowListClick(widgets_[size_t(b)], click);
      break;
    }
    return;
  }
  if (Args.Key == Qt::Key_Escape) {
    SetProgramText(edit, "");
    std::vector<QLineEdit*> displays = DisplayEditsOf(edit);
    if (f.LkpKind == "L" && slot == plan_.Keys.ClientSlot && plan_.Keys.CaseEdit != 0) {
      QLineEdit* caseEdit = EditNumber(plan_.Keys.CaseEdit);
      displays.push_back(caseEdit);
      const std::vector<QLineEdit*> caseDisplays = DisplayEditsOf(caseEdit);
      displays.insert(displays.end(), caseDisplays.begin(), caseDisplays.end());
    }
    for (QLineEdit* d : displays) SetProgramText(d, "");
    // An emptied key field names no client, case or employee any more.
    if (slot == plan_.Keys.ClientSlot) Dropdown.ClientCode.clear();
    if (slot == plan_.Keys.ClientSlot || slot == plan_.Keys.CaseSlot) Dropdown.CaseCode.clear();
    if (slot == plan_.Keys.EmpSlot) Dropdown.EmpCode.clear();
    HideDropdown();
    return;
  }
  if (ListKey(edit, Args)) return;
  // Typing ends a move by keys: the rows the typing selects leave the text.
  Dropdown.MovingByKeys = false;
  if (f.RightJustify && Dropdown.Visible) {
    HideDropdown();
    SetProgramText(edit, TrimRight(EditText(edit)));
  } else {
    f.ReservedBytes = {};
  }
}

void TEntryF::OwnIndexKeyDown(QWidget* Sender, TEntryEventArgs& Args) {
  auto* edit = qobject_cast<QLineEdit*>(Sender);
  if (!edit || Dropdown.Source != TListSource::OwnIndex) return;
  if (Args.Key == Qt::Key_Escape) {
    SetProgramText(edit, "");
    HideDropdown();
    return;
  }
  ListKey(edit, Args);
}

// ---- the preset ----

void TEntryF::PresetFromCommandLine() {
  const TProgramChange guard(Dropdown);
  const auto preset = [this](int EditNo, int Param) {
    QLineEdit* edit = EditNumber(EditNo);
    if (!edit || (Trim(EditText(edit)).empty() && Trim(ParamStr(Param)).empty())) return false;
    Focus->FocusControl(edit);
    if (!Trim(ParamStr(Param)).empty()) SetProgramText(edit, ParamStr(Param));
    return true;
  };
  if (preset(plan_.Keys.ClientEdit, 3)) {
    preset(plan_.Keys.CaseEdit, 5);
    Focus->FocusControl(BitBtnSave);
  }
  if (plan_.Keys.EmpEdit != 0 && !Trim(ParamStr(6)).empty() && preset(plan_.Keys.EmpEdit, 6))
    Focus->FocusControl(BitBtnSave);
}
