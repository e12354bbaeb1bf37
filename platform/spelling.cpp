#include "platform/spelling.h"

#include "platform/errors.h"
#include "platform/log.h"
#include "platform/paths.h"
#include "platform/registry.h"
#include "platform/spell_checker.h"

#include <memory>

namespace {

const std::string DefaultDictionary = "en_US";
const std::string DefaultPersonalFile = "personal-words.txt";

std::string regTree;

struct TRunChecker {
  TSpellSettings Settings;
  std::unique_ptr<TSpellChecker> Checker;
};

TRunChecker& Current() {
  static TRunChecker current;
  return current;
}

// The tree as a path of this registry: the root key's name left out.
std::string TreeKey() {
  const size_t slash = regTree.find('\\');
  return slash == std::string::npos ? std::string() : regTree.substr(slash);
}

// Value Name of the tree, written with Default when absent or empty.
std::string Setting(TRegistry& Reg, const std::string& Name, const std::string& Default) {
  std::string value = Reg.ValueExists(Name) ? Reg.ReadString(Name) : std::string();
  if (!value.empty()) return value;
  try {
    Reg.WriteString(Name, Default);
  } catch (const Exception& e) {
    LogWarning("spelling setting " + Name + ": " + e.what());
  }
  return Default;
}

}  // namespace

int16_t SSCE_SetRegTreeName(const std::string& Tree) {
  regTree = Tree;
  return 0;
}

std::string SSCE_GetRegTreeName() { return regTree; }

TSpellSettings SpellSettings() {
  const std::string registryFile = RegistryFileName();
  TSpellSettings settings{DefaultDictionary,
                          registryFile.empty() ? std::string() : ExtractFilePath(registryFile) + DefaultPersonalFile};
  if (TreeKey().empty()) return settings;
  try {
    TRegistry reg;
    if (!reg.OpenKey(TreeKey(), true)) return settings;
    settings.Dictionary = Setting(reg, "Dictionary", settings.Dictionary);
    settings.PersonalWordList = Setting(reg, "PersonalWordList", settings.PersonalWordList);
  } catch (const Exception& e) {
    LogWarning(std::string("spelling settings: ") + e.what());
  }
  return settings;
}

TSpellChecker* RunSpellChecker(std::string& Error) {
  const TSpellSettings settings = SpellSettings();
  TRunChecker& current = Current();
  if (!current.Checker || current.Settings.Dictionary != settings.Dictionary ||
      current.Settings.PersonalWordList != settings.PersonalWordList) {
    current.Checker = TSpellChecker::Open(settings.Dictionary, settings.PersonalWordList, Error);
    current.Settings = settings;
  }
  return current.Checker.get();
}

void ResetRunSpellChecker() { Current() = TRunChecker(); }
