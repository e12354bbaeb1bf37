// The entry screen's find and its two states: "&Find All" and "&Use
// Filter" over the grid view (the reading itself is entry/grid_find.h), the
// leave check, the grid view's commands, the reload of a grid row for
// editing and the clearing back to a new entry, with the status label and
// shapes that show which of the two the screen is in.
#include "entry/qt/entry_form.h"

#include "datetime/qt/date_time_picker.h"
#include "entry/field_checks.h"
#include "entry/grid_find.h"
#include "entry/qt/grid_model.h"
#include "platform/datetime_value.h"
#include "platform/date_format.h"
#include "platform/dialogs.h"
#include "platform/files.h"
#include "platform/flag_scope.h"
#include "platform/format.h"
#include "platform/qt/color.h"
#include "platform/qt/cursor.h"
#include "platform/qt/exception_reporter.h"
#include "platform/qt/focus_model.h"
#include "platform/qt/widget_text.h"
#include "platform/text.h"
#include "templates/family_files.h"
#include "templates/product_dates.h"
#include "templates/record_codec.h"
#include "templates/startup_globals.h"
#include "templates/store_constants.h"
#include "templates/template_state.h"
#include "templates/validation_files.h"

#include <QApplication>
#include <QCheckBox>
#include <QFrame>
#include <QHBoxLayout>
#include <QVBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPointer>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTableView>

#include <algorithm>
#include <cmath>

namespace {

const char* const NewEntryText = "New entry";
const char* const LastModifiedText = "Entry last modified ";
const char* const CancelRecordMsg = "Cancel this record?";
const char* const NoRecordsMsg = "No records to display!";
const char* const PrecedingMsg = "Proceeding index values must be non-blank for this function to work.";
const char* const ReadFailureMsg = "You will not be able to find records in this template at this time.";
const char* const ChangedMsg =
    "Please note that the record you are about to edit has been changed since it was displayed in the grid.  The "
    "screen shows the latest values for this record.";
constexpr int ShapeSize = 14;
constexpr int EditingBarHeight = 3;
constexpr uint32_t RedColor = 0x0000FF;
constexpr int FirstCaptionTag = -80, LastCaptionTag = -99, CaptionLineBase = -79;
constexpr int8_t CaseKeyByClient = 1, CaseKeyBySuffix = 2;
constexpr int PickListRows = 8;

void SetBrush(QFrame* Shape, uint32_t Color) {
  QPalette p = Shape->palette();
  p.setColor(QPalette::Window, ToQColor(TColor(Color)));
  Shape->setPalette(p);
}

std::string PickerValue(const TdwDBCustomDateTimePicker* Picker) {
  std::string value = "0";
  if (Picker->Value() != 0) DateToYYYYMMDD(value, Picker->Value());
  return value;
}

// The date of a stored "YYYYMMDD"; false for blanks or no calendar day.
bool StoredDate(std::string_view Stored, TDateTime& Value) {
  if (Stored.size() != 8 || !std::all_of(Stored.begin(), Stored.end(), [](char c) { return c >= '0' && c <= '9'; }))
    return false;
  const int date = StrToIntDef(std::string(Stored), 0);
  return TryEncodeDate(date / 10000, date / 100 % 100, date % 100, Value);
}

}  // namespace

// ---- the screen state ----

void TEntryF::BuildEditingParts() {
  auto* top = static_cast<QHBoxLayout*>(PanelTop->layout());
  Shape2 = new QFrame(PanelTop);
  Shape2->setObjectName("Shape2");
  Shape2->setFixedSize(ShapeSize, ShapeSize);
  Shape2->setAutoFillBackground(true);
  // The status label with the editing mark, a red bar, under it.
  auto* state = new QVBoxLayout;
  state->setSpacing(1);
  LabelEditing = new QLabel(PanelTop);
  LabelEditing->setObjectName("LabelEditing");
  ShapeEditing = new QFrame(PanelTop);
  ShapeEditing->setObjectName("ShapeEditing");
  ShapeEditing->setFixedHeight(EditingBarHeight);
  ShapeEditing->setAutoFillBackground(true);
  SetBrush(ShapeEditing, RedColor);
  state->addWidget(LabelEditing);
  state->addWidget(ShapeEditing);
  top->addWidget(Shape2);
  top->addLayout(state);
  ShowEditingState("");
  connect(BitBtnFind, &QPushButton::clicked, this, [this] { GuardEvent([this] { BitBtnFindClick(); }); });
  connect(BitBtnFilter, &QPushButton::clicked, this, [this] { GuardEvent([this] { BitBtnFilterClick(); }); });
  connect(BitBtnClear, &QPushButton::clicked, this, [this] { GuardEvent([this] { BitBtnClearClick(); }); });
}

