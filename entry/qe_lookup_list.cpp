#include "entry/qe_lookup_list.h"

#include "entry/qe_files.h"
#include "platform/text.h"
#include "templates/family_files.h"

#include <algorithm>

const char* const QeListNoData = "No data in lookup file!";
const char* const QeListNoClient = "Please select a client first!";
const char* const QeListLockQuestion =
    "A record lock was encountered while attempting to fill the dropdown list.\r\rAnother user may be executing a "
    "function that requires records or files to be locked.\r\rYou may select YES and the program will re-attempt "
    "this operation.  Retry?";
const char* const QeListMaximum = "The maximum of 500 records has been displayed.\rPlease refine your search.";
const char* const QeListLostLink = "Lost link to file positioning.  Try your search again.\r\r";
const char* const QeListLoadFailed = "Unable to fill dropdown list at this time.";
const char* const QeListUnknown = "An unknown error was encountered:  ";

namespace {

struct TListFile {
  uint8_t FileNo;
  TDynCharArr* Rec;
};

TListFile FileOf(TQeField Field) {
  switch (Field) {
    case TQeField::Employee: return {QEmpFileNo, &QEmpRec};
    case TQeField::Client: return {QClientFileNo, &QClientRec};
    case TQeField::Case: return {QCaseFileNo, &QCaseRec};
    case TQeField::Group: return {QGroupFileNo, &QGroupRec};
    default: return {QNarrFileNo, &QNarrRec};
  }
}

// Names and identifiers that are blank sort first and are no list rows.
bool BlankName(const TQeState& S, TQeField Field, const TDynCharArr& Rec) {
  if (Field == TQeField::Employee && S.EmpByNameIdx == 2) return Trim(FieldText(Rec, EmpFld::Name)).empty();
  if (Field == TQeField::Client && S.EntryModeIdx == 2) return Trim(FieldText(Rec, ClientFld::Name)).empty();
  if (Field == TQeField::Case && S.EntryModeIdx == 4) return Trim(FieldText(Rec, CaseFld::AltId)).empty();
  return false;
}

bool IsGroupCode(const TDynCharArr& Rec) {
  const std::string kind = FieldText(Rec, CodeTableFld::Kind);
  return FieldText(Rec, CodeTableFld::Type) == "G" && (kind == "F" || kind == "X");
}

std::string ShownSuffix(const TQeState& S, const TDynCharArr& Rec) {
  const std::string suffix = FieldText(Rec, CaseFld::Suffix);
  return S.NumOrd ? suffix : LeftJustified(Trim(suffix), 7);
}

bool StartsWith(const std::string& Text, const std::string& Prefix) {
  return Text.size() >= Prefix.size() && AnsiSameText(Text.substr(0, Prefix.size()), Prefix);
}

}  // namespace

std::vector<int> QeListWidths(const TQeState& S, TQeField Field) {
  switch (Field) {
    case TQeField::Employee: return S.EmpByNameIdx == 1 ? std::vector<int>{50, 5, 225, 5, 0} : std::vector<int>{225, 5, 50, 0};
    case TQeField::Client:
      return S.EntryModeIdx == 2 ? std::vector<int>{225, 5, 85, 5, 150} : std::vector<int>{85, 5, 225, 5, 150};
    case TQeField::Case:
      if (S.EntryModeIdx <= 2) return {85, 5, 195, 5, 70};
      if (S.EntryModeIdx == 3) return {80, 5, 190, 5, 147, 5, 60};
      return {121, 5, 75, 5, 75, 5, 143, 5, 60};
    case TQeField::Group: return {22, 3, 445};
    default: return {29, 3, 445};
  }
}

bool QeLookupList::Belongs(const TQeState& S, TQeField Field) const {
  const TDynCharArr& rec = *FileOf(Field).Rec;
  if (BlankName(S, Field, rec)) return false;
  if (Field == TQeField::Case && S.ClientFirst()) return FieldText(rec, CaseFld::Client) == client_;
  if (Field == TQeField::Group) return IsGroupCode(rec);
  if (Field == TQeField::Narr) return FieldText(rec, CodeTableFld::Type) == "N";
  return true;
}

