#include "fuzz/layer_files.h"

#include "btrieve/binding.h"
#include "engine/file_spec.h"
#include "fuzz/seed_layouts.h"

#include <cstdio>
#include <cstdlib>
#include <map>
#include <memory>

void KeepEngineLibraryLoaded() {
  static const int16_t loaded = LoadBtrieveDll("", "wbtrv32.dll");
  if (loaded != BtrStatus::Success && loaded != BtrStatus::AlreadyStarted) {
    std::fprintf(stderr, "the record manager library cannot be loaded (status %d)\n", loaded);
    std::abort();
  }
}

StoredFileSlot& LayerFileSlot(const std::string& path) {
  KeepEngineLibraryLoaded();
  // Never destroyed: the library they close through is stopped at exit.
  static auto& slots = *new std::map<std::string, std::unique_ptr<StoredFileSlot>>;
  std::unique_ptr<StoredFileSlot>& slot = slots[path];
  if (!slot) slot = std::make_unique<StoredFileSlot>(BTRCALL, path);
  return *slot;
}

bool TakeStoredFile(StoredFileSlot& slot, FuzzInput& in) {
  return slot.Take(ReadStoredSpec(in)) && slot.Writer().Replace(ReadStoredRows(in, slot.Spec().Keys.size()));
}

std::string StoredSeed(const SeedLayout& layout) {
  StoredFile file{layout.spec, {}};
  for (const std::string& record : layout.records) file.rows.push_back(SoundRow(record));
  FuzzOutput out;
  WriteStoredFile(out, file);
  return out.Str();
}
