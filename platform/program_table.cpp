#include "platform/program_table.h"

#include "platform/files.h"
#include "platform/paths.h"
#include "platform/text.h"

#include <algorithm>

namespace {

struct TProgramEntry {
  std::string FileName;
  std::string Executable;
  std::vector<std::string> Command;
};

std::vector<TProgramEntry> BuiltIn() {
  return {
      {"MtDESK.exe", "mtdesk", {}},
      {"zorvik.exe", "zorvik", {}},
      {"quaps.exe", "quaps", {}},
      {"WINWORD.EXE", "winword", {}},
  };
}

std::vector<TProgramEntry>& Table() {
  static std::vector<TProgramEntry> table = BuiltIn();
  return table;
}

TProgramEntry* Find(const std::string& FileName) {
  auto& table = Table();
  const auto it = std::find_if(table.begin(), table.end(),
                               [&](const TProgramEntry& e) { return AnsiSameText(e.FileName, FileName); });
  return it == table.end() ? nullptr : &*it;
}

TProgramEntry& Entry(const std::string& FileName) {
  if (TProgramEntry* found = Find(FileName)) return *found;
  return Table().emplace_back(TProgramEntry{FileName, {}, {}});
}

}  // namespace

void RegisterProgram(const std::string& FileName, const std::string& Executable) {
  Entry(FileName).Executable = Executable;
}

void ConfigureProgramCommand(const std::string& FileName, const std::vector<std::string>& Command) {
  Entry(FileName).Command = Command;
}

std::vector<std::string> ResolveProgram(const std::string& Name) {
  const TProgramEntry* entry = Find(ExtractFileName(Name));
  if (!entry) return {};
  if (!entry->Command.empty()) return entry->Command;
  if (entry->Executable.empty()) return {};
  // A name without a folder means the current one; "./" keeps the start
  // from searching PATH for it.
  const std::string folder = ExtractFilePath(Name);
  const std::string path = ResolvePath(folder.empty() ? entry->Executable : folder + entry->Executable);
  if (path.empty()) return {};
  return {path.find('/') == std::string::npos ? "./" + path : path};
}

void ResetProgramTable() { Table() = BuiltIn(); }