TQeListRow QeLookupList::RowOf(const TQeState& S, TQeField Field) const {
  TQeListRow row;
  switch (Field) {
    case TQeField::Employee: {
      const std::string code = FieldText(QEmpRec, EmpFld::Code);
      const std::string name = EmployeeName(QEmpRec);
      row[0] = S.EmpByNameIdx == 1 ? code : name;
      row[2] = S.EmpByNameIdx == 1 ? name : code;
      break;
    }
    case TQeField::Client: {
      const std::string code = FieldText(QClientRec, ClientFld::Code);
      const std::string name = ClientName(QClientRec);
      row[0] = S.EntryModeIdx == 1 ? code : name;
      row[2] = S.EntryModeIdx == 1 ? name : code;
      row[4] = FieldText(QClientRec, ClientFld::City);
      row[6] = FieldText(QClientRec, ClientFld::Phone1);
      break;
    }
    case TQeField::Case: {
      const std::string suffix = ShownSuffix(S, QCaseRec);
      const std::string desc = FieldText(QCaseRec, CaseFld::Description);
      const std::string atty = FieldText(QCaseRec, CaseFld::RespAtty1);
      if (S.EntryModeIdx <= 2) {
        row[0] = suffix, row[2] = desc, row[4] = atty;
        break;
      }
      const std::string clientCode = FieldText(QCaseRec, CaseFld::Client);
      // The case's client, read without disturbing the case file's position.
      std::string name = "Client name not found", phone;
      if (BtrGetEqual(QClientFileNo, ClientKey(clientCode), QClientRec, false)) {
        name = ClientName(QClientRec);
        phone = FieldText(QClientRec, ClientFld::Phone1);
      }
      if (S.EntryModeIdx == 3) {
        row[0] = suffix, row[2] = name, row[4] = desc, row[6] = atty, row[8] = phone, row[10] = clientCode;
      } else {
        row[0] = FieldText(QCaseRec, CaseFld::AltId), row[2] = FieldText(QCaseRec, CaseFld::Suffix);
        row[4] = clientCode, row[6] = desc, row[8] = atty, row[10] = name, row[12] = phone;
      }
      break;
    }
    default: {
      const TDynCharArr& rec = *FileOf(Field).Rec;
      row[0] = FieldText(rec, {CodeTableFld::Code.Pos, uint16_t(Field == TQeField::Group ? 2 : 3)});
      row[2] = FieldText(rec, CodeTableFld::Description);
      break;
    }
  }
  return row;
}

void QeLookupList::Load(const TQeState& S, TQeField Field, int Back) {
  // Restored on every way out, a refused retry's abort included.
  TRecLockMsgScope lockQuestion(QeListLockQuestion);
  const TListFile file = FileOf(Field);
  rows_.clear();
  field_ = Field;
  first_ = BtrSavePosition(file.FileNo, *file.Rec);
  const size_t limit = std::min<size_t>(size_t(Back) + QeListAfter, QeListMaxRows);
  bool atEnd = false;
  int read = 0;
  foundRow_ = Back;
  while (!atEnd && rows_.size() < limit) {
    if (Belongs(S, Field)) {
      TQeListRow row = RowOf(S, Field);
      // A grouping code of both kinds is one row, which the record Back
      // records in may share with the one before it.
      const bool repeated = Field == TQeField::Group && !rows_.empty() && rows_.back()[0] == row[0];
      if (read++ == Back) foundRow_ = int(rows_.size()) - (repeated ? 1 : 0);
      if (!repeated) rows_.push_back(row);
    } else if (Field != TQeField::Group) {
      break;
    }
    BtrGetNext(file.FileNo, *file.Rec, atEnd, false);
  }
}

namespace {

// Every fill and page ends here on a failure the steps did not answer.
template <class Steps>
TQeFill Guarded(Steps&& Run) {
  TQeFill fill;
  try {
    Run(fill);
  } catch (const std::exception& e) {
    fill = TQeFill{};
    fill.Message = QeListUnknown + std::string(e.what());
    fill.Type = mtError;
  }
  return fill;
}

// Codes differing in case only: the one typed exactly wins, else the
// position stays.
void PreferExactCase(TQeField Field, const std::string& Text) {
  const TListFile file = FileOf(Field);
  const uint16_t length = Field == TQeField::Group ? 2 : 3;
  auto code = [&] { return TrimRight(FieldText(*file.Rec, {CodeTableFld::Code.Pos, length})); };
  const std::string wanted = AnsiUpperCase(Text);
  if (code() == Text || AnsiUpperCase(code()) != wanted) return;
  const TBtrPosition start = BtrSavePosition(file.FileNo, *file.Rec);
  bool atEnd = false;
  while (true) {
    BtrGetNext(file.FileNo, *file.Rec, atEnd, false);
    if (atEnd || AnsiUpperCase(code()) != wanted) break;
    if (code() == Text) return;
  }
  BtrGetDirect(file.FileNo, *file.Rec, start);
}

// Lists by name: their chosen code picks among rows of one name.
const std::string* ChosenByName(const TQeState& S, TQeField Field) {
  if (Field == TQeField::Employee && S.EmpByNameIdx == 2) return &S.ChosenEmployee;
  if (Field == TQeField::Client && S.EntryModeIdx == 2) return &S.ChosenClient;
  return nullptr;
}

TQeFill Failed(std::string Message) {
  TQeFill fill;
  fill.Message = std::move(Message);
  fill.Type = mtError;
  return fill;
}

}  // namespace

