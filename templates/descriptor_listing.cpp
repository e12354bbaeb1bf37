#include "templates/descriptor_listing.h"

#include "platform/files.h"
#include "templates/template_state.h"

namespace {

constexpr const char* DescriptorPattern = "\\MNGR???.DSC";
constexpr size_t NumberAt = 4;  // "MNGR" before the three digits
constexpr size_t NumberWidth = 3;

bool AllDigits(const std::string& S) {
  for (char c : S) {
    if (c < '0' || c > '9') return false;
  }
  return !S.empty();
}

}  // namespace

std::vector<TDescriptorEntry> DescriptorFiles(const std::string& Folder) {
  std::vector<TDescriptorEntry> out;
  for (const FileEntry& file : FindFiles(Folder + DescriptorPattern)) {
    if (file.Attr & faDirectory) continue;
    TDescriptorEntry entry;
    entry.Name = file.Name;
    const std::string digits = file.Name.substr(NumberAt, NumberWidth);
    entry.HasNumber = AllDigits(digits) && TTemplateNumber::TryParse(digits, entry.Number);
    out.push_back(std::move(entry));
  }
  return out;
}

bool TemplatesExist() { return !DescriptorFiles(Store.DataDir).empty(); }
