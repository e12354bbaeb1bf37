// dscdump (templates/tools/dscdump.cpp) on a descriptor file made from the
// input (fuzz/stored_file.h: spec and rows), run as from a shell: it prints
// every record or fails with a message and exit status 1.
#include "fuzz/fuzz_support.h"
#include "fuzz/layer_files.h"
#include "fuzz/seed_layouts.h"

#include <cstdio>
#include <cstdlib>

// The tool's main, built under this name (fuzz/CMakeLists.txt).
int DscdumpMain(int argc, char** argv);

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* bytes, size_t size) {
  static const bool quiet = std::freopen("/dev/null", "w", stdout) != nullptr;
  (void)quiet;
  StoredFileSlot& slot = LayerFileSlot(ScratchPath("dump.dsc"));
  FuzzInput in(bytes, size);
  if (!TakeStoredFile(slot, in)) return 0;
  std::string program = "dscdump", file = slot.Path();
  char* argv[] = {program.data(), file.data(), nullptr};
  const int status = DscdumpMain(2, argv);
  if (status != 0 && status != 1) std::abort();
  return 0;
}

FuzzSeedList FuzzSeeds() {
  FuzzSeedList seeds;
  for (const SeedLayout& layout : SeedLayouts())
    if (layout.name == "descriptor" || layout.name == "master") seeds.emplace_back(layout.name, StoredSeed(layout));
  return seeds;
}
