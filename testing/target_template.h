// A template's two files written straight from the field table in use, for
// tests that need another template on disk (a lookup's target) with exactly
// the field ids, sequence numbers and records they choose: the descriptor
// (field records in slot order, then one record per index) and the data
// file with one key per index on its sort fields.
#pragma once

#include "btrieve/create_file.h"
#include "btrieve/numbered_files.h"
#include "templates/descriptor_codec.h"
#include "templates/template_number.h"
#include "templates/template_build.h"
#include "templates/template_state.h"
#include "testing/template_fixture.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

constexpr uint8_t TargetWriteFileNo = 9;

inline void WriteTargetDescriptor(int Number) {
  const std::string name = DescriptorFileName(TTemplateNumber(Number));
  std::string msg;
  ASSERT_TRUE(BtrCreateFile(name, DscRecordLength, int8_t(DescriptorKeySegments.size()), msg, 255, true,
                            DescriptorKeySegments))
      << msg;
  BtrOpenFile(TargetWriteFileNo, name, 0);
  for (int slot = 1; slot <= Store.FldCount; ++slot)
    BtrInsertRecord(TargetWriteFileNo, FormatFieldRecord(Store.FldTable[slot], Store.FldTable[slot].Offset));
  for (int i = 1; i <= Store.IndexRecs.IndexCount(); ++i) {
    TIndexRecord index;
    index.Number = i;
    index.Name = Store.IndexRecs.Names[i];
    for (int k = 1; k <= MaxSortFields; ++k) index.SortFlds[k] = Store.IndexRecs.SortFld(i, k);
    index.Unique = Store.IndexUnique[i];
    if (i == 1) index.TplName = "Target";
    BtrInsertRecord(TargetWriteFileNo, CompleteDscText(FormatIndexRecord(index)));
  }
  BtrCloseFile(TargetWriteFileNo);
}

// The data file with a key per index of the table in use; the records are
// whole (prefix first, as WithPrefix makes them).
inline void WriteTargetData(int Number, const std::vector<std::string>& Records) {
  const std::string name = DataFileName(TTemplateNumber(Number));
  std::vector<TKeySpec> keys{{0, 0, 1, 4, false, false, true}};
  for (int i = 1; i <= Store.IndexRecs.IndexCount(); ++i) {
    for (int k = 1; k <= MaxSortFields; ++k) {
      const int id = Store.IndexRecs.SortFld(i, k);
      if (id == 0) continue;
      const TFld& f = Store.FldTable[FieldSlotOf(id)];
      keys.push_back({uint8_t(i), uint8_t(k), uint16_t(f.Offset), uint16_t(f.KeyWidth), !Store.IndexUnique[i], true,
                      false, false});
    }
  }
  std::string msg;
  ASSERT_TRUE(BtrCreateFile(name, uint16_t(Store.RecLen + 8), int8_t(keys.size()), msg, 255, true, keys)) << msg;
  BtrOpenFile(TargetWriteFileNo, name, 0);
  BtrBeginTransaction();
  for (const std::string& r : Records) BtrInsertRecordKeepPrefix(TargetWriteFileNo, r);
  BtrEndTransaction();
  BtrCloseFile(TargetWriteFileNo);
}

// Template Number written from the table Define builds, with the records
// Records fills under that table; the table in use before is back after.
inline void WriteTargetTemplate(int Number, const std::function<void(TTemplateTableBuilder&)>& Define,
                                const std::function<std::vector<std::string>()>& Records = {}) {
  const TTemplateStore before = Store;
  {
    TTemplateTableBuilder t;
    Define(t);
    WriteTargetDescriptor(Number);
    WriteTargetData(Number, Records ? Records() : std::vector<std::string>{});
  }
  Store = before;
}

// "Targets", saved as the next template: a unique code; a name that begins
// two indexes, the non-unique first; an amount, right-justified, that
// begins only a non-unique index; a client; "Nam", whose name prefixes
// "Name". The cases a lookup into another template must tell apart.
inline void SaveLookupTargets() {
  TTemplateTableBuilder t;
  t.Add("Code", 'C', 5);
  t.Add("Name", 'C', 20);
  t.Add("Amount", 'N', 8).RightJustify = true;
  t.Add("Client", 'C', 10);
  t.Add("Nam", 'C', 6);
  t.Index(1, {1}, true, "By code")
      .Index(2, {3}, false, "By amount")
      .Index(3, {2, 4}, false, "By name")
      .Index(4, {5}, true, "By nam")
      .Index(5, {2, 1, 4}, true, "Name unique");
  ASSERT_TRUE(BuildTemplateDataFile("Targets"));
}
