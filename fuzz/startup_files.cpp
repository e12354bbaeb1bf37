// The start-up's batch files (mainwin/batch_files.h) holding any bytes:
// the first byte picks the program folder's "Desc.clo", which start-up
// copies into the data folder as the workstation's DESC file, or the
// workstation's TRIN file, which start-up keeps when it exists; the rest is
// the file. Start-up takes it or answers false after its message; the
// file it leaves is then opened and read as the batch entry reads it, or
// refused with the layer's EBtrAbort.
#include "btrieve/numbered_files.h"
#include "fuzz/fuzz_input.h"
#include "fuzz/fuzz_support.h"
#include "fuzz/layer_files.h"
#include "mainwin/batch_files.h"
#include "platform/files.h"
#include "templates/startup_globals.h"
#include "templates/template_state.h"

#include <cstdio>

namespace {

constexpr uint8_t BatchFileNo = 40;

void ReadBatchFile(const std::string& name) {
  try {
    BtrOpenFile(BatchFileNo, name, 0);
    TDynCharArr rec(BtrRecordLength(BatchFileNo));
    bool atEnd = false;
    BtrGetFirst(BatchFileNo, rec, atEnd, false);
    if (!atEnd) BtrGetNext(BatchFileNo, rec, atEnd, false);
  } catch (const Exception&) {
  }
  if (BtrIsFileOpen(BatchFileNo)) BtrCloseFile(BatchFileNo);
}

void Prepare() {
  InstallQuietDialogs();
  KeepEngineLibraryLoaded();
  Store.DataDir = ScratchFolder();
  Startup.WSID = "01";
  Startup.DescCloName = ScratchPath("Desc.clo");
  Startup.DescFileName = ScratchPath("DESC01.MD");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* bytes, size_t size) {
  static const bool ready = (Prepare(), true);
  (void)ready;
  FuzzInput in(bytes, size);
  const bool desc = in.Byte() % 2 == 0;
  const std::string file = desc ? Startup.DescCloName : ScratchPath("TRIN01.MD");
  const std::string made = desc ? Startup.DescFileName : file;
  RemoveStoredFile(made);
  WriteWholeFile(file, in.Rest());
  if (desc ? EnsureDescFile() : EnsureTrinFile()) ReadBatchFile(made);
  RemoveStoredFile(file);
  RemoveStoredFile(made);
  return 0;
}

FuzzSeedList FuzzSeeds() {
  Prepare();
  FuzzSeedList seeds;
  const std::string trin = ScratchPath("TRIN01.MD");
  RemoveStoredFile(trin);
  if (EnsureTrinFile()) {
    // Start-up's own TRIN, also as a Desc.clo: any file of ours is one the
    // copy must take.
    const std::string bytes = ReadWholeFile(trin);
    seeds.emplace_back("trin", '\1' + bytes);
    seeds.emplace_back("desc-clo", '\0' + bytes);
  }
  RemoveStoredFile(trin);
  return seeds;
}
