// The key codec (engine/key_codec.h) and the rules of a stored row
// (engine/row_check.h) on a spec and a record from the input: every key's
// raw and encoded value of a record that passes the rules, the integer
// value of every single-segment integer key, and a key read back from a
// stored value of any length only once the rules passed it.
//
// Input: the create buffer (16-bit length first), then the record bytes.
#include "engine/file_spec.h"
#include "engine/key_codec.h"
#include "engine/row_check.h"
#include "engine/status.h"
#include "fuzz/fuzz_input.h"
#include "fuzz/fuzz_support.h"
#include "fuzz/seed_layouts.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* bytes, size_t size) {
  FuzzInput in(bytes, size);
  const std::string buffer = in.Sized();
  engine::FileSpec spec;
  if (engine::DecodeCreateBuffer(reinterpret_cast<const uint8_t*>(buffer.data()), buffer.size(), spec) != 0) return 0;
  const std::string record = in.Rest();
  if (engine::CheckRecord(spec, {engine::StoredBlob, record.size()}) != engine::RowFault::None) return 0;
  const std::vector<std::string> keys = engine::EncodeKeys(spec, record);
  if (keys.size() != spec.Keys.size()) std::abort();
  for (size_t k = 0; k < keys.size(); ++k) {
    const engine::KeySpec& key = spec.Keys[k];
    if (keys[k].size() != key.Length) std::abort();
    const std::string raw = engine::RawKey(key, reinterpret_cast<const uint8_t*>(record.data()));
    if (engine::EncodedKey(spec, key, reinterpret_cast<const uint8_t*>(raw.data())) != keys[k]) std::abort();
    const uint8_t type = key.Segments.front().Type;
    const bool integer = type == engine::key_type::Integer || type == engine::key_type::AutoIncrement;
    if (integer && key.Segments.size() == 1 &&
        engine::CheckKey(key.Length, {engine::StoredBlob, keys[k].size()}) == engine::RowFault::None)
      engine::DecodeIntegerKey(key.Segments.front(), keys[k]);
  }
  return 0;
}

FuzzSeedList FuzzSeeds() {
  FuzzSeedList seeds;
  for (const SeedLayout& layout : SeedLayouts()) {
    FuzzOutput out;
    out.Sized(layout.spec).Bytes(layout.records.front());
    seeds.emplace_back(layout.name, out.Str());
  }
  return seeds;
}
