// The entry screen's field checks: what happens when the focus moves
// between controls, when a field is left (the numeric formatting, the
// lookup's list-only check, the find of a stored index-1 key), when a
// list row is chosen (the display rows it fills), the user lists with
// their keys and type-ahead, and the list's paging buttons. The decisions
// without widgets are entry/field_checks.h.
#include "entry/qt/entry_form.h"

#include "datetime/qt/date_time_picker.h"
#include "entry/field_checks.h"
#include "platform/dialogs.h"
#include "platform/format.h"
#include "platform/qt/cursor.h"
#include "platform/qt/exception_reporter.h"
#include "platform/qt/focus_model.h"
#include "platform/qt/widget_text.h"
#include "platform/text.h"
#include "templates/data_file_open.h"
#include "templates/family_files.h"
#include "templates/instance_messages.h"
#include "templates/product_dates.h"
#include "templates/record_codec.h"
#include "templates/startup_globals.h"
#include "templates/store_utils.h"
#include "templates/template_state.h"
#include "templates/validation_files.h"

#include <QApplication>
#include <QCheckBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStandardItemModel>
#include <QTableView>
#include <QToolButton>

#include <algorithm>

namespace {

constexpr int ClientNameSlot = 52, CaseAltIdSlot = 53, EmpNameSlot = 54;
constexpr int StatusUKind = 5;
const char* const MustEnterMsg = "A value must be entered here.";
const char* const OnlyListedMsg = "Only items that appear in the dropdown list are acceptable entries for the field ";
const char* const DuplicateCheckMsg = "Unable to check for duplicate records for  ";

std::string EditText(const QLineEdit* E) { return StoredText(E->text()); }

std::string OnlyListedText(int Slot, const std::string& FieldName) {
  switch (Slot) {
    case ClientNameSlot: return std::string(OnlyListedMsg) + "client name.";
    case CaseAltIdSlot: return std::string(OnlyListedMsg) + "alternate ID.";
    case EmpNameSlot: return std::string(OnlyListedMsg) + "employee name.";
    default: return OnlyListedMsg + FieldName + ".";
  }
}

// Up to 3 bytes: the remembered search text is stored as a 3-byte tail.
std::string SearchTextOf(const std::string& Text) { return Text.substr(0, std::min<size_t>(3, Text.size())); }

}  // namespace

// ---- helpers ----

int TEntryF::KeySlotOf(int Slot) const {
  if (Slot == ClientNameSlot) return plan_.Keys.ClientSlot;
  if (Slot == CaseAltIdSlot) return plan_.Keys.CaseSlot;
  if (Slot == EmpNameSlot) return plan_.Keys.EmpSlot;
  return Slot;
}

QLineEdit* TEntryF::EditOfSlot(int Slot) const {
  for (size_t n = 1; n <= plan_.EditsArr.size(); ++n) {
    if (plan_.Controls[size_t(plan_.EditsArr[n - 1])].Tag != Slot) continue;
    if (plan_.Controls[size_t(plan_.EditsArr[n - 1])].Kind == TCtlKind::Edit) return EditNumber(int(n));
  }
  return nullptr;
}

bool TEntryF::DisplayRowsDefined(int Slot) const {
  if (IsPseudoFieldSlot(Slot)) return true;
  if (Slot < 1) return false;
  const std::string& kind = Store.FldTable[Slot].LkpKind;
  return kind == "L" || kind == "l";
}

bool TEntryF::IsLeavingToCommand(const QWidget* To) const {
  if (!To) return false;
  return To == BitBtnCancel || To == StringGrid1 || To == BitBtnFind ||
         (To == BitBtnClear && !Dropdown.ClearInProgress) || To == BitBtnQuickEntry || To == this;
}

bool TEntryF::IsMovingToPartner(const QWidget* From, const QWidget* To) const {
  const int a = SlotOf(From), b = SlotOf(To);
  if (a < 1 || b < 1) return false;
  const auto pair = [&](int Key, int Pseudo) { return Key > 0 && ((a == Key && b == Pseudo) || (a == Pseudo && b == Key)); };
  return pair(plan_.Keys.ClientSlot, ClientNameSlot) || pair(plan_.Keys.CaseSlot, CaseAltIdSlot) ||
         pair(plan_.Keys.EmpSlot, EmpNameSlot);
}

bool TEntryF::IsLinkListOpen() const {
  return ListBoxClient->isVisible() || ListboxCase->isVisible() || ListBoxEmp->isVisible();
}

