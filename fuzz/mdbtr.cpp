// mdbtr (engine/tools/mdbtr.cpp) on a file made from the input, run as from
// a shell: the first byte picks stat, dump (by the key number in the
// second byte) or check, the rest is the file's spec and rows
// (fuzz/stored_file.h). It answers 0, 1 or 2 and never changes the file.
#include "fuzz/fuzz_support.h"
#include "fuzz/layer_files.h"
#include "fuzz/seed_layouts.h"

#include <cstdio>
#include <cstdlib>

// The tool's main, built under this name (fuzz/CMakeLists.txt).
int MdbtrMain(int argc, char** argv);

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* bytes, size_t size) {
  static const bool quiet = std::freopen("/dev/null", "w", stdout) != nullptr;
  (void)quiet;
  StoredFileSlot& slot = LayerFileSlot(ScratchPath("look.dat"));
  FuzzInput in(bytes, size);
  const uint8_t command = in.Byte() % 3;
  std::string key = std::to_string(int(int8_t(in.Byte())));
  if (!TakeStoredFile(slot, in)) return 0;
  const std::string before = ReadWholeFile(slot.Path());
  std::string program = "mdbtr", verb = command == 0 ? "stat" : command == 1 ? "dump" : "check";
  std::string file = slot.Path(), keyFlag = "--key";
  std::vector<char*> argv{program.data(), verb.data(), file.data()};
  if (command == 1) {
    argv.push_back(keyFlag.data());
    argv.push_back(key.data());
  }
  argv.push_back(nullptr);
  const int status = MdbtrMain(int(argv.size() - 1), argv.data());
  if (status < 0 || status > 2) std::abort();
  if (ReadWholeFile(slot.Path()) != before) std::abort();  // a look never changes the file
  return 0;
}

FuzzSeedList FuzzSeeds() {
  FuzzSeedList seeds;
  for (const SeedLayout& layout : SeedLayouts()) {
    if (layout.name != "master" && layout.name != "descriptor" && layout.name != "ycase.qf") continue;
    for (uint8_t command = 0; command < 3; ++command)
      seeds.emplace_back(layout.name + "-" + std::to_string(command),
                         std::string{char(command), char(1)} + StoredSeed(layout));
  }
  return seeds;
}
