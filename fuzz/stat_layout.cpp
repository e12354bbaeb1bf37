// The program's reader of Stat answers (btrieve/stat_layout.h) on any
// bytes: every count and entry it offers is read, and what it offers lies
// within the bytes.
#include "btrieve/stat_layout.h"
#include "fuzz/fuzz_support.h"
#include "fuzz/seed_layouts.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* bytes, size_t size) {
  const TStatLayout layout(bytes, size);
  layout.RecordLength();
  layout.PageSize();
  layout.RecordCount();
  if (layout.SegmentCount() > MaxStatSegments) std::abort();
  for (size_t i = 0; i < layout.SegmentCount(); ++i) layout.Segment(i);
  for (int key = -1; key <= layout.KeyCount(); ++key) {
    const std::optional<size_t> first = layout.KeySegment(key);
    if (first && *first >= layout.SegmentCount()) std::abort();
  }
  for (size_t n = 0; n <= layout.SequenceCount(); ++n) {
    const std::string_view sequence = layout.Sequence(n);
    if (n < layout.SequenceCount() && sequence.size() != CollatingSequenceSize) std::abort();
  }
  return 0;
}

FuzzSeedList FuzzSeeds() {
  FuzzSeedList seeds;
  for (const SeedLayout& layout : SeedLayouts()) seeds.emplace_back(layout.name, layout.spec);
  return seeds;
}