bool TEntryF::IsFieldControlActive(const QWidget* W) {
  if (!W) return false;
  return qobject_cast<const QLineEdit*>(W) || qobject_cast<const QPlainTextEdit*>(W) ||
         qobject_cast<const QCheckBox*>(W) || TdwDBCustomDateTimePicker::FromWidget(const_cast<QWidget*>(W));
}

void TEntryF::RefuseExit(QWidget* Edit) {
  moveRefused_ = true;
  if (Focus) Focus->FocusControl(Edit);
}

// ---- the focus ----

void TEntryF::ActiveControlChange(QWidget* Now) {
  if (!IsFieldControlActive(Now)) {
    if (Dropdown.Visible && qobject_cast<QPushButton*>(Now)) HideDropdown();
    return;
  }
  Dropdown.SaveAfterFind = false;
  QLineEdit* current = EditNumber(Dropdown.EditNo);
  if (Now != current) {
    if (Dropdown.Visible) HideDropdown();
    if (Now->window() == this) {
      const int number = EditNumberOf(Now);
      if (number != 0) Dropdown.EditNo = number;
    } else if (QuickEntryFocusHook) {
      QuickEntryFocusHook(Now);
    }
  }
  if (auto* edit = qobject_cast<QLineEdit*>(Now)) edit->selectAll();
}

void TEntryF::Panel1Enter(QWidget* From) {
  // A screen still being built (an instance preset to Save) keeps what it set.
  if (!From || !Focus || !isVisible() || Panel1->isAncestorOf(From)) return;
  // A button the mouse pressed keeps the focus: taken away before the
  // release, the press would end without its click.
  if (QApplication::mouseButtons() != Qt::NoButton) return;
  QWidget* target = BitBtnFind->isEnabled() ? BitBtnFind : BitBtnSave->isEnabled() ? BitBtnSave : nullptr;
  // Arriving on it already: the move stands as it is.
  if (target && target != Focus->Current()) Focus->FocusControl(target);
}

void TEntryF::StringGrid1KeyDown(TEntryEventArgs& Args) {
  if (Args.Key == Qt::Key_Tab) Dropdown.TypeAheadOff = true;
}

bool TEntryF::GridOwnKey(QKeyEvent* Event) {
  const int key = Event->key();
  if (key == Qt::Key_Tab || key == Qt::Key_Backtab) return false;
  // Enter takes the row as a click does; Escape goes back to the field.
  if (key == Qt::Key_Return || key == Qt::Key_Enter) {
    TakeGridRow();
    return true;
  }
  if (key == Qt::Key_Escape) {
    GuardEvent([this] {
      QLineEdit* edit = EditNumber(Dropdown.EditNo);
      HideDropdown();
      if (edit && Focus) Focus->FocusControl(edit);
    });
    return true;
  }
  const int before = DropdownRow();
  // The view's own handling, here, so that the row it reaches is seen.
  static_cast<QObject*>(StringGrid1)->event(Event);
  if (DropdownRow() != before) {
    GuardEvent([this] {
      Dropdown.MovingByKeys = true;
      StringGrid1Click();
    });
  }
  // A key the view leaves (Escape, Enter) goes on to the form.
  return Event->isAccepted();
}

void TEntryF::FieldClick(QWidget* Sender, TEntryEventArgs&) {
  if (auto* edit = qobject_cast<QLineEdit*>(Sender)) edit->selectAll();
}

void TEntryF::LookupKeyPress(QWidget*, TEntryEventArgs& Args) {
  if (Args.Char == QChar(' ')) Args.Char = QChar();
}

void TEntryF::FieldKeyUp(QWidget* Sender, TEntryEventArgs& Args) {
  auto* edit = qobject_cast<QLineEdit*>(Sender);
  if (!edit) return;
  const int slot = SlotOf(edit);
  const bool lookup = IsPseudoFieldSlot(slot) || (slot >= 1 && Store.FldTable[slot].IsLookup);
  if (Args.Key == Qt::Key_Space && lookup && edit->text().contains(' ')) {
    const TProgramChange guard(Dropdown);
    edit->setText(edit->text().remove(' '));
  }
  if ((Args.Key == Qt::Key_Up || Args.Key == Qt::Key_Down) && Dropdown.MovingByKeys) edit->selectAll();
}

// ---- the exit checks ----

