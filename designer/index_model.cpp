#include "designer/index_model.h"

#include "platform/dialogs.h"
#include "platform/errors.h"
#include "platform/text.h"
#include "templates/deleted_fields.h"
#include "templates/descriptor_loader.h"
#include "templates/store_constants.h"
#include "templates/store_utils.h"
#include "templates/template_build.h"

const std::string NoIndexMsg = "You must create at least one index for your file.";
const std::string PreviousIndexUnusedMsg = "Cannot assign values to an index if previous index is unused.";
const std::string UniqueNewMembersMsg =
    "You are attempting to create a unique index whose member fields have\rjust been added to the table.  This is "
    "not allowed because it will result in\rduplicate index errors.";

namespace {

const std::string UncheckedIndexesMsg =
    "Unable to check other Vezadaz templates to determine if changing the existing\rindexes will cause a "
    "malfunction for lookups in other templates that reference this one.\r\rYou will not be permitted to modify "
    "any indexes at this time.\r\rPress Continue Template Modification to save other changes you may have "
    "made\rto this template or press Cancel to cancel all changes at this time.";
const std::string UncheckedDeletionsMsg =
    "Unable to check other Vezadaz templates to determine if any deleted fields\rare selected as display fields.";
const std::string NumericIndexQuestion =
    "The numeric field you have selected is not right justified.\rThis is required in order to use a numeric field "
    "as part of an index.\r\rMake this field right justified so it can be used as an index?";

TIndexVerdict Refused(const std::string& Text, int Row, int Col, bool Clear = false) {
  ShowMessage(Text);
  return {false, Row, Col, Clear};
}

bool AnyBox(const TIndexRow& Row) {
  for (const std::string& b : Row.Boxes) {
    if (!IsBlank(b)) return true;
  }
  return false;
}

// The slot 1..FldCount of the field named exactly Name; 0 for none.
int SlotNamed(const std::string& Name) {
  for (int k = 1; k <= Store.FldCount; ++k) {
    if (Store.FldTable[k].Name == Name) return k;
  }
  return 0;
}

TTemplateNumber Examined() { return TTemplateNumber::Parse(Store.TplNumber); }

}  // namespace

std::string SortFieldStatus(int Col) {
  switch (Col) {
    case 0:
      return "The 1st sort field is required for an index.  Type in a field name or select one from the dropdown "
             "list.";
    case 1:
      return "The 2nd sort field is optional and determines the sort order when the 1st sort value is the same for "
             "two or more records.";
    default:
      return "The 3rd sort field is optional and determines the sort order when the 1st and 2nd sort values are the "
             "same for two or more records.";
  }
}

TIndexScreen LoadIndexScreen() {
  TIndexScreen screen;
  for (int n = 1; n <= MaxIndexes; ++n) {
    TIndexRow& row = screen[static_cast<size_t>(n - 1)];
    if (IsBlank(Store.IndexRecs.Names[n])) continue;
    row.Name = Trim(Store.IndexRecs.Names[n]);
    row.Unique = Store.IndexUnique[n];
    for (int k = 1; k <= Store.FldCount; ++k) {
      const TFld& f = Store.FldTable[k];
      for (int p = 1; p <= MaxSortFields; ++p) {
        if (f.FldId != 0 && f.FldId == Store.IndexRecs.SortFld(n, p)) row.Boxes[static_cast<size_t>(p - 1)] = f.Name;
      }
    }
  }
  return screen;
}

TIndexVerdict CheckIndexName(const TIndexScreen& Screen, int Row) {
  const std::string name = Trim(Screen[static_cast<size_t>(Row)].Name);
  if (name.empty()) return {};
  for (int r = 0; r < MaxIndexes; ++r) {
    if (r != Row && Trim(Screen[static_cast<size_t>(r)].Name) == name) {
      return Refused("Index names must be unique.", Row, -1);
    }
  }
  return {};
}

TIndexVerdict CheckSortFieldBox(TIndexScreen& Screen, int Row, int Col) {
  TIndexRow& row = Screen[static_cast<size_t>(Row)];
  std::string& box = row.Boxes[static_cast<size_t>(Col)];
  box = Trim(box);
  if (box.empty()) return {};
  const int slot = SlotNamed(box);
  TIndexVerdict v;
  if (slot == 0) {
    v = Refused("The field '" + box + "' is not in your template" + "\r" + "and may not be included as part of an index.",
                Row, Col, true);
  } else if (Store.FldTable[slot].FldType == 'd') {
    v = Refused("Document fields may not be included in an index.", Row, Col, true);
  } else if (Store.FldTable[slot].FldType == 'B') {
    v = Refused("Check box fields may not be included in an index.", Row, Col, true);
  } else if (Store.FldTable[slot].FldType == 'N' && !Store.FldTable[slot].RightJustify) {
    if (MessageDlg(NumericIndexQuestion, mtConfirmation, mbYesNo) != mrYes) {
      v = {false, Row, Col, true};
    } else {
      // Stored values are justified anew, or keys would keep the old form.
      Store.FldTable[slot].RightJustify = true;
      Store.JustifyChanged = true;
    }
  }
  if (!v.Ok) {
    box.clear();
    return v;
  }
  for (int c = 0; c < MaxSortFields; ++c) {
    if (c != Col && Trim(row.Boxes[static_cast<size_t>(c)]) == box) {
      return Refused("You may not use the same field twice in the same index.", Row, Col);
    }
  }
  return {};
}

