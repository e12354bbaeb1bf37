// The entry screen's user lists (fields of kind U: a list file of the data
// folder in the dropdown, type-ahead completing the typed text, the keys
// that move through it) and the dropdown's paging buttons for every list.
// A key move in a user list only marks the row; Enter or leaving the field
// takes it.
#include "entry/qt/entry_form.h"

#include "entry/field_checks.h"
#include "platform/dialogs.h"
#include "platform/errors.h"
#include "platform/qt/cursor.h"
#include "platform/qt/focus_model.h"
#include "platform/qt/widget_text.h"
#include "platform/text.h"
#include "templates/template_state.h"

#include <QLineEdit>
#include <QStandardItemModel>
#include <QTableView>
#include <QToolButton>

#include <algorithm>

namespace {

constexpr int PageRows = 8;
constexpr int UserListExtra = 30;
const char* const FillFailedMsg = "Unable to fill dropdown list at this time.";
const char* const MaxRowsMsg = "The maximum of 500 records has been displayed.\rPlease refine your search.";
const char* const UserListLimitMsg = "Dropdown length limit reached.  Only the first 500 items will be displayed.";
const std::string Tilde = "~";

std::string EditText(const QLineEdit* E) { return StoredText(E->text()); }

bool IsUserList(const TFld& F) { return F.LkpTarget.find(".lst") != std::string::npos; }

}  // namespace

void TEntryF::FillUserList(QLineEdit* Edit) {
  const TFld& f = Store.FldTable[SlotOf(Edit)];
  std::vector<std::string> lines;
  std::string why;
  if (!ReadUserListLines(f.LkpTarget, lines, why)) {
    ClearDropdown();
    Dropdown.UserListItems = 0;
    MessageDlg(std::string(FillFailedMsg) + "\r" + why, mtError, mbOKOnly, 0);
    return;
  }
  const TUserListFill fill = FillUserListRows(lines, ListRows);
  if (fill.OverLimit()) MessageDlg(UserListLimitMsg, mtInformation, mbOKOnly, 0);
  Dropdown.UserListItems = fill.Items;
  ShowDropdownRows();
}

void TEntryF::UserListEnter(QWidget* Sender, TEntryEventArgs&) {
  auto* edit = qobject_cast<QLineEdit*>(Sender);
  const int slot = SlotOf(edit);
  if (!edit || slot < 1) return;
  const THourglass hourglass;
  if (Dropdown.Visible) HideDropdown();
  ClearDropdown();
  Dropdown.EditNo = EditNumberOf(edit);
  Dropdown.Slot = slot;
  Dropdown.Source = TListSource::Template;
  Dropdown.Target = nullptr;
  Dropdown.KeepIds = false;
  Dropdown.HasListStart = false;
  Dropdown.Typed = false;
  Dropdown.ChosenByKeys = false;
  Dropdown.TypeAheadOff = false;
  StringGrid1->setColumnWidth(0, edit->width() + UserListExtra);
  for (int c = 1; c < MaxListCols; ++c) StringGrid1->setColumnWidth(c, 0);
  FillUserList(edit);
  const bool twoColumns = ListRows.Filled > 0 && !ListRows.Cell(1, 0).empty();
  Dropdown.DisplayCount = twoColumns ? -2 : 0;
  int total = edit->width() + UserListExtra;
  PlaceDropdownPanel(edit->x(), total);
  if (twoColumns) {
    const int grid = StringGrid1->width();
    StringGrid1->setColumnWidth(0, grid / 2);
    StringGrid1->setColumnWidth(1, grid - grid / 2);
  }
  if (ListRows.Filled == 0) return;
  ShowDropdown();
  // The row of the text the field holds, else the first.
  int row = 0;
  for (int r = 0; r < ListRows.Filled; ++r)
    if (RowMatchesText(ListRows, r, 0, EditText(edit))) row = r;
  StringGrid1->setCurrentIndex(DropdownGrid->index(row, 0));
  StringGrid1->scrollTo(DropdownGrid->index(row, 0));
}