bool QeLookupList::LoadOrFail(const TQeState& S, TQeField Field, int Back, TQeFill& Fill) {
  try {
    Load(S, Field, Back);
    return true;
  } catch (const EBtrAbort& e) {
    rows_.clear();
    Fill = Failed(e.what() + std::string("\r\r") + QeListLoadFailed);
    return false;
  }
}

bool QeLookupList::ReadFirst(TQeField Field, TQeFill& Fill) {
  const TListFile file = FileOf(Field);
  try {
    BtrGetDirect(file.FileNo, *file.Rec, first_);
    return true;
  } catch (const EBtrAbort& e) {
    rows_.clear();
    Fill = Failed(QeListLostLink + std::string(e.what()));
    return false;
  }
}

int QeLookupList::StepBack(const TQeState& S, TQeField Field) {
  const TListFile file = FileOf(Field);
  int back = 0;
  if (!Belongs(S, Field)) return back;
  while (back < QeListStepBack) {
    bool start = false;
    BtrGetPrev(file.FileNo, *file.Rec, start, false);
    if (start) break;
    if (!Belongs(S, Field)) {
      BtrGetNext(file.FileNo, *file.Rec, start, false);
      break;
    }
    ++back;
  }
  return back;
}

TQeFill QeLookupList::Fill(const TQeState& S, TQeField Field, const std::string& Text, bool PartSelected) {
  return Guarded([&](TQeFill& fill) { FillFrom(S, Field, Text, PartSelected, fill); });
}

TQeFill QeLookupList::FillBack(const TQeState& S, TQeField Field) {
  return Guarded([&](TQeFill& fill) {
    if (!ReadFirst(Field, fill)) return;
    int back = 0;
    try {
      back = StepBack(S, Field);
    } catch (const EBtrAbort& e) {
      fill = Failed(QeListLostLink + std::string(e.what()));
      return;
    }
    if (!LoadOrFail(S, Field, back, fill)) return;
    fill.Show = !rows_.empty();
    fill.FoundRow = foundRow_;
    fill.SelectedRow = fill.TopRow = std::max(0, foundRow_ - 1);
  });
}

void QeLookupList::FillFrom(const TQeState& S, TQeField Field, const std::string& Text, bool PartSelected,
                            TQeFill& fill) {
  const TListFile file = FileOf(Field);
  TDynCharArr& rec = *file.Rec;
  rows_.clear();
  if (BtrRecordCount(file.FileNo) == 0) {
    fill.Message = QeListNoData;
    return;
  }
  client_.clear();
  bool atEnd = false;
  std::string key;
  switch (Field) {
    case TQeField::Employee:
    case TQeField::Client:
      // A completed name the user has not accepted: only what was typed counts.
      key = PartSelected && ChosenByName(S, Field) ? Text.substr(0, 3) : Text;
      break;
    case TQeField::Case:
      if (S.ClientFirst()) {
        if (Trim(S.ChosenClient).empty()) {
          fill.Message = QeListNoClient;
          fill.Type = mtError;
          fill.EmptyField = true;
          return;
        }
        client_ = LeftJustified(S.ChosenClient, 7);
        key = client_ + (Text == "~" ? std::string(7, '~') : LeftJustified(Text, 7));
      } else {
        key = Text;
      }
      break;
    case TQeField::Group: key = LeftJustified(Text, 4) + "  "; break;
    default: key = "N " + Text; break;
  }
  int back = 0;
  try {
    bool found = BtrGetGreaterLess(file.FileNo, key, rec, atEnd, 3) && !atEnd;
    if (!found) BtrGetLast(file.FileNo, rec, atEnd, false);
    if (Field == TQeField::Case && S.ClientFirst() && (Text == "~" || FieldText(rec, CaseFld::Client) != client_)) {
      // Beyond the client's last case: back to it (or to nothing of its own).
      if (found) BtrGetPrev(file.FileNo, rec, atEnd, false);
    }
    if (Field == TQeField::Group) {
      while (found && !IsGroupCode(rec)) {
        BtrGetNext(file.FileNo, rec, atEnd, false);
        if (atEnd) {
          BtrGetPrev(file.FileNo, rec, atEnd, false);
          break;
        }
      }
    }
    if (Field == TQeField::Narr && FieldText(rec, CodeTableFld::Type) > "N") BtrGetPrev(file.FileNo, rec, atEnd, false);
    if (Field == TQeField::Group || Field == TQeField::Narr) PreferExactCase(Field, Text);
    if (BlankName(S, Field, rec)) {
      BtrGetGreaterLess(file.FileNo, "!", rec, atEnd, 3);
    }
    // Step back over at most 12 records of the list.
    back = StepBack(S, Field);
  } catch (const EBtrAbort& e) {
    fill = Failed("Unable to perform search for " + Text + ".\r\r" + e.what());
    return;
  }
  if (!LoadOrFail(S, Field, back, fill)) return;
  back = fill.FoundRow = foundRow_;
  if (rows_.empty() || (Text.empty() && !(S.ClientFirst() && Field == TQeField::Case))) {
    fill.Show = !rows_.empty() && S.ClientFirst() && Field == TQeField::Case;
    return;
  }
  fill.Show = true;
  fill.FieldText = Text;
  if (Text == "~") {
    fill.SelectedRow = int(rows_.size()) - 1;
    fill.FieldText = TrimRight(rows_.back()[0]);
  } else if (back < int(rows_.size()) && !Text.empty() && StartsWith(TrimRight(rows_[back][0]), Text)) {
    fill.SelectedRow = back;
    if (const std::string* chosen = ChosenByName(S, Field)) {
      for (size_t r = size_t(back); r < rows_.size() && rows_[r][0] == rows_[size_t(back)][0]; ++r)
        if (Trim(rows_[r][2]) == Trim(*chosen)) {
          fill.SelectedRow = int(r);
          break;
        }
    }
    fill.Chosen = true;
    fill.FieldText = TrimRight(rows_[back][0]);
    fill.SelectFrom = Text.size();
  } else {
    fill.SelectedRow = S.ClientFirst() && Field == TQeField::Case && Text.empty() ? 0 : back;
  }
  fill.TopRow = fill.SelectedRow < 5 ? 0 : back - 4;
}

