#include "platform/program_table.h"

#include "platform/codepage.h"
#include "platform/errors.h"
#include "platform/files.h"
#include "platform/log.h"
#include "platform/paths.h"
#include "platform/registry.h"
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

std::string& ProgramFolder() {
  static std::string folder;
  return folder;
}

// The native path of an executable for Entry in Folder ("" the current
// one), or "" when none of its names is there.
std::string ExecutableIn(const std::string& Folder, const TProgramEntry& Entry) {
  std::vector<std::string> names{Entry.Executable, Entry.FileName};
  if (AnsiSameText(ExtractFileExt(Entry.FileName), ".exe"))
    names.push_back(Entry.FileName.substr(0, Entry.FileName.size() - 4));
  for (const std::string& name : names) {
    if (name.empty()) continue;
    const std::string path = ResolvePath(Folder.empty() ? name : IncludeTrailingBackslash(Folder) + name);
    if (!path.empty() && FileExists(path)) return path;
  }
  return {};
}

// The command line the registry keeps for FileName, as native words.
std::vector<std::string> RegistryCommand(const std::string& FileName) {
  std::vector<std::string> words;
  try {
    TRegistry reg;
    if (!reg.OpenKeyReadOnly(ProgramsRegistryKey) || reg.GetDataType(FileName) != rdString) return {};
    for (const std::string& w : SplitCommandText(reg.ReadString(FileName))) words.push_back(Win1252ToUtf8(w));
  } catch (const Exception& e) {
    // A registry that cannot be read configures nothing; the start fails as
    // for a missing program.
    LogWarning("program command for " + FileName + ": " + e.what());
    return {};
  }
  return words;
}

// Kept from being looked up on PATH: a name without a folder means the
// current one.
std::string NotOnPath(const std::string& Path) { return Path.find('/') == std::string::npos ? "./" + Path : Path; }

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

void SetProgramFolder(const std::string& Folder) { ProgramFolder() = Folder; }

std::vector<std::string> SplitCommandText(const std::string& Text) {
  std::vector<std::string> words;
  std::string word;
  bool inWord = false, quoted = false;
  for (const char c : Text) {
    if (c == '"') {
      quoted = !quoted;
      inWord = true;
    } else if (c == ' ' && !quoted) {
      if (inWord) words.push_back(word);
      word.clear();
      inWord = false;
    } else {
      word += c;
      inWord = true;
    }
  }
  if (inWord) words.push_back(word);
  return words;
}

std::vector<std::string> ResolveProgram(const std::string& Name) {
  const TProgramEntry* entry = Find(ExtractFileName(Name));
  if (!entry) return {};
  if (!entry->Command.empty()) return entry->Command;
  const std::string folder = ExtractFilePath(Name);
  std::vector<std::string> folders{folder};
  if (!ProgramFolder().empty()) folders.push_back(ProgramFolder());
  for (const std::string& where : folders) {
    const std::string path = ExecutableIn(where, *entry);
    if (!path.empty()) return {NotOnPath(path)};
  }
  if (std::vector<std::string> command = RegistryCommand(entry->FileName); !command.empty()) return command;
  if (entry->Executable.empty()) return {};
  const std::string path = ResolvePath(folder.empty() ? entry->Executable : folder + entry->Executable);
  if (path.empty()) return {};
  return {NotOnPath(path)};
}

void ResetProgramTable() {
  Table() = BuiltIn();
  ProgramFolder().clear();
}
