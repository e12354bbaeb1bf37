#include "designer/field_model.h"

#include "designer/corvenstead_lookup.h"
#include "platform/date_format.h"
#include "platform/dialogs.h"
#include "platform/text.h"
#include "templates/deleted_fields.h"
#include "templates/store_utils.h"
#include "templates/store_constants.h"

#include <algorithm>
#include <cmath>

const std::string NoFieldNameMsg = "Please select a name for this field!";
const std::string DefaultTooLongMsg =
    "The default value you have specified is greater in length\rthan the indicated field width allows.  Please "
    "correct this.";
const std::string BadDateDefaultMsg = "The default value you have specified is not a valid date.";
const std::string NoFreeIdMsg =
    "Unable to obtain a valid internal identifier for this field.\rYou will not be able to add this field to your "
    "template at this time.";

namespace {

const std::string CorvensteadRightJustifyMsg =
    "This Corvenstead lookup will only function correctly if it is NOT\rright-justified.\r\rThe right justification "
    "option you have selected will be ignored.";
const std::string UpperCaseQuestion =
    "The change you have made with regard to uppercasing will not affect pre-existing data.\r\rContinue to apply "
    "changes?";
const std::string RequiredQuestion =
    "The change you have made with regard to requiring an entry in the field will not affect pre-existing "
    "data.\r\rContinue to apply changes?";
const std::string RangeQuestion =
    "The change you have made regarding minimum and maximum numeric values will not affect pre-existing "
    "data.\r\rContinue to apply changes?";
const std::string InIndexDeleteMsg =
    "The field you wish to delete is part of one or more indexes for your\rtemplate.  You must remove this field "
    "from your index structure first\rbefore you can delete it.";
const std::string EditingMoveMsg =
    "Please save or cancel the changes to the field you are editing before attempting this operation.";

bool Asked(const std::string& Question) { return MessageDlg(Question, mtConfirmation, mbYesNo) == mrYes; }

// round(value x 100); empty or unreadable text counts as 0.
long long Cents(const std::string& Text) {
  double value = 0;
  if (!TryStrToFloat(Trim(Text), value)) return 0;
  return std::llround(value * 100);
}

bool Named(int Slot) { return !IsBlank(Store.FldTable[Slot].Name); }

// Every other slot marked as added in this run.
bool AnyOtherNewField(int FldId) {
  for (int id = 1; id <= MaxFields; ++id) {
    if (id != FldId && Store.NewFldIds[id] == 1) return true;
  }
  return false;
}

void Renumber(int Count) {
  for (int k = 1; k <= MaxFields; ++k) Store.FldTable[k].SeqNo = k <= Count && Named(k) ? k : 0;
}

}  // namespace

std::string DuplicateFieldMsg(const std::string& Name) {
  return "This template already contains a field called '" + Name + "'" + "\r" + "Please select a different name.";
}

std::string CommaQuestion(int Width) {
  return "Make sure the width you have specified for this numeric field includes space for commas.\rIf a field width "
         "of " +
         IntToStr(Width) + " is not adequate for the addition of " + "comma separators, select NO to widen the field." +
         "\r" + "\r" + "Proceed with adding this field?";
}

int TypeIndexOf(char FldType) {
  for (int k = 0; k < 5; ++k) {
    if (FieldTypeLetters[k] == FldType) return k;
  }
  return 0;
}

int DefaultTypeWidth(int TypeIndex) {
  static constexpr int widths[] = {20, 8, 12, 72, 1};
  return TypeIndex >= 0 && TypeIndex < 5 ? widths[TypeIndex] : 20;
}

int NextFreeFieldId() {
  for (int id = 1; id <= MaxFields; ++id) {
    bool used = false;
    for (int k = 1; k <= MaxFields && !used; ++k) used = Named(k) && Store.FldTable[k].FldId == id;
    if (!used) return id;
  }
  return -1;
}