void TEntryF::UserListTextChange(QWidget* Sender, TEntryEventArgs&) {
  auto* edit = qobject_cast<QLineEdit*>(Sender);
  if (!edit || Dropdown.ProgramChange || gridClicked_ || EditNumberOf(edit) != Dropdown.EditNo) return;
  Dropdown.Typed = true;
  Dropdown.ChosenByKeys = false;
  const std::string typed = EditText(edit);
  if (typed.empty() || Dropdown.TypeAheadOff) return;
  if (!Dropdown.Visible) {
    if (ListRows.Filled == 0) FillUserList(edit);
    if (ListRows.Filled == 0) return;
    ShowDropdown();
  }
  for (int r = 0; r < ListRows.Filled; ++r) {
    const std::string cell = TrimRight(ListRows.Cell(0, r));
    if (cell.size() < typed.size() || !AnsiSameText(cell.substr(0, typed.size()), typed)) continue;
    StringGrid1->setCurrentIndex(DropdownGrid->index(r, 0));
    StringGrid1->scrollTo(DropdownGrid->index(r, 0));
    SetProgramText(edit, cell);
    edit->setSelection(int(typed.size()), int(cell.size() - typed.size()));
    // The typed keys chose it: Enter or leaving the field takes it.
    Dropdown.ChosenByKeys = true;
    break;
  }
  StringGrid1->viewport()->update();
}

void TEntryF::UserListKeyDown(QWidget* Sender, TEntryEventArgs& Args) {
  auto* edit = qobject_cast<QLineEdit*>(Sender);
  if (!edit) return;
  const bool alt = Args.Shift & Qt::AltModifier;
  const auto moveTo = [this](int Row) {
    Dropdown.ChosenByKeys = true;
    Dropdown.MovingByKeys = true;
    StringGrid1->setCurrentIndex(DropdownGrid->index(Row, 0));
    StringGrid1->scrollTo(DropdownGrid->index(Row, 0));
  };
  switch (Args.Key) {
    case Qt::Key_Delete:
      Dropdown.TypeAheadOff = true;
      Dropdown.ChosenByKeys = false;
      return;
    case Qt::Key_Backspace:
      Dropdown.TypeAheadOff = true;
      return;
    case Qt::Key_F2: {
      Dropdown.TypeAheadOff = false;
      TEntryEventArgs none;
      UserListTextChange(edit, none);
      return;
    }
    case Qt::Key_Escape:
      Dropdown.TypeAheadOff = true;
      Dropdown.ChosenByKeys = false;
      SetProgramText(edit, "");
      if (Dropdown.Visible) HideDropdown();
      return;
    case Qt::Key_Return:
    case Qt::Key_Enter:
      if (!Dropdown.Visible) return;
      if (Dropdown.ChosenByKeys) StringGrid1Click();
      HideDropdown();
      return;
    case Qt::Key_PageUp:
    case Qt::Key_PageDown:
      Dropdown.TypeAheadOff = true;
      SBPgDnClick(Args.Key == Qt::Key_PageUp ? SBPgUp : SBPgDn);
      Args.Key = 0;
      return;
    case Qt::Key_Up:
      if (!Dropdown.Visible) return;
      Args.Key = 0;
      if (alt) {
        HideDropdown();
      } else {
        moveTo(std::max(0, DropdownRow() - 1));
      }
      return;
    case Qt::Key_Down: {
      Args.Key = 0;
      if (!Dropdown.Visible) {
        if (alt) {
          TEntryEventArgs none;
          UserListEnter(edit, none);
        }
        return;
      }
      const int row = DropdownRow();
      if (row >= LastDropdownRow) {
        MessageDlg(MaxRowsMsg, mtInformation, mbOKOnly, 0);
      } else if (row + 1 < std::min(ListRows.Filled, Dropdown.UserListItems)) {
        moveTo(row + 1);
      }
      return;
    }
    default:
      Dropdown.TypeAheadOff = false;
      if (Args.Key >= Qt::Key_Space && Args.Key <= Qt::Key_AsciiTilde && !Dropdown.Visible && !EditText(edit).empty()) {
        TEntryEventArgs none;
        UserListEnter(edit, none);
      }
      return;
  }
}

