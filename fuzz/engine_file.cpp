// The record manager on files of its own whose rows are damaged: a spec,
// a run of calls, and the rows of the records table (fuzz/stored_file.h,
// fuzz/engine_calls.h). The file of a spec is made once by the engine's
// Create and kept, held open by the engine, while the file specification repeats; each
// input rewrites its rows through SQLite and makes its calls on a block of
// its own, so every read meets the rows as the input left them.
#include "engine/file_spec.h"
#include "fuzz/engine_calls.h"
#include "fuzz/fuzz_support.h"
#include "fuzz/stored_file.h"
#include "fuzz/seed_layouts.h"

#include <vector>

extern "C" int16_t BTRCALL(uint16_t op, void* posBlock, void* data, uint32_t* dataLen, void* key, uint8_t keyLen,
                           int8_t keyNum);

namespace {

// Input: the file specification, then the calls, then the rows.
std::string EncodeInput(const std::string& spec, const std::vector<EngineCall>& calls, const std::vector<StoredRow>& rows) {
  FuzzOutput out;
  out.Sized(spec);
  WriteEngineCalls(out, calls);
  StoredFile file{"", rows};
  FuzzOutput rowsOut;
  WriteStoredFile(rowsOut, file);
  // WriteStoredFile leads with the (empty) spec's length: drop it.
  out.Bytes(std::string_view(rowsOut.Str()).substr(2));
  return out.Str();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* bytes, size_t size) {
  // Never destroyed: the engine it closes through may be gone by then.
  static StoredFileSlot& current = *new StoredFileSlot(BTRCALL, ScratchPath("engine_file.dat"));
  FuzzInput in(bytes, size);
  if (!current.Take(ReadStoredSpec(in))) return 0;
  const std::vector<EngineCall> calls = ReadEngineCalls(in);
  if (!current.Writer().Replace(ReadStoredRows(in, current.Spec().Keys.size()))) return 0;
  RunEngineCalls(BTRCALL, current.Path(), calls);
  return 0;
}

FuzzSeedList FuzzSeeds() {
  FuzzSeedList seeds;
  for (const SeedLayout& layout : SeedLayouts()) {
    std::vector<StoredRow> rows;
    for (const std::string& record : layout.records) rows.push_back(SoundRow(record));
    seeds.emplace_back(layout.name, EncodeInput(layout.spec, WalkCalls(layout.keyCount), rows));
  }
  return seeds;
}
