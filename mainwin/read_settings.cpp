#include "mainwin/read_settings.h"

#include "platform/text.h"
#include "templates/registry_settings.h"
#include "templates/startup_globals.h"

#include <algorithm>

namespace {

// Missing means empty; WhenMissing, unless empty, is written back and used.
bool ReadFlag(const std::string& Name, const std::string& WhenMissing = "") {
  std::string value;
  ReadRegValue(Name, ProgramKeyId, value);
  if (value.empty() && !WhenMissing.empty()) {
    WriteRegValue(Name, WhenMissing);
    value = WhenMissing;
  }
  return value == "Y";
}

// The value when it is a non-empty part of Letters, else Fallback; Index its
// position in Letters.
void ReadChoice(const std::string& Name, const std::string& Letters, const std::string& Fallback,
                std::string& Value, int& Index) {
  std::string value;
  ReadRegValue(Name, ProgramKeyId, value);
  Value = !value.empty() && Pos(value, Letters) > 0 ? value : Fallback;
  Index = std::max(1, Pos(Value, Letters));
}

}  // namespace

void ReadSettings() {
  Startup.MaximizeEntry = ReadFlag("MaximizeEntry");
  Startup.MaximizeGrid = ReadFlag("MaximizeGrid");
  Startup.ConfirmSave = ReadFlag("ConfirmSave");
  Startup.TabToAltLookups = ReadFlag("TabToAltLookups");
  Startup.AutoClear = ReadFlag("AutoClear", "Y");
  Startup.ReturnToGridAfterEdit = ReadFlag("ReturnToGridAfterEdit", "Y");
  ReadChoice("MDEntryMode", "CNSA", "C", Startup.MDEntryMode, Startup.EntryModeIdx);
  ReadChoice("MDEmpByName", "CN", "N", Startup.MDEmpByName, Startup.EmpByNameIdx);
  Startup.AutoLoadLinks = ReadFlag("AutoLoadLinks", "N");
}