// ---- paging ----

void TEntryF::SBFirstClick(QObject* Sender) {
  QLineEdit* edit = EditNumber(Dropdown.EditNo);
  const int slot = SlotOf(edit);
  if (!edit || slot < 1) return;
  Dropdown.TypeAheadOff = true;
  Dropdown.MovingByKeys = true;
  const bool first = Sender == SBFirst;
  try {
    if (IsUserList(Store.FldTable[KeySlotOf(slot)])) {
      if (ListRows.Filled == 0) FillUserList(edit);
      if (ListRows.Filled == 0) return;
      Dropdown.ChosenByKeys = true;
      MoveDropdownRow(first ? 0 : std::min(ListRows.Filled, std::max(1, Dropdown.UserListItems)) - 1);
      return;
    }
    SetProgramText(edit, first ? std::string() : Tilde);
    Dropdown.Typed = true;
    FillDropdown(edit, 0);
    if (!Dropdown.Visible && ListRows.Filled > 0) ShowDropdown();
    if (first) MoveDropdownRow(0);
  } catch (const Exception& e) {
    MessageDlg(std::string(FillFailedMsg) + "\r" + e.what(), mtError, mbOKOnly, 0);
  }
}

void TEntryF::SBPgDnClick(QObject* Sender) {
  QLineEdit* edit = EditNumber(Dropdown.EditNo);
  if (!edit || SlotOf(edit) < 1) return;
  Dropdown.TypeAheadOff = true;
  Dropdown.MovingByKeys = true;
  try {
    if (Sender == SBPgUp) {
      PageUp(edit);
    } else {
      PageDown(edit);
      // Paging on goes on with the grid's own keys.
      if (Focus && ListPanel->isVisible()) Focus->FocusControl(StringGrid1);
    }
  } catch (const Exception& e) {
    MessageDlg(std::string(FillFailedMsg) + "\r" + e.what(), mtError, mbOKOnly, 0);
  }
}

void TEntryF::PageDown(QLineEdit* Edit) {
  const bool userList = IsUserList(Store.FldTable[KeySlotOf(SlotOf(Edit))]);
  if (userList) Dropdown.ChosenByKeys = true;
  if (ListRows.Filled == 0) {
    if (userList) return;
    FillDropdown(Edit, 0);
    if (ListRows.Filled == 0) return;
  }
  const int last = (userList ? std::min(ListRows.Filled, Dropdown.UserListItems) : ListRows.Filled) - 1;
  const int target = DropdownRow() + PageRows;
  // A fill reads RowsBelowStart rows past its positioned one unless the
  // file ends first: a shorter list already holds the file's last record.
  const bool holdsEnd = ListRows.Filled <= RowsBelowStart;
  if (target <= last || userList || holdsEnd) {
    MoveDropdownRow(std::min(target, last));
    return;
  }
  // Fewer rows stand: the list goes on from its last row.
  const int left = target - last;
  ReadOnFromRow(Edit, last);
  MoveDropdownRow(std::min(DropdownRow() + left, std::max(0, ListRows.Filled - 1)));
}

void TEntryF::PageUp(QLineEdit* Edit) {
  const bool userList = IsUserList(Store.FldTable[KeySlotOf(SlotOf(Edit))]);
  if (userList) Dropdown.ChosenByKeys = true;
  const int row = DropdownRow();
  if (row > 0 || userList) {
    MoveDropdownRow(std::max(0, row - PageRows));
    return;
  }
  // At the list's start: the records before it, as the Up key reads them.
  FillDropdown(Edit, 1);
}
