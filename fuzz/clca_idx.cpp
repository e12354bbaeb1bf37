// CLCA.IDX (templates/email_templates.h) holding any bytes: the lookup of a
// workstation's line, then the write that adds one, which never loses a
// line already there.
//
// Input: the workstation id (byte length first), then the file's bytes.
#include "fuzz/fuzz_input.h"
#include "fuzz/fuzz_support.h"
#include "platform/files.h"
#include "templates/email_templates.h"
#include "templates/template_state.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* bytes, size_t size) {
  static const bool ready = (InstallQuietDialogs(), Store.DataDir = ScratchFolder(), true);
  (void)ready;
  FuzzInput in(bytes, size);
  const std::string wsid = in.Bytes(in.Byte() % 4);
  const std::string before = in.Rest();
  const std::string path = ScratchPath("CLCA.IDX");
  WriteWholeFile(path, before);
  const bool had = ClcaIndexHasWorkstation(wsid);
  if (WriteClcaIndex(wsid, ClcaLine(wsid, 7, 8))) {
    const std::string after = ReadWholeFile(path);
    // Written or not, what was there stays at the start of the file.
    if (after.compare(0, before.size(), before) != 0) std::abort();
    if (had && after != before) std::abort();
  }
  return 0;
}

FuzzSeedList FuzzSeeds() {
  FuzzOutput two, one;
  two.Byte(2).Bytes("01").Bytes(ClcaLine("01", 7, 8) + "\r\n" + ClcaLine("02", 9, 10) + "\r\n");
  one.Byte(1).Bytes("3").Bytes(ClcaLine("01", 7, 8) + "\n");
  return {{"two-lines", two.Str()}, {"lf-only", one.Str()}};
}
