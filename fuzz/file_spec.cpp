// The file specification codec (engine/file_spec.h): a create buffer is
// decoded; one that decodes gives a Stat answer that decodes again to the
// same specification, as cloning a file from its own Stat answer relies on.
#include "engine/file_spec.h"
#include "fuzz/fuzz_support.h"
#include "fuzz/seed_layouts.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* bytes, size_t size) {
  engine::FileSpec spec;
  if (engine::DecodeCreateBuffer(bytes, size, spec) != 0) return 0;
  const std::string answer = engine::EncodeStatBuffer(spec, uint32_t(size));
  engine::FileSpec again;
  if (engine::DecodeCreateBuffer(reinterpret_cast<const uint8_t*>(answer.data()), answer.size(), again) != 0 ||
      again.Layout != spec.Layout)
    std::abort();
  return 0;
}

FuzzSeedList FuzzSeeds() {
  FuzzSeedList seeds;
  for (const SeedLayout& layout : SeedLayouts()) seeds.emplace_back(layout.name, layout.spec);
  return seeds;
}
