#include "templates/template_number.h"

#include "platform/errors.h"
#include "platform/files.h"
#include "platform/format.h"
#include "platform/text.h"
#include "templates/master_codec.h"
#include "templates/template_state.h"

#include <array>
#include <functional>
#include <utility>

namespace {

constexpr std::string_view DescriptorPrefix = "MNGR";
constexpr std::string_view DescriptorExt = ".DSC";
constexpr std::string_view DataPrefix = "MGRDT";
constexpr std::string_view DataExt = ".QMD";
constexpr char GenerationMark = 'X';

bool IsDigit(char C) { return C >= '0' && C <= '9'; }

// The value of "   ", "  7", "007", "7"; -1 when the text is none of these.
int NumberValue(std::string_view Text) {
  if (Text.empty() || Text.size() > 3) return -1;
  size_t i = 0;
  while (i < Text.size() && Text[i] == ' ') ++i;
  if (i == Text.size()) return -1;
  int value = 0;
  for (; i < Text.size(); ++i) {
    if (!IsDigit(Text[i])) return -1;
    value = value * 10 + (Text[i] - '0');
  }
  return value;
}

std::string InDataDir(std::string_view Prefix, const TTemplateNumber& Number, std::string_view Ext) {
  return Store.DataDir + "\\" + std::string(Prefix) + Number.ZeroFilled() + std::string(Ext);
}

// The number a template file's name carries: the prefix, three digits, the
// extension or its previous generation, without case.
bool TemplateFileNumber(const std::string& Name, std::string_view Prefix, std::string_view Ext, int& Value) {
  if (Name.size() != Prefix.size() + 3 + Ext.size()) return false;
  const std::string upper = AnsiUpperCase(Name);
  if (upper.compare(0, Prefix.size(), Prefix) != 0) return false;
  const std::string_view ext = std::string_view(upper).substr(Prefix.size() + 3);
  if (ext.substr(0, Ext.size() - 1) != Ext.substr(0, Ext.size() - 1)) return false;
  if (ext.back() != Ext.back() && ext.back() != GenerationMark) return false;
  const std::string_view digits = std::string_view(Name).substr(Prefix.size(), 3);
  for (char c : digits) {
    if (!IsDigit(c)) return false;
  }
  Value = NumberValue(digits);
  return true;
}

}  // namespace

TTemplateNumber::TTemplateNumber(int Value) : value_(Value) {
  if (Value < 0 || Value > MaxTemplateNumber) {
    throw EConvertError(Format("%d is not a template number (0 to %d).", Value, MaxTemplateNumber));
  }
}

TTemplateNumber TTemplateNumber::Parse(std::string_view Text) {
  TTemplateNumber number;
  if (!TryParse(Text, number)) {
    throw EConvertError(Format("'%s' is not a template number (0 to %d).", Text, MaxTemplateNumber));
  }
  return number;
}

bool TTemplateNumber::TryParse(std::string_view Text, TTemplateNumber& Number) {
  const int value = NumberValue(Text);
  if (value < 0 || value > MaxTemplateNumber) return false;
  Number.value_ = value;
  return true;
}

std::string TTemplateNumber::Stored() const { return Format("%3d", value_); }
std::string TTemplateNumber::ZeroFilled() const { return Format("%.3d", value_); }
std::string TTemplateNumber::Trimmed() const { return IntToStr(value_); }

std::string DescriptorFileName(const TTemplateNumber& Number) {
  return InDataDir(DescriptorPrefix, Number, DescriptorExt);
}

std::string DataFileName(const TTemplateNumber& Number) { return InDataDir(DataPrefix, Number, DataExt); }

std::string MasterFileName() { return Store.DataDir + "\\master.dsc"; }

std::string PreviousGeneration(const std::string& FileName) {
  if (FileName.empty()) return FileName;
  std::string name = FileName;
  name.back() = GenerationMark;
  return name;
}

TTemplateNumberSet TemplateFilesInFolder(const std::string& Folder) {
  TTemplateNumberSet numbers;
  for (const FileEntry& entry : FindFiles(Folder + "\\*.*")) {
    if (entry.Attr & faDirectory) continue;
    int value = 0;
    if (TemplateFileNumber(entry.Name, DescriptorPrefix, DescriptorExt, value) ||
        TemplateFileNumber(entry.Name, DataPrefix, DataExt, value)) {
      numbers.set(static_cast<size_t>(value));
    }
  }
  return numbers;
}

namespace {

// The trimmed name and number of the first entry of Store.TemplateList for
// which Matches holds; both empty when none (entries are searched up to the
// first empty one).
std::pair<std::string, std::string> ListedTemplate(
    const std::function<bool(const std::string& Name, const std::string& Number)>& Matches) {
  for (int i = TTemplateNames::Low; i <= TTemplateNames::High && !Store.TemplateList[i].empty(); ++i) {
    const std::string& entry = Store.TemplateList[i];
    std::string name = Trim(entry.substr(0, MasterName.Width)), number = Trim(entry.substr(MasterName.Width));
    if (Matches(name, number)) return {std::move(name), std::move(number)};
  }
  return {};
}

}  // namespace

std::string TemplateNumberOf(const std::string& Name) {
  const std::string wanted = Trim(Name);
  return ListedTemplate([&](const std::string& name, const std::string&) { return name == wanted; }).second;
}

std::string ListedTemplateName(const TTemplateNumber& Number) {
  return ListedTemplate([&](const std::string&, const std::string& number) {
           TTemplateNumber listed;
           return TTemplateNumber::TryParse(number, listed) && listed == Number;
         }).first;
}
