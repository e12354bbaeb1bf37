// The descriptor loader (templates/descriptor_loader.h) on a descriptor
// file made from the input (fuzz/stored_file.h: spec and rows): it loads
// the template into the field and index tables or answers false after an
// error box; nothing else may escape.
#include "fuzz/fuzz_support.h"
#include "fuzz/layer_files.h"
#include "fuzz/seed_layouts.h"
#include "templates/descriptor_loader.h"
#include "templates/template_state.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* bytes, size_t size) {
  static const bool ready = (InstallQuietDialogs(), Store.DataDir = ScratchFolder(), true);
  (void)ready;
  StoredFileSlot& slot = LayerFileSlot(ScratchPath("mngr001.dsc"));
  FuzzInput in(bytes, size);
  if (!TakeStoredFile(slot, in)) return 0;
  ClearFieldTables();
  if (LoadTemplateDescriptor("001")) {
    std::string code;
    IndexFieldCodes(code);
  }
  return 0;
}

FuzzSeedList FuzzSeeds() {
  FuzzSeedList seeds;
  for (const SeedLayout& layout : SeedLayouts())
    if (layout.name == "descriptor") seeds.emplace_back(layout.name, StoredSeed(layout));
  return seeds;
}