void TEntryF::NumericFieldExit(QWidget* Sender, TEntryEventArgs&) {
  auto* edit = qobject_cast<QLineEdit*>(Sender);
  const int slot = SlotOf(edit);
  if (!edit || slot < 1 || slot > MaxFields) return;
  if (!isVisible()) return;  // closing: the screen's fields go
  const QWidget* to = Focus ? Focus->Destination() : nullptr;
  if (to == BitBtnCancel || to == BitBtnFind || to == CalBitBtn || to == BitBtnClear || to == BitBtnFilter) return;
  const std::string text = EditText(edit);
  const std::optional<std::string> shown = FormatNumericText(text, Store.FldTable[slot].Decimals);
  if (!shown) {
    MessageDlg(text + " is not a valid numeric value.", mtError, mbOKOnly, 0);
    RefuseExit(edit);
    return;
  }
  if (*shown != text) SetProgramText(edit, *shown);
}

void TEntryF::LookupExitCheck(QWidget* Sender, TEntryEventArgs&) {
  auto* edit = qobject_cast<QLineEdit*>(Sender);
  const int slot = SlotOf(edit);
  if (!edit || slot < 1) return;
  if (!isVisible()) return;  // closing: the screen's fields go
  const QWidget* to = Focus ? Focus->Destination() : nullptr;
  if (to == BitBtnFilter) return;
  TEntryEventArgs none;
  const TFld& f = Store.FldTable[KeySlotOf(slot)];
  const bool userList = !IsPseudoFieldSlot(slot) && f.LkpKind == "U";
  const std::string text = Trim(EditText(edit));
  if (userList && Dropdown.ChosenByKeys && EditNumberOf(edit) == Dropdown.EditNo) {
    StringGrid1Click();
    return LookupExitCheck(Sender, none);
  }
  const bool equalsRow = userList && RowMatchesText(ListRows, DropdownRow(), 0, text);
  if (userList && (!Dropdown.Typed || equalsRow)) return IndexFieldExit(Sender, none);
  if (IsLeavingToCommand(to)) return;
  if (text.empty()) {
    if ((DisplayRowsDefined(slot) || f.Required) && !IsMovingToPartner(edit, to) && !IsLinkListOpen()) {
      MessageDlg(MustEnterMsg, mtWarning, mbOKOnly, 0);
      RefuseExit(edit);
      return;
    }
  }
  bool accepted = text.empty();
  const std::string clientBefore = Dropdown.ClientCode;
  if (!text.empty()) {
    Dropdown.EditNo = EditNumberOf(edit);
    if (slot == ClientNameSlot) {
      accepted = MatchClientByName(edit);
    } else if (slot == EmpNameSlot) {
      accepted = MatchEmployeeByName(edit);
    } else if (KeySlotOf(slot) == plan_.Keys.CaseSlot && FamilyLookup.CaseKeyOption && Dropdown.ClientCode.empty()) {
      // No client: no case can be checked, nor kept; the case list asked
      // for the client already.
      ClearCaseField();
      accepted = true;
    } else if (userList) {
      for (int r = 0; r < ListRows.Filled && !accepted; ++r) accepted = RowMatchesText(ListRows, r, 0, text);
    } else {
      // The text is checked as if typed, right-justified where the field is.
      Dropdown.Typed = true;
      Dropdown.MovingByKeys = false;
      Dropdown.ExitInProgress = true;
      FillDropdown(edit, 0);
      HideDropdown();
      Dropdown.ExitInProgress = false;
      const int row = DropdownRow();
      accepted = RowMatchesText(ListRows, row, 0, text);
      if (accepted) StringGrid1Click();
      const int keySlot = KeySlotOf(slot);
      // The alternate id's row carries the case in column 1.
      const std::string code = Trim(ListRows.Cell(slot == CaseAltIdSlot ? 1 : 0, row));
      if (accepted && keySlot == plan_.Keys.ClientSlot) Dropdown.ClientCode = code;
      if (accepted && keySlot == plan_.Keys.CaseSlot) Dropdown.CaseCode = code;
      if (accepted && keySlot == plan_.Keys.EmpSlot) Dropdown.EmpCode = code;
    }
  }
  if (FamilyLookup.CaseKeyOption && Dropdown.ClientCode != clientBefore) ClearCaseField();
  // The rows still show the list row that typing last passed over, another
  // record's details beside a text that has none.
  if (!accepted && DisplayRowsDefined(slot)) PutFamilyDisplays(edit, false);
  if (!accepted && to != BitBtnFilter && to != CalBitBtn && f.Forced && !Startup.DirectMode) {
    window()->raise();
    window()->activateWindow();
    MessageDlg(OnlyListedText(slot, Trim(f.Name)), mtInformation, mbOKOnly, 0);
    RefuseExit(edit);
    return;
  }
  if (Dropdown.Visible) {
    if (!IsFieldControlActive(to)) return;
    HideDropdown();
  } else {
    edit->setCursorPosition(0);
  }
  IndexFieldExit(Sender, none);
}

