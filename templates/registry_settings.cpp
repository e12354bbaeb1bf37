#include "templates/registry_settings.h"

#include "platform/dialogs.h"
#include "platform/registry.h"
#include "platform/text.h"
#include "templates/store_constants.h"

#include <initializer_list>
#include <utility>

namespace {

const std::string DataRootKey = "\\Software\\Orrin\\Btrieve\\Aliases\\CVWIN";
const std::string MngrAliasKey = "\\Software\\Orrin\\Btrieve\\Aliases\\CVMNGR";
const std::string RemoteAliasKey = "\\Software\\Orrin\\Btrieve\\Aliases\\CVWMAS";
const std::string HostKey = "\\Software\\Ondral\\Corvenstead\\Host";
const std::string RemoteKey = "\\Software\\Ondral\\Corvenstead\\Remote";
const std::string ProgramKey = "\\Software\\Ondral\\Corvenstead\\Matterdesk";
const std::string AliasPathValue = "PhysicalName";

void Inform(const std::string& text) { MessageDlg(text, mtInformation, mbOKOnly, 0); }

std::string ResetFailureText(const std::string& Name) {
  return "Unable to reset the '" + Name + "' value at this time." + ContactMsg;
}

enum class KeyRead { Read, NoKey, Failed };

// Reads a string value of the key at path, creating the key when create.
// A value of another type is a failed read, not a conversion.
KeyRead ReadKeyValue(const std::string& path, const std::string& name, bool create, std::string& value) {
  try {
    TRegistry reg;
    if (!reg.OpenKeyReadOnly(path) && !(create && reg.OpenKey(path, true))) return KeyRead::NoKey;
    value = reg.ReadString(name);
    return KeyRead::Read;
  } catch (const ERegistryException&) {
    return KeyRead::Failed;
  }
}

enum class KeyWrite { Written, Unreadable, Failed };

// Writes string values into the key at path, creating it.
KeyWrite WriteKeyValues(const std::string& path,
                        std::initializer_list<std::pair<std::string, std::string>> values) {
  TRegistry reg;
  try {
    if (!reg.OpenKey(path, true)) return KeyWrite::Failed;
  } catch (const ERegistryException&) {
    return KeyWrite::Unreadable;
  }
  try {
    for (const auto& [name, value] : values) reg.WriteString(name, value);
  } catch (const ERegistryException&) {
    return KeyWrite::Failed;
  }
  return KeyWrite::Written;
}

// Writes, or shows failureText and answers false.
bool WriteOrTell(const std::string& path, std::initializer_list<std::pair<std::string, std::string>> values,
                 const std::string& failureText) {
  if (WriteKeyValues(path, values) == KeyWrite::Written) return true;
  Inform(failureText);
  return false;
}

void ShowReadFailure(const std::string& Name, const std::string& key) {
  Inform("Unable to read the '" + Name + "' value from the registry key " + key + " at this time." + ContactMsg);
}

// The quick-entry settings that a workstation's host values provide until
// the user picks one: the host value is named by the setting's name without
// its "MD".
bool FallsBackToHost(const std::string& Name) { return Name == "MDEntryMode" || Name == "MDEmpByName"; }

void ReadHostFallback(const std::string& Name, std::string& Value) {
  const std::string hostName = Copy(Name, 3, 9);
  std::string hostValue;
  switch (ReadKeyValue(HostKey, hostName, false, hostValue)) {
    case KeyRead::Failed:
      ShowReadFailure(hostName, HostKey);
      return;
    case KeyRead::NoKey:
      // Start-up already reports a missing host key when it reads the
      // workstation id.
      return;
    case KeyRead::Read:
      if (hostValue.empty()) return;
      Value = hostValue;
      WriteRegValue(Name, Value);
      return;
  }
}

struct SettingPlace {
  std::string Key;
  std::string ValueName;
};

SettingPlace ReadPlace(const std::string& Name, bool AliasSwitch) {
  if (AliasSwitch) {
    if (Name == "REMOTE") return {RemoteAliasKey, AliasPathValue};
    if (Name == "MDDATA") return {MngrAliasKey, AliasPathValue};
    return {DataRootKey, AliasPathValue};
  }
  if (Name == "REMOTE" || Name == "APRINTER") return {RemoteKey, "AuditPrinter"};
  if (Name == "BPRINTER") return {RemoteKey, "BatchPrinter"};
  if (Name == "PRINTEROPTS") return {RemoteKey, "BatchPrintOptions"};
  return {HostKey, Name};
}

}  // namespace

std::string RegKeyPath(int KeyId) {
  switch (KeyId) {
    case DataRootKeyId: return DataRootKey;
    case MngrAliasKeyId: return MngrAliasKey;
    case HostKeyId: return HostKey;
    case ProgramKeyId: return ProgramKey;
    default: return "";
  }
}

void ReadRegValue(const std::string& Name, int KeyId, std::string& Value) {
  Value.clear();
  const std::string key = RegKeyPath(KeyId);
  // A workstation's program key appears with its first setting.
  if (key.empty() || ReadKeyValue(key, Name, KeyId == ProgramKeyId, Value) != KeyRead::Read) {
    Value.clear();
    ShowReadFailure(Name, key);
    return;
  }
  // Only an empty value falls back, so the user's own choice survives the
  // next start.
  if (Value.empty() && FallsBackToHost(Name)) ReadHostFallback(Name, Value);
}

bool WriteRegValue(const std::string& Name, const std::string& Value) {
  switch (WriteKeyValues(ProgramKey, {{Name, Value}})) {
    case KeyWrite::Written:
      return true;
    case KeyWrite::Unreadable:
      Inform("Unable to open the registry at this time.");
      return false;
    case KeyWrite::Failed:
      break;
  }
  Inform(ResetFailureText(Name));
  return false;
}

bool ReadSetting(const std::string& Name, bool AliasSwitch, std::string& Value) {
  Value.clear();
  const SettingPlace place = ReadPlace(Name, AliasSwitch);
  if (ReadKeyValue(place.Key, place.ValueName, false, Value) == KeyRead::Read) return true;
  Value.clear();
  Inform("Not able to read the '" + Name + "' value from the registry at this time." + ContactMsg);
  return false;
}

bool WriteSetting(const std::string& Name, const std::string& Value) {
  if (Name == "REMOTEPhysicalName") {
    return WriteOrTell(DataRootKey, {{AliasPathValue, Value}, {"Descripton", "REMOTE Mode"}}, ResetFailureText(Name));
  }
  if (Pos("PRINTER", Name) == 2) {
    const char* valueName = Name[0] == 'A' ? "AuditPrinter" : Name[0] == 'P' ? "BatchPrintOptions" : "BatchPrinter";
    return WriteOrTell(RemoteKey, {{valueName, Value}},
                       "Unable to reset the remote default printer value at this time." + ContactMsg);
  }
  return WriteOrTell(HostKey, {{Name, Value}}, ResetFailureText(Name));
}

bool ReadRegTmpValue(const std::string&, std::string&) { return false; }
