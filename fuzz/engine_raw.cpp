// The record manager on whatever bytes a file holds: a run of calls
// (fuzz/engine_calls.h), then the rest of the input is the whole file. The
// engine opens it afresh for every input, so the checks of open run on
// every one, and the file is gone again before the next.
#include "fuzz/engine_calls.h"
#include "fuzz/fuzz_support.h"
#include "fuzz/seed_layouts.h"

#include <fcntl.h>
#include <unistd.h>

extern "C" int16_t BTRCALL(uint16_t op, void* posBlock, void* data, uint32_t* dataLen, void* key, uint8_t keyLen,
                           int8_t keyNum);

namespace {

// Replaces the file's bytes in place, so its sidecar and name stay.
void Rewrite(const std::string& path, const std::string& bytes) {
  const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  if (fd < 0) return;
  for (size_t done = 0; done < bytes.size();) {
    const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
    if (n <= 0) break;
    done += size_t(n);
  }
  ::close(fd);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* bytes, size_t size) {
  static const std::string path = ScratchPath("engine_raw.dat");
  FuzzInput in(bytes, size);
  const std::vector<EngineCall> calls = ReadEngineCalls(in);
  ::unlink((path + "-journal").c_str());
  Rewrite(path, in.Rest());
  RunEngineCalls(BTRCALL, path, calls);
  return 0;
}

FuzzSeedList FuzzSeeds() {
  FuzzSeedList seeds;
  for (const SeedLayout& layout : SeedLayouts()) {
    FuzzOutput out;
    WriteEngineCalls(out, WalkCalls(layout.keyCount));
    out.Bytes(WriteSeedFile(BTRCALL, ScratchPath("seed.dat"), layout));
    seeds.emplace_back(layout.name, out.Str());
  }
  return seeds;
}
