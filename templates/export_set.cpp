#include "templates/export_set.h"

#include "platform/files.h"
#include "platform/text.h"

#include <algorithm>
#include <bitset>
#include <cctype>

namespace {

constexpr std::string_view Prefix = "EXP";
constexpr size_t SetDigits = 2;
constexpr size_t NumberDigits = 3;
constexpr size_t StemLength = Prefix.size() + SetDigits + NumberDigits;  // "EXP05007"

std::string_view Extension(TExportFileKind Kind) {
  switch (Kind) {
    case TExportFileKind::MainDescriptor: return ".DS1";
    case TExportFileKind::SubDescriptor: return ".DSC";
    case TExportFileKind::DataFile: return ".qmd";
  }
  return "";
}

bool AllDigits(std::string_view Text) {
  return !Text.empty() && std::all_of(Text.begin(), Text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

bool SameText(std::string_view A, std::string_view B) { return UpperCase(A) == UpperCase(B); }

std::string SetText(int Set) { return {char('0' + Set / 10), char('0' + Set % 10)}; }

}  // namespace

std::string ExportFileName(const TExportFileName& Name) {
  return std::string(Prefix) + SetText(Name.Set) + Name.Number.ZeroFilled() + std::string(Extension(Name.Kind));
}

std::optional<TExportFileName> ParseExportFileName(std::string_view FileName) {
  if (FileName.size() != StemLength + 4 || !SameText(FileName.substr(0, Prefix.size()), Prefix)) return std::nullopt;
  const std::string_view set = FileName.substr(Prefix.size(), SetDigits);
  const std::string_view number = FileName.substr(Prefix.size() + SetDigits, NumberDigits);
  if (!AllDigits(set) || !AllDigits(number)) return std::nullopt;
  TExportFileName name;
  if (!TTemplateNumber::TryParse(number, name.Number)) return std::nullopt;
  name.Set = (set[0] - '0') * 10 + (set[1] - '0');
  const std::string_view ext = FileName.substr(StemLength);
  for (TExportFileKind kind : {TExportFileKind::MainDescriptor, TExportFileKind::SubDescriptor, TExportFileKind::DataFile}) {
    if (SameText(ext, Extension(kind))) {
      name.Kind = kind;
      return name;
    }
  }
  return std::nullopt;
}

std::optional<int> FreeExportSet(const std::string& Folder) {
  std::bitset<ExportSetLimit> used;
  for (const FileEntry& e : FindFiles(Folder + "\\EXP?????.DS1")) {
    const auto name = ParseExportFileName(e.Name);
    if (name && name->Kind == TExportFileKind::MainDescriptor) used.set(size_t(name->Set));
  }
  for (int set = 0; set < ExportSetLimit; ++set)
    if (!used.test(size_t(set))) return set;
  return std::nullopt;
}

std::vector<TTemplateNumber> ExportSubTemplates(const std::string& Folder, int Set, const TTemplateNumber& Main) {
  std::vector<TTemplateNumber> subs;
  for (const FileEntry& e : FindFiles(Folder + "\\" + std::string(Prefix) + SetText(Set) + "???.DSC")) {
    const auto name = ParseExportFileName(e.Name);
    if (!name || name->Kind != TExportFileKind::SubDescriptor || name->Number == Main) continue;
    if (std::find(subs.begin(), subs.end(), name->Number) == subs.end()) subs.push_back(name->Number);
  }
  std::sort(subs.begin(), subs.end());
  return subs;
}