void TEntryF::ResolveClientName(const QLineEdit* KeyEdit) {
  const std::string code = KeyEdit ? Trim(EditText(KeyEdit)) : std::string();
  if (code.empty() || Trim(FieldText(ClientRec, ClientFld::Code)) == code) return;
  if (!ReadByKey(ClientFileNo, 1, ClientKey(code), ClientRec)) ClientRec.assign(ClientRec.size(), 0);
}

void TEntryF::ResolveEmployeeName(const QLineEdit* KeyEdit) {
  const std::string code = KeyEdit ? Trim(EditText(KeyEdit)) : std::string();
  if (code.empty() || Trim(FieldText(EmpRec, EmpFld::Code)) == code) return;
  if (!ReadByKey(EmpFileNo, 1, EmployeeKey(code), EmpRec)) EmpRec.assign(EmpRec.size(), 0);
}

bool TEntryF::PseudoValueMatches(int Slot, const std::string& Text) const {
  std::string name;
  if (Slot == ClientNameSlot) {
    name = FieldText(ClientRec, ClientFld::Name);
    if (IsBlank(FieldText(ClientRec, ClientFld::Code))) return false;
    JoinNameParts(name, ClientNamePart1, ClientNamePart2);
  } else {
    name = FieldText(EmpRec, EmpFld::Name);
    if (IsBlank(FieldText(EmpRec, EmpFld::Code))) return false;
    JoinNameParts(name, EmpNamePart1, EmpNamePart2);
  }
  return !Trim(name).empty() && AnsiSameText(Trim(name), Trim(Text));
}

bool TEntryF::MatchByName(QLineEdit* Edit, std::string& Code) {
  const int slot = SlotOf(Edit);
  TFld& f = Store.FldTable[slot];
  f.ReservedBytes = {};
  const std::string text = Trim(EditText(Edit));
  if (PseudoValueMatches(slot, text)) {
    // The name of the record the key field names: that one is current.
    Code = slot == ClientNameSlot ? Trim(FieldText(ClientRec, ClientFld::Code)) : Trim(FieldText(EmpRec, EmpFld::Code));
    return true;
  }
  if (SearchTextOf(text) != f.ReservedText) f.ReservedText = SearchTextOf(text);
  Dropdown.MovingByKeys = false;
  Dropdown.ExitInProgress = true;
  FillDropdown(Edit, 0);
  HideDropdown();
  Dropdown.ExitInProgress = false;
  const int row = DropdownRow();
  if (!RowMatchesText(ListRows, row, 0, text)) return false;
  StringGrid1Click();
  Code = Trim(ListRows.Cell(1, row));
  return true;
}

bool TEntryF::MatchClientByName(QLineEdit* Edit) {
  ResolveClientName(EditOfSlot(plan_.Keys.ClientSlot));
  return MatchByName(Edit, Dropdown.ClientCode);
}

bool TEntryF::MatchEmployeeByName(QLineEdit* Edit) {
  ResolveEmployeeName(EditOfSlot(plan_.Keys.EmpSlot));
  return MatchByName(Edit, Dropdown.EmpCode);
}

void TEntryF::ClearCaseField() {
  QLineEdit* caseEdit = EditOfSlot(plan_.Keys.CaseSlot);
  if (!caseEdit) return;
  SetProgramText(caseEdit, "");
  for (QLineEdit* d : DisplayEditsOf(caseEdit)) SetProgramText(d, "");
  Dropdown.CaseCode.clear();
}

// ---- the index-1 key ----

bool TEntryF::UpdateIndexKeyText(int Slot, int& Part, const std::string& Text) {
  Part = IndexKeyPart(Slot);
  if (Part == 0) return false;
  try {
    PutIndexKeyPart(IndexKey, Part, Text);
  } catch (const ERecordCodec&) {
    return false;
  }
  const auto report = [this](std::string& Sent, const std::string& Value) {
    if (TrimRight(Value) == Sent) return;
    Sent = TrimRight(Value);
    SendEntryStatus(StatusUKind);
  };
  if (Slot == plan_.Keys.ClientSlot) report(SentClient, Text);
  if (Slot == plan_.Keys.EmpSlot) report(SentEmp, Text);
  return true;
}

