// The registry as the program reads it (platform/registry.h) from a file
// holding any bytes: the keys the program reads at start-up are opened and
// every value of them read, then a write is tried. A damaged file answers
// ERegistryException from every call and is never replaced.
#include "fuzz/fuzz_support.h"
#include "platform/registry.h"

#include <cstdlib>

namespace {

void ReadAll(TRegistry& reg) {
  for (const std::string& name : reg.GetValueNames()) {
    switch (reg.GetDataType(name)) {
      case rdString:
        reg.ReadString(name);
        break;
      case rdInteger:
        reg.ReadInteger(name);
        break;
      case rdBinary:
        reg.ReadBinaryData(name);
        break;
      case rdUnknown:
        break;
    }
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* bytes, size_t size) {
  static const std::string path = ScratchPath("registry.ini");
  static const bool set = (setenv("MATTERDESK_REGISTRY", path.c_str(), 1), true);
  (void)set;
  const std::string text(reinterpret_cast<const char*>(bytes), size);
  WriteWholeFile(path, text);
  bool damaged = false;
  try {
    TRegistry reg;
    for (const char* key : {"\\Software\\Ondral\\Corvenstead\\Host", "\\Software\\Orrin\\Btrieve\\Aliases\\CVWIN"}) {
      if (reg.OpenKeyReadOnly(key)) ReadAll(reg);
      reg.CloseKey();
    }
    for (const std::string& name : reg.GetKeyNames()) reg.KeyExists(name);
  } catch (const ERegistryException&) {
    damaged = true;
  }
  try {
    TRegistry reg;
    if (reg.OpenKey("\\Software\\Fuzz", true)) reg.WriteString("Value", "text");
  } catch (const ERegistryException&) {
    damaged = true;
  }
  if (damaged && ReadWholeFile(path) != text) std::abort();  // a damaged file stays as it was
  return 0;
}

FuzzSeedList FuzzSeeds() {
  RegDocument doc;
  RegKey& host = doc.CreateKey("Software\\Ondral\\Corvenstead\\Host");
  host.SetValue(RegValue{"WSID", rdString, "01", 0});
  host.SetValue(RegValue{"Flags", rdInteger, "", 7});
  doc.CreateKey("Software\\Orrin\\Btrieve\\Aliases\\CVWIN")
      .SetValue(RegValue{"PhysicalName", rdString, "/office", 0});
  return {{"office", FormatRegistryText(doc)}};
}
