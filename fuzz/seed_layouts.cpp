#include "fuzz/seed_layouts.h"

#include "fuzz/fuzz_support.h"
#include "templates/descriptor_codec.h"
#include "templates/family_files.h"
#include "templates/master_codec.h"

#include <algorithm>
#include <cstdint>
#include <span>

namespace {

std::string Buffer(uint16_t recLen, std::span<const TKeySpec> keys) {
  std::vector<uint8_t> buffer;
  std::string msg;
  BuildCreateBuffer(recLen, int8_t(keys.size()), keys, buffer, msg);
  return std::string(buffer.begin(), buffer.end());
}

int KeyCount(std::span<const TKeySpec> keys) {
  int count = 0;
  for (const TKeySpec& k : keys) count = std::max(count, k.KeyNo + 1);
  return count;
}

// The auto-increment prefix left zero, as the numbered-file layer inserts.
std::string Unnumbered(const std::string& text) { return std::string(4, '\0') + text; }

}  // namespace

std::vector<SeedLayout> SeedLayouts() {
  std::vector<SeedLayout> layouts;
  SeedLayout master{"master", Buffer(MasterRecordLength, MasterKeySegments), KeyCount(MasterKeySegments), {}};
  for (int n = 1; n <= 3; ++n)
    master.records.push_back(Unnumbered(FormatMasterText("Template " + std::to_string(n), TTemplateNumber(n))));
  layouts.push_back(master);

  SeedLayout descriptor{"descriptor", Buffer(DscRecordLength, DescriptorKeySegments),
                        KeyCount(DescriptorKeySegments), {}};
  TFld client;
  client.Name = "Client";
  client.SeqNo = 1;
  client.FldId = 1;
  client.Width = 7;
  client.FldType = 'C';
  client.IdxCount = 1;
  client.IdxNo[1] = 1;
  client.SortPos[1] = 1;
  client.KeyWidth = 7;
  TFld amount;
  amount.Name = "Amount";
  amount.SeqNo = 2;
  amount.FldId = 2;
  amount.Width = 10;
  amount.FldType = 'N';
  amount.MinVal = "0";
  amount.MaxVal = "9999";
  TIndexRecord index;
  index.Number = 1;
  index.Name = "By client";
  index.SortFlds[1] = 1;
  index.Unique = true;
  index.TplName = "Seed template";
  descriptor.records = {Unnumbered(FormatFieldRecord(client, 5)), Unnumbered(FormatFieldRecord(amount, 12)),
                        Unnumbered(FormatIndexRecord(index))};
  layouts.push_back(descriptor);

  for (const TFamilyFile* file : FamilyFiles())
    layouts.push_back(SeedLayout{std::string(file->Name), Buffer(file->RecLen, file->Keys), KeyCount(file->Keys),
                                 {NewFamilyRecord(*file)}});
  return layouts;
}

std::string WriteSeedFile(StoredBtrCall call, const std::string& path, const SeedLayout& layout) {
  RemoveStoredFile(path);
  uint8_t posBlock[128] = {};
  std::string spec = layout.spec;
  std::string name = path + '\0';
  uint32_t length = uint32_t(spec.size());
  if (call(14, posBlock, spec.data(), &length, name.data(), uint8_t(name.size()), 0) != 0) return "";
  uint32_t none = 0;
  if (call(0, posBlock, nullptr, &none, name.data(), uint8_t(name.size()), 0) != 0) return "";
  for (std::string record : layout.records) {
    length = uint32_t(record.size());
    std::string key(255, '\0');
    call(2, posBlock, record.data(), &length, key.data(), uint8_t(key.size()), 0);
  }
  call(1, posBlock, nullptr, &none, nullptr, 0, 0);
  std::string bytes = ReadWholeFile(path);
  RemoveStoredFile(path);
  return bytes;
}
