// The master codec (templates/master_codec.h) on any record: its text is
// taken and parsed; a record that parses formats back to the same text
// once right-trimmed names are padded again.
#include "fuzz/fuzz_support.h"
#include "fuzz/seed_layouts.h"
#include "templates/master_codec.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* bytes, size_t size) {
  const std::string_view record(reinterpret_cast<const char*>(bytes), size);
  if (size < size_t(MasterRecordLength)) return 0;  // the reader's stated precondition
  try {
    const TMasterRecord parsed = ParseMasterText(MasterText(record));
    const std::string again = FormatMasterText(parsed.Name, parsed.Number);
    if (ParseMasterText(again) != parsed) std::abort();
  } catch (const EConvertError&) {
  } catch (const EMasterRecordError&) {
  }
  return 0;
}

FuzzSeedList FuzzSeeds() {
  FuzzSeedList seeds;
  for (const SeedLayout& layout : SeedLayouts())
    if (layout.name == "master")
      for (size_t i = 0; i < layout.records.size(); ++i)
        seeds.emplace_back("record" + std::to_string(i + 1), layout.records[i]);
  return seeds;
}