int HighestUsedPosition() {
  int highest = 4;
  for (int k = 1; k <= MaxFields; ++k) {
    const TFld& f = Store.FldTable[k];
    if (Named(k)) highest = std::max(highest, f.Offset + f.Width - 1);
  }
  return highest;
}

void AssignNewFieldOffset() {
  // RecLen is the highest used position: holes of deleted fields stay
  // inside it, and nothing is wasted behind it.
  TFld& f = Store.FldTable[Store.FldCount];
  f.Offset = Store.RecLen + 1;
  Store.LayoutChanged = true;
  Store.NewFldIds[f.FldId] = 1;
}

void ShiftFieldOffsets(int D) {
  const int changed = Store.FldTable[Store.FldCount].Offset;
  for (int k = 1; k <= MaxFields; ++k) {
    TFld& f = Store.FldTable[k];
    if (k != Store.FldCount && Named(k) && f.Offset > changed) f.Offset += D;
  }
}

bool FieldInIndex() {
  const int id = Store.FldTable[Store.FldCount].FldId;
  for (int n = 1; n <= MaxIndexes; ++n) {
    if (IsBlank(Store.IndexRecs.Names[n])) continue;
    for (int k = 1; k <= MaxSortFields; ++k) {
      if (Store.IndexRecs.SortFld(n, k) == id) return true;
    }
  }
  return false;
}

void TFieldModel::Start() {
  EditingFld = false;
  AutoClientLookup = false;
  Store.FldCount = static_cast<int>(List.size());
  if (List.empty()) Store.RecLen = 4;
  for (int id = 1; id <= MaxFields; ++id) Store.NewFldIds[id] = -1;
  Store.LayoutChanged = false;
  Store.DeletedFlds.clear();
}

int TFieldModel::ProposedWidth(int TypeIndex) const {
  const int count = Store.FldCount;
  const char type = FieldTypeLetters[TypeIndex];
  if (!EditingFld && count > 1 && Store.FldTable[count - 1].FldType == type) return Store.FldTable[count - 1].Width;
  return DefaultTypeWidth(TypeIndex);
}

TEntryVerdict TFieldModel::ValidateFieldEntry(const TFieldEntry& Entry) const {
  const std::string name = Trim(Entry.Name);
  if (name.empty()) {
    ShowMessage(NoFieldNameMsg);
    return {false, TEntryControl::Name};
  }
  for (size_t k = 0; k < List.size(); ++k) {
    if (EditingFld && static_cast<int>(k) == Store.FldCount - 1) continue;
    if (Trim(List[k]) == name) {
      ShowMessage(DuplicateFieldMsg(name));
      return {false, TEntryControl::Name};
    }
  }
  const char type = FieldTypeLetters[Entry.TypeIndex];
  if ((type == 'C' || type == 'N') && static_cast<int>(Entry.Default.size()) > Entry.Width) {
    ShowMessage(DefaultTooLongMsg);
    return {false, TEntryControl::Default};
  }
  // "0" is the blank date the placeholder offers.
  TDateTime date{};
  if (type == 'D' && !Entry.Default.empty() && Trim(Entry.Default) != "0" && !TryStrToDate(Entry.Default, date)) {
    ShowMessage(BadDateDefaultMsg);
    return {false, TEntryControl::Default};
  }
  return {};
}

bool TFieldModel::ConfirmDataRuleChanges(TFieldEntry& Entry) const {
  const TFld& f = Store.FldTable[Store.FldCount];
  if (!f.UpperCase && Entry.UpperCase && !Asked(UpperCaseQuestion)) {
    Entry.UpperCase = false;
    return false;
  }
  if (!f.Required && Entry.Required && !Asked(RequiredQuestion)) {
    Entry.Required = false;
    return false;
  }
  if (FieldTypeLetters[Entry.TypeIndex] == 'N' && !Entry.RangeOff) {
    const bool hadNone = IsBlank(f.MinVal) && IsBlank(f.MaxVal);
    const bool differs = Cents(Entry.MinText) != Cents(f.MinVal) || Cents(Entry.MaxText) != Cents(f.MaxVal);
    if ((differs || hadNone) && !Asked(RangeQuestion)) return false;
  }
  return true;
}

