#include "testing/template_fixture.h"

#include "btrieve/numbered_files.h"
#include "templates/deleted_fields.h"
#include "templates/descriptor_loader.h"
#include "templates/master_codec.h"
#include "templates/master_file.h"
#include "templates/template_number.h"

#include <gtest/gtest.h>

#include <stdexcept>

namespace {

int SlotOf(int FldId) {
  if (const int slot = FieldSlotOf(FldId)) return slot;
  ADD_FAILURE() << "no field with id " << FldId;
  throw std::out_of_range("no field with id " + std::to_string(FldId));
}

// Drops every index membership of the field and, with FromTable, every sort
// field naming it.
void LeaveIndexes(TFld& Fld, bool FromTable) {
  for (int i = 1; FromTable && i <= MaxIndexes; ++i) {
    for (int s = 1; s <= MaxSortFields; ++s) {
      if (Store.IndexRecs.SortFld(i, s) == Fld.FldId) Store.IndexRecs.SortFld(i, s) = 0;
    }
  }
  for (int j = 1; j <= MaxIndexes; ++j) Fld.IdxNo[j] = Fld.SortPos[j] = 0;
  Fld.IdxCount = 0;
}

}  // namespace

TTemplateTableBuilder::TTemplateTableBuilder(TTableStart Start) {
  if (Start == TTableStart::AsItIs) return;
  ClearFieldTables();
  Store.RecLen = 4;
  Store.IndexUnique = {};
  Store.IndexNamesToWrite = {};
  Store.NewFldIds = {};
  Store.DeletedFlds.clear();
  Store.IdxChanged = Store.LayoutChanged = Store.JustifyChanged = Store.MinMaxChanged = Store.ListFldWidened = false;
}

TFld& TTemplateTableBuilder::Add(const std::string& Name, char Type, int Width, int FldId) {
  const int slot = ++Store.FldCount;
  TFld& f = Store.FldTable[slot];
  f.Name = Name;
  f.SeqNo = slot;
  f.FldId = FldId == 0 ? slot : FldId;
  f.FldType = Type;
  f.Width = Width;
  f.KeyWidth = Width;
  f.Offset = Store.RecLen + 1;
  Store.RecLen += Width;
  return f;
}

TFld& TTemplateTableBuilder::Field(int FldId) { return Store.FldTable[SlotOf(FldId)]; }

TTemplateTableBuilder& TTemplateTableBuilder::Index(int IndexNo, const std::vector<int>& FldIds, bool Unique,
                                                    const std::string& Name) {
  for (size_t s = 0; s < FldIds.size(); ++s) {
    TFld& f = Field(FldIds[s]);
    ++f.IdxCount;
    f.IdxNo[f.IdxCount] = IndexNo;
    f.SortPos[f.IdxCount] = int(s) + 1;
    Store.IndexRecs.SortFld(IndexNo, int(s) + 1) = FldIds[s];
  }
  Store.IndexUnique[IndexNo] = Unique;
  Store.IndexNamesToWrite[IndexNo] = Name;
  return *this;
}

TTemplateTableBuilder& TTemplateTableBuilder::MembershipsFromIndexes() {
  for (int k = 1; k <= Store.FldCount; ++k) LeaveIndexes(Store.FldTable[k], false);
  for (int i = 1; i <= Store.IndexRecs.IndexCount(); ++i) {
    for (int s = 1; s <= MaxSortFields; ++s) {
      if (Store.IndexRecs.SortFld(i, s) == 0) continue;
      TFld& f = Field(Store.IndexRecs.SortFld(i, s));
      ++f.IdxCount;
      f.IdxNo[f.IdxCount] = i;
      f.SortPos[f.IdxCount] = s;
    }
  }
  return *this;
}

TTemplateTableBuilder& TTemplateTableBuilder::Delete(int FldId) {
  const int slot = SlotOf(FldId);
  TFld& gone = Store.FldTable[slot];
  Store.DeletedFlds += FormatDeletedFld({gone.Offset, gone.Width, gone.FldId});
  LeaveIndexes(gone, true);
  Store.RecLen -= gone.Width;
  for (int k = slot; k < Store.FldCount; ++k) {
    Store.FldTable[k] = Store.FldTable[k + 1];
    Store.FldTable[k].SeqNo = k;
  }
  InitFieldSlot(Store.FldCount);
  --Store.FldCount;
  return *this;
}

TTemplateTableBuilder& TTemplateTableBuilder::Resize(int FldId, int Width, bool Shift) {
  TFld& f = Field(FldId);
  const int delta = Width - f.Width;
  if (f.KeyWidth == f.Width) f.KeyWidth = Width;
  if (Shift) {
    for (int k = 1; k <= Store.FldCount; ++k) {
      if (Store.FldTable[k].Offset > f.Offset) Store.FldTable[k].Offset += delta;
    }
  }
  f.Width = Width;
  Store.RecLen += delta;
  return *this;
}