void TEntryF::IndexFieldExit(QWidget* Sender, TEntryEventArgs&) {
  if (Editing || !Sender) return;
  if (!isVisible()) return;  // closing: the screen's fields go
  const QWidget* to = Focus ? Focus->Destination() : nullptr;
  if (to == BitBtnCancel || to == StringGrid1 || to == BitBtnClear || to == BitBtnFind || to == BitBtnQuickEntry ||
      to == BitBtnPrint)
    return;
  const int slot = KeySlotOf(SlotOf(Sender));
  if (slot < 1 || slot > MaxFields) return;
  std::string value;
  if (auto* picker = TdwDBCustomDateTimePicker::FromWidget(Sender)) {
    if (picker->Value() != 0) DateToYYYYMMDD(value, picker->Value());
  } else if (const QLineEdit* edit = slot == SlotOf(Sender) ? qobject_cast<QLineEdit*>(Sender) : EditOfSlot(slot)) {
    value = Trim(EditText(edit));
  }
  int part = 0;
  if (!UpdateIndexKeyText(slot, part, value)) return;
  try {
    if (!BtrIsFileOpen(OwnDataFileNo)) OpenTemplateDataFile(OwnDataFileNo);
  } catch (const EAbort&) {
    return;
  }
  if (to == BitBtnFilter || !Store.IndexUnique[1]) return;
  // The key index 1 maps to, with every part: a record found by one part
  // of a longer key is no record of these values.
  TDynCharArr found(BtrRecordLength(OwnDataFileNo));
  try {
    if (!ReadByKey(OwnDataFileNo, int8_t(DataKeyOfIndex(OwnDataFileNo, 1)), IndexKey, found)) return;
  } catch (const ERecordCodec&) {
    return;
  }
  Dropdown.FoundByExit = true;
  Dropdown.SaveAfterFind = to == BitBtnSave;
  BitBtnFindClick();
}

void TEntryF::SendEntryStatus(int Kind) {
  MsgStatusUCodes.ClientCode = Format("%-7s", Dropdown.ClientCode);
  MsgStatusUCodes.CaseCode = Format("%-7s", Dropdown.CaseCode);
  MsgStatusUCodes.EmployeeCode = Format("%-4s", Dropdown.EmpCode);
  if (Dropdown.ClientCode.empty() && !SentClient.empty()) MsgStatusUCodes.ClientCode = Format("%-7s", SentClient);
  if (Dropdown.EmpCode.empty() && !SentEmp.empty()) MsgStatusUCodes.EmployeeCode = Format("%-4s", SentEmp);
  SendHubMessage(Kind, StoredText(LabelTableName->text()), x(), y());
}

// ---- the row choice ----

void TEntryF::RememberChosenRecord(int Slot, int Row) {
  const TRowId& id = ListRows.Ids[size_t(Row)];
  Store.FldTable[Slot].ReservedBytes = id;
}

void TEntryF::StringGrid1Click() {
  QLineEdit* edit = EditNumber(Dropdown.EditNo);
  const int slot = SlotOf(edit);
  const int row = DropdownRow();
  // An exit check's refill chooses nothing until its row matches.
  if (!edit || slot < 1 || row >= ListRows.Filled || Dropdown.ExitInProgress) return;
  const TProgramChange guard(Dropdown);
  const THourglass hourglass;
  const bool clicked = gridClicked_;
  const std::string col0 = TrimRight(ListRows.Cell(0, row));
  if ((Dropdown.MovingByKeys || clicked || Dropdown.ChosenByKeys) && EditText(edit) != col0) SetProgramText(edit, col0);
  Dropdown.ChosenByKeys = false;
  if (Dropdown.HubReporting) SendEntryStatus(StatusUKind);
  TFld& f = Store.FldTable[slot];
  if (Dropdown.KeepIds) {
    f.ReservedText = SearchTextOf(col0);
    RememberChosenRecord(slot, row);
  }
  if (Dropdown.DisplayCount == -2) {
    const std::vector<QLineEdit*> displays = DisplayEditsOf(edit);
    if (!displays.empty()) SetProgramText(displays.front(), TrimRight(ListRows.Cell(1, row)));
  } else if (Dropdown.DisplayCount == -1) {
    FillTemplateDisplays(edit, row);
  } else if (Dropdown.DisplayCount > 0 || IsPseudoFieldSlot(slot)) {
    FillFamilyDisplays(edit, row);
  }
  if (clicked) {
    edit->selectAll();
    if (!Dropdown.KeepList) HideDropdown();
    if (Focus) Focus->FocusControl(edit);
  }
}