// Stamp empty: a new entry; else the record's "YYYYMMDD" shown as it
// stands, month, day and year apart by the date separator.
void TEntryF::ShowEditingState(const std::string& Stamp) {
  const bool editing = !Stamp.empty();
  if (editing) {
    const std::string sep(1, FormatSettings.DateSeparator);
    const std::string s = Stamp + std::string(8 - std::min<size_t>(8, Stamp.size()), ' ');
    LabelEditing->setText(WidgetText(LastModifiedText + s.substr(4, 2) + sep + s.substr(6, 2) + sep + s.substr(0, 4)));
  } else {
    LabelEditing->setText(WidgetText(NewEntryText));
  }
  ShapeEditing->setVisible(editing);
  SetBrush(Shape2, editing ? RedColor : EntryColor::Navy);
  BitBtnFind->setEnabled(!editing);
  BitBtnFilter->setEnabled(!editing);
}

// ---- controls by field ----

int TEntryF::ControlOfSlot(int Slot) const {
  for (size_t i = 0; i < plan_.Controls.size() && i < widgets_.size(); ++i) {
    const TCtlPlan& c = plan_.Controls[i];
    if (c.Tag == Slot && c.Kind != TCtlKind::DisplayEdit && c.Kind != TCtlKind::DropButton) return int(i);
  }
  return -1;
}

std::string TEntryF::ControlValue(int Slot) const {
  const int i = ControlOfSlot(Slot);
  if (i < 0) return "";
  QWidget* w = widgets_[size_t(i)];
  switch (plan_.Controls[size_t(i)].Kind) {
    case TCtlKind::DatePicker:
      return PickerValue(static_cast<TdwDBCustomDateTimePicker*>(w));
    case TCtlKind::CheckBox:
      return static_cast<QCheckBox*>(w)->isChecked() ? "Y" : "N";
    case TCtlKind::Memo:
      return Trim(StoredText(static_cast<QPlainTextEdit*>(w)->toPlainText()));
    case TCtlKind::DocPanel: {
      const QLineEdit* doc = w->findChild<QLineEdit*>();
      return doc ? StoredText(doc->text()) : std::string();
    }
    default:
      return Trim(StoredText(static_cast<QLineEdit*>(w)->text()));
  }
}

bool TEntryF::ScreenChanged() const {
  for (const TCtlPlan& c : plan_.Controls) {
    if (c.Tag < 1 || c.Kind == TCtlKind::DisplayEdit || c.Kind == TCtlKind::DropButton) continue;
    if (ControlValue(c.Tag) != Trim(Store.FldTable[c.Tag].CurValue)) return true;
  }
  return false;
}

void TEntryF::TakeRecallValues() {
  for (const TCtlPlan& c : plan_.Controls) {
    if (c.Tag < 1 || c.Kind == TCtlKind::DisplayEdit || c.Kind == TCtlKind::DropButton) continue;
    Store.FldTable[c.Tag].PrevValue = ControlValue(c.Tag);
  }
}

std::vector<std::string> TEntryF::ScreenSortValues() const {
  std::vector<std::string> values;
  for (const TKeyRange& r : IndexKeyRanges(1)) {
    std::string v = ControlValue(r.Slot);
    const char type = Store.FldTable[r.Slot].FldType;
    if (type == 'D' && v == "0") v.clear();
    // A value wider than its key part cannot be typed; cut to be sure.
    if (type != 'D' && type != 'B' && v.size() > r.Width) v.resize(r.Width);
    values.push_back(v);
  }
  return values;
}

