// The registry file's text (platform/registry_file.h) on any bytes: parsed,
// and a text that parses is formatted and parsed again to the same keys
// and values. A damaged text answers ERegistryException.
#include "fuzz/fuzz_support.h"
#include "platform/registry_file.h"

#include <cstdlib>

namespace {

bool SameKeys(const RegDocument& a, const RegDocument& b) {
  const auto ka = a.Keys(), kb = b.Keys();
  if (ka.size() != kb.size()) return false;
  for (size_t i = 0; i < ka.size(); ++i) {
    if (ka[i]->Path != kb[i]->Path || ka[i]->Values.size() != kb[i]->Values.size()) return false;
    for (size_t v = 0; v < ka[i]->Values.size(); ++v) {
      const RegValue &x = ka[i]->Values[v], &y = kb[i]->Values[v];
      if (x.Name != y.Name || x.Type != y.Type || x.Data != y.Data || x.Integer != y.Integer) return false;
    }
  }
  return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* bytes, size_t size) {
  const std::string text(reinterpret_cast<const char*>(bytes), size);
  RegDocument doc;
  try {
    doc = ParseRegistryText(text, "fuzz.ini");
  } catch (const ERegistryException&) {
    return 0;
  }
  const RegDocument again = ParseRegistryText(FormatRegistryText(doc), "fuzz.ini");
  if (!SameKeys(doc, again)) std::abort();
  for (const RegKey* key : doc.Keys()) {
    doc.SubkeyNames(key->Path);
    for (const RegValue& value : key->Values) {
      RegValue read;
      if (!ParseRegData(FormatRegData(value), read)) std::abort();
    }
  }
  return 0;
}

FuzzSeedList FuzzSeeds() {
  RegDocument doc;
  RegKey& host = doc.CreateKey("Software\\Ondral\\Corvenstead\\Host");
  host.SetValue(RegValue{"WSID", rdString, "01", 0});
  host.SetValue(RegValue{"Count", rdInteger, "", 42});
  host.SetValue(RegValue{"Blob", rdBinary, std::string("\x01\xff\x00", 3), 0});
  RegKey& alias = doc.CreateKey("Software\\Orrin\\Btrieve\\Aliases\\CVWIN");
  alias.SetValue(RegValue{"PhysicalName", rdString, "C:\\Office \"A\"\r\n\x81", 0});
  return {{"office", FormatRegistryText(doc)}};
}