bool TEntryF::FindChosenRecord(int Slot, int Row) {
  const TFld& f = Store.FldTable[Slot];
  if (!Dropdown.Target) return false;
  return ReadChosenTemplateRecord(*Dropdown.Target, ListRows.Cell(0, Row), f.LkpKeyUnique, f.ReservedBytes);
}

void TEntryF::FillTemplateDisplays(QLineEdit* Edit, int Row) {
  const int slot = SlotOf(Edit);
  if (!Dropdown.Target) return;
  bool found = false;
  try {
    found = FindChosenRecord(slot, Row);
  } catch (const EAbort&) {
  }
  if (!found) {
    if (!Store.FldTable[slot].LkpKeyUnique)
      MessageDlg(DuplicateCheckMsg + Trim(Store.FldTable[slot].Name), mtError, mbOKOnly, 0);
    return;
  }
  const std::vector<QLineEdit*> displays = DisplayEditsOf(Edit);
  for (size_t k = 0; k < displays.size() && k < Dropdown.Target->DispCols.size(); ++k)
    SetProgramText(displays[k], TrimRight(TargetCellText(Dropdown.Target->DispCols[k], Store.LkpDataRec)));
}

void TEntryF::FillFamilyDisplays(QLineEdit* Edit, int Row) {
  const int slot = SlotOf(Edit);
  const int keySlot = KeySlotOf(slot);
  const bool pseudo = IsPseudoFieldSlot(slot);
  QLineEdit* keyEdit = pseudo ? EditOfSlot(keySlot) : Edit;
  // A pseudo-field's row carries the key field's code in column 1.
  const std::string code = Trim(ListRows.Cell(pseudo ? 1 : 0, Row));
  if (pseudo && keyEdit) SetProgramText(keyEdit, code);
  const std::string client = Dropdown.Source == TListSource::Case ? Trim(ListRows.Cell(5, Row)) : Dropdown.ClientCode;
  bool found = false;
  try {
    found = ReadChosenFamilyRecord(Dropdown.Source, code, client, Store.FldTable[keySlot].RightJustify);
  } catch (const EAbort&) {
  }
  PutFamilyDisplays(Edit, found);
}

void TEntryF::PutFamilyDisplays(QLineEdit* Edit, bool Found) {
  const int slot = SlotOf(Edit);
  const int keySlot = KeySlotOf(slot);
  QLineEdit* keyEdit = IsPseudoFieldSlot(slot) ? EditOfSlot(keySlot) : Edit;
  const TDynCharArr& rec = Dropdown.Source == TListSource::Client ? ClientRec
                           : Dropdown.Source == TListSource::Case ? CaseRec
                                                                  : EmpRec;
  const TFld& f = Store.FldTable[keySlot];
  const std::vector<QLineEdit*> displays = keyEdit ? DisplayEditsOf(keyEdit) : std::vector<QLineEdit*>{};
  int k = 0;
  for (int col = 1; col <= MaxDispCols && f.DispCols[col] >= 0; ++col) {
    const int hostCode = f.DispCols[col];
    TLkpColumn entry;
    if (!LookupFieldEntry(hostCode, entry)) continue;
    if (size_t(k) >= displays.size()) break;
    QLineEdit* display = displays[size_t(k++)];
    // The pseudo-field's own edit, one of them, keeps what was chosen there.
    if (display == Edit) continue;
    SetProgramText(display, Found ? TrimRight(FamilyDisplayText(hostCode, col, rec, Dropdown.Source)) : NotFoundText);
    // Description line captions from the case's bill format.
    constexpr int FirstLineCode = 80;
    if (Found && hostCode >= FirstLineCode && Dropdown.Source == TListSource::Case) {
      for (QLabel* l : labels_)
        if (l->property("tag").toInt() == -hostCode)
          l->setText(WidgetText(DescriptionLineCaption(FieldText(CaseRec, CaseFld::AltBillFormat), hostCode - FirstLineCode + 1)));
    }
  }
}