namespace {

// One F2 to the control that holds the window's focus when it arrives,
// queued behind the moves the one before posted (a recall tabs on), so
// each replay recalls into the field the last one moved to.
void ReplayF2(QWidget* Window, int Left) {
  if (Left <= 0) return;
  const QPointer<QWidget> window(Window);
  QMetaObject::invokeMethod(
      Window,
      [window, Left] {
        QWidget* at = window ? window->focusWidget() : nullptr;
        if (!at) return;
        QKeyEvent press(QEvent::KeyPress, Qt::Key_F2, Qt::NoModifier);
        QApplication::sendEvent(at, &press);
        ReplayF2(window, Left - 1);
      },
      Qt::QueuedConnection);
}

}  // namespace

void TEntryF::FocusRoutine() {
  // The first field first: the replays start from it, not from the button
  // that ran the find or the clearing.
  [&] {
    for (const std::vector<int>* list :
         {&plan_.EditsArr, &plan_.Dates, &plan_.CheckBoxes, &plan_.Memos, &plan_.DocPanels}) {
      for (int i : *list) {
        QWidget* w = widgets_[size_t(i)];
        if (plan_.Controls[size_t(i)].Kind == TCtlKind::DocPanel) w = w->findChild<QLineEdit*>();
        if (plan_.Controls[size_t(i)].TabOrder != 0 || !w || !w->isVisible() || !Focus) continue;
        Focus->FocusControl(w);
        return;
      }
    }
  }();
  ReplayF2(this, F2Replays);
}

// ---- the find ----

void TEntryF::BitBtnFindClick() { RunFind(false); }

void TEntryF::BitBtnFilterClick() { RunFind(true); }

