// The validation files' openers (templates/validation_files.h) on a family
// file made from the input: the first byte picks which of the nine, the
// rest is its spec and rows (fuzz/stored_file.h). The opener takes it or
// raises its EBtrAbort; the host file's first record is read into the
// buffer the opener sized, and everything is closed again.
#include "btrieve/numbered_files.h"
#include "fuzz/fuzz_support.h"
#include "fuzz/layer_files.h"
#include "fuzz/seed_layouts.h"
#include "templates/family_files.h"
#include "templates/template_state.h"
#include "templates/validation_files.h"

#include <functional>

namespace {

struct Opener {
  const TFamilyFile* file;
  std::function<void()> open;
  uint8_t fileNo;
  TDynCharArr* rec;
};

const std::vector<Opener>& Openers() {
  static const std::vector<Opener> openers{
      {&ClientFile, [] { OpenHostFile(HostFileId::Client); }, ClientFileNo, &ClientRec},
      {&CaseFile, [] { OpenHostFile(HostFileId::Case); }, CaseFileNo, &CaseRec},
      {&EmployeeFile, [] { OpenHostFile(HostFileId::Employee); }, EmpFileNo, &EmpRec},
      {&FeeSplitFile, [] { OpenHostFile(HostFileId::FeeSplit); }, FeeSplitFileNo, &FSplitRec},
      {&CaseDescFile, [] { OpenHostFile(HostFileId::CaseDesc); }, CaseDescFileNo, &CDescRec},
      {&CodeTableFile, [] { OpenHostFile(HostFileId::CodeTable); }, CodeTableFileNo, &CodeTableRec},
      {&CaseAddrFile, [] { OpenHostFile(HostFileId::CaseAddr); }, CaseAddrFileNo, &CaseAddrRec},
      {&SysOptionsFile, [] { OpenSysOptionsFile(); }, SysOptionsFileNo, &SysopRec},
      {&StatementCharFile, [] { OpenStatementCharFile(); }, StatementCharFileNo, &TscRec}};
  return openers;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* bytes, size_t size) {
  static const bool ready = (InstallQuietDialogs(), Store.DataRoot = ScratchFolder(), true);
  (void)ready;
  FuzzInput in(bytes, size);
  const Opener& opener = Openers()[in.Byte() % Openers().size()];
  StoredFileSlot& slot = LayerFileSlot(ScratchPath(opener.file->Name));
  if (!TakeStoredFile(slot, in)) return 0;
  try {
    opener.open();
    bool atEnd = false;
    BtrGetFirst(opener.fileNo, *opener.rec, atEnd, false);
  } catch (const Exception&) {
  }
  try {
    CloseValidationFiles();
    if (BtrIsFileOpen(SysOptionsFileNo)) BtrCloseFile(SysOptionsFileNo);
    if (BtrIsFileOpen(StatementCharFileNo)) BtrCloseFile(StatementCharFileNo);
  } catch (const Exception&) {
  }
  ResetValidationBuffers();
  return 0;
}

FuzzSeedList FuzzSeeds() {
  FuzzSeedList seeds;
  const std::vector<SeedLayout> layouts = SeedLayouts();
  for (size_t i = 0; i < Openers().size(); ++i)
    for (const SeedLayout& layout : layouts)
      if (layout.name == Openers()[i].file->Name) seeds.emplace_back(layout.name, char(i) + StoredSeed(layout));
  return seeds;
}