std::string FillRecord(const TFieldValues& Values, const std::string& Stamp) {
  std::string text(size_t(Store.RecLen - 4), ' ');
  for (const auto& [id, value] : Values) {
    const int slot = FieldSlotOf(id);
    if (slot == 0) throw std::invalid_argument("no field with id " + std::to_string(id));
    const TFld& f = Store.FldTable[slot];
    if (value.size() > size_t(f.Width) || f.Offset < 5 || f.Offset - 5 + f.Width > Store.RecLen - 4) {
      throw std::invalid_argument("value of field " + std::to_string(id) + " does not fit");
    }
    // The text lies in the first KeyWidth characters, justified there; a
    // value longer than that carries the key bytes behind it as they are.
    const size_t justifiedIn = value.size() <= size_t(f.KeyWidth) ? size_t(f.KeyWidth) : size_t(f.Width);
    const size_t at = size_t(f.Offset - 5) + (f.RightJustify ? justifiedIn - value.size() : 0);
    text.replace(at, value.size(), value);
  }
  return text + Stamp;
}

std::string WithPrefix(uint32_t Prefix, const std::string& Text) {
  std::string rec(4, '\0');
  for (int i = 0; i < 4; ++i) rec[size_t(i)] = char((Prefix >> (8 * i)) & 0xFF);
  return rec + Text;
}

void InsertRecords(const std::string& Name, const std::vector<std::string>& Records, uint8_t FileNo) {
  BtrOpenFile(FileNo, Name, 0);
  BtrBeginTransaction();
  for (const std::string& r : Records) BtrInsertRecordKeepPrefix(FileNo, r);
  BtrEndTransaction();
  BtrCloseFile(FileNo);
}

std::vector<std::string> ReadRecords(const std::string& Name, uint8_t FileNo) {
  BtrOpenFile(FileNo, Name, 0);
  BtrSetKeyNumber(FileNo, 0);
  std::vector<std::string> out;
  TDynCharArr rec(1);
  bool atEnd = false;
  for (BtrGetFirst(FileNo, rec, atEnd, false); !atEnd; BtrGetNext(FileNo, rec, atEnd, false))
    out.emplace_back(rec.begin(), rec.end());
  BtrCloseFile(FileNo);
  return out;
}

TFld& AddMatterFields(TTemplateTableBuilder& Table, int AmountWidth) {
  Table.Add("Code", 'C', 5);
  Table.Add("Name", 'C', 10);
  TFld& amount = Table.Add("Amount", 'N', AmountWidth);
  amount.RightJustify = true;
  amount.Decimals = 1;
  TFld& client = Table.Add("Client", 'C', 9);
  client.KeyWidth = 5;
  client.IsLookup = true;
  client.LkpKind = "M";
  client.LkpTarget = "MNGR007.DSC";
  client.LkpSpec = "1  1";
  return amount;
}

TFld& AddTemplateLookup(TTemplateTableBuilder& Table, const std::string& Name, int Target) {
  TFld& f = Table.Add(Name, 'C', 6);
  f.IsLookup = true;
  f.LkpKind = "M";
  f.LkpTarget = "MNGR" + TTemplateNumber(Target).ZeroFilled() + ".DSC";
  f.LkpSpec = "1  1";
  f.DispCols[1] = 1;
  return f;
}

void LoadForModification(int TplNo, bool HasData) {
  const TTemplateNumber number(TplNo);
  if (!LoadTemplateDescriptor(number.ZeroFilled()))
    throw std::runtime_error("the descriptor of template " + number.ZeroFilled() + " did not load");
  Store.Modifying = true;
  Store.HasData = HasData;
  Store.TplNumber = number.ZeroFilled();
  for (int i = 1; i <= MaxIndexes; ++i) Store.IndexNamesToWrite[i] = Store.IndexRecs.Names[i];
  TTemplateTableBuilder(TTableStart::AsItIs).MembershipsFromIndexes();
  OpenMasterOn(TplNo);
}

void OpenMasterOn(int TplNo) {
  const TTemplateNumber number(TplNo);
  BtrOpenFile(MasterFileNo, MasterFileName(), 0);
  BtrSetKeyNumber(MasterFileNo, static_cast<int8_t>(MasterKeySegments[2].KeyNo));
  TDynCharArr rec(1);
  if (!BtrGetEqual(MasterFileNo, MasterNumberKey(number), rec, false))
    throw std::runtime_error("no master record of template " + number.ZeroFilled());
}