void TEntryF::RunFind(bool Filter) {
  TEGridF* grid = GridView();
  const bool reread = FindByMsg;
  const bool indexChange = grid->IndexChange;
  // The re-read inside an exit's find is no exit check of its own.
  const bool exitCheck = !reread && Dropdown.FoundByExit;
  const bool columnLookup = ColumnLookupSlot > 0;
  // An exit's find that opens no record leaves no mode behind; one that
  // opens it keeps the flag for the save the move began, until the clearing.
  struct TExitModeEnd {
    TEntryF& E;
    bool ExitCheck;
    ~TExitModeEnd() {
      if (ExitCheck && !E.Editing) E.Dropdown.FoundByExit = false;
    }
  } exitModeEnd{*this, exitCheck};
  if (grid->isVisible() && !indexChange && !Editing && !reread) {
    grid->raise();
    grid->activateWindow();
    return;
  }
  const THourglass hourglass;
  int editedRow = -1;
  if (!reread) {
    if (Editing) {
      editedRow = grid->CurrentRow();
      BitBtnClearClick();
    } else if (!columnLookup && !exitCheck && !Filter && !indexChange) {
      // No keeps what was typed; the find goes on either way.
      if (!ScreenChanged() || MessageDlg(CancelRecordMsg, mtConfirmation, mbYesNo) == mrYes) BitBtnClearClick();
    }
  }
  TFindRequest request;
  request.Mode = reread         ? TFindMode::Reread
                 : columnLookup ? TFindMode::ColumnLookup
                 : exitCheck    ? TFindMode::ExitCheck
                 : indexChange  ? TFindMode::IndexChange
                 : Filter       ? TFindMode::Filter
                                : TFindMode::FindAll;
  request.IndexNo = grid->CurrentIndex;
  request.SortValues = ScreenSortValues();
  request.LookupSlot = ColumnLookupSlot;
  request.Row = grid->CurrentRow();
  // A new key order re-sorts what the grid shows: a filter's rows stay it.
  if (!indexChange && !reread) findFilter_ = Filter;
  request.Filtered = findFilter_;
  TGridReader reader(plan_.TemplateLookups, plan_.Keys.ClientSlot);
  const TFindResult result = reader.Read(grid->Table, request);
  switch (result.Outcome) {
    case TFindOutcome::Done:
      break;
    case TFindOutcome::NoRecords:
      MessageDlg(NoRecordsMsg, mtInformation, mbOKOnly);
      return;
    case TFindOutcome::MissingPreceding:
      MessageDlg(PrecedingMsg, mtError, mbOKOnly);
      return;
    case TFindOutcome::ReadFailed:
      MessageDlg(result.Error + "\r\r" + ReadFailureMsg + ContactMsg, mtError, mbOKOnly);
      return;
    case TFindOutcome::NotOpen:
    case TFindOutcome::NothingPositioned:
      return;
  }
  if (reread && result.Changed) MessageDlg(ChangedMsg, mtInformation, mbOKOnly);
  grid->OpenedByExitCheck = exitCheck;
  grid->RowsChanged();
  if (exitCheck && result.FoundRow >= 0) {
    grid->SelectRow(result.FoundRow);
    grid->BitBtnEditClick();
    return;
  }
  // The row rewritten, or the one being edited before, or the first.
  const int select = reread ? request.Row : editedRow;
  grid->SelectRow(select >= 0 && select < grid->Table.RowCount() ? select : 0);
  const std::string format = grid->FormatFileName();
  if (!columnLookup && !reread && !format.empty() && FileExists(format)) grid->LoadGridFormat(format);
  if (columnLookup) {
    // The compact list shows its eight rows, blank ones below a short list.
    while (grid->Table.RowCount() < PickListRows) grid->Table.AppendRow({}, "", "");
    QLineEdit* edit = EditOfSlot(ColumnLookupSlot);
    const std::vector<TFindColumn>& columns = reader.Columns();
    const int column =
        int(std::find(columns.begin(), columns.end(), TFindColumn{ColumnLookupSlot, 0}) - columns.begin()) + 1;
    ShowGridView(true, edit, column);
    grid->setWindowTitle(WidgetText(Trim(grid->Table.Header(column))));
    grid->Model->Refresh();
    grid->show();
    return;
  }
  if (exitCheck) return;
  if (reread) {
    grid->StringGridFind->viewport()->update();
    return;
  }
  if (Focus && BitBtnFind->isEnabled()) Focus->FocusControl(BitBtnFind);
  ShowGridView(false);
  TakeRecallValues();
  grid->show();
  grid->raise();
  if (!Editing) FocusRoutine();
}

void TEntryF::RunLimitedFind(QWidget* Edit) {
  const int slot = SlotOf(Edit);
  if (slot < 1 || slot > MaxFields) return;
  LimitedEdit = Edit;
  ColumnLookupSlot = slot;
  try {
    BitBtnFindClick();
  } catch (...) {
    ColumnLookupSlot = 0;
    throw;
  }
  ColumnLookupSlot = 0;
}

// ---- the grid view's commands ----

void TEntryF::GridAction(char Command, const std::string& TemplateName) {
  if (Trim(TemplateName) != Trim(StoredText(LabelTableName->text()))) return;
  GuardEvent([&] {
    TEGridF* grid = GridView();
    switch (Command) {
      case GridCommand::Closed:
        BitBtnClearClick();
        break;
      case GridCommand::ClosedInPickMode: {
        if (!isEnabled()) setEnabled(true);
        const QModelIndex at = grid->StringGridFind->currentIndex();
        QLineEdit* edit = EditNumber(Dropdown.EditNo);
        if (edit && at.isValid() && at.row() < grid->Table.RowCount())
          SetProgramText(edit, TrimRight(grid->Table.Cell(at.row(), at.column())));
        ShowGridView(false);
        break;
      }
      case GridCommand::EditRow: {
        const TFlagScope reread(FindByMsg);
        BitBtnFindClick();
        LoadRecordFromGrid();
        CloseGridView();
        break;
      }
      case GridCommand::SortOrderChanged:
        BitBtnFindClick();
        grid->StringGridFind->viewport()->update();
        break;
      default:
        break;
    }
  });
}

// ---- clearing ----

