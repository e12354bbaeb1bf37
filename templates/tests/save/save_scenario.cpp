#include "templates/tests/save/save_scenario.h"

#include "btrieve/numbered_files.h"
#include "btrieve/create_file.h"
#include "platform/errors.h"
#include "platform/files.h"
#include "platform/format.h"
#include "platform/text.h"
#include "templates/descriptor_loader.h"
#include "templates/master_codec.h"
#include "templates/master_file.h"
#include "templates/template_build.h"
#include "templates/template_number.h"

#include <stdexcept>

namespace {

constexpr int RecordCount = 16;
const std::string KeyBytes[] = {std::string("\0\x01 \x07", 4), std::string("\x1f\0\0\x02", 4), std::string(4, '\0')};
const char* const Amounts[] = {"12.5", "7", "", "0.5", "1234.5", "3"};

void Require(bool Ok, const std::string& What) {
  if (!Ok) throw std::runtime_error("scenario: " + What);
}

void ScenarioTable() {
  TTemplateTableBuilder t;
  TFld& amount = AddMatterFields(t, 8);
  amount.MinVal = "0";
  amount.MaxVal = "99999.9";
  t.Add("Extra", 'C', 4);
  t.Index(1, {Code}, true, "By code").Index(2, {Client, Name}, false, "By client");
}

}  // namespace

std::map<uint32_t, TFieldValues> ScenarioRecords() {
  std::map<uint32_t, TFieldValues> records;
  for (int k = 0; k < RecordCount; ++k) {
    const uint32_t prefix = uint32_t(3 * k + 2);
    TFieldValues v{{Code, Format("C%.2d", k)}, {Name, k % 4 == 3 ? std::string() : "Name " + IntToStr(k)},
                   {Amount, Amounts[k % 6]}, {Extra, "x" + IntToStr(k % 10)}};
    // A lookup: its key text, then the target's key bytes.
    if (k % 3 != 2) v[Client] = Format("K%.2d  ", k % 5) + KeyBytes[k % 3];
    records[prefix] = v;
  }
  return records;
}

void BuildScenarioFolder() {
  std::string msg;
  Require(BtrCreateFile(MasterFileName(), MasterRecordLength, int8_t(MasterKeySegments.size()), msg, 255, true,
                        MasterKeySegments),
          "master: " + msg);
  ScenarioTable();
  Require(BuildTemplateDataFile(ScenarioName), "the new template was not saved");
  std::vector<std::string> records;
  int k = 0;
  for (const auto& [prefix, values] : ScenarioRecords()) {
    records.push_back(WithPrefix(prefix, FillRecord(values, Format("2026%.2d%.2d", 1 + k % 12, 1 + k % 28))));
    ++k;
  }
  InsertRecords(DataFileName(TTemplateNumber(ScenarioTpl)), records);
  const std::string grid = ResolvePath(Store.DataDir + "\\" + ScenarioGrid);
  FILE* f = std::fopen(grid.c_str(), "wb");
  Require(f && std::fwrite("grid layout\r\n", 1, 13, f) == 13 && std::fclose(f) == 0, "grid layout");
}

void PrepareScenarioChange() {
  LoadForModification(ScenarioTpl, true);
  TTemplateTableBuilder t(TTableStart::AsItIs);
  t.Delete(Extra);
  t.Add("Note", 'C', 8, Note);
  t.Field(Amount).Decimals = 2;
  t.Field(Amount).MaxVal = "99999.99";
  Store.MinMaxChanged = true;
  t.Field(Name).RightJustify = true;
  Store.JustifyChanged = true;
}

void PrepareNewTemplate() { ScenarioTable(); }