TEntryVerdict TFieldModel::AddField(TFieldEntry& Entry, const TLookupStorer& StoreLookup) {
  if (const TEntryVerdict v = ValidateFieldEntry(Entry); !v.Ok) return v;
  if (List.size() == 1 && TrimLeft(List[0]) == "(none)") List.clear();
  int oldWidth = 0;
  if (EditingFld) {
    TFld& f = Store.FldTable[Store.FldCount];
    oldWidth = f.Width;
    if (Store.HasData && !ConfirmDataRuleChanges(Entry)) return {false, TEntryControl::None};
    const int id = f.FldId, offset = f.Offset;
    const bool unique = f.Unique;
    InitFieldSlot(Store.FldCount);
    f.FldId = id;
    f.Offset = offset;
    f.Unique = unique;
    // Defined anew: its kind is what the lookup form now says.
    if (id >= 1 && id <= MaxFields) Store.AltKindIds[id] = false;
  } else {
    ++Store.FldCount;
    const int id = NextFreeFieldId();
    if (id == -1) {
      ShowMessage(NoFreeIdMsg + ContactMsg);
      --Store.FldCount;
      return {false, TEntryControl::None};
    }
    Store.FldTable[Store.FldCount].FldId = id;
    if (FieldTypeLetters[Entry.TypeIndex] == 'N' && !Asked(CommaQuestion(Entry.Width))) {
      InitFieldSlot(Store.FldCount);
      --Store.FldCount;
      return {false, TEntryControl::Width};
    }
    if (Store.Modifying) AssignNewFieldOffset();
    if (AutoClientLookup) {
      AutoClientLookup = false;
      const int recLen = Store.RecLen;
      const TFld placed = Store.FldTable[Store.FldCount];
      ::AddClientLookupField();
      // The client lookup takes the id and place taken for this field.
      Store.FldTable[Store.FldCount].FldId = placed.FldId;
      Store.FldTable[Store.FldCount].Offset = placed.Offset;
      ++Store.FldCount;
      const int id2 = NextFreeFieldId();
      if (id2 == -1) {
        ShowMessage(NoFreeIdMsg + ContactMsg);
        InitFieldSlot(Store.FldCount - 1);
        if (Store.Modifying) {
          Store.NewFldIds[placed.FldId] = -1;
          Store.LayoutChanged = AnyOtherNewField(placed.FldId);
        }
        Store.RecLen = recLen;
        Store.FldCount -= 2;
        if (!List.empty() && List.back() == ClientLookupName) List.pop_back();
        return {false, TEntryControl::None};
      }
      Store.FldTable[Store.FldCount].FldId = id2;
      if (Store.Modifying) AssignNewFieldOffset();
    }
  }
  TFld& f = Store.FldTable[Store.FldCount];
  f.Name = Trim(Entry.Name);
  f.SeqNo = Store.FldCount;
  f.FldType = FieldTypeLetters[Entry.TypeIndex];
  if (f.FldType == 'N') {
    if (!Entry.RangeOff) {
      f.MinVal = Trim(Entry.MinText);
      f.MaxVal = Trim(Entry.MaxText);
    }
    f.Decimals = Entry.Decimals;
  }
  f.UpperCase = Entry.UpperCase;
  f.Required = Entry.Required;
  f.IsLookup = Entry.IsLookup;
  f.RightJustify = Entry.RightJustify;
  f.Default = Entry.Default;
  f.Hint = Entry.Hint;
  if (f.IsLookup) {
    f.Width = Entry.Width;
    f.KeyWidth = Entry.Width;
    if (StoreLookup) StoreLookup(Store.FldCount);
    const bool caseSuffix = !f.LkpSpec.empty() && f.LkpSpec[0] == 'B' && f.Width == 7;
    if (f.LkpKind == "L" && f.RightJustify && !caseSuffix) {
      f.RightJustify = false;
      Entry.RightJustify = false;
      ShowMessage(CorvensteadRightJustifyMsg);
    }
  } else {
    f.LkpKind.clear();
    f.LkpTarget.clear();
    f.Width = f.FldType == 'B' ? 1 : Entry.Width;
    f.KeyWidth = f.Width;
  }
  const std::string name = f.Name;
  if (EditingFld) {
    const int d = f.Width - oldWidth;
    if (d != 0) {
      if (Store.HasData && d > 0 && f.LkpKind == "U") Store.ListFldWidened = true;
      Store.RecLen += d;
      ShiftFieldOffsets(d);
    }
    List[static_cast<size_t>(Store.FldCount - 1)] = name;
    EndFieldEdit();
  } else {
    Store.RecLen += f.Width;
    List.push_back(name);
  }
  return {};
}