TIndexVerdict ValidateIndexes(TIndexScreen& Screen) {
  bool any = false;
  for (TIndexRow& row : Screen) {
    // A 3rd sort field without a 2nd closes up.
    if (IsBlank(row.Boxes[1]) && !IsBlank(row.Boxes[2])) {
      row.Boxes[1] = row.Boxes[2];
      row.Boxes[2].clear();
    }
    any = any || AnyBox(row);
  }
  if (!any) return Refused(NoIndexMsg, 0, -1);
  // A click or an accelerator can reach the save past a box's exit check.
  for (int r = 0; r < MaxIndexes; ++r) {
    if (const TIndexVerdict v = CheckIndexName(Screen, r); !v.Ok) return v;
    // From the last box: a field used twice is reported where it is repeated.
    for (int c = MaxSortFields - 1; c >= 0; --c) {
      if (const TIndexVerdict v = CheckSortFieldBox(Screen, r, c); !v.Ok) return v;
    }
    const TIndexRow& row = Screen[static_cast<size_t>(r)];
    if (AnyBox(row) && IsBlank(row.Boxes[0])) return Refused(SortFieldStatus(0), r, 0);
  }
  int accepted = 0;
  for (int n = 1; n <= MaxIndexes; ++n) {
    const TIndexRow& row = Screen[static_cast<size_t>(n - 1)];
    if (!AnyBox(row)) continue;
    if (IsBlank(row.Name)) return Refused("Index " + IntToStr(n) + " name is required.", n - 1, -1);
    if (n >= 2 && accepted < n - 1) return Refused(PreviousIndexUnusedMsg, n - 2, -1);
    ++accepted;
  }
  for (int k = 1; k <= Store.FldCount; ++k) {
    TFld& f = Store.FldTable[k];
    f.IdxCount = 0;
    for (int i = 1; i <= MaxIndexes; ++i) f.IdxNo[i] = f.SortPos[i] = 0;
  }
  for (int n = 1; n <= MaxIndexes; ++n) {
    Store.IndexNamesToWrite[n] = n <= accepted ? Trim(Screen[static_cast<size_t>(n - 1)].Name) : "";
  }
  return {};
}

TIndexVerdict SetMemberships(const TIndexScreen& Screen) {
  for (int k = 1; k <= Store.FldCount; ++k) {
    TFld& f = Store.FldTable[k];
    f.Unique = UpperCase(Trim(f.LkpKind)) == "L" && (f.Width == 4 || f.Width == 7);
  }
  for (int n = 1; n <= MaxIndexes; ++n) {
    const TIndexRow& row = Screen[static_cast<size_t>(n - 1)];
    if (IsBlank(row.Name)) continue;
    bool members = false, allNew = true;
    for (int k = 1; k <= Store.FldCount; ++k) {
      TFld& f = Store.FldTable[k];
      int pos = 0;
      for (int p = 1; p <= MaxSortFields && pos == 0; ++p) {
        if (!IsBlank(row.Boxes[static_cast<size_t>(p - 1)]) && f.Name == Trim(row.Boxes[static_cast<size_t>(p - 1)]))
          pos = p;
      }
      if (pos == 0) continue;
      ++f.IdxCount;
      f.IdxNo[f.IdxCount] = n;
      f.SortPos[f.IdxCount] = pos;
      if (pos == 1) f.Unique = f.Unique || row.Unique;
      members = true;
      allNew = allNew && f.FldId >= 1 && f.FldId <= MaxFields && Store.NewFldIds[f.FldId] == 1;
    }
    if (Store.HasData && row.Unique && members && allNew) return Refused(UniqueNewMembersMsg + ContactMsg, n - 1, 0);
  }
  return {};
}

TIndexLocks FindIndexLocks(const TIndexScreen& Screen) {
  TIndexLocks locks;
  TIndexFlags all;
  for (int n = 1; n <= MaxIndexes; ++n) all[n] = true;
  const TIntegrityResult result = CheckTemplateIntegrity(Examined(), all, {});
  if (!result.Complete) {
    ShowMessage(UncheckedIndexesMsg + ContactMsg);
    locks.Complete = false;
    return locks;
  }
  locks.References = result.References;
  locks.Locked = ReferencedIndexes(result.References);
  const TIndexRecs& recs = Store.IndexRecs;
  for (int n = 1; n <= MaxIndexes; ++n) {
    if (locks.Locked[n] || !Screen[static_cast<size_t>(n - 1)].Unique) continue;
    if (recs.SortFld2[n] != 0 || recs.SortFld3[n] != 0 || recs.SortFld1[n] == 0) continue;
    for (int m = 1; m <= MaxIndexes; ++m) {
      if (m != n && ReferencedIndexes(result.References)[m] && recs.SortFld1[m] == recs.SortFld1[n]) {
        locks.Locked[n] = true;
        locks.IndirectNames.push_back(Trim(recs.Names[n]));
        break;
      }
    }
  }
  return locks;
}