TQeFill QeLookupList::PageDown(const TQeState& S, TQeField Field, int Selected) {
  return Guarded([&](TQeFill& fill) {
    fill.Show = true;
    // The selected row ends at the bottom of the visible rows, as a move
    // down leaves it.
    if (Selected + QeListVisibleRows < int(rows_.size())) {
      fill.SelectedRow = Selected + QeListVisibleRows;
      fill.TopRow = fill.SelectedRow - (QeListVisibleRows - 1);
      return;
    }
    if (!ReadFirst(Field, fill)) return;
    const TListFile file = FileOf(Field);
    bool atEnd = false;
    for (int moved = 0; moved < QeListVisibleRows && !atEnd;) {
      BtrGetNext(file.FileNo, *file.Rec, atEnd, false);
      if (!atEnd && Belongs(S, Field)) ++moved;
    }
    if (!LoadOrFail(S, Field, int(rows_.size()), fill)) return;
    fill.Show = true;
    fill.ToLast = Selected >= int(rows_.size());
    fill.SelectedRow = fill.ToLast ? 0 : Selected;
    fill.TopRow = std::max(0, fill.SelectedRow - (QeListVisibleRows - 1));
  });
}

void QeLookupList::Choose(int Row, TQeState& S, TQeField Field, std::string& Text) const {
  if (Row < 0 || Row >= int(rows_.size()) || Trim(rows_[Row][0]).empty()) {
    if (Field == TQeField::Employee) S.ChosenEmployee.clear();
    if (Field == TQeField::Client) S.ChosenClient.clear();
    if (Field == TQeField::Case) S.ChosenCase.clear();
    return;
  }
  const TQeListRow& row = rows_[Row];
  Text = TrimRight(row[0]);
  switch (Field) {
    case TQeField::Employee:
      S.ChosenEmployee = S.EmpByNameIdx == 1 ? row[0] : row[2];
      if (S.EmpByNameIdx == 1) S.LabelEmpName = row[2];
      break;
    case TQeField::Client:
      S.ChosenClient = S.EntryModeIdx == 1 ? row[0] : row[2];
      if (S.EntryModeIdx == 1) S.LabelClientName = row[2];
      S.LabelPhone = TrimRight(row[6]);
      break;
    case TQeField::Case:
      if (S.EntryModeIdx <= 3) {
        S.ChosenCase = RightJustified(Trim(row[0]), 7);
        S.LabelCaseDesc = TrimRight(S.EntryModeIdx == 3 ? row[4] : row[2]);
        if (S.EntryModeIdx == 3) S.ChosenClient = row[10], S.LabelClientName = row[2], S.LabelPhone = TrimRight(row[8]);
      } else {
        S.ChosenCase = row[2];
        S.LabelCaseDesc = TrimRight(row[6]);
        S.ChosenClient = row[4], S.LabelClientName = row[10], S.LabelPhone = TrimRight(row[12]);
      }
      break;
    default:
      break;
  }
}