void TEntryF::ClearControl(int I) {
  const TCtlPlan& c = plan_.Controls[size_t(I)];
  QWidget* w = widgets_[size_t(I)];
  const bool reset = Startup.AutoClear;
  TFld* f = c.Tag >= 1 ? &Store.FldTable[c.Tag] : nullptr;
  switch (c.Kind) {
    case TCtlKind::Edit:
    case TCtlKind::DisplayEdit: {
      auto* edit = static_cast<QLineEdit*>(w);
      if (reset) SetProgramText(edit, f && c.Kind == TCtlKind::Edit ? f->Default : std::string());
      if (f && c.Kind == TCtlKind::Edit) f->CurValue = Trim(StoredText(edit->text()));
      break;
    }
    case TCtlKind::DatePicker: {
      auto* picker = static_cast<TdwDBCustomDateTimePicker*>(w);
      TDateTime value = 0;
      // A default that names no date is an empty one.
      const bool dated = f->Default != "0" && !f->Default.empty() && TryStrToDate(f->Default, value);
      if (f->Default == "0") {
        picker->clear();
        f->CurValue = "0";
      } else if (dated) {
        if (reset) picker->SetDate(std::trunc(value));
        f->CurValue = PickerValue(picker);
      } else {
        if (picker->Value() == 0) picker->SetDate(Startup.WorkDate);
        f->CurValue = PickerValue(picker);
      }
      break;
    }
    case TCtlKind::CheckBox: {
      auto* box = static_cast<QCheckBox*>(w);
      if (reset) box->setChecked(false);
      f->CurValue = box->isChecked() ? "Y" : "N";
      break;
    }
    case TCtlKind::Memo: {
      auto* memo = static_cast<QPlainTextEdit*>(w);
      if (reset) memo->setPlainText(WidgetText(f->Default));
      f->CurValue = Trim(StoredText(memo->toPlainText()));
      break;
    }
    case TCtlKind::DocPanel: {
      QLineEdit* doc = w->findChild<QLineEdit*>();
      if (!doc) break;
      if (reset) doc->clear();
      f->CurValue = StoredText(doc->text());
      break;
    }
    case TCtlKind::DropButton:
      break;
  }
}

void TEntryF::BitBtnClearClick() {
  Dropdown.TypeAheadOff = true;
  Dropdown.FoundByExit = false;
  const TFlagScope clearing(Dropdown.ClearInProgress);
  const TProgramChange program(Dropdown);
  size_t width = 0;
  for (const TKeyRange& r : IndexKeyRanges(1)) width += r.Width;
  IndexKey.assign(width, ' ');
  if (Editing) {
    PendingFind = false;
    Editing = false;
    LoadedRecord.clear();
    ShowEditingState("");
    CloseGridView();
  }
  // Each control on its own: one that fails leaves the others cleared.
  for (size_t i = 0; i < plan_.Controls.size() && i < widgets_.size(); ++i)
    GuardEvent([&] { ClearControl(int(i)); });
  for (QWidget* list : std::initializer_list<QWidget*>{ListBoxClient, ListboxCase, ListBoxEmp}) {
    if (!list->isVisible()) continue;
    list->hide();
    break;
  }
  FocusRoutine();
}

// ---- the reload ----