std::string LockedIndexText(const std::vector<std::string>& Names) {
  std::string joined;
  for (const std::string& n : Names) joined += (joined.empty() ? "" : ", ") + n;
  if (Names.size() == 1) {
    return "Lookup fields from other templates require the following index:  " + joined +
           ".  In order to edit this index, you will have to modify or remove the lookup fields that " +
           "reference it first.  Click More Info (Alt-M) for more information.";
  }
  return "Lookup fields from other templates require the following indexes:  " + joined +
         ".  In order to edit any of these indexes, you will have to modify or remove the lookup fields that " +
         "reference them first.  Click More Info (Alt-M) for more information.";
}

void RestoreAltLookupKinds() {
  for (int k = 1; k <= Store.FldCount; ++k) {
    TFld& f = Store.FldTable[k];
    if (f.FldId >= 1 && f.FldId <= MaxFields && Store.AltKindIds[f.FldId] && f.LkpKind == "L") f.LkpKind = "l";
  }
}

namespace {

// Save step 5: a default on the one field of a unique index 1.
void AskDefaultAgainstUnique(const TIndexScreen& Screen) {
  const TIndexRow& row = Screen[0];
  if (IsBlank(row.Name) || IsBlank(row.Boxes[0]) || !IsBlank(row.Boxes[1]) || !IsBlank(row.Boxes[2]) ||
      !Store.IndexUnique[1])
    return;
  for (int k = 1; k <= MaxFields; ++k) {
    TFld& f = Store.FldTable[k];
    if (f.Name != Trim(row.Boxes[0])) continue;
    if (IsBlank(f.Default)) return;
    const std::string question =
        "Index:  " + Trim(row.Name) + "       Default value: " + f.Default + "\r\r" +
        "You have specified a default value for this index, yet you have also\rindicated that you want it to be a "
        "unique index.  This means that you will have\rto edit the default value each time you add a record to your "
        "template.  In most\rcases, this defeats the purpose of using this feature.\r\rDo you want the program to "
        "remove the default value from this field?";
    if (MessageDlg(question, mtError, mbYesNo) == mrYes) f.Default.clear();
    return;
  }
}

}  // namespace

bool SaveTemplate(TIndexScreen& Screen, const TIndexScreen& Remembered, TIndexVerdict& Refusal) {
  Refusal = ValidateIndexes(Screen);
  if (!Refusal.Ok) return false;
  Refusal = SetMemberships(Screen);
  if (!Refusal.Ok) return false;
  if (!Store.Modifying) {
    for (int n = 1; n <= MaxIndexes; ++n) Store.IndexUnique[n] = Screen[static_cast<size_t>(n - 1)].Unique;
  }
  AskDefaultAgainstUnique(Screen);
  Store.IdxChanged = false;
  if (Store.Modifying) {
    for (int n = 1; n <= MaxIndexes; ++n) {
      const TIndexRow& now = Screen[static_cast<size_t>(n - 1)];
      const TIndexRow& then = Remembered[static_cast<size_t>(n - 1)];
      for (int c = 0; c < MaxSortFields; ++c) {
        if (Trim(now.Boxes[static_cast<size_t>(c)]) != Trim(then.Boxes[static_cast<size_t>(c)])) Store.IdxChanged = true;
      }
      if (now.Unique != Store.IndexUnique[n]) Store.IdxChanged = true;
    }
    if (Store.IdxChanged) {
      for (int n = 1; n <= MaxIndexes; ++n) Store.IndexUnique[n] = Screen[static_cast<size_t>(n - 1)].Unique;
    }
  }
  RestoreAltLookupKinds();
  const std::string verb = Store.Modifying ? "modified" : "created";
  try {
    BuildTemplateDataFile(Store.TplName);
    TplSaved = true;
    ShowMessage("The template '" + Store.TplName + "' was successfully " + verb + ".");
  } catch (const std::exception&) {
    MessageDlg("The template '" + Store.TplName + "' could not be " + verb + ".", mtError, mbOKOnly);
    return true;
  }
  if (Store.Modifying && !Store.DeletedFlds.empty()) CheckDeletedFieldReferences();
  return true;
}

void CheckDeletedFieldReferences() {
  const TIntegrityResult result = CheckTemplateIntegrity(Examined(), TIndexFlags(), ParseDeletedFlds(Store.DeletedFlds));
  if (!result.Complete) ShowMessage(UncheckedDeletionsMsg + ContactMsg);
}