bool TFieldModel::StartEdit(int Index) {
  if (EditingFld) {
    ShowMessage("You are already editing " + List[static_cast<size_t>(Store.FldCount - 1)]);
    return false;
  }
  if (Index < 0 || Index >= static_cast<int>(List.size())) {
    ShowMessage("You must highlight a field before you can edit it.");
    return false;
  }
  EditingFld = true;
  Store.FldCount = SlotOf(Index);
  return true;
}

void TFieldModel::EndFieldEdit() {
  EditingFld = false;
  Store.FldCount = static_cast<int>(List.size());
}

bool TFieldModel::DeleteField(int Index) {
  if (Index < 0 || Index >= static_cast<int>(List.size())) {
    ShowMessage("You must highlight a field before you delete it.");
    return false;
  }
  if (!Asked("Are you sure you want to remove the field " + List[static_cast<size_t>(Index)] + "\r" +
             "from your template?"))
    return false;
  const int before = Store.FldCount;
  Store.FldCount = SlotOf(Index);
  if (FieldInIndex()) {
    Store.FldCount = before;
    ShowMessage(InIndexDeleteMsg);
    return false;
  }
  const TFld f = Store.FldTable[Store.FldCount];
  const bool isNew = f.FldId >= 1 && f.FldId <= MaxFields && Store.NewFldIds[f.FldId] == 1;
  if (Store.HasData && isNew) {
    // Fields added later in this run move up into its place.
    Store.RecLen -= f.Width;
    ShiftFieldOffsets(-f.Width);
    Store.NewFldIds[f.FldId] = -1;
    Store.LayoutChanged = AnyOtherNewField(f.FldId);
  } else if (Store.HasData) {
    Store.DeletedFlds += FormatDeletedFld({f.Offset, f.Width, f.FldId});
  } else {
    Store.RecLen -= f.Width;
    ShiftFieldOffsets(-f.Width);
    Store.DeletedFlds += FormatDeletedFld({f.Offset, f.Width, f.FldId});
  }
  if (EditingFld) EditingFld = false;
  for (int k = Store.FldCount; k < MaxFields; ++k) Store.FldTable[k] = Store.FldTable[k + 1];
  InitFieldSlot(MaxFields);
  List.erase(List.begin() + Index);
  Renumber(static_cast<int>(List.size()));
  Store.FldCount = static_cast<int>(List.size());
  return true;
}

bool TFieldModel::MoveField(int From, int To) {
  if (EditingFld) {
    ShowMessage(EditingMoveMsg);
    return false;
  }
  const int count = static_cast<int>(List.size());
  if (From < 0 || From >= count || To < 0 || To >= count || From == To) return false;
  const TFld moved = Store.FldTable[SlotOf(From)];
  const std::string name = List[static_cast<size_t>(From)];
  if (From < To) {
    for (int k = SlotOf(From); k < SlotOf(To); ++k) Store.FldTable[k] = Store.FldTable[k + 1];
  } else {
    for (int k = SlotOf(From); k > SlotOf(To); --k) Store.FldTable[k] = Store.FldTable[k - 1];
  }
  Store.FldTable[SlotOf(To)] = moved;
  List.erase(List.begin() + From);
  List.insert(List.begin() + To, name);
  Renumber(count);
  return true;
}
