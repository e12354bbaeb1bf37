// The descriptor codec (templates/descriptor_codec.h) on any record: a
// field or index record is parsed, its ranges read, and a field record the
// codec accepts is formatted again. The codec's own refusals
// (EDescriptorError, and EConvertError from a number) are its answer to
// damage; anything else escaping is a fault.
#include "fuzz/fuzz_support.h"
#include "fuzz/seed_layouts.h"
#include "templates/descriptor_codec.h"

#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* bytes, size_t size) {
  const std::string_view record(reinterpret_cast<const char*>(bytes), size);
  try {
    const std::string text = DscText(record);
    for (const TDscRange& range : DscField::All) TextRange(text, range);
    if (IsIndexRecord(record)) {
      FormatIndexRecord(ParseIndexRecord(record));
    } else {
      TFld fld = ParseFieldRecord(record);
      PadFieldTexts(fld);
      FormatFieldRecord(fld, fld.Offset);
    }
  } catch (const EDescriptorError&) {
  } catch (const EConvertError&) {
  }
  return 0;
}

FuzzSeedList FuzzSeeds() {
  FuzzSeedList seeds;
  for (const SeedLayout& layout : SeedLayouts())
    if (layout.name == "descriptor")
      for (size_t i = 0; i < layout.records.size(); ++i)
        seeds.emplace_back("record" + std::to_string(i + 1), layout.records[i]);
  return seeds;
}