void TEntryF::LoadControl(int I, const std::string& Cell) {
  const TCtlPlan& c = plan_.Controls[size_t(I)];
  QWidget* w = widgets_[size_t(I)];
  const std::string text = TrimRight(Cell);
  switch (c.Kind) {
    case TCtlKind::Edit:
    case TCtlKind::DisplayEdit:
      SetProgramText(static_cast<QLineEdit*>(w), text);
      break;
    case TCtlKind::DatePicker: {
      // The stored date itself: the cell's text depends on the short date
      // format and would come back another date.
      auto* picker = static_cast<TdwDBCustomDateTimePicker*>(w);
      const std::string_view rec(reinterpret_cast<const char*>(Store.TplRec.data()), Store.TplRec.size());
      TDateTime value = 0;
      if (StoredDate(StoredTextOf(Store.FldTable[c.Tag], rec), value)) {
        picker->SetDate(value);
      } else {
        picker->clear();
      }
      break;
    }
    case TCtlKind::CheckBox:
      static_cast<QCheckBox*>(w)->setChecked(text == "Y");
      break;
    case TCtlKind::Memo:
      static_cast<QPlainTextEdit*>(w)->setPlainText(WidgetText(text));
      break;
    case TCtlKind::DocPanel:
      if (QLineEdit* doc = w->findChild<QLineEdit*>()) doc->setText(WidgetText(text));
      break;
    case TCtlKind::DropButton:
      break;
  }
  if (c.Tag >= 1 && c.Kind != TCtlKind::DisplayEdit && c.Kind != TCtlKind::DropButton)
    Store.FldTable[c.Tag].CurValue = ControlValue(c.Tag);
}

void TEntryF::LoadRecordFromGrid() {
  TEGridF* grid = GridView();
  const int row = grid->CurrentRow();
  if (row < 0 || row >= grid->Table.RowCount()) return;
  Dropdown.TypeAheadOff = true;
  const TProgramChange program(Dropdown);
  Editing = true;
  LoadedRecord.assign(Store.TplRec.begin(), Store.TplRec.end());
  // Column c shows row c of the screen.
  for (size_t i = 0; i < plan_.Controls.size() && i < widgets_.size(); ++i) {
    const TCtlPlan& c = plan_.Controls[i];
    if (c.Kind == TCtlKind::DropButton || c.Row < 1 || c.Row >= grid->Table.KeyColumn()) continue;
    LoadControl(int(i), grid->Table.Cell(row, c.Row));
  }
  const std::string_view rec(reinterpret_cast<const char*>(Store.TplRec.data()), Store.TplRec.size());
  IndexKey = IndexKeyText(rec, 1);
  const auto code = [&](int Slot) { return Slot > 0 ? Trim(StoredTextOf(Store.FldTable[Slot], rec)) : std::string(); };
  Dropdown.ClientCode = code(plan_.Keys.ClientSlot);
  Dropdown.EmpCode = code(plan_.Keys.EmpSlot);
  Dropdown.CaseCode = code(plan_.Keys.CaseSlot);
  if (plan_.Keys.CaseSlot > 0 && Store.FldTable[plan_.Keys.CaseSlot].RightJustify)
    Dropdown.CaseCode = Format("%7s", Dropdown.CaseCode);
  ReloadCaseCaptions(Dropdown.ClientCode, Dropdown.CaseCode);
  ShowEditingState(std::string(RecordStampOf(rec)));
  activateWindow();
}

void TEntryF::ReloadCaseCaptions(const std::string& Client, const std::string& Case) {
  std::vector<QLabel*> captions;
  for (QLabel* l : labels_) {
    const int tag = l->property("tag").toInt();
    if (tag <= FirstCaptionTag && tag >= LastCaptionTag) captions.push_back(l);
  }
  if (captions.empty()) return;
  std::string billFormat;
  bool found = false;
  try {
    OpenCaseFile(CaseFileNo, CaseRec);
    found = Trim(Client).empty()
                ? ReadByKey(CaseFileNo, CaseKeyBySuffix, Format("%7s", Trim(Case)), CaseRec)
                : ReadByKey(CaseFileNo, CaseKeyByClient, CaseKey(Trim(Client), Trim(Case), true), CaseRec);
    if (found) billFormat = FieldText(CaseRec, CaseFld::AltBillFormat);
    // Its buffer too: a lookup's closing of the family files empties it.
    OpenStatementCharFile();
  } catch (const EAbort&) {
    found = false;
  }
  for (QLabel* l : captions) {
    const int n = CaptionLineBase - l->property("tag").toInt();
    l->setText(WidgetText(found ? DescriptionLineCaption(billFormat, n) : "Case Description Line " + IntToStr(n)));
  }
  try {
    BtrCloseFile(CaseFileNo);
  } catch (const EAbort&) {
    // A close that fails stays pending in the layer.
  }
}
